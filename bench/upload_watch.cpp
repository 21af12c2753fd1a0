#include "upload_watch.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace velmora::bench {

bool ArrivalPattern::matches(const std::string& path) const
{
    if (path.size() < prefix.size() + suffix.size() ||
        path.compare(0, prefix.size(), prefix) != 0 ||
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const auto first = path.begin() + static_cast<std::ptrdiff_t>(prefix.size());
    const auto last = path.end() - static_cast<std::ptrdiff_t>(suffix.size());
    return std::all_of(first, last, [](unsigned char c) { return std::isdigit(c) != 0; });
}

UploadWatch::UploadWatch(std::string logPath, std::string remotePath)
    : UploadWatch(std::move(logPath), ArrivalPattern{std::move(remotePath), ""})
{
}

UploadWatch::UploadWatch(std::string logPath, ArrivalPattern pattern, OnArrival onArrival)
    : logPath_(std::move(logPath)), pattern_(std::move(pattern)), onArrival_(std::move(onArrival))
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

void UploadWatch::take(const std::string& line, Clock::time_point now)
{
    // "STORED <path> <bytes>" names the path first, "RENAMED <from> <path>" last; server paths
    // have no spaces.
    std::string path;
    if (line.compare(0, 7, "STORED ") == 0)
        path = line.substr(7, line.find(' ', 7) - 7);
    else if (line.compare(0, 8, "RENAMED ") == 0)
        path = line.substr(line.rfind(' ') + 1);
    if (path.empty() || !pattern_.matches(path))
        return;
    std::size_t index;
    {
        std::lock_guard lock(mutex_);
        index = stamps_.size();
        stamps_.push_back(now);
    }
    if (onArrival_)
        onArrival_(path, index);
    changed_.notify_all();
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
            std::string line = pending.substr(0, end);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            take(line, now);
            pending.erase(0, end + 1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace velmora::bench
