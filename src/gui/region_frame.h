#pragma once
// "Bildschirmbereich": a thin outline around the captured part of the screen, shown while the
// program runs with a region and the settings window is closed. It lies one pixel outside the
// captured area, so it never shows in the pictures, and it lets every click through.

#include "capture/region_frame_geometry.h"
#include "capture/screen_source.h"

#include <memory>
#include <string>

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

    bool running() const { return window_ != nullptr; }
    // The frame window while one is shown (for tests), else nullptr.
    QWidget* window() const;

private:
    class Window;
    ScreenBounds screen_;
    std::unique_ptr<Window> window_;
};

} // namespace velmora
