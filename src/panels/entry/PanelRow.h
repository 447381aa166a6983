#pragma once
// One row of an input panel: an entry, a trade, a dated price or a budget
// category, held by identity. Panels ask for their own record type; the base
// reaches only the edit flags and the date, which every dated record has.

#include "model/Entry.h"
#include "model/DatedPrice.h"
#include "model/Trade.h"
#include "model/Node.h"

#include <QDate>

#include <type_traits>
#include <variant>

namespace cv {

namespace detail {
// Records with edit flags and a date.
template <class Ref> constexpr bool isDatedRow()
{
    using T = std::decay_t<Ref>;
    return std::is_same_v<T, EntryPtr> || std::is_same_v<T, TradePtr> || std::is_same_v<T, DatedPricePtr>;
}
} // namespace detail

class PanelRow {
public:
    PanelRow() = default;
    PanelRow(std::nullptr_t) {}
    PanelRow(EntryPtr entry)
    {
        if (entry) m_row = std::move(entry);
    }
    PanelRow(TradePtr trade)
    {
        if (trade) m_row = std::move(trade);
    }
    PanelRow(DatedPricePtr price)
    {
        if (price) m_row = std::move(price);
    }
    PanelRow(NodePtr category)
    {
        if (category) m_row = std::move(category);
    }

    explicit operator bool() const { return m_row.index() != 0; }
    friend bool operator==(const PanelRow &a, const PanelRow &b) { return a.m_row == b.m_row; }

    // Null when the row holds another kind of record.
    EntryPtr entry() const { return get<EntryPtr>(); }
    TradePtr trade() const { return get<TradePtr>(); }
    DatedPricePtr price() const { return get<DatedPricePtr>(); }
    NodePtr category() const { return get<NodePtr>(); }

    // A budget category has neither flags nor a date.
    int flags() const
    {
        return std::visit(
            [](const auto &r) -> int {
                if constexpr (detail::isDatedRow<decltype(r)>())
                    return r->flags();
                else
                    return 0;
            },
            m_row);
    }
    void setFlags(int flags) const
    {
        std::visit(
            [flags](const auto &r) {
                if constexpr (detail::isDatedRow<decltype(r)>()) r->setFlags(flags);
            },
            m_row);
    }
    QDate date() const
    {
        return std::visit(
            [](const auto &r) -> QDate {
                if constexpr (detail::isDatedRow<decltype(r)>())
                    return r->date();
                else
                    return {};
            },
            m_row);
    }
    void setDate(const QDate &date) const
    {
        std::visit(
            [&date](const auto &r) {
                if constexpr (detail::isDatedRow<decltype(r)>()) r->setDate(date);
            },
            m_row);
    }

private:
    template <class T> T get() const
    {
        const T *held = std::get_if<T>(&m_row);
        return held ? *held : nullptr;
    }

    std::variant<std::monostate, EntryPtr, TradePtr, DatedPricePtr, NodePtr> m_row;
};

} // namespace cv
