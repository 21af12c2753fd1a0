#include "gui/qt_message_boxes.h"

#include "gui/qt_text_codec.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace velmora {

bool QtMessageBoxes::onGuiThread() const
{
    return QThread::currentThread() == qApp->thread();
}

void QtMessageBoxes::wakeGuiThread(std::function<void()> work)
{
    QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection);
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
