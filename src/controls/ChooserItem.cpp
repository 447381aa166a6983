#include "controls/ChooserItem.h"

#include "controls/CommandRow.h"

namespace cv {

ChooserItem ChooserItem::fromNode(NodePtr node, std::shared_ptr<const void> keep)
{
    ChooserItem item;
    item.m_node = std::move(node);
    item.m_keep = std::move(keep);
    return item;
}

ChooserItem ChooserItem::fromGrouping(GroupingPtr grouping)
{
    ChooserItem item;
    item.m_grouping = std::move(grouping);
    return item;
}

ChooserItem ChooserItem::fromSecurity(SecurityPtr security)
{
    ChooserItem item;
    item.m_security = std::move(security);
    return item;
}

ChooserItem ChooserItem::fromTradeKind(TradeKind kind)
{
    ChooserItem item;
    item.m_tradeKind = kind;
    return item;
}

std::shared_ptr<CommandRow> ChooserItem::command() const
{
    return std::dynamic_pointer_cast<CommandRow>(m_node);
}

QString ChooserItem::name() const
{
    if (m_node) return m_node->name();
    if (m_grouping) return m_grouping->name();
    if (m_security) return m_security->name();
    return QString();
}

int ChooserItem::ident() const
{
    if (m_node) return m_node->ident();
    if (m_grouping) return m_grouping->ident();
    if (m_security) return m_security->ident();
    return m_tradeKind ? raw(*m_tradeKind) : 0;
}

bool ChooserItem::sameAs(const ChooserItem &other) const
{
    if (m_node) return other.m_node && m_node->isEqual(other.m_node.get());
    if (m_grouping) return other.m_grouping && m_grouping->ident() == other.m_grouping->ident();
    if (m_security) return other.m_security && m_security->ident() == other.m_security->ident();
    if (m_tradeKind) return other.m_tradeKind == m_tradeKind;
    return false;
}

} // namespace cv
