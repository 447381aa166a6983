#include "mainwindow/viewer/ViewerDragDrop.h"

#include "document/Book.h"
#include "document/EditScope.h"
#include "model/CategoryTrees.h"
#include "model/Node.h"
#include "model/DomainEnums.h"

#include <algorithm>
#include <optional>

namespace cv {

namespace {
bool isRootKind(NodeKind kind)
{
    return kind <= NodeKind::Report;
}

// A node whose ancestor is dragged too travels inside it.
bool hasDraggedAncestor(const Node &node, const std::vector<NodePtr> &nodes)
{
    for (const Node *up = node.parent(); up; up = up->parent()) {
        if (std::any_of(nodes.begin(), nodes.end(), [up](const NodePtr &n) { return n.get() == up; })) return true;
    }
    return false;
}
} // namespace

QString ViewerDragDrop::mimeType(Grid grid)
{
    return grid == Accounts ? QStringLiteral("CVv1-DragDropAccount") : QStringLiteral("CVv1-DragDropActual");
}

bool ViewerDragDrop::shareRoot(const Node &a, const Node &b)
{
    return const_cast<Node &>(a).root() == const_cast<Node &>(b).root();
}

bool ViewerDragDrop::mayDrag(const Node &node) const
{
    // Roots, system items and the cash part of an investment account stay.
    if (!node.parent() || node.kind() < NodeKind::Holding) return false;
    return m_grid == Accounts || node.ident() > kLastSystemIdent;
}

bool ViewerDragDrop::writeItems(const std::vector<NodePtr> &nodes)
{
    m_dragged.clear();
    if (nodes.empty() || !nodes.front()) return false;
    std::vector<std::weak_ptr<Node>> dragged;
    std::vector<const Node *> seen;
    for (const NodePtr &node : nodes) {
        if (!node || !mayDrag(*node) || !shareRoot(*node, *nodes.front())) return false;
        if (std::find(seen.begin(), seen.end(), node.get()) != seen.end()) continue;
        seen.push_back(node.get());
        dragged.push_back(node);
    }
    m_dragged = std::move(dragged);
    return true;
}

std::vector<NodePtr> ViewerDragDrop::draggedNodes() const
{
    std::vector<NodePtr> nodes;
    for (const auto &weak : m_dragged) {
        NodePtr node = weak.lock();
        // A node that left its tree meanwhile ends the drag.
        if (!node || !node->parent()) return {};
        nodes.push_back(std::move(node));
    }
    return nodes;
}

std::optional<ViewerDragDrop::Drop> ViewerDragDrop::retarget(const NodePtr &proposed, int index) const
{
    const auto kind = proposed->kind();
    if (index >= 0) return Drop{proposed, index};
    if (isRootKind(kind)) return Drop{proposed, 0};
    if (kind == NodeKind::Group || (m_grid == Categories && kind == NodeKind::Category))
        return Drop{proposed, proposed->countChild()};
    Node *parent = proposed->parent();
    if (!parent) return std::nullopt;
    return Drop{parent->shared_from_this(), proposed->index()};
}

std::optional<ViewerDragDrop::Drop> ViewerDragDrop::validateDrop(const NodePtr &proposed, int index) const
{
    const std::vector<NodePtr> nodes = draggedNodes();
    if (!proposed || nodes.empty()) return std::nullopt;
    const std::optional<Drop> drop = retarget(proposed, index);
    if (!drop) return std::nullopt;
    const Node &target = *drop->target;
    const auto kind = target.kind();
    if (drop->index < 0) return std::nullopt;

    // Never into another tree, never into a dragged node or below it.
    for (const NodePtr &node : nodes) {
        if (!shareRoot(*node, target) || proposed->hasAncestor(node.get()) || target.hasAncestor(node.get()))
            return std::nullopt;
    }

    if (m_grid == Accounts) {
        if (!isRootKind(kind) && kind != NodeKind::Group && kind != NodeKind::Investment) return std::nullopt;
        if (drop->index > target.countChild()) return std::nullopt;
        if (kind == NodeKind::Investment) {
            // Holdings only move among their siblings, and the cash part stays first.
            const bool siblings = std::all_of(nodes.begin(), nodes.end(), [&target](const NodePtr &n) {
                return n->kind() == NodeKind::Holding && n->parent() == &target;
            });
            if (!siblings || drop->index == 0) return std::nullopt;
        } else if (std::any_of(nodes.begin(), nodes.end(),
                               [](const NodePtr &n) { return n->kind() == NodeKind::Holding; })) {
            return std::nullopt;
        }
        return drop;
    }

    if (!isRootKind(kind) && kind != NodeKind::Group && kind != NodeKind::Category) return std::nullopt;
    if (kind == NodeKind::Category && target.ident() <= kLastSystemIdent) return std::nullopt;
    // Past the summaries' own rows come the two system transfer rows, which stay last.
    if (drop->index > target.countChild()) return std::nullopt;
    return drop;
}

bool ViewerDragDrop::acceptDrop(const NodePtr &proposed, int index)
{
    const std::optional<Drop> drop = validateDrop(proposed, index);
    if (!drop) return false;
    std::vector<NodePtr> nodes = draggedNodes();
    std::erase_if(nodes, [&nodes](const NodePtr &n) { return hasDraggedAncestor(*n, nodes); });

    NodePtr target = drop->target;
    int at = drop->index;
    const CategoryTreesPtr &model = m_document.categoryTrees();
    // The entries stay with the category: a folder of its name takes its place.
    const bool newFolder = m_grid == Categories && target->kind() == NodeKind::Category &&
                           m_document.hasCache(target) && model && target->parent();
    const std::optional<int> folderIdent = newFolder ? model->uniqueId() : std::nullopt;
    if (newFolder && !folderIdent) {
        tellNoIdentLeft(QStringLiteral("Ident-Limit-Category"));
        return false;
    }
    EditScope edit(m_document);
    if (m_grid == Categories && target->kind() == NodeKind::Category) {
        if (newFolder) {
            auto folder = std::make_shared<Node>();
            folder->setKind(NodeKind::Group);
            folder->setName(target->name());
            folder->setIdent(*folderIdent);
            target->parent()->insertChild(folder, target->index());
            folder->appendChild(target);
            target = folder;
            at = 1;
        }
        target->setKind(NodeKind::Group);
    }

    for (Node *n = target.get(); n; n = n->parent()) n->setCollapsed(false);
    m_document.moveNodes(nodes, target, at);
    m_dragged.clear();
    return true;
}

} // namespace cv
