#pragma once
// A table that selects the row under the pointer before its context menu
// shows, so that the menu acts on the row the user pointed at.

#include <QTableView>

namespace cv {

class SelectionSafeTableView : public QTableView {
    Q_OBJECT

public:
    explicit SelectionSafeTableView(QWidget *parent = nullptr);

    // Selects the row alone; the editing table also edits a column of it.
    virtual void selectRow(int row, int columnHint, const QMouseEvent *event);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    // The press that opens a context menu: right button, or left with Ctrl.
    static bool isContextClick(const QMouseEvent *event);

private:
    using QTableView::selectRow;
};

} // namespace cv
