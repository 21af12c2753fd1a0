#include "core/gui_thread_boxes.h"

namespace velmora {

BoxAnswer GuiThreadBoxes::show(const std::string& title, const std::string& text,
                               BoxButtons buttons, BoxModality modality)
{
    if (onGuiThread())
        return showNow(title, text, buttons, modality);

    auto request = std::make_shared<Request>();
    request->title = title;
    request->text = text;
    request->buttons = buttons;
    request->modality = modality;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(request);
    }
    // Wakes the GUI thread's event loop; a GUI thread busy waiting for us serves the queue itself.
    wakeGuiThread([this] { serveQueuedBoxes(); });
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&] { return request->done; });
    return request->answer;
}

int GuiThreadBoxes::serveQueuedBoxes()
{
    int served = 0;
    for (;;) {
        std::shared_ptr<Request> request;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty())
                return served;
            request = queue_.front();
            queue_.pop_front();
        }
        const BoxAnswer answer =
            showNow(request->title, request->text, request->buttons, request->modality);
        {
            std::lock_guard lock(mutex_);
            request->answer = answer;
            request->done = true;
        }
        answered_.notify_all();
        ++served;
    }
}

} // namespace velmora
