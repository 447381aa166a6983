#include "charts/CV4InfoBudgetView.h"

#include "platform/Localization.h"

CV4InfoBudgetView::CV4InfoBudgetView(Callback callback, std::vector<CV4InfoBudgetViewParam> rows, cv::PageSetup &setup)
    : CV4InfoViewOf(std::move(callback), std::move(rows), setup, 2)
{
    setTitle(cv::localizedString(QStringLiteral("Report-Budget-Title")));
}

CV4InfoColumn CV4InfoBudgetView::column(int index)
{
    return index == 0 ? CV4InfoColumn{CV4InfoColumn::L, 150} : CV4InfoColumn{CV4InfoColumn::R, 60};
}

void CV4InfoBudgetView::drawContents(cv::Canvas &canvas)
{
    drawHead(canvas);
    walkRows(canvas, [&](int index, double top) {
        const CV4InfoBudgetViewParam &row = data()[size_t(index)];
        const double height = row.height();
        const double bottomLine = top + height - kLineHeight;
        if (row.level() <= 0)
            drawBand(canvas, top, height, row.level() <= CV4InfoViewParam::Header ? 0.8 : 0.9);
        if (row.level() > 0)
            canvas.fillRect(QRectF(leftX(), top + height, contentWidth(), 1), QColor::fromRgbF(0.9, 0.9, 0.9));
        if (row.level() == CV4InfoViewParam::NoTexts)
            return;
        const QList<QStringList> cells = cellsFor(index);
        const int count = int(cells.size());
        const int first = curSpread() == 0 ? 0 : kLeftSheetColumns;
        const int last = curSpread() == 0 ? std::min(kLeftSheetColumns, count) : count;
        double x = leftX();
        for (int c = first; c < last; ++c) {
            const CV4InfoColumn entry = column(c);
            const QStringList &cell = cells[c];
            const double cx = x;
            x += entry.width;
            if (cell.isEmpty())
                continue;
            if (row.level() < 0 || c == 0) {
                if (cell.first().isEmpty())
                    continue;
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
