#pragma once
// The program's single event loop: each pass waits at most 500 ms for an event, handles it, then
// runs the pacing step. A modal box opened by a handler holds the passes until it closes.

#include <atomic>
#include <functional>

namespace velmora {

void runEventLoop(const std::atomic<bool>& quit, const std::function<void()>& pace);

} // namespace velmora
