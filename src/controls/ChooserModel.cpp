#include "controls/ChooserModel.h"

#include "model/DomainEnums.h"
#include "controls/CommandRow.h"
#include "platform/Assert.h"
#include "platform/Localization.h"

#include <QLoggingCategory>

namespace cv {

namespace {

// The first node of the subtree equal to the given one (same object, or same
// ident and kind): owners may name the document's node or the list's copy.
NodePtr findEqual(const NodePtr &tree, const Node &node)
{
    NodePtr found;
    tree->reduce([&](Node &candidate) {
        if (&candidate != &node && !node.isEqual(candidate)) return false;
        found = candidate.shared_from_this();
        return true;
    });
    return found;
}

} // namespace

ChooserModel::ChooserModel(QObject *parent) : QAbstractItemModel(parent) {}

void ChooserModel::setDocument(Book *doc, int)
{
    beginFill(doc);
    endFill();
}

void ChooserModel::beginFill(Book *doc)
{
    beginResetModel();
    m_doc = doc;
    m_root.clear();
    m_excluded.reset();
}

void ChooserModel::endFill()
{
    reindex();
    endResetModel();
}

void ChooserModel::appendDuringFill(const ChooserItem &item)
{
    if (item) m_root.push_back(item);
}

void ChooserModel::appendObject(const ChooserItem &item)
{
    if (!item) return;
    const int row = int(m_root.size());
    beginInsertRows(QModelIndex(), row, row);
    m_root.push_back(item);
    reindex();
    endInsertRows();
}

void ChooserModel::reindex()
{
    m_topRow.clear();
    for (int row = 0; row < int(m_root.size()); ++row)
        if (m_root[row].node()) m_topRow.insert(m_root[row].node().get(), row);
}

ChooserItem ChooserModel::objectWithIdentifier(int ident) const
{
    for (const ChooserItem &entry : m_root) {
        if (!entry.node()) continue;
        if (NodePtr found = entry.node()->findMemberWithIdent(ident))
            return ChooserItem::fromNode(found, entry.keepAlive());
    }
    return ChooserItem();
}

QString ChooserModel::stringForObjectValue(const ChooserItem &item) const
{
    // A transfer item's stored name is its string key ("SYS:Asset2Debt").
    const Node *node = item.node().get();
    if (node && isSystemNameKind(node->kind()) && node->name().startsWith(QLatin1String("SYS:")))
        return localizedString(node->name());
    return item.name();
}

std::optional<ChooserItem> ChooserModel::getObjectValue(const QString &text) const
{
    for (const ChooserItem &entry : m_root) {
        if (!entry.node()) continue;
        if (NodePtr found = entry.node()->findMemberWithName(text))
            return ChooserItem::fromNode(found, entry.keepAlive());
    }
    return std::nullopt;
}

void ChooserModel::putIntoData(const NodePtr &node)
{
    if (NodePtr insert = nodeForInsertion(node)) appendDuringFill(ChooserItem::fromNode(insert));
}

NodePtr ChooserModel::nodeForInsertion(const NodePtr &node) const
{
    if (!node || !m_excluded) return node;
    if (node->isEqual(m_excluded.get())) return nullptr;
    NodePtr copy = node->deepCopy();
    if (NodePtr inCopy = findEqual(copy, *m_excluded); inCopy && inCopy != copy) copy->removeMember(*inCopy);
    return copy;
}

void ChooserModel::exclude(const NodePtr &node)
{
    if (!node) return;
    if (!m_excluded) m_excluded = node;
    beginResetModel();
    for (int row = int(m_root.size()) - 1; row >= 0; --row) {
        const NodePtr entry = m_root[row].node();
        if (!entry) continue;
        if (entry == node || entry->isEqual(node.get())) {
            m_root.erase(m_root.begin() + row);
            break;
        }
        if (findEqual(entry, *node)) {
            NodePtr copy = entry->deepCopy();
            if (NodePtr inCopy = findEqual(copy, *node)) copy->removeMember(*inCopy);
            m_root[row] = ChooserItem::fromNode(copy);
        }
    }
    reindex();
    endResetModel();
}

void ChooserModel::restrictKey(const QString &key, const QVariant &value)
{
    beginResetModel();
    for (int row = int(m_root.size()) - 1; row >= 0; --row) {
        const ChooserItem &entry = m_root[row];
        if (entry.command()) continue;
        if (entry.security()) {
            if (key == QLatin1String("currency") && QVariant(entry.security()->currency()) != value)
                m_root.erase(m_root.begin() + row);
            continue;
        }
        NodePtr node = entry.node();
        if (!node) continue;
        if (node->kind() == NodeKind::Investment || node->countChild() == 0) {
            if (node->valueForKey(key) != value) m_root.erase(m_root.begin() + row);
            continue;
        }
        bool copied = false;
        while (NodePtr found = node->findMemberWithoutValue(value, key)) {
            if (found == node) {
                m_root.erase(m_root.begin() + row);
                break;
            }
            if (!copied) {
                node = node->deepCopy();
                m_root[row] = ChooserItem::fromNode(node);
                copied = true;
                continue; // find again in the copy
            }
            if (!node->removeMember(*found)) break;
        }
    }
    reindex();
    endResetModel();
}

bool ChooserModel::isExpandable(const ChooserItem &item)
{
    if (!item.node()) return false;
    const auto kind = item.node()->kind();
    return kind == NodeKind::Group || kind == NodeKind::SectionRoot || kind == NodeKind::Report;
}

ChooserItem ChooserModel::itemForIndex(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this) return ChooserItem();
    auto *node = static_cast<Node *>(index.internalPointer());
    if (!node) {
        if (index.row() < 0 || index.row() >= int(m_root.size())) return ChooserItem();
        return m_root[index.row()];
    }
    const auto top = m_topRow.constFind(node);
    if (top != m_topRow.constEnd()) return m_root[*top];
    const Node *up = node;
    while (up && !m_topRow.contains(up)) up = up->parent();
    CV_ASSERT_OR(up, return ChooserItem());
    return ChooserItem::fromNode(node->shared_from_this(), m_root[m_topRow.value(up)].keepAlive());
}

