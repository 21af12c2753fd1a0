#pragma once
// Time as the program counts it, behind an interface so that tests can run the pacing and the
// retry window on a fake clock instead of waiting.

#include <cstdint>

namespace velmora {

class Clock {
public:
    virtual ~Clock() = default;
    // Whole seconds since 1 January 1970 counted in local time (the wall clock the presenter
    // sees, not UTC). Only for texts that show a time: it jumps when summer time ends or the
    // system time is set.
    virtual std::int64_t localSeconds() = 0;
    // Whole seconds on a clock that only moves forward, whatever happens to the wall clock; never
    // 0, so that 0 can stand for "no time". What the pacing and the retry window measure.
    virtual std::int64_t steadySeconds() = 0;
    virtual void sleepMs(int milliseconds) = 0;
};

// The real clock of this machine.
Clock& systemClock();
// The platform's part of it: what localSeconds() gives.
std::int64_t localWallClockSeconds();

} // namespace velmora
