// Statements on the entry table, and the search over entries and trades.
#include "document/store/BookStore.h"
#include "document/store/BookStorePrivate.h"
#include "document/store/EntryTableReader.h"
#include "document/store/SQLDatabase3.h"
#include "document/store/SQLSteps.h"

#include "model/Entry.h"
#include "model/Trade.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace cv {

using namespace cv::store;

namespace {

QString idList(const QList<int> &idents)
{
    QStringList parts;
    parts.reserve(idents.size());
    for (int i : idents) parts << QString::number(i);
    return parts.join(QStringLiteral(", "));
}

} // namespace

QDate SearchRecord::date() const
{
    if (entry) return entry->date();
    if (trade) return trade->date();
    return QDate();
}

BookStore::EntryList BookStore::makeEntries(const SQLResult &result) const
{
    EntryList list;
    list.reserve(size_t(result.rowCount()));
    for (int r = 0; r < result.rowCount(); ++r) {
        const SQLRow row = result.rowAtIndex(r);
        auto entry = std::make_shared<Entry>();
        entry->setIdent(row.intForColumnAtIndex(0));
        entry->setKind(cv::EntryKind(row.intForColumnAtIndex(1)));
        entry->setDate(makeDate(row.intForColumnAtIndex(2)));
        entry->setCategory(row.intForColumnAtIndex(3));
        entry->setAccount(row.intForColumnAtIndex(4));
        entry->setDestination(row.intForColumnAtIndex(5));
        entry->setAmount(row.doubleForColumnAtIndex(6));
        entry->setConverted(row.doubleForColumnAtIndex(7));
        entry->setGroup(row.intForColumnAtIndex(8));
        entry->setMemo(row.stringForColumnAtIndex(9));
        list.push_back(std::move(entry));
    }
    return list;
}

// ---------------------------------------------------------------- writing

bool BookStore::putEntry(const EntryPtr &entry, const EntryPtr &old)
{
    if (!entry) return false;
    const int day = getRefDays(entry->date());
    // The row this write replaces leaves the week counts.
    std::optional<StoredPlace> before;
    if (m_weekCounts && entry->ident() >= 0) before = storedPlace(entry->ident());
    if (old) {
        RowUpdate update(TB_ENTRY, day);
        update.integer("category", entry->category(), old->category());
        update.integer("account", entry->account(), old->account());
        update.integer("destination", entry->destination(), old->destination());
        update.number("value", entry->amount(), old->amount(), amountText);
        update.number("converted", entry->converted(), old->converted(), amountText);
        update.integer("grouping", entry->group(), old->group());
        update.memo(entry->memo(), old->memo());
        if (!runUpdate(update.sql(entry->ident()), update.texts())) return false;
        if (m_weekCounts && before) {
            // The date is always written; a column equal to `old` was not, so the row keeps its stored value.
            const int account = entry->account() != old->account() ? entry->account() : before->account;
            const int destination =
                entry->destination() != old->destination() ? entry->destination() : before->destination;
            m_weekCounts->add(before->day, before->account, before->destination, -1);
            m_weekCounts->add(day, account, destination, 1);
        }
        return true;
    }

    if (!std::isfinite(entry->amount()) || !std::isfinite(entry->converted())) return refuseNonFinite(TB_ENTRY);
    // clang-format off
    const SQLValue values[] = {
        SQLValue::integer(entry->ident()),   SQLValue::integer(cv::raw(entry->kind())),
        SQLValue::integer(day),              SQLValue::integer(entry->category()),
        SQLValue::integer(entry->account()), SQLValue::integer(entry->destination()),
        amountValue(entry->amount()),        amountValue(entry->converted()),
        SQLValue::integer(entry->group()),   SQLValue::text(entry->memo()),
    };
    // clang-format on
    static const QString insertNew =
        QStringLiteral("INSERT INTO %1 VALUES(NULL,?,?,?,?,?,CAST(? AS REAL),CAST(? AS REAL),?,?);").arg(TB_ENTRY);
    static const QString insertGiven =
        QStringLiteral("INSERT OR REPLACE INTO %1 VALUES(?,?,?,?,?,?,CAST(? AS REAL),CAST(? AS REAL),?,?);")
            .arg(TB_ENTRY);
    const std::optional<int> ident = insertRecord(TB_ENTRY, entry->ident(), insertNew, insertGiven, values);
    if (!ident) return false;
    entry->setIdent(*ident);
    if (m_weekCounts) {
        if (before) m_weekCounts->add(before->day, before->account, before->destination, -1);
        m_weekCounts->add(day, entry->account(), entry->destination(), 1);
    }
    setChanged(true);
    return true;
}

bool BookStore::putIncome(const EntryPtr &entry, const EntryPtr &old)
{
    if (!entry) return false;
    entry->setKind(cv::EntryKind::Income);
    entry->setDestination(0);
    return putEntry(entry, old);
}

