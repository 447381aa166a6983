// The account book read a week at a time: a book of a million entries opens
// in a frame because only the weeks on screen are read.
#include "panels/entry/AccountBookPanel.h"

#include "document/Book.h"
#include "model/EditFlags.h"
#include "platform/Logging.h"

#include <QTimer>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace cv {

namespace {

QDate mondayOf(const QDate &day)
{
    return day.addDays(1 - day.dayOfWeek());
}

} // namespace

// Only readRows calls this, after it cleared m_sorted: the rows stay in store order.
void AccountBookPanel::readEveryRow()
{
    Q_ASSERT(!m_sorted);
    std::vector<RowPtr> rows = readPage({firstDay(), lastDay(), 0, 0});
    m_storedRows = int(rows.size());
    setItems(std::move(rows));
}

std::vector<RowPanel::RowPtr> AccountBookPanel::readPage(const BookPage &page) const
{
    std::vector<RowPtr> rows;
    rows.reserve(size_t(std::max(page.count, 0)));
    if (!doc()->reads().readAccountEntries(accountIdent(), page.first, page.last,
                                           [&](const Entry &entry) { rows.push_back(std::make_shared<Entry>(entry)); }))
        return {};
    // After a sort the list stands sorted; a page read later takes its place so.
    if (m_sorted) sortRows(rows);
    return rows;
}

bool AccountBookPanel::layOutPages()
{
    const QDate from = firstDay();
    const QDate to = lastDay();
    if (!from.isValid() || !to.isValid() || from > to) {
        m_storedRows = 0;
        setItems({});
        return true;
    }
    const std::optional<std::vector<int>> counts = doc()->reads().accountEntriesPerWeek(accountIdent(), from, to);
    if (!counts) return false;
    std::vector<BookPage> pages;
    pages.reserve(counts->size());
    std::vector<std::pair<size_t, std::vector<RowPtr>>> edges; // weeks cut by the period, read now
    int offset = 0;
    QDate monday = mondayOf(from);
    for (size_t i = 0; i < counts->size(); ++i, monday = monday.addDays(7)) {
        BookPage page{std::max(monday, from), std::min(monday.addDays(6), to), offset, (*counts)[i]};
        if (page.first != monday || page.last != monday.addDays(6)) {
            // Counts are of whole weeks: a cut one is counted by reading it.
            std::vector<RowPtr> rows = readPage(page);
            page.count = int(rows.size());
            edges.emplace_back(i, std::move(rows));
        }
        offset += page.count;
        pages.push_back(page);
    }
    // The list of the period's rows is made without a row: only the weeks read hold any.
    RowList rows{size_t(offset)};
    for (auto &[index, read] : edges)
        for (size_t k = 0; k < read.size(); ++k) rows.set(size_t(pages[index].offset) + k, std::move(read[k]));
    m_pages = std::move(pages);
    m_storedRows = offset;
    setRowList(std::move(rows));
    return true;
}

size_t AccountBookPanel::pageOfRow(int row) const
{
    const auto after = std::upper_bound(m_pages.begin(), m_pages.end(), row,
                                        [](int r, const BookPage &page) { return r < page.offset; });
    Q_ASSERT(after != m_pages.begin());
    return after == m_pages.begin() ? 0 : size_t(after - m_pages.begin()) - 1;
}

void AccountBookPanel::readRowPage(int row) const
{
    if (m_pages.empty() || row < 0 || row >= m_storedRows) return;
    const BookPage &page = m_pages[pageOfRow(row)];
    const std::vector<RowPtr> rows = readPage(page);
    for (size_t k = 0; k < rows.size() && int(k) < page.count; ++k) fillUnreadRow(page.offset + int(k), rows[k]);
    if (int(rows.size()) == page.count || m_pageMissed) return;
    // The counts missed a write (or the read failed): every row is read once,
    // after the paint that asked.
    qCWarning(lcModel) << "account book week" << page.first << "read" << rows.size() << "rows of" << page.count;
    auto *self = const_cast<AccountBookPanel *>(this);
    self->m_pageMissed = true;
    QTimer::singleShot(0, self, [self] {
        self->readAllRows();
        self->reloadTable();
    });
}

