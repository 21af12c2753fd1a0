#pragma once
// Text files for an ASCII-mode upload. libcurl writes every LF as CR LF on this platform, so a
// file that already has CR LF line ends would reach the server as CR CR LF.

#include <string>

namespace velmora {

// text with every CR LF turned into a bare LF; other CRs stay.
std::string withBareLineFeeds(const std::string& text);

} // namespace velmora
