#include "gui/region_picker.h"

#include "capture/picker_tracking.h"
#include "gui/settle_wait.h"
#include "gui/text_codec.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace velmora {
namespace {

constexpr int kSettleMs = 200;
constexpr int kClientSize = 200;
constexpr double kOpacity = 180.0 / 255.0;
const QColor kBackground(255, 245, 220);
constexpr const char* kFirstText = "100,100,300,300";

} // namespace

// The window only reports what happens to it; RegionPicker decides.
class RegionPicker::Window final : public QWidget {
public:
    Window()
        : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    {
    }

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
    return button_ ? toWindows1252(button_->text()) : std::string();
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

    owner.hide();
    waitWhileRepainting(kSettleMs);

    // The window of a previous pick was only hidden: it may have been closed from inside its
    // own event handlers. Children go before their parent.
    hint_.reset();
    button_.reset();
    window_ = std::make_unique<Window>();
    Window& window = *window_;
    window.setWindowTitle(QStringLiteral("Bereich bestimmen"));
    // A window owned by a topmost window is topmost too; the settings window is one.
    window.setWindowFlag(Qt::WindowStaysOnTopHint,
                         owner.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    window.setWindowOpacity(kOpacity);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, kBackground);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.setGeometry(screen_.left + (screen_.right - screen_.left - kClientSize) / 2,
                       screen_.top + (screen_.bottom - screen_.top - kClientSize) / 2, kClientSize,
                       kClientSize);
    window.moved = [this] { track(); };
    window.closeBox = [this] { finish(false); };
    window.show();

    button_ = std::make_unique<QPushButton>(&window);
    button_->setObjectName(QStringLiteral("regionButton"));
    button_->setGeometry(10, 10, 180, 25);
    button_->setFont(font_);
    button_->setText(QString::fromLatin1(kFirstText));
    button_->setAutoDefault(false);
    QObject::connect(button_.get(), &QPushButton::clicked, [this] { finish(true); });
    button_->show();

    hint_ = std::make_unique<QLabel>(&window);
    hint_->setObjectName(QStringLiteral("regionHint"));
    hint_->setGeometry(10, 50, 180, 100);
    hint_->setFont(font_);
    hint_->setWordWrap(true);
    hint_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint_->setText(QStringLiteral(
        "Fenstergrösse und Position anpassen um Bereich zu bestimmen, dann Knopf drücken."));
    hint_->setPalette(palette);
    hint_->setAutoFillBackground(true);
    hint_->show();

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
    button_->setText(QString::fromLatin1(regionFromOuterRect(rect)));

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
