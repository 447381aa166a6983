#pragma once
// What the seeds programs share: their start-up, the sample book's stored
// rows, a working folder of their own and a writer of numbered seeds.

#include "support/SampleBook.h"

#include "document/store/WorkingFolder.h"
#include "model/ModelArchiveClasses.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace fuzzbook {

// The book's info rows as the document stores them.
struct InfoArchives {
    QByteArray accounts, categories, currencies, securities, groupings, settings;
};

inline InfoArchives infoArchives(const cv::Book &doc)
{
    auto archive = [](const cv::ArchiveValue &value) { return cv::KeyedArchiver::archivedDataWithRootObject(value); };
    return {archive(doc.accountTrees()),
            archive(doc.categoryTrees()),
            archive(cv::ArchiveValue::arrayOf(doc.currencyList())),
            archive(cv::ArchiveValue::arrayOf(doc.securityList())),
            archive(cv::ArchiveValue::arrayOf(doc.groupList())),
            archive(doc.settings())};
}

// A working folder of its own for the seeds program's documents, released
// before it is deleted.
class TemporaryWork {
public:
    TemporaryWork() { cv::work::setWorkFolder(m_dir.filePath(QStringLiteral("Work"))); }
    ~TemporaryWork() { cv::work::setWorkFolder(QString()); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Writes each seed as seed-<n> into the folder; false on any failure.
class SeedWriter {
public:
    explicit SeedWriter(const QString &folder) : m_dir(folder) {}
    bool ready() { return m_dir.mkpath(QStringLiteral(".")); }
    bool write(const QByteArray &bytes)
    {
        QFile f(m_dir.filePath(QStringLiteral("seed-%1").arg(++m_count)));
        return !bytes.isEmpty() && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    int count() const { return m_count; }

private:
    QDir m_dir;
    int m_count = 0;
};

// A seeds program's start-up around `write`, which fills the corpus folder
// named by the first argument and answers whether every seed was written.
template <class Body> int runSeeds(int argc, char **argv, Body &&write)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    cv::registerModelArchiveClasses();
    TemporaryWork work;
    SeedWriter seeds(QString::fromLocal8Bit(argv[1]));
    if (!seeds.ready()) return 1;
    return write(seeds, work) ? 0 : 1;
}

} // namespace fuzzbook
