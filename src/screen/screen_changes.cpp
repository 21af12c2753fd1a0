#include "screen/screen_changes.h"

#include <utility>

namespace velmora {

ScreenChangeCollector::ScreenChangeCollector(std::function<void()> onChange)
    : onChange_(std::move(onChange))
{
}

void ScreenChangeCollector::addRectangle(const ScreenRectangle& rectangle)
{
    if (rectangle.width <= 0 || rectangle.height <= 0)
        return;
    std::unique_lock lock(mutex_);
    if (!pending_.everything) {
        // A screen that changes all over is cheaper to take whole than rectangle by rectangle.
        if (pending_.rectangles.size() < kMostRectangles) {
            pending_.rectangles.push_back(rectangle);
        } else {
            pending_.rectangles.clear();
            pending_.everything = true;
        }
    }
    signalOnce(lock);
}

void ScreenChangeCollector::addEverything()
{
    std::unique_lock lock(mutex_);
    pending_.rectangles.clear();
    pending_.everything = true;
    signalOnce(lock);
}

void ScreenChangeCollector::addPointerMove()
{
    std::unique_lock lock(mutex_);
    pending_.pointerMoved = true;
    signalOnce(lock);
}

ScreenChanges ScreenChangeCollector::take()
{
    const std::lock_guard lock(mutex_);
    signalled_ = false;
    return std::exchange(pending_, {});
}

void ScreenChangeCollector::signalOnce(std::unique_lock<std::mutex>& lock)
{
    if (signalled_)
        return;
    signalled_ = true;
    lock.unlock();
    if (onChange_)
        onChange_();
}

} // namespace velmora
