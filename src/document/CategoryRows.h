#pragma once
// Rows read in one pass over the entry table, grouped by category: what the
// balance cache and the XML form read of every entry at once.

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <algorithm>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace cv {

class EntryTableReader;

// The rows of one category, in the order their table holds them grouped: a
// view into a CategoryRows.
template <class Row> class CategoryRowRange {
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
        friend class CategoryRowRange;
        static constexpr std::ptrdiff_t kAhead = 16;
        Iterator(const Row *rows, const quint32 *at, const quint32 *end) : m_rows(rows), m_at(at), m_end(end)
        {
            for (std::ptrdiff_t i = 0; i < std::min(kAhead, m_end - m_at); ++i) __builtin_prefetch(m_rows + m_at[i]);
        }
        const Row *m_rows;
        const quint32 *m_at;
        const quint32 *m_end;
    };

    CategoryRowRange(const Row *rows, std::span<const quint32> order) : m_rows(rows), m_order(order) {}
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
template <class Row> class CategoryRows {
public:
    CategoryRowRange<Row> rowsForCategory(int category) const
    {
        const auto group = std::lower_bound(m_groups.begin(), m_groups.end(), category,
                                            [](const Group &g, int c) { return g.category < c; });
        if (group == m_groups.end() || group->category != category) return {m_rows.data(), {}};
        return {m_rows.data(), std::span<const quint32>(m_order).subspan(group->begin, group->end - group->begin)};
    }
    size_t size() const { return m_rows.size(); }

protected:
    friend class cv::EntryTableReader;
    struct Group {
        int category;
        quint32 begin; // into m_order
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

    std::vector<Row> m_rows;      // table order
    std::vector<quint32> m_order; // indices of m_rows by category, then table order
    std::vector<Group> m_groups;  // by category
};

// The columns of one entry that the balance cache reads, as stored.
struct BalanceCacheRow {
    int category = 0;
    int day = 0; // day number
    int account = 0;
    int destination = 0;
    double amount = 0;
    double converted = 0;
};
using BalanceCacheRowRange = CategoryRowRange<BalanceCacheRow>;

// Every entry's cache columns, read in one pass over the entry table.
class BalanceCacheRows : public CategoryRows<BalanceCacheRow> {
public:
    // Day numbers of the earliest and the latest row; none without rows.
    std::optional<std::pair<int, int>> days() const { return m_days; }

private:
    friend class cv::EntryTableReader;
    std::optional<std::pair<int, int>> m_days;
};

// One stored entry as the whole-document XML form writes it; the memo is its
// stored bytes in the list's memo buffer.
struct ExportEntry {
    int ident = 0;
    int kind = 0;
    int day = 0; // day number
    int category = 0;
    int account = 0;
    int destination = 0;
    int group = 0;
    quint32 memoBegin = 0; // into ExportEntries' memo bytes
    quint32 memoSize = 0;
    double amount = 0;
    double converted = 0;
};

// Every entry, read in one pass in table order, grouped by category and each
// group in date, then ident order (what "ORDER BY date,id" of one category answers).
class ExportEntries : public CategoryRows<ExportEntry> {
public:
    // The memo's stored bytes (UTF-8, or Latin-1 text from a damaged file).
    QByteArrayView memo(const ExportEntry &entry) const
    {
        return QByteArrayView(m_memos.constData() + entry.memoBegin, entry.memoSize);
    }

private:
    friend class cv::EntryTableReader;
    QByteArray m_memos; // every memo's bytes, one after another
};

} // namespace cv
