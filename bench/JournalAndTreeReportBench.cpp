// Reports on generated books (cv-gen-book): the journal of the busiest
// account over about 100,000 rows, built and laid out; the income and
// expense, term comparison and budget comparison reports over every category
// for a year (also with every grouping chosen); and one page of each drawn.
//   cv-report-tree-bench --books=DIR --sizes=N,N | --book=PATH [benchmark flags]

#include "document/BookReads.h"
#include "document/CurrencyPrintingScope.h"
#include "document/store/BookStore.h"
#include "document/Book.h"
#include "gen/BookBenchRun.h"
#include "gen/BookGenerator.h"
#include "ReportBenchSupport.h"
#include "reports/Report.h"
#include "reports/ReportKinds.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <functional>
#include <memory>

namespace {

constexpr int kJournalRows = 100000;
constexpr int kJournal = 1; // the report kind

using cv::bench::tickTrees;

// The book's last year, and the one before it.
cv::ReportRequest yearRequest(int kind)
{
    const QDate last = cv::bench::BookOptions().lastDay;
    cv::ReportRequest request;
    request.kind = kind;
    request.from = last.addYears(-1).addDays(1);
    request.to = last;
    request.from2 = request.from.addYears(-1);
    request.to2 = request.from.addDays(-1);
    return request;
}

std::unique_ptr<cv::Report> make(cv::Book &doc, const cv::ReportRequest &request)
{
    const cv::CurrencyPrintingScope printing(doc);
    return cv::reportKind(request.kind)->make(doc, request, cv::bench::a4(QMarginsF(18, 18, 18, 18)));
}

// The account with the most entries over the book, and a period ending with
// the book that gives it about kJournalRows of them.
struct Busiest {
    cv::NodePtr account;
    QDate from;
};

Busiest busiestAccount(cv::Book &doc)
{
    const QDate last = cv::bench::BookOptions().lastDay;
    const QDate first = cv::bench::firstDayOf(cv::bench::BookOptions());
    Busiest busiest;
    size_t most = 0;
    for (const cv::NodePtr &root : {doc.accountTrees()->asset(), doc.accountTrees()->debt()}) {
        for (const cv::NodePtr &account : root->children()) {
            if (account->countChild() > 0) continue;
            cv::SearchConditions conditions;
            conditions.date = {first, last};
            conditions.account = {account->ident()};
            const size_t count = doc.store()->findEntry(conditions).value_or(cv::BookStore::EntryList()).size();
            if (count > most) {
                most = count;
                busiest.account = account;
            }
        }
    }
    const double share = most > kJournalRows ? double(kJournalRows) / double(most) : 1.0;
    busiest.from = last.addDays(-qint64(double(first.daysTo(last)) * share));
    return busiest;
}

void withBook(benchmark::State &state, const QString &path, const std::function<void(cv::Book &)> &run)
{
    cv::Book doc;
    if (!cv::bench::openBook(doc, path)) {
        state.SkipWithError("the book does not open");
        return;
    }
    run(doc);
}

// With `whole`, over every day of the book rather than about kJournalRows.
void journal(benchmark::State &state, const QString &path, bool whole)
{
    withBook(state, path, [&](cv::Book &doc) {
        const Busiest busiest = busiestAccount(doc);
        tickTrees(doc, 0);
        busiest.account->setStatus(1);
        cv::ReportRequest request;
        request.kind = kJournal;
        request.from = whole ? cv::bench::firstDayOf(cv::bench::BookOptions()) : busiest.from;
        request.to = cv::bench::BookOptions().lastDay;
        size_t rows = 0;
        int pages = 0;
        double digest = 0;
        for (auto _ : state) {
            auto view = make(doc, request);
            rows = view ? view->data().size() : 0;
            pages = view ? view->pages() : 0;
            state.PauseTiming();
            digest = view ? cv::bench::rowsDigest(view->data()) : 0;
            state.ResumeTiming();
        }
        state.counters["rows"] = double(rows);
        state.counters["pages"] = pages;
        state.counters["digest"] = digest;
    });
}

// The whole journal's floor: the busiest account's entries over every day,
// read as the account book reads them, nothing made of them.
void journalRead(benchmark::State &state, const QString &path)
{
    withBook(state, path, [&](cv::Book &doc) {
        const Busiest busiest = busiestAccount(doc);
        size_t entries = 0;
        for (auto _ : state) {
            entries = 0;
            doc.reads().readAccountEntries(busiest.account->ident(), cv::bench::firstDayOf(cv::bench::BookOptions()),
                                           cv::bench::BookOptions().lastDay, [&](const cv::Entry &) { ++entries; });
        }
        state.counters["entries"] = double(entries);
    });
}

// With `groupings`, every grouping and "no grouping" chosen: the entries are read.
void categories(benchmark::State &state, const QString &path, int kind, bool groupings)
{
    withBook(state, path, [&](cv::Book &doc) {
        tickTrees(doc, 1);
        cv::ReportRequest request = yearRequest(kind);
        if (groupings) {
            request.groups = QList<int>{0};
            for (const cv::GroupingPtr &group : doc.groupList()) request.groups->append(group->ident());
        }
        size_t rows = 0;
        for (auto _ : state) {
            auto view = make(doc, request);
            rows = view ? view->data().size() : 0;
        }
        state.counters["rows"] = double(rows);
    });
}

// The slowest page of the report, drawn on an image the size of the sheet.
void drawPages(benchmark::State &state, const QString &path, int report)
{
    withBook(state, path, [&](cv::Book &doc) {
        cv::ReportRequest request = yearRequest(report);
        tickTrees(doc, 1);
        if (report == kJournal) {
            const Busiest busiest = busiestAccount(doc);
            tickTrees(doc, 0);
            busiest.account->setStatus(1);
            request.from = busiest.from;
        }
        auto view = make(doc, request);
        if (!view) {
            state.SkipWithError("no report");
            return;
        }
        {
            const cv::CurrencyPrintingScope printing(doc);
            cv::bench::drawSheetsInTurn(state, *view, view->pages());
        }
        state.counters["pages"] = view->pages();
    });
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cv::bench::BookBenchRun run(argc, argv);
    std::vector<std::pair<QString, QString>> books; // (name, path)
    if (!run.book.isEmpty()) books.emplace_back(QStringLiteral("book"), run.book);
    for (int size : run.sizes)
        if (run.book.isEmpty()) books.emplace_back(QString::number(size), run.bookPath(size));
    const struct {
        const char *name;
        int kind;
    } trees[] = {{"income_expense", 2}, {"term_comparison", 6}, {"budget_comparison", 7}};
    for (const auto &[name, path] : books) {
        const auto label = [&](const char *what) { return QStringLiteral("%1/%2").arg(what, name).toStdString(); };
        benchmark::RegisterBenchmark(label("journal_busiest").c_str(), journal, path, false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(label("journal_busiest_all").c_str(), journal, path, true)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(label("journal_busiest_all_read").c_str(), journalRead, path)
            ->Unit(benchmark::kMillisecond);
        for (const auto &tree : trees)
            benchmark::RegisterBenchmark(label(tree.name).c_str(), categories, path, tree.kind, false)
                ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(label("income_expense_groupings").c_str(), categories, path, 2, true)
            ->Unit(benchmark::kMillisecond);
        for (const auto &[what, kind] :
             {std::pair{"draw_journal_page", 1}, {"draw_income_expense_page", 2}, {"draw_budget_page", 7}})
            benchmark::RegisterBenchmark(label(what).c_str(), drawPages, path, kind)->Unit(benchmark::kMillisecond);
    }
    return run.runBenchmarks();
}
