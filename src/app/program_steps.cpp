#include "app/program_steps.h"

#include "core/final_cleanup.h"
#include "capture/png_writer.h"
#include "capture/region_validation.h"
#include "capture/rgb_picture.h"
#include "server_tools/install_login.h"
#include "server_tools/remove_login.h"
#include "server_tools/server_directory_tools.h"
#include "settings/settings_store.h"

namespace velmora {
namespace {

bool writeBlankPicture(const std::string& path, int width, int height)
{
    return writePng(path, RgbPicture(width, height)); // a new picture is black
}

} // namespace

ProgramSteps::ProgramSteps(const ProgramFolders& folders, MessageBoxes& boxes, Clock& clock,
                           SettingsRecord& settings, SharedPresentation& shared)
    : folders_(folders), boxes_(boxes), clock_(clock), settings_(settings), shared_(shared),
      cycle_(shared, boxes, clock, folders.temp),
      clear_(shared, boxes, cycle_, folders.temp, writeBlankPicture), regionFrame_(screen_.bounds())
{
}

ProgramSteps::~ProgramSteps() = default;

bool ProgramSteps::loadImageLibrary()
{
    images_ = LoadImageLibrary(folders_.program, boxes_);
    if (!images_)
        return false;
    FatalExit fatal{[this] { shared_.stopAndReset(); }, [] { finalCleanup(); }};
    capture_ = std::make_unique<DesktopCapture>(screen_, folders_.temp, *images_, boxes_, clock_,
                                                std::move(fatal));
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
    regionPicker_ = std::make_unique<RegionPicker>(screen_.bounds(), pickerFont);
    preview_ = std::make_unique<Preview>(
        folders_.temp, screen_.bounds(),
        PreviewServices{waitForUpload_, [this] { return capture_->capture(settings_); },
                        [this] { shared_.stopAndReset(); }});
}

void ProgramSteps::captureDesktopPicture(const SettingsRecord& settings)
{
    capture_->capture(settings);
}

void ProgramSteps::runPresentationCycle(const SettingsRecord& settings)
{
    const CaptureResult last = capture_->lastResult();
    cycle_.run(settings, PointerMarker{last.markerX, last.markerY});
}

void ProgramSteps::clearPresentation(const SettingsRecord& settings,
                                     const std::function<void()>& waitForUpload)
{
    const CaptureResult last = capture_->lastResult();
    const ClearOutcome outcome = clear_.run(
        settings, PictureSize{last.pictureWidth, last.pictureHeight},
        PointerMarker{last.markerX, last.markerY}, waitForUpload,
        [this](const std::string& text) {
            if (display_)
                display_->setStatusLine(text);
        });
    if (outcome == ClearOutcome::PictureNotCleared)
        finalCleanup();
}

void ProgramSteps::openSettingsWindow()
{
    if (!settingsActions_)
        settingsActions_ = std::make_unique<SettingsWindowActions>(settings_, shared_,
                                                                   folders_.work, boxes_, *this);
    settingsActions_->beforeOpening();
    // Choosing the menu entry again brings the open window to the front.
    if (settingsWindow_ && settingsWindow_->isVisible()) {
        settingsWindow_->raise();
        settingsWindow_->activateWindow();
        return;
    }
    if (preview_)
        preview_->close();
    settingsWindow_ = std::make_unique<SettingsWindow>(mainWindow_, *settingsActions_);
    // The preview belongs to the settings window and goes with it.
    QObject::connect(settingsWindow_.get(), &SettingsWindow::closed, [this] {
        if (preview_)
            preview_->close();
    });
    settingsActions_->fill(*settingsWindow_);
    settingsWindow_->show();
    settingsWindow_->raise();
    settingsWindow_->activateWindow();
}

bool ProgramSteps::validateRegionText(SettingsFields& fields)
{
    return ValidateRegionText(fields, screen_.bounds(), boxes_);
}

void ProgramSteps::openRegionPicker(SettingsFields& fields)
{
    if (regionPicker_ && settingsWindow_)
        regionPicker_->open(*settingsWindow_, fields, [this] { shared_.stopAndReset(); });
}

void ProgramSteps::startRegionFrame()
{
    regionFrame_.start(settings_.ScreenRegion);
}

void ProgramSteps::stopRegionFrame()
{
    regionFrame_.stop();
}

void ProgramSteps::showPreview()
{
    if (preview_ && settingsWindow_)
        preview_->show(*settingsWindow_);
}
void ProgramSteps::checkServerDirectory(SettingsFields& fields)
{
    CheckServerDirectory(fields, boxes_, shared_);
}

void ProgramSteps::loadAbsoluteServerPath(SettingsFields& fields)
{
    LoadAbsoluteServerPath(fields, boxes_, shared_);
}

void ProgramSteps::installLogin(SettingsFields& fields)
{
    InstallLogin(fields, boxes_, shared_, folders_.temp);
}

void ProgramSteps::removeLogin(SettingsFields& fields)
{
    RemoveLogin(fields, boxes_, shared_);
}

} // namespace velmora
