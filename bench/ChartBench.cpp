// Charts and the financial overview on a synthetic book (cv-gen-book): a
// 10-item daily line chart over the book's last year and a 10-item monthly
// chart over ten years built, the overview sheet filled, and chart pages
// drawn at 300 dpi and shown in the print preview: line and bar, daily and
// monthly, over one and twenty years, of accounts and of categories.
//   cv-chart-bench --book=PATH.cvv2 [benchmark flags]

#include "charts/StackedColumnChart.h"
#include "charts/LineChart.h"
#include "charts/PieChart.h"
#include "charts/OverviewSheet.h"
#include "controls/DateField.h"
#include "document/Book.h"
#include "gen/BookBenchRun.h"
#include "gen/BookGenerator.h"
#include "ReportBenchSupport.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "model/DomainEnums.h"

#include <benchmark/benchmark.h>

#include "platform/print/PrintRunner.h"

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>

namespace {

QString g_book;
cv::Book *g_doc = nullptr;

void leaves(const cv::NodePtr &node, std::vector<cv::NodePtr> &out, size_t limit)
{
    if (out.size() >= limit) return;
    if (node->countChild() == 0 || node->kind() == cv::NodeKind::Investment) {
        if (node->kind() != cv::NodeKind::SectionRoot) out.push_back(node);
        return;
    }
    for (const cv::NodePtr &child : node->children()) leaves(child, out, limit);
}

// Ten accounts (assets first), or ten expense categories.
std::vector<cv::NodePtr> items(int mode)
{
    std::vector<cv::NodePtr> out;
    if (mode == 0) {
        leaves(g_doc->accountTrees()->asset(), out, 10);
        leaves(g_doc->accountTrees()->debt(), out, 10);
    } else {
        leaves(g_doc->categoryTrees()->expense(), out, 10);
    }
    return out;
}

const QDate kLast = cv::bench::BookOptions().lastDay;

template <class View> std::unique_ptr<View> build(int mode, int option, const QDate &from, const QDate &to)
{
    cv::PageSetup setup;
    setup.margins = QMarginsF(36, 36, 36, 36);
    auto view = std::make_unique<View>(setup);
    view->setDocument(g_doc, mode, option, QStringLiteral("Chart"), items(mode), from, to);
    return view;
}

void build_line_daily_year(benchmark::State &state)
{
    const int mode = int(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(build<cv::LineChart>(mode, 0, kLast.addYears(-1).addDays(1), kLast));
    state.counters["items"] = double(items(mode).size());
}

void build_line_monthly_ten_years(benchmark::State &state)
{
    const int mode = int(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            build<cv::LineChart>(mode, cv::SeriesChart::kMonthly, kLast.addYears(-10).addDays(1), kLast));
    state.counters["items"] = double(items(mode).size());
}

void build_pie_categories_year(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(build<cv::PieChart>(1, cv::PieChart::kSorted, kLast.addYears(-1).addDays(1), kLast));
}

// One page at 300 dpi, as a printer gets it.
template <class View> void draw_page(benchmark::State &state, int mode, int option, const QDate &from)
{
    auto view = build<View>(mode, option, from, kLast);
    cv::bench::drawSheetsInTurn(state, *view, 1, 300);
}

// Arguments: bar (0 line, 1 bar), monthly, years, mode (0 accounts, 1 categories).
std::unique_ptr<cv::SeriesChart> seriesChart(const benchmark::State &state)
{
    const int option = state.range(1) ? cv::SeriesChart::kMonthly : 0;
    const QDate from = kLast.addYears(-int(state.range(2))).addDays(1);
    const int mode = int(state.range(3));
    if (state.range(0)) return build<cv::StackedColumnChart>(mode, option, from, kLast);
    return build<cv::LineChart>(mode, option, from, kLast);
}

void draw_series_page(benchmark::State &state)
{
    auto view = seriesChart(state);
    cv::bench::drawSheetsInTurn(state, *view, 1, 300);
}

// From the preview's request to its first picture on the screen: the page
// recorded at the printer's resolution and painted at the preview's zoom.
void preview_series_page(benchmark::State &state)
{
    auto view = seriesChart(state);
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewWidget preview(&printer);
        QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, &preview,
                         [&view](QPrinter *target) { cv::PrintRunner::render(*view, *target); });
        preview.resize(1000, 760);
        preview.fitToWidth();
        preview.show();
        preview.updatePreview();
        benchmark::DoNotOptimize(preview.grab());
    }
}
void draw_pie_page(benchmark::State &state)
{
    draw_page<cv::PieChart>(state, 1, cv::PieChart::kSorted, kLast.addYears(-1).addDays(1));
}

// The whole sheet recomputed for a new date: three years of cash flow in year mode.
void fill_overview(benchmark::State &state)
{
    cv::OverviewSheet sheet(g_doc);
    if (state.range(0) == 1) sheet.monthOption()->click();
    int day = 0;
    for (auto _ : state) {
        sheet.dateField()->setDate(kLast.addDays(-(day++ % 2)));
        benchmark::DoNotOptimize(sheet.objectValue(cv::OverviewSheet::CashFlow, 0, 1));
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cv::bench::BookBenchRun run(argc, argv);
    g_book = run.book;
    if (g_book.isEmpty()) {
        std::fprintf(stderr, "usage: cv-chart-bench --book=PATH.cvv2\n");
        return 2;
    }
    cv::Book doc;
    if (!cv::bench::openBook(doc, g_book)) {
        std::fprintf(stderr, "the book does not open\n");
        return 1;
    }
    g_doc = &doc;
    benchmark::RegisterBenchmark("chart_line_daily_year", build_line_daily_year)
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("chart_line_monthly_ten_years", build_line_monthly_ten_years)
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("chart_pie_categories_year", build_pie_categories_year)->Unit(benchmark::kMillisecond);
    using Run = void (*)(benchmark::State &);
    for (const auto &[name, run] : {std::pair<const char *, Run>{"chart_draw_page", draw_series_page},
                                    std::pair<const char *, Run>{"chart_preview_page", preview_series_page}})
        benchmark::RegisterBenchmark(name, run)
            ->ArgNames({"bar", "monthly", "years", "mode"})
            ->ArgsProduct({{0, 1}, {0, 1}, {1, 20}, {0, 1}})
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("chart_draw_pie_page", draw_pie_page)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("overview_fill", fill_overview)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
    return run.runBenchmarks();
}
