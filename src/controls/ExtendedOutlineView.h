#pragma once
// An outline edited by hand: Return edits its title column, Up and Down move
// while keeping the edited column, Esc ends editing; other keys do nothing.

#include <QTreeView>

namespace cv {

class ExtendedOutlineView : public QTreeView {
    Q_OBJECT

public:
    explicit ExtendedOutlineView(QWidget *parent = nullptr) : QTreeView(parent) {}
    void setTitleColumn(int column) { m_titleColumn = column; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_titleColumn = 0;
};

} // namespace cv
