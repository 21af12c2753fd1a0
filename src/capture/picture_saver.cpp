#include "capture/picture_saver.h"
#include "core/message_titles.h"

#include <optional>
#include <utility>

namespace velmora {

std::shared_ptr<const std::string> savePicture(const std::string& path, const RgbPicture& picture,
                                               Clock& clock, MessageBoxes& boxes,
                                               const CaptureFailureActions& failure,
                                               PngWriter& writer, const RowBands& changedRows)
{
    std::optional<std::string> png;
    for (int attempt = 1; attempt <= kSaveAttempts; ++attempt) {
        if (attempt > 1)
            clock.sleepMs(kSaveRetryPauseMs);
        // Compressed once: a retry writes the same bytes again.
        if (!png)
            png = writer.encode(picture, kCaptureWriteOptions, changedRows);
        if (png && writePngBytes(path, *png))
            return std::make_shared<const std::string>(std::move(*png));
    }
    if (failure.stopPresentation)
        failure.stopPresentation();
    boxes.show(titles::kError, "Die Abbildung des Desktops kann nicht gespeichert werden.",
               BoxButtons::Ok, BoxModality::SystemModal);
    if (failure.finalCleanup)
        failure.finalCleanup();
    return nullptr;
}

} // namespace velmora
