#include "app/window_placement.h"

#include <algorithm>

namespace velmora {

WindowPlace centredIn(int outerWidth, int outerHeight, const ScreenBounds& area)
{
    // The title bar with its close box must stay reachable.
    const int x = area.left + std::max(0, (area.right - area.left - outerWidth) / 2);
    const int y = area.top + std::max(0, (area.bottom - area.top - outerHeight) / 2);
    return {x, y};
}

} // namespace velmora