void AccountBookPanel::readAllRows()
{
    if (m_pages.empty()) return;
    std::vector<std::vector<RowPtr>> fresh(m_pages.size());
    const bool read = doc()->reads().readAccountEntries(accountIdent(), firstDay(), lastDay(), [&](const Entry &entry) {
        const auto page = std::upper_bound(m_pages.begin(), m_pages.end(), entry.date(),
                                           [](const QDate &d, const BookPage &m) { return d < m.first; });
        if (page != m_pages.begin())
            fresh[size_t(page - m_pages.begin()) - 1].push_back(std::make_shared<Entry>(entry));
    });
    if (!read) {
        qCWarning(lcModel) << "account book: the period does not read";
        return;
    }
    const RowList &list = items();
    std::unordered_set<int> removed; // rows taken out of the list stay out
    for (const auto &[page, row] : m_removedRows) removed.insert(entryOf(row)->ident());
    std::vector<RowPtr> rows;
    rows.reserve(list.size());
    for (size_t m = 0; m < m_pages.size(); ++m) {
        const BookPage &page = m_pages[m];
        std::unordered_map<int, RowPtr> held; // rows read before stay, by identity
        bool whole = true;
        for (int k = 0; k < page.count; ++k) {
            const RowPtr &row = list[size_t(page.offset + k)];
            if (row)
                held.emplace(entryOf(row)->ident(), row);
            else
                whole = false;
        }
        if (whole) {
            for (int k = 0; k < page.count; ++k) rows.push_back(list[size_t(page.offset + k)]);
            continue;
        }
        if (m_sorted) sortRows(fresh[m]);
        for (RowPtr &row : fresh[m]) {
            if (removed.count(entryOf(row)->ident())) continue;
            const auto it = held.find(entryOf(row)->ident());
            rows.push_back(it == held.end() ? std::move(row) : it->second);
        }
    }
    const size_t newRows = std::min(list.size(), size_t(m_storedRows));
    m_storedRows = int(rows.size());
    for (size_t k = newRows; k < list.size(); ++k) rows.push_back(list[k]);
    m_pages.clear();
    m_removedRows.clear();
    setItems(std::move(rows));
}

void AccountBookPanel::rowRemovedAt(int row)
{
    if (row < 0 || row >= m_storedRows) return;
    --m_storedRows;
    if (m_pages.empty()) return;
    const size_t m = pageOfRow(row);
    m_removedRows.emplace_back(m, rowAt(row));
    --m_pages[m].count;
    for (size_t k = m + 1; k < m_pages.size(); ++k) --m_pages[k].offset;
}

// The list sorted as a whole: rows keep to their weeks unless a date was
// typed into another week, so each page read is sorted in place and the
// others when they are read.
void AccountBookPanel::sortItems()
{
    if (m_pages.empty()) {
        RowPanel::sortItems();
        return;
    }
    const RowList &list = items();
    bool movesAcross = false;
    for (size_t m = 0; m < m_pages.size() && !movesAcross; ++m) {
        const BookPage &page = m_pages[m];
        if (page.count == 0 || !list[size_t(page.offset)]) continue; // a page is read whole or not at all
        for (int k = 0; k < page.count && !movesAcross; ++k) {
            const RowPtr &row = list[size_t(page.offset + k)];
            if (row && (rowDate(row) < page.first || rowDate(row) > page.last || (rowFlags(row) & cv::EditNew)))
                movesAcross = true;
        }
    }
    for (size_t k = size_t(m_storedRows); k < list.size() && !movesAcross; ++k)
        movesAcross = !(rowFlags(list[k]) & cv::EditNew);
    if (movesAcross) {
        readAllRows();
        if (m_pages.empty()) RowPanel::sortItems(); // else the read failed: unread rows stay put
        return;
    }
    const auto sortRange = [this, &list](int from, int to) {
        std::vector<RowPtr> rows;
        for (int k = from; k < to; ++k) rows.push_back(list[size_t(k)]);
        sortRows(rows);
        for (int k = from; k < to; ++k)
            if (!(list[size_t(k)] == rows[size_t(k - from)])) replaceRow(k, rows[size_t(k - from)]);
    };
    for (const BookPage &page : m_pages)
        if (page.count > 0 && list[size_t(page.offset)]) sortRange(page.offset, page.offset + page.count);
    sortRange(m_storedRows, int(list.size()));
    m_sorted = true;
    rowsChanged();
}

