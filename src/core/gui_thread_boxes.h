#pragma once
// Message boxes on a windowing layer where only the GUI thread may show a window: a box asked for
// by another thread is queued for the GUI thread and the asking thread waits for the answer; a
// GUI thread that itself waits for such a thread calls serveQueuedBoxes() while it waits. Each
// front end says how it shows one box, how it tells its GUI thread and how it wakes it.

#include "core/message_boxes.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace velmora {

class GuiThreadBoxes : public MessageBoxes {
public:
    BoxAnswer show(const std::string& title, const std::string& text,
                   BoxButtons buttons = BoxButtons::Ok,
                   BoxModality modality = BoxModality::Ordinary) override;

    // GUI thread: shows every box other threads are waiting for. Returns how many it showed.
    int serveQueuedBoxes();

protected:
    virtual bool onGuiThread() const = 0;
    // Any thread: has the GUI thread run work soon, inside a box's own loop too.
    virtual void wakeGuiThread(std::function<void()> work) = 0;
    // GUI thread: one box, shown until the presenter closes it.
    virtual BoxAnswer showNow(const std::string& title, const std::string& text, BoxButtons buttons,
                              BoxModality modality) = 0;

private:
    struct Request {
        std::string title;
        std::string text;
        BoxButtons buttons;
        BoxModality modality;
        bool done = false;
        BoxAnswer answer = BoxAnswer::Ok;
    };

    std::mutex mutex_;
    std::condition_variable answered_;
    std::deque<std::shared_ptr<Request>> queue_;
};

} // namespace velmora
