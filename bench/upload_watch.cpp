#include "upload_watch.h"

#include <cstdio>
#include <filesystem>

namespace velmora::bench {

UploadWatch::UploadWatch(std::string logPath, std::string remotePath)
    : logPath_(std::move(logPath)), prefix_("STORED " + std::move(remotePath) + " ")
{
    std::error_code missing;
    const std::uintmax_t size = std::filesystem::file_size(logPath_, missing);
    follower_ = std::jthread(
        [this, offset = missing ? 0 : size](std::stop_token stop) { follow(stop, offset); });
}

bool UploadWatch::waitForCount(std::size_t count, Clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_until(lock, deadline, [&] { return stamps_.size() >= count; });
}

std::vector<UploadWatch::Clock::time_point> UploadWatch::stamps() const
{
    std::lock_guard lock(mutex_);
    return stamps_;
}

void UploadWatch::follow(std::stop_token stop, std::uintmax_t offset)
{
    // Polled every 2 ms: a cycle takes hundreds of them, and the poll costs next to nothing.
    std::string pending;
    char buffer[4096];
    while (!stop.stop_requested()) {
        if (std::FILE* log = std::fopen(logPath_.c_str(), "rb")) {
            std::fseek(log, static_cast<long>(offset), SEEK_SET);
            std::size_t got;
            while ((got = std::fread(buffer, 1, sizeof buffer, log)) > 0) {
                pending.append(buffer, got);
                offset += got;
            }
            std::fclose(log);
        }
        const auto now = Clock::now();
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            if (pending.compare(0, prefix_.size(), prefix_) == 0) {
                std::lock_guard lock(mutex_);
                stamps_.push_back(now);
                changed_.notify_all();
            }
            pending.erase(0, end + 1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace velmora::bench
