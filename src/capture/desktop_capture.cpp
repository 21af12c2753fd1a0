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
    if (screenUnreadable())
        return last_;
    const ScreenBounds bounds = screen_.bounds();
    const CaptureRectangle rect =
        captureRectangle(settings.ScreenRegion, bounds.right, bounds.bottom);
    std::optional<RowBands> changed = readScreen(rect, bounds, changedScreenRows);
    if (!changed)
        return last_;
    RgbPicture picture = compose(rect, onServer, *changed);

    const double factor = settings.ForceDownscale > 0 ? kDownscaleFactor : 1.0;
    // At least one pixel each way: the library cannot rescale to an empty picture, and a
    // one-pixel-wide region is a region all the same.
    const ScaledSize size{std::max(1, scaled(picture.width(), factor)),
                          std::max(1, scaled(picture.height(), factor))};
    const PictureFormat format{rect.x,
                               rect.y,
                               rect.width,
                               rect.height,
                               settings.ForceDownscale > 0,
                               settings.Force256 > 0};
    std::optional<NamedPicture> named = encode(std::move(picture), format, rect, size);
    if (!named)
        return last_;

    // Read only now, after the file is complete, so the marker is as fresh as the upload allows.
    const auto [markerX, markerY] = markerAt(settings, rect, factor);
    last_ = {size.width, size.height, markerX, markerY, named->number, std::move(named->png)};
    return last_;
}

bool DesktopCapture::screenUnreadable()
{
    // A screen that can only give black pictures (Wayland shares it with nobody) stops the
    // presentation with the reason; no picture is written, so nothing black can go up.
    const std::string unreadable = screen_.unreadableReason();
    if (unreadable.empty())
        return false;
    reader_.forget();
    stopWith(unreadable);
    return true;
}

void DesktopCapture::stopWith(const std::string& message)
{
    if (failure_.stopPresentation)
        failure_.stopPresentation();
    boxes_.show(titles::kError, message);
}

std::optional<RowBands> DesktopCapture::readScreen(const CaptureRectangle& rect,
                                                   const ScreenBounds& bounds,
                                                   const RowBands& changedScreenRows)
{
    // A region that names no pixels (right left of left, or an origin beyond the screen) gives a
    // 1 x 1 picture with nothing of the screen in it: the presentation goes on, and the
    // spectators see less of the screen rather than more of it than the presenter chose.
    if (!rect.namesPixels()) {
        reader_.forget();
        failedReads_ = 0;
        return RowBands::all();
    }
    const std::int64_t now = clock_.steadySeconds();
    const bool wholeDue = now - lastWholeRead_ >= kSecondsBetweenWholeReads;
    std::optional<RowBands> read =
        reader_.read(rect, bounds, wholeDue ? RowBands::all() : changedScreenRows);
    // A read that failed would give a black or partly black picture: the spectators keep the
    // last real one instead, and a screen that stays unreadable stops the presentation.
    if (!read) {
        if (++failedReads_ >= kFailedReadsBeforeStop) {
            failedReads_ = 0;
            stopWith(messages::kScreenNotRead);
        }
        return std::nullopt;
    }
    if (read->everything())
        lastWholeRead_ = now;
    failedReads_ = 0;
    return read;
}

RgbPicture DesktopCapture::compose(const CaptureRectangle& rect, std::uint32_t onServer,
                                   RowBands& changed)
{
    RgbPicture picture = keepOnlyShown(onServer);
    if (rect.namesPixels())
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
    return picture;
}

RgbPicture DesktopCapture::keepOnlyShown(std::uint32_t onServer)
{
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
    RgbPicture lent(1, 1);
    for (std::optional<KeptPicture>* dropped : {&newest_, &shown_}) {
        if (*dropped)
            lent = std::move((*dropped)->pixels);
        dropped->reset();
    }
    shown_ = std::move(shown);
    return lent;
}

std::optional<DesktopCapture::NamedPicture> DesktopCapture::encode(RgbPicture picture,
                                                                   const PictureFormat& format,
                                                                   const CaptureRectangle& rect,
                                                                   ScaledSize size)
{
    const bool sameFormat = shown_ && shown_->format == format;
    if (sameFormat && !differsOutside(shown_->pixels, picture, ownWindowsIn(rect), shown_->differs))
        return NamedPicture{shown_->number, shown_->png};

    std::shared_ptr<const std::string> png =
        savePicture(picturePath(), picture, clock_, boxes_, failure_, pngWriter_, writtenDiffers_);
    writtenDiffers_ = png ? RowBands() : RowBands::all();
    if (!png)
        return std::nullopt;
    if (format.downscale || format.to256Colours)
        png = reduce(format, size, std::move(png));
    if (sameFormat && png && !png->empty() && shown_->png && *png == *shown_->png) {
        // A change the reductions took away again: the server has these very bytes.
        return NamedPicture{shown_->number, shown_->png};
    }
    const std::uint32_t number = ++lastNumber_ == 0 ? ++lastNumber_ : lastNumber_;
    newest_ = KeptPicture{number, format, std::move(picture), png, RowBands()};
    return NamedPicture{number, std::move(png)};
}

std::shared_ptr<const std::string> DesktopCapture::reduce(const PictureFormat& format,
                                                          ScaledSize size,
                                                          std::shared_ptr<const std::string> png)
{
    const ConversionRequest request{format.downscale, format.to256Colours, size.width, size.height};
    // The image library works on files only: what it wrote is read back, the one read of the
    // picture file a capture makes. A file it could not read it left as it was.
    if (!convertPicture(images_, picturePath(), request))
        return png;
    return readSharedFile(picturePath());
}

std::vector<ScreenRectangle> DesktopCapture::ownWindowsIn(const CaptureRectangle& rect) const
{
    // The Status line changes with every upload: inside the own windows nothing is news, or a
    // still screen would never go quiet.
    if (!ownWindows_ || !rect.namesPixels())
        return {};
    return rectanglesInCapture(ownWindows_->onScreen(), rect.x, rect.y, rect.width, rect.height);
}

std::pair<std::int32_t, std::int32_t> DesktopCapture::markerAt(const SettingsRecord& settings,
                                                               const CaptureRectangle& rect,
                                                               double factor)
{
    pointerAtCapture_.reset();
    if (settings.RemoteMousePointer <= 0)
        return {0, 0};
    const auto pointer = pointerAtCapture_ = screen_.pointerPosition();
    if (!pointer)
        return {0, 0};
    return {scaled(std::int64_t{pointer->x} - rect.x, factor) - kMarkerOffsetX,
            scaled(std::int64_t{pointer->y} - rect.y, factor) - kMarkerOffsetY};
}

} // namespace velmora
