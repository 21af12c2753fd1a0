#pragma once
// A presenter's screen that changes at moments this process knows: the scrolling document of the
// benchmarks with a coloured mark in one corner, whose colour is the number of the latest change
// (modulo the few colours there are). A picture taken from the screen then says by its mark which
// change it shows, so the time a spectator got it can be set against the time of that change.

#include "scrolling_document.h"
#include "support/virtual_display.h" // tests/support

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::bench {

struct ScreenChange {
    int number = 0;                           // 0, 1, 2, ...
    std::chrono::steady_clock::time_point at; // once the display shows it
};

class MarkedScreen {
public:
    // The display is used by this object alone while it lives.
    MarkedScreen(test::VirtualDisplay& display, const ScrollingDocument& document);
    ~MarkedScreen();
    MarkedScreen(const MarkedScreen&) = delete;
    MarkedScreen& operator=(const MarkedScreen&) = delete;

    // Shows the unscrolled document with the next mark; stops a scroll first.
    ScreenChange changeStill();
    // From now on the document moves up one text line every 30 ms, and the mark changes every
    // `every`, until changeStill() or the object goes.
    void startScrolling(std::chrono::milliseconds every);

    std::vector<ScreenChange> changes() const;

    // The change a picture (PNG bytes) shows that arrived at `at`: the latest change of its mark's
    // colour made by then; -1 when the picture shows no mark or cannot be read.
    int changeShown(const std::string& png, std::chrono::steady_clock::time_point at) const;

private:
    void show(int scrolledLines, int number);
    ScreenChange record(int number);

    test::VirtualDisplay& display_;
    const ScrollingDocument& document_;
    mutable std::mutex mutex_;
    std::vector<ScreenChange> changes_;
    std::jthread scroller_;
};

} // namespace velmora::bench
