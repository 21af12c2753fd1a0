#include "app/program_folders.h"

#include "app/win32_wide_text.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <memory>
#include <vector>

namespace velmora {
namespace {

std::wstring withBackslash(std::wstring path)
{
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
        path.push_back(L'\\');
    return path;
}

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};

// The account running the program, as a SID string ("S-1-5-21-...").
std::wstring currentUserSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    std::wstring sid;
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        wchar_t* text = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
            sid = text;
            LocalFree(text);
        }
    }
    CloseHandle(token);
    return sid;
}

// Full control for the account alone, not inherited from the parent: the folder holds the login
// files with their passwords while they go up.
std::unique_ptr<void, LocalFreer> privateSecurity(const std::wstring& sid)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring text = L"D:P(A;OICI;FA;;;" + sid + L")";
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return nullptr;
    return std::unique_ptr<void, LocalFreer>(descriptor);
}

// Whether the folder belongs to another account. A folder whose owner cannot be read is not
// taken for another's: the file system may keep no owners at all.
bool ownedByAnother(const std::wstring& folder, const std::wstring& sid)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const std::unique_ptr<void, LocalFreer> freeLater(descriptor);
    PSID mine = nullptr;
    if (owner == nullptr || !ConvertStringSidToSidW(sid.c_str(), &mine))
        return false;
    const std::unique_ptr<void, LocalFreer> freeMine(mine);
    return !EqualSid(owner, mine);
}

std::wstring moduleFileName()
{
    std::vector<wchar_t> buffer(1024);
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

std::string workFolderPath()
{
    // The account's application-data folder; without one the folder is the relative
    // "Velmora\", as it always has been.
    wchar_t path[MAX_PATH] = {};
    LPITEMIDLIST list = nullptr;
    std::wstring base;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &list)) && list) {
        if (SHGetPathFromIDListW(list, path))
            base = withBackslash(path);
        CoTaskMemFree(list);
    }
    return windows1252FromWide(base + L"Velmora\\");
}

bool createWorkFolder(const std::string& workFolder)
{
    const std::wstring folder = wideFromWindows1252(workFolder);
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// "Velmora\" in the account's temporary folder, in its long form. The temporary folder is the
// account's own on a standard installation, but TMP may point to a folder shared by all (such as
// C:\Temp): the program's own folder inside it is created for the account alone, and one that is
// not a plain folder (a junction to somewhere else) or belongs to another account is refused.
std::string privateTempFolder(std::string& error)
{
    wchar_t shortPath[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, shortPath);
    if (length == 0 || length > MAX_PATH) {
        error = "no temporary folder";
        return {};
    }
    wchar_t longPath[MAX_PATH + 1] = {};
    const DWORD longLength = GetLongPathNameW(shortPath, longPath, MAX_PATH + 1);
    const std::wstring base =
        withBackslash(longLength > 0 && longLength <= MAX_PATH ? longPath : shortPath);
    const std::wstring folder = base + L"Velmora";
    const std::string shown = windows1252FromWide(folder);

    const std::wstring sid = currentUserSid();
    const std::unique_ptr<void, LocalFreer> security = sid.empty() ? nullptr : privateSecurity(sid);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, security.get(), FALSE};
    if (!CreateDirectoryW(folder.c_str(), security ? &attributes : nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
        error = "cannot create " + shown;
        return {};
    }
    const DWORD kind = GetFileAttributesW(folder.c_str());
    if (kind == INVALID_FILE_ATTRIBUTES) {
        error = "cannot inspect " + shown;
        return {};
    }
    if ((kind & FILE_ATTRIBUTE_DIRECTORY) == 0 || (kind & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        error = shown + " is not a plain folder";
        return {};
    }
    if (!sid.empty() && ownedByAnother(folder, sid)) {
        error = shown + " belongs to another user";
        return {};
    }
    return windows1252FromWide(folder) + "\\";
}

std::string programFolderPath()
{
    const std::wstring file = moduleFileName();
    const auto slash = file.rfind(L'\\');
    return slash == std::wstring::npos ? std::string()
                                       : windows1252FromWide(file.substr(0, slash + 1));
}

std::string pathForDisplay(const std::string& path)
{
    return path;
}

} // namespace velmora
