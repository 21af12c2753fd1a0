#pragma once
// One picture of the presenter's screen: the capture rectangle from the Region string, the screen
// copy, the caption line, the picture file "Velmora.png" in the Temp folder (reduced when the
// settings ask for it) and, once the file is complete, the pointer marker position.

#include "capture/caption_renderer.h"
#include "capture/image_library.h"
#include "capture/picture_saver.h"
#include "capture/png_writer.h"
#include "core/working_file_names.h"
#include "settings/settings_record.h"
#include "core/clock.h"
#include "core/message_boxes.h"
#include "capture/screen_source.h"

#include <cstdint>
#include <string>

namespace velmora {

struct CaptureResult {
    std::int32_t pictureWidth = 0; // of the stored picture, after the scale factor
    std::int32_t pictureHeight = 0;
    std::int32_t markerX = 0; // pointer marker in picture pixels; may lie outside the picture
    std::int32_t markerY = 0;
};

class DesktopCapture {
public:
    // tempFolder ends with "/". The image library must stay alive (it may be unloaded) as long
    // as this object captures.
    DesktopCapture(ScreenSource& screen, std::string tempFolder, ImageLibrary& images,
                   MessageBoxes& boxes, Clock& clock, FatalExit fatal,
                   CaptionRenderer& caption = captionRenderer());

    // GUI thread. Replaces the picture file and returns the new result, which the caller hands
    // to the upload. When the file cannot be written it ends the program through the fatal exit
    // (and, should that return, gives the previous result back unchanged).
    CaptureResult capture(const SettingsRecord& settings);

    // GUI thread: the result of the last capture (all 0 before the first), for Clear.
    CaptureResult lastResult() const { return last_; }

    std::string picturePath() const { return tempFolder_ + files::kPicture; }

private:
    ScreenSource& screen_;
    std::string tempFolder_;
    ImageLibrary& images_;
    MessageBoxes& boxes_;
    Clock& clock_;
    FatalExit fatal_;
    CaptionRenderer& caption_;
    // Keeps the last picture, so that a capture compresses only what changed on the screen.
    PngWriter pngWriter_;
    CaptureResult last_;
};

} // namespace velmora
