#pragma once
// A read-only reader of SQLite 2.8 database files, the store of documents of
// the previous format. It writes the database out as the SQL text the old
// command shell's dump printed (insert form), byte for byte, so the upgrade
// can execute it into a new SQLite 3 database.
//
// The file is untrusted. Every page reached (schema, tables, indexes, overflow
// chains, freelist) is checked and visited at most once, so the work is
// bounded by the file's size; any damage refuses the whole file rather than
// leaving a table's rows out.
//
//   SQLite2Reader reader(bytes);
//   if (std::optional<QByteArray> sql = reader.dump()) ... else log reader.error()

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace cv {

class SQLite2Reader {
public:
    // The text of a value, or none for NULL.
    using Value = std::optional<QByteArray>;

    // One row of the schema table.
    struct SchemaRow {
        qint32 rowid = 0;
        Value type, name, tblName, rootPage, sql;
    };

    static constexpr int kPageSize = 1024;

    explicit SQLite2Reader(QByteArray file);

    // "BEGIN TRANSACTION;" ... "COMMIT;" with every table's rows in insert
    // form; none when the file is no SQLite 2 database or is damaged.
    std::optional<QByteArray> dump();

    // Why the last dump() answered none.
    const QString &error() const { return m_error; }
    // Pages the last dump() read; never more than pageCount().
    qint64 pagesVisited() const { return m_pagesVisited; }
    qint64 pageCount() const { return m_file.size() / kPageSize; }
    // The schema rows the last dump() read, in row-id order.
    const std::vector<SchemaRow> &schema() const { return m_schema; }

    // The old shell's number test: written unquoted when it passes.
    static bool isNumber(QByteArrayView text);
    // A table name as the INSERT statements of the dump name it.
    static QByteArray quotedTableName(QByteArrayView name);
    // The upper bound of a dump's size for a file of `fileSize` bytes; a
    // larger one is refused (a hostile file could repeat a long name per row).
    static qint64 dumpLimit(qint64 fileSize) { return 16 * fileSize + (1 << 20); }

private:
    using EntryVisit = std::function<bool(QByteArrayView key, QByteArrayView data)>;

    bool fail(const QString &why);
    bool readHeader();
    bool walkTree(quint32 root, bool isTable, const EntryVisit &visit);
    bool walkPage(quint32 page, int depth, bool isTable, const EntryVisit &visit);
    bool readPayload(const uchar *cell, qint64 payloadSize, QByteArray &payload);
    bool claimPage(quint32 page);
    bool walkFreelist();
    bool readSchema();
    bool dumpTable(const SchemaRow &row, QByteArray &out);
    bool parseRecord(QByteArrayView data, qsizetype fields, std::vector<Value> &values);

    quint32 u32(const uchar *p) const;
    quint16 u16(const uchar *p) const;
    const uchar *page(quint32 number) const;

    QByteArray m_file;               // the whole database file
    QString m_error;                 // why the file was refused
    std::vector<bool> m_visited;     // per page: already read in this walk
    std::vector<SchemaRow> m_schema; // the schema table, in row-id order
    QByteArray m_lastKey;            // the previous table key, for the order check
    qint64 m_pagesVisited = 0;
    qint64 m_linkAfterChain = 0; // overflow chains with a link past their end
    int m_leafDepth = -1;        // depth of the current tree's leaves
    bool m_bigEndian = false;    // byte order of the structure integers
};

} // namespace cv
