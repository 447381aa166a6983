#include "mainwindow/viewer/ViewerModel.h"

#include "document/Book.h"
#include "mainwindow/viewer/ExpansionStateSavedOutlineView.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "model/Node.h"

#include <QMimeData>

#include <algorithm>

namespace cv {

ViewerModel::ViewerModel(Grid grid, Book &document, ViewerValues &values, const ViewerColumns &columns, QObject *parent)
    : GridColumnsModel(grid == Accounts ? ViewerColumns::kStartDataCells : ViewerColumns::kStartDataCells - 1,
                       Qt::AlignCenter, parent),
      m_grid(grid), m_document(document), m_values(values), m_columns(columns),
      m_drag(document, grid == Accounts ? ViewerDragDrop::Accounts : ViewerDragDrop::Categories)
{
}

std::vector<NodePtr> ViewerModel::topNodes() const
{
    std::vector<NodePtr> nodes;
    if (m_grid == Accounts) {
        if (const AccountTreesPtr &model = m_document.accountTrees())
            nodes = {model->asset(), model->debt(), model->summary()};
    } else if (const CategoryTreesPtr &model = m_document.categoryTrees()) {
        nodes = {model->moneyFlow(), model->income(), model->expense(), model->summary()};
    }
    std::erase(nodes, nullptr);
    return nodes;
}

bool ViewerModel::isSystemTransferRow(const Node *node) const
{
    return m_grid == Categories && (node == m_document.autoCashIn().get() || node == m_document.autoCashOut().get());
}

const Node *ViewerModel::childAt(const Node *parent, int row) const
{
    if (!parent) {
        const std::vector<NodePtr> top = topNodes();
        return row >= 0 && size_t(row) < top.size() ? top[size_t(row)].get() : nullptr;
    }
    const int own = parent->hasChildList() ? int(parent->children().size()) : 0;
    if (row >= 0 && row < own) return parent->children()[size_t(row)].get();
    const CategoryTreesPtr &categories = m_document.categoryTrees();
    if (m_grid == Categories && categories && parent == categories->summary().get()) {
        if (row == own) return m_document.autoCashIn().get();
        if (row == own + 1) return m_document.autoCashOut().get();
    }
    return nullptr;
}

int ViewerModel::childCount(const Node *parent) const
{
    if (!parent) return int(topNodes().size());
    if (isSystemTransferRow(parent)) return 0;
    int count = parent->hasChildList() ? int(parent->children().size()) : 0;
    const CategoryTreesPtr &categories = m_document.categoryTrees();
    if (m_grid == Categories && categories && parent == categories->summary().get()) count += 2;
    return count;
}

const Node *ViewerModel::parentOf(const Node *node) const
{
    if (isSystemTransferRow(node))
        return m_document.categoryTrees() ? m_document.categoryTrees()->summary().get() : nullptr;
    return node->parent();
}

int ViewerModel::rowOf(const Node *node) const
{
    const Node *parent = parentOf(node);
    const int count = childCount(parent);
    for (int row = 0; row < count; ++row) {
        if (childAt(parent, row) == node) return row;
    }
    return -1;
}

Node *ViewerModel::nodeAt(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : nullptr;
}

QModelIndex ViewerModel::indexOfNode(const Node *node, int column) const
{
    if (!node) return {};
    const int row = rowOf(node);
    return row < 0 ? QModelIndex() : createIndex(row, column, const_cast<Node *>(node));
}

QModelIndex ViewerModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column < 0 || column >= columnCount()) return {};
    const Node *node = childAt(nodeAt(parent), row);
    return node ? createIndex(row, column, const_cast<Node *>(node)) : QModelIndex();
}

QModelIndex ViewerModel::parent(const QModelIndex &child) const
{
    const Node *node = nodeAt(child);
    const Node *parent = node ? parentOf(node) : nullptr;
    return parent ? indexOfNode(parent) : QModelIndex();
}

int ViewerModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0) return 0;
    return childCount(nodeAt(parent));
}

bool ViewerModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant ViewerModel::data(const QModelIndex &index, int role) const
{
    const Node *node = nodeAt(index);
    if (!node) return {};
    if (role == ExpansionStateSavedOutlineView::NodeRole) return QVariant::fromValue(quintptr(node));
    if (role != Qt::DisplayRole && role != Qt::ForegroundRole && role != Qt::TextAlignmentRole &&
        role != DataColumnRole)
        return {};
    const int column = accountColumn(index.column());
    const ViewerCell cell =
        m_grid == Accounts ? m_values.accountCell(*node, column) : m_values.categoryCell(*node, column);
    switch (role) {
    case Qt::DisplayRole: return cell.text;
    case Qt::ForegroundRole: return cell.color.isValid() ? QVariant(cell.color) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            Qt::Alignment(cell.rightAligned ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter));
    case DataColumnRole: return cell.dataColumn;
    default: return {};
    }
}

// ---------------------------------------------------------------- drag and drop

namespace {
// The drag's data names its model: drags never leave their grid and window.
QByteArray dragToken(const ViewerModel *model)
{
    return QByteArray::number(quintptr(model), 16);
}
} // namespace

Qt::ItemFlags ViewerModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractItemModel::flags(index);
    if (index.isValid()) flags |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    return flags;
}

QStringList ViewerModel::mimeTypes() const
{
    return {m_drag.mimeType()};
}

QMimeData *ViewerModel::mimeData(const QModelIndexList &indexes) const
{
    std::vector<NodePtr> nodes;
    for (const QModelIndex &index : indexes) {
        Node *node = nodeAt(index);
        if (!node) continue;
        NodePtr shared = node->shared_from_this();
        if (std::find(nodes.begin(), nodes.end(), shared) == nodes.end()) nodes.push_back(std::move(shared));
    }
    if (!m_drag.writeItems(nodes)) return nullptr;
    auto *data = new QMimeData;
    data->setData(m_drag.mimeType(), dragToken(this));
    return data;
}

bool ViewerModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int row, int, const QModelIndex &parent) const
{
    if (!data || data->data(m_drag.mimeType()) != dragToken(this)) return false;
    Node *proposed = nodeAt(parent);
    return proposed && m_drag.validateDrop(proposed->shared_from_this(), row).has_value();
}

bool ViewerModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                               const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    if (!m_drag.acceptDrop(nodeAt(parent)->shared_from_this(), row)) return false;
    // Group and root totals follow their new members.
    m_values.invalidateSums();
    return true;
}

} // namespace cv
