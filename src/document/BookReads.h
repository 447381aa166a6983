#pragma once
// The book's stored records as windows read them: entries, trades, prices
// and rates, searches. Reads only; every change goes through Book.
// The document owns one over its store and hands it out.

#include "document/store/EntryTableReader.h"
#include "document/store/StoreRecords.h"

#include <QByteArray>
#include <QDate>
#include <QList>

#include <functional>
#include <optional>
#include <vector>

namespace cv {

class BookStore;

class BookReads {
public:
    explicit BookReads(BookStore &store) : m_store(store) {}
    BookReads(const BookReads &) = delete;
    BookReads &operator=(const BookReads &) = delete;

    // Each answers none when the store could not be read.
    // Entries of the period and categories (one category: 0 answers none),
    // by day then id; an invalid date leaves that end open.
    std::optional<EntryList> findEntriesFrom(const QDate &from, const QDate &to, const QList<int> &categories) const;
    std::optional<EntryList> findEntriesFrom(const QDate &from, const QDate &to, int category) const;
    // Entries meeting every condition, by date.
    std::optional<EntryList> findEntry(const SearchConditions &conditions) const;
    // The same entries handed one at a time in a reused record, for readers
    // of many rows. False when the read failed.
    bool forEachEntry(const SearchConditions &conditions, const std::function<void(const Entry &)> &visit) const;
    // The period's entries as reports sum them (no memo, no record), one at
    // a time in no set order, but those `settled` names. False when the read failed.
    bool readPeriodMoves(const QDate &from, const QDate &to, EntryMove::Columns columns,
                         const std::function<void(const EntryMove &)> &visit,
                         const SettledMoves *settled = nullptr) const;
    // An account book read week by week: the account's stored entries (as
    // account or destination) in each week, Monday to Sunday, from the week
    // of `from` to that of `to`; and the entries of some days, by date then
    // ident, in one reused record (false when the read failed).
    std::optional<std::vector<int>> accountEntriesPerWeek(int account, const QDate &from, const QDate &to) const;
    bool readAccountEntries(int account, const QDate &from, const QDate &to,
                            const std::function<void(const Entry &)> &visit) const;
    // Entries and trades meeting the conditions, by date (entries first on a date).
    std::vector<SearchRecord> findAccounts(const SearchConditions &conditions) const;
    // Number of entries carrying any of the groupings; -1 when unreadable.
    int getDataCountForGroup(const QList<int> &groups) const;

    // Trades of the period, of the account (-1 any), of the security (-1 any)
    // and of the kinds whose bit is set in `kinds` (0 any); by date then id.
    std::optional<TradeList> findTradeFrom(const QDate &from, const QDate &to, int account, int security,
                                           quint32 kinds) const;

    std::optional<PriceList> getPriceListForSecurity(int security) const;
    std::optional<PriceList> getRateListForCurrency(int currency) const;

    // A learned import mapping (ids 102 to 106); null when there is none.
    QByteArray getImportMappingData(int record) const;

private:
    BookStore &m_store;
};

} // namespace cv
