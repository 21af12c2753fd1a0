#pragma once
// The capture rectangle as the screen last gave it, before the caption is drawn. Where the screen
// reports its changes, the next read of the same rectangle takes from the screen only the rows
// that may have changed since and keeps the others: a clock ticking in a corner costs a strip of
// the screen, not the whole screen. A report taken before a read covers every change made after
// the read before it, so the kept rows and the strips read anew are the screen as it is now.

#include "capture/region_string.h"
#include "png/rgb_picture.h"
#include "png/row_bands.h"
#include "screen/screen_changes.h"
#include "screen/screen_source.h"

#include <optional>

namespace velmora {

// Adds the screen rows that the reported changes may have touched: those of every changed
// rectangle, every row when the screen could not say where. A pointer move changes no pixel the
// screen gives: the pointer is not in its pictures.
void addChangedRows(RowBands& screenRows, const ScreenChanges& changes);

class ScreenReader {
public:
    explicit ScreenReader(ScreenSource& screen) : screen_(screen) {}

    // Reads rect, which names pixels inside bounds, into picture(). changedScreenRows: the screen
    // rows that may have changed since the last read (every row when that is not known). Gives
    // the picture rows taken from the screen now, which are all those that may differ from the
    // last read (every row when the whole rectangle was read), or nothing when the screen could
    // not be read; nothing is kept then.
    std::optional<RowBands> read(const CaptureRectangle& rect, const ScreenBounds& bounds,
                                 const RowBands& changedScreenRows);
    // The next read takes the whole rectangle.
    void forget() { kept_ = false; }

    const RgbPicture& picture() const { return picture_; }

private:
    ScreenSource& screen_;
    bool kept_ = false;
    CaptureRectangle rect_;
    ScreenBounds bounds_;
    RgbPicture picture_{0, 0};
};

} // namespace velmora
