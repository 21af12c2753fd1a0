#include "gui/region_picker.h"

#include "app/program_windows.h"
#include "capture/picker_tracking.h"
#include "gui/settle_wait.h"

#include <QCloseEvent>

namespace velmora {
namespace {

constexpr double kOpacity = 180.0 / 255.0;
const QColor kBackground(255, 245, 220);

} // namespace

// The window only reports what happens to it; RegionPicker decides.
class RegionPicker::Window final : public QWidget {
public:
    Window() = default;

    std::function<void()> moved;    // moved or resized
    std::function<void()> closeBox; // closed by the presenter, not by the program
    bool closingByProgram = false;

protected:
    void moveEvent(QMoveEvent* event) override
    {
        QWidget::moveEvent(event);
        if (moved)
            moved();
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        if (moved)
            moved();
    }
    void closeEvent(QCloseEvent* event) override
    {
        event->accept();
        if (!closingByProgram && closeBox)
            closeBox();
    }
};

RegionPicker::RegionPicker(ScreenBounds screen, QFont font) : screen_(screen), font_(font)
{
}

RegionPicker::~RegionPicker()
{
    if (window_) {
        window_->moved = nullptr;
        window_->closeBox = nullptr;
    }
}

bool RegionPicker::isOpen() const
{
    return open_;
}

std::string RegionPicker::text() const
{
    return gadgets_ ? gadgets_->text(kPickerButtonGadget) : std::string();
}

QWidget* RegionPicker::window() const
{
    return window_.get();
}

void RegionPicker::open(QWidget& owner, SettingsFields& fields,
                        std::function<void()> closedByCloseBox)
{
    if (open_) {
        window_->raise();
        window_->activateWindow();
        return;
    }
    owner_ = &owner;
    fields_ = &fields;
    closedByCloseBox_ = std::move(closedByCloseBox);

    const WindowDescription& description = regionPickerDescription();
    owner.hide();
    waitWhileRepainting(description.settleMilliseconds);

    // The window of a previous pick was only hidden: it may have been closed from inside its
    // own event handlers. Children go before their parent.
    gadgets_.reset();
    window_ = std::make_unique<Window>();
    Window& window = *window_;
    describeWindow(window, description, Qt::Tool);
    // A window owned by a topmost window is topmost too; the settings window is one.
    window.setWindowFlag(Qt::WindowStaysOnTopHint,
                         owner.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    window.setWindowOpacity(kOpacity);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, kBackground);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    gadgets_ = std::make_unique<QtGadgets>(window, description.gadgets, font_,
                                           [this](WindowAction) { finish(true); });
    centreIn(window, screen_, &owner);
    window.moved = [this] { track(); };
    window.closeBox = [this] { finish(false); };
    window.show();

    open_ = true;
    // The button keeps its first text until the presenter moves or sizes the window.
    tracking_.start();
}

void RegionPicker::track()
{
    tracking_.follow([this] { trackOnce(); });
}

void RegionPicker::trackOnce()
{
    Window& window = *window_;
    const QRect outer = window.frameGeometry();
    const OuterRect rect{outer.x(), outer.y(), outer.x() + outer.width(),
                         outer.y() + outer.height()};
    gadgets_->setText(kPickerButtonGadget, regionFromOuterRect(rect));

    const OuterRect kept = keepPickerOnScreen(rect, screen_);
    if (kept == rect)
        return;
    // Targets, not steps: the client area keeps the border and title bar it has now.
    const int borderWidth = rect.width() - window.width();
    const int borderHeight = rect.height() - window.height();
    if (kept.left != rect.left || kept.top != rect.top)
        window.move(kept.left, kept.top);
    if (kept.width() != rect.width() || kept.height() != rect.height())
        window.resize(kept.width() - borderWidth, kept.height() - borderHeight);
}

void RegionPicker::finish(bool pickedWithButton)
{
    if (!open_)
        return;
    const std::string result = text();
    open_ = false;
    tracking_.stop();
    window_->closingByProgram = true;
    window_->close(); // hidden only: this may run inside the window's own handlers
    window_->closingByProgram = false;

    if (owner_) {
        owner_->show();
        owner_->raise();
        owner_->activateWindow();
        if (pickedWithButton && !result.empty()) {
            fields_->setText(SettingsField::ScreenRegion, result);
            fields_->focus(SettingsField::ScreenRegion);
        }
    }
    if (!pickedWithButton && closedByCloseBox_)
        closedByCloseBox_();
}

} // namespace velmora
