#include "app/help_address.h"

#include "transfer/curl_request_parts.h"

#include <filesystem>

namespace velmora {

std::string fileAddress(const std::string& absolutePath)
{
    std::string path = absolutePath;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    // A drive letter stays as browsers expect it ("file:///C:/..."); the rest is one URL path.
    const auto letter = path.empty() ? '\0' : path[0];
    if (path.size() >= 2 && path[1] == ':' &&
        ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')))
        return "file:///" + path.substr(0, 2) + escapeUrlPath(path.substr(2), LeadingSlash::Kept);
    return "file://" + escapeUrlPath(path, LeadingSlash::Kept);
}

HelpPage installedHelpPage(const std::string& programFolder,
                           const std::function<bool(const std::string&)>& exists)
{
    const std::filesystem::path folder(programFolder);
    const std::filesystem::path beside = (folder / "doc" / "README.html").lexically_normal();
    const std::filesystem::path shared =
        (folder / ".." / "share" / "doc" / "velmora" / "README.html").lexically_normal();
    const std::string chosen = exists(beside.string()) ? beside.string() : shared.string();
    return {fileAddress(chosen), chosen};
}

} // namespace velmora
