#include "capture/picture_saver.h"
#include "core/message_titles.h"

namespace velmora {

bool savePicture(const std::string& path, const RgbPicture& picture, Clock& clock,
                 MessageBoxes& boxes, const CaptureFailureActions& failure, PngWriter& writer,
                 const RowBands& changedRows)
{
    for (int attempt = 1; attempt <= kSaveAttempts; ++attempt) {
        if (attempt > 1)
            clock.sleepMs(kSaveRetryPauseMs);
        // Rows equal to the previous picture are equal to this one: they hold after a failure.
        if (writer.write(path, picture, kCaptureWriteOptions, changedRows))
            return true;
    }
    if (failure.stopPresentation)
        failure.stopPresentation();
    boxes.show(titles::kError, "Die Abbildung des Desktops kann nicht gespeichert werden.",
               BoxButtons::Ok, BoxModality::SystemModal);
    if (failure.finalCleanup)
        failure.finalCleanup();
    return false;
}

} // namespace velmora
