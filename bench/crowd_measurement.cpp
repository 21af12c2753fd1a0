#include "crowd_measurement.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace velmora::bench {
namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

std::uintmax_t fileSize(const std::string& path)
{
    std::error_code missing;
    const auto size = std::filesystem::file_size(path, missing);
    return missing ? 0 : size;
}

// Pictures that arrived complete under their own name in the FTP server's log between two
// points: uploaded there, or renamed there after the upload.
long picturesUploaded(const std::string& logPath, std::uintmax_t from, std::uintmax_t to)
{
    std::ifstream log(logPath, std::ios::binary);
    log.seekg(static_cast<std::streamoff>(from));
    std::string part(to > from ? to - from : 0, '\0');
    log.read(part.data(), static_cast<std::streamsize>(part.size()));
    part.resize(static_cast<std::size_t>(log.gcount()));
    std::istringstream lines(part);
    long count = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string word, first, second;
        words >> word >> first >> second;
        const std::string& name = word == "RENAMED" ? second : first;
        if ((word == "STORED" || word == "RENAMED") && name.rfind("bench/Velmora", 0) == 0 &&
            name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
            ++count;
    }
    return count;
}

} // namespace

Measurement CrowdMeasurement::measure(const Route& route, int spectators, bool still, unsigned seed)
{
    const std::string folder = route.proxied ? proxy_.url("/") : origin_.url("/");
    SpectatorCrowd crowd(folder, spectators, route.pattern, refreshMs_, seed);
    const auto refresh = std::chrono::milliseconds(refreshMs_);
    std::this_thread::sleep_for(refresh + std::chrono::milliseconds(1500));

    const auto originFrom = origin_.logMark();
    const auto ftpFrom = fileSize(ftp_.logPath());
    const auto begin = Clock::now();
    std::this_thread::sleep_until(begin + std::chrono::duration_cast<Clock::duration>(
                                              std::chrono::duration<double>(seconds_)));
    const auto originTo = origin_.logMark();
    const auto ftpTo = fileSize(ftp_.logPath());
    const auto end = Clock::now();
    if (still)
        screen_.changeStill();
    // Room for a cycle or two and a refresh interval, and a saturated server's slowness.
    std::this_thread::sleep_for(2 * refresh + std::chrono::milliseconds(2000));
    crowd.stop();

    Measurement m;
    const double minutes = seconds(end - begin) / 60;
    const OriginTally tally = origin_.tally(originFrom, originTo);
    m.requestsPerMinute = tally.requests / minutes;
    m.pagesPerMinute = tally.pageRequests / minutes;
    m.picturesPerMinute = tally.pictureRequests / minutes;
    m.megabytesPerMinute = static_cast<double>(tally.bytes) / 1e6 / minutes;
    m.uploadsPerMinute = picturesUploaded(ftp_.logPath(), ftpFrom, ftpTo) / minutes;
    m.failures = crowd.failures();

    // The changes to follow: the one after the still window, or those while scrolling that
    // left a refresh interval and a bit before the counting ended.
    std::vector<ScreenChange> followed;
    for (const auto& change : screen_.changes())
        if (still ? change.at > end
                  : change.at >= begin && change.at + refresh + std::chrono::seconds(1) <= end)
            followed.push_back(change);
    delays(crowd, spectators, followed, m);
    return m;
}

void CrowdMeasurement::delays(const SpectatorCrowd& crowd, int spectators,
                              const std::vector<ScreenChange>& followed, Measurement& m)
{
    const auto pictures = crowd.pictures();
    const auto arrivals = crowd.arrivals(); // in the order they came
    std::map<std::string, Clock::time_point> firstArrival;
    std::vector<std::vector<PictureArrival>> bySpectator(static_cast<std::size_t>(spectators));
    for (const auto& a : arrivals) {
        firstArrival.try_emplace(a.key, a.at);
        bySpectator[static_cast<std::size_t>(a.spectator)].push_back(a);
    }
    // Each picture content is read once, when first needed: what it shows by the time it
    // first arrived holds for every later arrival too.
    const auto changeShown = [&](const std::string& key) {
        const auto known = changeOf_.find(key);
        if (known != changeOf_.end())
            return known->second;
        const auto png = pictures.find(key);
        const int change =
            png == pictures.end() ? -1 : screen_.changeShown(png->second, firstArrival.at(key));
        changeOf_.emplace(key, change);
        return change;
    };
    for (const auto& change : followed)
        for (const auto& mine : bySpectator) {
            bool got = false;
            for (const auto& a : mine)
                if (a.at >= change.at && changeShown(a.key) >= change.number) {
                    m.delaysMs.push_back(seconds(a.at - change.at) * 1000);
                    got = true;
                    break;
                }
            if (!got)
                ++m.missed;
        }
}

} // namespace velmora::bench
