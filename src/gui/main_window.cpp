#include "gui/main_window.h"

#include "app/program_windows.h"
#include "gui/text_codec.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QSystemTrayIcon>

namespace velmora {

MainWindow::MainWindow(int x, int y, const QIcon& trayImage, WindowActionHandler onAction)
    : onAction_(std::move(onAction)), trayImage_(trayImage)
{
    const WindowDescription& description = mainWindowDescription();
    describeWindow(*this, description, Qt::Window);
    setWindowIcon(trayImage_);
    menuBar()->setNativeMenuBar(false);
    const WindowActionHandler act = [this](WindowAction action) { this->act(action); };
    addMenus(*menuBar(), description.menus, act);
    // The gadgets sit in the area below the menu bar.
    setCentralWidget(&area_);
    gadgets_ = std::make_unique<QtGadgets>(area_, description.gadgets, font(), act);
    move(x, y);
}

MainWindow::~MainWindow()
{
    gadgets_.reset();
    // The area is a member; keep the main window from deleting it a second time.
    takeCentralWidget();
}

void MainWindow::act(WindowAction action)
{
    if (action == WindowAction::MinimiseToTray)
        minimiseToTray();
    else if (onAction_)
        onAction_(action);
}

void MainWindow::setStatusLine(const std::string& text)
{
    gadgets_->setText(kStatusLineGadget, text);
}

void MainWindow::setTrayTooltip(const std::string& text)
{
    if (tray_)
        tray_->setToolTip(displayText(text));
}

void MainWindow::minimiseToTray()
{
    // Without a tray the window would vanish for good: minimise it instead, the desktop's own
    // task list brings it back.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        showMinimized();
        return;
    }
    hide();
    if (!tray_) {
        tray_ = std::make_unique<QSystemTrayIcon>(trayImage_);
        connect(tray_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
                        restoreFromTray();
                });
    }
    tray_->setToolTip(fromWindows1252(mainWindowDescription().title));
    tray_->show();
    inTray_ = true;
}

void MainWindow::restoreFromTray()
{
    if (!inTray_)
        return;
    inTray_ = false;
    tray_->hide();
    show();
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Shut-down takes it from here; the window stays until the program ends.
    event->ignore();
    act(mainWindowDescription().closeBox);
}

} // namespace velmora
