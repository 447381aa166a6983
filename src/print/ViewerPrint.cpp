#include "print/ViewerPrint.h"

#include "platform/Localization.h"

#include <algorithm>

namespace cv {

ViewerPrint::ViewerPrint(Callback callback, std::vector<ViewerPrintParam> rows, cv::PageSetup &setup)
    : PrintedPagesOf(std::move(callback), std::move(rows), setup, 2)
{
    setTitle(cv::localizedString(QStringLiteral("Report-View-Title")));
}

PrintColumn ViewerPrint::column(int index, int count)
{
    if (index == 0) return {PrintColumn::L, 140};
    if (index == count - 2) return {PrintColumn::R, 35};
    return {PrintColumn::R, 55};
}

std::vector<std::pair<int, double>> ViewerPrint::sheetColumns(int spread, int count, double available)
{
    std::vector<std::pair<int, double>> out;
    if (spread == 0) {
        for (int c = 0; c < std::min(kLeftSheetColumns, count); ++c) out.emplace_back(c, column(c, count).width);
        return out;
    }
    // The right sheet repeats the names, so that it reads on its own; on a
    // narrow sheet the names and then the amounts give up width to fit.
    double rest = 0;
    for (int c = kLeftSheetColumns; c < count; ++c) rest += column(c, count).width;
    const double nameWidth = std::clamp(available - rest, kMinRepeatedNameWidth, column(0, count).width);
    const double scale = rest > 0 ? std::min(1.0, (available - nameWidth) / rest) : 1.0;
    out.emplace_back(0, nameWidth);
    for (int c = kLeftSheetColumns; c < count; ++c) out.emplace_back(c, column(c, count).width * scale);
    return out;
}

void ViewerPrint::drawContents(cv::Canvas &canvas)
{
    drawHead(canvas);
    walkRows(canvas, [&](int index, double top) {
        const ViewerPrintParam &row = data()[size_t(index)];
        const double height = row.height();
        if (row.level() <= 0) drawBand(canvas, top, height, row.level() <= PrintedPagesParam::Header ? 0.8 : 0.9);
        if (row.level() == PrintedPagesParam::NoTexts) return;
        const QStringList cells = cellsFor(index);
        const double lineTop = top + height - kLineHeight;
        double x = leftX();
        for (const auto &[c, width] : sheetColumns(curSpread(), int(cells.size()), contentWidth())) {
            const PrintColumn entry = column(c, int(cells.size()));
            const QString &text = cells[c];
            const double cx = x;
            x += width;
            if (text.isEmpty()) continue;
            if (row.level() < 0) {
                drawCentered(canvas, text, QPointF(cx, lineTop), width);
            } else if (c == 0) {
                // Cut at the column's end: a long name must not run over the
                // first amount.
                const double indent = row.level() * kIndentPerLevel + kTextInset;
                drawLeftJustified(canvas, text, QPointF(cx + indent, lineTop), width - indent);
            } else if (entry.align == PrintColumn::L) {
                drawLeftJustified(canvas, text, QPointF(cx + kTextInset, lineTop));
            } else {
                drawRightJustified(canvas, text, QPointF(cx, lineTop), width);
            }
        }
    });
}

} // namespace cv
