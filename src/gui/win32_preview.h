#pragma once
// The preview of the settings window on Win32: one picture taken exactly as the presentation
// would take it, shown as the spectators will see it.

#include "app/front_end.h"
#include "gui/win32_preview_window.h"
#include "screen/screen_source.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

class Win32Preview {
public:
    // tempFolder ends with "\"; settle: a wait of so many milliseconds that keeps the windows
    // painting.
    Win32Preview(std::string tempFolder, ScreenBounds screen, PreviewServices services,
                 std::function<void(int)> settle);
    ~Win32Preview();
    Win32Preview(const Win32Preview&) = delete;
    Win32Preview& operator=(const Win32Preview&) = delete;

    // From the settings window's preview button once its fields have been applied: waits for a
    // running upload, hides the owner, lets the screen settle 500 ms, captures, brings the owner
    // back active, writes the preview files and opens the preview window centred over the
    // owner, replacing one still open. No window and no message when no picture came out.
    void show(Win32Window& owner);
    void close();

private:
    std::string tempFolder_;
    ScreenBounds screen_;
    PreviewServices services_;
    std::function<void(int)> settle_;
    std::unique_ptr<Win32PreviewWindow> window_;
};

} // namespace velmora
