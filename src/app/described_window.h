#pragma once
// A window opened from its description, as the wiring sees it: its gadgets' values by their
// ids, and the window itself. Each front end implements it once for every window; what a window
// does lives in the wiring. The native window goes with the object.

#include "app/window_description.h"
#include "capture/picker_tracking.h"

#include <functional>
#include <string>

namespace velmora {

class DescribedWindow {
public:
    virtual ~DescribedWindow() = default;

    // Windows-1252 texts of fields, labels, buttons, check boxes and links.
    virtual std::string text(int gadget) const = 0;
    virtual void setText(int gadget, const std::string& text) = 0;
    virtual bool checked(int gadget) const = 0;
    virtual void setChecked(int gadget, bool on) = 0;
    virtual void focus(int gadget) = 0;

    // Shows the window, brings it to the front and gives it the keyboard.
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool shown() const = 0;
    // The outer rectangle (title bar and borders included) in screen pixels; all 0 once the
    // system has destroyed the window.
    virtual OuterRect frame() const = 0;
    virtual void setFrame(const OuterRect& frame) = 0;
};

// What a window hands back: its gadgets' and menu entries' actions, its close box (as the
// description's closeBox action; the window stays until the wiring hides it), and its moves.
struct WindowEvents {
    WindowActionHandler action;
    std::function<void()> moved; // moved or resized
};

} // namespace velmora
