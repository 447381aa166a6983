#include "reports/CategoryTreeView.h"

#include "document/CV4Document.h"
#include "model/CV4ActualModel.h"
#include "platform/Localization.h"

#include <algorithm>

namespace cv {

CategoryTreeView::CategoryTreeView(CV4Document &doc, const PageSetup &setup)
    : CV4ReportView(doc, setup), m_diffFormatter(localizedString("Report-Format-Diff")),
      m_fractionFormatter(localizedString("Report-Format-Fraction"))
{
}

bool CategoryTreeView::pageIsIncome() const
{
    const PageRange rows = range();
    for (int i = rows.start; i < rows.end && i < int(data().size()); ++i) {
        if (const CVUnitModelPtr &node = data()[size_t(i)].node)
            return CategoryTreeRows::isBelow(*node, doc().actualModel()->income().get());
    }
    return false;
}

void CategoryTreeView::drawBar(Canvas &canvas, double x, double y, double rowHeight, double width,
                               double thickness) const
{
    // The bar lies where a 2-point bar centred in the row would start.
    canvas.fillRect(QRectF(x, y + (rowHeight - 2) * 0.5 + (2 - thickness), width, thickness), Qt::black);
}

void CategoryTreeView::drawThickRule(Canvas &canvas, double y, double rowHeight) const
{
    drawBar(canvas, left(), y, rowHeight, contentWidth(), 2);
}

void CategoryTreeView::drawHeadRight(Canvas &canvas, const QString &text, const QPointF &at, double width) const
{
    constexpr double kGap = 4;
    constexpr double kSmallest = 0.6;
    const double wide = canvas.textWidth(text);
    const double room = width - kGap;
    if (wide <= room || wide <= 0) {
        drawRightJustified(canvas, text, at, width);
        return;
    }
    const CanvasFont font = canvas.font();
    CanvasFont smaller = font;
    smaller.size = font.size * std::max(kSmallest, room / wide);
    canvas.setFont(smaller);
    drawRightJustified(canvas, text, at, width);
    canvas.setFont(font);
}

QString CategoryTreeView::ratioText(double base, double part, double percent) const
{
    if (base == 0) return QStringLiteral("---");
    if (part == 0) return QStringLiteral("0.00");
    return m_fractionFormatter.stringForObjectValue(percent);
}

} // namespace cv
