#include "gui/qt_front_end.h"

#include "gui/about_box.h"
#include "gui/main_window.h"
#include "gui/preview.h"
#include "gui/qt_position_store.h"
#include "gui/region_frame.h"
#include "gui/region_picker.h"
#include "gui/settings_window.h"
#include "gui/tray_icon_image.h"
#include "gui/work_while_repainting.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace velmora {

QtFrontEnd::QtFrontEnd()
    : positions_(std::make_unique<QtPositionStore>()), trayImage_(trayIconImage())
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    fonts_ = loadProgramFonts(primary ? primary->logicalDotsPerInchY() : 96.0);
}

QtFrontEnd::~QtFrontEnd() = default;

void QtFrontEnd::useScreen(ScreenBounds screen, const std::string& tempFolder)
{
    screen_ = screen;
    tempFolder_ = tempFolder;
    regionFrame_ = std::make_unique<RegionFrame>(screen);
    regionPicker_ = std::make_unique<RegionPicker>(screen, fonts_.dialogTitle);
}

MainWindowView& QtFrontEnd::openMainWindow(WindowPosition position, WindowActionHandler onAction)
{
    mainWindow_ =
        std::make_unique<MainWindow>(position.x, position.y, trayImage_, std::move(onAction));
    mainWindow_->show();
    return *mainWindow_;
}

void QtFrontEnd::showAboutBox(const std::string& homepage, std::function<void()> openHomepage)
{
    // A path of this system: its bytes are the local encoding, not Windows-1252.
    if (!about_)
        about_ = std::make_unique<AboutBox>(mainWindow_.get(), fonts_.dialogTitle,
                                            QString::fromLocal8Bit(homepage.c_str()),
                                            std::move(openHomepage));
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void QtFrontEnd::openWebAddress(const std::string& address)
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(address.c_str())));
}

bool QtFrontEnd::settingsWindowOpen() const
{
    return settingsWindow_ && settingsWindow_->isVisible();
}

void QtFrontEnd::raiseSettingsWindow()
{
    settingsWindow_->raise();
    settingsWindow_->activateWindow();
}

SettingsWindowView& QtFrontEnd::createSettingsWindow(SettingsWindowEvents events,
                                                     std::function<void()> onClosed)
{
    settingsWindow_ = std::make_unique<SettingsWindow>(mainWindow_.get(), std::move(events));
    QObject::connect(settingsWindow_.get(), &SettingsWindow::closed, std::move(onClosed));
    return *settingsWindow_;
}

void QtFrontEnd::showSettingsWindow()
{
    settingsWindow_->show();
    raiseSettingsWindow();
}

void QtFrontEnd::openRegionPicker(SettingsFields& fields, std::function<void()> closedByCloseBox)
{
    if (regionPicker_ && settingsWindow_)
        regionPicker_->open(*settingsWindow_, fields, std::move(closedByCloseBox));
}

void QtFrontEnd::startRegionFrame(const std::string& region)
{
    regionFrame_->start(region);
}

void QtFrontEnd::stopRegionFrame()
{
    regionFrame_->stop();
}

void QtFrontEnd::showPreview(const PreviewServices& services)
{
    if (!preview_)
        preview_ = std::make_unique<Preview>(tempFolder_, screen_, services);
    if (settingsWindow_)
        preview_->show(*settingsWindow_);
}

void QtFrontEnd::closePreview()
{
    if (preview_)
        preview_->close();
}

void QtFrontEnd::runWhileRepainting(const std::function<void()>& work)
{
    velmora::runWhileRepainting(work);
}

void QtFrontEnd::runEventLoop(const std::atomic<bool>& quit, const std::function<void()>& pace)
{
    // The coarse timer may fire up to 5 % early; the pacing counts on whole half seconds.
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(500);
    while (!quit) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (quit)
            break;
        pace();
    }
}

void QtFrontEnd::runOnGuiThread(std::function<void()> work)
{
    // A posted call wakes the loop, whose pass then runs at once.
    QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection);
}

} // namespace velmora
