#pragma once
// "Bildschirmbereich" on Win32: a thin outline around the captured part of the screen, shown
// while the program runs with a region and the settings window is closed. A borderless topmost
// layered window one pixel larger on every side than the captured area, white made fully
// transparent by its colour key, so that only the outline shows and every click goes through.
// It runs on a thread of its own, which redraws it at least every 100 ms.

#include "screen/screen_source.h"

#include <atomic>
#include <string>
#include <thread>

namespace velmora {

class Win32RegionFrame {
public:
    explicit Win32RegionFrame(ScreenBounds screen) : screen_(screen) {}
    ~Win32RegionFrame() { stop(); }
    Win32RegionFrame(const Win32RegionFrame&) = delete;
    Win32RegionFrame& operator=(const Win32RegionFrame&) = delete;

    // Removes any frame shown before, then shows the frame for the Region string. False, showing
    // nothing and no message, for the whole screen, a refused text or a region without pixels.
    bool start(const std::string& region);
    // The frame is gone from the screen when this returns. Nothing happens when none is shown.
    void stop();
    bool running() const { return thread_.joinable(); }

private:
    ScreenBounds screen_;
    std::atomic<bool> stopping_{false};
    std::atomic<unsigned long> threadId_{0};
    std::jthread thread_;
};

} // namespace velmora
