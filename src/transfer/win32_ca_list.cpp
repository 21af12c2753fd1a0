#include "transfer/ca_list.h"

#include <windows.h>

#include <vector>

namespace velmora {
namespace {

std::wstring programFile()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// libcurl opens the file with fopen, which takes the path in the ANSI code page.
std::string ansiText(const std::wstring& wide)
{
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                         static_cast<int>(wide.size()), nullptr, 0, nullptr, &lost);
    if (size <= 0 || lost)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        text.data(), size, nullptr, &lost);
    return lost ? std::string() : text;
}

} // namespace

// cacert.pem in the program folder, where the installer puts it beside velmora.exe.
std::string caListFile()
{
    const std::wstring program = programFile();
    const auto slash = program.rfind(L'\\');
    if (slash == std::wstring::npos)
        return {};
    std::wstring list = program.substr(0, slash + 1);
    for (const char* c = kCaListFileName; *c != '\0'; ++c)
        list.push_back(static_cast<wchar_t>(*c));
    const DWORD kind = GetFileAttributesW(list.c_str());
    if (kind == INVALID_FILE_ATTRIBUTES || (kind & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return {};
    // A folder whose name the ANSI code page cannot spell cannot be opened by fopen either.
    return ansiText(list);
}

} // namespace velmora
