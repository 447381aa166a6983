#include "document/store/EntryTableReader.h"

#include "document/store/AccountEntryCounts.h"
#include "document/store/BookStorePrivate.h"
#include "document/store/SQLDatabase3.h"
#include "document/store/SQLSteps.h"
#include "model/DomainEnums.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace cv {

using namespace cv::store;

// Defined here: the reader is the only one that fills the rows.
template <class Row> void CategoryRows<Row>::group()
{
    m_order.resize(m_rows.size());
    m_groups.clear();
    if (m_rows.empty()) return;
    int low = std::numeric_limits<int>::max();
    int high = std::numeric_limits<int>::min();
    for (const Row &row : m_rows) {
        low = std::min(low, row.category);
        high = std::max(high, row.category);
    }
    auto place = [this](const auto &slot) {
        for (quint32 i = 0; i < quint32(m_rows.size()); ++i) m_order[slot(m_rows[i].category)++] = i;
    };
    // A counting sort: a book has few categories and many rows. Idents are
    // small numbers, so the counts are an array unless a damaged file spreads
    // them wide.
    const qint64 span = qint64(high) - low + 1;
    if (span <= qint64(1) << 16) {
        std::vector<quint32> start(size_t(span) + 1, 0);
        for (const Row &row : m_rows) ++start[size_t(row.category - low) + 1];
        for (size_t i = 1; i < start.size(); ++i) {
            if (start[i] != 0) m_groups.push_back({low + int(i) - 1, start[i - 1], start[i - 1] + start[i]});
            start[i] += start[i - 1];
        }
        std::vector<quint32> next(start.begin(), start.end() - 1);
        place([&](int category) -> quint32 & { return next[size_t(category - low)]; });
    } else {
        std::unordered_map<int, quint32> next;
        for (const Row &row : m_rows) ++next[row.category];
        std::vector<int> categories;
        categories.reserve(next.size());
        for (const auto &[category, count] : next) categories.push_back(category);
        std::sort(categories.begin(), categories.end());
        quint32 offset = 0;
        for (int category : categories) {
            const quint32 count = next[category];
            m_groups.push_back({category, offset, offset + count});
            next[category] = offset;
            offset += count;
        }
        place([&](int category) -> quint32 & { return next[category]; });
    }
}

// The table's row count bounds the rows (it costs a walk of the smallest
// index, a millisecond at a million rows); growing a vector instead copies it
// a dozen times.
size_t EntryTableReader::entryCount()
{
    auto count = m_database.performQuery(QStringLiteral("SELECT count(*) FROM %1;").arg(TB_ENTRY));
    if (!count || count->rowCount() == 0) return 0;
    return size_t(std::max<qint64>(0, count->rowAtIndex(0).int64ForColumnAtIndex(0)));
}

std::optional<BalanceCacheRows> EntryTableReader::cacheRows(AccountEntryCounts *counts)
{
    BalanceCacheRows rows;
    rows.m_rows.reserve(entryCount());
    int firstDay = std::numeric_limits<int>::max();
    int lastDay = std::numeric_limits<int>::min();
    // In id order, as the category index hands out the rows of one category;
    // only rows that "category=<ident>" can find (a damaged file may hold
    // other values there). The test is made here rather than in the
    // statement, where it would cost a fifth of the scan.
    const bool ok =
        stepRows(m_database, QStringLiteral("SELECT category,%1 FROM %2 ORDER BY id;").arg(FAST_COLUMNS, TB_ENTRY),
                 [&](sqlite3_stmt *stmt, const SQLCursor &row) {
                     const int day = intAt(stmt, row, 1);
                     const int account = intAt(stmt, row, 2);
                     const int destination = intAt(stmt, row, 3);
                     if (counts) counts->add(day, account, destination, 1);
                     const std::optional<int> category = exactIntAt(stmt, 0);
                     if (!category) return;
                     firstDay = std::min(firstDay, day);
                     lastDay = std::max(lastDay, day);
                     rows.m_rows.push_back(
                         {*category, day, account, destination, doubleAt(stmt, row, 4), doubleAt(stmt, row, 5)});
                 });
    if (!ok || rows.m_rows.size() > std::numeric_limits<quint32>::max()) return std::nullopt;
    if (rows.m_rows.empty()) return rows;
    rows.m_days = {firstDay, lastDay};
    rows.group();
    return rows;
}

