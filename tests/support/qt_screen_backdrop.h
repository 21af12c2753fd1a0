#pragma once
// A plain window of one colour over the whole screen, beneath the windows under test: what the
// screen shows where they show nothing, and where clicks land that they let through.

#include "screen/x11_screen_source.h"

#include <QColor>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

namespace velmora::test {

inline const QColor kBackdropColour(20, 40, 200);

class ScreenBackdrop final : public QWidget {
public:
    ScreenBackdrop() : QWidget(nullptr, Qt::FramelessWindowHint) { setGeometry(0, 0, 1024, 768); }
    std::vector<QPoint> presses; // screen positions

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), kBackdropColour); }
    void mousePressEvent(QMouseEvent* event) override
    {
        presses.push_back(event->globalPosition().toPoint());
    }
};

// What the X server shows, read as the capture reads it.
class ScreenPixels {
public:
    explicit ScreenPixels(const std::string& display) : source_(display) {}

    QColor at(int x, int y)
    {
        std::array<std::uint8_t, 3> rgb{};
        source_.copyRgb(x, y, 1, 1, rgb.data(), rgb.size());
        return QColor(rgb[0], rgb[1], rgb[2]);
    }
    // Rows of width colours, top to bottom.
    std::vector<QColor> area(int x, int y, int width, int height)
    {
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
        source_.copyRgb(x, y, width, height, rgb.data(), static_cast<std::size_t>(width) * 3);
        std::vector<QColor> colours;
        for (std::size_t i = 0; i < rgb.size(); i += 3)
            colours.emplace_back(rgb[i], rgb[i + 1], rgb[i + 2]);
        return colours;
    }

private:
    X11ScreenSource source_;
};

} // namespace velmora::test
