#pragma once
// "Einstellungen" on Win32: the described window. Clicks and the close box go to the wiring as
// actions.

#include "app/settings_window_actions.h"
#include "gui/win32_described_window.h"
#include "settings/settings_form.h"

#include <functional>

namespace velmora {

class Win32SettingsWindow final : public Win32DescribedWindow, public SettingsWindowView {
public:
    // Owned by owner (the main window) and kept above every window; shown by show().
    Win32SettingsWindow(HWND owner, SettingsWindowEvents events, std::function<void()> onClosed);
    ~Win32SettingsWindow() override;

    // Until closeWindow: hidden for the region picker and the preview's picture, it stays open.
    bool open() const { return open_; }
    void show() { showActive(); }

    std::string text(SettingsField field) const override;
    void setText(SettingsField field, const std::string& text) override;
    void focus(SettingsField field) override;
    bool checked(SettingsCheck box) const override;
    void setChecked(SettingsCheck box, bool on) override;
    void closeWindow() override;

private:
    void onAction(WindowAction action);

    SettingsWindowEvents events_;
    std::function<void()> onClosed_;
    bool open_ = true;
};

} // namespace velmora
