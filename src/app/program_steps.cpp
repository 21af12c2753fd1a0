#include "app/program_steps.h"

#include "png/png_writer.h"
#include "capture/region_validation.h"
#include "png/rgb_picture.h"
#include "screen/screen_source_choice.h"
#include "core/final_cleanup.h"
#include "gui/work_while_repainting.h"
#include "server_tools/install_login.h"
#include "server_tools/remove_login.h"
#include "server_tools/server_directory_tools.h"
#include "settings/settings_fields_copy.h"
#include "settings/settings_store.h"

#include <cstdio>

namespace velmora {
namespace {

bool writeBlankPicture(const std::string& path, int width, int height)
{
    return writePng(path, RgbPicture(width, height)); // a new picture is black
}

// The choice goes to the log: on Wayland it decides whether presenting can work at all.
std::unique_ptr<ScreenSource> openScreen(const std::string& workFolder)
{
    ScreenChoice choice = chooseScreenSource(workFolder);
    std::fprintf(stderr, "velmora: %s\n", choice.note.c_str());
    return std::move(choice.source);
}

} // namespace

ProgramSteps::ProgramSteps(const ProgramFolders& folders, MessageBoxes& boxes, Clock& clock,
                           SettingsRecord& settings, SharedPresentation& shared)
    : folders_(folders), boxes_(boxes), clock_(clock), settings_(settings), shared_(shared),
      screen_(openScreen(folders.work)),
      cycle_(shared, boxes, clock, folders.temp, FtpTimeouts{}, serverTrustFiles(folders.work)),
      clear_(shared, boxes, cycle_, folders.temp, writeBlankPicture, runWhileRepainting),
      regionFrame_(screen_->bounds())
{
}

ProgramSteps::~ProgramSteps() = default;

bool ProgramSteps::loadImageLibrary()
{
    images_ = LoadImageLibrary(folders_.program, boxes_);
    if (!images_)
        return false;
    CaptureFailureActions failure{[this] { stopPresentation(); }, [] { finalCleanup(); }};
    capture_ = std::make_unique<DesktopCapture>(*screen_, folders_.temp, *images_, boxes_, clock_,
                                                std::move(failure));
    capture_->setOwnWindows(&ownWindows_);
    return true;
}

void ProgramSteps::unloadImageLibrary()
{
    if (images_)
        UnloadImageLibrary(*images_);
}

void ProgramSteps::loadSettings()
{
    LoadSettings(settings_, folders_.work, boxes_);
}

void ProgramSteps::attach(StatusDisplay& display, QWidget& mainWindow,
                          std::function<void()> waitForUpload, const QFont& pickerFont)
{
    display_ = &display;
    mainWindow_ = &mainWindow;
    waitForUpload_ = std::move(waitForUpload);
    regionPicker_ = std::make_unique<RegionPicker>(screen_->bounds(), pickerFont);
    preview_ = std::make_unique<Preview>(
        folders_.temp, screen_->bounds(),
        PreviewServices{waitForUpload_, [this] { return capture_->capture(settings_); },
                        [this] { stopPresentation(); }});
}

CaptureResult ProgramSteps::captureDesktopPicture(const SettingsRecord& settings)
{
    return capture_->capture(settings, shared_.spectators().picture());
}

CycleOutcome ProgramSteps::runPresentationCycle(const SettingsRecord& settings,
                                                const CaptureResult& picture)
{
    return cycle_.run(
        settings, CyclePicture{{picture.markerX, picture.markerY}, picture.picture, picture.png});
}

void ProgramSteps::clearPresentation(const SettingsRecord& settings,
                                     const std::function<void()>& waitForUpload)
{
    // The last picture of any kind, the preview's included: its size is the black picture's.
    const CaptureResult last = capture_->lastResult();
    const ClearOutcome outcome = clear_.run(
        settings, PictureSize{last.pictureWidth, last.pictureHeight},
        PointerMarker{last.markerX, last.markerY}, waitForUpload, [this](const std::string& text) {
            if (display_)
                display_->setStatusLine(text);
        });
    if (outcome == ClearOutcome::PictureNotCleared)
        finalCleanup();
}

RegionTools ProgramSteps::regionTools()
{
    RegionTools tools;
    tools.validateRegionText = [this](SettingsFields& fields) {
        return ValidateRegionText(fields, screen_->bounds(), boxes_);
    };
    tools.startRegionFrame = [this] { startRegionFrame(); };
    tools.stopRegionFrame = [this] { stopRegionFrame(); };
    tools.showPreview = [this] {
        if (preview_ && settingsWindow_)
            preview_->show(*settingsWindow_);
    };
    return tools;
}

SettingsWindowActions ProgramSteps::settingsWindowActions()
{
    SettingsWindowActions actions =
        velmora::settingsWindowActions(settings_, shared_, folders_.work, boxes_, regionTools());
    const auto stop = [this] { stopPresentation(); };
    actions.pickRegion = [this, stop](SettingsWindowView& view) {
        if (regionPicker_ && settingsWindow_)
            regionPicker_->open(*settingsWindow_, view, stop);
    };
    // The server tools talk to the server while the windows keep painting; they work on a copy
    // of the typed fields, since the window's gadgets belong to the GUI thread.
    const auto awayFromTheWindow = [](const std::function<void(SettingsFields&)>& tool) {
        return [tool](SettingsWindowView& view) {
            SettingsFieldsCopy fields(view);
            runWhileRepainting([&] { tool(fields); });
            fields.writeBackTo(view);
        };
    };
    // The remembered server keys live beside the preference file.
    const ServerTrustFiles trust = serverTrustFiles(folders_.work);
    actions.checkServerDirectory = awayFromTheWindow([this, stop, trust](SettingsFields& fields) {
        CheckServerDirectory(fields, boxes_, stop, {}, trust);
    });
    actions.loadAbsoluteServerPath = awayFromTheWindow([this, stop, trust](SettingsFields& fields) {
        LoadAbsoluteServerPath(fields, boxes_, stop, {}, trust);
    });
    actions.installLogin = awayFromTheWindow([this, stop, trust](SettingsFields& fields) {
        InstallLogin(fields, boxes_, stop, folders_.temp, {}, trust);
    });
    actions.removeLogin = awayFromTheWindow([this, stop, trust](SettingsFields& fields) {
        RemoveLogin(fields, boxes_, stop, {}, trust);
    });
    return actions;
}

void ProgramSteps::openSettingsWindow()
{
    beforeOpeningSettingsWindow(shared_, regionTools());
    // Choosing the menu entry again brings the open window to the front.
    if (settingsWindow_ && settingsWindow_->isVisible()) {
        settingsWindow_->raise();
        settingsWindow_->activateWindow();
        return;
    }
    if (preview_)
        preview_->close();
    settingsWindow_ = std::make_unique<SettingsWindow>(mainWindow_, settingsWindowActions());
    // The preview belongs to the settings window and goes with it.
    QObject::connect(settingsWindow_.get(), &SettingsWindow::closed, [this] {
        if (preview_)
            preview_->close();
    });
    FillSettingsWindow(settings_, *settingsWindow_);
    settingsWindow_->show();
    settingsWindow_->raise();
    settingsWindow_->activateWindow();
}

void ProgramSteps::startRegionFrame()
{
    regionFrame_.start(settings_.ScreenRegion);
}

void ProgramSteps::stopRegionFrame()
{
    regionFrame_.stop();
}

} // namespace velmora
