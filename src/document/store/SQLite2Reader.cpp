#include "document/store/SQLite2Reader.h"

#include "platform/Logging.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace cv {

namespace {

constexpr char kHeaderText[] = "** This file contains an SQLite 2.1 database **";
constexpr int kHeaderSize = 48; // the text and its zero byte
constexpr int kCellHeader = 12;
constexpr int kLocalLimit = 236;    // payload bytes kept in the cell
constexpr int kOverflowData = 1020; // payload bytes per overflow page
constexpr int kMaxCells = 63;       // a cell takes at least 16 bytes
constexpr int kMaxDepth = 32;       // far above any real tree
constexpr int kMaxFormat = 4;
constexpr int kMaxTrunkCount = 254;

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The column facts of a CREATE TABLE text: how many columns the records hold
// and which one, if any, aliases the row id.
struct TableColumns {
    int count = 0;
    int rowidColumn = -1;
};

class SqlTokens {
public:
    explicit SqlTokens(QByteArrayView sql) : m_sql(sql) {}

    // The next token (an identifier or keyword, a quoted name or string, or
    // one punctuation character); empty at the end.
    QByteArrayView next()
    {
        skipSpace();
        if (m_at >= m_sql.size()) return {};
        const qsizetype start = m_at;
        const char c = m_sql[m_at];
        if (c == '"' || c == '\'' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            ++m_at;
            while (m_at < m_sql.size()) {
                if (m_sql[m_at] == close) {
                    if (close != ']' && m_at + 1 < m_sql.size() && m_sql[m_at + 1] == close) {
                        m_at += 2;
                        continue;
                    }
                    ++m_at;
                    return m_sql.sliced(start, m_at - start);
                }
                ++m_at;
            }
            m_bad = true; // an unterminated quote
            return {};
        }
        if (isWordByte(c)) {
            while (m_at < m_sql.size() && isWordByte(m_sql[m_at])) ++m_at;
            return m_sql.sliced(start, m_at - start);
        }
        ++m_at;
        return m_sql.sliced(start, 1);
    }
    bool bad() const { return m_bad; }

private:
    static bool isWordByte(char c)
    {
        return isAsciiLetter(c) || isAsciiDigit(c) || c == '_' || c == '$' || static_cast<uchar>(c) >= 0x80;
    }
    void skipSpace()
    {
        while (m_at < m_sql.size()) {
            const char c = m_sql[m_at];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
                ++m_at;
            } else if (c == '-' && m_at + 1 < m_sql.size() && m_sql[m_at + 1] == '-') {
                while (m_at < m_sql.size() && m_sql[m_at] != '\n') ++m_at;
            } else if (c == '/' && m_at + 1 < m_sql.size() && m_sql[m_at + 1] == '*') {
                const qsizetype end = QByteArrayView(m_sql).indexOf("*/", m_at + 2);
                m_at = end < 0 ? m_sql.size() : end + 2;
            } else {
                return;
            }
        }
    }

    QByteArrayView m_sql;
    qsizetype m_at = 0;
    bool m_bad = false;
};

bool sameWord(QByteArrayView token, const char *word)
{
    return token.compare(word, Qt::CaseInsensitive) == 0;
}

QByteArray unquoted(QByteArrayView token)
{
    if (token.size() >= 2 && (token[0] == '"' || token[0] == '\'' || token[0] == '`' || token[0] == '[')) {
        QByteArray inner = token.sliced(1, token.size() - 2).toByteArray();
        if (token[0] != '[') {
            const QByteArray quote(1, token[0]);
            inner.replace(QByteArray(quote + quote), quote);
        }
        return inner;
    }
    return token.toByteArray();
}

bool isColumnConstraint(QByteArrayView t)
{
    for (const char *w :
         {"CONSTRAINT", "PRIMARY", "NOT", "NULL", "UNIQUE", "CHECK", "DEFAULT", "COLLATE", "REFERENCES"})
        if (sameWord(t, w)) return true;
    return false;
}