bool BookStore::putExpense(const EntryPtr &entry, const EntryPtr &old)
{
    if (!entry) return false;
    entry->setKind(cv::EntryKind::Expense);
    return putEntry(entry, old);
}

bool BookStore::removeEntry(const EntryPtr &entry)
{
    if (!entry) return false;
    const std::optional<StoredPlace> before = m_weekCounts ? storedPlace(entry->ident()) : std::nullopt;
    if (!runAndMark(QStringLiteral("DELETE FROM %1 WHERE id=%2;").arg(TB_ENTRY).arg(entry->ident()))) return false;
    if (m_weekCounts && before) m_weekCounts->add(before->day, before->account, before->destination, -1);
    return true;
}

bool BookStore::removeEntriesByCategory(int category)
{
    forgetWeekCounts();
    return run(QStringLiteral("DELETE FROM %1 WHERE category=%2;").arg(TB_ENTRY).arg(category));
}

bool BookStore::removeEntriesForAccount(int account)
{
    forgetWeekCounts();
    return run(QStringLiteral("DELETE FROM %1 WHERE (account=%2) OR (destination=%2);").arg(TB_ENTRY).arg(account));
}

bool BookStore::moveEntry(int oldCategory, int newCategory)
{
    return run(
        QStringLiteral("UPDATE %1 SET category=%2 WHERE category=%3;").arg(TB_ENTRY).arg(newCategory).arg(oldCategory));
}

bool BookStore::moveEntryGrouping(int oldGroup, int newGroup)
{
    return run(
        QStringLiteral("UPDATE %1 SET grouping=%2 WHERE grouping=%3;").arg(TB_ENTRY).arg(newGroup).arg(oldGroup));
}

// ---------------------------------------------------------------- finding

std::optional<BookStore::EntryList> BookStore::findEntriesByDate(const QDate &date)
{
    auto result =
        query(QStringLiteral("SELECT %1 FROM %2 WHERE date=%3;").arg(ENTRY_COLUMNS, TB_ENTRY).arg(getRefDays(date)));
    if (!result) return std::nullopt;
    return makeEntries(*result);
}

std::optional<BookStore::EntryList> BookStore::findEntriesFrom(const QDate &from, const QDate &to,
                                                               const QList<int> &categories)
{
    if (categories.isEmpty()) return std::nullopt;
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE").arg(ENTRY_COLUMNS, TB_ENTRY);
    const bool dated = from.isValid() && to.isValid();
    if (dated) sql += QStringLiteral(" date BETWEEN %1 AND %2").arg(getRefDays(from)).arg(getRefDays(to));
    if (dated) sql += QStringLiteral(" AND");
    if (categories.size() == 1)
        sql += QStringLiteral(" category= %1 ").arg(categories.first());
    else
        sql += QStringLiteral(" category IN (%1)").arg(idList(categories));
    sql += QStringLiteral(" ORDER BY date,id;");
    auto result = query(sql);
    if (!result) return std::nullopt;
    return makeEntries(*result);
}

std::optional<BookStore::EntryList> BookStore::findEntriesFrom(const QDate &from, const QDate &to, int category)
{
    if (category == 0) return std::nullopt;
    return findEntriesFrom(from, to, QList<int>{category});
}

std::optional<BookStore::EntryList> BookStore::findEntriesByCategory(int category, cv::EntryKind kind)
{
    auto result =
        query(QStringLiteral("SELECT %1 FROM %2 WHERE category=%3;").arg(FAST_COLUMNS, TB_ENTRY).arg(category));
    if (!result) return std::nullopt;
    EntryList list;
    list.reserve(size_t(result->rowCount()));
    for (int r = 0; r < result->rowCount(); ++r) {
        const SQLRow row = result->rowAtIndex(r);
        auto entry = std::make_shared<Entry>();
        entry->setDate(makeDate(row.intForColumnAtIndex(0)));
        entry->setCategory(category);
        entry->setAccount(row.intForColumnAtIndex(1));
        const int destination = row.intForColumnAtIndex(2);
        entry->setDestination(destination);
        if (destination > 0) entry->setKind(kind);
        entry->setAmount(row.doubleForColumnAtIndex(3));
        entry->setConverted(row.doubleForColumnAtIndex(4));
        list.push_back(std::move(entry));
    }
    return list;
}

std::optional<BalanceCacheRows> BookStore::readCacheRows()
{
    if (!m_database) return std::nullopt;
    // The open's one scan counts every row for the account books too.
    cv::AccountEntryCounts counts;
    std::optional<BalanceCacheRows> rows = cv::EntryTableReader(*m_database).cacheRows(&counts);
    if (rows)
        m_weekCounts = std::move(counts);
    else
        forgetWeekCounts();
    return rows;
}

