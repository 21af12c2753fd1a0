#pragma once
// Follows the FTP server's command log from now on and notes when each file of interest arrived
// complete, by the steady clock of this process: an upload ("STORED <path> <bytes>") or a rename
// onto the path ("RENAMED <from> <path>"; a file put in place in one step arrives then).

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace velmora::bench {

// The remote paths of interest: `prefix`, then nothing or a number, then `suffix`
// ("bench/Velmora" ".png" for the program's rotating pictures, or one exact path with an empty
// suffix).
struct ArrivalPattern {
    std::string prefix;
    std::string suffix;

    bool matches(const std::string& path) const;
};

class UploadWatch {
public:
    using Clock = std::chrono::steady_clock;
    // Called on the watch's thread right after an arrival was stamped, with its remote path and
    // its index among the arrivals: the file is on the server as it arrived, until it is
    // replaced.
    using OnArrival = std::function<void(const std::string& path, std::size_t index)>;

    UploadWatch(std::string logPath, std::string remotePath);
    UploadWatch(std::string logPath, ArrivalPattern pattern, OnArrival onArrival = {});

    // Waits until count uploads completed or the deadline passed; true for the former.
    bool waitForCount(std::size_t count, Clock::time_point deadline);
    std::vector<Clock::time_point> stamps() const;

private:
    void follow(std::stop_token stop, std::uintmax_t offset);
    void take(const std::string& line, Clock::time_point now);

    std::string logPath_;
    ArrivalPattern pattern_;
    OnArrival onArrival_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Clock::time_point> stamps_;
    std::jthread follower_; // last: stopped and joined first
};

} // namespace velmora::bench
