#pragma once
// An outline whose clicks behave like the editing table's: cell by cell,
// asking the owner (an OutlineClickClient) whether a cell may be selected,
// whether the owner takes the click, and whether editing starts. The keypad
// Enter key is swallowed unless Ctrl is held.

#include <QPointer>
#include <QTreeView>

namespace cv {

class OutlineClickClient;

class KeyHandlingOutlineView : public QTreeView {
    Q_OBJECT
public:
    explicit KeyHandlingOutlineView(QWidget *parent = nullptr);

    // Not owned; must outlive the view or be reset before it goes.
    void setClickClient(cv::OutlineClickClient *client) { m_client = client; }
    cv::OutlineClickClient *clickClient() const { return m_client; }

    // Outlines that support dragging answer true and get the plain clicks.
    virtual bool isDraggable() const { return false; }
    // clickCount: 1 a single click (or none: a call from code), 2 and more
    // a multiple click, 0 a press without a click.
    void performClickAtColumn(int column, int row, QMouseEvent *event, int clickCount = 1);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    // A pen scrolls these outlines, which have no horizontal bar, vertically only.
    void wheelEvent(QWheelEvent *event) override;
    // Starts editing the cell; the shared field editor takes this over.
    virtual void startEditing(const QModelIndex &index);

private:
    QModelIndex indexAtRow(int column, int row) const;
    // The row's position among the shown rows, expanded children included.
    int shownRowOf(const QModelIndex &index) const;

    cv::OutlineClickClient *m_client = nullptr;
};

} // namespace cv
