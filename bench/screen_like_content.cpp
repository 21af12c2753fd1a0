#include "screen_like_content.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QString>

#include <cmath>

namespace velmora::bench {
namespace {

const char* const kWords[] = {
    "Velmora", "presentation", "screen", "spectators", "server",  "picture", "upload",
    "region",  "settings",     "cycle",  "data",       "page",    "viewer",  "the",
    "and",     "of",           "a",      "with",       "refresh", "marker"};

QString sentence(int seed, int words)
{
    QString text;
    for (int i = 0; i < words; ++i) {
        seed = seed * 1103515245 + 12345;
        text += QString::fromLatin1(kWords[(seed >> 16) % 20]) + ' ';
    }
    return text;
}

void drawWindow(QPainter& p, QRect frame, const QString& title, int seed, bool code)
{
    p.fillRect(frame, QColor(250, 250, 250));
    p.fillRect(QRect(frame.topLeft(), QSize(frame.width(), 28)), QColor(52, 101, 164));
    p.setPen(Qt::white);
    p.setFont(QFont("Liberation Sans", 11, QFont::Bold));
    p.drawText(frame.left() + 10, frame.top() + 19, title);
    p.setPen(QColor(40, 40, 40));
    p.setFont(code ? QFont("Liberation Mono", 10) : QFont("Liberation Serif", 12));
    const int lineHeight = code ? 16 : 19;
    for (int y = frame.top() + 50, line = 0; y < frame.bottom() - 8; y += lineHeight, ++line) {
        const int indent = code ? 20 * ((seed + line) % 4) : 0;
        p.drawText(frame.left() + 12 + indent, y, sentence(seed + line * 7, 4 + (line * 5) % 9));
    }
    p.setPen(QColor(160, 160, 160));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
}

} // namespace

RgbPicture screenLikeContent(int width, int height)
{
    RgbPicture picture(width, height);
    QImage image(picture.data(), width, height, static_cast<qsizetype>(picture.stride()),
                 QImage::Format_RGB888);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(30, 60, 110));
    sky.setColorAt(1, QColor(90, 140, 190));
    p.fillRect(0, 0, width, height, sky);

    // A photo-like area: smooth shapes with fine grain, the hardest part to compress.
    const QRect photo(width * 3 / 5, height / 12, width / 3, height / 3);
    for (int y = photo.top(); y <= photo.bottom(); ++y)
        for (int x = photo.left(); x <= photo.right(); ++x) {
            const double fx = x * 0.013, fy = y * 0.021;
            const int grain = static_cast<int>((x * 2654435761u ^ y * 40503u) >> 28);
            image.setPixel(x, y,
                           qRgb(static_cast<int>(120 + 80 * std::sin(fx + fy)) + grain,
                                static_cast<int>(110 + 70 * std::cos(fx * 1.7)) + grain,
                                static_cast<int>(90 + 60 * std::sin(fy * 2.3)) + grain));
        }

    drawWindow(p, QRect(width / 20, height / 15, width / 2, height * 3 / 5),
               "Velmora - Einstellungen", 3, false);
    drawWindow(p, QRect(width / 3, height / 2, width / 2, height * 2 / 5), "desktop_capture.cpp",
               11, true);
    drawWindow(p, QRect(width * 3 / 4, height / 2 - 40, width / 5, height / 3), "Notes", 29, false);

    // A task bar with buttons.
    p.fillRect(0, height - 36, width, 36, QColor(235, 235, 235));
    p.setFont(QFont("Liberation Sans", 9));
    p.setPen(QColor(20, 20, 20));
    for (int i = 0; i < 6; ++i) {
        p.fillRect(8 + i * 170, height - 31, 160, 26, QColor(210, 215, 225));
        p.drawText(16 + i * 170, height - 13, sentence(i * 13, 2));
    }
    return picture;
}

} // namespace velmora::bench
