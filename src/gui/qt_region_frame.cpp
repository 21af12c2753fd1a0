#include "gui/qt_region_frame.h"

#include "app/program_windows.h"
#include "gui/qt_text_codec.h"

#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace velmora {
namespace {

const QColor kOutline(192, 192, 0);
constexpr int kRedrawMs = 100;

} // namespace

// Borderless, above the other windows, passed over by the window manager, one pixel thick and
// filled with the outline's colour: nothing of it is see-through, so it needs no shape and no
// compositing manager, and input goes to the windows below.
class RegionFrame::Edge final : public QWidget {
public:
    explicit Edge(const QRect& place)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput |
                               Qt::WindowDoesNotAcceptFocus)
    {
        setWindowTitle(fromWindows1252(regionFrameDescription().title));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setMinimumSize(1, 1);
        setGeometry(place);

        // Redrawn and raised again and again: windows opened later would otherwise cover it.
        redraw_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&redraw_, &QTimer::timeout, this, [this] {
            raise();
            update();
        });
        redraw_.start(kRedrawMs);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), kOutline); }

private:
    QTimer redraw_;
};

RegionFrame::RegionFrame(ScreenBounds screen) : screen_(screen)
{
}

RegionFrame::~RegionFrame() = default;

std::vector<QWidget*> RegionFrame::windows() const
{
    std::vector<QWidget*> shown;
    for (const auto& edge : edges_)
        if (edge)
            shown.push_back(edge.get());
    return shown;
}

bool RegionFrame::start(const std::string& region)
{
    // Never two frames, and never the frame of a former region once the region has changed.
    stop();
    const std::optional<FrameGeometry> place = regionFrameGeometry(region, screen_);
    if (!place)
        return false;
    // The outline's rows and columns, each edge a window of its own; left and right leave the
    // corners to top and bottom.
    const QRect outline(place->x, place->y, place->width, place->height);
    const std::array<QRect, 4> sides{
        QRect(outline.left(), outline.top(), outline.width(), 1),
        QRect(outline.left(), outline.bottom(), outline.width(), 1),
        QRect(outline.left(), outline.top() + 1, 1, outline.height() - 2),
        QRect(outline.right(), outline.top() + 1, 1, outline.height() - 2),
    };
    for (std::size_t i = 0; i < sides.size(); ++i) {
        edges_[i] = std::make_unique<Edge>(sides[i]);
        edges_[i]->show();
    }
    return true;
}

void RegionFrame::stop()
{
    for (auto& edge : edges_)
        edge.reset();
}

} // namespace velmora
