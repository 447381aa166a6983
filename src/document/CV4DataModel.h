#pragma once
// The store of one open document: the document file (a gzip stream of the
// magic "KAVRICV4" and an SQLite 3 database), the working copy of that
// database, its schema and every statement on it. Every edit goes to the
// working copy at once; only save() writes the document file.

#include "document/StoreRecords.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class CV4DocumentChanges;
class SQLDatabase3;
class SQLResult;
class SQLValue;
class CV4Actual;
class CV4Trade;
class CV4PriceTime;
using CV4ActualPtr = std::shared_ptr<CV4Actual>;
using CV4TradePtr = std::shared_ptr<CV4Trade>;
using CV4PriceTimePtr = std::shared_ptr<CV4PriceTime>;

// The rows of one category, in the order their table holds them grouped: a
// view into a CV4CategoryRows.
template <class Row> class CV4CategoryRowRange {
public:
    class Iterator {
    public:
        const Row &operator*() const { return m_rows[*m_at]; }
        Iterator &operator++()
        {
            ++m_at;
            // A group's rows lie scattered over the table: fetching ahead keeps
            // the walk from waiting on memory at every row.
            if (m_end - m_at > kAhead) __builtin_prefetch(m_rows + m_at[kAhead]);
            return *this;
        }
        bool operator!=(const Iterator &other) const { return m_at != other.m_at; }

    private:
        friend class CV4CategoryRowRange;
        static constexpr std::ptrdiff_t kAhead = 16;
        Iterator(const Row *rows, const quint32 *at, const quint32 *end) : m_rows(rows), m_at(at), m_end(end)
        {
            for (std::ptrdiff_t i = 0; i < std::min(kAhead, m_end - m_at); ++i) __builtin_prefetch(m_rows + m_at[i]);
        }
        const Row *m_rows;
        const quint32 *m_at;
        const quint32 *m_end;
    };

    CV4CategoryRowRange(const Row *rows, std::span<const quint32> order) : m_rows(rows), m_order(order) {}
    size_t size() const { return m_order.size(); }
    const Row &operator[](size_t i) const { return m_rows[m_order[i]]; }
    Iterator begin() const { return {m_rows, m_order.data(), m_order.data() + m_order.size()}; }
    Iterator end() const { return {m_rows, m_order.data() + m_order.size(), m_order.data() + m_order.size()}; }

private:
    const Row *m_rows;
    std::span<const quint32> m_order;
};

// Rows read in one pass over a table, in table order, grouped by category
// through an index array (an eighth of a second copy of the rows). Row has an
// int member `category`.
template <class Row> class CV4CategoryRows {
public:
    CV4CategoryRowRange<Row> rowsForCategory(int category) const
    {
        const auto group = std::lower_bound(m_groups.begin(), m_groups.end(), category,
                                            [](const Group &g, int c) { return g.category < c; });
        if (group == m_groups.end() || group->category != category) return {m_rows.data(), {}};
        return {m_rows.data(), std::span<const quint32>(m_order).subspan(group->begin, group->end - group->begin)};
    }
    size_t size() const { return m_rows.size(); }

protected:
    friend class CV4DataModel;
    struct Group {
        int category;
        quint32 begin;   // into m_order
        quint32 end;
    };
    // Groups the rows read so far by category, keeping table order inside each group.
    void group();
    // Sorts each group by `less`, keeping table order among equals.
    template <class Less> void sortGroups(const Less &less)
    {
        for (const Group &g : m_groups)
            std::stable_sort(m_order.begin() + g.begin, m_order.begin() + g.end,
                             [&](quint32 a, quint32 b) { return less(m_rows[a], m_rows[b]); });
    }

    std::vector<Row> m_rows;        // table order
    std::vector<quint32> m_order;   // indices of m_rows by category, then table order
    std::vector<Group> m_groups;    // by category
};

// The columns of one entry that the balance cache reads, as stored.
struct CV4CacheRow {
    int category = 0;
    int day = 0;            // day number
    int account = 0;
    int destination = 0;
    double amount = 0;
    double converted = 0;
};
using CV4CacheRowRange = CV4CategoryRowRange<CV4CacheRow>;

// Every entry's cache columns, read in one pass over the entry table.
class CV4CacheRows : public CV4CategoryRows<CV4CacheRow> {
public:
    // Day numbers of the earliest and the latest row; none without rows.
    std::optional<std::pair<int, int>> days() const { return m_days; }

private:
    friend class CV4DataModel;
    std::optional<std::pair<int, int>> m_days;
};

// One stored entry as the whole-document XML form writes it; the memo is its
// stored bytes in the list's memo buffer.
struct CV4ExportEntry {
    int ident = 0;
    int kind = 0;
    int day = 0;            // day number
    int category = 0;
    int account = 0;
    int destination = 0;
    int group = 0;
    quint32 memoBegin = 0;   // into CV4ExportEntries' memo bytes
    quint32 memoSize = 0;
    double amount = 0;
    double converted = 0;
};

