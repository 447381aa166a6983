#pragma once
// What the category-tree reports (income and expense, term comparison,
// budget comparison) share when drawing: the section a page belongs to, the
// rows of the tree with the rules of their own levels, and the difference and
// per-cent texts.

#include "reports/CategoryTreeRows.h"
#include "reports/Report.h"

#include "document/PatternFormatter.h"

#include <functional>

namespace cv {

class CategoryTreeView : public Report {
protected:
    CategoryTreeView(ReadOnlyBook &doc, const PageSetup &setup);

    // Whether the page's rows belong to the income section: the first row of
    // the page that shows a category or a root decides (rules and blank rows
    // name none).
    bool pageIsIncome() const;
    // A black bar of the given thickness in a rule row whose band starts at `y`.
    void drawBar(Canvas &canvas, double x, double y, double rowHeight, double width, double thickness) const;
    // The thick rule from the left margin to the right one.
    void drawThickRule(Canvas &canvas, double y, double rowHeight) const;

    // Where the tree's names and thin rules stand; a report's columns differ.
    struct TreeLayout {
        double nameX = 0;            // a top-level name; each level indents it
        double ruleWidth = 0;        // a thin rule under a top-level group
        bool indentSubtotals = true; // a subtotal's name stands with its group's
        double nameEnd = 0;          // names are cut here, where the first value column starts
    };
    using RowValues = std::function<void(const ReportRow &row, double y)>;
    // Draws the page's rows from `startTop`: names, headings, subtotals, the
    // section total and the rules; `values` draws the columns of data,
    // subtotal and total rows, `headingValues` (when given) those of a heading.
    void drawTreeRows(Canvas &canvas, double startTop, const TreeLayout &layout, const RowValues &values,
                      const RowValues &headingValues = {});

    QString diffText(double value) const { return m_diffFormatter.stringForObjectValue(value); }
    // "---" when the base is 0, "0.00" when the part is 0, else the per cent.
    QString ratioText(double base, double part, double percent) const;

private:
    PatternFormatter m_diffFormatter;
    PatternFormatter m_fractionFormatter;
};

} // namespace cv
