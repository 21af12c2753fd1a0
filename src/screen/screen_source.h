#pragma once
// The presenter's screen as the capture sees it: its size, its pixels and the pointer. The
// platform reads it (Windows through GDI; Linux through X11, or on Wayland the desktop's
// ScreenCast portal); tests hand the capture a fake screen instead.

#include "screen/screen_changes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

// Screen bounds; right and bottom are the width and height of the screen in pixels. GDI and X11
// measure them once when the source is opened; a shared Wayland monitor reports its current size.
struct ScreenBounds {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct PointerPosition {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    virtual ScreenBounds bounds() const = 0;
    // Copies the screen rectangle (x, y, width, height), which lies inside the bounds, into rows
    // of red, green, blue bytes, stride bytes apart. Returns false when the screen cannot be read;
    // the target then keeps what it held.
    virtual bool copyRgb(int x, int y, int width, int height, std::uint8_t* rgb,
                         std::size_t stride) = 0;
    // The pointer in screen pixels, or nothing when the platform cannot tell.
    virtual std::optional<PointerPosition> pointerPosition() = 0;
    // Why every picture of this screen would come out black (a Wayland desktop that shares its
    // screen with nobody, or stopped sharing it), as the presenter is to read it; empty while
    // the screen can be read. A screen that is black shows as black all the same.
    virtual std::string unreadableReason() const { return {}; }
    // Starts listening for the screen's own reports of its changes: onChange is called, on a
    // thread of the watch, when a change comes after the last take(). Null where the screen
    // reports nothing (an X server without DAMAGE): then only a capture can tell.
    virtual std::unique_ptr<ScreenChangeWatch> watchChanges(std::function<void()> onChange)
    {
        (void)onChange;
        return nullptr;
    }
};

} // namespace velmora
