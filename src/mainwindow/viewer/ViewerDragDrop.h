#pragma once
// Rearranging the viewer's trees by dragging rows, without widgets: which
// rows may be dragged, where a drop may land (and where it really lands: a
// drop onto a folder goes to its end, onto an account before it), and the
// move itself with its cache refresh and commit.
//
// Accounts and folders move within their own top-level tree; holdings only
// among the holdings of their investment account, after its cash part. A
// category dropped onto a category turns the target into a folder; when the
// target has entries, a new folder of its name takes its place and holds it
// first. A folder left empty turns back into a category. The two system
// transfer rows after the category summaries stay last.
//
//     ViewerDragDrop drag(document, ViewerDragDrop::Categories);
//     drag.writeItems({food, rent});               // false: not draggable
//     if (drag.validateDrop(expense, 3)) drag.acceptDrop(expense, 3);

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace cv {

class Book;
class Node;
using NodePtr = std::shared_ptr<Node>;

class ViewerDragDrop {
public:
    enum Grid { Accounts, Categories };
    // Where a validated drop lands: the index in the target's own children.
    struct Drop {
        NodePtr target;
        int index = 0;
    };

    ViewerDragDrop(Book &document, Grid grid) : m_document(document), m_grid(grid) {}

    // "CVv1-DragDropAccount" or "CVv1-DragDropActual".
    static QString mimeType(Grid grid);
    QString mimeType() const { return mimeType(m_grid); }

    // A drag starts with these nodes (the first leads); false, and no drag,
    // when any of them may not be moved.
    bool writeItems(const std::vector<NodePtr> &nodes);
    // The nodes of the drag under way (empty: none, or one went away).
    std::vector<NodePtr> draggedNodes() const;
    void endDrag() { m_dragged.clear(); }

    // A drop onto `proposed` (index -1) or before its child `index`; none
    // when refused.
    std::optional<Drop> validateDrop(const NodePtr &proposed, int index) const;
    // Moves the dragged nodes there, refreshes the cache and commits the
    // tree; false, with nothing changed, when the drop is refused.
    bool acceptDrop(const NodePtr &proposed, int index);

    // Whether both nodes hang in the same top-level tree.
    static bool shareRoot(const Node &a, const Node &b);

private:
    bool mayDrag(const Node &node) const;
    std::optional<Drop> retarget(const NodePtr &proposed, int index) const;

    Book &m_document; // not owned; outlives this
    Grid m_grid;
    std::vector<std::weak_ptr<Node>> m_dragged; // the drag's nodes, lead first; not owned
};

} // namespace cv
