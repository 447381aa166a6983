// The account book read a month at a time: a book of a million entries opens
// in a frame because only the months on screen are read.
#include "panels/entry/AccountPanelController.h"

#include "document/CV4Document.h"
#include "model/CV4EditFlags.h"
#include "platform/Logging.h"

#include <QTimer>

#include <algorithm>
#include <unordered_map>

namespace {

QDate lastOfMonth(const QDate &day)
{
    return QDate(day.year(), day.month(), 1).addMonths(1).addDays(-1);
}

} // namespace

void AccountPanelController::readEveryRow()
{
    std::vector<RowPtr> rows;
    if (!doc()->readAccountEntries(accountIdent(), firstDay(), lastDay(), [&](const CV4Actual &entry) {
            rows.push_back(std::make_shared<CV4Actual>(entry));
        }))
        rows.clear();
    m_storedRows = int(rows.size());
    setItems(std::move(rows));
}

std::vector<InputPanelController::RowPtr> AccountPanelController::readMonth(const BookMonth &month) const
{
    std::vector<RowPtr> rows;
    rows.reserve(size_t(std::max(month.count, 0)));
    if (!doc()->readAccountEntries(accountIdent(), month.first, month.last, [&](const CV4Actual &entry) {
            rows.push_back(std::make_shared<CV4Actual>(entry));
        }))
        return {};
    // After a sort the list stands sorted; a month read later takes its place so.
    if (m_sorted)
        std::stable_sort(rows.begin(), rows.end(), [this](const RowPtr &a, const RowPtr &b) { return rowGoesBefore(a, b); });
    return rows;
}

bool AccountPanelController::layOutMonths()
{
    const QDate from = firstDay();
    const QDate to = lastDay();
    if (!from.isValid() || !to.isValid() || from > to) {
        m_storedRows = 0;
        setItems({});
        return true;
    }
    const std::optional<std::vector<int>> counts = doc()->accountEntriesPerMonth(accountIdent(), from, to);
    if (!counts) return false;
    std::vector<BookMonth> months;
    std::vector<std::pair<size_t, std::vector<RowPtr>>> edges;  // months cut by the period, read now
    int offset = 0;
    QDate start(from.year(), from.month(), 1);
    for (size_t i = 0; i < counts->size(); ++i, start = start.addMonths(1)) {
        BookMonth month{std::max(start, from), std::min(lastOfMonth(start), to), offset, (*counts)[i]};
        if (month.first != start || month.last != lastOfMonth(start)) {
            // Counts are of whole months: a cut one is counted by reading it.
            std::vector<RowPtr> rows = readMonth(month);
            month.count = int(rows.size());
            edges.emplace_back(i, std::move(rows));
        }
        offset += month.count;
        months.push_back(month);
    }
    std::vector<RowPtr> rows(static_cast<size_t>(offset));
    for (auto &[index, read] : edges)
        std::move(read.begin(), read.end(), rows.begin() + months[index].offset);
    m_months = std::move(months);
    m_storedRows = offset;
    setItems(std::move(rows));
    return true;
}

size_t AccountPanelController::monthOfRow(int row) const
{
    const auto after = std::upper_bound(m_months.begin(), m_months.end(), row,
                                        [](int r, const BookMonth &month) { return r < month.offset; });
    Q_ASSERT(after != m_months.begin());
    return after == m_months.begin() ? 0 : size_t(after - m_months.begin()) - 1;
}

void AccountPanelController::readRowPage(int row) const
{
    if (m_months.empty() || row < 0 || row >= m_storedRows) return;
    const BookMonth &month = m_months[monthOfRow(row)];
    const std::vector<RowPtr> rows = readMonth(month);
    for (size_t k = 0; k < rows.size() && int(k) < month.count; ++k) fillUnreadRow(month.offset + int(k), rows[k]);
    if (int(rows.size()) == month.count || m_pageMissed) return;
    // The counts missed a write (or the read failed): every row is read once,
    // after the paint that asked.
    qCWarning(lcModel) << "account book month" << month.first << "read" << rows.size() << "rows of" << month.count;
    auto *self = const_cast<AccountPanelController *>(this);
    self->m_pageMissed = true;
    QTimer::singleShot(0, self, [self] {
        self->readAllRows();
        self->reloadTable();
    });
}

void AccountPanelController::readAllRows()
{
    if (m_months.empty()) return;
    std::vector<std::vector<RowPtr>> fresh(m_months.size());
    const bool read = doc()->readAccountEntries(accountIdent(), firstDay(), lastDay(), [&](const CV4Actual &entry) {
        const auto month = std::upper_bound(m_months.begin(), m_months.end(), entry.date(),
                                            [](const QDate &d, const BookMonth &m) { return d < m.first; });
        if (month != m_months.begin()) fresh[size_t(month - m_months.begin()) - 1].push_back(std::make_shared<CV4Actual>(entry));
    });
    if (!read) {
        qCWarning(lcModel) << "account book: the period does not read";
        return;
    }
    const std::vector<RowPtr> &list = items();
    std::vector<RowPtr> rows;
    rows.reserve(list.size());
    for (size_t m = 0; m < m_months.size(); ++m) {
        const BookMonth &month = m_months[m];
        std::unordered_map<int, RowPtr> held;  // rows read before stay, by identity
        bool whole = true;
        for (int k = 0; k < month.count; ++k) {
            const RowPtr &row = list[size_t(month.offset + k)];
            if (row)
                held.emplace(actual(row)->ident(), row);
            else
                whole = false;
        }
        if (whole) {
            rows.insert(rows.end(), list.begin() + month.offset, list.begin() + month.offset + month.count);
            continue;
        }
        if (m_sorted)
            std::stable_sort(fresh[m].begin(), fresh[m].end(),
                             [this](const RowPtr &a, const RowPtr &b) { return rowGoesBefore(a, b); });
        for (RowPtr &row : fresh[m]) {
            const auto it = held.find(actual(row)->ident());
            rows.push_back(it == held.end() ? std::move(row) : it->second);
        }
    }
    const size_t newRows = std::min(list.size(), size_t(m_storedRows));
    m_storedRows = int(rows.size());
    rows.insert(rows.end(), list.begin() + newRows, list.end());
    m_months.clear();
    m_removedRows.clear();
    setItems(std::move(rows));
}

