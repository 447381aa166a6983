// What the machine allows for each heavy operation, measured on the same
// files: the bare work with nothing of the document around it.
#include "Limits.h"

#include "document/xml/BookXML.h"
#include "platform/DateIntegers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <expat.h>
#include <libdeflate.h>
#include <sqlite3.h>
#include <zlib.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <vector>

namespace cv::bench {

namespace {

// The save's floor: libdeflate's gzip at level 6 in one call; the packed size,
// 0 when it failed.
size_t gzipLevel6(const char *plain, size_t size, std::unique_ptr<char[]> &packed)
{
    libdeflate_compressor *compressor = libdeflate_alloc_compressor(6);
    const size_t bound = libdeflate_gzip_compress_bound(compressor, size);
    packed.reset(new char[bound]);
    const size_t n = libdeflate_gzip_compress(compressor, plain, size, packed.get(), bound);
    libdeflate_free_compressor(compressor);
    return n;
}

constexpr qint64 kBlock = 1 << 20;

void reportPeak(benchmark::State &state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}

// The file's gzip stream without the magic, into `out` in blocks.
bool inflateTo(const QString &path, const std::function<bool(const char *, qint64)> &out)
{
    gzFile in = gzopen(QFile::encodeName(path).constData(), "rb");
    if (!in) return false;
    gzbuffer(in, 1 << 17);
    std::vector<char> buffer(kBlock);
    bool ok = gzread(in, buffer.data(), 8) == 8;
    for (int n = 0; ok && (n = gzread(in, buffer.data(), unsigned(kBlock))) > 0;) ok = out(buffer.data(), n);
    return gzclose(in) == Z_OK && ok;
}

sqlite3 *openDatabase(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

// The entry table with the store's three indexes, a transaction open and the
// insert prepared: what both import floors write into.
bool beginImportTable(sqlite3 *db, sqlite3_stmt **insert)
{
    return sqlite3_exec(db,
                        "PRAGMA synchronous=OFF;"
                        "CREATE TABLE ActualTable ( id INTEGER PRIMARY KEY, kind INTEGER, date INTEGER, "
                        "category INTEGER, account INTEGER, destination INTEGER, value FLOAT, converted FLOAT, "
                        "grouping INTEGER, memo TEXT );"
                        "CREATE INDEX date_income ON ActualTable ( date );"
                        "CREATE INDEX category_income ON ActualTable ( category );"
                        "CREATE INDEX category_group ON ActualTable ( grouping );"
                        "BEGIN;",
                        nullptr, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_prepare_v2(db,
                              "INSERT INTO ActualTable (kind,date,category,account,destination,value,converted,"
                              "grouping,memo) VALUES (?,?,?,?,?,?,?,?,?)",
                              -1, insert, nullptr) == SQLITE_OK;
}

// The database as the document file holds it: the magic, then its bytes.
bool inflateWithMagic(const QString &book, QByteArray &plain)
{
    plain = QByteArray("KAVRICV4");
    return inflateTo(book, [&](const char *data, qint64 n) {
        plain.append(data, n);
        return true;
    });
}

} // namespace

void limitOpen(benchmark::State &state, const QString &book)
{
    QTemporaryDir dir;
    const QString working = dir.filePath(QStringLiteral("working"));
    for (auto _ : state) {
        QFile file(working);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            !inflateTo(book, [&](const char *data, qint64 n) { return file.write(data, n) == n; })) {
            state.SkipWithError("the book does not inflate");
            break;
        }
        file.close();
        sqlite3 *db = openDatabase(working);
        sqlite3_stmt *scan = nullptr;
        if (!db || sqlite3_prepare_v2(db, "SELECT category,date,account,destination,value,converted FROM ActualTable",
                                      -1, &scan, nullptr) != SQLITE_OK) {
            state.SkipWithError("the book does not scan");
            sqlite3_close(db);
            break;
        }
        double total = 0;
        while (sqlite3_step(scan) == SQLITE_ROW) {
            total += sqlite3_column_int(scan, 0) + sqlite3_column_int(scan, 1) + sqlite3_column_int(scan, 2) +
                     sqlite3_column_int(scan, 3) + sqlite3_column_double(scan, 4) + sqlite3_column_double(scan, 5);
        }
        benchmark::DoNotOptimize(total);
        sqlite3_finalize(scan);
        sqlite3_close(db);
    }
    reportPeak(state);
}

void limitSave(benchmark::State &state, const QString &book)
{
    QByteArray plain;
    if (!inflateWithMagic(book, plain)) {
        state.SkipWithError("the book does not inflate");
        return;
    }
    for (auto _ : state) {
        std::unique_ptr<char[]> packed;
        const size_t n = gzipLevel6(plain.constData(), size_t(plain.size()), packed);
        if (n == 0) {
            state.SkipWithError("compression failed");
            break;
        }
        state.counters["file_MB"] = double(n) / (1024.0 * 1024.0);
    }
    reportPeak(state);
}

// What any save that is on the disk when it says so adds to the packing:
// the bytes written to a new file beside the target, that file synced,
// renamed over the target and the folder synced.
void limitSaveSynced(benchmark::State &state, const QString &book)
{
    QByteArray plain;
    if (!inflateWithMagic(book, plain)) {
        state.SkipWithError("the book does not inflate");
        return;
    }
    QTemporaryDir dir;
    const QByteArray target = QFile::encodeName(dir.filePath(QStringLiteral("saved.gz")));
    const QByteArray temporary = target + ".new";
    const QByteArray folder = QFile::encodeName(dir.path());
    for (auto _ : state) {
        std::unique_ptr<char[]> packed;
        const size_t n = gzipLevel6(plain.constData(), size_t(plain.size()), packed);
        const int fd = n == 0 ? -1 : ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        bool ok = fd >= 0;
        for (size_t done = 0; ok && done < n;) {
            const ssize_t written = ::write(fd, packed.get() + done, n - done);
            ok = written > 0;
            if (ok) done += size_t(written);
        }
        ok = ok && ::fdatasync(fd) == 0;
        if (fd >= 0) ok = ::close(fd) == 0 && ok;
        ok = ok && ::rename(temporary.constData(), target.constData()) == 0;
        const int folderFd = ok ? ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        ok = folderFd >= 0 && ::fsync(folderFd) == 0;
        if (folderFd >= 0) ::close(folderFd);
        if (!ok) {
            state.SkipWithError("the packed file was not written");
            break;
        }
        state.counters["file_MB"] = double(n) / (1024.0 * 1024.0);
    }
    reportPeak(state);
}

void limitSaveFiles(benchmark::State &state, const QString &book)
{
    QTemporaryDir dir;
    const QString working = dir.filePath(QStringLiteral("working"));
    const QString target = dir.filePath(QStringLiteral("saved.gz"));
    QFile file(working);
    if (!file.open(QIODevice::WriteOnly) || file.write("KAVRICV4", 8) != 8 ||
        !inflateTo(book, [&](const char *data, qint64 n) { return file.write(data, n) == n; })) {
        state.SkipWithError("the book does not inflate");
        return;
    }
    file.close();
    for (auto _ : state) {
        QFile in(working);
        if (!in.open(QIODevice::ReadOnly)) {
            state.SkipWithError("the working copy does not open");
            break;
        }
        const size_t size = size_t(in.size());
        std::unique_ptr<char[]> plain(new char[size]);
        if (in.read(plain.get(), qint64(size)) != qint64(size)) {
            state.SkipWithError("the working copy does not read");
            break;
        }
        std::unique_ptr<char[]> packed;
        const size_t n = gzipLevel6(plain.get(), size, packed);
        QFile out(target);
        if (n == 0 || !out.open(QIODevice::WriteOnly) || out.write(packed.get(), qint64(n)) != qint64(n)) {
            state.SkipWithError("compression failed");
            break;
        }
        out.close();
        state.counters["file_MB"] = double(n) / (1024.0 * 1024.0);
    }
    reportPeak(state);
}

// Every entry read with one prepared statement and printed as the export
// prints it, in blocks.
void limitXmlExport(benchmark::State &state, const QString &book)
{
    QTemporaryDir dir;
    const QString working = dir.filePath(QStringLiteral("working"));
    QFile file(working);
    if (!file.open(QIODevice::WriteOnly) ||
        !inflateTo(book, [&](const char *data, qint64 n) { return file.write(data, n) == n; })) {
        state.SkipWithError("the book does not inflate");
        return;
    }
    file.close();
    sqlite3 *db = openDatabase(working);
    sqlite3_stmt *read = nullptr;
    if (!db || sqlite3_prepare_v2(db,
                                  "SELECT kind,category,account,date,value,destination,grouping,converted,memo "
                                  "FROM ActualTable ORDER BY id",
                                  -1, &read, nullptr) != SQLITE_OK) {
        state.SkipWithError("the book does not read");
        sqlite3_close(db);
        return;
    }
    struct Row {
        int kind, category, account, date, destination, grouping;
        double value, converted;
        qsizetype memo, memoSize;
    };
    auto integer = [](QByteArray &text, const char *head, qint64 value) {
        char buf[24];
        text += head;
        text.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr - buf);
        text += '"';
    };
    const QString outPath = dir.filePath(QStringLiteral("entries.xml"));
    for (auto _ : state) {
        QFile out(outPath);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            state.SkipWithError("cannot write");
            break;
        }
        // One scan in table order, then each category's rows by date in memory.
        std::vector<Row> rows;
        QByteArray memos;
        sqlite3_reset(read);
        while (sqlite3_step(read) == SQLITE_ROW) {
            const auto *memo = reinterpret_cast<const char *>(sqlite3_column_text(read, 8));
            const int size = memo ? sqlite3_column_bytes(read, 8) : 0;
            rows.push_back({sqlite3_column_int(read, 0), sqlite3_column_int(read, 1), sqlite3_column_int(read, 2),
                            sqlite3_column_int(read, 3), sqlite3_column_int(read, 5), sqlite3_column_int(read, 6),
                            sqlite3_column_double(read, 4), sqlite3_column_double(read, 7), memos.size(), size});
            if (size > 0) memos.append(memo, size);
        }
        std::vector<quint32> order(rows.size());
        for (quint32 i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
            return rows[a].category != rows[b].category ? rows[a].category < rows[b].category
                                                        : rows[a].date < rows[b].date;
        });
        QByteArray text;
        text.reserve(kBlock + 4096);
        for (const quint32 i : order) {
            const Row &row = rows[i];
            integer(text, "   <actual kind=\"", row.kind);
            integer(text, " category=\"", row.category);
            integer(text, " account=\"", row.account);
            text += " date=\"";
            cv::xml::appendDayDate(text, row.date);
            text += "\" value=\"";
            cv::xml::appendDecimal(text, row.value, 2);
            text += '"';
            if (row.destination) integer(text, " transfer=\"", row.destination);
            if (row.grouping) integer(text, " grouping=\"", row.grouping);
            if (row.converted) {
                text += " converted=\"";
                cv::xml::appendDecimal(text, row.converted, 2);
                text += '"';
            }
            if (row.memoSize > 0) {
                text += ">\n    <note>";
                cv::xml::appendStoredText(text, QByteArrayView(memos.constData() + row.memo, row.memoSize));
                text += "</note>\n   </actual>\n";
            } else {
                text += "/>\n";
            }
            if (text.size() >= kBlock) {
                out.write(text);
                text.clear();
            }
        }
        out.write(text);
        out.close();
    }
    sqlite3_finalize(read);
    sqlite3_close(db);
    reportPeak(state);
}

