#pragma once
// Where a described window goes: the rules every front end follows, in screen pixels of the
// window's outer frame (title bar and borders included), as the presenter sees the window.

#include "screen/screen_source.h"

namespace velmora {

struct WindowPlace {
    int x = 0;
    int y = 0;
    bool operator==(const WindowPlace&) const = default;
};

// The top-left corner that centres a window of the given outer size in area; a window larger
// than the area hangs over its right and bottom edges, never its left and top ones.
WindowPlace centredIn(int outerWidth, int outerHeight, const ScreenBounds& area);

} // namespace velmora
