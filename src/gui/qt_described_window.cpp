#include "gui/qt_described_window.h"

#include "capture/preview_layout.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QWindow>

namespace velmora {
namespace {

constexpr double kPickerOpacity = 180.0 / 255.0;
const QColor kPickerBackground(255, 245, 220);

} // namespace

QtDescribedWindow::QtDescribedWindow(const WindowDescription& description, WindowEvents events,
                                     QWidget* owner, const QFont& titleFont, WindowPlace place,
                                     QSize client)
    : description_(description), events_(std::move(events)), owner_(owner)
{
    // A see-through window is a tool window: no taskbar button.
    describeWindow(*this, description, description.translucent ? Qt::Tool : Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (description.translucent) {
        setWindowOpacity(kPickerOpacity);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, kPickerBackground);
        setPalette(palette);
        setAutoFillBackground(true);
    }
    const WindowActionHandler act = [this](WindowAction action) { this->act(action); };
    if (!description.menus.empty()) {
        menuBar()->setNativeMenuBar(false);
        addMenus(*menuBar(), description.menus, act);
    }
    setCentralWidget(&area_);
    gadgets_ = std::make_unique<QtGadgets>(area_, description.gadgets, titleFont, act);
    if (client.width() > 0)
        resize(client);
    fitPicture();
    if (owner != nullptr) {
        winId();
        if (QWindow* handle = windowHandle())
            handle->setTransientParent(owner->windowHandle());
    }
    if (description.placement == Placement::CentredOnScreen)
        centreOnScreen(*this, owner);
    else
        move(place.x, place.y);
}

QtDescribedWindow::~QtDescribedWindow()
{
    events_ = {};
    gadgets_.reset();
    // The area is a member; keep the main window from deleting it a second time.
    takeCentralWidget();
}

void QtDescribedWindow::setText(int gadget, const std::string& text)
{
    gadgets_->setText(gadget, text);
}

void QtDescribedWindow::show()
{
    QWidget::show();
    raise();
    activateWindow();
}

QSize QtDescribedWindow::frameMargins() const
{
    QSize margins = frameGeometry().size() - geometry().size();
    // Until the window manager has framed it, the owner's frame stands in for its own.
    if (margins.isNull() && owner_)
        margins = owner_->frameGeometry().size() - owner_->geometry().size();
    return margins;
}

OuterRect QtDescribedWindow::frame() const
{
    const QPoint at = frameGeometry().topLeft();
    const QSize outer = size() + frameMargins();
    return {at.x(), at.y(), at.x() + outer.width(), at.y() + outer.height()};
}

void QtDescribedWindow::setFrame(const OuterRect& frame)
{
    // Targets, not steps: the client area keeps the border and title bar it has now.
    const QSize margins = frameMargins();
    const OuterRect now = this->frame();
    if (frame.left != now.left || frame.top != now.top)
        move(frame.left, frame.top);
    if (frame.width() != now.width() || frame.height() != now.height())
        resize(frame.width() - margins.width(), frame.height() - margins.height());
}

void QtDescribedWindow::act(WindowAction action)
{
    if (events_.action)
        events_.action(action);
}

void QtDescribedWindow::closeEvent(QCloseEvent* event)
{
    // The wiring decides what the close box does; the window stays until it is hidden.
    event->ignore();
    act(description_.closeBox);
}

void QtDescribedWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (events_.moved)
        events_.moved();
}

void QtDescribedWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    fitPicture();
    if (events_.moved)
        events_.moved();
}

void QtDescribedWindow::fitPicture()
{
    // The preview's picture fills the client area but for its status bar at the bottom.
    for (const GadgetDescription& g : description_.gadgets) {
        const PreviewSize picture = previewBrowserSize({width(), height()});
        if (g.kind == GadgetKind::PictureView)
            gadgets_->at(g.id).setGeometry(0, 0, picture.width, picture.height);
        else if (g.kind == GadgetKind::StatusBar)
            gadgets_->at(g.id).setGeometry(0, picture.height, width(), height() - picture.height);
    }
}

} // namespace velmora
