#pragma once
// One row of a report. A report builds all its rows once from the document;
// every figure a row prints, running values included (balances, sums,
// subtotals, section totals), is worked out then and kept in the row, so a
// page drawn alone, twice or out of order prints the same as in a full run.
//
// Levels: 0 and up are data rows (the depth below the top node in tree
// reports); the negative codes below are shared by every report; -9 to -40
// are private to one report and mean something only in its own drawing.

#include "model/Entry.h"
#include "model/Security.h"
#include "model/Trade.h"
#include "model/Node.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace cv {

struct ReportRow {
    enum SharedLevel { Blank = -1, PageBreak = -2, Rule = -3, ThinRule = -4 };
    static constexpr float kRowHeight = 14;
    static constexpr float kRuleHeight = 4;

    int level = 0;
    float height = kRowHeight; // points the row takes on the page

    // What the row shows; a report fills only what it needs.
    NodePtr node;               // account, category, holding or root
    EntryPtr entry;             // an entry
    TradePtr trade;             // a trade
    SecurityPtr security;       // a security
    std::vector<double> values; // amounts, running values, shares, in the report's own order
    QStringList texts;          // texts fixed when the row was built
    int number = 0;             // a count or code of the report's own

    ReportRow() = default;
    ReportRow(int level, float height, NodePtr node = nullptr, std::vector<double> values = {})
        : level(level), height(height), node(std::move(node)), values(std::move(values))
    {
    }

    bool isShared() const { return level <= Blank && level >= ThinRule; }
    double value(size_t index) const { return index < values.size() ? values[index] : 0.0; }
};

} // namespace cv
