// The account book panel on a synthetic book (cv-gen-book): opening the
// busiest account's busiest month, or its whole book, in its panel (rows
// read, table laid out and painted offscreen), moving the whole book's view
// to months not read yet, and committing one edited row. Each open reports the
// process's peak resident memory as peak_MB (run one benchmark a process).
//   cv-panel-bench --books=DIR --sizes=10000,100000 [benchmark flags]

#include "controls/EditingTable.h"
#include "document/Book.h"
#include "gen/BookBenchRun.h"
#include "gen/BookGenerator.h"
#include "model/AccountTrees.h"
#include "panels/entry/AccountBookPanel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QUndoStack>

#include <sys/resource.h>

#include <map>
#include <optional>

namespace {

QString g_books;

struct Month {
    cv::NodePtr account;
    QDate first;
};

void collectAccounts(const cv::NodePtr &node, std::vector<cv::NodePtr> &out)
{
    if (node->isAsset() || node->isDebt()) {
        if (node->kind() != cv::NodeKind::Investment && node->kind() != cv::NodeKind::Loan) out.push_back(node);
    }
    if (node->hasChildList())
        for (const cv::NodePtr &child : node->children()) collectAccounts(child, out);
}

// The account with the most entries, and its month with the most entries.
Month busiestMonth(cv::Book &doc)
{
    std::vector<cv::NodePtr> accounts;
    collectAccounts(doc.accountTrees()->asset(), accounts);
    collectAccounts(doc.accountTrees()->debt(), accounts);
    Month best;
    size_t bestCount = 0;
    for (const cv::NodePtr &account : accounts) {
        std::map<QDate, size_t> months;
        doc.reads().readAccountEntries(
            account->ident(), QDate(1900, 1, 1), QDate(2100, 12, 31),
            [&](const cv::Entry &row) { ++months[QDate(row.date().year(), row.date().month(), 1)]; });
        for (const auto &[first, count] : months) {
            if (count > bestCount) {
                bestCount = count;
                best = {account, first};
            }
        }
    }
    return best;
}

// Opens the book of the size and finds its busiest month; none (and the
// benchmark skipped) when the book does not open.
std::optional<Month> openBusiest(benchmark::State &state, cv::Book &doc, int size)
{
    if (!cv::bench::openBook(doc, g_books + QStringLiteral("/book-%1.cvv2").arg(size))) {
        state.SkipWithError("the book does not open");
        return std::nullopt;
    }
    return busiestMonth(doc);
}

QDate lastDayOf(const Month &month)
{
    return month.first.addMonths(1).addDays(-1);
}

// The busiest account's busiest month, or its whole book: every entry of the book's years.
void open_account(benchmark::State &state, int size, bool wholeBook)
{
    cv::Book doc;
    const std::optional<Month> month = openBusiest(state, doc, size);
    if (!month) return;
    const QDate first = wholeBook ? QDate(1990, 1, 1) : month->first;
    const QDate last = wholeBook ? QDate(2040, 12, 31) : lastDayOf(*month);
    int rows = 0;
    for (auto _ : state) {
        cv::AccountBookPanel panel(&doc, month->account, first, last);
        panel.resize(900, 600);
        const QPixmap painted = panel.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
        rows = panel.numberOfRows(panel.tableView());
    }
    state.counters["rows"] = rows;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}

// The whole book's panel, open at its end, moved a tenth of the book at a
// time upwards (wrapping round) and painted: each move shows a month not read yet.
void jump_account_book(benchmark::State &state, int size)
{
    cv::Book doc;
    const std::optional<Month> month = openBusiest(state, doc, size);
    if (!month) return;
    cv::AccountBookPanel panel(&doc, month->account, QDate(1990, 1, 1), QDate(2040, 12, 31));
    panel.resize(900, 600);
    panel.grab();
    QScrollBar *bar = panel.tableView()->verticalScrollBar();
    const int step = std::max(1, bar->maximum() / 10);
    int at = bar->maximum();
    for (auto _ : state) {
        at = at - step < 0 ? bar->maximum() - step / 3 : at - step;
        bar->setValue(at);
        const QPixmap painted = panel.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
}

// The panel's read of that book alone, with nothing made of the rows.
void read_account_book(benchmark::State &state, int size)
{
    cv::Book doc;
    const std::optional<Month> month = openBusiest(state, doc, size);
    if (!month) return;
    for (auto _ : state) {
        double sum = 0;
        doc.reads().readAccountEntries(month->account->ident(), QDate(1990, 1, 1), QDate(2040, 12, 31),
                                       [&](const cv::Entry &entry) { sum += entry.amount(); });
        benchmark::DoNotOptimize(sum);
    }
}

void commit_book_row(benchmark::State &state, int size)
{
    cv::Book doc;
    const std::optional<Month> month = openBusiest(state, doc, size);
    if (!month) return;
    cv::AccountBookPanel panel(&doc, month->account, month->first, lastDayOf(*month));
    double step = 1;
    for (auto _ : state) {
        state.PauseTiming();
        const cv::EntryPtr row = panel.entryAt(0);
        panel.change(row, cv::AccountBookPanel::Field::Amount, row->amount() + step, QStringLiteral("bench"));
        step = -step;
        state.ResumeTiming();
        panel.commitPendingInput();
    }
    doc.undoStack()->clear();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cv::bench::BookBenchRun run(argc, argv);
    g_books = run.books;
    for (int size : run.sizes) {
        benchmark::RegisterBenchmark(QStringLiteral("open_account_month/%1").arg(size).toUtf8().constData(),
                                     [size](benchmark::State &state) { open_account(state, size, false); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(QStringLiteral("open_account_book/%1").arg(size).toUtf8().constData(),
                                     [size](benchmark::State &state) { open_account(state, size, true); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(QStringLiteral("jump_account_book/%1").arg(size).toUtf8().constData(),
                                     [size](benchmark::State &state) { jump_account_book(state, size); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(QStringLiteral("read_account_book/%1").arg(size).toUtf8().constData(),
                                     [size](benchmark::State &state) { read_account_book(state, size); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(QStringLiteral("commit_book_row/%1").arg(size).toUtf8().constData(),
                                     [size](benchmark::State &state) { commit_book_row(state, size); })
            ->Unit(benchmark::kMillisecond);
    }
    return run.runBenchmarks();
}
