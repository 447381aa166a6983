#pragma once
// The store of one open document: the document file (a gzip stream of the
// magic "KAVRICV4" and an SQLite 3 database), the working copy of that
// database, its schema and every statement on it. Every edit goes to the
// working copy at once; only save() writes the document file.

#include "document/store/AccountEntryCounts.h"
#include "document/CategoryRows.h"
#include "document/store/StoreRecords.h"
#include "model/DomainEnums.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace cv {

class BookChanges;
class SQLDatabase3;
class SQLResult;
class SQLValue;

class BookStore {
public:
    // Ids of the info rows.
    enum InfoId {
        InfoAccount = 1,
        InfoCategory = 2,
        InfoCurrency = 3,
        InfoSecurity = 4,
        InfoGroup = 5,
        InfoSettings = 100,
        InfoPrintSettings = 101,
        InfoImportFirst = 102,
        InfoImportLast = 106,
    };

    // `document` receives the change marks; it may be null and is not owned.
    explicit BookStore(BookChanges *document = nullptr);
    ~BookStore();
    BookStore(const BookStore &) = delete;
    BookStore &operator=(const BookStore &) = delete;

    // ---- document file and working copy
    // Expands the document file into the working copy and opens it. False
    // (and no working file left) for a missing or unreadable file, a wrong
    // magic, a damaged stream or a database that does not open.
    bool open(const QString &path, bool *upgraded = nullptr);
    // Packs the working copy into the document file (with `mode` where given,
    // else the replaced file's) and reopens it. The file is replaced only when
    // the new one is completely written; on failure the old file is untouched,
    // the working copy stays open and usable, and the answer is false. A null
    // path only closes and reopens.
    bool save(const QString &path, std::optional<unsigned> mode = std::nullopt);
    // Why the last open or save failed, in the user's words.
    const QString &failure() const { return m_failure; }
    void close();
    bool isOpen() const { return m_isOpen; }
    bool vacuum();
    void setChanged(bool changed);
    const QString &workingPath() const { return m_workingPath; }
    SQLDatabase3 *database() const { return m_database.get(); }

    // Day numbers: whole days since 2001-01-01; an invalid date answers 0.
    int getRefDays(const QDate &date) const;
    QDate makeDate(int days) const;

    // ---- schema, transactions, info and loan rows
    // Opens a new working copy and creates the six tables and their indexes.
    bool create();
    // Bulk work (imports, clean-ups, rewrites) runs between these two; they
    // nest, and only the outermost pair commits.
    bool beginTransaction();
    bool commitTransaction();
    // Ends the outermost transaction without keeping anything written in it.
    void rollbackTransaction();
    bool inTransaction() const;
    // Why the first write that failed since the last clear failed, as far as
    // the user can act on it.
    enum class WriteFailure {
        None,   // no write failed
        NoRoom, // the working copy's disk is full
        Held,   // another program holds the working copy
        Other,
    };
    WriteFailure writeFailure() const;
    void clearWriteFailure();
    // Whether the store answers a read: another program may hold it so that
    // not even that waits its turn.
    bool isReadable();

    // Info rows hold keyed archives (stored as Base64 text). A get answers a
    // null QByteArray when the row is missing or unreadable.
    bool putAccountData(const QByteArray &archive);
    QByteArray getAccountData();
    bool putCategoryData(const QByteArray &archive);
    QByteArray getCategoryData();
    bool putCurrencyData(const QByteArray &archive);
    QByteArray getCurrencyData();
    bool putSecurityData(const QByteArray &archive);
    QByteArray getSecurityData();
    bool putGroupData(const QByteArray &archive);
    QByteArray getGroupData();
    bool putSettingsData(const QByteArray &archive);
    QByteArray getSettingsData();
    // Does not mark the document changed; null data writes nothing.
    bool putPrintSettings(const QByteArray &archive);
    QByteArray getPrintSettings();
    // Learned import mappings, ids 102 to 106.
    bool putImportMappingData(const QByteArray &archive, int dataType);
    QByteArray getImportMappingData(int dataType);

    // A loan account's repayment schedule.
    bool putLoanData(int ident, const QByteArray &archive);
    // Null when the loan has no schedule text; empty (not null) when the text
    // is no Base64.
    QByteArray getLoanData(int ident);
    // Every loan ident with a schedule row; none when the table cannot be read.
    std::optional<QList<int>> loanIdents();
    // The greatest ident the stored rows refer to (0 for none), so that a new
    // security, grouping or currency never inherits rows of a lost one.
    int greatestSecurityReference();
    int greatestGroupReference();
    int greatestCurrencyReference();

