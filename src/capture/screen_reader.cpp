#include "capture/screen_reader.h"

#include <algorithm>
#include <climits>

namespace velmora {
namespace {

// Each strip costs the screen a request of its own (with X11 a few round trips, worth some
// dozens of rows): strips this close are read as one, and a screen changed in many places or
// nearly all over is read whole.
constexpr int kJoinGapRows = 32;
constexpr std::size_t kMostStrips = 8;
constexpr int kMostStripRowsPercent = 60;

bool sameRectangle(const CaptureRectangle& a, const CaptureRectangle& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

bool sameBounds(const ScreenBounds& a, const ScreenBounds& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

void addChangedRows(RowBands& screenRows, const ScreenChanges& changes)
{
    if (changes.everything) {
        screenRows.add(RowBands::all());
        return;
    }
    for (const ScreenRectangle& r : changes.rectangles) {
        if (r.width <= 0 || r.height <= 0)
            continue;
        const long long bottom = static_cast<long long>(r.y) + r.height;
        screenRows.add(r.y, static_cast<int>(std::min<long long>(bottom, INT_MAX)));
    }
}

std::optional<RowBands> ScreenReader::read(const CaptureRectangle& rect, const ScreenBounds& bounds,
                                           const RowBands& changedScreenRows)
{
    const bool sameRead = kept_ && sameRectangle(rect, rect_) && sameBounds(bounds, bounds_);
    kept_ = false; // until this read has succeeded
    if (sameRead && !changedScreenRows.everything()) {
        const RowBands strips = changedScreenRows.within(rect.y, rect.height).joined(kJoinGapRows);
        if (strips.bands().size() <= kMostStrips &&
            strips.rowCount(rect.height) * 100 <= 1LL * rect.height * kMostStripRowsPercent) {
            for (const RowBand& strip : strips.bands())
                if (!screen_.copyRgb(rect.x, rect.y + strip.top, rect.width,
                                     strip.bottom - strip.top, picture_.row(strip.top),
                                     picture_.stride()))
                    return std::nullopt;
            kept_ = true;
            return strips;
        }
    }
    // A whole read counts as a change of every row: a row read anew outside the reported ones
    // may show a change whose report is still on its way.
    if (picture_.width() != rect.width || picture_.height() != rect.height)
        picture_ = RgbPicture(rect.width, rect.height);
    if (!screen_.copyRgb(rect.x, rect.y, rect.width, rect.height, picture_.data(),
                         picture_.stride()))
        return std::nullopt;
    kept_ = true;
    rect_ = rect;
    bounds_ = bounds;
    return RowBands::all();
}

} // namespace velmora
