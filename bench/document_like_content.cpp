#include "document_like_content.h"

#include "bench_words.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

namespace velmora::bench {
namespace {

// The first 34 words only: the screens stay those of the earlier runs.
constexpr unsigned kWordCount = 34;

QString words(unsigned& seed, int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        text += nextBenchWord(seed, kWordCount);
        if (i + 1 < count)
            text += ' ';
    }
    return text;
}

void drawChrome(QPainter& p, int width)
{
    p.fillRect(0, 0, width, 30, QColor(43, 87, 154)); // title bar
    p.setPen(Qt::white);
    p.setFont(QFont("Liberation Sans", 10, QFont::Bold));
    p.drawText(12, 20, "Quarterly review.odt - Writer");
    p.fillRect(0, 30, width, 26, QColor(243, 243, 243)); // menu bar
    p.setPen(QColor(30, 30, 30));
    p.setFont(QFont("Liberation Sans", 9));
    const char* const menus[] = {"File", "Edit", "View", "Insert", "Format", "Table", "Help"};
    for (int i = 0; i < 7; ++i)
        p.drawText(14 + i * 64, 48, menus[i]);
    p.fillRect(0, 56, width, 40, QColor(250, 250, 250)); // tool bar
    for (int i = 0; i < 28; ++i) {
        const QRect icon(10 + i * 36, 62, 26, 26);
        p.fillRect(icon, QColor(200 - (i * 37) % 90, 210 - (i * 53) % 80, 225 - (i * 29) % 70));
        p.setPen(QColor(90, 90, 90));
        p.drawRect(icon.adjusted(0, 0, -1, -1));
    }
    p.fillRect(0, 96, width, 1, QColor(200, 200, 200));
}

int drawParagraph(QPainter& p, const QFontMetrics& metrics, int left, int right, int y,
                  unsigned& seed, int lines)
{
    for (int line = 0; line < lines; ++line) {
        QString text;
        while (true) {
            QString next = text.isEmpty() ? words(seed, 1) : text + ' ' + words(seed, 1);
            if (metrics.horizontalAdvance(next) > right - left)
                break;
            text = next;
        }
        if (line + 1 == lines)
            text = text.left(text.size() * 2 / 3);
        p.drawText(left, y, text);
        y += metrics.lineSpacing() + 2;
    }
    return y + metrics.lineSpacing();
}

void drawTable(QPainter& p, int left, int top, int width, unsigned& seed)
{
    const int rows = 6, columns = 4, rowHeight = 26;
    p.fillRect(left, top, width, rowHeight, QColor(220, 220, 220));
    p.setPen(Qt::black);
    for (int r = 0; r <= rows; ++r)
        p.drawLine(left, top + r * rowHeight, left + width, top + r * rowHeight);
    for (int c = 0; c <= columns; ++c)
        p.drawLine(left + c * width / columns, top, left + c * width / columns,
                   top + rows * rowHeight);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const QString cell =
                (r == 0 || c == 0) ? words(seed, 2)
                                   : QString::number((seed = seed * 69069u + 1u) % 100000) + " EUR";
            p.drawText(left + c * width / columns + 6, top + r * rowHeight + 18, cell);
        }
}

} // namespace

RgbPicture documentLikeContent(int width, int height)
{
    RgbPicture picture(width, height);
    QImage image(picture.data(), width, height, static_cast<qsizetype>(picture.stride()),
                 QImage::Format_RGB888);
    QPainter p(&image);
    p.fillRect(0, 0, width, height, QColor(214, 214, 214)); // the desk around the page
    drawChrome(p, width);

    const int pageWidth = width * 9 / 20;
    const QRect page((width - pageWidth) / 2, 112, pageWidth, height - 112 - 40 - 8);
    p.fillRect(page.translated(3, 3), QColor(170, 170, 170)); // shadow
    p.fillRect(page, Qt::white);

    const int left = page.left() + 80, right = page.right() - 80;
    unsigned seed = 7;
    int y = page.top() + 90;
    const QFont heading("Liberation Sans", 16, QFont::Bold);
    const QFont body("Liberation Serif", 12);
    for (int section = 0; y < page.bottom() - 80; ++section) {
        p.setPen(Qt::black);
        p.setFont(heading);
        p.drawText(left, y, QString::number(section + 1) + "  " + words(seed, 3));
        y += 40;
        p.setFont(body);
        if (section == 1) {
            drawTable(p, left, y - 16, right - left, seed);
            y += 6 * 26 + 30;
        }
        y = drawParagraph(p, QFontMetrics(body), left, right, y, seed, 5 + section % 3);
    }
    p.fillRect(QRect(page.left(), page.bottom() - 60, page.width(), 61), Qt::white);
    p.setPen(QColor(90, 90, 90));
    p.setFont(QFont("Liberation Sans", 9));
    p.drawText(page.left() + page.width() / 2 - 20, page.bottom() - 30, "Page 3 of 12");

    p.fillRect(0, height - 40, width, 40, QColor(235, 235, 235)); // task bar
    p.setFont(QFont("Liberation Sans", 9));
    for (int i = 0; i < 5; ++i) {
        p.fillRect(8 + i * 180, height - 34, 170, 28, QColor(210, 215, 225));
        p.setPen(QColor(20, 20, 20));
        p.drawText(18 + i * 180, height - 15, words(seed, 2));
    }
    p.drawText(width - 60, height - 15, "14:05");
    return picture;
}

} // namespace velmora::bench
