#pragma once
// "Einstellungen" on Win32: every gadget at its pixel place, created in the order that gives
// the tab order, each carrying its gadget id. Clicks go to its SettingsWindowActions.

#include "gui/win32_fonts.h"
#include "gui/win32_window.h"
#include "settings/settings_form.h"

#include <functional>

namespace velmora {

class Win32SettingsWindow final : public Win32Window, public SettingsWindowView {
public:
    // Owned by owner (the main window) and kept above every window; shown by show().
    Win32SettingsWindow(HWND owner, SettingsWindowActions actions, std::function<void()> onClosed);
    ~Win32SettingsWindow() override;

    // Until closeWindow: hidden for the region picker and the preview's picture, it stays open.
    bool open() const { return open_; }
    void show();

    std::string text(SettingsField field) const override;
    void setText(SettingsField field, const std::string& text) override;
    void focus(SettingsField field) override;
    bool checked(SettingsCheck box) const override;
    void setChecked(SettingsCheck box, bool on) override;
    void closeWindow() override;

    // Tab, Return and the arrow keys between the gadgets; true when the message was taken.
    bool takeDialogKeys(MSG& message);

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void addGadgets();
    void onClick(int id);
    HWND gadget(int id) const { return GetDlgItem(handle(), id); }

    Win32Font font_;
    SettingsWindowActions actions_;
    std::function<void()> onClosed_;
    bool open_ = true;
};

} // namespace velmora
