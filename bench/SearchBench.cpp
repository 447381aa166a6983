// The search page on a synthetic book (cv-gen-book): a memo search from the
// condition sheet, its results handed to the results table, laid out and
// painted offscreen.
//   cv-search-bench --books=DIR --sizes=10000,100000 [benchmark flags]

#include "document/Book.h"
#include "gen/BookBenchRun.h"
#include "gen/BookGenerator.h"
#include "panels/search/SearchPagePanel.h"
#include "panels/search/SearchDialog.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>

namespace {

QString g_books;

void memo_search_listed(benchmark::State &state, int size)
{
    cv::Book doc;
    if (!cv::bench::openBook(doc, g_books + QStringLiteral("/book-%1.cvv2").arg(size))) {
        state.SkipWithError("the book does not open");
        return;
    }
    cv::SearchPagePanel page(&doc);
    page.resize(1000, 700);
    cv::SearchDialog &sheet = *page.searchDialog();
    sheet.useMemoCheckBox()->setChecked(true);
    sheet.memoCell(0)->setText(QStringLiteral("コンビニ"));
    int found = 0;
    for (auto _ : state) {
        sheet.okPushed(); // the sheet's end runs the search and lists the results
        const QPixmap painted = page.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
        found = page.resultCount();
    }
    state.counters["rows"] = found;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cv::bench::BookBenchRun run(argc, argv);
    g_books = run.books;
    for (int size : run.sizes)
        benchmark::RegisterBenchmark(QStringLiteral("memo_search_listed/%1").arg(size).toUtf8().constData(),
                                     [size](benchmark::State &state) { memo_search_listed(state, size); })
            ->Unit(benchmark::kMillisecond);
    return run.runBenchmarks();
}