// Reads the column list of "CREATE [TEMP] TABLE name ( ... )". None when the
// text is not such a statement.
std::optional<TableColumns> parseCreateTable(QByteArrayView sql)
{
    SqlTokens tokens(sql);
    QByteArrayView t = tokens.next();
    if (!sameWord(t, "CREATE")) return std::nullopt;
    t = tokens.next();
    if (sameWord(t, "TEMP") || sameWord(t, "TEMPORARY")) t = tokens.next();
    if (!sameWord(t, "TABLE")) return std::nullopt;
    if (tokens.next().isEmpty()) return std::nullopt; // the name
    if (tokens.next() != "(") return std::nullopt;

    std::vector<QByteArray> names;
    std::vector<QByteArray> types;
    std::vector<QByteArray> primaryKey;
    bool inConstraints = false;
    for (;;) {
        // One column definition or table constraint, up to "," or ")" at depth 0.
        std::vector<QByteArrayView> part;
        int depth = 0;
        QByteArrayView end;
        for (;;) {
            t = tokens.next();
            if (t.isEmpty()) return std::nullopt;
            if (t == "(") ++depth;
            if (t == ")" && depth-- == 0) {
                end = t;
                break;
            }
            if (t == "," && depth == 0) {
                end = t;
                break;
            }
            part.push_back(t);
        }
        if (part.empty()) return std::nullopt; // "()" or an empty definition
        const QByteArrayView head = part.front();
        if (sameWord(head, "CONSTRAINT") || sameWord(head, "PRIMARY") || sameWord(head, "UNIQUE") ||
            sameWord(head, "CHECK")) {
            inConstraints = true;
            size_t i = 0;
            if (sameWord(head, "CONSTRAINT")) i = 2;
            if (i + 1 < part.size() && sameWord(part[i], "PRIMARY") && sameWord(part[i + 1], "KEY")) {
                size_t j = i + 2;
                if (j < part.size() && part[j] == "(") {
                    for (++j; j < part.size() && part[j] != ")"; ++j) {
                        if (part[j] == ",") continue;
                        // A column name may carry a sort order or collation after it.
                        if (j > 0 && part[j - 1] != "(" && part[j - 1] != ",") continue;
                        primaryKey.push_back(unquoted(part[j]));
                    }
                }
            }
        } else {
            if (inConstraints) return std::nullopt;
            names.push_back(unquoted(head));
            QByteArray type;
            size_t i = 1;
            int typeDepth = 0;
            for (; i < part.size(); ++i) {
                if (typeDepth == 0 && isColumnConstraint(part[i])) break;
                if (part[i] == "(") ++typeDepth;
                if (part[i] == ")") --typeDepth;
                type += part[i].toByteArray();
            }
            types.push_back(type);
            for (; i + 1 < part.size(); ++i) {
                if (sameWord(part[i], "PRIMARY") && sameWord(part[i + 1], "KEY")) primaryKey.push_back(names.back());
            }
        }
        if (end == ")") break;
    }
    if (tokens.bad() || names.empty()) return std::nullopt;

    TableColumns columns;
    columns.count = int(names.size());
    if (primaryKey.size() == 1) {
        for (size_t i = 0; i < names.size(); ++i) {
            if (QByteArrayView(names[i]).compare(primaryKey.front(), Qt::CaseInsensitive) == 0) {
                if (sameWord(types[i], "INTEGER")) columns.rowidColumn = int(i);
                break;
            }
        }
    }
    return columns;
}

// The row id of a table key: big-endian with the sign bit flipped.
qint32 rowidOfKey(QByteArrayView key)
{
    const auto *k = reinterpret_cast<const uchar *>(key.data());
    const quint32 raw = (quint32(k[0]) << 24) | (quint32(k[1]) << 16) | (quint32(k[2]) << 8) | quint32(k[3]);
    return qint32(raw ^ 0x80000000u);
}

// The second character of a text (UTF-8), the first sort key of the dump's
// schema order.
QByteArrayView secondCharacter(QByteArrayView text)
{
    auto length = [&](qsizetype at) {
        const uchar c = uchar(text[at]);
        qsizetype n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return std::min(n, text.size() - at);
    };
    if (text.isEmpty()) return {};
    const qsizetype first = length(0);
    if (first >= text.size()) return {};
    return text.sliced(first, length(first));
}

} // namespace

SQLite2Reader::SQLite2Reader(QByteArray file) : m_file(std::move(file)) {}

bool SQLite2Reader::fail(const QString &why)
{
    if (m_error.isEmpty()) m_error = why;
    return false;
}

quint32 SQLite2Reader::u32(const uchar *p) const
{
    if (m_bigEndian) return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
    return (quint32(p[3]) << 24) | (quint32(p[2]) << 16) | (quint32(p[1]) << 8) | quint32(p[0]);
}

quint16 SQLite2Reader::u16(const uchar *p) const
{
    if (m_bigEndian) return quint16((p[0] << 8) | p[1]);
    return quint16((p[1] << 8) | p[0]);
}

