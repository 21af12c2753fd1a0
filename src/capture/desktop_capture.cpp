#include "capture/desktop_capture.h"

#include "capture/capture_messages.h"
#include "capture/picture_conversion.h"
#include "capture/picture_news.h"
#include "capture/region_string.h"
#include "core/local_file.h"
#include "core/message_titles.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace velmora {
namespace {

constexpr double kDownscaleFactor = 0.75;
constexpr int kMarkerOffsetX = 4; // the marker's tip is drawn this far right of its corner
constexpr int kMarkerOffsetY = 9;
// The screen's reports are trusted this long: a change that some drawing did not report (direct
// rendering may not) shows within it, as it would without reports.
constexpr std::int64_t kSecondsBetweenWholeReads = 2;

std::int32_t scaled(std::int64_t value, double factor)
{
    return static_cast<std::int32_t>(std::trunc(static_cast<double>(value) * factor));
}

} // namespace

DesktopCapture::DesktopCapture(ScreenSource& screen, std::string tempFolder, ImageLibrary& images,
                               MessageBoxes& boxes, Clock& clock, CaptureFailureActions failure,
                               CaptionRenderer& caption)
    : screen_(screen), tempFolder_(std::move(tempFolder)), images_(images), boxes_(boxes),
      clock_(clock), failure_(std::move(failure)), caption_(caption), reader_(screen)
{
}

bool DesktopCapture::mayShowNews(const SettingsRecord& settings, const ScreenChanges& changes)
{
    const bool markerShown = settings.RemoteMousePointer > 0;
    // Not every pointer move is reported (a warped pointer makes no input event): where the
    // pointer is now is asked as well, one round trip.
    if (markerShown) {
        const auto pointer = screen_.pointerPosition();
        if (pointer && (!pointerAtCapture_ || pointer->x != pointerAtCapture_->x ||
                        pointer->y != pointerAtCapture_->y))
            return true;
    }
    const ScreenBounds bounds = screen_.bounds();
    const CaptureRectangle rect =
        captureRectangle(settings.ScreenRegion, bounds.right, bounds.bottom);
    if (!rect.namesPixels())
        return false; // the picture shows nothing of the screen
    return changesReachCapture(
        changes, ownWindows_ ? ownWindows_->onScreen() : std::vector<ScreenRectangle>{}, rect.x,
        rect.y, rect.width, rect.height, markerShown);
}

