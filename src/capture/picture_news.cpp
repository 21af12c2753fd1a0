#include "capture/picture_news.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace velmora {

std::vector<ScreenRectangle> rectanglesInCapture(const std::vector<ScreenRectangle>& onScreen,
                                                 int x, int y, int width, int height)
{
    std::vector<ScreenRectangle> placed;
    for (const ScreenRectangle& r : onScreen) {
        // 64 bits: a window far off the screen must not wrap around into the picture.
        const long long left = std::max<long long>(0, static_cast<long long>(r.x) - x);
        const long long top = std::max<long long>(0, static_cast<long long>(r.y) - y);
        const long long right =
            std::min<long long>(width, static_cast<long long>(r.x) + r.width - x);
        const long long bottom =
            std::min<long long>(height, static_cast<long long>(r.y) + r.height - y);
        if (r.width <= 0 || r.height <= 0 || left >= right || top >= bottom)
            continue;
        placed.push_back({static_cast<int>(left), static_cast<int>(top),
                          static_cast<int>(right - left), static_cast<int>(bottom - top)});
    }
    return placed;
}

bool differsOutside(const RgbPicture& shown, const RgbPicture& captured,
                    const std::vector<ScreenRectangle>& masked, const RowBands& rows)
{
    if (shown.width() != captured.width() || shown.height() != captured.height())
        return true;
    const int width = captured.width();
    std::vector<std::pair<int, int>> spans; // masked columns [first, end) of one row
    const auto rowDiffers = [&](int row) {
        spans.clear();
        for (const ScreenRectangle& r : masked) {
            if (row < r.y || row >= r.y + r.height)
                continue;
            const int first = std::clamp(r.x, 0, width);
            const int end = std::clamp(r.x + r.width, first, width);
            if (first < end)
                spans.emplace_back(first, end);
        }
        std::sort(spans.begin(), spans.end());
        const std::uint8_t* a = shown.row(row);
        const std::uint8_t* b = captured.row(row);
        int column = 0;
        const auto compareUpTo = [&](int end) {
            const bool differs =
                end > column && std::memcmp(a + 3 * static_cast<std::size_t>(column),
                                            b + 3 * static_cast<std::size_t>(column),
                                            3 * static_cast<std::size_t>(end - column)) != 0;
            return differs;
        };
        for (const auto& [first, end] : spans) {
            if (compareUpTo(first))
                return true;
            column = std::max(column, end);
        }
        return compareUpTo(width);
    };
    if (rows.everything()) {
        for (int row = 0; row < captured.height(); ++row)
            if (rowDiffers(row))
                return true;
        return false;
    }
    const RowBands compared = rows.within(0, captured.height());
    for (const RowBand& band : compared.bands())
        for (int row = band.top; row < band.bottom; ++row)
            if (rowDiffers(row))
                return true;
    return false;
}

bool changesReachCapture(const ScreenChanges& changes, const std::vector<ScreenRectangle>& own,
                         int x, int y, int width, int height, bool markerShown)
{
    if (changes.everything || (changes.pointerMoved && markerShown))
        return true;
    const std::vector<ScreenRectangle> ownPlaced = rectanglesInCapture(own, x, y, width, height);
    const auto covered = [&](const ScreenRectangle& r) {
        for (const ScreenRectangle& o : ownPlaced)
            if (r.x >= o.x && r.y >= o.y && r.x + r.width <= o.x + o.width &&
                r.y + r.height <= o.y + o.height)
                return true;
        return false;
    };
    for (const ScreenRectangle& r : rectanglesInCapture(changes.rectangles, x, y, width, height))
        if (!covered(r))
            return true;
    return false;
}

} // namespace velmora
