#pragma once
// "Desktop Vorschau" on Win32: the previewed picture as a spectator's browser shows it, above a
// status bar that says what the presenter is looking at.

#include "capture/preview_layout.h"
#include "gui/win32_picture_view.h"
#include "gui/win32_window.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

class Win32PreviewWindow final : public Win32Window {
public:
    // picturePath: the preview picture; clientSize from previewClientSize. Created hidden,
    // owned by owner.
    Win32PreviewWindow(HWND owner, bool topmost, const std::string& picturePath,
                       const PreviewSize& clientSize);
    ~Win32PreviewWindow() override;

    // Runs when the presenter closes the window with its close box.
    void onCloseBox(std::function<void()> closed) { closed_ = std::move(closed); }
    // The picture fills the client area but for the status bar's 23 pixels at the bottom.
    void fitPicture();

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND statusBar_ = nullptr;
    std::unique_ptr<Win32PictureView> view_;
    std::function<void()> closed_;
};

} // namespace velmora
