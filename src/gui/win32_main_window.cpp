#include "gui/win32_main_window.h"

#include "app/program_windows.h"

namespace velmora {
namespace {

constexpr UINT kTrayClick = WM_APP + 2;

} // namespace

Win32MainWindow::Win32MainWindow(WindowPosition position, WindowActionHandler onAction, HICON icon)
    : tray_(nullptr, kTrayClick, icon), taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated"))
{
    WindowEvents events;
    events.action = std::move(onAction);
    window_ =
        std::make_unique<Win32DescribedWindow>(mainWindowDescription(), std::move(events), nullptr,
                                               nullptr, POINT{position.x, position.y}, SIZE{});
    const HWND window = window_->handle();
    if (window == nullptr)
        return;
    window_->setMessageFilter(
        [this](UINT message, WPARAM, LPARAM lParam) { return onTrayMessage(message, lParam); });
    tray_.setWindow(window);
    if (icon != nullptr) {
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
}

Win32MainWindow::~Win32MainWindow()
{
    tray_.remove();
}

void Win32MainWindow::setStatusLine(const std::string& text)
{
    window_->setText(kStatusLineGadget, text);
}

void Win32MainWindow::setTrayTooltip(const std::string& text)
{
    tray_.setTooltip(text);
}

void Win32MainWindow::minimiseToTray()
{
    if (tray_.shown())
        return;
    // Without a tray to go to, the window stays where it is: hidden, it would be lost for good.
    if (!tray_.add(mainWindowDescription().title))
        return;
    ShowWindow(handle(), SW_HIDE);
}

void Win32MainWindow::restoreFromTray()
{
    if (!tray_.shown())
        return;
    tray_.remove();
    ShowWindow(handle(), SW_SHOW);
    ShowWindow(handle(), SW_RESTORE);
    SetForegroundWindow(handle());
}

bool Win32MainWindow::onTrayMessage(UINT message, LPARAM lParam)
{
    if (message == kTrayClick) {
        // A press of either button brings the window back; double clicks add nothing.
        if (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN)
            restoreFromTray();
        return true;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        tray_.addAgain();
        return true;
    }
    return false;
}

} // namespace velmora
