#pragma once
// The preview of the settings window: one picture taken exactly as the presentation would take
// it, shown as the spectators will see it.

#include "app/front_end.h"
#include "capture/desktop_capture.h"
#include "gui/preview_window.h"
#include "screen/screen_source.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace velmora {

class Preview {
public:
    // tempFolder ends with "/"; screen: the Screen bounds measured at start-up.
    Preview(std::string tempFolder, ScreenBounds screen, PreviewServices services);
    ~Preview();
    Preview(const Preview&) = delete;
    Preview& operator=(const Preview&) = delete;

    // GUI thread, from the settings window's preview button once its fields have been applied.
    // Waits for a running upload, hides the owner (the settings window), lets the screen settle
    // 500 ms, captures, brings the owner back active, writes the preview page, renames the
    // picture and opens the preview window centred over the owner, replacing one still open.
    // No window and no message when the capture left no picture.
    void show(QWidget& owner);
    // Closes the preview window, if any (for example when the settings window goes).
    void close();

    // The preview window while one is open (for tests), else nullptr.
    PreviewWindow* window() const;

private:
    std::string tempFolder_;
    ScreenBounds screen_;
    PreviewServices services_;
    std::unique_ptr<PreviewWindow> window_;
};

} // namespace velmora
