#pragma once
// What the seeds programs share: the sample book's stored rows, a working
// folder of their own and a writer of numbered seeds.

#include "support/SampleBook.h"

#include "document/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace fuzzbook {

// The book's info rows as the document stores them.
struct InfoArchives {
    QByteArray accounts, categories, currencies, brands, groupings, settings;
};

inline InfoArchives infoArchives(const CV4Document &doc)
{
    auto archive = [](const cv::ArchiveValue &value) { return cv::KeyedArchiver::archivedDataWithRootObject(value); };
    return {archive(doc.accountModel()),
            archive(doc.actualModel()),
            archive(cv::ArchiveValue::arrayOf(doc.currencyList())),
            archive(cv::ArchiveValue::arrayOf(doc.brandList())),
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

} // namespace fuzzbook
