#include "print/BudgetPrint.h"

#include "platform/Localization.h"

namespace cv {

BudgetPrint::BudgetPrint(Callback callback, std::vector<BudgetPrintParam> rows, cv::PageSetup &setup)
    : PrintedPagesOf(std::move(callback), std::move(rows), setup, 2)
{
    setTitle(cv::localizedString(QStringLiteral("Report-Budget-Title")));
}

PrintColumn BudgetPrint::column(int index)
{
    return index == 0 ? PrintColumn{PrintColumn::L, 150} : PrintColumn{PrintColumn::R, 60};
}

void BudgetPrint::drawContents(cv::Canvas &canvas)
{
    drawHead(canvas);
    walkRows(canvas, [&](int index, double top) {
        const BudgetPrintParam &row = data()[size_t(index)];
        const double height = row.height();
        const double bottomLine = top + height - kLineHeight;
        if (row.level() <= 0) drawBand(canvas, top, height, row.level() <= PrintedPagesParam::Header ? 0.8 : 0.9);
        if (row.level() > 0)
            canvas.fillRect(QRectF(leftX(), top + height, contentWidth(), 1), QColor::fromRgbF(0.9, 0.9, 0.9));
        if (row.level() == PrintedPagesParam::NoTexts) return;
        const QList<QStringList> cells = cellsFor(index);
        const int count = int(cells.size());
        const int first = curSpread() == 0 ? 0 : kLeftSheetColumns;
        const int last = curSpread() == 0 ? std::min(kLeftSheetColumns, count) : count;
        double x = leftX();
        for (int c = first; c < last; ++c) {
            const PrintColumn entry = column(c);
            const QStringList &cell = cells[c];
            const double cx = x;
            x += entry.width;
            if (cell.isEmpty()) continue;
            if (row.level() < 0 || c == 0) {
                if (cell.first().isEmpty()) continue;
                if (row.level() < 0) {
                    drawCentered(canvas, cell.first(), QPointF(cx, bottomLine), entry.width);
                } else {
                    const double indent = row.level() * kIndentPerLevel + kTextInset;
                    drawLeftJustified(canvas, cell.first(), QPointF(cx + indent, bottomLine - kLineHeight),
                                      entry.width - indent);
                }
                continue;
            }
            // Bottom-up: the last string on the bottom line.
            for (int line = 0; line < std::min<int>(3, int(cell.size())); ++line) {
                const double lineTop = bottomLine - (2 - line) * kLineHeight;
                drawRightJustified(canvas, cell[line], QPointF(cx, lineTop), entry.width);
            }
        }
    });
}

} // namespace cv
