#pragma once
// The Region string ("left,top,right,bottom", counted from 1, right and bottom inside the area;
// empty for the whole screen) turned into the rectangle that is copied from the screen.

#include <array>
#include <cstdint>
#include <string>

namespace velmora {

struct CaptureRectangle {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    bool namesPixels() const { return width > 0 && height > 0; }
};

// The four fields left, top, right and bottom, split at ",", each read with the decimal number
// rule; a missing, empty or non-numeric field reads as 0.
std::array<std::int32_t, 4> regionFields(const std::string& region);

// Origin clamped to the screen's top-left corner, size clamped to its right and bottom edges.
// The result may name no pixels (width or height 0 or less) when right lies left of left, or the
// origin lies beyond the screen.
CaptureRectangle captureRectangle(const std::string& region, std::int32_t screenWidth,
                                  std::int32_t screenHeight);

} // namespace velmora
