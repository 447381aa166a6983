#pragma once
// The reads of every entry at once: one scan of the entry table in table
// order, the columns read straight off the statement, no record per row.

#include "document/AccountEntryCounts.h"
#include "document/CV4CategoryRows.h"

#include <optional>

class SQLDatabase3;

namespace cv {

class EntryTableReader {
public:
    explicit EntryTableReader(SQLDatabase3 &database) : m_database(database) {}

    // What the balance cache reads of each entry; none when the table does
    // not read. Every row, whatever its category, is counted into `counts`.
    std::optional<CV4CacheRows> cacheRows(AccountEntryCounts *counts = nullptr);
    // Every entry for the XML form; none when the table does not read.
    std::optional<CV4ExportEntries> exportEntries();
    // Every row counted by account and week, for a store whose counts were
    // dropped; none when the table does not read.
    std::optional<AccountEntryCounts> weekCounts();

private:
    size_t entryCount();   // rows of the entry table; 0 when unknown

    SQLDatabase3 &m_database;
};

} // namespace cv
