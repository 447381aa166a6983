#pragma once
// A list edited by hand: Return edits its title column, Up and Down move
// while keeping the edited column, Esc ends editing; other keys do nothing.

#include <QTableView>

namespace cv {

class IncomeExpenseTableView : public QTableView {
    Q_OBJECT

public:
    explicit IncomeExpenseTableView(QWidget *parent = nullptr) : QTableView(parent) {}
    void setTitleColumn(int column) { m_titleColumn = column; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_titleColumn = 0;
};

} // namespace cv
