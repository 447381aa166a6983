#pragma once
// The grouping dialog's list: one column of names, one row selected at a
// time, renamed in place and reordered by dragging. Typed keys do not search
// the list: Delete and Backspace delete the selected grouping, the arrows,
// Home, End, the page keys, F2, Return and Esc act as usual, every other key
// is dropped.

#include <QTableView>

namespace cv {

class GroupTableView : public QTableView {
    Q_OBJECT
public:
    explicit GroupTableView(QWidget *parent = nullptr);

    // Stores the name being typed and closes its editor; false when none was open.
    bool commitEditing();
    // The Edit menu's Delete.
    Q_INVOKABLE void del() { Q_EMIT deleteRequested(); }

Q_SIGNALS:
    void deleteRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace cv
