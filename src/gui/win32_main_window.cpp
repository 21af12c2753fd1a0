#include "gui/win32_main_window.h"

#include "app/program_windows.h"

namespace velmora {
namespace {

constexpr UINT kTrayClick = WM_APP + 2;

} // namespace

Win32MainWindow::Win32MainWindow(WindowPosition position, WindowActionHandler onAction, HICON icon)
    : Win32DescribedWindow(mainWindowDescription(), nullptr, nullptr,
                           [this](WindowAction action) { this->onAction(action); },
                           {position.x, position.y}),
      onAction_(std::move(onAction)), tray_(handle(), kTrayClick, icon),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated"))
{
    if (handle() == nullptr)
        return;
    if (icon != nullptr) {
        SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    ShowWindow(handle(), SW_SHOWNORMAL);
    UpdateWindow(handle());
}

Win32MainWindow::~Win32MainWindow()
{
    tray_.remove();
}

void Win32MainWindow::onAction(WindowAction action)
{
    if (action == WindowAction::MinimiseToTray)
        minimiseToTray();
    else if (onAction_)
        onAction_(action);
}

void Win32MainWindow::setStatusLine(const std::string& text)
{
    setText(kStatusLineGadget, text);
}

void Win32MainWindow::setTrayTooltip(const std::string& text)
{
    tray_.setTooltip(text);
}

WindowPosition Win32MainWindow::position() const
{
    RECT outer{};
    if (handle() == nullptr || !GetWindowRect(handle(), &outer))
        return {};
    return {outer.left, outer.top};
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

LRESULT Win32MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kTrayClick) {
        // A press of either button brings the window back; double clicks add nothing.
        if (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN)
            restoreFromTray();
        return 0;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        tray_.addAgain();
        return 0;
    }
    return Win32DescribedWindow::onMessage(message, wParam, lParam);
}

} // namespace velmora
