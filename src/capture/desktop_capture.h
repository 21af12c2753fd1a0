#pragma once
// One picture of the presenter's screen: the capture rectangle from the Region string, the screen
// copy, the caption line, the picture file "Velmora.png" in the Temp folder (reduced when the
// settings ask for it) and, once the file is complete, the pointer marker position. The picture
// goes to the upload as its PNG bytes in the result, never read back from the file; the file
// stays the capture's own, for the preview and the image library.

#include "capture/caption_renderer.h"
#include "capture/image_library.h"
#include "capture/own_windows.h"
#include "capture/picture_saver.h"
#include "capture/screen_reader.h"
#include "core/clock.h"
#include "core/message_boxes.h"
#include "core/working_file_names.h"
#include "png/png_writer.h"
#include "png/rgb_picture.h"
#include "png/row_bands.h"
#include "screen/screen_source.h"
#include "settings/settings_record.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

struct CaptureResult {
    std::int32_t pictureWidth = 0; // of the stored picture, after the scale factor
    std::int32_t pictureHeight = 0;
    std::int32_t markerX = 0; // pointer marker in picture pixels; may lie outside the picture
    std::int32_t markerY = 0;
    // Which picture the result names, in this capture's own numbering (never 0 once a picture
    // was written). A capture that shows nothing new gives the number of the picture the
    // spectators already have, and leaves the file alone.
    std::uint32_t picture = 0;
    // The PNG bytes of that picture as written, reductions included: shared, never changed, what
    // the upload sends. Null when a reduction lost the picture.
    std::shared_ptr<const std::string> png;
};

// Screen reads that may fail in a row (a mode change, a screen being reconfigured) before the
// presentation stops: at the pacing's half-second ticks, about two seconds.
constexpr int kFailedReadsBeforeStop = 5;

class DesktopCapture {
public:
    // tempFolder ends with "/". The image library must stay alive (it may be unloaded) as long
    // as this object captures.
    DesktopCapture(ScreenSource& screen, std::string tempFolder, ImageLibrary& images,
                   MessageBoxes& boxes, Clock& clock, CaptureFailureActions failure,
                   CaptionRenderer& caption);

    // The program's own windows, left out when a capture is compared with the picture on the
    // server. Without them every pixel counts.
    void setOwnWindows(const OwnWindows* windows) { ownWindows_ = windows; }

    // GUI thread. Returns the new result, which the caller hands to the upload. onServer names
    // the picture the spectators have, as the record of what they have says (a number from an
    // earlier result; 0: unknown). When this capture shows nothing new beside it (outside the
    // own windows, or byte for byte once written), the result names that picture again, with its
    // bytes; otherwise the picture file is replaced and the result names the new picture. When
    // the file cannot be written it ends the program through the failure actions (and, should
    // that return, gives the previous result back). When the screen cannot be read it gives the
    // previous result back (naming no picture before the first), and after
    // kFailedReadsBeforeStop failed reads in a row it stops the presentation with a message.
    // changedScreenRows: the screen rows that may have changed since the last capture read the
    // screen, as its reports tell (addChangedRows), or every row when that is not known; this
    // capture then reads, compares and compresses anew only those rows where it can.
    CaptureResult capture(const SettingsRecord& settings, std::uint32_t onServer = 0,
                          const RowBands& changedScreenRows = RowBands::all());

    // GUI thread: whether the screen's reports can show in a capture for these settings (see
    // changesReachCapture), the own windows left out.
    bool mayShowNews(const SettingsRecord& settings, const ScreenChanges& changes);

    // GUI thread: the result of the last capture (all 0 before the first), for Clear.
    CaptureResult lastResult() const { return last_; }

    std::string picturePath() const { return tempFolder_ + files::kPicture; }

private:
    // What decides the bytes of the picture file besides the pixels.
    struct PictureFormat {
        int x = 0, y = 0, width = 0, height = 0;
        bool downscale = false;
        bool to256Colours = false;
        bool operator==(const PictureFormat&) const = default;
    };
    struct KeptPicture {
        std::uint32_t number = 0;
        PictureFormat format;
        RgbPicture pixels{0, 0};
        std::shared_ptr<const std::string> png; // the picture file as written
        // Where its pixels may differ from the picture of the last screen read.
        RowBands differs = RowBands::all();
    };

    // The picture a capture hands over: its number and bytes.
    struct NamedPicture {
        std::uint32_t number = 0;
        std::shared_ptr<const std::string> png;
    };
    struct ScaledSize {
        std::int32_t width = 0;
        std::int32_t height = 0;
    };

    // The steps of a capture, in their order.
    // True when the screen gives no pictures at all; the presenter has been told why.
    bool screenUnreadable();
    // The picture rows that may differ from the last read's picture; empty when the screen could
    // not be read.
    std::optional<RowBands> readScreen(const CaptureRectangle& rect, const ScreenBounds& bounds,
                                       const RowBands& changedScreenRows);
    // This capture's picture with its caption line; changed grows by the caption's rows.
    RgbPicture compose(const CaptureRectangle& rect, std::uint32_t onServer, RowBands& changed);
    // Keeps only the picture the spectators have, and gives the memory of the others.
    RgbPicture keepOnlyShown(std::uint32_t onServer);
    // The spectators' picture again when this one shows nothing new beside it; else this one,
    // saved as the picture file and reduced. Empty when it could not be saved.
    std::optional<NamedPicture> encode(RgbPicture picture, const PictureFormat& format,
                                       const CaptureRectangle& rect, ScaledSize size);
    // The bytes of the picture file after the image library's reductions.
    std::shared_ptr<const std::string> reduce(const PictureFormat& format, ScaledSize size,
                                              std::shared_ptr<const std::string> png);
    std::vector<ScreenRectangle> ownWindowsIn(const CaptureRectangle& rect) const;
    // Marker X and Y for the pointer now.
    std::pair<std::int32_t, std::int32_t> markerAt(const SettingsRecord& settings,
                                                   const CaptureRectangle& rect, double factor);
    void stopWith(const std::string& message);

    ScreenSource& screen_;
    std::string tempFolder_;
    ImageLibrary& images_;
    MessageBoxes& boxes_;
    Clock& clock_;
    CaptureFailureActions failure_;
    CaptionRenderer& caption_;
    ScreenReader reader_;
    std::int64_t lastWholeRead_ = 0; // steady seconds
    // Keeps the last picture, so that a capture compresses only what changed on the screen.
    PngWriter pngWriter_;
    // Where the picture last given to the writer may differ from that of the last screen read.
    RowBands writtenDiffers_ = RowBands::all();
    CaptureResult last_;
    const OwnWindows* ownWindows_ = nullptr;
    // Pictures this capture made, kept only to compare new captures with: the one the
    // spectators have (which one that is, is the record's word: onServer) and the newest, which
    // may be on its way up.
    std::optional<KeptPicture> shown_;
    std::optional<KeptPicture> newest_;
    std::uint32_t lastNumber_ = 0;
    int failedReads_ = 0;                             // screen reads that failed in a row
    std::optional<PointerPosition> pointerAtCapture_; // where the last marker came from
};

} // namespace velmora
