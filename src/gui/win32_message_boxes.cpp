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

bool Win32MessageBoxes::onGuiThread() const
{
    return gui_ == nullptr || gui_->onGuiThread();
}

void Win32MessageBoxes::wakeGuiThread(std::function<void()> work)
{
    // A GUI thread busy waiting for the asking thread serves the queue itself.
    gui_->post(std::move(work));
}

BoxAnswer Win32MessageBoxes::showNow(const std::string& title, const std::string& text,
                                     BoxButtons buttons, BoxModality modality)
{
    return showMessageBoxNow(title, text, buttons, modality);
}

} // namespace velmora
