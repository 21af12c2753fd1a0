#include "gui/qt_main_window.h"

#include "app/program_windows.h"
#include "gui/qt_text_codec.h"

#include <QSystemTrayIcon>

namespace velmora {

QtMainWindow::QtMainWindow(WindowPosition position, const QIcon& trayImage,
                           WindowActionHandler onAction)
    : trayImage_(trayImage)
{
    WindowEvents events;
    events.action = std::move(onAction);
    window_ =
        std::make_unique<QtDescribedWindow>(mainWindowDescription(), std::move(events), nullptr,
                                            QFont(), WindowPlace{position.x, position.y}, QSize());
    window_->setWindowIcon(trayImage_);
}

QtMainWindow::~QtMainWindow() = default;

void QtMainWindow::setStatusLine(const std::string& text)
{
    window_->setText(kStatusLineGadget, text);
}

void QtMainWindow::setTrayTooltip(const std::string& text)
{
    if (tray_)
        tray_->setToolTip(displayText(text));
}

void QtMainWindow::minimiseToTray()
{
    // Without a tray the window would vanish for good: minimise it instead, the desktop's own
    // task list brings it back.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        window_->showMinimized();
        return;
    }
    window_->hide();
    if (!tray_) {
        tray_ = std::make_unique<QSystemTrayIcon>(trayImage_);
        QObject::connect(tray_.get(), &QSystemTrayIcon::activated, window_.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::Trigger ||
                                 reason == QSystemTrayIcon::Context)
                                 restoreFromTray();
                         });
    }
    tray_->setToolTip(fromWindows1252(mainWindowDescription().title));
    tray_->show();
    inTray_ = true;
}

void QtMainWindow::restoreFromTray()
{
    if (!inTray_)
        return;
    inTray_ = false;
    tray_->hide();
    window_->showNormal();
    window_->show();
}

} // namespace velmora
