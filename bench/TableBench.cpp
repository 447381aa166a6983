// Measures the editing table offscreen on 10,000 rows: painting one screenful,
// scrolling through every row a screen at a time, one scroll step (a wheel
// notch or a page) with its paint, and moving the edit down the table. The owner computes every cell from its row, so the times are the
// table's own; cells_per_paint shows that only visible cells are asked.
//   cv-table-bench [benchmark flags]

#include "controls/EditingTable.h"
#include "controls/PopupFieldEditor.h"
#include "controls/TableClient.h"

#include "ScrollSteps.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int kRows = 10000;
const QStringList kCategories = {QStringLiteral("Food"), QStringLiteral("Housing"), QStringLiteral("Transport"),
                                 QStringLiteral("Salary"), QStringLiteral("Household")};

class SyntheticClient : public cv::TableClient {
public:
    int numberOfRows(const cv::EditingTable *) const override { return kRows; }
    cv::CellValue objectValue(const cv::EditingTable *, int cid, int row) const override
    {
        ++asked;
        switch (cid) {
        case 0: return QDate(2020, 1, 1).addDays(row / 5);
        case 1: return kCategories[row % kCategories.size()];
        case 2: {
            const bool negative = row % 3 == 0;
            return QVariant::fromValue(cv::StyledText{QString::number((row * 37) % 100000),
                                                      negative ? QColor(166, 0, 0) : QColor(),
                                                      Qt::AlignRight | Qt::AlignVCenter, negative});
        }
        default: return QStringLiteral("memo %1").arg(row);
        }
    }
    void setObjectValue(cv::EditingTable *, const QString &, int, int) override {}
    void prepareCell(const cv::EditingTable *, cv::PreparedCell &cell, int cid, int) const override
    {
        if (cid == 0) cell.kind = cv::CellKind::Date;
        if (cid == 1) cell.kind = cv::CellKind::Chooser;
    }
    std::optional<cv::CellCurrency> currencyForColumn(int cid, int) const override
    {
        if (cid != 2) return std::nullopt;
        return cv::CellCurrency{1, 0};
    }
    mutable long long asked = 0;
};

struct Fixture {
    Fixture()
    {
        const int widths[] = {100, 130, 100, 220};
        for (int c = 0; c < 4; ++c)
            table.addColumn(std::make_unique<cv::TableColumn>(c, QStringLiteral("C%1").arg(c), widths[c]));
        table.setClient(&client);
        table.resize(600, 700);
        table.show();
        image = QImage(table.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    }
    void paint()
    {
        QPainter painter(&image);
        table.viewport()->render(&painter);
    }
    SyntheticClient client;
    cv::EditingTable table;
    QImage image;
};

void paint_screenful(benchmark::State &state)
{
    Fixture f;
    f.client.asked = 0;
    long long paints = 0;
    for (auto _ : state) {
        f.paint();
        ++paints;
    }
    state.counters["cells_per_paint"] = double(f.client.asked) / double(paints);
}
BENCHMARK(paint_screenful)->Unit(benchmark::kMicrosecond);

void full_scroll(benchmark::State &state)
{
    Fixture f;
    QScrollBar *bar = f.table.verticalScrollBar();
    long long pages = 0;
    for (auto _ : state) {
        bar->setValue(0);
        for (int value = 0;; value += bar->pageStep()) {
            bar->setValue(value);
            f.paint();
            ++pages;
            if (value >= bar->maximum()) break;
        }
    }
    state.counters["screens"] = double(pages) / double(state.iterations());
    state.counters["cells_per_screen"] = double(f.client.asked) / double(pages);
}
BENCHMARK(full_scroll)->Unit(benchmark::kMillisecond);

// One step as a user scrolls, then the paint: a wheel notch (0) or a page (1),
// down the table and back up once it reaches the end.
void scroll_step(benchmark::State &state)
{
    Fixture f;
    cv::bench::runScrollSteps(state, f.table, state.range(0) == 0, [&f] { f.paint(); });
}
BENCHMARK(scroll_step)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void edit_down_the_table(benchmark::State &state)
{
    // Ctrl+Down moves the edit a row down: the editor follows and the view scrolls.
    Fixture f;
    cv::PopupFieldEditor *editor = cv::GetPopupFieldEditor();
    int row = 0;
    for (auto _ : state) {
        if (row == 0 || row >= kRows - 1) {
            row = 0;
            f.table.performClickAtColumn(3, 0, nullptr);
        }
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::ControlModifier);
        QApplication::sendEvent(editor, &down);
        ++row;
        f.paint();
    }
}
BENCHMARK(edit_down_the_table)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