// Every entry of the XML form parsed and inserted with one prepared
// statement, in one transaction, into a table with the store's indexes.
void limitXmlImport(benchmark::State &state, const QString &xml)
{
    QTemporaryDir dir;
    int run = 0;
    for (auto _ : state) {
        sqlite3 *db = openDatabase(dir.filePath(QStringLiteral("import-%1").arg(run++)));
        sqlite3_stmt *insert = nullptr;
        const bool ready = db && beginImportTable(db, &insert);
        QFile file(xml);
        if (!ready || !file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot start");
            sqlite3_close(db);
            break;
        }
        QXmlStreamReader reader(&file);
        bool inEntry = false;
        QString memo;
        while (!reader.atEnd()) {
            const auto token = reader.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (reader.name() == QLatin1String("actual")) {
                    const QXmlStreamAttributes a = reader.attributes();
                    const auto number = [&](QLatin1String name) { return a.value(name).toInt(); };
                    const QStringView date = a.value(QLatin1String("date"));
                    const qsizetype dot1 = date.indexOf(QLatin1Char('.'));
                    const qsizetype dot2 = date.indexOf(QLatin1Char('.'), dot1 + 1);
                    const QDate day(date.left(dot1).toInt(), date.mid(dot1 + 1, dot2 - dot1 - 1).toInt(),
                                    date.mid(dot2 + 1).toInt());
                    sqlite3_bind_int(insert, 1, number(QLatin1String("kind")));
                    sqlite3_bind_int(insert, 2, cv::dates::dayNumber(day));
                    sqlite3_bind_int(insert, 3, number(QLatin1String("category")));
                    sqlite3_bind_int(insert, 4, number(QLatin1String("account")));
                    sqlite3_bind_int(insert, 5, number(QLatin1String("transfer")));
                    sqlite3_bind_double(insert, 6, cv::xml::parseDecimal(a.value(QLatin1String("value"))));
                    sqlite3_bind_double(insert, 7, cv::xml::parseDecimal(a.value(QLatin1String("converted"))));
                    sqlite3_bind_int(insert, 8, number(QLatin1String("group")));
                    inEntry = true;
                    memo.clear();
                } else if (inEntry && reader.name() == QLatin1String("note")) {
                    memo = reader.readElementText();
                }
            } else if (token == QXmlStreamReader::EndElement && inEntry && reader.name() == QLatin1String("actual")) {
                const QByteArray text = memo.toUtf8();
                sqlite3_bind_text(insert, 9, text.constData(), int(text.size()), SQLITE_TRANSIENT);
                sqlite3_step(insert);
                sqlite3_reset(insert);
                inEntry = false;
            }
        }
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_finalize(insert);
        sqlite3_close(db);
        if (reader.hasError()) {
            state.SkipWithError("the XML does not parse");
            break;
        }
    }
    reportPeak(state);
}

