#include "core/clock.h"

#include <ctime>

namespace velmora {

std::int64_t localWallClockSeconds()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::int64_t>(now) + local.tm_gmtoff;
}

} // namespace velmora
