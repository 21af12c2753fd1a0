#include "change_latency.h"

namespace velmora::bench {
namespace {

double millisecondsBetween(UploadWatch::Clock::time_point from, UploadWatch::Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

} // namespace

ChangeLatencies changeLatencies(const LatencyRound& round)
{
    ChangeLatencies latencies;
    for (const PictureArrival& picture : round.pictures)
        latencies.unreadable += picture.colour < 0 ? 1 : 0;
    for (const SquareChange& change : round.changes) {
        bool firstSeen = false, shown = false;
        for (const PictureArrival& picture : round.pictures) {
            if (picture.at <= change.at)
                continue;
            if (!firstSeen) {
                latencies.firstAfterMs.push_back(millisecondsBetween(change.at, picture.at));
                firstSeen = true;
            }
            // Colour numbers grow with each change of a round.
            if (picture.colour >= change.colour) {
                latencies.shownMs.push_back(millisecondsBetween(change.at, picture.at));
                shown = true;
                break;
            }
        }
        latencies.unshown += shown ? 0 : 1;
    }
    return latencies;
}

void append(ChangeLatencies& to, const ChangeLatencies& more)
{
    to.shownMs.insert(to.shownMs.end(), more.shownMs.begin(), more.shownMs.end());
    to.firstAfterMs.insert(to.firstAfterMs.end(), more.firstAfterMs.begin(),
                           more.firstAfterMs.end());
    to.unshown += more.unshown;
    to.unreadable += more.unreadable;
}

} // namespace velmora::bench
