#pragma once
// Message boxes on Qt. Only the GUI thread may show a window, so a box asked for by another
// thread is queued for the GUI thread, and the asking thread waits for the answer. A GUI thread
// that itself waits for such a thread calls serveQueuedBoxes() while it waits.

#include "core/message_boxes.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

class QObject;

namespace velmora {

class QtMessageBoxes final : public MessageBoxes {
public:
    QtMessageBoxes();
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
    BoxAnswer showNow(const std::string& title, const std::string& text, BoxButtons buttons,
                      BoxModality modality);

    std::mutex mutex_;
    std::condition_variable answered_;
    std::deque<std::shared_ptr<Request>> queue_;
};

} // namespace velmora
