#pragma once

namespace velmora {

// A rectangle in screen pixels, or in picture pixels once it has been placed on a capture.
struct ScreenRectangle {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

} // namespace velmora
