#pragma once
// The time of day shown for the last upload, "hh:mm:ss" on the 24-hour clock.

#include <cstdint>
#include <string>

namespace velmora {

// localSeconds counts seconds since 1 January 1970 in local time, as Clock::localSeconds does.
std::string uploadTimeText(std::int64_t localSeconds);

} // namespace velmora
