#pragma once
// A clock that only moves when the test moves it; sleeps advance it instead of waiting.

#include "core/clock.h"

#include <atomic>
#include <vector>

namespace velmora::test {

class FakeClock final : public Clock {
public:
    explicit FakeClock(std::int64_t start = 1'700'000'000) : now_(start) {}
    std::int64_t localSeconds() override { return now_.load(); }
    void sleepMs(int milliseconds) override
    {
        sleeps_.push_back(milliseconds);
        sleptMs_ += milliseconds;
        now_ += (sleptMs_ / 1000);
        sleptMs_ %= 1000;
    }
    void advance(std::int64_t seconds) { now_ += seconds; }
    void set(std::int64_t seconds) { now_ = seconds; }
    const std::vector<int>& sleeps() const { return sleeps_; }

private:
    std::atomic<std::int64_t> now_;
    std::int64_t sleptMs_ = 0;
    std::vector<int> sleeps_;
};

} // namespace velmora::test
