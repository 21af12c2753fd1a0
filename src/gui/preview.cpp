#include "gui/preview.h"

#include "app/program_windows.h"
#include "capture/preview_layout.h"
#include "capture/preview_page.h"
#include "core/working_file_names.h"
#include "gui/settle_wait.h"

#include <QWidget>
#include <QWindow>

namespace velmora {

Preview::Preview(std::string tempFolder, ScreenBounds screen, PreviewServices services)
    : tempFolder_(std::move(tempFolder)), screen_(screen), services_(std::move(services))
{
}

Preview::~Preview() = default;

PreviewWindow* Preview::window() const
{
    return window_ && window_->isVisible() ? window_.get() : nullptr;
}

void Preview::close()
{
    window_.reset();
}

void Preview::show(QWidget& owner)
{
    // The presentation's own capture takes the preview's picture: no cycle may be under way.
    if (services_.waitForUpload)
        services_.waitForUpload();

    owner.hide();
    waitWhileRepainting(previewWindowDescription().settleMilliseconds);
    const CaptureResult picture = services_.capture();
    owner.show();
    owner.raise();
    owner.activateWindow();

    if (!preparePreviewFiles(tempFolder_, files::kPicture))
        return;

    const PreviewSize client =
        previewClientSize(picture.pictureWidth, picture.pictureHeight, screen_);
    // The old window goes before the new one comes: there is never more than one.
    window_.reset();
    window_ = std::make_unique<PreviewWindow>(tempFolder_ + files::kPreviewPage, client);
    window_->onCloseBox(services_.closedByCloseBox);

    // Owned by the settings window, as the window system sees it: kept above it, and above
    // everything when the settings window is. Not a Qt child, so that this object alone decides
    // when the window goes.
    window_->setWindowFlag(Qt::WindowStaysOnTopHint,
                           owner.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    window_->winId();
    if (QWindow* handle = window_->windowHandle())
        handle->setTransientParent(owner.windowHandle());

    // Centred by its outer frame, as every window is; until the window manager frames it, the
    // owner's frame stands in for its own.
    const QRect ownerFrame = owner.frameGeometry();
    const QSize frame = ownerFrame.size() - owner.geometry().size();
    const PreviewPlace place =
        previewPlace(ownerFrame.x(), ownerFrame.y(), ownerFrame.width(), ownerFrame.height(),
                     {client.width + frame.width(), client.height + frame.height()});
    window_->move(place.x, place.y);
    window_->show();
    window_->fitBrowser();
}

} // namespace velmora
