#include "app/upload_thread.h"

#include "core/signal_stack.h"

#include <chrono>

namespace velmora {

UploadThread::~UploadThread()
{
    if (!thread_.joinable())
        return;
    if (alive_)
        thread_.detach();
    else
        thread_.join();
}

void UploadThread::reap()
{
    if (thread_.joinable())
        thread_.join();
}

bool UploadThread::start(std::function<void()> body)
{
    if (alive_)
        return false;
    reap();
    alive_ = true;
    quiet_ = false;
    thread_ = std::thread([this, body = std::move(body)] {
        // Even a stack overflow in the upload gets its report.
        const AlternateSignalStack reportStack;
        body();
        {
            std::lock_guard lock(mutex_);
            alive_ = false;
        }
        finished_.notify_all();
        if (onFinished_ && !quiet_)
            onFinished_();
    });
    return true;
}

void UploadThread::waitUntilFinished(const std::function<void()>& whileWaiting)
{
    for (;;) {
        if (whileWaiting)
            whileWaiting();
        std::unique_lock lock(mutex_);
        if (finished_.wait_for(lock, std::chrono::milliseconds(20), [this] { return !alive_; }))
            break;
    }
    reap();
}

} // namespace velmora