const uchar *SQLite2Reader::page(quint32 number) const
{
    return reinterpret_cast<const uchar *>(m_file.constData()) + qint64(number - 1) * kPageSize;
}

bool SQLite2Reader::claimPage(quint32 number)
{
    if (number < 2 || number > quint64(pageCount())) return fail(QStringLiteral("page %1 out of range").arg(number));
    if (m_visited[number]) return fail(QStringLiteral("page %1 reached twice").arg(number));
    m_visited[number] = true;
    ++m_pagesVisited;
    return true;
}

bool SQLite2Reader::readHeader()
{
    if (pageCount() < 2) return fail(QStringLiteral("shorter than two pages"));
    const uchar *p = page(1);
    if (memcmp(p, kHeaderText, kHeaderSize) != 0) return fail(QStringLiteral("no SQLite 2 header"));
    if (memcmp(p + 48, "\x28\x75\xE3\xDA", 4) == 0) {
        m_bigEndian = false;
    } else if (memcmp(p + 48, "\xDA\xE3\x75\x28", 4) == 0) {
        m_bigEndian = true;
    } else {
        return fail(QStringLiteral("unknown byte order"));
    }
    const quint32 format = u32(p + 64);
    if (format > kMaxFormat) return fail(QStringLiteral("file format %1").arg(format));
    return true;
}

bool SQLite2Reader::walkFreelist()
{
    const uchar *header = page(1);
    quint32 trunk = u32(header + 52);
    qint64 counted = 0;
    while (trunk != 0) {
        if (!claimPage(trunk)) return false;
        const uchar *p = page(trunk);
        const quint32 count = u32(p + 4);
        if (count > kMaxTrunkCount)
            return fail(QStringLiteral("freelist page %1 lists %2 pages").arg(trunk).arg(count));
        for (quint32 i = 0; i < count; ++i)
            if (!claimPage(u32(p + 8 + 4 * i))) return false;
        counted += 1 + count;
        trunk = u32(p);
    }
    if (counted != u32(header + 56))
        qCInfo(lcDocument, "old database: free page count %u, freelist holds %lld", u32(header + 56), counted);
    return true;
}

// Gathers a cell's payload: the local part, then its overflow chain.
bool SQLite2Reader::readPayload(const uchar *cell, qint64 payloadSize, QByteArray &payload)
{
    const qint64 local = std::min<qint64>(payloadSize, kLocalLimit);
    // A size the file cannot hold is refused before anything is allocated for it.
    if ((payloadSize - local + kOverflowData - 1) / kOverflowData > pageCount())
        return fail(QStringLiteral("payload of %1 bytes in a file of %2 pages").arg(payloadSize).arg(pageCount()));
    payload.resize(payloadSize);
    char *to = payload.data();
    memcpy(to, cell + kCellHeader, size_t(local));
    qint64 at = local;
    if (at == payloadSize) return true;
    quint32 next = u32(cell + kCellHeader + kLocalLimit);
    while (at < payloadSize) {
        if (next == 0) return fail(QStringLiteral("overflow chain ends early"));
        if (!claimPage(next)) return false;
        const uchar *p = page(next);
        const qint64 n = std::min<qint64>(payloadSize - at, kOverflowData);
        memcpy(to + at, p + 4, size_t(n));
        at += n;
        next = u32(p);
    }
    if (next != 0) ++m_linkAfterChain;
    return true;
}

bool SQLite2Reader::walkTree(quint32 root, bool isTable, const EntryVisit &visit)
{
    m_leafDepth = -1;
    m_lastKey.clear();
    return walkPage(root, 0, isTable, visit);
}

