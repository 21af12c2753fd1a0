#pragma once
// Writing the captured picture as the picture file, with its retries: three attempts 5000 ms
// apart, then a fatal message and the final cleanup.

#include "core/clock.h"
#include "core/message_boxes.h"
#include "png/png_writer.h"
#include "png/rgb_picture.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

// What the capture does when it cannot give a picture: it stops the presentation (a screen that
// cannot be read, or a picture that cannot be saved), and after a picture that cannot be saved it
// ends the program.
struct CaptureFailureActions {
    std::function<void()> stopPresentation; // may be empty
    std::function<void()> finalCleanup;     // in the program it does not return
};

constexpr int kSaveAttempts = 3;
constexpr int kSaveRetryPauseMs = 5000;

// The picture's PNG bytes, once the file at path holds them too: the upload takes the bytes, the
// preview and the image library the file. After the third failed attempt it stops the
// presentation, shows the system-modal "Fehler" box and runs the final cleanup; it returns null
// only if that cleanup comes back. changedRows: as PngWriter::encode takes them.
std::shared_ptr<const std::string> savePicture(const std::string& path, const RgbPicture& picture,
                                               Clock& clock, MessageBoxes& boxes,
                                               const CaptureFailureActions& failure,
                                               PngWriter& writer,
                                               const RowBands& changedRows = RowBands::all());

} // namespace velmora
