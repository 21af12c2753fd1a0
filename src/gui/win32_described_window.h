#pragma once
// A described window on Win32: frame, title, menu and gadgets made from its description, each
// gadget carrying its id; clicks, menu entries and the close box come back as actions.

#include "app/window_description.h"
#include "gui/win32_fonts.h"
#include "gui/win32_hyperlink.h"
#include "gui/win32_window.h"
#include "screen/screen_source.h"

#include <map>
#include <memory>
#include <string>

namespace velmora {

class Win32DescribedWindow : public Win32Window {
public:
    // Owned by owner; at position for a window placed by its caller, else by its placement
    // rule, centred in centreArea (the primary screen when null). Shown by showActive().
    // titleFont: Arial 12 pt bold for the gadgets that want it.
    Win32DescribedWindow(const WindowDescription& description, HWND owner, HFONT titleFont,
                         WindowActionHandler onAction, POINT position = {},
                         const ScreenBounds* centreArea = nullptr);
    ~Win32DescribedWindow() override;

    // Windows-1252 texts of fields, labels, buttons and check boxes.
    std::string text(int id) const;
    void setText(int id, const std::string& text);
    bool checked(int id) const;
    void setChecked(int id, bool on);
    void focus(int id);
    // Tab, Return and the arrow keys between the gadgets, Ctrl+A in a field; true when the
    // message was taken.
    bool takeDialogKeys(MSG& message);

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void act(WindowAction action)
    {
        if (onAction_)
            onAction_(action);
    }

private:
    void addGadgets(HFONT titleFont);
    HWND gadget(int id) const { return GetDlgItem(handle(), id); }

    const WindowDescription& description_;
    WindowActionHandler onAction_;
    Win32Font narrowFont_;
    std::map<int, std::unique_ptr<Win32Hyperlink>> links_;
};

} // namespace velmora
