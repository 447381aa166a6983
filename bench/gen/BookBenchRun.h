#pragma once
// What every benchmark over generated books does around its runs: reads
// --books=DIR and --sizes=N,N (or one --book=PATH) from the command line (the
// rest is Google Benchmark's), and points the working copies and backups at a temporary
// folder, so a run never touches the user's own, until it ends.

#include <QString>
#include <QTemporaryDir>

#include <vector>

namespace cv::bench {

class BookBenchRun {
public:
    BookBenchRun(int argc, char **argv);
    ~BookBenchRun();
    BookBenchRun(const BookBenchRun &) = delete;
    BookBenchRun &operator=(const BookBenchRun &) = delete;

    QString books;                         // the folder of book-<size>.cvv2
    QString book;                          // one book named by --book=
    std::vector<int> sizes{10000, 100000}; // the books to measure
    std::vector<char *> rest;              // the arguments left for Google Benchmark

    // The generated book of that size in `books`.
    QString bookPath(int size) const;
    // A path in the run's own temporary folder.
    QString workPath(const QString &name) const { return m_work.filePath(name); }
    // Runs the registered benchmarks with the arguments left; the exit status.
    int runBenchmarks();

private:
    QTemporaryDir m_work; // working copies and backups of the run
};

} // namespace cv::bench
