#include "gui/qt_message_boxes.h"

#include "gui/text_codec.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace velmora {

QtMessageBoxes::QtMessageBoxes() = default;

BoxAnswer QtMessageBoxes::show(const std::string& title, const std::string& text,
                               BoxButtons buttons, BoxModality modality)
{
    if (QThread::currentThread() == qApp->thread())
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
    QMetaObject::invokeMethod(
        qApp, [this] { serveQueuedBoxes(); }, Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&] { return request->done; });
    return request->answer;
}

int QtMessageBoxes::serveQueuedBoxes()
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

BoxAnswer QtMessageBoxes::showNow(const std::string& title, const std::string& text,
                                  BoxButtons buttons, BoxModality modality)
{
    const bool question = buttons != BoxButtons::Ok;
    QMessageBox box(QMessageBox::NoIcon, fromWindows1252(title), displayText(text),
                    question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(buttons == BoxButtons::YesNo            ? QMessageBox::Yes
                         : buttons == BoxButtons::YesNoDefaultNo ? QMessageBox::No
                                                                 : QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    if (modality == BoxModality::SystemModal)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    const int result = box.exec();
    if (buttons == BoxButtons::Ok)
        return BoxAnswer::Ok;
    return result == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

} // namespace velmora
