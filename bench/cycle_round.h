#pragma once
// One measured round of a contender that runs presentation cycles: start it, let its first
// complete cycle pass uncounted (start-up, first connection, the viewer page), count the cycles
// whose data page arrives on the server within the next seconds, stop it.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::bench {

struct CycleRound {
    int cycles = 0;                   // counted cycles
    double seconds = 0;               // from the end of the uncounted cycle to the last counted
    std::vector<double> milliseconds; // duration of each counted cycle
    double rate() const { return seconds > 0 ? cycles / seconds : 0; }
};

// start returns the running contender, which stops when the last owner lets go of it. The
// round counts at least two cycles, waiting past `seconds` for them if need be (bounded);
// nothing when the contender did not get that far.
std::optional<CycleRound> measureCycleRound(const std::string& serverLog,
                                            const std::string& pagePath, double seconds,
                                            const std::function<std::shared_ptr<void>()>& start);

} // namespace velmora::bench
