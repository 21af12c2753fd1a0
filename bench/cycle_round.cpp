#include "cycle_round.h"

#include "upload_watch.h"

#include <thread>

namespace velmora::bench {

std::optional<CycleRound> measureCycleRound(const std::string& serverLog,
                                            const std::string& pagePath, double seconds,
                                            const std::function<std::shared_ptr<void>()>& start)
{
    using Clock = UploadWatch::Clock;
    UploadWatch watch(serverLog, pagePath);
    const auto window =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    const auto startedAt = Clock::now();
    auto contender = start();
    if (!watch.waitForCount(1, startedAt + std::chrono::seconds(60)))
        return std::nullopt;
    const auto first = watch.stamps().front();
    std::this_thread::sleep_until(first + window);
    const bool enough = watch.waitForCount(3, first + 3 * window + std::chrono::seconds(60));
    contender.reset();
    if (!enough)
        return std::nullopt;

    const auto stamps = watch.stamps();
    std::size_t last = 2;
    while (last + 1 < stamps.size() && stamps[last + 1] <= first + window)
        ++last;
    CycleRound round;
    round.cycles = static_cast<int>(last);
    round.seconds = std::chrono::duration<double>(stamps[last] - first).count();
    for (std::size_t i = 1; i <= last; ++i)
        round.milliseconds.push_back(
            std::chrono::duration<double, std::milli>(stamps[i] - stamps[i - 1]).count());
    return round;
}

} // namespace velmora::bench
