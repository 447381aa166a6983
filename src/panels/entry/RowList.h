#pragma once
// A panel's rows in table order, by index. A panel that reads its rows page
// by page lists every row of its period but reads only the pages shown: the
// others are null. The list keeps its rows in blocks and makes a block only
// when one of its rows is set, so a list of a million unread rows costs a
// few kilobytes, is made without writing a row, and is freed without
// visiting one; forEachRead passes over the blocks never made.

#include "panels/entry/PanelRow.h"

#include <array>
#include <cstddef>
#include <iterator>
#include <memory>
#include <vector>

namespace cv {

class RowList {
public:
    RowList() = default;
    // That many unread (null) rows.
    explicit RowList(size_t unread) : m_size(unread), m_blocks((unread + kBlock - 1) / kBlock) {}
    explicit RowList(const std::vector<PanelRow> &rows) : RowList(rows.size())
    {
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i]) set(i, rows[i]);
    }

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const PanelRow &operator[](size_t i) const
    {
        static const PanelRow unread;
        const Block *block = m_blocks[i / kBlock].get();
        return block ? (*block)[i % kBlock] : unread;
    }
    void set(size_t i, PanelRow row)
    {
        std::unique_ptr<Block> &block = m_blocks[i / kBlock];
        if (!block) {
            if (!row) return;
            block = std::make_unique<Block>();
        }
        (*block)[i % kBlock] = std::move(row);
    }
    void push_back(PanelRow row)
    {
        if (m_size % kBlock == 0) m_blocks.emplace_back();
        set(m_size++, std::move(row));
    }
    void insert(size_t at, const std::vector<PanelRow> &rows)
    {
        std::vector<PanelRow> all = toVector();
        all.insert(all.begin() + std::ptrdiff_t(at), rows.begin(), rows.end());
        *this = RowList(all);
    }
    // The rows after `at` move up by one, a block at a time: a block that
    // holds no read row and whose successor holds none stays unmade.
    void erase(size_t at)
    {
        for (size_t b = at / kBlock; b < m_blocks.size(); ++b) {
            Block *next = b + 1 < m_blocks.size() ? m_blocks[b + 1].get() : nullptr;
            if (!m_blocks[b] && !(next && (*next)[0])) continue;
            if (!m_blocks[b]) m_blocks[b] = std::make_unique<Block>();
            Block &block = *m_blocks[b];
            for (size_t k = b == at / kBlock ? at % kBlock : 0; k + 1 < kBlock; ++k) block[k] = std::move(block[k + 1]);
            block[kBlock - 1] = next ? std::move((*next)[0]) : PanelRow();
        }
        if (--m_size % kBlock == 0) m_blocks.pop_back();
    }
    // The index of the row, by identity; -1 when it is not listed (or null).
    std::ptrdiff_t indexOf(const PanelRow &row) const
    {
        std::ptrdiff_t found = -1;
        if (!row) return found;
        forEachRead([&](size_t i, const PanelRow &r) {
            if (!(r == row)) return true;
            found = std::ptrdiff_t(i);
            return false;
        });
        return found;
    }
    // f(index, row) for every row read, in order, while f answers true.
    template <class F> void forEachRead(F &&f) const
    {
        for (size_t b = 0; b < m_blocks.size(); ++b) {
            if (!m_blocks[b]) continue;
            const Block &block = *m_blocks[b];
            for (size_t k = 0; k < kBlock && b * kBlock + k < m_size; ++k)
                if (block[k] && !f(b * kBlock + k, block[k])) return;
        }
    }
    // Every row, the unread ones null.
    std::vector<PanelRow> toVector() const
    {
        std::vector<PanelRow> all(m_size);
        forEachRead([&](size_t i, const PanelRow &row) {
            all[i] = row;
            return true;
        });
        return all;
    }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = PanelRow;
        using difference_type = std::ptrdiff_t;
        using pointer = const PanelRow *;
        using reference = const PanelRow &;
        const_iterator(const RowList *list, size_t at) : m_list(list), m_at(at) {}
        reference operator*() const { return (*m_list)[m_at]; }
        const_iterator &operator++()
        {
            ++m_at;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return m_at == other.m_at; }

    private:
        const RowList *m_list;
        size_t m_at;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, m_size}; }

private:
    static constexpr size_t kBlock = 256;
    using Block = std::array<PanelRow, kBlock>;

    size_t m_size = 0;
    std::vector<std::unique_ptr<Block>> m_blocks; // null: every row of the block unread
};

} // namespace cv
