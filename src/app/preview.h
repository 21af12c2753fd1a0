#pragma once
// The preview of the settings window: one picture taken exactly as the presentation would take
// it, shown as the spectators will see it, in "Desktop Vorschau".

#include "app/front_end.h"
#include "capture/desktop_capture.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

// The preview's work besides its window: what it waits for and what it shows.
struct PreviewServices {
    // Returns once no Upload thread is under way any more (the windows keep painting and show
    // the Upload thread's message boxes meanwhile).
    std::function<void()> waitForUpload;
    // Writes the picture file into the Temp folder with the current settings (region and
    // reductions) and gives its result: CaptureDesktopPicture.
    std::function<CaptureResult()> capture;
    // The presenter closed the preview window with its close box: the presentation is stopped,
    // as for every secondary window.
    std::function<void()> closedByCloseBox;
};

class Preview {
public:
    // tempFolder ends with "/"; screen: the Screen bounds measured at start-up.
    Preview(FrontEnd& frontEnd, std::string tempFolder, ScreenBounds screen,
            PreviewServices services)
        : frontEnd_(frontEnd), tempFolder_(std::move(tempFolder)), screen_(screen),
          services_(std::move(services))
    {
    }

    // GUI thread, from the settings window's preview button once its fields have been applied.
    // Waits for a running upload, hides the owner (the settings window), lets the screen settle,
    // captures, brings the owner back active, writes the preview page, renames the picture and
    // opens the preview window centred over the owner, replacing one still open. No window and
    // no message when the capture left no picture.
    void show(DescribedWindow& owner);
    // Closes the preview window, if any (for example when the settings window goes).
    void close() { window_.reset(); }
    // The preview window while one is shown, else nullptr.
    DescribedWindow* window() const
    {
        return window_ && window_->shown() ? window_.get() : nullptr;
    }

private:
    FrontEnd& frontEnd_;
    std::string tempFolder_;
    ScreenBounds screen_;
    PreviewServices services_;
    std::unique_ptr<DescribedWindow> window_;
};

} // namespace velmora
