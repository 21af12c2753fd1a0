#include "gui/win32_settings_window.h"

#include "app/program_windows.h"

namespace velmora {

Win32SettingsWindow::Win32SettingsWindow(HWND owner, SettingsWindowEvents events,
                                         std::function<void()> onClosed)
    : Win32DescribedWindow(settingsWindowDescription(), owner, nullptr,
                           [this](WindowAction action) { onAction(action); }),
      events_(std::move(events)), onClosed_(std::move(onClosed))
{
}

Win32SettingsWindow::~Win32SettingsWindow() = default;

void Win32SettingsWindow::onAction(WindowAction action)
{
    // Nothing of a closed window acts any more.
    if (open_ && events_)
        events_(action, *this);
}

std::string Win32SettingsWindow::text(SettingsField field) const
{
    return Win32DescribedWindow::text(static_cast<int>(field));
}

void Win32SettingsWindow::setText(SettingsField field, const std::string& text)
{
    Win32DescribedWindow::setText(static_cast<int>(field), text);
}

void Win32SettingsWindow::focus(SettingsField field)
{
    Win32DescribedWindow::focus(static_cast<int>(field));
}

bool Win32SettingsWindow::checked(SettingsCheck box) const
{
    return Win32DescribedWindow::checked(static_cast<int>(box));
}

void Win32SettingsWindow::setChecked(SettingsCheck box, bool on)
{
    Win32DescribedWindow::setChecked(static_cast<int>(box), on);
}

void Win32SettingsWindow::closeWindow()
{
    if (!open_)
        return;
    open_ = false;
    hide();
    if (onClosed_)
        onClosed_();
}

} // namespace velmora
