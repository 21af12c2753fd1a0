#include "app/desktop_presentation.h"

#include "capture/screen_reader.h"
#include "png/png_writer.h"
#include "png/rgb_picture.h"
#include "transfer/server_trust_questions.h"

#include <utility>

namespace velmora {
namespace {

std::optional<std::string> blankPicture(int width, int height)
{
    return encodePng(RgbPicture(width, height)); // a new picture is black
}

} // namespace

DesktopPresentation::DesktopPresentation(DesktopPresentationParts parts)
    : parts_(std::move(parts)),
      cycle_(parts_.shared, parts_.boxes, parts_.clock, parts_.folders.temp, FtpTimeouts{},
             serverTrustFiles(parts_.folders.work)),
      clear_(parts_.shared, parts_.boxes, cycle_, parts_.folders.temp, blankPicture,
             parts_.runWhileRepainting)
{
}

DesktopPresentation::~DesktopPresentation() = default;

bool DesktopPresentation::loadImageLibrary(const std::string& fileName)
{
    images_ = LoadImageLibrary(parts_.folders.program, parts_.boxes, fileName);
    if (!images_)
        return false;
    CaptureFailureActions failure{[this] { parts_.shared.stop(); }, parts_.endProgram};
    capture_ =
        std::make_unique<DesktopCapture>(parts_.screen, parts_.folders.temp, *images_, parts_.boxes,
                                         parts_.clock, std::move(failure), parts_.caption);
    capture_->setOwnWindows(&parts_.ownWindows);
    return true;
}

void DesktopPresentation::unloadImageLibrary()
{
    if (images_)
        UnloadImageLibrary(*images_);
}

void DesktopPresentation::watchScreen(std::function<void()> wake)
{
    watch_ = parts_.screen.watchChanges(std::move(wake));
    changedSinceRead_ = RowBands::all(); // the reports start now, the last read was earlier
}

bool DesktopPresentation::screenMayHaveChanged(const SettingsRecord& settings)
{
    if (!watch_ || !capture_)
        return true;
    const ScreenChanges changes = watch_->take();
    // Every report counts for the next read, also one that shows nothing now (a change under
    // the program's own windows): the kept read must learn of it.
    addChangedRows(changedSinceRead_, changes);
    return capture_->mayShowNews(settings, changes);
}

RowBands DesktopPresentation::takeChangedRows()
{
    // From this capture's read on, the reports tell what changes; without them nothing is known.
    return std::exchange(changedSinceRead_, watch_ ? RowBands() : RowBands::all());
}

CaptureResult DesktopPresentation::capturePreview(const SettingsRecord& settings)
{
    // The latest reports wait untaken for the pacing, which decides by them whether to capture:
    // the preview reads the whole screen.
    takeChangedRows();
    return capture_->capture(settings, 0, RowBands::all());
}

CaptureResult DesktopPresentation::captureDesktopPicture(const SettingsRecord& settings)
{
    return capture_->capture(settings, parts_.shared.spectators().picture(), takeChangedRows());
}

CycleOutcome DesktopPresentation::runPresentationCycle(const SettingsRecord& settings,
                                                       const CaptureResult& picture)
{
    return cycle_.run(
        settings, CyclePicture{{picture.markerX, picture.markerY}, picture.picture, picture.png});
}

void DesktopPresentation::clearPresentation(const SettingsRecord& settings,
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
        parts_.endProgram();
}

} // namespace velmora
