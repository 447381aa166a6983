#pragma once
// What every cell of the viewer's two grids shows, straight from the
// document's balance cache: the kind marks, carry-over, data and summary
// cells, in the default currency or the account's own, unit counts for
// holdings. Selection colours belong to the grids; the colours here are
// those of an unselected cell. Only the asset and debt totals of the block
// end are kept between calls.

#include "mainwindow/viewer/ViewerColumns.h"

#include <QColor>
#include <QString>

#include <memory>
#include <vector>

namespace cv {

class Book;
class Node;
using NodePtr = std::shared_ptr<Node>;

struct ViewerCell {
    QString text;
    QColor color; // invalid: plain text
    bool rightAligned = false;
    bool dataColumn = false; // a whole data column (selection paints it white)
};

class ViewerValues {
public:
    // Neither is owned; both outlive this.
    ViewerValues(Book &document, const ViewerColumns &columns);

    // The totals follow the block end again at the next ask.
    void invalidateSums() { m_sumsValid = false; }
    void setTodayColumn(int column) { m_todayColumn = column; }
    int todayColumn() const { return m_todayColumn; }
    void setFutureColor(const QColor &color) { m_futureColor = color; }

    // Columns are account-grid indices in both grids.
    ViewerCell accountCell(const Node &node, int column);
    ViewerCell categoryCell(const Node &node, int column);
    QString kindMark(const Node &node) const;
    // Whether the cell lies within the node's life.
    bool validAtColumn(const Node &node, int column) const;
    // The balance at the carry-over (0), block end (1) or week end (2) date;
    // 0 without such a date. `force`: in the default currency.
    double carryOver(const Node &node, int mode, bool force);

    // Every account below and including the node that entries can name, in
    // tree order; investment accounts are skipped with all below them.
    static void addAccountList(std::vector<NodePtr> &list, const NodePtr &node);

private:
    // The name and kind cells; other columns start empty and right-aligned.
    ViewerCell fixedCell(const Node &node, int column) const;
    QDate accountDateForColumn(const Node &node, int column) const;
    QDate edgeDate(const Node &node, int mode) const;
    void validateSums();
    double accountValue(const NodePtr &node, const QDate &date, bool trans);
    QString formatAccount(const Node &node, double value, bool trans) const;
    QColor accountColor(const Node &node, double value, int column, bool trans) const;
    QColor categoryColor(double value, int column) const;
    bool isFuture(int column) const;
    QString currencyText(double value) const;

    Book &m_document;
    const ViewerColumns &m_columns;
    bool m_sumsValid = false;
    double m_assetSum = 0;
    double m_debtSum = 0;
    int m_todayColumn = ViewerColumns::kTodayNotShown;
    QColor m_futureColor;
};

} // namespace cv
