#include "gui/region_frame.h"

#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QWidget>

namespace velmora {
namespace {

const QColor kOutline(192, 192, 0);
constexpr int kRedrawMs = 100;

} // namespace

// Borderless, above the other windows, passed over by the window manager. The window's shape is
// the one-pixel outline itself, so nothing else of it exists on the screen even without a
// compositing manager, and input goes to the windows below.
class RegionFrame::Window final : public QWidget {
public:
    explicit Window(const FrameGeometry& place)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput |
                               Qt::WindowDoesNotAcceptFocus)
    {
        setWindowTitle(QStringLiteral("Bildschirmbereich"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(place.x, place.y, place.width, place.height);
        const QRect whole(0, 0, place.width, place.height);
        setMask(QRegion(whole).subtracted(QRegion(whole.adjusted(1, 1, -1, -1))));

        // Redrawn and raised again and again: windows opened later would otherwise cover it.
        redraw_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&redraw_, &QTimer::timeout, this, [this] {
            raise();
            update();
        });
        redraw_.start(kRedrawMs);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QPen(kOutline, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, 0, width() - 1, height() - 1);
    }

private:
    QTimer redraw_;
};

RegionFrame::RegionFrame(ScreenBounds screen) : screen_(screen)
{
}

RegionFrame::~RegionFrame() = default;

QWidget* RegionFrame::window() const
{
    return window_.get();
}

bool RegionFrame::start(const std::string& region)
{
    // Never two frames, and never the frame of a former region once the region has changed.
    stop();
    const std::optional<FrameGeometry> place = regionFrameGeometry(region, screen_);
    if (!place)
        return false;
    window_ = std::make_unique<Window>(*place);
    window_->show();
    return true;
}

void RegionFrame::stop()
{
    window_.reset();
}

} // namespace velmora
