#pragma once
// Keeps a scrolling document moving on a virtual display: from construction until the object
// goes, a thread of its own shows the screen one text line further every 30 ms, by the clock, so
// a slow frame is caught up by skipping lines rather than by slowing the scroll.

#include "scrolling_document.h"
#include "support/virtual_display.h" // tests/support

#include <atomic>
#include <thread>

namespace velmora::bench {

class ScreenScroller {
public:
    // The display is used by this object's thread alone while it runs.
    ScreenScroller(test::VirtualDisplay& display, const ScrollingDocument& document);

    // Screens shown so far, and text lines scrolled.
    int shown() const { return shown_; }
    int lines() const { return lines_; }

private:
    std::atomic<int> shown_{0};
    std::atomic<int> lines_{0};
    std::jthread thread_; // last: stopped and joined first
};

} // namespace velmora::bench
