#include "app/program.h"

#include "app/about_box.h"
#include "app/desktop_presentation.h"
#include "app/help_address.h"
#include "app/instance_guard.h"
#include "app/presentation_control.h"
#include "app/presentation_messages.h"
#include "app/program_folders.h"
#include "app/settings_window_wiring.h"
#include "app/upload_thread.h"
#include "app/window_position.h"
#include "app/working_files.h"
#include "core/message_titles.h"
#include "publish/presentation_state.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"

#include <atomic>
#include <filesystem>

namespace velmora {
namespace {

// What the main window's buttons and menu reach. The window opens before the settings are
// loaded, and a box of theirs lets the presenter click: the buttons and the menu act only once
// everything they reach exists.
struct MainWindowTargets {
    FrontEnd& frontEnd;
    HelpPage help;
    std::atomic<bool>& quit;
    AboutBox about;
    MainWindowView* window = nullptr;
    PresentationControl* control = nullptr;
    SettingsWindowWiring* settingsWindow = nullptr;
};

WindowActionHandler mainWindowActions(MainWindowTargets& targets)
{
    return [&targets](WindowAction action) {
        // The window itself may go to the tray at any time.
        if (action == WindowAction::MinimiseToTray && targets.window != nullptr)
            return targets.window->minimiseToTray();
        PresentationControl* control = targets.control;
        if (control == nullptr)
            return;
        switch (action) {
        case WindowAction::Start:
            return control->start();
        case WindowAction::Stop:
            return control->stop();
        case WindowAction::Clear:
            return control->clear();
        case WindowAction::Quit:
            control->stopAndReset();
            targets.quit = true;
            return;
        case WindowAction::OpenSettings:
            return targets.settingsWindow->openSettingsWindow();
        case WindowAction::OpenHelp:
            return targets.frontEnd.openWebAddress(targets.help.address);
        case WindowAction::OpenAbout:
            return targets.about.open(targets.window->window());
        default:
            return;
        }
    };
}

// Shut-down: what the presenter set up is kept, the working files go. A cycle still uploading is
// not waited for.
void shutDown(const ProgramParts& parts, const ProgramFolders& folders,
              SettingsWindowWiring& settingsWiring, MainWindowView& window,
              DesktopPresentation& presentation)
{
    settingsWiring.stopRegionFrame();
    const OuterRect now = window.window().frame();
    parts.frontEnd.positionStore().save(folders.program, now.left, now.top);
    deleteWorkingFiles(folders.temp);
    presentation.unloadImageLibrary();
    parts.endProgram();
}

// The screen and the image library are there: the windows, the settings and the event loop
// until Exit.
void runWithScreen(const ProgramParts& parts, const ProgramFolders& folders, ScreenSource& screen,
                   DesktopPresentation& presentation, SharedPresentation& shared,
                   UploadThread& upload)
{
    FrontEnd& frontEnd = parts.frontEnd;
    MessageBoxes& boxes = frontEnd.boxes();
    const ScreenBounds bounds = screen.bounds();
    // Clear and the preview wait for the cycle under way with the windows painting and its boxes
    // showing; every request of a cycle has a time limit, so the wait ends.
    const std::function<void()> waitForUpload = [&] {
        frontEnd.runWhileRepainting([&upload] { upload.waitUntilFinished({}); });
    };

    const StoredPosition stored = frontEnd.positionStore().read();
    std::atomic<bool> quit{false};
    // No help site exists: the menu and the about box's link both open the installed help.
    const HelpPage help = installedHelpPage(
        folders.program, [](const std::string& path) { return std::filesystem::exists(path); });
    MainWindowTargets targets{
        frontEnd, help, quit,
        AboutBox(frontEnd, pathForDisplay(help.shown),
                 [&frontEnd, address = help.address] { frontEnd.openWebAddress(address); })};
    MainWindowView& window = frontEnd.openMainWindow(
        acceptedWindowPosition(stored.x, stored.y, bounds), mainWindowActions(targets));
    targets.window = &window;

    SettingsRecord settings;
    LoadSettings(settings, folders.work, boxes);

    PresentationControl control(shared, settings, presentation, upload, boxes, parts.clock, window);
    control.setWaitForUpload(waitForUpload);
    presentation.showClearingOn(window);
    SettingsWindowWiring settingsWiring(
        {frontEnd, window.window(), settings, shared, folders.work, folders.temp, bounds,
         PreviewServices{
             waitForUpload,
             [&presentation, &settings] { return presentation.capturePreview(settings); },
             [&shared] { shared.stop(); }}});
    targets.settingsWindow = &settingsWiring;
    targets.control = &control;

    settingsWiring.startRegionFrame();
    if (settings.AutostartPresentation != 0)
        control.autostart();
    else
        boxes.show(titles::kProgram, text::kWelcome);

    frontEnd.runEventLoop(quit, [&] { control.pace(); });
    shutDown(parts, folders, settingsWiring, window, presentation);
    // Only a test's endProgram returns: its upload must end before the parts it uses go.
    upload.waitUntilFinished([&frontEnd] { frontEnd.serveQueuedBoxes(); });
}

// Start-up until the windows; a fatal path leaves through endProgram wherever it happens.
void runFromFolders(const ProgramParts& parts, const ProgramFolders& folders)
{
    FrontEnd& frontEnd = parts.frontEnd;
    InstanceGuard guard(folders.temp);
    if (!guard.acquired()) {
        frontEnd.boxes().show(titles::kInformation, text::kAlreadyRunning);
        return parts.endProgram();
    }
    if (parts.installCrashReporter)
        parts.installCrashReporter(folders.program);
    createWorkFolder(folders.work);

    const std::unique_ptr<ScreenSource> screen = parts.openScreen(folders.work);
    frontEnd.useScreen(screen->bounds());
    SharedPresentation shared;
    // Declared before the presentation it uses, so that it goes after it.
    UploadThread upload;
    DesktopPresentation presentation(
        {folders, frontEnd.boxes(), parts.clock, shared, *screen, frontEnd.ownWindows(),
         frontEnd.captionRenderer(),
         [&frontEnd](const std::function<void()>& work) { frontEnd.runWhileRepainting(work); },
         parts.endProgram});
    if (!presentation.loadImageLibrary(parts.imageLibraryFile))
        return parts.endProgram();

    // A finished cycle wakes the event loop with nothing to do but its pass, which then starts
    // the next cycle right away.
    upload.setOnFinished([&frontEnd] { frontEnd.runOnGuiThread([] {}); });
    // So does a change on the screen, where the screen reports its changes: the capture follows
    // the change at once instead of at the next tick, and a still screen is not captured at all.
    presentation.watchScreen([&frontEnd] { frontEnd.runOnGuiThread([] {}); });
    runWithScreen(parts, folders, *screen, presentation, shared, upload);
}

} // namespace

void runProgram(const ProgramParts& parts)
{
    // Folders come first: the single-instance lock lives in the private Temp folder.
    ProgramFolders folders;
    folders.work = workFolderPath();
    std::string tempError;
    folders.temp = privateTempFolder(tempError);
    folders.program = programFolderPath();
    if (folders.temp.empty()) {
        parts.frontEnd.boxes().show(
            titles::kError,
            "Der Ordner f\xFCr die Arbeitsdateien kann nicht sicher verwendet werden:\r\n" +
                tempError);
        return parts.endProgram();
    }
    runFromFolders(parts, folders);
}

} // namespace velmora
