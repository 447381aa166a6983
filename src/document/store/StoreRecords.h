#pragma once
// What the store's finders take and answer, apart from the store itself, so
// that readers of the book need not know how it is kept.

#include <QDate>
#include <QList>
#include <QStringList>

#include <memory>
#include <vector>

namespace cv {

class Entry;
class Trade;
class DatedPrice;
using EntryPtr = std::shared_ptr<Entry>;
using TradePtr = std::shared_ptr<Trade>;
using DatedPricePtr = std::shared_ptr<DatedPrice>;

// Conditions of an entry and trade search. Each field stands for the key of
// the same name; an empty list is a key that is not given.
struct SearchConditions {
    QList<QDate> date;       // from, and to (one date: that day only)
    QList<int> account;      // account idents: the entry's account or destination
    QList<int> tradeAccount; // investment account idents: the trade's account or settlement account
    QList<int> category;     // category idents
    QList<double> value;     // low, and high (one number: exactly that); +-infinity leave an end open
    QList<int> group;        // grouping idents
    QStringList memo;        // LIKE patterns: "%" and "_" are wildcards, ASCII letters ignore case
    bool memoAnd = false;    // "cond": every memo text must match (otherwise any)
};

// An entry or a trade of a combined search result.
struct SearchRecord {
    EntryPtr entry;
    TradePtr trade;
    QDate date() const;
};

using EntryList = std::vector<EntryPtr>;
using TradeList = std::vector<TradePtr>;
using PriceList = std::vector<DatedPricePtr>;

} // namespace cv
