#pragma once
// An editing table whose rows can be selected and dragged the plain way.

#include "controls/EditingTable.h"

namespace cv {

class DraggableTableView : public EditingTable {
    Q_OBJECT

public:
    explicit DraggableTableView(QWidget *parent = nullptr) : EditingTable(parent)
    {
        setDragEnabled(true);
        setDragDropMode(QAbstractItemView::DragOnly);
    }
    bool isDraggable() const override { return true; }
};

} // namespace cv
