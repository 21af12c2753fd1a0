#include "gui/win32_tray_icon.h"

#include "app/win32_wide_text.h"

#include <shellapi.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace velmora {

extern const unsigned char kTrayIconIco[];
extern const std::size_t kTrayIconIcoSize;

namespace {

constexpr std::size_t kTooltipCharacters = 63;

std::uint32_t littleEndian32(const unsigned char* bytes)
{
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

} // namespace

Win32Icon::Win32Icon()
{
    // ICO: a 6-byte header, then 16 bytes per image naming its size (at 8) and offset (at 12).
    constexpr std::size_t kHeader = 6;
    constexpr std::size_t kEntry = 16;
    if (kTrayIconIcoSize < kHeader + kEntry)
        return;
    const unsigned char* entry = kTrayIconIco + kHeader;
    const std::uint32_t size = littleEndian32(entry + 8);
    const std::uint32_t offset = littleEndian32(entry + 12);
    if (offset > kTrayIconIcoSize || size > kTrayIconIcoSize - offset)
        return;
    // The image bytes are only read, but the call's signature asks for writable ones.
    icon_ = CreateIconFromResourceEx(const_cast<unsigned char*>(kTrayIconIco + offset), size, TRUE,
                                     0x00030000, 32, 32, LR_DEFAULTCOLOR);
}

Win32Icon::~Win32Icon()
{
    if (icon_ != nullptr)
        DestroyIcon(icon_);
}

Win32TrayIcon::Win32TrayIcon(HWND window, UINT clickMessage, HICON image)
{
    data_.cbSize = sizeof data_;
    data_.hWnd = window;
    data_.uID = 1;
    data_.uCallbackMessage = clickMessage;
    data_.hIcon = image;
}

Win32TrayIcon::~Win32TrayIcon()
{
    remove();
}

bool Win32TrayIcon::add(const std::string& tooltip)
{
    tooltip_ = tooltip;
    const std::wstring text = wideFromWindows1252(tooltip.substr(0, kTooltipCharacters));
    data_.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    std::wcsncpy(data_.szTip, text.c_str(), std::size(data_.szTip) - 1);
    shown_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    return shown_;
}

void Win32TrayIcon::remove()
{
    if (!shown_)
        return;
    Shell_NotifyIconW(NIM_DELETE, &data_);
    shown_ = false;
}

void Win32TrayIcon::setTooltip(const std::string& tooltip)
{
    if (!shown_ || tooltip == tooltip_)
        return;
    tooltip_ = tooltip;
    const std::wstring text = wideFromWindows1252(tooltip.substr(0, kTooltipCharacters));
    data_.uFlags = NIF_TIP;
    std::memset(data_.szTip, 0, sizeof data_.szTip);
    std::wcsncpy(data_.szTip, text.c_str(), std::size(data_.szTip) - 1);
    Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void Win32TrayIcon::addAgain()
{
    if (shown_)
        add(tooltip_);
}

} // namespace velmora
