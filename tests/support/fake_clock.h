#pragma once
// A clock that only moves when the test moves it; sleeps advance it instead of waiting. The wall
// clock and the steady clock show the same seconds until the test steps the wall clock alone.

#include "core/clock.h"

#include <atomic>
#include <vector>

namespace velmora::test {

class FakeClock final : public Clock {
public:
    explicit FakeClock(std::int64_t start = 1'700'000'000) : now_(start) {}
    std::int64_t localSeconds() override { return now_.load() + wallStep_.load(); }
    std::int64_t steadySeconds() override { return now_.load(); }
    void sleepMs(int milliseconds) override
    {
        sleeps_.push_back(milliseconds);
        sleptMs_ += milliseconds;
        now_ += (sleptMs_ / 1000);
        sleptMs_ %= 1000;
    }
    void advance(std::int64_t seconds) { now_ += seconds; }
    void set(std::int64_t seconds) { now_ = seconds; }
    // Summer time ending (-3600), an NTP correction or the presenter setting the time.
    void stepWallClock(std::int64_t seconds) { wallStep_ += seconds; }
    const std::vector<int>& sleeps() const { return sleeps_; }

private:
    std::atomic<std::int64_t> now_;
    std::atomic<std::int64_t> wallStep_{0};
    std::int64_t sleptMs_ = 0;
    std::vector<int> sleeps_;
};

} // namespace velmora::test
