#pragma once
// The region picker's arithmetic: the Region string of the picker window's outer rectangle, and
// where the window goes when it hangs over an edge of the screen.

#include "screen/screen_source.h"

#include <cstdint>
#include <functional>
#include <string>

namespace velmora {

// A window's outer rectangle, title bar and borders included, in screen pixels counted from 0;
// right and bottom lie just outside it (left + width, top + height).
struct OuterRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool operator==(const OuterRect&) const = default;
};

// "left,top,right,bottom" counted from 1, right and bottom inside the area: exactly the pixels
// under the window.
std::string regionFromOuterRect(const OuterRect& rect);

// The rectangle the window is moved or sized to when its region would start left of or above
// the screen, or end right of or below it: pushed to x or y 0, made narrower or lower with its
// left and top edges kept. Each rule reads the region values of the rectangle as given; the
// window's next move or size event brings the text up to date and may correct it again. The
// same rectangle comes back when nothing is to be corrected.
OuterRect keepPickerOnScreen(const OuterRect& rect, const ScreenBounds& screen);

// Follows the picker window's moves once started. Moving the window back raises a new move while
// one is handled: that one is worked out again afterwards, from where the window then is.
class PickerTracking {
public:
    void start() { on_ = true; }
    void stop() { on_ = false; }
    void follow(const std::function<void()>& trackOnce);

private:
    bool on_ = false;
    bool busy_ = false;
    bool again_ = false;
};

} // namespace velmora
