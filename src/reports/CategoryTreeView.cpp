#include "reports/CategoryTreeView.h"

#include "document/ReadOnlyBook.h"
#include "model/CategoryTrees.h"
#include "platform/Localization.h"
#include "reports/ReportTextCut.h"

namespace cv {

CategoryTreeView::CategoryTreeView(ReadOnlyBook &doc, const PageSetup &setup)
    : Report(doc, setup), m_diffFormatter(localizedString("Report-Format-Diff")),
      m_fractionFormatter(localizedString("Report-Format-Fraction"))
{
}

bool CategoryTreeView::pageIsIncome() const
{
    const PageRange rows = range();
    for (int i = rows.start; i < rows.end && i < int(data().size()); ++i) {
        if (const NodePtr &node = data()[size_t(i)].node)
            return CategoryTreeRows::isBelow(*node, doc().categoryTrees()->income().get());
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

void CategoryTreeView::drawTreeRows(Canvas &canvas, double startTop, const TreeLayout &layout, const RowValues &values,
                                    const RowValues &headingValues)
{
    constexpr double kIndent = 10;
    const Node *incomeRoot = doc().categoryTrees()->income().get();
    const QString subtotalOf = localizedString("Report-Actual-Subtotal-of");
    const QString incomeTotal = localizedString("Report-Actual-Income-Total");
    const QString expenseTotal = localizedString("Report-Actual-Expense-Total");
    walkRows(canvas, startTop, [&](int index, double y) {
        const ReportRow &row = data()[size_t(index)];
        const int depth = row.level >= 0 ? row.level : row.number;
        const double nameX = layout.nameX + kIndent * depth;
        const auto drawName = [&](const QString &name, double x) {
            drawInColumn(canvas, name, QPointF(x, y), layout.nameEnd - x);
        };
        switch (row.level) {
        case CategoryTreeRows::Heading:
            drawName(row.node->name(), nameX);
            if (headingValues) headingValues(row, y);
            break;
        case CategoryTreeRows::Subtotal:
            drawName(formatString(subtotalOf, {row.node->name()}), layout.indentSubtotals ? nameX : layout.nameX);
            values(row, y);
            break;
        case CategoryTreeRows::Total:
            drawLeftJustified(canvas, row.node.get() == incomeRoot ? incomeTotal : expenseTotal, QPointF(left(), y));
            values(row, y);
            break;
        case CategoryTreeRows::ThinRule:
            drawBar(canvas, nameX, y, row.height, layout.ruleWidth - kIndent * depth, 1);
            break;
        case CategoryTreeRows::ThickRule: drawThickRule(canvas, y, row.height); break;
        default:
            if (row.level >= 0 && row.node) {
                drawName(row.node->name(), nameX);
                values(row, y);
            }
            break;
        }
    });
}

QString CategoryTreeView::ratioText(double base, double part, double percent) const
{
    if (base == 0) return QStringLiteral("---");
    if (part == 0) return QStringLiteral("0.00");
    return m_fractionFormatter.stringForObjectValue(percent);
}

} // namespace cv
