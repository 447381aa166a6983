#pragma once
// One row of an input panel: an entry, a trade, a dated price or a budget
// category, held by identity. Panels ask for their own record type; the base
// reaches only the edit flags and the date, which every dated record has.

#include "model/CV4Actual.h"
#include "model/CV4PriceTime.h"
#include "model/CV4Trade.h"
#include "model/CVUnitModel.h"

#include <QDate>

#include <type_traits>
#include <variant>

namespace cv {

namespace detail {
// Records with edit flags and a date.
template <class Ref> constexpr bool isDatedRow()
{
    using T = std::decay_t<Ref>;
    return std::is_same_v<T, CV4ActualPtr> || std::is_same_v<T, CV4TradePtr> || std::is_same_v<T, CV4PriceTimePtr>;
}
}  // namespace detail

class PanelRow {
public:
    PanelRow() = default;
    PanelRow(std::nullptr_t) {}
    PanelRow(CV4ActualPtr entry) { if (entry) m_row = std::move(entry); }
    PanelRow(CV4TradePtr trade) { if (trade) m_row = std::move(trade); }
    PanelRow(CV4PriceTimePtr price) { if (price) m_row = std::move(price); }
    PanelRow(CVUnitModelPtr category) { if (category) m_row = std::move(category); }

    explicit operator bool() const { return m_row.index() != 0; }
    friend bool operator==(const PanelRow &a, const PanelRow &b) { return a.m_row == b.m_row; }

    // Null when the row holds another kind of record.
    CV4ActualPtr actual() const { return get<CV4ActualPtr>(); }
    CV4TradePtr trade() const { return get<CV4TradePtr>(); }
    CV4PriceTimePtr price() const { return get<CV4PriceTimePtr>(); }
    CVUnitModelPtr category() const { return get<CVUnitModelPtr>(); }

    // A budget category has neither flags nor a date.
    int flags() const
    {
        return std::visit([](const auto &r) -> int {
            if constexpr (detail::isDatedRow<decltype(r)>()) return r->flags();
            else return 0;
        }, m_row);
    }
    void setFlags(int flags) const
    {
        std::visit([flags](const auto &r) {
            if constexpr (detail::isDatedRow<decltype(r)>()) r->setFlags(flags);
        }, m_row);
    }
    QDate date() const
    {
        return std::visit([](const auto &r) -> QDate {
            if constexpr (detail::isDatedRow<decltype(r)>()) return r->date();
            else return {};
        }, m_row);
    }
    void setDate(const QDate &date) const
    {
        std::visit([&date](const auto &r) {
            if constexpr (detail::isDatedRow<decltype(r)>()) r->setDate(date);
        }, m_row);
    }

private:
    template <class T> T get() const
    {
        const T *held = std::get_if<T>(&m_row);
        return held ? *held : nullptr;
    }

    std::variant<std::monostate, CV4ActualPtr, CV4TradePtr, CV4PriceTimePtr, CVUnitModelPtr> m_row;
};

}  // namespace cv
