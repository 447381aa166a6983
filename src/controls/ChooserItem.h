#pragma once
// One entry of a chooser list: a tree node, a grouping, a security or a trade
// kind. List nodes may be deep copies whose parents are plain pointers, so an
// item also holds the top-level entry it came from: handing an item out keeps
// the whole copied tree alive even when the list is filled again.

#include "model/Security.h"
#include "model/Grouping.h"
#include "model/Node.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace cv {

class CommandRow;

class ChooserItem {
public:
    ChooserItem() = default;
    static ChooserItem fromNode(NodePtr node, std::shared_ptr<const void> keep = nullptr);
    static ChooserItem fromGrouping(GroupingPtr grouping);
    static ChooserItem fromSecurity(SecurityPtr security);
    static ChooserItem fromTradeKind(TradeKind kind);

    bool isNull() const { return !m_node && !m_grouping && !m_security && !m_tradeKind; }
    explicit operator bool() const { return !isNull(); }

    const NodePtr &node() const { return m_node; }
    const GroupingPtr &grouping() const { return m_grouping; }
    const SecurityPtr &security() const { return m_security; }
    std::optional<TradeKind> tradeKind() const { return m_tradeKind; }
    // The command row, when the item is one.
    std::shared_ptr<CommandRow> command() const;

    // The name shown for the item; null for a trade kind (its data source names it).
    QString name() const;
    // The ident of a node, grouping or security, the number of a trade kind.
    int ident() const;
    // Same node (Node::isEqual), same grouping or security ident, same trade kind.
    bool sameAs(const ChooserItem &other) const;
    // What keeps the item's tree alive: the list entry it hangs below, else the item.
    std::shared_ptr<const void> keepAlive() const { return m_keep ? m_keep : m_node; }

private:
    NodePtr m_node;
    GroupingPtr m_grouping;
    SecurityPtr m_security;
    std::optional<TradeKind> m_tradeKind;
    std::shared_ptr<const void> m_keep; // the list entry a copied node hangs below
};

// The owner's end handler: runs once with the picked item after the chooser closed.
using ChooserEndHandler = std::function<void(const ChooserItem &)>;

} // namespace cv
