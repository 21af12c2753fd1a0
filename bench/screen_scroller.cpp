#include "screen_scroller.h"

#include <chrono>

namespace velmora::bench {

ScreenScroller::ScreenScroller(test::VirtualDisplay& display, const ScrollingDocument& document)
    : thread_([this, &display, &document](std::stop_token stop) {
          using Clock = std::chrono::steady_clock;
          constexpr auto kLine = std::chrono::milliseconds(30);
          const auto start = Clock::now();
          while (!stop.stop_requested()) {
              const int line = static_cast<int>((Clock::now() - start) / kLine);
              display.showOnRoot(document.screen(line));
              lines_ = line;
              ++shown_;
              std::this_thread::sleep_until(start + (line + 1) * kLine);
          }
      })
{
}

} // namespace velmora::bench
