#include "gui/win32_message_boxes.h"

#include "app/win32_wide_text.h"
#include "gui/win32_gui_thread.h"

#include <windows.h>

namespace velmora {

BoxAnswer showMessageBoxNow(const std::string& title, const std::string& text, BoxButtons buttons,
                            BoxModality modality)
{
    // Task-modal without an owner: every window of this thread waits for the box. MB_SYSTEMMODAL
    // needs an owner to disable anything, so the system-modal box is a task-modal one kept on top.
    UINT style = MB_TASKMODAL | MB_SETFOREGROUND;
    if (modality == BoxModality::SystemModal)
        style |= MB_TOPMOST;
    if (buttons == BoxButtons::Ok)
        style |= MB_OK;
    else
        style |= MB_YESNO | (buttons == BoxButtons::YesNoDefaultNo ? MB_DEFBUTTON2 : MB_DEFBUTTON1);
    const std::wstring caption = wideFromWindows1252(title);
    const std::wstring body = wideFromWindows1252(text);
    const int result = MessageBoxW(nullptr, body.c_str(), caption.c_str(), style);
    if (buttons == BoxButtons::Ok)
        return BoxAnswer::Ok;
    return result == IDYES ? BoxAnswer::Yes : BoxAnswer::No;
}

Win32MessageBoxes::Win32MessageBoxes(Win32GuiThread* gui) : gui_(gui)
{
}

BoxAnswer Win32MessageBoxes::show(const std::string& title, const std::string& text,
                                  BoxButtons buttons, BoxModality modality)
{
    if (gui_ == nullptr || gui_->onGuiThread())
        return showMessageBoxNow(title, text, buttons, modality);

    auto request = std::make_shared<Request>();
    request->title = title;
    request->text = text;
    request->buttons = buttons;
    request->modality = modality;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(request);
    }
    // Wakes the GUI thread's loop; a GUI thread busy waiting for this thread serves the queue
    // itself.
    gui_->post([this] { serveQueuedBoxes(); });
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&] { return request->done; });
    return request->answer;
}

int Win32MessageBoxes::serveQueuedBoxes()
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
            showMessageBoxNow(request->title, request->text, request->buttons, request->modality);
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
