#include "controls/PopupDataSource.h"

#include "model/DomainEnums.h"
#include "controls/CommandUnitModel.h"
#include "platform/Assert.h"

#include <QLoggingCategory>

namespace cv {

namespace {

// The first node of the subtree equal to the given one (same object, or same
// ident and kind): owners may name the document's node or the list's copy.
CVUnitModelPtr findEqual(const CVUnitModelPtr &tree, const CVUnitModel &node)
{
    CVUnitModelPtr found;
    tree->reduce([&](CVUnitModel &candidate) {
        if (&candidate != &node && !node.isEqual(candidate)) return false;
        found = candidate.shared_from_this();
        return true;
    });
    return found;
}

} // namespace

PopupDataSource::PopupDataSource(QObject *parent) : QAbstractItemModel(parent) {}

void PopupDataSource::setDocument(CV4Document *doc, int)
{
    beginFill(doc);
    endFill();
}

void PopupDataSource::beginFill(CV4Document *doc)
{
    beginResetModel();
    m_doc = doc;
    m_root.clear();
    m_excluded.reset();
}

void PopupDataSource::endFill()
{
    reindex();
    endResetModel();
}

void PopupDataSource::appendDuringFill(const ChooserItem &item)
{
    if (item) m_root.push_back(item);
}

void PopupDataSource::appendObject(const ChooserItem &item)
{
    if (!item) return;
    const int row = int(m_root.size());
    beginInsertRows(QModelIndex(), row, row);
    m_root.push_back(item);
    reindex();
    endInsertRows();
}

void PopupDataSource::reindex()
{
    m_topRow.clear();
    for (int row = 0; row < int(m_root.size()); ++row)
        if (m_root[row].node()) m_topRow.insert(m_root[row].node().get(), row);
}

ChooserItem PopupDataSource::objectWithIdentifier(int ident) const
{
    for (const ChooserItem &entry : m_root) {
        if (!entry.node()) continue;
        if (CVUnitModelPtr found = entry.node()->findMemberWithIdent(ident))
            return ChooserItem::fromNode(found, entry.keepAlive());
    }
    return ChooserItem();
}

QString PopupDataSource::stringForObjectValue(const ChooserItem &item) const
{
    return item.name();
}

std::optional<ChooserItem> PopupDataSource::getObjectValue(const QString &text) const
{
    for (const ChooserItem &entry : m_root) {
        if (!entry.node()) continue;
        if (CVUnitModelPtr found = entry.node()->findMemberWithName(text))
            return ChooserItem::fromNode(found, entry.keepAlive());
    }
    return std::nullopt;
}

void PopupDataSource::putIntoData(const CVUnitModelPtr &node)
{
    if (CVUnitModelPtr insert = nodeForInsertion(node)) appendDuringFill(ChooserItem::fromNode(insert));
}

CVUnitModelPtr PopupDataSource::nodeForInsertion(const CVUnitModelPtr &node) const
{
    if (!node || !m_excluded) return node;
    if (node->isEqual(m_excluded.get())) return nullptr;
    CVUnitModelPtr copy = node->deepCopy();
    if (CVUnitModelPtr inCopy = findEqual(copy, *m_excluded); inCopy && inCopy != copy) copy->removeMember(*inCopy);
    return copy;
}

void PopupDataSource::exclude(const CVUnitModelPtr &node)
{
    if (!node) return;
    if (!m_excluded) m_excluded = node;
    beginResetModel();
    for (int row = int(m_root.size()) - 1; row >= 0; --row) {
        const CVUnitModelPtr entry = m_root[row].node();
        if (!entry) continue;
        if (entry == node || entry->isEqual(node.get())) {
            m_root.erase(m_root.begin() + row);
            break;
        }
        if (findEqual(entry, *node)) {
            CVUnitModelPtr copy = entry->deepCopy();
            if (CVUnitModelPtr inCopy = findEqual(copy, *node)) copy->removeMember(*inCopy);
            m_root[row] = ChooserItem::fromNode(copy);
        }
    }
    reindex();
    endResetModel();
}

void PopupDataSource::restrictKey(const QString &key, const QVariant &value)
{
    beginResetModel();
    for (int row = int(m_root.size()) - 1; row >= 0; --row) {
        const ChooserItem &entry = m_root[row];
        if (entry.command()) continue;
        if (entry.brand()) {
            if (key == QLatin1String("currency") && QVariant(entry.brand()->currency()) != value)
                m_root.erase(m_root.begin() + row);
            continue;
        }
        CVUnitModelPtr node = entry.node();
        if (!node) continue;
        if (node->kind() == NodeKind::Investment || node->countChild() == 0) {
            if (node->valueForKey(key) != value) m_root.erase(m_root.begin() + row);
            continue;
        }
        bool copied = false;
        while (CVUnitModelPtr found = node->findMemberWithoutValue(value, key)) {
            if (found == node) {
                m_root.erase(m_root.begin() + row);
                break;
            }
            if (!copied) {
                node = node->deepCopy();
                m_root[row] = ChooserItem::fromNode(node);
                copied = true;
                continue;   // find again in the copy
            }
            if (!node->removeMember(*found)) break;
        }
    }
    reindex();
    endResetModel();
}

bool PopupDataSource::isExpandable(const ChooserItem &item)
{
    if (!item.node()) return false;
    const auto kind = item.node()->kind();
    return kind == NodeKind::Group || kind == NodeKind::SectionRoot || kind == NodeKind::Report;
}

ChooserItem PopupDataSource::itemForIndex(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this) return ChooserItem();
    auto *node = static_cast<CVUnitModel *>(index.internalPointer());
    if (!node) {
        if (index.row() < 0 || index.row() >= int(m_root.size())) return ChooserItem();
        return m_root[index.row()];
    }
    const auto top = m_topRow.constFind(node);
    if (top != m_topRow.constEnd()) return m_root[*top];
    const CVUnitModel *up = node;
    while (up && !m_topRow.contains(up)) up = up->parent();
    CV_ASSERT_OR(up, return ChooserItem());
    return ChooserItem::fromNode(node->shared_from_this(), m_root[m_topRow.value(up)].keepAlive());
}

QModelIndex PopupDataSource::index(int row, int column, const QModelIndex &parent) const
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

QModelIndex PopupDataSource::indexForNode(CVUnitModel *node) const
{
    const auto top = m_topRow.constFind(node);
    if (top != m_topRow.constEnd()) return createIndex(*top, 0, node);
    return createIndex(node->index(), 0, node);
}

QModelIndex PopupDataSource::parent(const QModelIndex &child) const
{
    auto *node = static_cast<CVUnitModel *>(child.internalPointer());
    if (!child.isValid() || !node || m_topRow.contains(node) || !node->parent()) return QModelIndex();
    return indexForNode(node->parent());
}

int PopupDataSource::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid()) return int(m_root.size());
    const ChooserItem item = itemForIndex(parent);
    return isExpandable(item) ? item.node()->countChild() : 0;
}

int PopupDataSource::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant PopupDataSource::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole) return QVariant();
    return stringForObjectValue(itemForIndex(index));
}

bool PopupDataSource::findDepthFirst(const QModelIndex &parent, const ChooserItem &value, QModelIndex &found) const
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

QModelIndex PopupDataSource::indexOfItem(const ChooserItem &value) const
{
    QModelIndex found;
    if (value) findDepthFirst(QModelIndex(), value, found);
    return found;
}

} // namespace cv
