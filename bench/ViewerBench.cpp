// The document window on a synthetic book (cv-gen-book), offscreen: opening
// the book into its window until the viewer is painted (against opening the
// document alone), painting a full viewer screen, switching the unit, and
// scrolling either grid by one wheel notch or one page, and the viewer's
// refresh after one entry edit (the change set names values only: no reset).
//   cv-viewer-bench --book=PATH.cvv2 [--shots=FOLDER] [benchmark flags]
// With --shots the viewer is written as PNG in months and weeks, in English
// and Japanese, with its printed form as PDF, and nothing is timed.

#include "document/Book.h"
#include "document/store/BookStore.h"
#include "document/Preference.h"
#include "gen/BookBenchRun.h"
#include "gen/BookGenerator.h"
#include "mainwindow/viewer/AccountGrid.h"
#include "mainwindow/viewer/CategoryGrid.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "model/Entry.h"
#include "platform/Localization.h"

#include "ScrollSteps.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>

namespace {

QString g_book;
constexpr QSize kWindowSize(1280, 800);

QDate viewedMonth()
{
    return cv::bench::BookOptions().lastDay.addMonths(-6);
}

// A window on the document, laid out and painted once.
std::unique_ptr<cv::BookWindow> openWindow(cv::Book &doc)
{
    auto window = std::make_unique<cv::BookWindow>(&doc);
    window->resize(kWindowSize);
    window->show();
    QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
    window->render(&image);
    return window;
}

void paint(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    widget.render(&image);
    benchmark::DoNotOptimize(image.constBits());
}

void open_document(benchmark::State &state)
{
    for (auto _ : state) {
        cv::Book doc;
        if (!cv::bench::openBook(doc, g_book)) state.SkipWithError("the book does not open");
    }
}

void open_into_window(benchmark::State &state)
{
    for (auto _ : state) {
        cv::Book doc;
        if (!cv::bench::openBook(doc, g_book)) state.SkipWithError("the book does not open");
        std::unique_ptr<cv::BookWindow> window = openWindow(doc);
        state.PauseTiming();
        window->documentClosing();
        window.reset();
        state.ResumeTiming();
    }
}

struct OpenWindow {
    cv::Book doc;
    std::unique_ptr<cv::BookWindow> window;
    cv::ViewerPage *viewer = nullptr;
    bool open(int unit)
    {
        if (!cv::bench::openBook(doc, g_book)) return false;
        window = openWindow(doc);
        viewer = window->viewerPage();
        viewer->updatePeriod(unit);
        window->performInputDate(viewedMonth());
        // Every row of both grids open, as a household that looks at all of it.
        viewer->accountView()->expandAll();
        viewer->categoryView()->expandAll();
        QTest::qWait(cv::ViewerPage::kResizeDelayMs + 20);
        return true;
    }
    ~OpenWindow()
    {
        if (window) window->documentClosing();
    }
};

void paint_viewer(benchmark::State &state)
{
    OpenWindow open;
    if (!open.open(int(state.range(0)))) {
        state.SkipWithError("the book does not open");
        return;
    }
    for (auto _ : state) {
        // Fresh values every time: nothing painted before is reused.
        open.viewer->dataChanged();
        paint(*open.viewer);
    }
    state.counters["columns"] = open.viewer->columns().accountColumnCount();
}

// One expense of the viewed month edited through the write path, then the
// viewer painted: the edit's signals repaint the grids' values without a reset.
void refresh_after_entry_edit(benchmark::State &state)
{
    OpenWindow open;
    if (!open.open(2)) {
        state.SkipWithError("the book does not open");
        return;
    }
    cv::SearchConditions month;
    month.date = {viewedMonth(), viewedMonth().addDays(27)};
    const auto found = open.doc.store()->findEntry(month);
    cv::EntryPtr entry;
    if (found)
        for (const cv::EntryPtr &e : *found)
            if (e->kind() == cv::EntryKind::Expense) {
                entry = e;
                break;
            }
    if (!entry) {
        state.SkipWithError("no expense in the viewed month");
        return;
    }
    int resets = 0;
    for (cv::ViewerModel *model : {open.viewer->accountModel(), open.viewer->categoryModel()})
        QObject::connect(model, &QAbstractItemModel::modelReset, [&resets] { ++resets; });
    double step = 1;
    for (auto _ : state) {
        const cv::EntryPtr old = entry->clone();
        entry->setAmount(entry->amount() + step);
        step = -step;
        open.doc.updateExpense(entry, old);
        paint(*open.viewer);
    }
    state.counters["resets"] = resets;
}

void switch_unit(benchmark::State &state)
{
    OpenWindow open;
    if (!open.open(2)) {
        state.SkipWithError("the book does not open");
        return;
    }
    int unit = 1;
    for (auto _ : state) {
        open.viewer->updatePeriod(unit);
        paint(*open.viewer);
        unit = unit == 1 ? 2 : 1;
    }
}

// One step of a grid, as a user scrolls it, then the grid painted: a wheel
// notch or a page, down the grid and back up once it reaches the end.
void scroll_step(benchmark::State &state)
{
    OpenWindow open;
    if (!open.open(2)) {
        state.SkipWithError("the book does not open");
        return;
    }
    cv::ViewerGrid *view = state.range(0) == 0 ? static_cast<cv::ViewerGrid *>(open.viewer->accountView())
                                               : static_cast<cv::ViewerGrid *>(open.viewer->categoryView());
    const bool wheel = state.range(1) == 0;
    QScrollBar *bar = view->verticalScrollBar();
    // The generated accounts fit the window; a shorter account grid, as the
    // divider allows, gives it rows to scroll.
    auto *splitter = qobject_cast<QSplitter *>(view->parentWidget());
    while (bar->maximum() == 0 && splitter && view->height() > 120) {
        QList<int> sizes = splitter->sizes();
        const int index = splitter->indexOf(view);
        const int shrink = sizes[index] / 2;
        sizes[index] -= shrink;
        sizes[1 - index] += shrink;
        splitter->setSizes(sizes);
        QTest::qWait(cv::ViewerPage::kResizeDelayMs + 20);
    }
    if (bar->maximum() == 0) {
        state.SkipWithError("the grid has nothing to scroll");
        return;
    }
    // Moves are in rows for the grids.
    cv::bench::runScrollSteps(state, *view, wheel, [view] { paint(*view); });
    state.counters["scroll_range"] = bar->maximum() + bar->pageStep();
}

int writeShots(const QString &folder)
{
    QDir().mkpath(folder);
    int failures = 0;
    for (const char *lang : {"en", "ja"}) {
        cv::setLanguageOverride(QLatin1String(lang));
        for (const auto &[unit, name] : {std::pair{2, "month"}, std::pair{1, "week"}}) {
            OpenWindow open;
            if (!open.open(unit)) return 1;
            open.viewer->accountView()->collapseAll();
            open.viewer->accountView()->expandToDepth(1);
            open.viewer->categoryView()->collapseAll();
            open.viewer->categoryView()->expandToDepth(0);
            const QString file =
                QStringLiteral("%1/viewer-%2-%3").arg(folder, QLatin1String(lang), QLatin1String(name));
            if (!open.window->grab().save(file + QStringLiteral(".png"))) ++failures;
            // The printed viewer of the same rows, as File > Print writes it to PDF.
            if (!open.window->printView(cv::Preference(), cv::PrintRunner::Mode::Pdf, file + QStringLiteral(".pdf"))
                     .printed)
                ++failures;
        }
    }
    cv::setLanguageOverride(QString());
    return failures;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cv::bench::BookBenchRun run(argc, argv);
    QString shots;
    const auto shotsArgument = std::find_if(run.rest.begin(), run.rest.end(),
                                            [](const char *a) { return QByteArray(a).startsWith("--shots="); });
    if (shotsArgument != run.rest.end()) {
        shots = QString::fromLocal8Bit(*shotsArgument + 8);
        run.rest.erase(shotsArgument);
    }
    g_book = run.book;
    if (g_book.isEmpty()) {
        fprintf(stderr, "usage: cv-viewer-bench --book=PATH.cvv2 [--shots=FOLDER]\n");
        return 2;
    }
    if (!shots.isEmpty()) return writeShots(shots);

    benchmark::RegisterBenchmark("open_document", open_document)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("open_into_window", open_into_window)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("paint_viewer", paint_viewer)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("switch_unit", switch_unit)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("refresh_after_entry_edit", refresh_after_entry_edit)->Unit(benchmark::kMillisecond);
    // Arguments: the account grid (0) or the category grid (1); a wheel notch (0) or a page (1).
    benchmark::RegisterBenchmark("scroll_step", scroll_step)
        ->ArgsProduct({{0, 1}, {0, 1}})
        ->Unit(benchmark::kMillisecond);
    return run.runBenchmarks();
}