std::optional<ExportEntries> EntryTableReader::exportEntries()
{
    ExportEntries entries;
    entries.m_rows.reserve(entryCount());
    // The rows and values "category=? ORDER BY date,id" hands out, category
    // by category, for a fraction of its cost: one scan in table order
    // instead of a sort and a row look-up per entry.
    const bool ok = stepRows(m_database, QStringLiteral("SELECT %1 FROM %2 ORDER BY id;").arg(ENTRY_COLUMNS, TB_ENTRY),
                             [&](sqlite3_stmt *stmt, const SQLCursor &row) {
                                 const std::optional<int> category = exactIntAt(stmt, 3);
                                 if (!category) return;
                                 ExportEntry e;
                                 e.ident = intAt(stmt, row, 0);
                                 e.kind = intAt(stmt, row, 1);
                                 e.day = intAt(stmt, row, 2);
                                 e.category = *category;
                                 e.account = intAt(stmt, row, 4);
                                 e.destination = intAt(stmt, row, 5);
                                 e.amount = row.rowDoubleForColumnAtIndex(6);
                                 e.converted = row.rowDoubleForColumnAtIndex(7);
                                 e.group = intAt(stmt, row, 8);
                                 const auto *memo = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 9));
                                 const int size = memo ? sqlite3_column_bytes(stmt, 9) : 0;
                                 e.memoBegin = quint32(entries.m_memos.size());
                                 e.memoSize = quint32(size);
                                 if (size > 0) entries.m_memos.append(memo, size);
                                 entries.m_rows.push_back(e);
                             });
    if (!ok || entries.m_rows.size() > std::numeric_limits<quint32>::max() ||
        entries.m_memos.size() > qsizetype(std::numeric_limits<quint32>::max()))
        return std::nullopt;
    entries.group();
    entries.sortGroups([](const ExportEntry &a, const ExportEntry &b) { return a.day < b.day; });
    return entries;
}

std::optional<AccountEntryCounts> EntryTableReader::weekCounts()
{
    AccountEntryCounts counts;
    const bool ok = stepRows(m_database, QStringLiteral("SELECT date,account,destination FROM %1;").arg(TB_ENTRY),
                             [&](sqlite3_stmt *stmt, const SQLCursor &row) {
                                 counts.add(intAt(stmt, row, 0), intAt(stmt, row, 1), intAt(stmt, row, 2), 1);
                             });
    if (!ok) return std::nullopt;
    return counts;
}

namespace {

// Tested in the statement, where a row skipped costs a fifth of one handed
// out; ranges and comparisons, as a list after IN costs a look-up per row.
// A row whose columns hold no numbers (NULL) fails IS TRUE and is read, as
// the sums it was left out of never counted it.
QString settledCondition(const SettledMoves &settled)
{
    static_assert(cv::raw(cv::EntryKind::Expense) == cv::raw(cv::EntryKind::Income) + 1);
    QStringList accounts;
    for (size_t i = 0; i < settled.accounts.size();) {
        size_t last = i;
        while (last + 1 < settled.accounts.size() &&
               qint64(settled.accounts[last + 1]) == settled.accounts[last] + qint64(1))
            ++last;
        accounts.append(
            last == i
                ? QStringLiteral("account=%1").arg(settled.accounts[i])
                : QStringLiteral("account BETWEEN %1 AND %2").arg(settled.accounts[i]).arg(settled.accounts[last]));
        i = last + 1;
    }
    QString condition = QStringLiteral("(%1) AND kind BETWEEN %2 AND %3")
                            .arg(accounts.join(QStringLiteral(" OR ")))
                            .arg(cv::raw(cv::EntryKind::Income))
                            .arg(cv::raw(cv::EntryKind::Expense));
    for (int category : settled.keptCategories) condition += QStringLiteral(" AND category<>%1").arg(category);
    return QStringLiteral("(%1) IS NOT TRUE").arg(condition);
}

} // namespace

