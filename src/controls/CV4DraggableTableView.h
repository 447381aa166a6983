#pragma once
// An editing table whose rows can be selected and dragged the plain way.

#include "controls/CV4TableView.h"

class CV4DraggableTableView : public CV4TableView {
    Q_OBJECT

public:
    explicit CV4DraggableTableView(QWidget *parent = nullptr) : CV4TableView(parent)
    {
        setDragEnabled(true);
        setDragDropMode(QAbstractItemView::DragOnly);
    }
    bool isDraggable() const override { return true; }
};
