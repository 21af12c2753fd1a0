#include "core/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace velmora {
namespace {

class SystemClock final : public Clock {
public:
    std::int64_t localSeconds() override
    {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return static_cast<std::int64_t>(now) + local.tm_gmtoff;
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
