#pragma once
// One row of the investment status: an investment account (its holdings
// below it), one security held in it (the trades that make it up below it),
// or the total row (no node). The figures sit in numbered slots:
//
//   slot  holding row                        account row / total row
//   0     units held at the report date      -
//   1     units acquired                     -
//   2     book cost, average-cost basis      -
//   3     commissions                        sum of the holdings' (total: in the default currency)
//   4     book cost when 1 is not 0, else 0  sum of the holdings'
//   5     price at the report date           -
//   6     market value (5 x 0)               sum of the holdings'

#include "model/Node.h"

#include <QtGlobal>

#include <array>
#include <memory>
#include <vector>

namespace cv {

class Trade;

class InvestmentStatusRow {
public:
    static constexpr int kSlots = 10;

    InvestmentStatusRow() = default;
    // `account`: the investment account a holding row belongs to.
    explicit InvestmentStatusRow(NodePtr unit, int account = 0) : m_unit(std::move(unit)), m_account(account) {}

    const NodePtr &unit() const { return m_unit; }
    bool isTotal() const { return !m_unit; }
    int account() const { return m_account; }

    // An account row's holdings; a holding row's trades.
    std::vector<std::shared_ptr<InvestmentStatusRow>> &holdings() { return m_holdings; }
    const std::vector<std::shared_ptr<InvestmentStatusRow>> &holdings() const { return m_holdings; }
    std::vector<std::shared_ptr<Trade>> &trades() { return m_trades; }
    const std::vector<std::shared_ptr<Trade>> &trades() const { return m_trades; }

    double value(int slot) const { return inRange(slot) ? m_values[size_t(slot)] : 0; }
    void setValue(double value, int slot)
    {
        if (inRange(slot)) m_values[size_t(slot)] = value;
    }
    void addValue(double value, int slot)
    {
        if (inRange(slot)) m_values[size_t(slot)] += value;
    }

private:
    static bool inRange(int slot)
    {
        Q_ASSERT(slot >= 0 && slot < kSlots);
        return slot >= 0 && slot < kSlots;
    }

    NodePtr m_unit; // shared with the document's tree; none for the total
    int m_account = 0;
    std::vector<std::shared_ptr<InvestmentStatusRow>> m_holdings;
    std::vector<std::shared_ptr<Trade>> m_trades; // this report's own copies from the store
    std::array<double, kSlots> m_values{};
};

using InvestmentStatusRowPtr = std::shared_ptr<InvestmentStatusRow>;

} // namespace cv