// Every entry, read in one pass in table order, grouped by category and each
// group in date, then ident order (what "ORDER BY date,id" of one category answers).
class CV4ExportEntries : public CV4CategoryRows<CV4ExportEntry> {
public:
    // The memo's stored bytes (UTF-8, or Latin-1 text from a damaged file).
    QByteArrayView memo(const CV4ExportEntry &entry) const
    {
        return QByteArrayView(m_memos.constData() + entry.memoBegin, entry.memoSize);
    }

private:
    friend class CV4DataModel;
    QByteArray m_memos;   // every memo's bytes, one after another
};

class CV4DataModel {
public:
    // Ids of the info rows.
    enum InfoId {
        InfoAccount = 1,
        InfoActual = 2,
        InfoCurrency = 3,
        InfoBrand = 4,
        InfoGroup = 5,
        InfoSettings = 100,
        InfoPrintInfo = 101,
        InfoImportFirst = 102,
        InfoImportLast = 106,
    };

    // `document` receives the change marks; it may be null and is not owned.
    explicit CV4DataModel(CV4DocumentChanges *document = nullptr);
    ~CV4DataModel();
    CV4DataModel(const CV4DataModel &) = delete;
    CV4DataModel &operator=(const CV4DataModel &) = delete;

    // ---- document file and working copy
    // Expands the document file into the working copy and opens it. False
    // (and no working file left) for a missing or unreadable file, a wrong
    // magic, a damaged stream or a database that does not open.
    bool open(const QString &path, bool *upgraded = nullptr);
    // Packs the working copy into the document file and reopens it. The file
    // is replaced only when the new one is completely written; on failure the
    // old file is untouched, the working copy stays open and usable, and the
    // answer is false. A null path only closes and reopens.
    bool save(const QString &path);
    void close();
    bool isOpen() const { return m_isOpen; }
    void vacuum();
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

    // Info rows hold keyed archives (stored as Base64 text). A get answers a
    // null QByteArray when the row is missing or unreadable.
    bool putAccountData(const QByteArray &archive);
    QByteArray getAccountData();
    bool putActualData(const QByteArray &archive);
    QByteArray getActualData();
    bool putCurrencyData(const QByteArray &archive);
    QByteArray getCurrencyData();
    bool putBrandData(const QByteArray &archive);
    QByteArray getBrandData();
    bool putGroupData(const QByteArray &archive);
    QByteArray getGroupData();
    bool putSettingsData(const QByteArray &archive);
    QByteArray getSettingsData();
    // Does not mark the document changed; null data writes nothing.
    bool putPrintInfo(const QByteArray &archive);
    QByteArray getPrintInfo();
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
    int greatestBrandReference();
    int greatestGroupReference();
    int greatestCurrencyReference();

    // ---- entries
    // Writes an entry: with `old`, only the columns that differ (the date
    // always, the kind never); without, an insert (a new entry, ident -1,
    // gets its row id as ident; any other ident replaces that row). False when
    // the statement fails; a failed insert leaves the ident at -1.
    bool putActual(const CV4ActualPtr &entry, const CV4ActualPtr &old = nullptr);
    bool putIncome(const CV4ActualPtr &entry, const CV4ActualPtr &old = nullptr);
    bool putExpense(const CV4ActualPtr &entry, const CV4ActualPtr &old = nullptr);
    bool removeActual(const CV4ActualPtr &entry);
    bool removeIncome(const CV4ActualPtr &entry) { return removeActual(entry); }
    bool removeExpense(const CV4ActualPtr &entry) { return removeActual(entry); }
    // Bulk moves and deletes leave the change mark to the caller.
    bool removeActualByCategory(int category);
    bool removeIncomeByCategory(int category) { return removeActualByCategory(category); }
    bool removeExpenseByCategory(int category) { return removeActualByCategory(category); }
    bool removeActualForAccount(int account);
    bool moveActual(int oldCategory, int newCategory);
    bool moveActualGroup(int oldGroup, int newGroup);

    // Finders answer std::nullopt when the statement fails.
    using ActualList = std::vector<CV4ActualPtr>;
    using TradeList = std::vector<CV4TradePtr>;
    using PriceList = std::vector<CV4PriceTimePtr>;

