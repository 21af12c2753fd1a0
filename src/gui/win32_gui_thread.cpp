#include "gui/win32_gui_thread.h"

#include "core/signal_stack.h"

namespace velmora {
namespace {

constexpr UINT kRunPosted = WM_APP + 1;
constexpr DWORD kPassMs = 500;
// A burst of messages is handled in one pass, but never so many that the pacing starves.
constexpr int kMostPerPass = 256;

// Everything but keyboard and mouse input, the non-client mouse messages (title bar, close box)
// among it.
bool takeNonInput(MSG& message)
{
    struct Range {
        UINT first;
        UINT last;
    };
    static constexpr Range kRanges[] = {
        {0, WM_NCMOUSEMOVE - 1},
        {WM_NCXBUTTONDBLCLK + 1, WM_KEYFIRST - 1},
        {WM_KEYLAST + 1, WM_MOUSEFIRST - 1},
        {WM_MOUSELAST + 1, 0xFFFFFFFF},
    };
    for (const Range& range : kRanges) {
        if (PeekMessageW(&message, nullptr, range.first, range.last, PM_REMOVE))
            return true;
    }
    return false;
}

class Event {
public:
    Event() : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event()
    {
        if (handle_ != nullptr)
            CloseHandle(handle_);
    }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

} // namespace

Win32GuiThread::Win32GuiThread() : threadId_(GetCurrentThreadId())
{
    Shape shape;
    shape.owner = HWND_MESSAGE;
    shape.style = 0;
    create("Velmora mailbox", shape);
}

Win32GuiThread::~Win32GuiThread()
{
    destroy();
}

void Win32GuiThread::post(std::function<void()> work)
{
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(work));
    }
    PostMessageW(handle(), kRunPosted, 0, 0);
}

void Win32GuiThread::runPosted()
{
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (posted_.empty())
                return;
            work = std::move(posted_.front());
            posted_.pop_front();
        }
        work();
    }
}

LRESULT Win32GuiThread::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kRunPosted) {
        runPosted();
        return 0;
    }
    return byDefault(message, wParam, lParam);
}

void Win32GuiThread::runEventLoop(const std::atomic<bool>& quit, const std::function<void()>& pace,
                                  const std::function<bool(MSG&)>& translate)
{
    while (!quit) {
        MsgWaitForMultipleObjectsEx(0, nullptr, kPassMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG message;
        for (int handled = 0;
             handled < kMostPerPass && !quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
             ++handled) {
            if (message.message == WM_QUIT)
                continue; // the program leaves only through its own quit commands
            if (translate && translate(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (quit)
            break;
        pace();
    }
}

void Win32GuiThread::holdInput()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) ||
           PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
        held_.push_back(message);
}

void Win32GuiThread::replayHeldInput()
{
    // Posted messages come before input still to arrive, so the order stays the presenter's.
    std::vector<MSG> held;
    held.swap(held_);
    for (const MSG& message : held)
        if (message.hwnd == nullptr || IsWindow(message.hwnd))
            PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
}

void Win32GuiThread::serveWithoutInput(HANDLE done, DWORD milliseconds)
{
    const ULONGLONG start = GetTickCount64();
    constexpr DWORD kWakeFor = QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT | QS_TIMER;
    for (;;) {
        MSG message;
        // Before each message, which may open a box: the clicks and keys so far are held.
        for (holdInput(); takeNonInput(message); holdInput()) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        DWORD wait = INFINITE;
        if (milliseconds != INFINITE) {
            const ULONGLONG passed = GetTickCount64() - start;
            if (passed >= milliseconds)
                break;
            wait = static_cast<DWORD>(milliseconds - passed);
        }
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(done != nullptr ? 1 : 0, &done, wait, kWakeFor, 0);
        if ((done != nullptr && woken == WAIT_OBJECT_0) || woken == WAIT_FAILED)
            break;
    }
    holdInput();
    replayHeldInput();
}

void runWhileRepainting(Win32GuiThread& gui, const std::function<void()>& work)
{
    const Event done;
    std::jthread worker = startWorkerThread([&work, &done] {
        work();
        SetEvent(done.get());
    });
    gui.serveWithoutInput(done.get(), INFINITE);
    worker.join();
}

} // namespace velmora
