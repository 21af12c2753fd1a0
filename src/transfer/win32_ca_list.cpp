#include "transfer/ca_list.h"

#include "transfer/win32_ansi_path.h"

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
    return ansiPath(list);
}

} // namespace velmora
