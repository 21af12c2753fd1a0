#pragma once
// The GUI thread on Win32: its event loop, its mailbox for work handed over by other threads (a
// message-only window that a posted message wakes), and waits that keep the windows painting
// while the presenter's input stays in the queue for afterwards.

#include "gui/win32_window.h"

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace velmora {

class Win32GuiThread final : public Win32Window {
public:
    // On the GUI thread, which it then stands for.
    Win32GuiThread();
    ~Win32GuiThread() override;

    bool onGuiThread() const { return GetCurrentThreadId() == threadId_; }
    DWORD threadId() const { return threadId_; }

    // Any thread: work runs on the GUI thread as soon as it handles messages again, inside a
    // modal box's loop too.
    void post(std::function<void()> work);

    // Each pass waits at most 500 ms for messages, handles those that came, then runs pace;
    // until quit is set. translate may take a message first (dialog keys); true: it did.
    void runEventLoop(const std::atomic<bool>& quit, const std::function<void()>& pace,
                      const std::function<bool(MSG&)>& translate);

    // Handles every message but the presenter's keys and clicks until done is signalled (null:
    // never) or milliseconds have passed (INFINITE: no limit). The input is held and reaches its
    // windows afterwards, in its order: left in the queue, a message box opened meanwhile would
    // take it, and its window, disabled by the box, would drop it (an Exit clicked during Clear).
    void serveWithoutInput(HANDLE done, DWORD milliseconds);

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void runPosted();
    void holdInput();
    void replayHeldInput();

    DWORD threadId_;
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    std::vector<MSG> held_;
};

// GUI thread: runs work to its end on a thread of its own, with the windows painting and the
// boxes it asks for showing meanwhile.
void runWhileRepainting(Win32GuiThread& gui, const std::function<void()>& work);

} // namespace velmora
