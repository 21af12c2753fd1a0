#include "app/window_position.h"

namespace velmora {

WindowPosition acceptedWindowPosition(std::optional<long long> storedX,
                                      std::optional<long long> storedY, const ScreenBounds& screen)
{
    WindowPosition position;
    if (storedX && *storedX > 0 && *storedX < screen.right - 10)
        position.x = static_cast<int>(*storedX);
    if (storedY && *storedY > 0 && *storedY < screen.bottom - 10)
        position.y = static_cast<int>(*storedY);
    return position;
}

} // namespace velmora