QModelIndex ChooserModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0) return QModelIndex();
    if (!parent.isValid()) {
        if (row >= int(m_root.size())) return QModelIndex();
        return createIndex(row, 0, m_root[row].node().get());
    }
    const ChooserItem item = itemForIndex(parent);
    if (!isExpandable(item) || row >= item.node()->countChild()) return QModelIndex();
    return createIndex(row, 0, item.node()->childAt(row).get());
}

QModelIndex ChooserModel::indexForNode(Node *node) const
{
    const auto top = m_topRow.constFind(node);
    if (top != m_topRow.constEnd()) return createIndex(*top, 0, node);
    return createIndex(node->index(), 0, node);
}

QModelIndex ChooserModel::parent(const QModelIndex &child) const
{
    auto *node = static_cast<Node *>(child.internalPointer());
    if (!child.isValid() || !node || m_topRow.contains(node) || !node->parent()) return QModelIndex();
    return indexForNode(node->parent());
}

int ChooserModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid()) return int(m_root.size());
    const ChooserItem item = itemForIndex(parent);
    return isExpandable(item) ? item.node()->countChild() : 0;
}

int ChooserModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant ChooserModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole) return QVariant();
    return stringForObjectValue(itemForIndex(index));
}

bool ChooserModel::findDepthFirst(const QModelIndex &parent, const ChooserItem &value, QModelIndex &found) const
{
    const int rows = rowCount(parent);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex child = index(row, 0, parent);
        if (itemForIndex(child).sameAs(value)) {
            found = child;
            return true;
        }
        if (findDepthFirst(child, value, found)) return true;
    }
    return false;
}

QModelIndex ChooserModel::indexOfItem(const ChooserItem &value) const
{
    QModelIndex found;
    if (value) findDepthFirst(QModelIndex(), value, found);
    return found;
}

} // namespace cv
