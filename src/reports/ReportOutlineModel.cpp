#include "reports/ReportOutlineModel.h"

#include "controls/TickTree.h"
#include "document/Book.h"
#include "platform/Localization.h"

namespace cv {

ReportOutlineModel::ReportOutlineModel(Book *doc, Mode mode, QObject *parent)
    : QAbstractItemModel(parent), m_doc(doc), m_mode(mode)
{
    reload();
}

void ReportOutlineModel::reload()
{
    beginResetModel();
    m_roots = {};
    m_securities.clear();
    m_groupings.clear();
    if (m_doc) {
        if (m_mode == Accounts && m_doc->accountTrees())
            m_roots = {m_doc->accountTrees()->asset(), m_doc->accountTrees()->debt()};
        else if (m_mode == Categories && m_doc->categoryTrees())
            m_roots = {m_doc->categoryTrees()->income(), m_doc->categoryTrees()->expense()};
        else if (m_mode == Securities)
            m_securities = m_doc->securityList();
        else if (m_mode == Groupings) {
            m_groupings = m_doc->groupList();
            auto none = std::make_shared<Grouping>();
            none->setIdent(0);
            none->setName(localizedString("No Grouping"));
            m_groupings.push_back(none);
        }
    }
    if (!m_roots[0] || !m_roots[1]) m_roots = {};
    endResetModel();
}

void ReportOutlineModel::refresh()
{
    Q_EMIT layoutAboutToBeChanged();
    Q_EMIT layoutChanged();
}

void ReportOutlineModel::setTier(int tier)
{
    if (tier == m_tier) return;
    m_tier = tier;
    reload();
}

int ReportOutlineModel::depthOf(const Node &node)
{
    int depth = 0;
    for (const Node *up = node.parent(); up; up = up->parent()) ++depth;
    return depth;
}

bool ReportOutlineModel::opens(const Node &node) const
{
    if (node.countChild() == 0) return false;
    return m_mode != Categories || m_tier <= 0 || depthOf(node) < m_tier;
}

Node *ReportOutlineModel::nodeAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || !isTree()) return nullptr;
    return static_cast<Node *>(index.internalPointer());
}

int ReportOutlineModel::rootRow(const Node *node) const
{
    return node == m_roots[0].get() ? 0 : node == m_roots[1].get() ? 1 : -1;
}

QModelIndex ReportOutlineModel::indexOfNode(const Node *node) const
{
    if (!node || !isTree()) return QModelIndex();
    if (const int row = rootRow(node); row >= 0) return createIndex(row, 0, const_cast<Node *>(node));
    const QModelIndex up = indexOfNode(node->parent());
    return up.isValid() ? index(node->index(), 0, up) : QModelIndex();
}

QModelIndex ReportOutlineModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= columnCount()) return QModelIndex();
    if (!isTree()) {
        const int count = m_mode == Securities ? int(m_securities.size()) : int(m_groupings.size());
        return !parent.isValid() && row < count ? createIndex(row, column, nullptr) : QModelIndex();
    }
    if (!parent.isValid())
        return row < rowCount() ? createIndex(row, column, m_roots[size_t(row)].get()) : QModelIndex();
    const Node *node = nodeAt(parent);
    if (!node || !opens(*node) || row >= node->countChild()) return QModelIndex();
    return createIndex(row, column, node->childAt(row).get());
}

QModelIndex ReportOutlineModel::parent(const QModelIndex &child) const
{
    const Node *node = nodeAt(child);
    if (!node || rootRow(node) >= 0 || !node->parent()) return QModelIndex();
    Node *up = node->parent();
    const int row = rootRow(up);
    return createIndex(row >= 0 ? row : up->index(), 0, up);
}

int ReportOutlineModel::rowCount(const QModelIndex &parent) const
{
    if (!isTree()) return parent.isValid() ? 0 : int(m_mode == Securities ? m_securities.size() : m_groupings.size());
    if (!parent.isValid()) return m_roots[0] ? 2 : 0;
    if (parent.column() != 0) return 0;
    const Node *node = nodeAt(parent);
    return node && opens(*node) ? node->countChild() : 0;
}

int ReportOutlineModel::columnCount(const QModelIndex &) const
{
    // The trees add the column of ticked names (TickTree's column 2).
    return m_mode == Groupings ? 1 : m_mode == Securities ? 2 : 3;
}

QVariant ReportOutlineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_doc) return QVariant();
    int ticked = 0;
    QString name;
    QString kind;
    if (const Node *node = nodeAt(index)) {
        ticked = node->status();
        name = m_doc->displayName(*node);
        if (m_mode == Accounts) kind = TickTree::kindName(m_doc, *node);
    } else if (m_mode == Securities && size_t(index.row()) < m_securities.size()) {
        const Security &security = *m_securities[size_t(index.row())];
        ticked = security.intValue();
        name = security.name();
        kind = security.kindName();
    } else if (m_mode == Groupings && size_t(index.row()) < m_groupings.size()) {
        ticked = m_groupings[size_t(index.row())]->intValue();
        name = m_groupings[size_t(index.row())]->name();
    } else {
        return QVariant();
    }
    if (index.column() == 0) {
        if (role == Qt::CheckStateRole) return ticked != 0 ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::DisplayRole) return name;
    } else if (role == Qt::DisplayRole) {
        if (index.column() == 2) return ticked != 0 ? name : QString();
        return kind;
    }
    return QVariant();
}

Qt::ItemFlags ReportOutlineModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    if (m_mode == Groupings) return Qt::ItemIsEnabled;
    const Node *node = nodeAt(index);
    // A ticked leaf cannot be selected.
    if (node && node->status() != 0 && rowCount(index.siblingAtColumn(0)) == 0) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ReportOutlineModel::toggle(const QModelIndex &index)
{
    if (Node *node = nodeAt(index)) {
        TickTree::applyToggle(*node);
    } else if (m_mode == Securities && index.isValid() && size_t(index.row()) < m_securities.size()) {
        Security &security = *m_securities[size_t(index.row())];
        security.setOutlineState(security.intValue() != 0 ? 0 : 1);
    } else if (m_mode == Groupings && index.isValid() && size_t(index.row()) < m_groupings.size()) {
        Grouping &grouping = *m_groupings[size_t(index.row())];
        grouping.setOutlineState(grouping.intValue() != 0 ? 0 : 1);
    }
    refresh();
}

void ReportOutlineModel::clearAll()
{
    for (const NodePtr &root : m_roots)
        if (root) TickTree::SetChildAllStatus(*root, 0);
    for (const SecurityPtr &security : m_securities) security->setOutlineState(0);
    for (const GroupingPtr &grouping : m_groupings) grouping->setOutlineState(0);
    refresh();
}

} // namespace cv
