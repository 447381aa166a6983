#pragma once
// An outline that keeps each tree node's expanded state on the node itself
// (its collapsed flag), so that it is stored with the document and can be
// put back after a model reset.

#include "mainwindow/viewer/KeyHandlingOutlineView.h"

namespace cv {

class Node;

class ExpansionStateSavedOutlineView : public KeyHandlingOutlineView {
    Q_OBJECT
public:
    // The model answers a row's node under this role as a quintptr to a Node.
    static constexpr int NodeRole = Qt::UserRole + 100;

    explicit ExpansionStateSavedOutlineView(QWidget *parent = nullptr);

    // Expands or collapses the item as its node says, then its children, last first.
    void restoreExpansionState(const QModelIndex &index);
    // The same for every top-level item.
    void restoreExpansionState();

protected:
    virtual Node *nodeForIndex(const QModelIndex &index) const;

private:
    void record(const QModelIndex &index, bool expanded);
};

} // namespace cv
