#pragma once
// Paints the budget editor's month sections under its table's cells: each
// month on its own background (white and light blue alternating), a grey
// line above each month, light grey lines at the column edges. It watches
// the table's viewport, so the panel base keeps its own table.

#include <QColor>
#include <QObject>

#include <functional>

namespace cv {

class EditingTable;

class BudgetEditorSections : public QObject {
    Q_OBJECT
public:
    // `background` answers a row's colour, `rowsPerSection` the rows of one month.
    BudgetEditorSections(EditingTable *table, std::function<QColor(int)> background,
                         std::function<int()> rowsPerSection);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paint(const QRect &clip);

    EditingTable *m_table;     // the parent
    const QObject *m_viewport; // the table's, whose paints come here first
    std::function<QColor(int)> m_background;
    std::function<int()> m_rowsPerSection;
};

} // namespace cv
