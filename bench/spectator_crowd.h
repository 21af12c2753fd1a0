#pragma once
// Spectators' browsers on the viewer page, simulated on one libcurl multi handle in a thread of
// their own: each asks for the data page and the pictures exactly as the viewer script would,
// having opened the page at a random moment of the first refresh interval (real spectators do
// not arrive in step). Runs from construction until stop() or the object goes.

#include "spectator_pattern.h"

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::bench {

// A spectator has a new picture on screen.
struct PictureArrival {
    int spectator = 0;
    std::chrono::steady_clock::time_point at;
    std::string key; // DataPageValues::pictureKey() of the data page that named it
};

class SpectatorCrowd {
public:
    // folderUrl: the presentation's folder, ending in "/". The spectators open the viewer page
    // within the first openingMs, at moments drawn from the seed.
    SpectatorCrowd(std::string folderUrl, int count, ViewerPattern pattern, int openingMs,
                   unsigned seed);
    ~SpectatorCrowd();
    SpectatorCrowd(const SpectatorCrowd&) = delete;
    SpectatorCrowd& operator=(const SpectatorCrowd&) = delete;

    // Ends every transfer and the thread.
    void stop();

    std::vector<PictureArrival> arrivals() const;
    // The bytes of the first complete download of each picture content, by its key.
    std::map<std::string, std::string> pictures() const;
    long requests() const { return requests_; }
    long failures() const { return failures_; } // no answer, or not 200 OK
    long long bytes() const { return bytes_; }

private:
    void run(std::stop_token stop);

    std::string folderUrl_;
    int count_;
    ViewerPattern pattern_;
    int openingMs_;
    unsigned seed_;
    std::atomic<long> requests_{0};
    std::atomic<long> failures_{0};
    std::atomic<long long> bytes_{0};
    mutable std::mutex mutex_;
    std::vector<PictureArrival> arrivals_;
    std::map<std::string, std::string> pictures_;
    std::jthread thread_; // last: stopped and joined first
};

} // namespace velmora::bench
