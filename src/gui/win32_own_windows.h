#pragma once
// The program's own windows as the system knows them: every visible top-level window of the GUI
// thread (the main window, boxes, the about box, the preview ...), frame included. The region
// frame lives on a thread of its own and lies outside the captured area: it is not among them.

#include "capture/own_windows.h"

#include <windows.h>

namespace velmora {

class Win32OwnWindows final : public OwnWindows {
public:
    explicit Win32OwnWindows(DWORD guiThread) : guiThread_(guiThread) {}
    std::vector<ScreenRectangle> onScreen() const override;

private:
    DWORD guiThread_;
};

} // namespace velmora
