#include "core/clock.h"

#include <windows.h>

namespace velmora {
namespace {

// FILETIME counts 100 ns steps from 1 January 1601.
constexpr std::int64_t kFileTimeStepsPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

} // namespace

std::int64_t localWallClockSeconds()
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

} // namespace velmora
