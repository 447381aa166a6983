#include "controls/TickTree.h"

#include "controls/ButtonStatusClient.h"
#include "model/DomainEnums.h"
#include "document/Book.h"
#include "model/ExtraInterfaces.h"
#include "platform/Localization.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QScrollBar>

namespace cv {

// The outline's view of the two trees; it reads everything live from the nodes.
class TickTree::Model : public QAbstractItemModel {
public:
    explicit Model(TickTree *view) : QAbstractItemModel(view), m_view(view) {}

    static bool isInvestment(const Node *node) { return node->kind() == NodeKind::Investment; }

    QModelIndex index(int row, int column, const QModelIndex &parent) const override
    {
        if (row < 0 || column < 0 || column >= 3) return QModelIndex();
        if (!parent.isValid()) {
            if (row >= 2 || !m_view->m_root[row]) return QModelIndex();
            return createIndex(row, column, m_view->m_root[row].get());
        }
        const Node *node = m_view->nodeAt(parent);
        if (!node || isInvestment(node) || row >= node->countChild()) return QModelIndex();
        return createIndex(row, column, node->childAt(row).get());
    }

    QModelIndex parent(const QModelIndex &child) const override
    {
        const Node *node = m_view->nodeAt(child);
        if (!node || isRoot(node) || !node->parent()) return QModelIndex();
        Node *up = node->parent();
        return createIndex(isRoot(up) ? rootRow(up) : up->index(), 0, up);
    }

    int rowCount(const QModelIndex &parent) const override
    {
        if (!parent.isValid()) return (m_view->m_root[0] && m_view->m_root[1]) ? 2 : 0;
        if (parent.column() != 0) return 0;
        const Node *node = m_view->nodeAt(parent);
        return !node || isInvestment(node) ? 0 : node->countChild();
    }

    int columnCount(const QModelIndex &) const override { return 3; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const Node *node = m_view->nodeAt(index);
        if (!node) return QVariant();
        const bool ticked = node->status() != 0;
        switch (index.column()) {
        case 0:
            if (role == Qt::CheckStateRole) return ticked ? Qt::Checked : Qt::Unchecked;
            if (role == Qt::DisplayRole) return displayName(*node);
            return QVariant();
        case 1:
            if (role == Qt::DisplayRole && m_view->m_useAccounts) return m_view->kindName(*node);
            return QVariant();
        case 2:
            if (role == Qt::DisplayRole && ticked) return displayName(*node);
            return QVariant();
        default: return QVariant();
        }
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        const Node *node = m_view->nodeAt(index);
        if (!node) return Qt::NoItemFlags;
        // A ticked leaf cannot be selected.
        if (node->status() != 0 && rowCount(index.siblingAtColumn(0)) == 0) return Qt::ItemIsEnabled;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

    void refresh()
    {
        Q_EMIT layoutAboutToBeChanged();
        Q_EMIT layoutChanged();
    }

    void resetAll()
    {
        beginResetModel();
        endResetModel();
    }

private:
    bool isRoot(const Node *node) const { return node == m_view->m_root[0].get() || node == m_view->m_root[1].get(); }
    int rootRow(const Node *node) const { return node == m_view->m_root[0].get() ? 0 : 1; }
    QString displayName(const Node &node) const
    {
        return m_view->m_doc ? m_view->m_doc->displayName(node) : node.name();
    }

    TickTree *m_view;
};

TickTree::TickTree(QWidget *parent) : ToggleOutlineView(parent), m_model(new Model(this))
{
    setModel(m_model);
    setToggleClient(this);
    setHeaderHidden(true); // the columns have no titles
    // Names are shown whole; a narrow sheet scrolls sideways instead.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    // The ticked names' column takes only their room, never a default width
    // that pushes the kinds behind a sideways scroll.
    header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
}

TickTree::~TickTree()
{
    setModel(nullptr);
}

QSize TickTree::sizeHint() const
{
    QSize hint = ToggleOutlineView::sizeHint();
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < m_model->columnCount(QModelIndex()); ++column)
        if (!isColumnHidden(column)) width += sizeHintForColumn(column);
    // A very long name still scrolls rather than push the sheet off the screen.
    hint.setWidth(std::max(hint.width(), std::min(width, 480)));
    return hint;
}

Node *TickTree::nodeAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != m_model) return nullptr;
    return static_cast<Node *>(index.internalPointer());
}

QModelIndex TickTree::indexOfNode(const Node *node) const
{
    if (!node) return QModelIndex();
    if (node == m_root[0].get()) return m_model->index(0, 0, QModelIndex());
    if (node == m_root[1].get()) return m_model->index(1, 0, QModelIndex());
    const QModelIndex parent = indexOfNode(node->parent());
    return parent.isValid() ? m_model->index(node->index(), 0, parent) : QModelIndex();
}

