#include "app/preview.h"

#include "app/program_windows.h"
#include "capture/preview_layout.h"
#include "capture/preview_page.h"
#include "core/working_file_names.h"

namespace velmora {

void Preview::show(DescribedWindow& owner)
{
    // The presentation's own capture takes the preview's picture: no cycle may be under way.
    if (services_.waitForUpload)
        services_.waitForUpload();

    const WindowDescription& description = previewWindowDescription();
    owner.hide();
    frontEnd_.waitWhileRepainting(description.settleMilliseconds);
    const CaptureResult picture = services_.capture();
    owner.show();

    if (!preparePreviewFiles(tempFolder_, files::kPicture))
        return;

    const PreviewSize client =
        previewClientSize(picture.pictureWidth, picture.pictureHeight, screen_);
    // The old window goes before the new one comes: there is never more than one.
    window_.reset();
    WindowEvents events;
    events.action = [this](WindowAction action) {
        if (action != WindowAction::CloseBox)
            return;
        window_->hide(); // it goes at the next preview or with the settings window
        if (services_.closedByCloseBox)
            services_.closedByCloseBox();
    };
    window_ = frontEnd_.openWindow(description, std::move(events), &owner, {}, client.width,
                                   client.height);
    window_->setText(kPreviewPictureGadget, tempFolder_ + files::kPreviewPage);

    // Centred over the owner by the outer frames of both.
    const OuterRect ownerFrame = owner.frame();
    const OuterRect frame = window_->frame();
    const PreviewPlace place = previewPlace(ownerFrame.left, ownerFrame.top, ownerFrame.width(),
                                            ownerFrame.height(), {frame.width(), frame.height()});
    window_->setFrame({place.x, place.y, place.x + frame.width(), place.y + frame.height()});
    window_->show();
}

} // namespace velmora
