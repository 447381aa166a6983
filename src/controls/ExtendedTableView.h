#pragma once
// The month grid of the popup calendar: the arrow keys only raise flags that
// the calendar reads and clears on its timer; Return edits the title column
// when there is one, else says pressedReturn; Esc closes the window.

#include <QTableView>

// Written by the grid, read and cleared by the calendar.
namespace cv {

struct ArrowFlags {
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
};

class ExtendedTableView : public QTableView {
    Q_OBJECT

public:
    explicit ExtendedTableView(QWidget *parent = nullptr) : QTableView(parent) {}
    // -1 (the default): no title column.
    void setTitleColumn(int column) { m_titleColumn = column; }

    static ArrowFlags &arrowFlags();

Q_SIGNALS:
    void pressedReturn();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_titleColumn = -1;
};

} // namespace cv