std::optional<ExportEntries> BookStore::readExportEntries()
{
    if (!m_database) return std::nullopt;
    return cv::EntryTableReader(*m_database).exportEntries();
}

int BookStore::getDataCountForGroup(const QList<int> &groups)
{
    if (groups.isEmpty()) return 0;
    QString sql = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ").arg(TB_ENTRY);
    if (groups.size() == 1)
        sql += QStringLiteral("(grouping=%1);").arg(groups.first());
    else
        sql += QStringLiteral("(grouping IN (%1));").arg(idList(groups));
    auto result = query(sql);
    // Unknown is not "unused": a grouping whose count cannot be read must not be deleted.
    if (!result || result->rowCount() == 0) return -1;
    return result->rowAtIndex(0).intForColumnAtIndex(0);
}

// ---------------------------------------------------------------- search

namespace {

struct Criteria {
    QStringList parts; // joined with AND
    QStringList texts; // bound in order

    void add(const QString &condition) { parts << condition; }
    bool isEmpty() const { return parts.isEmpty(); }
    QString where() const { return parts.join(QStringLiteral(" AND ")); }
};

void addDate(Criteria &c, const BookStore &store, const QList<QDate> &date)
{
    if (date.isEmpty()) return;
    const QDate from = date.first();
    const QDate to = date.size() > 1 ? date.at(1) : from;
    c.add(QStringLiteral("(date BETWEEN %1 AND %2)").arg(store.getRefDays(from)).arg(store.getRefDays(to)));
}

void addAccounts(Criteria &c, const QList<int> &accounts, const QString &otherColumn)
{
    if (accounts.isEmpty()) return;
    if (accounts.size() == 1)
        c.add(QStringLiteral("((account=%1)OR(%2=%1))").arg(accounts.first()).arg(otherColumn));
    else
        c.add(QStringLiteral("((account IN (%1))OR(%2 IN (%1)))").arg(idList(accounts), otherColumn));
}

void addValue(Criteria &c, const QList<double> &value)
{
    if (value.isEmpty()) return;
    double low = value.first();
    double high = value.size() > 1 ? value.at(1) : low;
    // A bound that is no number leaves that end open.
    if (std::isnan(low)) low = -INFINITY;
    if (std::isnan(high)) high = INFINITY;
    const bool openLow = std::isinf(low) && low < 0;
    const bool openHigh = std::isinf(high) && high > 0;
    if (openLow && openHigh) return;
    if (openLow)
        c.add(QStringLiteral("(value<") + amountText(high) + QLatin1Char(')'));
    else if (openHigh)
        c.add(QStringLiteral("(value>=") + amountText(low) + QLatin1Char(')'));
    else if (low == high)
        c.add(QStringLiteral("(value=") + amountText(low) + QLatin1Char(')'));
    else
        c.add(QStringLiteral("((value>=") + amountText(low) + QStringLiteral(")AND(value<") + amountText(high) +
              QStringLiteral("))"));
}

void addGroups(Criteria &c, const QList<int> &groups)
{
    if (groups.isEmpty()) return;
    if (groups.size() == 1)
        c.add(QStringLiteral("(grouping=%1)").arg(groups.first()));
    else
        c.add(QStringLiteral("(grouping IN (%1))").arg(idList(groups)));
}

void addMemo(Criteria &c, const QStringList &memo, bool all)
{
    if (memo.isEmpty()) return;
    QStringList patterns;
    for (const QString &text : memo) {
        patterns << QStringLiteral("(memo LIKE ?)");
        c.texts << QLatin1Char('%') + text + QLatin1Char('%');
    }
    c.add(QLatin1Char('(') + patterns.join(all ? QStringLiteral("AND") : QStringLiteral("OR")) + QLatin1Char(')'));
}

} // namespace

std::optional<BookStore::EntryList> BookStore::findEntry(const SearchConditions &conditions)
{
    Criteria c;
    addDate(c, *this, conditions.date);
    addAccounts(c, conditions.account, QStringLiteral("destination"));
    if (!conditions.category.isEmpty()) c.add(QStringLiteral("(category IN (%1))").arg(idList(conditions.category)));
    addValue(c, conditions.value);
    addGroups(c, conditions.group);
    addMemo(c, conditions.memo, conditions.memoAnd);
    // No condition at all finds nothing.
    if (c.isEmpty()) return EntryList();
    auto result =
        query(QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY date,id;").arg(ENTRY_COLUMNS, TB_ENTRY, c.where()),
              c.texts);
    if (!result) return std::nullopt;
    return makeEntries(*result);
}