// limitXmlImport on expat: the same table and statement, the file parsed by
// a tokenizer that makes no text objects of its own.
void limitXmlImportExpat(benchmark::State &state, const QString &xml)
{
    QTemporaryDir dir;
    int run = 0;
    struct Parse {
        sqlite3_stmt *insert = nullptr;
        bool inEntry = false;
        bool inNote = false;
        std::string memo;
    };
    for (auto _ : state) {
        sqlite3 *db = openDatabase(dir.filePath(QStringLiteral("import-%1").arg(run++)));
        Parse parse;
        const bool ready = db && beginImportTable(db, &parse.insert);
        QFile file(xml);
        if (!ready || !file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot start");
            sqlite3_close(db);
            break;
        }
        XML_Parser parser = XML_ParserCreate("UTF-8");
        XML_SetUserData(parser, &parse);
        XML_SetElementHandler(
            parser,
            [](void *data, const XML_Char *name, const XML_Char **attributes) {
                auto &p = *static_cast<Parse *>(data);
                if (std::strcmp(name, "actual") == 0) {
                    int kind = 0, category = 0, account = 0, transfer = 0, grouping = 0, day = 0;
                    double value = 0, converted = 0;
                    const auto integer = [](const char *text) {
                        int v = 0;
                        std::from_chars(text, text + std::strlen(text), v);
                        return v;
                    };
                    const auto number = [](const char *text) {
                        double v = 0;
                        std::from_chars(text, text + std::strlen(text), v);
                        return v;
                    };
                    for (const XML_Char **a = attributes; *a; a += 2) {
                        const char *n = a[0];
                        const char *v = a[1];
                        if (!std::strcmp(n, "kind"))
                            kind = integer(v);
                        else if (!std::strcmp(n, "category"))
                            category = integer(v);
                        else if (!std::strcmp(n, "account"))
                            account = integer(v);
                        else if (!std::strcmp(n, "transfer"))
                            transfer = integer(v);
                        else if (!std::strcmp(n, "group"))
                            grouping = integer(v);
                        else if (!std::strcmp(n, "value"))
                            value = number(v);
                        else if (!std::strcmp(n, "converted"))
                            converted = number(v);
                        else if (!std::strcmp(n, "date")) {
                            int ymd[3] = {0, 0, 0};
                            const char *end = v + std::strlen(v);
                            for (int i = 0; i < 3 && v < end; ++i) v = std::from_chars(v, end, ymd[i]).ptr + 1;
                            day = cv::dates::dayNumber(QDate(ymd[0], ymd[1], ymd[2]));
                        }
                    }
                    sqlite3_bind_int(p.insert, 1, kind);
                    sqlite3_bind_int(p.insert, 2, day);
                    sqlite3_bind_int(p.insert, 3, category);
                    sqlite3_bind_int(p.insert, 4, account);
                    sqlite3_bind_int(p.insert, 5, transfer);
                    sqlite3_bind_double(p.insert, 6, value);
                    sqlite3_bind_double(p.insert, 7, converted);
                    sqlite3_bind_int(p.insert, 8, grouping);
                    p.inEntry = true;
                    p.memo.clear();
                } else if (p.inEntry && std::strcmp(name, "note") == 0) {
                    p.inNote = true;
                }
            },
            [](void *data, const XML_Char *name) {
                auto &p = *static_cast<Parse *>(data);
                if (p.inNote && std::strcmp(name, "note") == 0) {
                    p.inNote = false;
                } else if (p.inEntry && std::strcmp(name, "actual") == 0) {
                    sqlite3_bind_text(p.insert, 9, p.memo.data(), int(p.memo.size()), SQLITE_TRANSIENT);
                    sqlite3_step(p.insert);
                    sqlite3_reset(p.insert);
                    p.inEntry = false;
                }
            });
        XML_SetCharacterDataHandler(parser, [](void *data, const XML_Char *text, int n) {
            auto &p = *static_cast<Parse *>(data);
            if (p.inNote) p.memo.append(text, size_t(n));
        });
        bool ok = true;
        std::vector<char> block(kBlock);
        for (qint64 n = 0; ok && (n = file.read(block.data(), kBlock)) > 0;)
            ok = XML_Parse(parser, block.data(), int(n), XML_FALSE) == XML_STATUS_OK;
        ok = ok && XML_Parse(parser, nullptr, 0, XML_TRUE) == XML_STATUS_OK;
        XML_ParserFree(parser);
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_finalize(parse.insert);
        sqlite3_close(db);
        if (!ok) {
            state.SkipWithError("the XML does not parse");
            break;
        }
    }
    reportPeak(state);
}

} // namespace cv::bench
