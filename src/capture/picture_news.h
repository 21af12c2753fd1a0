#pragma once
// Whether a new capture shows the spectators anything new: its pixels compared with those of the
// picture they have, except where the program's own windows lie now. Where an own window has
// moved away, the screen it uncovered differs from the spectators' picture (which still shows
// the window there) and is news; where it now covers, what the spectators have is good enough.

#include "capture/own_windows.h"
#include "png/rgb_picture.h"
#include "png/row_bands.h"
#include "screen/screen_changes.h"

#include <vector>

namespace velmora {

// The screen rectangles placed on a capture of (x, y, width, height): moved to picture pixels
// and cut to the picture; those outside it are left out.
std::vector<ScreenRectangle> rectanglesInCapture(const std::vector<ScreenRectangle>& onScreen,
                                                 int x, int y, int width, int height);

// True when the pictures differ in size or in any pixel outside the masked rectangles (picture
// pixels, inside the picture). Only the rows in rows are compared: the caller knows the others
// to be equal.
bool differsOutside(const RgbPicture& shown, const RgbPicture& captured,
                    const std::vector<ScreenRectangle>& masked,
                    const RowBands& rows = RowBands::all());

// Whether what the screen reported can show in a capture of (x, y, width, height): a changed
// rectangle there that no own window (screen pixels) wholly covers, anything at all when the
// screen could not say where, or a pointer move when the marker is shown.
bool changesReachCapture(const ScreenChanges& changes, const std::vector<ScreenRectangle>& own,
                         int x, int y, int width, int height, bool markerShown);

} // namespace velmora