bool SQLite2Reader::walkPage(quint32 number, int depth, bool isTable, const EntryVisit &visit)
{
    if (depth > kMaxDepth) return fail(QStringLiteral("tree deeper than %1 at page %2").arg(kMaxDepth).arg(number));
    if (!claimPage(number)) return false;
    const uchar *p = page(number);
    const quint32 right = u32(p);
    const bool interior = right != 0;
    auto damaged = [&](const char *what) {
        return fail(QStringLiteral("page %1: %2").arg(number).arg(QLatin1String(what)));
    };

    // Free blocks ascend and stay inside the page.
    quint32 previousEnd = 8;
    for (quint32 block = u16(p + 6), count = 0; block != 0; block = u16(p + block + 2)) {
        if (++count > kMaxCells + 1 || block % 4 != 0 || block < previousEnd || block + 4 > kPageSize)
            return damaged("free block out of place");
        const quint32 size = u16(p + block);
        if (size < 4 || block + size > kPageSize) return damaged("free block out of place");
        previousEnd = block + size;
    }

    QByteArray payload;
    int cells = 0;
    for (quint32 cell = u16(p + 4); cell != 0; cell = u16(p + cell + 6)) {
        if (++cells > kMaxCells) return damaged("too many cells");
        if (cell % 4 != 0 || cell < 8 || cell + kCellHeader > kPageSize) return damaged("cell out of place");
        const uchar *c = p + cell;
        const quint32 left = u32(c);
        const qint64 keySize = u16(c + 4) | (qint64(c[8]) << 16);
        const qint64 dataSize = (qint64(c[9]) << 16) | u16(c + 10);
        const qint64 payloadSize = keySize + dataSize;
        const qint64 localEnd =
            cell + kCellHeader + std::min<qint64>(payloadSize, kLocalLimit) + (payloadSize > kLocalLimit ? 4 : 0);
        if (localEnd > kPageSize) return damaged("cell runs past the page");
        if (interior != (left != 0)) return damaged("child links of an interior page and a leaf mixed");
        if (isTable ? keySize != 4 : (keySize <= 4 || dataSize != 0)) return damaged("key of the wrong size");
        if (interior && !walkPage(left, depth + 1, isTable, visit)) return false;
        if (!readPayload(c, payloadSize, payload)) return false;
        const QByteArrayView key(payload.constData(), keySize);
        if (isTable) {
            if (!m_lastKey.isEmpty() && QByteArrayView(m_lastKey).compare(key) >= 0)
                return damaged("keys out of order");
            m_lastKey.resize(key.size());
            memcpy(m_lastKey.data(), key.data(), size_t(key.size()));
        }
        if (visit && !visit(key, QByteArrayView(payload.constData() + keySize, dataSize))) return false;
    }
    if (interior) return walkPage(right, depth + 1, isTable, visit);
    if (m_leafDepth < 0) m_leafDepth = depth;
    if (m_leafDepth != depth) return damaged("leaves at different depths");
    return true;
}

bool SQLite2Reader::parseRecord(QByteArrayView data, qsizetype fields, std::vector<Value> &values)
{
    const qsizetype size = data.size();
    const int width = size < 256 ? 1 : size < 65536 ? 2 : 3;
    const auto *d = reinterpret_cast<const uchar *>(data.data());
    auto offset = [&](qsizetype i) {
        const uchar *o = d + i * width;
        qsizetype v = o[0];
        if (width > 1) v |= qsizetype(o[1]) << 8;
        if (width > 2) v |= qsizetype(o[2]) << 16;
        return v;
    };
    if (size < 2 * width) return fail(QStringLiteral("record too short"));
    const qsizetype first = offset(0);
    if (first % width != 0 || first < 2 * width || first > size) return fail(QStringLiteral("record header damaged"));
    const qsizetype count = first / width - 1;
    if (count != fields) return fail(QStringLiteral("record holds %1 fields, table %2").arg(count).arg(fields));
    values.resize(size_t(count));
    qsizetype start = first;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype end = offset(i + 1);
        if (end < start || end > size) return fail(QStringLiteral("record offsets do not add up"));
        if (end == start) {
            values[size_t(i)].reset();
        } else {
            if (d[end - 1] != 0) return fail(QStringLiteral("record field without its end"));
            const auto *text = reinterpret_cast<const char *>(d + start);
            values[size_t(i)] = QByteArray(text, qsizetype(strnlen(text, size_t(end - start))));
        }
        start = end;
    }
    if (start != size) return fail(QStringLiteral("record offsets do not add up"));
    return true;
}

bool SQLite2Reader::readSchema()
{
    std::vector<Value> values;
    return walkTree(2, true, [&](QByteArrayView key, QByteArrayView data) {
        if (!parseRecord(data, 5, values)) return false;
        m_schema.push_back({rowidOfKey(key), values[0], values[1], values[2], values[3], values[4]});
        return true;
    });
}

namespace {

// The root page of a schema row; 0 when the text is no page number.
quint32 rootPageOf(const SQLite2Reader::Value &text)
{
    if (!text || text->isEmpty() || text->size() > 10) return 0;
    quint64 n = 0;
    for (char c : *text) {
        if (!isAsciiDigit(c)) return 0;
        n = n * 10 + quint64(c - '0');
    }
    return n > 0xFFFFFFFFu ? 0 : quint32(n);
}

} // namespace

