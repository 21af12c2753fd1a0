#pragma once
// Where the program's own windows lie on the presenter's screen. The capture takes them with
// every picture, so that a change inside them (the Status line after each upload, above all)
// is not taken for a change of the screen; the windowing layer knows them, tests hand in fakes.

#include "screen/screen_rectangle.h"

#include <vector>

namespace velmora {

class OwnWindows {
public:
    virtual ~OwnWindows() = default;
    // GUI thread: the parts of the screen that the program's visible windows cover now (a
    // shaped window gives only the parts it paints).
    virtual std::vector<ScreenRectangle> onScreen() const = 0;
};

} // namespace velmora
