#pragma once
// "Bildschirmbereich": a thin outline around the captured part of the screen, shown while the
// program runs with a region and the settings window is closed. It lies one pixel outside the
// captured area, so it never shows in the pictures, and it lets every click through. It is
// made of four windows of one pixel's thickness, one for each edge: a single window shaped to
// the outline is drawn as an opaque square on desktops that ignore the shape (Xwayland), and it
// would cover the very area being presented.

#include "capture/region_frame_geometry.h"
#include "screen/screen_source.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace velmora {

class RegionFrame {
public:
    explicit RegionFrame(ScreenBounds screen);
    ~RegionFrame();
    RegionFrame(const RegionFrame&) = delete;
    RegionFrame& operator=(const RegionFrame&) = delete;

    // GUI thread. Removes any frame shown before, then shows the frame for the Region string.
    // Returns false, showing nothing and no message, for the whole screen (empty text), for a
    // text the region check refuses and for a region that names no pixels.
    bool start(const std::string& region);
    // GUI thread. The frame is gone from the screen when this returns. Nothing happens when no
    // frame is shown.
    void stop();

    bool running() const { return edges_[0] != nullptr; }
    // The four edge windows (top, bottom, left, right) while a frame is shown (for tests), else
    // none.
    std::vector<QWidget*> windows() const;

private:
    class Edge;
    ScreenBounds screen_;
    std::array<std::unique_ptr<Edge>, 4> edges_;
};

} // namespace velmora
