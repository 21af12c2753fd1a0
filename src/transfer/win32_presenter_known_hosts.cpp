#include "transfer/presenter_known_hosts.h"

#include "transfer/win32_ansi_path.h"

#include <vector>

namespace velmora {

std::string presenterKnownHostsFile()
{
    // Windows sets no HOME; the profile folder is the user's home.
    const DWORD size = GetEnvironmentVariableW(L"USERPROFILE", nullptr, 0);
    if (size <= 1)
        return {};
    std::vector<wchar_t> profile(size);
    const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", profile.data(), size);
    if (length == 0 || length >= size)
        return {};
    std::wstring path(profile.data(), length);
    if (path.back() != L'\\')
        path.push_back(L'\\');
    return ansiPath(path + L".ssh\\known_hosts");
}

} // namespace velmora
