// Printing to PDF: the viewer of a synthetic book (cv-gen-book), and a main
// view of 100,000 synthetic rows (pagination alone, and every sheet).
//   cv-print-bench [--book=PATH.cvv2] [benchmark flags]

#include "print/ViewerPrint.h"
#include "print/PrintPages.h"
#include "print/ViewerPrintRow.h"
#include "document/Book.h"
#include "document/Preference.h"
#include "gen/BookBenchRun.h"
#include "gen/BookGenerator.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QRegularExpression>

namespace {

QString g_book;
const cv::bench::BookBenchRun *g_run = nullptr; // its temporary folder takes the PDFs
constexpr int kSyntheticRows = 100000;

cv::Preference margins()
{
    cv::Preference prefs;
    prefs.setLeftTopMargin(QSizeF(36, 36));
    prefs.setRightBottomMargin(QSizeF(36, 36));
    return prefs;
}

void addRows(std::vector<cv::ViewerPrintParam> &rows, const cv::NodePtr &node, int level, int kind)
{
    rows.emplace_back(level, node.get(), kind);
    if (node->hasChildList()) {
        for (const cv::NodePtr &child : node->children()) addRows(rows, child, level + 1, kind);
    }
}

// The whole viewer of the book, both outlines, every row's eighteen texts
// from the balance cache, to a PDF file.
void print_viewer_to_pdf(benchmark::State &state)
{
    cv::Book doc;
    if (!cv::bench::openBook(doc, g_book)) {
        state.SkipWithError("the book does not open");
        return;
    }
    const cv::Preference prefs = margins();
    const cv::ViewerPrintRow printed(cv::bench::BookOptions().lastDay.addMonths(-11));
    int sheets = 0;
    for (auto _ : state) {
        const auto make = [&](cv::PageSetup &setup) {
            std::vector<cv::ViewerPrintParam> rows{cv::ViewerPrintParam(cv::PrintedPagesParam::Header, nullptr, 0)};
            for (const cv::NodePtr &root : {doc.accountTrees()->asset(), doc.accountTrees()->debt()})
                addRows(rows, root, 0, 0);
            rows.emplace_back(cv::PrintedPagesParam::Header, nullptr, 1);
            for (const cv::NodePtr &root : {doc.categoryTrees()->income(), doc.categoryTrees()->expense()})
                addRows(rows, root, 0, 1);
            auto view = std::make_unique<cv::ViewerPrint>(
                [&](const cv::ViewerPrintParam &row) {
                    if (row.isHeader()) return row.kind() == 0 ? printed.accountHeader() : printed.categoryHeader();
                    return row.kind() == 0 ? printed.accountCells(doc, *row.ref())
                                           : printed.categoryCells(doc, *row.ref());
                },
                std::move(rows), setup);
            sheets = view->sheetCount();
            return view;
        };
        const auto result = cv::printPages(doc, prefs, make, nullptr, cv::PrintRunner::Mode::Pdf,
                                           g_run->workPath(QStringLiteral("viewer.pdf")));
        if (!result.printed) state.SkipWithError("nothing printed");
    }
    state.counters["sheets"] = sheets;
}

std::vector<cv::ViewerPrintParam> syntheticRows()
{
    std::vector<cv::ViewerPrintParam> rows{cv::ViewerPrintParam(cv::PrintedPagesParam::Header, nullptr, 0)};
    rows.reserve(kSyntheticRows + 1);
    for (int i = 0; i < kSyntheticRows; ++i) rows.emplace_back(i % 4, nullptr, 0);
    return rows;
}

QStringList syntheticCells(const cv::ViewerPrintParam &row)
{
    static const QStringList data = [] {
        QStringList cells{QStringLiteral("普通預金 Account")};
        for (int c = 1; c < 18; ++c)
            cells.append(
                QStringLiteral("%1")
                    .arg(1234567 * c)
                    .replace(QRegularExpression(QStringLiteral("(\\d)(?=(\\d{3})+$)")), QStringLiteral("\\1,")));
        return cells;
    }();
    static const QStringList header = [] {
        QStringList cells;
        for (int c = 0; c < 18; ++c) cells.append(QStringLiteral("Col %1").arg(c));
        return cells;
    }();
    return row.isHeader() ? header : data;
}

void paginate_rows(benchmark::State &state)
{
    const std::vector<cv::ViewerPrintParam> rows = syntheticRows();
    cv::PageSetup setup;
    setup.margins = QMarginsF(36, 36, 36, 36);
    for (auto _ : state) {
        cv::ViewerPrint view(syntheticCells, rows, setup);
        benchmark::DoNotOptimize(view.sheetCount());
    }
}

void print_rows_to_pdf(benchmark::State &state)
{
    cv::PageSetup setup;
    setup.margins = QMarginsF(36, 36, 36, 36);
    int sheets = 0;
    for (auto _ : state) {
        cv::ViewerPrint view(syntheticCells, syntheticRows(), setup);
        sheets = view.sheetCount();
        cv::PrintRunner::run(view, cv::PrintRunner::Mode::Pdf, nullptr, g_run->workPath(QStringLiteral("rows.pdf")));
    }
    state.counters["sheets"] = sheets;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cv::bench::BookBenchRun run(argc, argv);
    g_book = run.book;
    g_run = &run;

    if (!g_book.isEmpty())
        benchmark::RegisterBenchmark("print_viewer_to_pdf", print_viewer_to_pdf)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("paginate_rows/100000", paginate_rows)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("print_rows_to_pdf/100000", print_rows_to_pdf)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    return run.runBenchmarks();
}
