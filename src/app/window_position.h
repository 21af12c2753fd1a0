#pragma once
// Where the main window opens: defaults, and which remembered values are still on the screen.

#include "screen/screen_source.h"

#include <optional>

namespace velmora {

struct WindowPosition {
    int x = 200;
    int y = 1;
};

// A remembered coordinate is used only when it is greater than 0 and more than 10 pixels inside
// the right or bottom edge, so the window can never open out of reach.
WindowPosition acceptedWindowPosition(std::optional<long long> storedX,
                                      std::optional<long long> storedY, const ScreenBounds& screen);

} // namespace velmora
