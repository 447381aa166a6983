#pragma once
// The rows and cells of one viewer grid. Rows are the document's tree
// nodes: the account grid shows the asset, debt and account-summary roots;
// the category grid the transfer, income, expense and category-summary
// roots, the last followed by the two system transfer rows. Cells are asked
// of ViewerValues when painted; nothing is copied. The number of columns
// changes by inserting and removing columns, so expansion and selection
// survive a change of unit or width. Rows are dragged within their own
// tree through ViewerDragDrop; the drag's data names this model, so a drop
// from another grid or window is refused.

#include "mainwindow/viewer/ViewerDragDrop.h"
#include "mainwindow/viewer/ViewerValues.h"

#include "mainwindow/viewer/GridColumnsModel.h"

#include <vector>

namespace cv {

class Book;

class ViewerModel : public GridColumnsModel {
    Q_OBJECT
public:
    enum Grid { Accounts, Categories };
    // A cell's ViewerCell::dataColumn, for the grid's painting.
    static constexpr int DataColumnRole = Qt::UserRole + 101;

    ViewerModel(Grid grid, Book &document, ViewerValues &values, const ViewerColumns &columns,
                QObject *parent = nullptr);

    Grid grid() const { return m_grid; }
    // The account-grid column a column of this grid stands for.
    int accountColumn(int column) const { return m_grid == Accounts ? column : ViewerColumns::accountColumnOf(column); }
    int columnOfAccountColumn(int accountColumn) const
    {
        return m_grid == Accounts ? accountColumn : ViewerColumns::categoryColumnOf(accountColumn);
    }

    Node *nodeAt(const QModelIndex &index) const;
    QModelIndex indexOfNode(const Node *node, int column = 0) const;
    std::vector<NodePtr> topNodes() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // ---- drag and drop
    ViewerDragDrop &dragDrop() { return m_drag; }
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }

private:
    const Node *childAt(const Node *parent, int row) const;
    int childCount(const Node *parent) const;
    int rowOf(const Node *node) const;
    const Node *parentOf(const Node *node) const;
    bool isSystemTransferRow(const Node *node) const;

    Grid m_grid;
    Book &m_document;
    ViewerValues &m_values;
    const ViewerColumns &m_columns;
    mutable ViewerDragDrop m_drag; // the drag under way; mimeData() starts it
};

} // namespace cv
