#pragma once
// Time as the program counts it, behind an interface so that tests can run the pacing and the
// retry window on a fake clock instead of waiting.

#include <cstdint>

namespace velmora {

class Clock {
public:
    virtual ~Clock() = default;
    // Whole seconds since 1 January 1970 counted in local time (the wall clock the presenter
    // sees, not UTC), as the Status line and the retry window use it.
    virtual std::int64_t localSeconds() = 0;
    virtual void sleepMs(int milliseconds) = 0;
};

// The real clock of this machine.
Clock& systemClock();

} // namespace velmora
