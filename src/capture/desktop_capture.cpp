#include "capture/desktop_capture.h"

#include "capture/picture_conversion.h"
#include "capture/region_string.h"

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

constexpr double kDownscaleFactor = 0.75;
constexpr int kMarkerOffsetX = 4; // the marker's tip is drawn this far right of its corner
constexpr int kMarkerOffsetY = 9;

std::int32_t scaled(std::int64_t value, double factor)
{
    return static_cast<std::int32_t>(std::trunc(static_cast<double>(value) * factor));
}

} // namespace

DesktopCapture::DesktopCapture(ScreenSource& screen, std::string tempFolder, ImageLibrary& images,
                               MessageBoxes& boxes, Clock& clock, FatalExit fatal,
                               CaptionRenderer& caption)
    : screen_(screen), tempFolder_(std::move(tempFolder)), images_(images), boxes_(boxes),
      clock_(clock), fatal_(std::move(fatal)), caption_(caption)
{
}

CaptureResult DesktopCapture::capture(const SettingsRecord& settings)
{
    const ScreenBounds bounds = screen_.bounds();
    const CaptureRectangle rect =
        captureRectangle(settings.ScreenRegion, bounds.right, bounds.bottom);

    // A region that names no pixels (right left of left, or an origin beyond the screen) gives a
    // 1 x 1 picture with nothing of the screen in it: the presentation goes on, and the
    // spectators see less of the screen rather than more of it than the presenter chose.
    const bool namesPixels = rect.namesPixels();
    RgbPicture picture(namesPixels ? rect.width : 1, namesPixels ? rect.height : 1);
    if (namesPixels)
        screen_.copyRgb(rect.x, rect.y, rect.width, rect.height, picture.data(), picture.stride());
    // The caption's second part, after the colon, has no source in this program: it stays empty.
    caption_.draw(picture, " Remote Desktop:  ");

    const double factor = settings.ForceDownscale > 0 ? kDownscaleFactor : 1.0;
    // At least one pixel each way: the library cannot rescale to an empty picture, and a
    // one-pixel-wide region is a region all the same.
    const std::int32_t pictureWidth = std::max(1, scaled(picture.width(), factor));
    const std::int32_t pictureHeight = std::max(1, scaled(picture.height(), factor));

    const std::string path = picturePath();
    if (!savePicture(path, picture, clock_, boxes_, fatal_, pngWriter_))
        return last_;
    if (settings.Force256 > 0 || settings.ForceDownscale > 0) {
        ConversionRequest request;
        request.downscale = settings.ForceDownscale > 0;
        request.to256Colours = settings.Force256 > 0;
        request.pictureWidth = pictureWidth;
        request.pictureHeight = pictureHeight;
        convertPicture(images_, path, request);
    }

    // Read only now, after the file is complete, so the marker is as fresh as the upload allows.
    std::int32_t markerX = 0;
    std::int32_t markerY = 0;
    if (settings.RemoteMousePointer > 0) {
        if (const auto pointer = screen_.pointerPosition()) {
            markerX = scaled(std::int64_t{pointer->x} - rect.x, factor) - kMarkerOffsetX;
            markerY = scaled(std::int64_t{pointer->y} - rect.y, factor) - kMarkerOffsetY;
        }
    }

    last_ = {pictureWidth, pictureHeight, markerX, markerY};
    return last_;
}

} // namespace velmora