    // ---- entries
    // Writes an entry: with `old`, only the columns that differ (the date
    // always, the kind never); without, an insert (a new entry, ident -1,
    // gets its row id as ident; any other ident replaces that row). False when
    // the statement fails; a failed insert leaves the ident at -1.
    bool putEntry(const EntryPtr &entry, const EntryPtr &old = nullptr);
    bool putIncome(const EntryPtr &entry, const EntryPtr &old = nullptr);
    bool putExpense(const EntryPtr &entry, const EntryPtr &old = nullptr);
    bool removeEntry(const EntryPtr &entry);
    bool removeIncome(const EntryPtr &entry) { return removeEntry(entry); }
    bool removeExpense(const EntryPtr &entry) { return removeEntry(entry); }
    // Bulk moves and deletes leave the change mark to the caller.
    bool removeEntriesByCategory(int category);
    bool removeIncomeByCategory(int category) { return removeEntriesByCategory(category); }
    bool removeExpenseByCategory(int category) { return removeEntriesByCategory(category); }
    bool removeEntriesForAccount(int account);
    bool moveEntry(int oldCategory, int newCategory);
    bool moveEntryGrouping(int oldGroup, int newGroup);

    // Finders answer std::nullopt when the statement fails.
    using EntryList = cv::EntryList;
    using TradeList = cv::TradeList;
    using PriceList = cv::PriceList;

    std::optional<EntryList> findEntriesByDate(const QDate &date);
    // Entries of the period and categories, by day then id. An invalid from or
    // to date sets no date condition; an empty category list answers none.
    std::optional<EntryList> findEntriesFrom(const QDate &from, const QDate &to, const QList<int> &categories);
    // One category; category 0 answers none.
    std::optional<EntryList> findEntriesFrom(const QDate &from, const QDate &to, int category);
    std::optional<EntryList> findIncomeFrom(const QDate &from, const QDate &to, int category)
    {
        return findEntriesFrom(from, to, category);
    }
    std::optional<EntryList> findExpenseFrom(const QDate &from, const QDate &to, int category)
    {
        return findEntriesFrom(from, to, category);
    }
    std::optional<EntryList> findTransferFrom(const QDate &from, const QDate &to, int category)
    {
        return findEntriesFrom(from, to, category);
    }
    std::optional<EntryList> findTransferFrom(const QDate &from, const QDate &to, const QList<int> &categories)
    {
        return findEntriesFrom(from, to, categories);
    }
    // Fast records for the balance cache: date, account, destination, amount
    // and converted only; the category and (with a destination) the kind are
    // the ones given; ident -1.
    std::optional<EntryList> findEntriesByCategory(int category, cv::EntryKind kind);
    std::optional<EntryList> findIncomeByCategory(int category)
    {
        return findEntriesByCategory(category, cv::EntryKind::Income);
    }
    std::optional<EntryList> findExpenseByCategory(int category)
    {
        return findEntriesByCategory(category, cv::EntryKind::Expense);
    }
    std::optional<EntryList> findTransferByCategory(int category)
    {
        return findEntriesByCategory(category, cv::EntryKind::Transfer);
    }
    // The same rows as the three finders above for every category at once,
    // without a record per row: what a full rebuild of the cache reads.
    std::optional<BalanceCacheRows> readCacheRows();
    // Every entry for the XML form in one pass; none when the table does not read.
    std::optional<ExportEntries> readExportEntries();
    // Number of entries carrying any of the groupings; 0 for none, -1 when the
    // store cannot be read.
    int getDataCountForGroup(const QList<int> &groups);
    // Entries meeting every condition, by date.
    std::optional<EntryList> findEntry(const SearchConditions &conditions);
    // The same entries handed one at a time in a reused record, read typed:
    // for readers of many rows. False when the read failed.
    bool forEachEntry(const SearchConditions &conditions, const std::function<void(const Entry &)> &visit);
    // How many entries the account has in each week from `firstWeek` to
    // `lastWeek` (AccountEntryCounts::weekOfDay), as the conditions
    // {account} find them; none when the store cannot be read. Kept current
    // by this store's own writes, read once otherwise.
    std::optional<std::vector<int>> entriesPerWeek(int account, int firstWeek, int lastWeek);
    // Entries and trades meeting the conditions, by date (entries before
    // trades on one date).
    std::vector<SearchRecord> findAccounts(const SearchConditions &conditions);

