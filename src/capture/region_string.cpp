#include "capture/region_string.h"

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

std::int32_t regionFieldValue(const std::string& field)
{
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
        negative = field[i] == '-';
        ++i;
    }
    // Unsigned arithmetic wraps, which keeps exactly the low 32 bits of a long number.
    std::uint32_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(field[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
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

    std::int32_t fields[4] = {0, 0, 0, 0};
    std::size_t start = 0;
    for (int n = 0; n < 4 && start <= region.size(); ++n) {
        std::size_t comma = region.find(',', start);
        if (comma == std::string::npos)
            comma = region.size();
        fields[n] = regionFieldValue(region.substr(start, comma - start));
        start = comma + 1;
    }

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
