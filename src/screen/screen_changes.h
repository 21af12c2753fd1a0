#pragma once
// What the screen itself says about its changes, so that the presentation captures when the
// screen changed instead of looking again and again: the rectangles that may hold new pixels
// and whether the pointer moved. A source gathers the reports on a thread of its own; the
// pacing takes them all at once before it decides to capture.

#include "screen/screen_rectangle.h"

#include <functional>
#include <mutex>
#include <vector>

namespace velmora {

struct ScreenChanges {
    // Screen pixels that may have changed. More than kMostRectangles become everything.
    std::vector<ScreenRectangle> rectangles;
    bool everything = false; // the whole screen may have changed
    bool pointerMoved = false;

    bool any() const { return everything || pointerMoved || !rectangles.empty(); }
};

class ScreenChangeWatch {
public:
    virtual ~ScreenChangeWatch() = default;
    // Any thread: what was reported since the last take, and from now on the next report calls
    // the watch's onChange again.
    virtual ScreenChanges take() = 0;
};

// The gathering shared by the watches: reports come in on the watch's thread, a burst of them
// wakes the taker once.
class ScreenChangeCollector {
public:
    static constexpr std::size_t kMostRectangles = 64;

    explicit ScreenChangeCollector(std::function<void()> onChange);

    void addRectangle(const ScreenRectangle& rectangle);
    void addEverything();
    void addPointerMove();
    ScreenChanges take();

private:
    // Called with the lock released: onChange may post to another thread and wait.
    void signalOnce(std::unique_lock<std::mutex>& lock);

    std::function<void()> onChange_;
    std::mutex mutex_;
    ScreenChanges pending_;
    bool signalled_ = false;
};

} // namespace velmora