bool SQLite2Reader::dumpTable(const SchemaRow &row, QByteArray &out)
{
    const std::optional<TableColumns> columns = row.sql ? parseCreateTable(*row.sql) : std::nullopt;
    if (!columns)
        return fail(QStringLiteral("table %1: no readable CREATE TABLE").arg(QString::fromUtf8(row.name.value_or(""))));
    const quint32 root = rootPageOf(row.rootPage);
    const QByteArray prefix = "INSERT INTO " + quotedTableName(row.name.value_or(QByteArray())) + " VALUES(";
    const qint64 limit = dumpLimit(m_file.size());
    std::vector<Value> values;
    return walkTree(root, true, [&](QByteArrayView key, QByteArrayView data) {
        if (!parseRecord(data, columns->count, values)) return false;
        out += prefix;
        for (size_t i = 0; i < values.size(); ++i) {
            if (i > 0) out += ',';
            if (int(i) == columns->rowidColumn) {
                out += QByteArray::number(rowidOfKey(key));
            } else if (!values[i]) {
                out += "NULL";
            } else if (isNumber(*values[i])) {
                out += *values[i];
            } else {
                const QByteArray &v = *values[i];
                out += '\'';
                qsizetype from = 0;
                for (qsizetype q; (q = v.indexOf('\'', from)) >= 0; from = q + 1) {
                    out.append(v.constData() + from, q + 1 - from);
                    out += '\'';
                }
                out.append(v.constData() + from, v.size() - from);
                out += '\'';
            }
        }
        out += ");\n";
        if (out.size() > limit) return fail(QStringLiteral("dump larger than %1 bytes").arg(limit));
        return true;
    });
}

// Out of memory the old shell printed "Out of memory!" and exited; inside
// the program that would take every other open book with it, so the old
// book is refused whole instead.
std::optional<QByteArray> SQLite2Reader::dump()
try {
    m_error.clear();
    m_schema.clear();
    m_pagesVisited = 0;
    m_linkAfterChain = 0;
    QByteArray out = "BEGIN TRANSACTION;\n";
    if (m_file.isEmpty()) return out + "COMMIT;\n";
    if (!readHeader()) return std::nullopt;
    m_visited.assign(size_t(pageCount()) + 1, false);
    if (!readSchema()) return std::nullopt;

    std::vector<const SchemaRow *> order;
    for (const SchemaRow &row : m_schema)
        if (row.sql && row.type != QByteArray("meta")) order.push_back(&row);
    std::stable_sort(order.begin(), order.end(), [](const SchemaRow *a, const SchemaRow *b) {
        const QByteArrayView ka = secondCharacter(a->type.value_or(QByteArray()));
        const QByteArrayView kb = secondCharacter(b->type.value_or(QByteArray()));
        return ka.compare(kb) < 0;
    });
    for (const SchemaRow *row : order) {
        out += *row->sql;
        out += ";\n";
        if (row->type == QByteArray("table") && !dumpTable(*row, out)) return std::nullopt;
    }
    // Index trees hold nothing the dump writes, but their pages count: a page
    // shared with a table or the freelist means damage.
    for (const SchemaRow &row : m_schema) {
        if (row.type != QByteArray("index")) continue;
        const quint32 root = rootPageOf(row.rootPage);
        if (!walkTree(root, false, nullptr)) return std::nullopt;
    }
    if (!walkFreelist()) return std::nullopt;
    if (m_linkAfterChain > 0)
        qCInfo(lcDocument, "old database: %lld overflow chains link past their end", m_linkAfterChain);
    out += "COMMIT;\n";
    return out;
} catch (const std::bad_alloc &) {
    m_error = QStringLiteral("Out of memory!");
    return std::nullopt;
}

bool SQLite2Reader::isNumber(QByteArrayView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
    auto digits = [&] {
        const qsizetype start = i;
        while (i < n && isAsciiDigit(text[i])) ++i;
        return i > start;
    };
    if (!digits()) return false;
    if (i < n && text[i] == '.') {
        ++i;
        if (!digits()) return false;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
        if (!digits()) return false;
    }
    return i == n;
}

QByteArray SQLite2Reader::quotedTableName(QByteArrayView name)
{
    bool plain = !name.isEmpty() && (isAsciiLetter(name[0]) || name[0] == '_');
    for (char c : name)
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_') plain = false;
    if (plain) return name.toByteArray();
    QByteArray quoted = "'";
    for (char c : name) {
        if (c == '\'') quoted += '\'';
        quoted += c;
    }
    return quoted + '\'';
}

} // namespace cv
