#pragma once
// From a round's changes and arrived pictures to the latencies the presenter's spectators see.

#include "latency_round.h"

#include <vector>

namespace velmora::bench {

struct ChangeLatencies {
    // Per change: to the first picture that arrived after it showing it (or a later change:
    // the spectators then see a screen at least as new).
    std::vector<double> shownMs;
    // Per change: to the first picture that arrived after it, whatever it shows. A picture taken
    // just before the change can arrive just after it: this flatters a contender that sends
    // pictures all the time.
    std::vector<double> firstAfterMs;
    int unshown = 0;    // changes no picture showed before the round ended
    int unreadable = 0; // pictures whose square could not be read
};

ChangeLatencies changeLatencies(const LatencyRound& round);

// Adds another round's latencies to these.
void append(ChangeLatencies& to, const ChangeLatencies& more);

} // namespace velmora::bench
