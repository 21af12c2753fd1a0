#pragma once
// The presenter's screen as the capture sees it: its size, its pixels and the pointer. The
// platform reads it (X11 here); tests hand the capture a fake screen instead.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace velmora {

// Screen bounds as measured once when the source was opened; right and bottom are the width and
// height of the screen in pixels.
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
};

} // namespace velmora
