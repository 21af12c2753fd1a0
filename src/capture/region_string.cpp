#include "capture/region_string.h"

#include "core/number_rule.h"

#include <algorithm>
#include <limits>

namespace velmora {
namespace {

std::int32_t clampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::array<std::int32_t, 4> regionFields(const std::string& region)
{
    std::array<std::int32_t, 4> fields{0, 0, 0, 0};
    std::size_t start = 0;
    for (std::size_t n = 0; n < fields.size() && start <= region.size(); ++n) {
        std::size_t comma = region.find(',', start);
        if (comma == std::string::npos)
            comma = region.size();
        fields[n] = decimalNumberFromText(std::string_view(region).substr(start, comma - start));
        start = comma + 1;
    }
    return fields;
}

CaptureRectangle captureRectangle(const std::string& region, std::int32_t screenWidth,
                                  std::int32_t screenHeight)
{
    CaptureRectangle rect;
    if (region.empty()) {
        rect.width = screenWidth;
        rect.height = screenHeight;
        return rect;
    }

    const std::array<std::int32_t, 4> fields = regionFields(region);

    // 64-bit arithmetic: fields near the 32-bit limits must not overflow on the way to the
    // clamped result.
    const std::int64_t x = std::max<std::int64_t>(std::int64_t{fields[0]} - 1, 0);
    const std::int64_t y = std::max<std::int64_t>(std::int64_t{fields[1]} - 1, 0);
    std::int64_t width = std::int64_t{fields[2]} - x;
    if (x + width > screenWidth)
        width = screenWidth - x;
    std::int64_t height = std::int64_t{fields[3]} - y;
    if (y + height > screenHeight)
        height = screenHeight - y;

    rect.x = clampToInt32(x);
    rect.y = clampToInt32(y);
    rect.width = clampToInt32(width);
    rect.height = clampToInt32(height);
    return rect;
}

} // namespace velmora
