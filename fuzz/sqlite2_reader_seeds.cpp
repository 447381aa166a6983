// Writes the starting corpus of the old-format reader's fuzzer: the databases
// the old shell made, and a big-endian one with long records from the tests'
// writer.
#include "document/store/SQLite2TestSupport.h"
#include "document/store/SQLite2TestWriter.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) return 1;
    std::vector<sqlite2test::Row> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back({i - 30, {std::nullopt, QByteArray::number(i * 1.5), QByteArray(i * 40, char('a' + i % 26))}});
    const QByteArray seeds[] = {
        sqlite2test::fixture("small"),
        sqlite2test::fixture("odd"),
        sqlite2test::Writer(true).write(
            {{"table", "t", QByteArray("CREATE TABLE t ( id INTEGER PRIMARY KEY, v FLOAT, memo TEXT )"), rows},
             {"index", "t_v", QByteArray("CREATE INDEX t_v ON t ( v )"), {}}}),
    };
    int n = 0;
    for (const QByteArray &seed : seeds) {
        QFile f(dir.filePath(QStringLiteral("seed-%1").arg(++n)));
        if (seed.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(seed) != seed.size()) return 1;
    }
    return 0;
}
