#include "reports/ReportTextCut.h"

#include "platform/print/Canvas.h"

#include <algorithm>

namespace cv {

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
    // Wide letters are set a little smaller before anything more is cut. Sizes
    // land on whole device pixels, so a size that rounds up is stepped down.
    const CanvasFont font = canvas.font();
    CanvasFont smaller = font;
    double scale = std::max(kSmallest, box.width() / wide);
    for (;; scale = std::max(kSmallest, scale - 0.03)) {
        smaller.size = font.size * scale;
        canvas.setFont(smaller);
        if (scale <= kSmallest || canvas.textWidth(text) <= box.width()) break;
    }
    canvas.drawText(text, box, TextAlign::Left, true);
    canvas.setFont(font);
}

} // namespace cv