bool EntryTableReader::periodMoves(int firstDay, int lastDay, EntryMove::Columns columns,
                                   const std::function<void(const EntryMove &)> &visit, const SettledMoves *settled)
{
    if (firstDay > lastDay) return true;
    // A row found through the date index costs a seek into the table, about
    // four times a row of a scan in table order: a period holding a quarter
    // of the book's days or more is read by a scan (twenty years of a
    // million entries in half the time).
    bool scan = false;
    // Apart, each is one step down the date index; together they would scan.
    const QString days = QStringLiteral("SELECT (SELECT min(date) FROM %1),(SELECT max(date) FROM %1);").arg(TB_ENTRY);
    if (auto range = m_database.performQuery(days); range && range->rowCount() == 1) {
        const SQLRow row = range->rowAtIndex(0);
        const qint64 low = row.int64ForColumnAtIndex(0), high = row.int64ForColumnAtIndex(1);
        const qint64 covered = std::min<qint64>(high, lastDay) - std::max<qint64>(low, firstDay) + 1;
        scan = high >= low && covered * 4 >= high - low + 1;
    }
    // A column costs a tenth of a row's read: only what is asked for.
    QStringList conditions;
    if (!scan) conditions.append(QStringLiteral("date BETWEEN ?1 AND ?2"));
    if (settled && !settled->accounts.empty()) conditions.append(settledCondition(*settled));
    const QString sql =
        QStringLiteral("SELECT date,kind,account,destination,value,converted%1 FROM %2%3;")
            .arg(columns == EntryMove::Amounts      ? QString()
                 : columns == EntryMove::Categories ? QStringLiteral(",category")
                                                    : QStringLiteral(",category,grouping"),
                 TB_ENTRY,
                 conditions.isEmpty() ? QString()
                                      : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND ")));
    if (!scan) {
        sqlite3_stmt *stmt = m_database.keptStatement(sql);
        if (!stmt) return false;
        sqlite3_bind_int(stmt, 1, firstDay);
        sqlite3_bind_int(stmt, 2, lastDay);
    }
    // As the entry records read an amount, so the sums are the records' sums.
    const auto amountAt = [](sqlite3_stmt *stmt, const SQLCursor &row, int index) {
        sqlite3_value *value = sqlite3_column_value(stmt, index);
        return sqlite3_value_type(value) == SQLITE_INTEGER ? double(sqlite3_value_int64(value))
                                                           : row.rowDoubleForColumnAtIndex(index);
    };
    EntryMove move;
    return stepRows(m_database, sql, [&](sqlite3_stmt *stmt, const SQLCursor &row) {
        move.day = intAt(stmt, row, 0);
        if (scan && (move.day < firstDay || move.day > lastDay)) return;
        move.kind = intAt(stmt, row, 1);
        move.account = intAt(stmt, row, 2);
        // Most rows are income and expense: their partner columns are not fetched.
        const bool transfer = move.kind == cv::raw(cv::EntryKind::Transfer);
        move.destination = transfer ? intAt(stmt, row, 3) : 0;
        move.amount = amountAt(stmt, row, 4);
        move.converted = transfer ? amountAt(stmt, row, 5) : 0;
        if (columns != EntryMove::Amounts) move.category = intAt(stmt, row, 6);
        if (columns == EntryMove::CategoriesAndGroups)
            move.group = sqlite3_column_type(stmt, 7) == SQLITE_NULL ? EntryMove::kNoGroup : intAt(stmt, row, 7);
        visit(move);
    });
}

} // namespace cv
