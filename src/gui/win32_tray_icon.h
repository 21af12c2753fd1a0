#pragma once
// The tray icon on Win32 (Shell_NotifyIconW) and the 32 x 32 icon image carried inside the
// program as ICO data. The icon's clicks come to its window as a message of the window's
// choosing.

#include <windows.h>

#include <string>

namespace velmora {

class Win32Icon {
public:
    // The program's icon, made from its ICO data; null when the data cannot be read.
    Win32Icon();
    ~Win32Icon();
    Win32Icon(const Win32Icon&) = delete;
    Win32Icon& operator=(const Win32Icon&) = delete;
    HICON get() const { return icon_; }

private:
    HICON icon_ = nullptr;
};

class Win32TrayIcon {
public:
    // The icon's mouse messages reach window as clickMessage, with the mouse message in lParam.
    Win32TrayIcon(HWND window, UINT clickMessage, HICON image);
    ~Win32TrayIcon();
    Win32TrayIcon(const Win32TrayIcon&) = delete;
    Win32TrayIcon& operator=(const Win32TrayIcon&) = delete;

    // False when the shell has no tray to put it in.
    bool add(const std::string& tooltip);
    // The window that gets the clicks, once it exists.
    void setWindow(HWND window) { data_.hWnd = window; }
    void remove();
    bool shown() const { return shown_; }
    // Windows-1252; cut after its 63rd character, as much as a tooltip holds.
    void setTooltip(const std::string& tooltip);
    // After the shell started again (its taskbar was made anew) the icon must be added again.
    void addAgain();

private:
    NOTIFYICONDATAW data_{};
    bool shown_ = false;
    std::string tooltip_;
};

} // namespace velmora
