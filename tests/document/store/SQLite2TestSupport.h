#pragma once
// The SQLite 2 fixtures (made by the old command shell, each with that
// shell's .dump beside it), stored gzipped under tests/fixtures/sqlite2.

#include <QByteArray>
#include <QString>

#include <zlib.h>

namespace sqlite2test {

inline QByteArray readGzip(const QString &path)
{
    QByteArray out;
    gzFile in = gzopen(path.toLocal8Bit().constData(), "rb");
    if (!in) return out;
    char buffer[65536];
    int n = 0;
    while ((n = gzread(in, buffer, sizeof buffer)) > 0) out.append(buffer, n);
    gzclose(in);
    return out;
}

// "small", "odd" or "big": the database, or with `dump` its shell dump.
inline QByteArray fixture(const char *name, bool dump = false)
{
    return readGzip(QStringLiteral(CV_TEST_FIXTURES "/sqlite2/%1.%2.gz")
                        .arg(QLatin1String(name), dump ? QLatin1String("dump.sql") : QLatin1String("db")));
}

} // namespace sqlite2test
