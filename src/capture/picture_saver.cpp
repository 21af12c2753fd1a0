#include "capture/picture_saver.h"
#include "core/message_titles.h"

namespace velmora {

bool savePicture(const std::string& path, const RgbPicture& picture, Clock& clock,
                 MessageBoxes& boxes, const CaptureFailureActions& failure, PngWriter& writer)
{
    for (int attempt = 1; attempt <= kSaveAttempts; ++attempt) {
        if (attempt > 1)
            clock.sleepMs(kSaveRetryPauseMs);
        if (writer.write(path, picture, kCaptureWriteOptions))
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
