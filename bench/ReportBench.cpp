// Reports over a synthetic book (cv-gen-book): the rows of the account
// balance report over every account, of the ranking report over every
// category and of the cash-flow detail, for the book's last month, its last
// year and all its twenty years, with a digest of the rows; the bare reads of
// those periods' entries; and one page of each drawn on a 72-dpi image.
//   cv-report-bench --book=PATH.cvv2 [benchmark flags]

#include "document/BookReads.h"
#include "document/Book.h"
#include "gen/BookBenchRun.h"
#include "gen/BookGenerator.h"
#include "ReportBenchSupport.h"
#include "reports/Report.h"
#include "reports/ReportKinds.h"

#include <benchmark/benchmark.h>

#include <QApplication>

namespace {

QString g_book;

struct SampleRows {
    cv::Book doc;
    bool ok = false;
    SampleRows()
    {
        ok = cv::bench::openBook(doc, g_book);
        if (ok) cv::bench::tickTrees(doc, 1);
    }
};

SampleRows &book()
{
    static SampleRows b;
    return b;
}

cv::ReportRequest request(int kind, int months)
{
    cv::ReportRequest r;
    r.kind = kind;
    r.to = cv::bench::BookOptions().lastDay;
    r.from = r.to.addDays(1).addMonths(-months);
    r.isAscending = 1;
    return r;
}

cv::PageSetup a4()
{
    return cv::bench::a4(QMarginsF(18, 36, 18, 36));
}

void build_rows(benchmark::State &state, int kind, int months)
{
    SampleRows &b = book();
    if (!b.ok) {
        state.SkipWithError("the book does not open");
        return;
    }
    const cv::ReportKind *k = cv::reportKind(kind);
    size_t rows = 0;
    int pages = 0;
    double digest = 0;
    for (auto _ : state) {
        auto view = k->make(b.doc, request(kind, months), a4());
        rows = view ? view->data().size() : 0;
        pages = view ? view->pages() : 0;
        state.PauseTiming();
        digest = view ? cv::bench::rowsDigest(view->data()) : 0;
        state.ResumeTiming();
    }
    state.counters["rows"] = double(rows);
    state.counters["pages"] = pages;
    state.counters["digest"] = digest;
}

// The floors of the rows above: every entry of the period read by date with
// nothing made of it (the general streamed read, `by_date`), or as the
// balance and cash-flow detail reports read it (`moves`).
void read_entries(benchmark::State &state, bool byDate, int months)
{
    SampleRows &b = book();
    if (!b.ok) {
        state.SkipWithError("the book does not open");
        return;
    }
    const cv::ReportRequest r = request(0, months);
    size_t entries = 0;
    for (auto _ : state) {
        entries = 0;
        if (byDate) {
            cv::SearchConditions period;
            period.date = {r.from, r.to};
            b.doc.reads().forEachEntry(period, [&](const cv::Entry &) { ++entries; });
        } else {
            b.doc.reads().readPeriodMoves(r.from, r.to, cv::EntryMove::Amounts,
                                          [&](const cv::EntryMove &) { ++entries; });
        }
    }
    state.counters["entries"] = double(entries);
}

void draw_page(benchmark::State &state, int kind)
{
    SampleRows &b = book();
    if (!b.ok) {
        state.SkipWithError("the book does not open");
        return;
    }
    auto view = cv::reportKind(kind)->make(b.doc, request(kind, 12), a4());
    if (!view) {
        state.SkipWithError("no report");
        return;
    }
    cv::bench::drawSheetsInTurn(state, *view, view->pages());
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cv::bench::BookBenchRun run(argc, argv);
    g_book = run.book;
    if (g_book.isEmpty()) g_book = run.bookPath(run.sizes.back());
    for (const auto &[name, kind, months] : {std::tuple{"balance_rows/year", 0, 12},
                                             {"balance_rows/month", 0, 1},
                                             {"ranking_rows/year", 8, 12},
                                             {"ranking_rows/month", 8, 1},
                                             {"balance_rows/all", 0, 240},
                                             {"ranking_rows/all", 8, 240},
                                             {"cash_flow_detail_rows/month", 5, 1},
                                             {"cash_flow_detail_rows/year", 5, 12},
                                             {"cash_flow_detail_rows/all", 5, 240}})
        benchmark::RegisterBenchmark(name, [kind, months](benchmark::State &s) {
            build_rows(s, kind, months);
        })->Unit(benchmark::kMillisecond);
    for (const auto &[name, byDate, months] : {std::tuple{"read_by_date/month", true, 1},
                                               {"read_by_date/year", true, 12},
                                               {"read_by_date/all", true, 240},
                                               {"read_moves/month", false, 1},
                                               {"read_moves/year", false, 12},
                                               {"read_moves/all", false, 240}})
        benchmark::RegisterBenchmark(name, [byDate, months](benchmark::State &s) {
            read_entries(s, byDate, months);
        })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("balance_draw_page", [](benchmark::State &s) {
        draw_page(s, 0);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ranking_draw_page", [](benchmark::State &s) {
        draw_page(s, 8);
    })->Unit(benchmark::kMillisecond);
    return run.runBenchmarks();
}
