#pragma once
// One measured round of a contender that runs presentation cycles: start it, let its first
// complete cycle pass uncounted (start-up, first connection, the viewer page), count the cycles
// whose data page arrives on the server within the next seconds, stop it. Where asked, the
// contender's processor time over the same seconds is measured too.

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
    double cpuSeconds = -1;           // over cpuWindow seconds; -1: not measured
    double cpuWindow = 0;
    double rate() const { return seconds > 0 ? cycles / seconds : 0; }
};

struct RoundRules {
    // The contender's processor time so far, in seconds; read at the start and the end of the
    // counted time. Empty: not measured.
    std::function<double()> cpuSeconds;
    // Nothing changes on the screen: after the first cycle the round simply lasts its seconds
    // and counts what arrived in them, none at all being the good answer.
    bool stillScreen = false;
};

// start returns the running contender, which stops when the last owner lets go of it. The
// round counts at least two cycles (except on a still screen), waiting past `seconds` for them if
// need be (bounded); nothing when the contender did not get that far.
std::optional<CycleRound> measureCycleRound(const std::string& serverLog,
                                            const std::string& pagePath, double seconds,
                                            const std::function<std::shared_ptr<void>()>& start,
                                            const RoundRules& rules = {});

} // namespace velmora::bench
