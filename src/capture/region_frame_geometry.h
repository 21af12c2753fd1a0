#pragma once
// Where the region frame goes: a window one pixel larger on every side than the captured area,
// so that its one-pixel outline never shows in the pictures.

#include "screen/screen_source.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

struct FrameGeometry {
    std::int32_t x = 0; // screen position of the window's top-left pixel, may be -1
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const FrameGeometry&) const = default;
};

// The frame window for a Region string, or nothing when no frame is to show: the whole screen
// (empty text), a text that the region check refuses (silently: no message), or a region that
// names no pixels (right left of left), for which the frame would have no size.
std::optional<FrameGeometry> regionFrameGeometry(const std::string& region,
                                                 const ScreenBounds& screen);

} // namespace velmora
