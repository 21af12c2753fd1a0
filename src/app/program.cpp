#include "app/program.h"

#include "core/message_titles.h"
#include "gui/about_box.h"
#include "crash/crash_reporter.h"
#include "app/event_loop.h"
#include "core/final_cleanup.h"
#include "app/instance_guard.h"
#include "gui/main_window.h"
#include "app/position_store.h"
#include "app/presentation_control.h"
#include "app/presentation_messages.h"
#include "app/program_folders.h"
#include "app/program_steps.h"
#include "app/window_position.h"
#include "app/working_files.h"
#include "core/clock.h"
#include "gui/program_fonts.h"
#include "gui/qt_message_boxes.h"
#include "gui/tray_icon_image.h"

#include <QApplication>
#include <QDesktopServices>
#include <QScreen>
#include <QUrl>

#include <atomic>
#include <memory>

namespace velmora {
namespace {

void openAddress(const char* address)
{
    // A failure to open the browser is not the presenter's problem here: ignored.
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(address)));
}

} // namespace

void runProgram(int argc, char** argv)
{
    // On a Wayland desktop the windows stay X11 clients (Xwayland): only there may a program
    // place its windows, which the region frame and picker need. The screen itself comes from
    // the desktop's ScreenCast portal.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setFont(QFont(QStringLiteral("Arial"), 8));
    QtMessageBoxes boxes;

    // Folders come first: the single-instance lock lives in the private Temp folder.
    ProgramFolders folders;
    folders.work = workFolderPath();
    std::string tempError;
    folders.temp = privateTempFolder(tempError);
    folders.program = programFolderPath();
    if (folders.temp.empty()) {
        boxes.show(titles::kError,
                   "Der Ordner f\xFCr die Arbeitsdateien kann nicht sicher verwendet werden:\r\n" +
                       tempError);
        finalCleanup();
    }

    InstanceGuard guard(folders.temp);
    if (!guard.acquired()) {
        boxes.show(titles::kInformation, text::kAlreadyRunning);
        finalCleanup();
    }
    // Faults from here on are reported; the final cleanup puts the previous handlers back.
    installCrashReporter(crashHelpersIn(folders.program));
    createWorkFolder(folders.work);

    const QScreen* primary = QGuiApplication::primaryScreen();
    const ProgramFonts fonts = loadProgramFonts(primary ? primary->logicalDotsPerInchY() : 96.0);
    const QIcon trayImage = trayIconImage();

    SettingsRecord settings;
    SharedPresentation shared;
    ProgramSteps steps(folders, boxes, systemClock(), settings, shared);
    const ScreenBounds screen = steps.screenBounds();
    if (!steps.loadImageLibrary())
        finalCleanup();

    const StoredPosition stored = readStoredPosition();
    const WindowPosition position = acceptedWindowPosition(stored.x, stored.y, screen);

    UploadThread upload;
    // A posted no-op wakes the event loop, whose pass then starts the next cycle right away.
    upload.setOnFinished([] { QMetaObject::invokeMethod(qApp, [] {}, Qt::QueuedConnection); });
    MainWindow window(position.x, position.y, trayImage);
    window.show();

    steps.loadSettings();

    PresentationControl control(shared, settings, steps, upload, boxes, systemClock(), window);
    // While the GUI thread waits for the Upload thread it keeps showing that thread's boxes.
    const std::function<void()> serveBoxes = [&boxes] { boxes.serveQueuedBoxes(); };
    control.setWhileWaitingForUpload(serveBoxes);
    steps.attach(window, window, [&] { upload.waitUntilFinished(serveBoxes); }, fonts.dialogTitle);

    std::atomic<bool> quit{false};
    std::unique_ptr<AboutBox> about;
    QObject::connect(&window, &MainWindow::startClicked, [&] { control.start(); });
    QObject::connect(&window, &MainWindow::stopClicked, [&] { control.stop(); });
    QObject::connect(&window, &MainWindow::clearClicked, [&] { control.clear(); });
    QObject::connect(&window, &MainWindow::quitRequested, [&] {
        control.stopAndReset();
        quit = true;
    });
    QObject::connect(&window, &MainWindow::settingsRequested, [&] { steps.openSettingsWindow(); });
    QObject::connect(&window, &MainWindow::helpRequested, [] { openAddress(kOnlineHelpAddress); });
    QObject::connect(&window, &MainWindow::aboutRequested, [&] {
        if (!about) {
            about = std::make_unique<AboutBox>(&window, fonts.dialogTitle);
            QObject::connect(about.get(), &AboutBox::linkClicked,
                             [] { openAddress(kHomepageAddress); });
        }
        about->show();
        about->raise();
        about->activateWindow();
    });

    steps.startRegionFrame();
    if (settings.AutostartPresentation != 0)
        control.autostart();
    else
        boxes.show(titles::kProgram, text::kWelcome);

    runEventLoop(quit, [&] { control.pace(); });

    // Shut-down. A cycle still uploading is not waited for.
    steps.stopRegionFrame();
    saveProgramPlacement(folders.program, window.x(), window.y());
    deleteWorkingFiles(folders.temp);
    steps.unloadImageLibrary();
    finalCleanup();
}

} // namespace velmora
