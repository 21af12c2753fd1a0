#include "gui/win32_preview.h"

#include "app/program_windows.h"
#include "capture/preview_layout.h"
#include "capture/preview_page.h"
#include "core/working_file_names.h"

namespace velmora {

Win32Preview::Win32Preview(std::string tempFolder, ScreenBounds screen, PreviewServices services,
                           std::function<void(int)> settle)
    : tempFolder_(std::move(tempFolder)), screen_(screen), services_(std::move(services)),
      settle_(std::move(settle))
{
}

Win32Preview::~Win32Preview() = default;

void Win32Preview::close()
{
    window_.reset();
}

void Win32Preview::show(Win32Window& owner)
{
    // The presentation's own capture takes the preview's picture: no cycle may be under way.
    if (services_.waitForUpload)
        services_.waitForUpload();

    owner.hide();
    if (settle_)
        settle_(previewWindowDescription().settleMilliseconds);
    const CaptureResult picture = services_.capture();
    owner.showActive();

    if (!preparePreviewFiles(tempFolder_, files::kPicture))
        return;

    const PreviewSize client =
        previewClientSize(picture.pictureWidth, picture.pictureHeight, screen_);
    // The old window goes before the new one comes: there is never more than one.
    window_.reset();
    const bool topmost = (GetWindowLongW(owner.handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    window_ = std::make_unique<Win32PreviewWindow>(owner.handle(), topmost,
                                                   tempFolder_ + files::kPreviewPicture, client);
    if (window_->handle() == nullptr)
        return;
    window_->onCloseBox(services_.closedByCloseBox);

    RECT ownerFrame{};
    RECT frame{};
    GetWindowRect(owner.handle(), &ownerFrame);
    GetWindowRect(window_->handle(), &frame);
    const PreviewPlace place = previewPlace(
        ownerFrame.left, ownerFrame.top, ownerFrame.right - ownerFrame.left,
        ownerFrame.bottom - ownerFrame.top, {frame.right - frame.left, frame.bottom - frame.top});
    SetWindowPos(window_->handle(), nullptr, place.x, place.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    window_->showActive();
    window_->fitPicture();
}

} // namespace velmora
