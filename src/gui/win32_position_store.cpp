#include "gui/win32_position_store.h"

#include "app/win32_wide_text.h"

#include <windows.h>

#include <cstdint>

namespace velmora {
namespace {

constexpr wchar_t kKey[] = L"Software\\Corvantis\\Velmora";

class Key {
public:
    Key() = default;
    ~Key()
    {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* target() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// A 4-byte value read as the signed number it was written as; anything else reads as absent.
std::optional<long long> readNumber(HKEY key, const wchar_t* name)
{
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        size != sizeof value || (type != REG_DWORD && type != REG_BINARY))
        return std::nullopt;
    return static_cast<long long>(static_cast<std::int32_t>(value));
}

void writeNumber(HKEY key, const wchar_t* name, int number)
{
    const DWORD value = static_cast<DWORD>(number);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

} // namespace

StoredPosition Win32PositionStore::read() const
{
    Key key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, key.target()) != ERROR_SUCCESS)
        return {};
    return {readNumber(key.get(), L"PosX"), readNumber(key.get(), L"PosY")};
}

void Win32PositionStore::save(const std::string& installDir, int x, int y)
{
    Key key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.target(), nullptr) != ERROR_SUCCESS)
        return;
    // The stored length counts the terminating zero.
    const std::wstring folder = wideFromWindows1252(installDir);
    RegSetValueExW(key.get(), L"InstallDir", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    writeNumber(key.get(), L"PosX", x);
    writeNumber(key.get(), L"PosY", y);
}

} // namespace velmora
