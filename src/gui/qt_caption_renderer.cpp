// The caption line through QtGui's text rasteriser, painting straight into the picture's rows.

#include "gui/qt_caption_renderer.h"

#include "core/windows1252.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QString>

#include <algorithm>
#include <cmath>
#include <optional>

namespace velmora {
namespace {

constexpr int kCaptionPoints = 8;
constexpr double kDefaultDpi = 96.0;

// The five codes Windows-1252 leaves unassigned are drawn as the replacement mark, not as
// invisible controls, so that the presenter sees something is there.
QString fromWindows1252(const std::string& text)
{
    QString result;
    result.reserve(static_cast<qsizetype>(text.size()));
    for (char c : text) {
        const char32_t u = unicodeFromWindows1252(static_cast<unsigned char>(c));
        result.append(u >= 0x80 && u < 0xA0 ? QChar(0xFFFD) : QChar(char16_t(u)));
    }
    return result;
}

class QtCaptionRenderer final : public CaptionRenderer {
public:
    CaptionBox draw(RgbPicture& picture, const std::string& text) override
    {
        if (picture.width() <= 0 || picture.height() <= 0)
            return {};
        QImage image(picture.data(), picture.width(), picture.height(),
                     static_cast<qsizetype>(picture.stride()), QImage::Format_RGB888);
        QPainter painter(&image);
        const QColor background(224, 224, 224);
        if (!qGuiApp) {
            // No font system without the application object: keep the box, skip the text.
            painter.fillRect(0, 0, picture.width(), 1, background);
            return {picture.width(), 1};
        }
        const QFont font = captionFont();
        const QString line = fromWindows1252(text);
        const QFontMetrics metrics(font, &image);
        const CaptionBox box{metrics.horizontalAdvance(line), metrics.height()};
        painter.fillRect(0, 0, box.width, box.height, background);
        painter.setFont(font);
        painter.setPen(QColor(96, 96, 96));
        painter.drawText(0, metrics.ascent(), line);
        return box;
    }

private:
    QFont captionFont()
    {
        if (!pixelSize_) {
            double dpi = kDefaultDpi;
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                dpi = screen->logicalDotsPerInchY();
            // Point size to character height as the display counts it: points x dpi / 72,
            // rounded, in pixels, so the line has the same height whatever the picture's dpi.
            pixelSize_ = std::max(1, static_cast<int>(std::lround(kCaptionPoints * dpi / 72)));
        }
        QFont font(QStringLiteral("Arial"));
        font.setBold(true);
        font.setPixelSize(*pixelSize_);
        return font;
    }

    // Only the size is kept: a QFont must not outlive the application object.
    std::optional<int> pixelSize_;
};

} // namespace

CaptionRenderer& qtCaptionRenderer()
{
    static QtCaptionRenderer renderer;
    return renderer;
}

} // namespace velmora
