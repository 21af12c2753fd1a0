#pragma once
// A described window on Win32: frame, title, menu and gadgets made from its description, each
// gadget carrying its id. Clicks, menu entries, the close box and moves come back as its events;
// the window stays until its object goes.

#include "app/described_window.h"
#include "gui/win32_fonts.h"
#include "gui/win32_hyperlink.h"
#include "gui/win32_picture_view.h"
#include "gui/win32_window.h"
#include "screen/screen_source.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class Win32DescribedWindow final : public Win32Window, public DescribedWindow {
public:
    // The open windows, for the keys a dialog takes from the event loop.
    using OpenWindows = std::vector<Win32DescribedWindow*>;

    // Owned by owner; at place for a window placed by its caller, else centred on the primary
    // screen, or in centreArea where the description wants a larger one. Created hidden.
    // titleFont: Arial 12 pt bold for the gadgets that want it.
    Win32DescribedWindow(const WindowDescription& description, WindowEvents events, HWND owner,
                         HFONT titleFont, POINT place, SIZE client, OpenWindows* open = nullptr);
    ~Win32DescribedWindow() override;

    std::string text(int gadget) const override;
    void setText(int gadget, const std::string& text) override;
    bool checked(int gadget) const override;
    void setChecked(int gadget, bool on) override;
    void focus(int gadget) override;

    void show() override { showActive(); }
    void hide() override { Win32Window::hide(); }
    bool shown() const override { return visible(); }
    OuterRect frame() const override;
    void setFrame(const OuterRect& frame) override;

    // Tab, Return and the arrow keys between the gadgets, Ctrl+A in a field; true when the
    // message was taken.
    bool takeDialogKeys(MSG& message);
    // The main window's own messages (the tray's) before the described ones.
    void setMessageFilter(std::function<bool(UINT, WPARAM, LPARAM)> filter)
    {
        filter_ = std::move(filter);
    }

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void addGadgets(HFONT titleFont);
    void onCommand(WPARAM wParam);
    void fitPicture();
    void act(WindowAction action)
    {
        if (events_.action)
            events_.action(action);
    }
    HWND gadget(int id) const { return GetDlgItem(handle(), id); }

    const WindowDescription& description_;
    WindowEvents events_;
    Win32Font narrowFont_;
    HBRUSH background_ = nullptr; // see-through windows: the picker's colour
    std::map<int, std::unique_ptr<Win32Hyperlink>> links_;
    std::map<int, std::unique_ptr<Win32PictureView>> pictures_;
    std::function<bool(UINT, WPARAM, LPARAM)> filter_;
    OpenWindows* open_;
};

} // namespace velmora
