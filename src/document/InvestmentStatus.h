#pragma once
// The investment status at one date: for every investment account, each
// security it holds with units, average-cost book cost, commissions, price,
// market value and gain, the trades since the holding last returned to zero,
// and a total row in the default currency. Built once per date (the transfer
// prices of the listed trades too), read by the page and its print.

#include "document/AmountText.h"
#include "document/InvestmentStatusRow.h"

#include <QDate>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace cv {

class Book;

class InvestmentStatus {
public:
    enum Level { TotalLevel = -1, AccountLevel = 0, HoldingLevel = 1, TradeLevel = 2 };
    enum Column {
        Name,
        Kind,
        Prefix,
        Units,
        UnitPrice,
        Amount,
        Commission,
        BookCost,
        Price,
        MarketValue,
        Gain,
        Memo,
        ColumnCount
    };
    enum Slot { UnitsSlot, AcquiredSlot, CostSlot, CommissionSlot, BookCostSlot, PriceSlot, MarketSlot };

    // One shown or printed row: an account, holding or total row, or a trade
    // below its holding.
    struct Row {
        int level = AccountLevel;
        const InvestmentStatusRow *item = nullptr;    // account, holding or total
        const Trade *trade = nullptr;                 // trade rows
        const InvestmentStatusRow *holding = nullptr; // a trade row's holding
    };

    explicit InvestmentStatus(const Book &document) : m_document(document) {}

    // Rebuilds every row for the date.
    void build(const QDate &date);
    const QDate &date() const { return m_date; }
    // The account rows, then the total row.
    const std::vector<InvestmentStatusRowPtr> &items() const { return m_items; }

    // The average unit cost in the giving account just before the transfer
    // trade; kept from the build for the trades it lists.
    double transferPrice(int account, int security, int tradeIdent) const;

    // The number a cell shows; none for a cell without one. Converting
    // multiplies by the rate of the row's currency at the report date.
    std::optional<double> value(int column, const Row &row, bool convert) const;
    // The text of a cell (negative gains in the negative colour).
    AmountDisplay text(int column, const Row &row, bool convert) const;
    // The twelve printed texts of a row.
    QStringList texts(const Row &row, bool convert) const;
    // Units with up to six decimals, trailing zeros dropped; padded to two.
    static QString frac6String(double value, bool padZeroes);

private:
    InvestmentStatusRowPtr collectAccount(const NodePtr &account);
    void collect(const NodePtr &node);
    InvestmentStatusRowPtr collectHolding(const NodePtr &holding, int account);
    double computeTransferPrice(int account, int security, int tradeIdent, int depth) const;
    double rateAt(int currency) const;
    int rowCurrency(const Row &row) const;
    std::optional<cv::SecurityKind> securityKind(const Row &row) const;
    double transferPriceOf(const Trade &trade) const;

    const Book &m_document;
    QDate m_date;
    std::vector<InvestmentStatusRowPtr> m_items;
    std::map<int, double> m_transferPrices; // by trade ident, for this build
};

} // namespace cv
