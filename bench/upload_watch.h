#pragma once
// Follows the FTP server's command log from now on and notes when each upload of one remote path
// completed ("STORED <path> <bytes>"), by the steady clock of this process.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace velmora::bench {

class UploadWatch {
public:
    using Clock = std::chrono::steady_clock;

    UploadWatch(std::string logPath, std::string remotePath);

    // Waits until count uploads completed or the deadline passed; true for the former.
    bool waitForCount(std::size_t count, Clock::time_point deadline);
    std::vector<Clock::time_point> stamps() const;

private:
    void follow(std::stop_token stop, std::uintmax_t offset);

    std::string logPath_;
    std::string prefix_; // "STORED <path> "
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Clock::time_point> stamps_;
    std::jthread follower_; // last: stopped and joined first
};

} // namespace velmora::bench
