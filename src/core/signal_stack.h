#pragma once
// A thread's own alternate signal stack. A fault handler needs stack to run on, so without one a
// stack overflow on that thread ends the program without a word; its other faults are handled all
// the same. The main thread gets one when the crash reporter is installed; any other thread must
// create one at its top, where it lives as long as the thread, or start through
// startWorkerThread.

#include <cstddef>
#include <memory>
#include <thread>
#include <utility>

namespace velmora {

inline constexpr std::size_t kAlternateSignalStackSize = 64 * 1024;

class AlternateSignalStack {
public:
    AlternateSignalStack();
    ~AlternateSignalStack();
    AlternateSignalStack(const AlternateSignalStack&) = delete;
    AlternateSignalStack& operator=(const AlternateSignalStack&) = delete;

private:
    std::unique_ptr<std::byte[]> memory_;
    bool active_ = false;
};

// Makes memory the calling thread's alternate signal stack, unless it has one already (then
// false, and the one it has stays).
bool useAlternateSignalStack(std::byte* memory, std::size_t size);
// Takes the calling thread's alternate signal stack away.
void dropAlternateSignalStack();
// Whether the calling thread has an alternate signal stack.
bool hasAlternateSignalStack();

// A thread that runs body on its own alternate signal stack.
template <typename Body> std::jthread startWorkerThread(Body body)
{
    return std::jthread([body = std::move(body)]() mutable {
        const AlternateSignalStack stack;
        body();
    });
}

} // namespace velmora