bool BookStore::forEachEntry(const SearchConditions &conditions, const std::function<void(const Entry &)> &visit)
{
    if (!m_database) return false;
    Criteria c;
    // The days are bound, so one kept statement serves every period.
    if (!conditions.date.isEmpty()) {
        c.add(QStringLiteral("(date BETWEEN ? AND ?)"));
        const QDate from = conditions.date.first();
        c.texts << QString::number(getRefDays(from))
                << QString::number(getRefDays(conditions.date.size() > 1 ? conditions.date.at(1) : from));
    }
    addAccounts(c, conditions.account, QStringLiteral("destination"));
    if (!conditions.category.isEmpty()) c.add(QStringLiteral("(category IN (%1))").arg(idList(conditions.category)));
    addValue(c, conditions.value);
    addGroups(c, conditions.group);
    addMemo(c, conditions.memo, conditions.memoAnd);
    if (c.isEmpty()) return true;
    Entry entry;
    return m_database->forEachRow(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY date,id;").arg(ENTRY_COLUMNS, TB_ENTRY, c.where()),
        [&](const SQLCursor &row) {
            entry.setIdent(row.intForColumnAtIndex(0));
            entry.setKind(cv::EntryKind(row.intForColumnAtIndex(1)));
            entry.setDate(makeDate(row.intForColumnAtIndex(2)));
            entry.setCategory(row.intForColumnAtIndex(3));
            entry.setAccount(row.intForColumnAtIndex(4));
            entry.setDestination(row.intForColumnAtIndex(5));
            entry.setAmount(row.rowDoubleForColumnAtIndex(6));
            entry.setConverted(row.rowDoubleForColumnAtIndex(7));
            entry.setGroup(row.intForColumnAtIndex(8));
            entry.setMemo(row.stringForColumnAtIndex(9));
            visit(entry);
        },
        c.texts);
}

std::optional<BookStore::StoredPlace> BookStore::storedPlace(int ident)
{
    static const QString sql = QStringLiteral("SELECT date,account,destination FROM %1 WHERE id=?;").arg(TB_ENTRY);
    sqlite3_stmt *stmt = m_database ? m_database->keptStatement(sql) : nullptr;
    if (!stmt) {
        forgetWeekCounts();
        return std::nullopt;
    }
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> reset(stmt, sqlite3_reset);
    sqlite3_bind_int(stmt, 1, ident);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        const SQLCursor row = SQLDatabase3::cursorOf(stmt);
        return StoredPlace{intAt(stmt, row, 0), intAt(stmt, row, 1), intAt(stmt, row, 2)};
    }
    if (rc != SQLITE_DONE) {
        m_database->stepFailed(sql, rc);
        forgetWeekCounts();
    }
    return std::nullopt;
}

bool BookStore::readWeekCounts()
{
    if (!m_database) return false;
    m_weekCounts = cv::EntryTableReader(*m_database).weekCounts();
    return m_weekCounts.has_value();
}

std::optional<std::vector<int>> BookStore::entriesPerWeek(int account, int firstWeek, int lastWeek)
{
    if (!m_weekCounts && !readWeekCounts()) return std::nullopt;
    std::vector<int> counts;
    if (lastWeek >= firstWeek) counts.reserve(size_t(lastWeek - firstWeek) + 1);
    for (int week = firstWeek; week <= lastWeek; ++week) counts.push_back(m_weekCounts->count(account, week));
    return counts;
}

std::vector<SearchRecord> BookStore::findAccounts(const SearchConditions &conditions)
{
    const bool accounts = !conditions.account.isEmpty();
    const bool tradeAccounts = !conditions.tradeAccount.isEmpty();
    const bool categories = !conditions.category.isEmpty();

    EntryList entries;
    if (accounts || !tradeAccounts) entries = findEntry(conditions).value_or(EntryList());

    std::vector<SearchRecord> records;
    records.reserve(entries.size());
    if (!tradeAccounts && (accounts || categories)) {
        for (auto &e : entries) records.push_back({std::move(e), nullptr});
        return records;
    }

    // Trades carry no grouping: a grouping condition finds none of them.
    TradeList trades;
    if (conditions.group.isEmpty()) {
        Criteria c;
        addDate(c, *this, conditions.date);
        addAccounts(c, conditions.tradeAccount, QStringLiteral("trans"));
        addValue(c, conditions.value);
        addMemo(c, conditions.memo, conditions.memoAnd);
        if (!c.isEmpty()) trades = findTradeIf(c.where(), c.texts).value_or(TradeList());
    }

    // Both lists come by date; entries go before trades on one date.
    records.reserve(entries.size() + trades.size());
    size_t t = 0;
    for (auto &e : entries) {
        while (t < trades.size() && trades[t]->date() < e->date()) records.push_back({nullptr, trades[t++]});
        records.push_back({std::move(e), nullptr});
    }
    while (t < trades.size()) records.push_back({nullptr, trades[t++]});
    return records;
}

} // namespace cv
