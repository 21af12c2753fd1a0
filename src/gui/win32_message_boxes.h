#pragma once
// Message boxes on Win32 (MessageBoxW). A box asked for by another thread is shown by the GUI
// thread, as every other window of the program, while the asking thread waits for the answer;
// a GUI thread that itself waits for such a thread serves them meanwhile.

#include "core/message_boxes.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace velmora {

class Win32GuiThread;

class Win32MessageBoxes final : public MessageBoxes {
public:
    // gui null: every box is shown on the calling thread (the crash box's own process).
    explicit Win32MessageBoxes(Win32GuiThread* gui);
    BoxAnswer show(const std::string& title, const std::string& text,
                   BoxButtons buttons = BoxButtons::Ok,
                   BoxModality modality = BoxModality::Ordinary) override;

    // GUI thread: shows every box other threads are waiting for. Returns how many it showed.
    int serveQueuedBoxes();

private:
    struct Request {
        std::string title;
        std::string text;
        BoxButtons buttons;
        BoxModality modality;
        bool done = false;
        BoxAnswer answer = BoxAnswer::Ok;
    };

    Win32GuiThread* gui_;
    std::mutex mutex_;
    std::condition_variable answered_;
    std::deque<std::shared_ptr<Request>> queue_;
};

// Shows one box on the calling thread: no icon; the thread's other windows are disabled while it
// is open; a system-modal box stays above every window.
BoxAnswer showMessageBoxNow(const std::string& title, const std::string& text, BoxButtons buttons,
                            BoxModality modality);

} // namespace velmora
