#include "capture/region_frame_geometry.h"

#include "capture/region_string.h"
#include "capture/region_validation.h"

#include <algorithm>

namespace velmora {

std::optional<FrameGeometry> regionFrameGeometry(const std::string& region,
                                                 const ScreenBounds& screen)
{
    if (region.empty() || checkRegionText(region, screen) != RegionCheck::Usable)
        return std::nullopt;

    // The check has passed: four fields of digits, none beyond the screen.
    const std::array<std::int32_t, 4> fields = regionFields(region);
    // x and y are the capture origin counted from 0; the outline runs one pixel outside the
    // captured columns x .. right - 1 and rows y .. bottom - 1.
    const std::int32_t x = std::max(fields[0] - 1, 0);
    const std::int32_t y = std::max(fields[1] - 1, 0);
    const std::int32_t width = fields[2] - x + 2;
    const std::int32_t height = fields[3] - y + 2;
    if (width < 3 || height < 3)
        return std::nullopt;
    return FrameGeometry{x - 1, y - 1, width, height};
}

} // namespace velmora