    // ---- trades
    // Writes a trade as putEntry writes an entry (here the kind is updated too).
    bool putTrade(const TradePtr &trade, const TradePtr &old = nullptr);
    bool removeTrade(const TradePtr &trade);
    std::optional<TradeList> findTradeByAccount(int account, int security);
    std::optional<TradeList> findTradeBySourceAccount(int account, int security);
    // Trades of the period (an invalid date leaves that end open), of the
    // account (as account or settlement account; -1 any), of the security
    // (-1 any) and of the kinds whose bit is set in `kinds` (0 any); by date
    // then id.
    std::optional<TradeList> findTradeFrom(const QDate &from, const QDate &to, int account, int security,
                                           quint32 kinds);
    bool removeTradeByAccount(int account, int security);
    bool removeTradeForSecurity(int security);
    bool removeTradeByAccount(int account);
    bool removeTradeByTransfer(int account);

    // ---- prices and exchange rates: one value per security (currency) and day
    bool putPrice(const DatedPricePtr &price);
    bool removePrice(const DatedPricePtr &price);
    std::optional<PriceList> getPriceListForSecurity(int security);
    bool removePriceForSecurity(int security);
    bool putExchangeRate(const DatedPricePtr &rate);
    bool removeExchangeRate(const DatedPricePtr &rate);
    std::optional<PriceList> getRateListForCurrency(int currency);
    bool removeRatesOfCurrency(int currency);

private:
    bool openDatabase();
    bool reopen();
    bool saveThroughLog(const QString &path, std::optional<unsigned> mode);
    void removeWorkingFile();

    bool putInfo(int id, const QByteArray &archive);
    QByteArray getInfo(int id);
    int greatestReference(const QString &table, const QString &column);
    std::unique_ptr<SQLResult> query(const QString &sql, const QStringList &texts = {});
    bool run(const QString &sql, const QStringList &texts = {});
    bool runAndMark(const QString &sql, const QStringList &texts = {});
    // An update of one record: false when no stored row has its ident.
    bool runUpdate(const QString &sql, const QStringList &texts);
    // A row write through a kept statement, for the statements run once per row.
    bool execute(const QString &sql, std::span<const SQLValue> values);
    // A number that is no number has no stored text: the write fails.
    bool refuseNonFinite(const QString &table);
    // The row id of the row just inserted into `table` as an ident; a row whose
    // id is no usable ident (a damaged file's) is taken out again.
    std::optional<int> insertedIdent(const QString &table);
    // Inserts one record through its two kept statements: `values` start with
    // the ident, left out for a new record (ident below 0). Answers the ident
    // the record has now.
    std::optional<int> insertRecord(const QString &table, int ident, const QString &insertNew,
                                    const QString &insertGiven, std::span<const SQLValue> values);
    EntryList makeEntries(const SQLResult &result) const;
    TradeList makeTrades(const SQLResult &result) const;
    bool putRate(const DatedPricePtr &price, const QString &table);
    bool removeRate(const DatedPricePtr &price, const QString &table);
    std::optional<PriceList> getRateListForKey(int key, const QString &table);
    bool removeRateForKey(int key, const QString &table);
    // Conditions are built by the store itself; values travel in `texts`. An
    // empty condition selects every trade.
    std::optional<TradeList> findTradeIf(const QString &condition, const QStringList &texts = {});
    bool removeTradeIf(const QString &condition);

    // The week counts follow a write only when they exist; a write they
    // cannot follow drops them and the next ask reads them again.
    struct StoredPlace {
        int day;
        int account;
        int destination;
    };
    std::optional<StoredPlace> storedPlace(int ident);
    bool readWeekCounts();
    void forgetWeekCounts() { m_weekCounts.reset(); }

    std::unique_ptr<SQLDatabase3> m_database;
    std::optional<cv::AccountEntryCounts> m_weekCounts; // none until read
    bool m_isOpen = false;
    BookChanges *m_document = nullptr;
    QString m_workingPath;
    QString m_failure; // the last open's or save's, for the user
};

} // namespace cv