    std::optional<ActualList> findActualByDate(const QDate &date);
    // Entries of the period and categories, by day then id. An invalid from or
    // to date sets no date condition; an empty category list answers none.
    std::optional<ActualList> findActualFrom(const QDate &from, const QDate &to, const QList<int> &categories);
    // One category; category 0 answers none.
    std::optional<ActualList> findActualFrom(const QDate &from, const QDate &to, int category);
    std::optional<ActualList> findIncomeFrom(const QDate &from, const QDate &to, int category)
    {
        return findActualFrom(from, to, category);
    }
    std::optional<ActualList> findExpenseFrom(const QDate &from, const QDate &to, int category)
    {
        return findActualFrom(from, to, category);
    }
    std::optional<ActualList> findTransferFrom(const QDate &from, const QDate &to, int category)
    {
        return findActualFrom(from, to, category);
    }
    std::optional<ActualList> findTransferFrom(const QDate &from, const QDate &to, const QList<int> &categories)
    {
        return findActualFrom(from, to, categories);
    }
    // Fast records for the balance cache: date, account, destination, amount
    // and converted only; the category and (with a destination) the kind are
    // the ones given; ident -1.
    std::optional<ActualList> findActualByCategory(int category, int kind);
    std::optional<ActualList> findIncomeByCategory(int category) { return findActualByCategory(category, 0); }
    std::optional<ActualList> findExpenseByCategory(int category) { return findActualByCategory(category, 1); }
    std::optional<ActualList> findTransferByCategory(int category) { return findActualByCategory(category, 2); }
    // The same rows as the three finders above for every category at once,
    // without a record per row: what a full rebuild of the cache reads.
    std::optional<CV4CacheRows> readCacheRows();
    // Every entry for the XML form in one pass; none when the table does not read.
    std::optional<CV4ExportEntries> readExportEntries();
    // Number of entries carrying any of the groupings; 0 for none, -1 when the
    // store cannot be read.
    int getDataCountForGroup(const QList<int> &groups);
    // Entries meeting every condition, by date.
    std::optional<ActualList> findActual(const CV4SearchConditions &conditions);
    // The same entries handed one at a time in a reused record, read typed:
    // for readers of many rows. False when the read failed.
    bool forEachActual(const CV4SearchConditions &conditions, const std::function<void(const CV4Actual &)> &visit);
    // Entries and trades meeting the conditions, by date (entries before
    // trades on one date).
    std::vector<CV4SearchRecord> findAccounts(const CV4SearchConditions &conditions);

    // ---- trades
    // Writes a trade as putActual writes an entry (here the kind is updated too).
    bool putTrade(const CV4TradePtr &trade, const CV4TradePtr &old = nullptr);
    bool removeTrade(const CV4TradePtr &trade);
    std::optional<TradeList> findTradeByAccount(int account, int brand);
    std::optional<TradeList> findTradeBySourceAccount(int account, int brand);
    // Trades of the period (an invalid date leaves that end open), of the
    // account (as account or settlement account; -1 any), of the security
    // (-1 any) and of the kinds whose bit is set in `kinds` (0 any); by date
    // then id.
    std::optional<TradeList> findTradeFrom(const QDate &from, const QDate &to, int account, int brand, quint32 kinds);
    bool removeTradeByAccount(int account, int brand);
    bool removeTradeForBrand(int brand);
    bool removeTradeByAccount(int account);
    bool removeTradeByTransfer(int account);

    // ---- prices and exchange rates: one value per security (currency) and day
    bool putPrice(const CV4PriceTimePtr &price);
    bool removePrice(const CV4PriceTimePtr &price);
    std::optional<PriceList> getPriceListForBrand(int brand);
    bool removePriceForBrand(int brand);
    bool putXchgRate(const CV4PriceTimePtr &rate);
    bool removeXchgRate(const CV4PriceTimePtr &rate);
    std::optional<PriceList> getXchgRateListForCurrency(int currency);
    bool removeXchgRateListForIdForCurrency(int currency);

private:
    bool openDatabase();
    bool expand(void *gzFile);
    bool writeContainer(const QString &path);
    bool reopen();
    void removeWorkingFile();

    bool putInfo(int id, const QByteArray &archive);
    QByteArray getInfo(int id);
    int greatestReference(const QString &table, const QString &column);
    std::unique_ptr<SQLResult> query(const QString &sql, const QStringList &texts = {});
    size_t entryCount();   // rows of the entry table; 0 when unknown
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
    ActualList makeActuals(const SQLResult &result) const;
    TradeList makeTrades(const SQLResult &result) const;
    bool putRate(const CV4PriceTimePtr &price, const QString &table);
    bool removeRate(const CV4PriceTimePtr &price, const QString &table);
    std::optional<PriceList> getRateListForKey(int key, const QString &table);
    bool removeRateForKey(int key, const QString &table);
    // Conditions are built by the store itself; values travel in `texts`. An
    // empty condition selects every trade.
    std::optional<TradeList> findTradeIf(const QString &condition, const QStringList &texts = {});
    bool removeTradeIf(const QString &condition);

    std::unique_ptr<SQLDatabase3> m_database;
    bool m_isOpen = false;
    CV4DocumentChanges *m_document = nullptr;
    QString m_workingPath;
};
