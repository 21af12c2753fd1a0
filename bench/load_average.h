#pragma once
// How busy the machine was around a measurement, for the benchmark's report.

#include <fstream>
#include <string>

namespace velmora::bench {

// The 1, 5 and 15 minute load averages, as "0.40 1.17 1.52".
inline std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

} // namespace velmora::bench
