#pragma once
// An outline whose items are ticked rather than selected: a click inside a
// row's column-0 cell, while the outline is enabled, toggles the row's item
// through the ToggleClient; a click beside it (the disclosure arrow) acts as
// usual. An item's tick is its Qt::CheckStateRole in column 0. Column 1, when
// there is one, draws with a TallTextCell.

#include <QModelIndexList>
#include <QTreeView>

namespace cv {

class ToggleClient;

class ToggleOutlineView : public QTreeView {
    Q_OBJECT
public:
    explicit ToggleOutlineView(QWidget *parent = nullptr);

    void setToggleClient(ToggleClient *client) { m_client = client; }
    ToggleClient *toggleClient() const { return m_client; }
    void setModel(QAbstractItemModel *model) override;

    // An invalid index expands every top-level item.
    void expandItem(const QModelIndex &index, bool expandChildren);
    int totalChildrenOfItem(const QModelIndex &index) const;
    // The height that shows every row and the header.
    int fullHeight() const;
    // The top-level items that are ticked, in order.
    QModelIndexList selectedItems() const;
    // Toggles the item when ticked, then its children last to first at every level.
    void deselectItem(const QModelIndex &index);
    void deselectAll();

    static bool isTicked(const QModelIndex &index);
    // The outline repaints every row from its model.
    void reload();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    ToggleClient *m_client = nullptr; // not owned
};

} // namespace cv
