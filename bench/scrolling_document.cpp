#include "scrolling_document.h"

#include "bench_words.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstring>

namespace velmora::bench {
namespace {

// All the words: lines rarely repeat, so a scroll must be found by moving rows, not by text that
// happens to be the same.
constexpr unsigned kWordCount = kAllBenchWords;
constexpr int kPageLines = 420; // 14 s at a line every 30 ms, longer than a round's screens

QString lineOfWords(unsigned& seed, const QFontMetrics& metrics, int width)
{
    QString text;
    for (;;) {
        const QString word = nextBenchWord(seed, kWordCount);
        const QString next = text.isEmpty() ? word : text + ' ' + word;
        if (metrics.horizontalAdvance(next) > width)
            return text;
        text = next;
    }
}

void paintChrome(QPainter& p, int width, int height, int pageTop, int pageBottom)
{
    p.fillRect(0, 0, width, height, QColor(214, 214, 214));
    p.fillRect(0, 0, width, 30, QColor(43, 87, 154)); // title bar
    p.setPen(Qt::white);
    p.setFont(QFont("Liberation Sans", 10, QFont::Bold));
    p.drawText(12, 20, "Annual report.txt - Editor");
    p.fillRect(0, 30, width, 26, QColor(243, 243, 243)); // menu bar
    p.setPen(QColor(30, 30, 30));
    p.setFont(QFont("Liberation Sans", 9));
    const char* const menus[] = {"File", "Edit", "View", "Search", "Tools", "Help"};
    for (int i = 0; i < 6; ++i)
        p.drawText(14 + i * 64, 48, menus[i]);
    p.fillRect(0, pageTop, width, pageBottom - pageTop, Qt::white);
    p.fillRect(0, height - 40, width, 40, QColor(235, 235, 235)); // task bar
    p.drawText(width - 60, height - 15, "14:05");
}

} // namespace

ScrollingDocument::ScrollingDocument(int width, int height)
    : width_(width), height_(height), pageTop_(std::min(60, height / 4)),
      pageBottom_(std::max(pageTop_ + 1, height - 44))
{
    chrome_ = RgbPicture(width, height);
    {
        QImage image(chrome_.data(), width, height, static_cast<qsizetype>(chrome_.stride()),
                     QImage::Format_RGB888);
        QPainter p(&image);
        paintChrome(p, width, height, pageTop_, pageBottom_);
    }

    const QFont body("Liberation Serif", 13);
    const QFontMetrics metrics(body);
    lineHeight_ = metrics.lineSpacing() + 3;
    page_ = RgbPicture(width, lineHeight_ * kPageLines);
    QImage image(page_.data(), width, page_.height(), static_cast<qsizetype>(page_.stride()),
                 QImage::Format_RGB888);
    QPainter p(&image);
    p.fillRect(0, 0, width, page_.height(), Qt::white);
    p.setPen(Qt::black);
    p.setFont(body);
    unsigned seed = 11;
    const int left = 40, textWidth = width - 80;
    for (int line = 0; line < kPageLines; ++line) {
        // Paragraph ends: a shorter line, then an empty one.
        if (line % 9 == 8)
            continue;
        const int width = line % 9 == 7 ? textWidth * 2 / 3 : textWidth;
        p.drawText(left, line * lineHeight_ + metrics.ascent() + 1,
                   lineOfWords(seed, metrics, width));
    }
}

RgbPicture ScrollingDocument::screen(int lines) const
{
    RgbPicture picture = chrome_;
    const int first = (lines * lineHeight_) % page_.height();
    for (int row = pageTop_; row < pageBottom_; ++row) {
        const int source = (first + row - pageTop_) % page_.height();
        std::memcpy(picture.row(row), page_.row(source), picture.stride());
    }
    return picture;
}

RgbPicture scrollingDocumentContent(int width, int height)
{
    return ScrollingDocument(width, height).screen(0);
}

} // namespace velmora::bench
