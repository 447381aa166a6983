#pragma once
// A column of labelled cells (the bank and card details). The form keeps
// which cell was selected last, so a value posted by the calculator knows
// where it belongs; a cell's text changes come out with its index.

#include <QWidget>

#include <vector>

class InputFormCell;
class QFormLayout;

class InputForm : public QWidget {
    Q_OBJECT
public:
    explicit InputForm(QWidget *parent = nullptr);

    // Appends a cell; its index is the number of cells before it.
    InputFormCell *addCell(const QString &label, int tag, const QString &placeholder = QString());
    int count() const { return int(m_cells.size()); }
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
    QFormLayout *m_layout;                // child
    std::vector<InputFormCell *> m_cells; // children, in order
    int m_selected = -1;
};
