#pragma once
// The program's own windows as Qt knows them: every visible top-level window of this process
// (the main window, boxes, the about box, the preview ...), frame included, in screen pixels.

#include "capture/own_windows.h"

namespace velmora {

class QtOwnWindows final : public OwnWindows {
public:
    std::vector<ScreenRectangle> onScreen() const override;
};

} // namespace velmora
