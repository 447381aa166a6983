#pragma once
// A column of labelled cells (the bank and card details), laid into the
// sheet's own grid so that their labels line up with the sheet's other
// rows. The form keeps which cell was selected last, so a value posted by
// the calculator knows where it belongs; a cell's text changes come out with
// its index.

#include <QObject>

#include <vector>

class QGridLayout;
class QWidget;

namespace cv {

class InputFormCell;

class InputForm : public QObject {
    Q_OBJECT
public:
    // Cells go into `grid` from `firstRow` on, as children of `owner`.
    InputForm(QGridLayout *grid, int firstRow, QWidget *owner);

    // Appends a cell; its index is the number of cells before it.
    InputFormCell *addCell(const QString &label, int tag, const QString &placeholder = QString());
    int count() const { return int(m_cells.size()); }
    // The row of the sheet's grid after the last cell.
    int nextRow() const { return m_firstRow + count(); }
    // Null out of range.
    InputFormCell *cellAtIndex(int index) const;
    QString stringValue(int index) const;
    // The cell selected last; -1 before any.
    int selectedIndex() const { return m_selected; }
    // Selects the cell and its text.
    void selectCellAtRow(int index);

Q_SIGNALS:
    void cellTextChanged(int index);

private:
    QGridLayout *m_grid; // the sheet's, not owned
    int m_firstRow;
    QWidget *m_owner;                     // parent of the cells and labels
    std::vector<InputFormCell *> m_cells; // the owner's children, in order
    int m_selected = -1;
};

} // namespace cv
