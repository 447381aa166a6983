#pragma once
// The reads of every entry at once: one scan of the entry table in table
// order, the columns read straight off the statement, no record per row.

#include "document/store/AccountEntryCounts.h"
#include "document/CategoryRows.h"

#include <functional>
#include <optional>
#include <vector>

namespace cv {

class SQLDatabase3;

// What a report sums of an entry: every column but the memo.
struct EntryMove {
    int kind = 0;
    int day = 0; // day number
    int account = 0;
    int destination = 0; // with `converted`, a transfer's only: 0 for other kinds
    int category = 0;
    int group = 0; // kNoGroup when the column holds no number
    double amount = 0;
    double converted = 0;
    static constexpr int kNoGroup = -2147483647 - 1;
    // What a read fills besides the kind, day, accounts and amounts.
    enum Columns { Amounts, Categories, CategoriesAndGroups };
};

// Rows a reader already holds the sums of, left out of a period's read:
// income and expense of these accounts (sorted) outside the kept categories.
struct SettledMoves {
    std::vector<int> accounts;
    std::vector<int> keptCategories;
};

class EntryTableReader {
public:
    explicit EntryTableReader(SQLDatabase3 &database) : m_database(database) {}

    // What the balance cache reads of each entry; none when the table does
    // not read. Every row, whatever its category, is counted into `counts`.
    std::optional<BalanceCacheRows> cacheRows(AccountEntryCounts *counts = nullptr);
    // Every entry for the XML form; none when the table does not read.
    std::optional<ExportEntries> exportEntries();
    // Every row counted by account and week, for a store whose counts were
    // dropped; none when the table does not read.
    std::optional<AccountEntryCounts> weekCounts();
    // The entries of the days from `firstDay` to `lastDay`, one at a time in
    // no set order, but those `settled` names; false when the table does not read.
    bool periodMoves(int firstDay, int lastDay, EntryMove::Columns columns,
                     const std::function<void(const EntryMove &)> &visit, const SettledMoves *settled = nullptr);

private:
    size_t entryCount(); // rows of the entry table; 0 when unknown

    SQLDatabase3 &m_database;
};

} // namespace cv
