#include "gui/win32_own_windows.h"

namespace velmora {

std::vector<ScreenRectangle> Win32OwnWindows::onScreen() const
{
    std::vector<ScreenRectangle> rectangles;
    EnumThreadWindows(
        guiThread_,
        [](HWND window, LPARAM found) -> BOOL {
            RECT outer{};
            if (IsWindowVisible(window) && !IsIconic(window) && GetWindowRect(window, &outer) &&
                outer.right > outer.left && outer.bottom > outer.top)
                reinterpret_cast<std::vector<ScreenRectangle>*>(found)->push_back(
                    {outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&rectangles));
    return rectangles;
}

} // namespace velmora
