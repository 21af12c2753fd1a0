#pragma once
// Processor time spent, user and system together, as the kernel counts it: what a contender
// costs the presenter's machine beside what it delivers.

#include <sys/types.h>

namespace velmora::bench {

// Seconds spent so far by a running process, all its threads together; -1 when it is gone.
double processCpuSeconds(pid_t pid);

// Seconds spent by this process's children that have ended and been waited for: the tools a
// shell loop ran.
double endedChildrenCpuSeconds();

// Per minute of wall-clock time, for printing.
inline double cpuSecondsPerMinute(double cpuSeconds, double wallSeconds)
{
    return wallSeconds > 0 ? cpuSeconds * 60 / wallSeconds : 0;
}

} // namespace velmora::bench
