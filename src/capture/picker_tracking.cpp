#include "capture/picker_tracking.h"

#include <algorithm>

namespace velmora {

void PickerTracking::follow(const std::function<void()>& trackOnce)
{
    if (!on_)
        return;
    if (busy_) {
        again_ = true;
        return;
    }
    busy_ = true;
    do {
        again_ = false;
        trackOnce();
    } while (again_ && on_);
    busy_ = false;
}

std::string regionFromOuterRect(const OuterRect& rect)
{
    return std::to_string(std::int64_t{rect.left} + 1) + "," +
           std::to_string(std::int64_t{rect.top} + 1) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

OuterRect keepPickerOnScreen(const OuterRect& rect, const ScreenBounds& screen)
{
    const std::int64_t l = std::int64_t{rect.left} + 1;
    const std::int64_t t = std::int64_t{rect.top} + 1;
    const std::int64_t r = rect.right;
    const std::int64_t b = rect.bottom;
    const std::int64_t screenWidth = screen.right;
    const std::int64_t screenHeight = screen.bottom;

    std::int64_t left = rect.left;
    std::int64_t top = rect.top;
    std::int64_t width = rect.width();
    std::int64_t height = rect.height();
    if (l < 0)
        left = 0;
    if (t < 0)
        top = 0;
    // A window lying wholly beyond the right or bottom edge keeps one pixel rather than getting
    // an empty or negative size, which no window can take.
    if (r > screenWidth)
        width = std::max<std::int64_t>(width - (r - screenWidth), 1);
    if (b > screenHeight)
        height = std::max<std::int64_t>(height - (b - screenHeight), 1);
    return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
            static_cast<std::int32_t>(left + width), static_cast<std::int32_t>(top + height)};
}

} // namespace velmora
