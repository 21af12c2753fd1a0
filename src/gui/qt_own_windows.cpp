#include "gui/qt_own_windows.h"

#include <QApplication>
#include <QRegion>
#include <QWidget>

#include <cmath>

namespace velmora {

std::vector<ScreenRectangle> QtOwnWindows::onScreen() const
{
    std::vector<ScreenRectangle> rectangles;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->isMinimized())
            continue;
        // A shaped window covers only its shape: the region frame's outline lies outside the
        // captured area, while its rectangle would hide all of it.
        const QRegion covered = window->mask().isEmpty()
                                    ? QRegion(window->frameGeometry())
                                    : window->mask().translated(window->mapToGlobal(QPoint(0, 0)));
        // Qt places windows in device-independent pixels; the screen is read in real ones.
        const double ratio = window->devicePixelRatioF();
        for (const QRect& r : covered) {
            const int left = static_cast<int>(std::floor(r.left() * ratio));
            const int top = static_cast<int>(std::floor(r.top() * ratio));
            const int right = static_cast<int>(std::ceil((r.right() + 1) * ratio));
            const int bottom = static_cast<int>(std::ceil((r.bottom() + 1) * ratio));
            rectangles.push_back({left, top, right - left, bottom - top});
        }
    }
    return rectangles;
}

} // namespace velmora
