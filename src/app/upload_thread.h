#pragma once
// The one Upload thread: runs a single presentation cycle and ends. Whether it is still alive is
// a plain flag, so the event loop can ask without waiting.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace velmora {

class UploadThread {
public:
    UploadThread() = default;
    // A thread still running at the end is left to finish with the process, as shut-down does not
    // wait for an upload.
    ~UploadThread();
    UploadThread(const UploadThread&) = delete;
    UploadThread& operator=(const UploadThread&) = delete;

    bool alive() const { return alive_.load(); }
    // Called on the Upload thread right after each cycle has ended, so the GUI thread can start
    // the next one at once instead of on its next timer tick.
    void setOnFinished(std::function<void()> onFinished) { onFinished_ = std::move(onFinished); }
    // Called by a body on the Upload thread: this run ends without that call. A cycle that had
    // nothing to send says so, and the loop's own tick starts the next one; hurried on at once,
    // a still screen would be captured over and over as fast as the machine can.
    void finishQuietly() { quiet_ = true; }
    // Starts body on a new thread. Returns false, and starts nothing, while a thread is alive.
    bool start(std::function<void()> body);
    // Waits until no thread is alive, which a cycle's time limits bound; whileWaiting runs again
    // and again meanwhile (a GUI thread that waits here serves the Upload thread's message boxes
    // there). Any thread but the Upload thread itself may wait.
    void waitUntilFinished(const std::function<void()>& whileWaiting);

private:
    void reap();

    std::function<void()> onFinished_;
    std::thread thread_;
    std::atomic<bool> alive_{false};
    std::atomic<bool> quiet_{false};
    std::mutex mutex_;
    std::condition_variable finished_;
};

} // namespace velmora
