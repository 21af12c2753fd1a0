#include "app/help_address.h"

#include <filesystem>

namespace velmora {
namespace {

bool keptAsIs(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/' || c == ':';
}

bool startsWithDrive(const std::string& path)
{
    const auto letter = path.empty() ? '\0' : path[0];
    return path.size() >= 2 && path[1] == ':' &&
           ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'));
}

} // namespace

std::string fileAddress(const std::string& absolutePath)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string address = startsWithDrive(absolutePath) ? "file:///" : "file://";
    for (const char raw : absolutePath) {
        const auto c = static_cast<unsigned char>(raw == '\\' ? '/' : raw);
        if (keptAsIs(c)) {
            address += static_cast<char>(c);
        } else {
            address += '%';
            address += kHex[c >> 4];
            address += kHex[c & 0x0F];
        }
    }
    return address;
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
