#pragma once
// The texts of the printed viewer, eighteen per row. The twelve month
// columns are M0..M11 from the top date's month, each under its own month's
// name: accounts show the balance at each month's end after the carry-over
// (the balance the day before M0), categories each month's total and, as the
// total, the sum of exactly those twelve months. Under a fiscal first day a
// month runs from that day to the day before it in the next month, for the
// balances as for the totals, so that every column reconciles.

#include "model/Node.h"

#include <QDate>
#include <QStringList>

#include <array>
#include <optional>

namespace cv {

class ReadOnlyBook;

class ViewerPrintRow {
public:
    static constexpr int kMonths = 12;
    static constexpr int kCells = 18;

    struct AccountValues {
        double carry = 0;
        std::array<double, kMonths> months{};
        double rest = 0;               // at the end of the last printed month
        std::optional<double> percent; // of the nearest root above, at the same day
    };
    struct CategoryValues {
        std::array<double, kMonths> months{};
        double total = 0;
        std::optional<double> budget; // income and expense items with a budget
        std::optional<double> budgetPercent;
        std::optional<double> share; // of the nearest root above
    };

    explicit ViewerPrintRow(const QDate &topDate);

    QDate monthStart(int month) const;
    // `fiscalDay` is the settings' fiscal day of the month (0: the 1st).
    QDate monthEnd(int month, int fiscalDay = 0) const;
    QDate carryDate(int fiscalDay = 0) const { return monthEnd(-1, fiscalDay); }

    AccountValues accountValues(ReadOnlyBook &document, const Node &node) const;
    CategoryValues categoryValues(ReadOnlyBook &document, const Node &node) const;

    QStringList accountHeader() const;
    QStringList categoryHeader() const;
    QStringList accountCells(ReadOnlyBook &document, const Node &node) const;
    QStringList categoryCells(ReadOnlyBook &document, const Node &node) const;

private:
    static NodePtr shared(const Node &node);
    double monthsTotal(ReadOnlyBook &document, const NodePtr &node) const;

    QDate m_first; // first day of M0
};

} // namespace cv