void AccountPanelController::rowRemovedAt(int row)
{
    if (row < 0 || row >= m_storedRows) return;
    --m_storedRows;
    if (m_months.empty()) return;
    const size_t m = monthOfRow(row);
    m_removedRows.emplace_back(m, rowAt(row));
    --m_months[m].count;
    for (size_t k = m + 1; k < m_months.size(); ++k) --m_months[k].offset;
}

// The list sorted as a whole: rows keep to their months unless a date was
// typed into another month, so each month read is sorted in place and the
// others when they are read.
void AccountPanelController::sortItems()
{
    if (m_months.empty()) {
        InputPanelController::sortItems();
        return;
    }
    const std::vector<RowPtr> &list = items();
    bool movesAcross = false;
    for (size_t m = 0; m < m_months.size() && !movesAcross; ++m) {
        const BookMonth &month = m_months[m];
        for (int k = 0; k < month.count && !movesAcross; ++k) {
            const RowPtr &row = list[size_t(month.offset + k)];
            if (row && (rowDate(row) < month.first || rowDate(row) > month.last || (rowFlags(row) & cv::EditNew)))
                movesAcross = true;
        }
    }
    for (size_t k = size_t(m_storedRows); k < list.size() && !movesAcross; ++k)
        movesAcross = !(rowFlags(list[k]) & cv::EditNew);
    if (movesAcross) {
        readAllRows();
        InputPanelController::sortItems();
        return;
    }
    std::vector<RowPtr> &rows = mutableItems();
    const auto order = [this](const RowPtr &a, const RowPtr &b) { return rowGoesBefore(a, b); };
    for (const BookMonth &month : m_months) {
        if (month.count > 0 && rows[size_t(month.offset)])
            std::stable_sort(rows.begin() + month.offset, rows.begin() + month.offset + month.count, order);
    }
    std::stable_sort(rows.begin() + m_storedRows, rows.end(), order);
    m_sorted = true;
}

double AccountPanelController::rowDelta(const RowPtr &row) const
{
    return (rowFlags(row) & cv::EditDeleted) ? 0.0 : balanceChange(*actual(row));
}

double AccountPanelController::pagedBalance(int row) const
{
    const size_t count = m_months.size();
    if (m_monthStarts.empty()) {
        // What the edits above each month changed against the stored rows
        // the cache summed; a row's month is where it was read.
        std::vector<double> change(count, 0.0);
        const std::vector<RowPtr> &list = items();
        for (size_t m = 0; m < count; ++m) {
            const BookMonth &month = m_months[m];
            for (int k = 0; k < month.count; ++k) {
                const RowPtr &r = list[size_t(month.offset + k)];
                if (!r) break;   // a month is read whole or not at all
                const CV4ActualPtr stored = copyOf(actual(r));
                change[m] += rowDelta(r) - balanceChange(stored ? *stored : *actual(r));
            }
        }
        for (const auto &[m, r] : m_removedRows) {
            const CV4ActualPtr stored = copyOf(actual(r));
            change[m] -= balanceChange(stored ? *stored : *actual(r));
        }
        const QDate carryDay = firstDay().addDays(-1);
        const double carried = doc()->valueForAccount(item(), carryDay, doc()->findCurrency(currencyIdent()));
        m_monthStarts.resize(count + 1);
        double changed = 0;
        for (size_t m = 0; m <= count; ++m) {
            const QDate end = m < count ? m_months[m].first.addDays(-1) : lastDay();
            m_monthStarts[m] = carried + doc()->accountBalanceMovement(item(), carryDay, end) + changed;
            if (m < count) changed += change[m];
        }
    }
    const size_t m = row < m_storedRows ? monthOfRow(row) : count;
    const int offset = m < count ? m_months[m].offset : m_storedRows;
    auto found = m_monthBalances.find(m);
    if (found == m_monthBalances.end()) {
        const int rows = m < count ? m_months[m].count : int(items().size()) - m_storedRows;
        std::vector<double> balances;
        balances.reserve(size_t(rows));
        double sum = m_monthStarts[m];
        for (int k = 0; k < rows; ++k) {
            if (const RowPtr r = rowAt(offset + k)) sum += rowDelta(r);
            balances.push_back(sum);
        }
        found = m_monthBalances.emplace(m, std::move(balances)).first;
    }
    const size_t at = size_t(row - offset);
    return at < found->second.size() ? found->second[at] : m_monthStarts[m];
}
