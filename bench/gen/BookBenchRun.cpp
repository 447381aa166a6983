#include "gen/BookBenchRun.h"

#include "document/BookBackup.h"
#include "document/store/WorkingFolder.h"

#include <benchmark/benchmark.h>

namespace cv::bench {

BookBenchRun::BookBenchRun(int argc, char **argv)
{
    for (int i = 0; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a.startsWith(QLatin1String("--books="))) {
            books = a.mid(8);
        } else if (a.startsWith(QLatin1String("--book="))) {
            book = a.mid(7);
        } else if (a.startsWith(QLatin1String("--sizes="))) {
            sizes.clear();
            for (const QString &n : a.mid(8).split(QLatin1Char(','), Qt::SkipEmptyParts)) sizes.push_back(n.toInt());
        } else {
            rest.push_back(argv[i]);
        }
    }
    cv::work::setWorkFolder(m_work.filePath(QStringLiteral("Work")));
    // The first save of an opening copies the file as the program does, but
    // never into the user's own backups.
    cv::backup::setFolders(m_work.filePath(QStringLiteral("Backup")), m_work.filePath(QStringLiteral("Old")));
    cv::backup::setCountSource([] { return 5; });
}

BookBenchRun::~BookBenchRun()
{
    cv::work::setWorkFolder(QString());
    cv::backup::setFolders(QString());
    cv::backup::setCountSource(nullptr);
}

QString BookBenchRun::bookPath(int size) const
{
    return books + QStringLiteral("/book-%1.cvv2").arg(size);
}

int BookBenchRun::runBenchmarks()
{
    int count = int(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace cv::bench