double AccountBookPanel::rowDelta(const RowPtr &row) const
{
    return (rowFlags(row) & cv::EditDeleted) ? 0.0 : balanceChange(*entryOf(row));
}

// A row's balance in date order: the cache's balance at the end of the day
// before, what pending edits changed before that day, and the rows of its
// day down to it. Only the week of the day is read.
double AccountBookPanel::pagedBalance(int row) const
{
    const QDate carryDay = firstDay().addDays(-1);
    if (!m_pendingBuilt) {
        m_pendingBuilt = true;
        m_touchedRows.clear();
        std::vector<std::pair<QDate, double>> events;
        // Only rows read can have been touched: the weeks not read are passed over.
        items().forEachRead([&](size_t k, const RowPtr &r) {
            if (!(rowFlags(r) & (cv::EditChanged | cv::EditNew | cv::EditDeleted))) return true;
            m_touchedRows.push_back(int(k));
            events.emplace_back(rowDate(r), rowDelta(r));
            if (const EntryPtr stored = copyOf(entryOf(r)))
                events.emplace_back(stored->date(), -balanceChange(*stored));
            else if (!(rowFlags(r) & cv::EditNew))
                events.emplace_back(rowDate(r), -balanceChange(*entryOf(r)));
            return true;
        });
        for (const auto &[page, r] : m_removedRows) {
            const EntryPtr stored = copyOf(entryOf(r));
            events.emplace_back(stored ? stored->date() : rowDate(r), -balanceChange(stored ? *stored : *entryOf(r)));
        }
        std::sort(events.begin(), events.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        double sum = 0;
        for (auto &event : events) event.second = (sum += event.second);
        m_pendingByDay = std::move(events);
        m_carried = doc()->valueForAccount(item(), carryDay, doc()->findCurrency(currencyIdent()));
    }
    const RowPtr target = rowAt(row);
    if (!target) return 0.0;
    const QDate day = rowDate(target);
    auto found = m_dayBalances.find(day);
    if (found == m_dayBalances.end()) {
        std::vector<int> rows;
        int from = 0;
        int to = 0;
        const auto page = std::upper_bound(m_pages.begin(), m_pages.end(), day,
                                           [](const QDate &d, const BookPage &m) { return d < m.first; });
        if (page != m_pages.begin() && day <= std::prev(page)->last) {
            from = std::prev(page)->offset;
            to = from + std::prev(page)->count;
            for (int k = from; k < to; ++k)
                if (const RowPtr r = rowAt(k); r && rowDate(r) == day) rows.push_back(k);
        }
        for (int k : m_touchedRows)
            if ((k < from || k >= to) && rowDate(rowAt(k)) == day) rows.push_back(k);
        std::sort(rows.begin(), rows.end());
        const auto before = std::lower_bound(m_pendingByDay.begin(), m_pendingByDay.end(), day,
                                             [](const auto &event, const QDate &d) { return event.first < d; });
        double sum = m_carried +
                     (day > carryDay ? doc()->accountBalanceMovement(item(), carryDay, day.addDays(-1)) : 0.0) +
                     (before == m_pendingByDay.begin() ? 0.0 : std::prev(before)->second);
        std::vector<std::pair<int, double>> balances;
        for (int k : rows) balances.emplace_back(k, sum += rowDelta(rowAt(k)));
        found = m_dayBalances.emplace(day, std::move(balances)).first;
    }
    for (const auto &[k, balance] : found->second)
        if (k == row) return balance;
    return 0.0;
}

} // namespace cv
