#include "charts/CV4InfoMainView.h"

#include "platform/Localization.h"

CV4InfoMainView::CV4InfoMainView(Callback callback, std::vector<CV4InfoMainViewParam> rows, cv::PageSetup &setup)
    : CV4InfoViewOf(std::move(callback), std::move(rows), setup, 2)
{
    setTitle(cv::localizedString(QStringLiteral("Report-View-Title")));
}

CV4InfoColumn CV4InfoMainView::column(int index, int count)
{
    if (index == 0)
        return {CV4InfoColumn::L, 140};
    if (index == count - 2)
        return {CV4InfoColumn::R, 35};
    return {CV4InfoColumn::R, 55};
}

void CV4InfoMainView::drawContents(cv::Canvas &canvas)
{
    drawHead(canvas);
    walkRows(canvas, [&](int index, double top) {
        const CV4InfoMainViewParam &row = data()[size_t(index)];
        const double height = row.height();
        if (row.level() <= 0)
            drawBand(canvas, top, height, row.level() <= CV4InfoViewParam::Header ? 0.8 : 0.9);
        if (row.level() == CV4InfoViewParam::NoTexts)
            return;
        const QStringList cells = cellsFor(index);
        const int count = int(cells.size());
        const int first = curSpread() == 0 ? 0 : kLeftSheetColumns;
        const int last = curSpread() == 0 ? std::min(kLeftSheetColumns, count) : count;
        const double lineTop = top + height - kLineHeight;
        double x = leftX();
        for (int c = first; c < last; ++c) {
            const CV4InfoColumn entry = column(c, count);
            const QString &text = cells[c];
            const double cx = x;
            x += entry.width;
            if (text.isEmpty())
                continue;
            if (row.level() < 0) {
                drawCentered(canvas, text, QPointF(cx, lineTop), entry.width);
            } else if (c == 0) {
                // Cut at the column's end: a long name must not run over the
                // first amount.
                const double indent = row.level() * kIndentPerLevel + kTextInset;
                drawLeftJustified(canvas, text, QPointF(cx + indent, lineTop), entry.width - indent);
            } else if (entry.align == CV4InfoColumn::L) {
                drawLeftJustified(canvas, text, QPointF(cx + kTextInset, lineTop));
            } else {
                drawRightJustified(canvas, text, QPointF(cx, lineTop), entry.width);
            }
        }
    });
}
