#pragma once
// The currency page's table: a press selects a row and may start a drag
// that reorders the list (within this table only); a double click edits or
// toggles, as the owner decides.

#include "controls/DraggableTableView.h"

#include <functional>

namespace cv {

class CurrencyTableView : public DraggableTableView {
    Q_OBJECT
public:
    static constexpr const char *kDragType = "CVv1-CurrencyDragAndDrop";

    explicit CurrencyTableView(QWidget *parent = nullptr);

    // Whether the row may be dragged.
    void setCanDrag(std::function<bool(int row)> canDrag) { m_canDrag = std::move(canDrag); }
    // The dragged row dropped before the row `to` (the row count: at the end);
    // true when the list changed.
    void setDropHandler(std::function<bool(int from, int to)> drop) { m_drop = std::move(drop); }
    // The row a drop at the point goes before.
    int dropRowAt(const QPoint &point) const;

Q_SIGNALS:
    void cellDoubleClicked(int column, int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    std::function<bool(int)> m_canDrag;
    std::function<bool(int, int)> m_drop;
};

} // namespace cv