void TickTree::setDocument(Book *doc, bool selectAccounts)
{
    m_doc = doc;
    m_useAccounts = selectAccounts;
    m_root = {};
    if (doc && selectAccounts && doc->accountTrees())
        m_root = {doc->accountTrees()->asset(), doc->accountTrees()->debt()};
    else if (doc && !selectAccounts && doc->categoryTrees())
        m_root = {doc->categoryTrees()->income(), doc->categoryTrees()->expense()};
    if (!m_root[0] || !m_root[1]) m_root = {};
    for (const NodePtr &root : m_root)
        if (root) SetChildAllStatus(*root, 0);
    m_model->resetAll();
    setColumnHidden(1, !selectAccounts);
    expandItem(QModelIndex(), true);
    updateGeometry();
}

void TickTree::SetChildAllStatus(Node &node, int value)
{
    for (const NodePtr &child : node.children()) SetChildAllStatus(*child, value);
    node.setStatus(value);
}

void TickTree::SetParentAllStatus(Node &node, int value)
{
    for (Node *up = node.parent(); up; up = up->parent()) up->setStatus(value);
}

void TickTree::toggleItem(const QModelIndex &index)
{
    if (Node *node = nodeAt(index)) toggleNode(*node);
}

void TickTree::toggleNode(Node &node)
{
    applyToggle(node);
    refresh();
    if (auto *client = dynamic_cast<ButtonStatusClient *>(window())) client->updateButtons();
}

void TickTree::applyToggle(Node &node)
{
    if (node.status() == 0) {
        SetChildAllStatus(node, 1);
        Node *parent = node.parent();
        if (parent && parent->status() == 0) {
            const auto &siblings = parent->children();
            if (std::all_of(siblings.begin(), siblings.end(), [](const NodePtr &c) { return c->allStatus(); }))
                applyToggle(*parent);
        }
    } else {
        SetChildAllStatus(node, 0);
        SetParentAllStatus(node, 0);
    }
}

void TickTree::refresh()
{
    m_model->refresh();
    reload();
}

std::vector<NodePtr> TickTree::selectedNodes() const
{
    std::vector<NodePtr> out;
    for (const NodePtr &root : m_root)
        if (root) collect(out, root);
    return out;
}

void TickTree::collect(std::vector<NodePtr> &out, const NodePtr &node) const
{
    if (node->status() == 1 && node->kind() == NodeKind::Investment) {
        out.push_back(node);
    } else if (node->deepStatus() != 0) {
        if (node->countChild() == 0)
            out.push_back(node);
        else
            for (const NodePtr &child : node->children()) collect(out, child);
    }
}

std::vector<NodePtr> TickTree::selectedAccounts(bool wantInvest) const
{
    std::vector<NodePtr> out;
    for (const NodePtr &root : m_root)
        if (root) collect(out, root, wantInvest);
    return out;
}

void TickTree::collect(std::vector<NodePtr> &out, const NodePtr &node, bool wantInvest) const
{
    if (node->deepStatus() == 0) return;
    if (node->kind() == NodeKind::Investment) {
        if (wantInvest) out.push_back(node);
    } else if (node->countChild() > 0) {
        for (const NodePtr &child : node->children()) collect(out, child, wantInvest);
    } else if (!wantInvest) {
        out.push_back(node);
    }
}

void TickTree::deselectAllNodes()
{
    for (const NodePtr &node : selectedNodes()) {
        SetChildAllStatus(*node, 0);
        SetParentAllStatus(*node, 0);
    }
    refresh();
}

QString TickTree::kindName(const Node &node) const
{
    return kindName(m_doc.data(), node);
}

QString TickTree::kindName(const ReadOnlyBook *doc, const Node &node)
{
    const char *key = nullptr;
    switch (node.kind()) {
    case NodeKind::CashPart: key = "Report-Type-Invest-Cache"; break;
    case NodeKind::Holding: {
        const auto *extra = dynamic_cast<const SecurityExtra *>(node.extra().get());
        const SecurityPtr security = extra && doc ? doc->findSecurity(extra->security()) : nullptr;
        return security ? security->kindName() : QString();
    }
    case NodeKind::Cash: key = "Report-Type-Asset-Cache"; break;
    case NodeKind::Bank: key = "Report-Type-Asset-Bank"; break;
    case NodeKind::Investment: key = "Report-Type-Asset-Invest"; break;
    case NodeKind::GeneralAsset:
    case NodeKind::GeneralDebt: key = "Report-Type-General"; break;
    case NodeKind::CreditCard: key = "Report-Type-Debt-Card"; break;
    case NodeKind::Loan: key = "Report-Type-Debt-Loan"; break;
    default: return QString();
    }
    return localizedString(key);
}

} // namespace cv
