#pragma once
// The address the presenter gives the spectators. The program cannot know the presenter's own web
// site, so it shows an example host in its place, followed by the presentation directory.

#include <string>
#include <string_view>

namespace velmora {

inline constexpr std::string_view kExampleSiteAddress = "http://www.example.com/";

std::string presentationAddressFor(std::string_view ftpSubDir);

} // namespace velmora
