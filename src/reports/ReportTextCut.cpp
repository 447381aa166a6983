#include "reports/ReportTextCut.h"

#include "platform/print/Canvas.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace cv {

namespace {

// Where the `count`-th character ends, or -1 when the text has no more.
qsizetype endOfCharacters(const QString &text, int count)
{
    if (count <= 0) return text.isEmpty() ? -1 : 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int seen = 0;
    while (finder.toNextBoundary() >= 0) {
        if (++seen == count) return finder.position() < text.size() ? finder.position() : -1;
    }
    return -1;
}

} // namespace

QString leadingCharacters(const QString &text, int count)
{
    const qsizetype end = endOfCharacters(text, count);
    return end < 0 ? text : text.left(end);
}

QString cutWithMark(const QString &text, int count, const QString &mark)
{
    const qsizetype end = endOfCharacters(text, count);
    return end < 0 ? text : text.left(end) + mark;
}

void drawInColumn(Canvas &canvas, const QString &text, const QPointF &at, double width)
{
    constexpr double kGap = 3;
    constexpr double kRowHeight = 14;
    constexpr double kSmallest = 0.75;
    if (text.isEmpty()) return;
    const QRectF box(at.x(), at.y(), width - kGap, kRowHeight);
    const double wide = canvas.textWidth(text);
    if (wide <= box.width()) {
        canvas.drawText(text, box, TextAlign::Left, false);
        return;
    }
    // Wide letters are set a little smaller before anything more is cut.
    const CanvasFont font = canvas.font();
    CanvasFont smaller = font;
    smaller.size = font.size * std::max(kSmallest, box.width() / wide);
    canvas.setFont(smaller);
    canvas.drawText(text, box, TextAlign::Left, true);
    canvas.setFont(font);
}

} // namespace cv