CaptureResult DesktopCapture::capture(const SettingsRecord& settings, std::uint32_t onServer,
                                      const RowBands& changedScreenRows)
{
    // A screen that can only give black pictures (Wayland shares it with nobody) stops the
    // presentation with the reason; no picture is written, so nothing black can go up.
    if (const std::string unreadable = screen_.unreadableReason(); !unreadable.empty()) {
        reader_.forget();
        if (failure_.stopPresentation)
            failure_.stopPresentation();
        boxes_.show(titles::kError, unreadable);
        return last_;
    }

    const ScreenBounds bounds = screen_.bounds();
    const CaptureRectangle rect =
        captureRectangle(settings.ScreenRegion, bounds.right, bounds.bottom);

    // A region that names no pixels (right left of left, or an origin beyond the screen) gives a
    // 1 x 1 picture with nothing of the screen in it: the presentation goes on, and the
    // spectators see less of the screen rather than more of it than the presenter chose.
    const bool namesPixels = rect.namesPixels();
    // The picture rows that may differ from the last read's picture.
    RowBands changed = RowBands::all();
    if (namesPixels) {
        const std::int64_t now = clock_.steadySeconds();
        const bool wholeDue = now - lastWholeRead_ >= kSecondsBetweenWholeReads;
        const std::optional<RowBands> read =
            reader_.read(rect, bounds, wholeDue ? RowBands::all() : changedScreenRows);
        // A read that failed would give a black or partly black picture: the spectators keep
        // the last real one instead, and a screen that stays unreadable stops the presentation.
        if (!read) {
            if (++failedReads_ >= kFailedReadsBeforeStop) {
                failedReads_ = 0;
                if (failure_.stopPresentation)
                    failure_.stopPresentation();
                boxes_.show(titles::kError, messages::kScreenNotRead);
            }
            return last_;
        }
        changed = *read;
        if (changed.everything())
            lastWholeRead_ = now;
    } else {
        reader_.forget();
    }
    failedReads_ = 0;

    // Which of the pictures made here the spectators have is the record's word. Any other
    // answer means their picture is not known here, and whatever this capture shows is news.
    // The newest one is kept no longer: its cycle has ended, whether it went up or not.
    std::optional<KeptPicture> shown;
    if (onServer != 0 && newest_ && newest_->number == onServer)
        shown.swap(newest_);
    else if (onServer != 0 && shown_ && shown_->number == onServer)
        shown.swap(shown_);
    // A picture no longer kept lends its memory to this one: fresh memory for a whole screen
    // costs about as much as copying the screen into it.
    RgbPicture picture(1, 1);
    for (std::optional<KeptPicture>* dropped : {&newest_, &shown_}) {
        if (*dropped)
            picture = std::move((*dropped)->pixels);
        dropped->reset();
    }
    shown_ = std::move(shown);
    if (namesPixels)
        picture = reader_.picture(); // a copy into the memory lent, where it is large enough
    else
        picture = RgbPicture(1, 1);

    // The caption's second part, after the colon, has no source in this program: it stays empty.
    const CaptionBox caption = caption_.draw(picture, " Remote Desktop:  ");
    // Its rows count as changed: no renderer has to promise the same pixels every time.
    changed.add(0, std::min(caption.height, picture.height()));
    // Rows where the kept pictures may differ from this one: where they differed from the last
    // read's picture, and where this one may.
    if (shown_)
        shown_->differs.add(changed);
    writtenDiffers_.add(changed);

    const double factor = settings.ForceDownscale > 0 ? kDownscaleFactor : 1.0;
    // At least one pixel each way: the library cannot rescale to an empty picture, and a
    // one-pixel-wide region is a region all the same.
    const std::int32_t pictureWidth = std::max(1, scaled(picture.width(), factor));
    const std::int32_t pictureHeight = std::max(1, scaled(picture.height(), factor));
    const PictureFormat format{rect.x,
                               rect.y,
                               rect.width,
                               rect.height,
                               settings.ForceDownscale > 0,
                               settings.Force256 > 0};
    const bool sameFormat = shown_ && shown_->format == format;

    // The Status line changes with every upload: inside the own windows nothing is news, or a
    // still screen would never go quiet.
    std::vector<ScreenRectangle> own;
    if (ownWindows_ && namesPixels)
        own = rectanglesInCapture(ownWindows_->onScreen(), rect.x, rect.y, rect.width, rect.height);
    std::uint32_t number = 0;
    std::shared_ptr<const std::string> png;
    if (sameFormat && !differsOutside(shown_->pixels, picture, own, shown_->differs)) {
        number = shown_->number;
        png = shown_->png;
    } else {
        const std::string path = picturePath();
        const bool saved =
            savePicture(path, picture, clock_, boxes_, failure_, pngWriter_, writtenDiffers_);
        writtenDiffers_ = saved ? RowBands() : RowBands::all();
        if (!saved)
            return last_;
        if (settings.Force256 > 0 || settings.ForceDownscale > 0) {
            ConversionRequest request;
            request.downscale = settings.ForceDownscale > 0;
            request.to256Colours = settings.Force256 > 0;
            request.pictureWidth = pictureWidth;
            request.pictureHeight = pictureHeight;
            convertPicture(images_, path, request);
        }
        png = readSharedFile(path);
        if (sameFormat && png && !png->empty() && shown_->png && *png == *shown_->png) {
            // A change the reductions took away again: the server has these very bytes.
            number = shown_->number;
            png = shown_->png;
        } else {
            number = ++lastNumber_ == 0 ? ++lastNumber_ : lastNumber_;
            newest_ = KeptPicture{number, format, std::move(picture), png, RowBands()};
        }
    }

    // Read only now, after the file is complete, so the marker is as fresh as the upload allows.
    std::int32_t markerX = 0;
    std::int32_t markerY = 0;
    pointerAtCapture_.reset();
    if (settings.RemoteMousePointer > 0) {
        if (const auto pointer = pointerAtCapture_ = screen_.pointerPosition()) {
            markerX = scaled(std::int64_t{pointer->x} - rect.x, factor) - kMarkerOffsetX;
            markerY = scaled(std::int64_t{pointer->y} - rect.y, factor) - kMarkerOffsetY;
        }
    }

    last_ = {pictureWidth, pictureHeight, markerX, markerY, number, std::move(png)};
    return last_;
}

} // namespace velmora
