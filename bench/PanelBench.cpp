// The account book panel on a synthetic book (cv-gen-book): opening the
// busiest account's busiest month in its panel (rows read, table laid out and
// painted offscreen), and committing one edited row.
//   cv-panel-bench --books=DIR --sizes=10000,100000 [benchmark flags]

#include "document/CV4DataModel.h"
#include "document/CV4Document.h"
#include "gen/BookBenchRun.h"
#include "gen/BookGenerator.h"
#include "model/CV4AccountModel.h"
#include "panels/entry/AccountPanelController.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QUndoStack>

#include <map>
#include <optional>

namespace {

QString g_books;

struct Month {
    CVUnitModelPtr account;
    QDate first;
};

void collectAccounts(const CVUnitModelPtr &node, std::vector<CVUnitModelPtr> &out)
{
    if (node->isAsset() || node->isDebt()) {
        if (node->kind() != cv::NodeKind::Investment && node->kind() != cv::NodeKind::Loan) out.push_back(node);
    }
    if (node->hasChildList())
        for (const CVUnitModelPtr &child : node->children()) collectAccounts(child, out);
}

// The account with the most entries, and its month with the most entries.
Month busiestMonth(CV4Document &doc)
{
    std::vector<CVUnitModelPtr> accounts;
    collectAccounts(doc.accountModel()->asset(), accounts);
    collectAccounts(doc.accountModel()->debt(), accounts);
    Month best;
    size_t bestCount = 0;
    for (const CVUnitModelPtr &account : accounts) {
        CV4SearchConditions conditions;
        conditions.account = {account->ident()};
        const auto rows = doc.dataModel()->findActual(conditions).value_or(CV4DataModel::ActualList{});
        std::map<QDate, size_t> months;
        for (const CV4ActualPtr &row : rows) ++months[QDate(row->date().year(), row->date().month(), 1)];
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
std::optional<Month> openBusiest(benchmark::State &state, CV4Document &doc, int size)
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
    CV4Document doc;
    const std::optional<Month> month = openBusiest(state, doc, size);
    if (!month) return;
    const QDate first = wholeBook ? QDate(1990, 1, 1) : month->first;
    const QDate last = wholeBook ? QDate(2040, 12, 31) : lastDayOf(*month);
    int rows = 0;
    for (auto _ : state) {
        AccountPanelController panel(&doc, month->account, first, last);
        panel.resize(900, 600);
        const QPixmap painted = panel.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
        rows = panel.numberOfRows(panel.tableView());
    }
    state.counters["rows"] = rows;
}

// The panel's read of that book alone, with nothing made of the rows.
void read_account_book(benchmark::State &state, int size)
{
    CV4Document doc;
    const std::optional<Month> month = openBusiest(state, doc, size);
    if (!month) return;
    CV4SearchConditions conditions;
    conditions.date = {QDate(1990, 1, 1), QDate(2040, 12, 31)};
    conditions.account = {month->account->ident()};
    for (auto _ : state) {
        double sum = 0;
        doc.dataModel()->forEachActual(conditions, [&](const CV4Actual &entry) { sum += entry.amount(); });
        benchmark::DoNotOptimize(sum);
    }
}

void commit_book_row(benchmark::State &state, int size)
{
    CV4Document doc;
    const std::optional<Month> month = openBusiest(state, doc, size);
    if (!month) return;
    AccountPanelController panel(&doc, month->account, month->first, lastDayOf(*month));
    double step = 1;
    for (auto _ : state) {
        state.PauseTiming();
        const CV4ActualPtr row = panel.actualAt(0);
        panel.change(row, QStringLiteral("amount"), row->amount() + step, QStringLiteral("bench"));
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
        benchmark::RegisterBenchmark(QStringLiteral("read_account_book/%1").arg(size).toUtf8().constData(),
                                     [size](benchmark::State &state) { read_account_book(state, size); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(QStringLiteral("commit_book_row/%1").arg(size).toUtf8().constData(),
                                     [size](benchmark::State &state) { commit_book_row(state, size); })
            ->Unit(benchmark::kMillisecond);
    }
    return run.runBenchmarks();
}
