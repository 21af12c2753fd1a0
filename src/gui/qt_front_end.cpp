#include "gui/qt_front_end.h"

#include "gui/qt_described_window.h"
#include "gui/qt_main_window.h"
#include "gui/qt_position_store.h"
#include "gui/qt_region_frame.h"
#include "gui/qt_settle_wait.h"
#include "gui/qt_tray_icon_image.h"
#include "gui/qt_work_while_repainting.h"

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

void QtFrontEnd::useScreen(ScreenBounds screen)
{
    regionFrame_ = std::make_unique<RegionFrame>(screen);
}

MainWindowView& QtFrontEnd::openMainWindow(WindowPosition position, WindowActionHandler onAction)
{
    mainWindow_ = std::make_unique<QtMainWindow>(position, trayImage_, std::move(onAction));
    mainWindow_->window().show();
    return *mainWindow_;
}

std::unique_ptr<DescribedWindow> QtFrontEnd::openWindow(const WindowDescription& description,
                                                        WindowEvents events, DescribedWindow* owner,
                                                        WindowPlace place, int clientWidth,
                                                        int clientHeight)
{
    // Every window of this front end is one of these.
    auto* ownerWidget = dynamic_cast<QWidget*>(owner);
    return std::make_unique<QtDescribedWindow>(description, std::move(events), ownerWidget,
                                               fonts_.dialogTitle, place,
                                               QSize(clientWidth, clientHeight));
}

void QtFrontEnd::openWebAddress(const std::string& address)
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(address.c_str())));
}

void QtFrontEnd::startRegionFrame(const std::string& region)
{
    if (regionFrame_)
        regionFrame_->start(region);
}

void QtFrontEnd::stopRegionFrame()
{
    if (regionFrame_)
        regionFrame_->stop();
}

void QtFrontEnd::waitWhileRepainting(int milliseconds)
{
    velmora::waitWhileRepainting(milliseconds);
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
