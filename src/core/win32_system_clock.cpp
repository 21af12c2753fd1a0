#include "core/clock.h"

#include <windows.h>

#include <chrono>
#include <thread>

namespace velmora {
namespace {

// FILETIME counts 100 ns steps from 1 January 1601.
constexpr std::int64_t kFileTimeStepsPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

class SystemClock final : public Clock {
public:
    std::int64_t localSeconds() override
    {
        // The wall clock as the presenter's Windows shows it, summer time included.
        SYSTEMTIME local{};
        ::GetLocalTime(&local);
        FILETIME asFileTime{};
        if (!::SystemTimeToFileTime(&local, &asFileTime))
            return 0;
        ULARGE_INTEGER steps{};
        steps.LowPart = asFileTime.dwLowDateTime;
        steps.HighPart = asFileTime.dwHighDateTime;
        return static_cast<std::int64_t>(steps.QuadPart) / kFileTimeStepsPerSecond -
               kSecondsFrom1601To1970;
    }
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
