#include "publish/upload_thread.h"

#include <condition_variable>
#include <mutex>

namespace velmora {

struct UploadThread::Done {
    std::mutex mutex;
    std::condition_variable changed;
    bool finished = false;
};

UploadThread::~UploadThread()
{
    if (!thread_.joinable())
        return;
    if (alive())
        thread_.detach();
    else
        thread_.join();
}

bool UploadThread::alive() const
{
    if (!done_)
        return false;
    std::lock_guard lock(done_->mutex);
    return !done_->finished;
}

bool UploadThread::start(std::function<void()> work)
{
    if (alive())
        return false;
    if (thread_.joinable())
        thread_.join(); // already finished: returns at once
    auto done = std::make_shared<Done>();
    done_ = done;
    thread_ = std::thread([done, work = std::move(work)] {
        work();
        std::lock_guard lock(done->mutex);
        done->finished = true;
        done->changed.notify_all();
    });
    return true;
}

bool UploadThread::waitFor(std::chrono::milliseconds timeout)
{
    if (!done_)
        return true;
    std::unique_lock lock(done_->mutex);
    if (!done_->changed.wait_for(lock, timeout, [&] { return done_->finished; }))
        return false;
    lock.unlock();
    if (thread_.joinable())
        thread_.join();
    return true;
}

} // namespace velmora
