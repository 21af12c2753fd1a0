#pragma once
// The one thread that runs a presentation cycle beside the GUI thread. A new one starts only
// after the previous one has ended.

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace velmora {

class UploadThread {
public:
    UploadThread() = default;
    // A thread still running is left to finish on its own: shutting down does not wait for it.
    ~UploadThread();
    UploadThread(const UploadThread&) = delete;
    UploadThread& operator=(const UploadThread&) = delete;

    // False (and work not run) while the previous thread is still alive.
    bool start(std::function<void()> work);
    bool alive() const;
    // True once no thread is alive; waits at most timeout. The GUI thread waits in short steps
    // and serves the Upload thread's message boxes in between, so that neither blocks the other.
    bool waitFor(std::chrono::milliseconds timeout);

private:
    struct Done;
    std::shared_ptr<Done> done_;
    std::thread thread_;
};

} // namespace velmora
