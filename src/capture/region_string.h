#pragma once
// The Region string ("left,top,right,bottom", counted from 1, right and bottom inside the area;
// empty for the whole screen) turned into the rectangle that is copied from the screen.

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

// One field of the Region string: blanks and tabs skipped, an optional sign, decimal digits up to
// the first other character; no digits give 0. Longer numbers keep their low 32 bits, as every
// number the program reads from text does.
std::int32_t regionFieldValue(const std::string& field);

// Origin clamped to the screen's top-left corner, size clamped to its right and bottom edges.
// The result may name no pixels (width or height 0 or less) when right lies left of left, or the
// origin lies beyond the screen.
CaptureRectangle captureRectangle(const std::string& region, std::int32_t screenWidth,
                                  std::int32_t screenHeight);

} // namespace velmora
