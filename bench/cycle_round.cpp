#include "cycle_round.h"

#include "upload_watch.h"

#include <thread>

namespace velmora::bench {

std::optional<CycleRound> measureCycleRound(const std::string& serverLog,
                                            const std::string& pagePath, double seconds,
                                            const std::function<std::shared_ptr<void>()>& start,
                                            const RoundRules& rules)
{
    using Clock = UploadWatch::Clock;
    UploadWatch watch(serverLog, pagePath);
    const auto window =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    const auto startedAt = Clock::now();
    auto contender = start();
    if (!watch.waitForCount(1, startedAt + std::chrono::seconds(60)))
        return std::nullopt;
    const double cpuAtStart = rules.cpuSeconds ? rules.cpuSeconds() : 0;
    const auto first = watch.stamps().front();
    const auto cpuFrom = Clock::now();
    std::this_thread::sleep_until(first + window);
    CycleRound round;
    if (rules.cpuSeconds) {
        round.cpuSeconds = rules.cpuSeconds() - cpuAtStart;
        round.cpuWindow = std::chrono::duration<double>(Clock::now() - cpuFrom).count();
    }
    const std::size_t needed = rules.stillScreen ? 1 : 3;
    const bool enough = watch.waitForCount(needed, first + 3 * window + std::chrono::seconds(60));
    contender.reset();
    if (!enough)
        return std::nullopt;

    const auto stamps = watch.stamps();
    if (rules.stillScreen) {
        std::size_t counted = 0;
        while (counted + 1 < stamps.size() && stamps[counted + 1] <= first + window)
            ++counted;
        round.cycles = static_cast<int>(counted);
        round.seconds = seconds;
        return round;
    }
    std::size_t last = 2;
    while (last + 1 < stamps.size() && stamps[last + 1] <= first + window)
        ++last;
    round.cycles = static_cast<int>(last);
    round.seconds = std::chrono::duration<double>(stamps[last] - first).count();
    for (std::size_t i = 1; i <= last; ++i)
        round.milliseconds.push_back(
            std::chrono::duration<double, std::milli>(stamps[i] - stamps[i - 1]).count());
    return round;
}

} // namespace velmora::bench
