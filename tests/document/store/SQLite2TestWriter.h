#pragma once
// Writes SQLite 2.8 database files for tests: either byte order, trees of any
// depth, overflow chains, records with 1-, 2- and 3-byte offsets. Index
// schema rows get an empty tree. The fixtures come from the real shell; this
// covers what they cannot (big-endian files, records over 64 KiB, crafted
// schema texts, documents with real archives in them).

#include <QByteArray>

#include <optional>
#include <vector>

namespace sqlite2test {

using Value = std::optional<QByteArray>;

struct Row {
    qint32 rowid = 0;
    std::vector<Value> values; // the INTEGER PRIMARY KEY column holds NULL
};

struct Object {
    QByteArray type = "table";
    QByteArray name;
    Value sql;
    std::vector<Row> rows; // tables only, in row-id order
};

class Writer {
public:
    explicit Writer(bool bigEndian = false) : m_bigEndian(bigEndian) {}

    QByteArray write(const std::vector<Object> &objects)
    {
        m_pages.assign(2, QByteArray(kPage, '\0'));
        std::vector<Entry> schema;
        qint32 schemaId = 0;
        for (const Object &o : objects) {
            std::vector<Entry> entries;
            for (const Row &r : o.rows) entries.push_back({key(r.rowid), record(r.values), 0});
            const quint32 root = o.type == "table" || o.type == "index" ? buildTree(entries, 0) : 0;
            schema.push_back({key(++schemaId), record({o.type, o.name, o.name, QByteArray::number(root), o.sql}), 0});
        }
        buildTree(schema, 2);
        QByteArray &header = m_pages[0];
        memcpy(header.data(), "** This file contains an SQLite 2.1 database **", 48);
        put32(header, 48, 0xDAE37528u);
        put32(header, 60, 1);
        put32(header, 64, 4);
        QByteArray file;
        for (const QByteArray &p : m_pages) file += p;
        return file;
    }

    // The record form of a row's values.
    static QByteArray record(const std::vector<Value> &values)
    {
        qsizetype body = 0;
        for (const Value &v : values) body += v ? v->size() + 1 : 0;
        const qsizetype n = qsizetype(values.size()) + 1;
        const int width = n + body < 256 ? 1 : 2 * n + body < 65536 ? 2 : 3;
        QByteArray out;
        qsizetype offset = width * n;
        auto putOffset = [&](qsizetype o) {
            for (int i = 0; i < width; ++i) out += char((o >> (8 * i)) & 0xFF);
        };
        for (const Value &v : values) {
            putOffset(offset);
            offset += v ? v->size() + 1 : 0;
        }
        putOffset(offset);
        for (const Value &v : values)
            if (v) out += *v + '\0';
        return out;
    }

    static QByteArray key(qint32 rowid)
    {
        const quint32 k = quint32(rowid) ^ 0x80000000u;
        const char bytes[4] = {char(k >> 24), char(k >> 16), char(k >> 8), char(k)};
        return QByteArray(bytes, 4);
    }

private:
    static constexpr int kPage = 1024;
    struct Entry {
        QByteArray key, data;
        quint32 left;
    };

    void put32(QByteArray &p, int at, quint32 v) const
    {
        for (int i = 0; i < 4; ++i) p[at + i] = char(m_bigEndian ? v >> (24 - 8 * i) : v >> (8 * i));
    }
    void put16(QByteArray &p, int at, quint32 v) const
    {
        p[at] = char(m_bigEndian ? v >> 8 : v);
        p[at + 1] = char(m_bigEndian ? v : v >> 8);
    }
    quint32 newPage()
    {
        m_pages.push_back(QByteArray(kPage, '\0'));
        return quint32(m_pages.size());
    }
    static int cellSize(const Entry &e)
    {
        const qsizetype p = e.key.size() + e.data.size();
        return p > 236 ? 252 : int(12 + ((p + 3) & ~3));
    }

    // Writes one page of cells with the given right child into page `number`.
    void writePage(quint32 number, const std::vector<Entry> &cells, quint32 right)
    {
        QByteArray p(kPage, '\0'); // newPage() may move the stored pages
        put32(p, 0, right);
        int at = 8;
        put16(p, 4, cells.empty() ? 0 : 8);
        for (size_t i = 0; i < cells.size(); ++i) {
            const Entry &e = cells[i];
            const int size = cellSize(e);
            const QByteArray payload = e.key + e.data;
            put32(p, at, e.left);
            put16(p, at + 4, quint32(e.key.size()) & 0xFFFF);
            put16(p, at + 6, i + 1 < cells.size() ? at + size : 0);
            p[at + 8] = char(e.key.size() >> 16);
            p[at + 9] = char(e.data.size() >> 16);
            put16(p, at + 10, quint32(e.data.size()) & 0xFFFF);
            const qsizetype local = std::min<qsizetype>(payload.size(), 236);
            memcpy(p.data() + at + 12, payload.constData(), size_t(local));
            if (payload.size() > 236) {
                qsizetype done = 236;
                quint32 first = newPage(), page = first;
                while (true) {
                    const qsizetype n = std::min<qsizetype>(payload.size() - done, 1020);
                    memcpy(m_pages[page - 1].data() + 4, payload.constData() + done, size_t(n));
                    done += n;
                    if (done == payload.size()) break;
                    const quint32 next = newPage();
                    put32(m_pages[page - 1], 0, next);
                    page = next;
                }
                put32(p, at + 248, first);
            }
            at += size;
        }
        if (at < kPage) { // the rest of the page as one free block
            put16(p, 6, at);
            put16(p, at, kPage - at);
        }
        m_pages[number - 1] = p;
    }

    // A classic B-tree, built level by level; answers its root (`root` when
    // not 0, already allocated).
    quint32 buildTree(std::vector<Entry> items, quint32 root, quint32 right = 0)
    {
        std::vector<Entry> up;
        std::vector<Entry> current;
        int used = 8;
        std::vector<std::pair<std::vector<Entry>, quint32>> pages; // cells, right child
        for (size_t i = 0; i < items.size(); ++i) {
            Entry e = items[i];
            if (used + cellSize(e) > kPage) {
                pages.push_back({current, e.left});
                e.left = 0; // set once the page has its number
                up.push_back(e);
                current.clear();
                used = 8;
                continue;
            }
            used += cellSize(e);
            current.push_back(e);
        }
        pages.push_back({current, right});
        if (pages.size() == 1) {
            const quint32 number = root ? root : newPage();
            writePage(number, current, right);
            return number;
        }
        for (size_t i = 0; i < pages.size(); ++i) {
            const quint32 number = newPage();
            writePage(number, pages[i].first, pages[i].second);
            if (i < up.size())
                up[i].left = number;
            else
                right = number;
        }
        return buildTree(up, root, right);
    }

    std::vector<QByteArray> m_pages;
    bool m_bigEndian;
};

} // namespace sqlite2test
