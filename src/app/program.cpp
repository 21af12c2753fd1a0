#include "app/program.h"

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

// Start-up until the event loop, the loop, and shut-down; a fatal path leaves through
// endProgram wherever it happens.
void runFromFolders(const ProgramParts& parts, const ProgramFolders& folders)
{
    FrontEnd& frontEnd = parts.frontEnd;
    MessageBoxes& boxes = frontEnd.boxes();

    InstanceGuard guard(folders.temp);
    if (!guard.acquired()) {
        boxes.show(titles::kInformation, text::kAlreadyRunning);
        return parts.endProgram();
    }
    if (parts.installCrashReporter)
        parts.installCrashReporter(folders.program);
    createWorkFolder(folders.work);

    const std::unique_ptr<ScreenSource> screen = parts.openScreen(folders.work);
    const ScreenBounds bounds = screen->bounds();
    frontEnd.useScreen(bounds, folders.temp);
    SettingsRecord settings;
    SharedPresentation shared;
    UploadThread upload;
    // While the GUI thread waits for the Upload thread it keeps showing that thread's boxes.
    const std::function<void()> serveBoxes = [&frontEnd] { frontEnd.serveQueuedBoxes(); };
    // Clear and the preview wait for the cycle under way with the windows painting and its boxes
    // showing; every request of a cycle has a time limit, so the wait ends.
    const std::function<void()> waitForUpload = [&] {
        frontEnd.runWhileRepainting([&upload] { upload.waitUntilFinished({}); });
    };

    DesktopPresentation presentation(
        {folders, boxes, parts.clock, shared, *screen, frontEnd.ownWindows(),
         frontEnd.captionRenderer(),
         [&frontEnd](const std::function<void()>& work) { frontEnd.runWhileRepainting(work); },
         parts.endProgram});
    if (!presentation.loadImageLibrary(parts.imageLibraryFile))
        return parts.endProgram();

    const StoredPosition stored = frontEnd.positionStore().read();
    const WindowPosition position = acceptedWindowPosition(stored.x, stored.y, bounds);

    // A finished cycle wakes the event loop with nothing to do but its pass, which then starts
    // the next cycle right away.
    upload.setOnFinished([&frontEnd] { frontEnd.runOnGuiThread([] {}); });
    // So does a change on the screen, where the screen reports its changes: the capture follows
    // the change at once instead of at the next tick, and a still screen is not captured at all.
    presentation.watchScreen([&frontEnd] { frontEnd.runOnGuiThread([] {}); });

    std::atomic<bool> quit{false};
    // The window opens before the settings are loaded, and a box of theirs lets the presenter
    // click: the buttons and the menu act only once everything they reach exists.
    PresentationControl* control = nullptr;
    SettingsWindowWiring* settingsWindow = nullptr;
    const auto whenReady = [&control](std::function<void()> command) {
        return [&control, command = std::move(command)] {
            if (control)
                command();
        };
    };
    MainWindowCommands commands;
    commands.start = whenReady([&] { control->start(); });
    commands.stop = whenReady([&] { control->stop(); });
    commands.clear = whenReady([&] { control->clear(); });
    commands.quit = whenReady([&] {
        control->stopAndReset();
        quit = true;
    });
    commands.openSettings = whenReady([&] { settingsWindow->openSettingsWindow(); });
    // No help site exists: the menu and the about box's link both open the installed help.
    const HelpPage help = installedHelpPage(
        folders.program, [](const std::string& path) { return std::filesystem::exists(path); });
    commands.openHelp = whenReady([&] { frontEnd.openWebAddress(help.address); });
    commands.openAbout = whenReady(
        [&] { frontEnd.showAboutBox(help.shown, [&] { frontEnd.openWebAddress(help.address); }); });
    MainWindowView& window = frontEnd.openMainWindow(position, std::move(commands));

    LoadSettings(settings, folders.work, boxes);

    PresentationControl presentationControl(shared, settings, presentation, upload, boxes,
                                            parts.clock, window);
    presentationControl.setWaitForUpload(waitForUpload);
    presentation.showClearingOn(window);
    SettingsWindowWiring settingsWiring(
        {frontEnd, settings, shared, folders.work, folders.temp, bounds,
         PreviewServices{
             waitForUpload,
             [&presentation, &settings] { return presentation.capturePreview(settings); },
             [&shared] { shared.stop(); }}});
    settingsWindow = &settingsWiring;
    control = &presentationControl;

    settingsWiring.startRegionFrame();
    if (settings.AutostartPresentation != 0)
        presentationControl.autostart();
    else
        boxes.show(titles::kProgram, text::kWelcome);

    frontEnd.runEventLoop(quit, [&] { presentationControl.pace(); });

    // Shut-down. A cycle still uploading is not waited for.
    settingsWiring.stopRegionFrame();
    const WindowPosition now = window.position();
    frontEnd.positionStore().save(folders.program, now.x, now.y);
    deleteWorkingFiles(folders.temp);
    presentation.unloadImageLibrary();
    parts.endProgram();
    // Only a test's endProgram returns: its upload must end before the parts it uses go.
    upload.waitUntilFinished(serveBoxes);
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
