#include "core/clock.h"

#include <chrono>
#include <thread>

namespace velmora {
namespace {

class SystemClock final : public Clock {
public:
    std::int64_t localSeconds() override { return localWallClockSeconds(); }
    std::int64_t steadySeconds() override
    {
        const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::seconds>(sinceStart).count() + 1;
    }
    void sleepMs(int milliseconds) override
    {
        if (milliseconds > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

} // namespace

Clock& systemClock()
{
    static SystemClock clock;
    return clock;
}

} // namespace velmora
