#include "ChartBook.h"

#include "charts/ColumnInk.h"
#include "charts/StackedColumnChart.h"
#include "charts/LineChart.h"
#include "charts/PieChart.h"
#include "document/AmountText.h"
#include "document/CurrencyPrintingScope.h"
#include "platform/Localization.h"
#include "platform/print/PainterCanvas.h"
#include "platform/print/RecordingCanvas.h"

#include <gmock/gmock.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>

#include <array>
#include <climits>
#include <cmath>
#include <functional>
#include <map>

using cv::RecordingCanvas;
using Op = RecordingCanvas::Op;
using ::testing::ElementsAre;

namespace {

cv::PageSetup a4(double margin = 36)
{
    cv::PageSetup setup;
    setup.margins = QMarginsF(margin, margin, margin, margin);
    return setup;
}

class ChartViewTest : public ::testing::Test {
protected:
    void SetUp() override { cv::setLanguageOverride(QStringLiteral("en")); }
    void TearDown() override { cv::setLanguageOverride(QString()); }

    template <class View>
    std::unique_ptr<View> chart(int mode, int option, const std::vector<cv::NodePtr> &items, const QDate &from,
                                const QDate &to, cv::PageSetup setup = a4())
    {
        auto view = std::make_unique<View>(setup);
        view->setDocument(m_book.doc.get(), mode, option, QStringLiteral("Chart"), items, from, to);
        return view;
    }

    ChartBook m_book;
};

} // namespace

TEST(ChartHelpers, AxisGridAndDateSteps)
{
    struct AxisCase {
        double max, min, unit, ceil, floor;
    };
    for (const AxisCase &c :
         {AxisCase{1234, 0, 100, 1400, 0}, AxisCase{-50, -980, 10, -30, -1000}, AxisCase{-5, -300, 10, 0, -320},
          AxisCase{5, 5, 0.1, 5.5, 4.5}, AxisCase{0, 0, 100, 1000, 0}}) {
        const cv::Chart::Axis axis = cv::Chart::calcAxis(c.max, c.min);
        EXPECT_DOUBLE_EQ(axis.unit, c.unit) << c.max << " " << c.min;
        EXPECT_DOUBLE_EQ(axis.ceil, c.ceil) << c.max << " " << c.min;
        EXPECT_DOUBLE_EQ(axis.floor, c.floor) << c.max << " " << c.min;
    }

    const cv::Chart::Axis axis{1400, 0, 100};
    std::vector<int> lines;
    for (int v = 0; v <= 1400; v += 100)
        if (cv::Chart::shouldDrawTheLineFor(v, axis, 300)) lines.push_back(v);
    EXPECT_THAT(lines, ElementsAre(200, 400, 600, 800, 1000, 1200));
    // No length, no unit or no range: no line, and no endless step search.
    EXPECT_FALSE(cv::Chart::shouldDrawTheLineFor(500, axis, 0));
    EXPECT_FALSE(cv::Chart::shouldDrawTheLineFor(500, cv::Chart::Axis{1400, 0, 0}, 300));
    EXPECT_FALSE(cv::Chart::shouldDrawTheLineFor(500, cv::Chart::Axis{1400, 0, -100}, 300));

    struct StepCase {
        int days, months, stepDays;
    };
    const QDate start(2009, 1, 1);
    for (const StepCase &c : {StepCase{10, 0, 1}, StepCase{11, 0, 10}, StepCase{59, 0, 10}, StepCase{60, 1, 0},
                              StepCase{400, 2, 0}, StepCase{730, 3, 0}, StepCase{1095, 6, 0}, StepCase{3650, 12, 0}}) {
        const cv::Chart::DateStep step = cv::Chart::scaleAdvance(start, start.addDays(c.days));
        EXPECT_EQ(step.months, c.months) << c.days;
        EXPECT_EQ(step.days, c.stepDays) << c.days;
    }

    EXPECT_EQ(cv::Chart::chartColor(10), QColor(Qt::black));
    EXPECT_EQ(cv::Chart::chartColor(-1), QColor(Qt::black));
    EXPECT_EQ(cv::Chart::chartColor(2), cv::Chart::chartColor(9));

    cv::SeriesTable holder;
    holder.setRow(2, 3);
    holder.setValue(7, 1, 2);
    EXPECT_TRUE(std::isnan(holder.valueAtRow(0, 0)));
    EXPECT_EQ(holder.valueAtRow(1, 2), 7);
}

TEST(ChartHelpers, SampleDates)
{
    using Dates = std::vector<QDate>;
    EXPECT_EQ(cv::SeriesChart::sampleDates(QDate(2009, 1, 1), QDate(2009, 1, 31), false).size(), 31u);
    EXPECT_EQ(cv::SeriesChart::sampleDates(QDate(2009, 1, 31), QDate(2009, 4, 30), true),
              (Dates{QDate(2009, 1, 31), QDate(2009, 2, 28), QDate(2009, 3, 31)}));
    EXPECT_EQ(cv::SeriesChart::sampleDates(QDate(2008, 1, 31), QDate(2008, 4, 30), true),
              (Dates{QDate(2008, 1, 31), QDate(2008, 2, 29), QDate(2008, 3, 31)}));
    EXPECT_EQ(cv::SeriesChart::sampleDates(QDate(2009, 1, 31), QDate(2009, 5, 31), true).size(), 5u);
    EXPECT_TRUE(cv::SeriesChart::sampleDates(QDate(2009, 2, 1), QDate(2009, 1, 31), false).empty());
}

// Per device pixel column: the first, lowest, highest and last y of the points with one.
std::map<double, std::array<double, 4>> pixelColumns(const std::vector<QPointF> &points, double scale)
{
    std::map<double, std::array<double, 4>> columns;
    for (const QPointF &p : points) {
        if (std::isnan(p.y())) continue;
        auto [at, added] =
            columns.try_emplace(std::floor(p.x() * scale), std::array<double, 4>{p.y(), p.y(), p.y(), p.y()});
        at->second = {at->second[0], std::min(at->second[1], p.y()), std::max(at->second[2], p.y()), p.y()};
    }
    return columns;
}

const std::pair<const char *, std::function<double(int)>> kLineShapes[] = {
    {"flat", [](int) { return 50.0; }},
    {"zig-zag", [](int i) { return i % 2 ? 0.0 : 400.0 + i % 7; }},
    {"single spike", [](int i) { return i == 301 ? 900.0 : 10.0; }},
    {"gaps", [](int i) { return i % 5 < 2 ? qQNaN() : (i % 13) * 30.0; }},
};

TEST(ChartHelpers, ReducedLinesKeepEveryPixelColumnsExtremes)
{
    // Twenty years of days across a landscape plot, on screen, a printer and the PDF's grid.
    for (const auto &[name, value] : kLineShapes) {
        for (double scale : {1.0, 300.0 / 72, 1200.0 / 72}) {
            std::vector<QPointF> points;
            for (int i = 0; i < 7305; ++i) points.emplace_back(100 + 450.0 * i / 7304, value(i));
            const std::vector<QPointF> reduced = cv::LineChart::reducedLine(points, scale);
            EXPECT_EQ(pixelColumns(reduced, scale), pixelColumns(points, scale)) << name << " " << scale;
            EXPECT_LE(reduced.size(), 4 * pixelColumns(points, scale).size()) << name << " " << scale;
            EXPECT_TRUE(std::is_sorted(reduced.begin(), reduced.end(), [](auto a, auto b) { return a.x() < b.x(); }));
        }
    }
}

// A white page that size (points) at 300 dpi.
QImage whitePage(QSizeF size)
{
    QImage image((size * 300 / 72).toSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(300 / 0.0254));
    image.setDotsPerMeterY(int(300 / 0.0254));
    image.fill(Qt::white);
    return image;
}

// Rows of each pixel column at least half inked, first to last; {-1, -1} for none.
std::vector<std::pair<int, int>> inkedRows(const QImage &image)
{
    std::vector<std::pair<int, int>> columns(size_t(image.width()), {-1, -1});
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(reinterpret_cast<const QRgb *>(image.constScanLine(y))[x]) >= 128) continue;
            auto &[first, last] = columns[size_t(x)];
            if (first < 0) first = y;
            last = y;
        }
    return columns;
}

TEST(ChartHelpers, DenseLinesAreInkedAsTheirStroke)
{
    // Four days a pixel column at 300 dpi: each column inked as the 2-point
    // round pen stroking the whole line inks it, spikes and gaps included.
    const QRectF plot(10, 10, 48, 120);
    for (const auto &[name, value] : kLineShapes) {
        std::vector<QPointF> points;
        for (int i = 0; i < 800; ++i)
            points.emplace_back(plot.left() + 1 + (plot.width() - 2) * i / 799, plot.bottom() - value(i) / 8);
        auto drawn = [&](const std::function<void(cv::PainterCanvas &, QPainter &)> &draw) {
            QImage image = whitePage(QSizeF(plot.right() + 10, plot.bottom() + 10));
            QPainter painter(&image);
            cv::PainterCanvas canvas(painter);
            draw(canvas, painter);
            return inkedRows(image);
        };
        const auto inked = drawn([&](cv::PainterCanvas &canvas, QPainter &) {
            cv::ColumnInk ink(plot.left(), plot.right(), cv::ColumnInk::pixelsPerPoint(canvas));
            ink.addLayer(ink.stroke(points, 1), Qt::black);
            ink.draw(canvas);
        });
        const auto stroked = drawn([&](cv::PainterCanvas &, QPainter &painter) {
            QPainterPath path;
            for (const QPointF &p : points)
                if (!std::isnan(p.y())) path.elementCount() ? path.lineTo(p) : path.moveTo(p);
            painter.strokePath(path, QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        });
        // Within a pixel either way: a column's ink sits between the highest
        // and the lowest the other drawing has in it or next to it.
        auto within = [](const auto &drawn, const auto &other, size_t x) {
            if (drawn[x].first < 0) return true;
            int first = INT_MAX, last = -1;
            for (size_t n = std::max<size_t>(x, 1) - 1; n <= std::min(x + 1, other.size() - 1); ++n)
                if (other[n].first >= 0) {
                    first = std::min(first, other[n].first);
                    last = std::max(last, other[n].second);
                }
            return drawn[x].first >= first - 1 && drawn[x].second <= last + 1;
        };
        for (size_t x = 0; x < stroked.size(); ++x) {
            EXPECT_TRUE(within(inked, stroked, x)) << name << " column " << x;
            EXPECT_TRUE(within(stroked, inked, x)) << name << " column " << x;
        }
    }
}

TEST_F(ChartViewTest, PagesFollowAssetsAndDebts)
{
    auto wallet = m_book.account(30, QStringLiteral("Wallet"), 1000);
    auto bank = m_book.account(31, QStringLiteral("Bank"), 5000);
    auto card = m_book.account(40, QStringLiteral("Card"));
    auto food = m_book.category(false, QStringLiteral("Food"));
    m_book.expense(QDate(2009, 1, 10), 300, food, card);
    m_book.rebuild();
    const QDate from(2009, 1, 1), to(2009, 1, 31);

    auto mixed = chart<cv::LineChart>(0, 0, {wallet, card, bank}, from, to);
    ASSERT_EQ(mixed->sheetCount(), 2);
    RecordingCanvas canvas;
    mixed->drawSheet(2, canvas);
    EXPECT_TRUE(canvas.texts().contains(QStringLiteral("Debts")));
    EXPECT_TRUE(canvas.texts().contains(QStringLiteral("Card")));
    EXPECT_FALSE(canvas.texts().contains(QStringLiteral("Wallet")));
    // Daily over January: one point per day on each line.
    EXPECT_EQ(mixed->series(0).values.columnSize(), 31);
    EXPECT_EQ(mixed->series(0).values.valueAtRow(1, 0), 5000);
    EXPECT_EQ(mixed->series(1).values.valueAtRow(0, 30), 300);

    auto cards = chart<cv::StackedColumnChart>(0, 0, {card}, from, to);
    ASSERT_EQ(cards->sheetCount(), 1);
    canvas.clear();
    cards->drawSheet(1, canvas);
    EXPECT_TRUE(canvas.texts().contains(QStringLiteral("Debts")));
    EXPECT_TRUE(canvas.texts().contains(QStringLiteral("01/01")));

    // A4 with margins that leave 56 points each way: nothing at all.
    cv::PageSetup tight;
    tight.margins = QMarginsF(270, 393, 270, 393);
    canvas.clear();
    chart<cv::LineChart>(0, 0, {wallet}, from, to, tight)->drawSheet(1, canvas);
    EXPECT_TRUE(canvas.calls().isEmpty());
}

TEST_F(ChartViewTest, LinesStayInTheBoxAndBarsSkipEmptyColumns)
{
    auto wallet = m_book.account(30, QStringLiteral("Wallet"), 0);
    auto bank = m_book.account(31, QStringLiteral("Bank"), 0);
    auto savings = m_book.account(31, QStringLiteral("Savings"), 150000);
    auto deposit = m_book.account(31, QStringLiteral("Deposit"), 900000);
    auto salary = m_book.category(true, QStringLiteral("Salary"));
    m_book.income(QDate(2009, 1, 20), 900, salary, wallet);
    m_book.income(QDate(2009, 2, 20), 1234, salary, bank);
    m_book.rebuild();

    auto line = chart<cv::LineChart>(0, 1, {wallet, bank, savings, deposit}, QDate(2009, 1, 31), QDate(2009, 4, 30));
    EXPECT_EQ(line->series(0).values.columnSize(), 3);
    RecordingCanvas canvas;
    line->drawSheet(1, canvas);
    const QList<RecordingCanvas::Call> frames = canvas.calls(Op::StrokeRect);
    ASSERT_EQ(frames.size(), 1);
    const QRectF plotBox = frames.front().rect.adjusted(-1, -1, 1, 1);
    const QList<RecordingCanvas::Call> paths = canvas.calls(Op::StrokePath);
    ASSERT_EQ(paths.size(), 4);
    for (const auto &path : paths)
        EXPECT_TRUE(plotBox.contains(path.rect.topLeft()) && plotBox.contains(path.rect.bottomRight()));
    EXPECT_TRUE(canvas.texts().contains(QStringLiteral("09/02")));
    // 0 to 900,000 in units of 10,000 is labelled every 100,000: the top moves out to a label.
    EXPECT_EQ(canvas.texts().filter(QStringLiteral("00,000")).join(QLatin1Char('|')),
              QStringLiteral("100,000|200,000|300,000|400,000|500,000|600,000|700,000|800,000|900,000|1,000,000"));

    // January: wallet 900 alone; before it the bank's 0 and the wallet's 0 give no column.
    auto bars = chart<cv::StackedColumnChart>(0, 0, {wallet, bank}, QDate(2009, 1, 18), QDate(2009, 1, 21));
    canvas.clear();
    bars->drawSheet(1, canvas);
    const auto fills = canvas.calls(Op::FillRect);
    const auto count = [&fills](auto &&which) { return std::count_if(fills.begin(), fills.end(), which); };
    EXPECT_EQ(count([](const RecordingCanvas::Call &c) {
                  return c.color == cv::Chart::chartColor(0) && c.rect.height() > 10;
              }),
              2); // the 20th and the 21st
    // Bars' legend shows areas, as the pie's does; lines' legend shows lines.
    EXPECT_EQ(count([](const RecordingCanvas::Call &c) { return c.rect.size() == QSizeF(48, 10); }), 2);
    EXPECT_EQ(count([](const RecordingCanvas::Call &c) { return c.rect.size() == QSizeF(48, 2); }), 0);
    EXPECT_TRUE(canvas.texts().contains(QStringLiteral("100%")));
}

TEST_F(ChartViewTest, DenseBarsAreInkedWithTheirShares)
{
    // Bars of days inked by device column on an image and outlined in a
    // preview's recording, painted back here: two years' half a point wide;
    // on an image also a year's, a few device pixels wide.
    auto wallet = m_book.account(30, QStringLiteral("Wallet"), 1000);
    auto bank = m_book.account(31, QStringLiteral("Bank"), 3000);
    m_book.rebuild();
    const QRgb walletInk = cv::Chart::chartColor(0).rgb(), bankInk = cv::Chart::chartColor(1).rgb();
    for (const auto &[first, recorded] : {std::pair(QDate(2009, 1, 1), false), std::pair(QDate(2009, 1, 1), true),
                                          std::pair(QDate(2010, 1, 1), false)}) {
        auto bars = chart<cv::StackedColumnChart>(0, 0, {wallet, bank}, first, QDate(2010, 12, 31));
        RecordingCanvas outline;
        bars->drawSheet(1, outline);
        const auto frames = outline.calls(Op::StrokeRect); // the plot's and the legend's
        ASSERT_FALSE(frames.isEmpty());
        const auto frame = *std::max_element(frames.begin(), frames.end(), [](const auto &a, const auto &b) {
            return a.rect.width() * a.rect.height() < b.rect.width() * b.rect.height();
        });
        QImage page = whitePage(bars->pageSetup().paperSize());
        QPicture picture;
        {
            QPainter painter(recorded ? static_cast<QPaintDevice *>(&picture) : &page);
            cv::PainterCanvas canvas(painter);
            bars->drawSheet(1, canvas);
        }
        if (recorded) {
            QPainter painter(&page); // a picture plays at the device's resolution
            painter.drawPicture(0, 0, picture);
        }
        // Per pixel column right of the legend, the rows in each item's colour.
        std::map<int, std::array<int, 2>> columns;
        for (int y = 0; y < page.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(page.constScanLine(y));
            for (int x = 240 * 300 / 72; x < page.width(); ++x)
                for (int i : {0, 1})
                    if (row[x] == cv::Chart::chartColor(i).rgb()) ++columns[x][size_t(i)];
        }
        const std::string what = first.toString(Qt::ISODate).toStdString() + (recorded ? " recorded" : " on an image");
        ASSERT_GT(columns.size(), 1000u) << what;
        // No gap across the plot, and every column a quarter the wallet's.
        EXPECT_EQ(columns.rbegin()->first - columns.begin()->first + 1, int(columns.size())) << what;
        for (const auto &[x, rows] : columns) EXPECT_NEAR(rows[0] * 3, rows[1], 12) << what << " column " << x;

        // Every row of every column, device pixels from the plot's top (t) to
        // its foot (b): the bank's ink over the wallet's, each row wholly
        // inside one of them in its colour, the row where they meet mixed,
        // and on an image the edge rows its share over the frame's grey.
        const double t = frame.rect.top() * 300 / 72, b = frame.rect.bottom() * 300 / 72;
        const double meet = b - (b - t) / 4;
        const QRgb grey = frame.color.rgb();
        auto over = [grey](QRgb ink, double covered) {
            auto mix = [covered](int a, int b) { return int(std::lround(a * covered + b * (1 - covered))); };
            return qRgb(mix(qRed(ink), qRed(grey)), mix(qGreen(ink), qGreen(grey)), mix(qBlue(ink), qBlue(grey)));
        };
        auto near = [](QRgb a, QRgb b) {
            return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
                   std::abs(qBlue(a) - qBlue(b)) <= 2;
        };
        int wrong = 0;
        for (const auto &[x, rows] : columns) {
            for (int y = int(std::floor(t)); y < int(std::ceil(b)) && wrong < 5; ++y) {
                if (y == int(std::floor(meet)) && meet > std::floor(meet) + 0.01) continue;
                const double covered = std::min(y + 1.0, b) - std::max(double(y), t);
                const QRgb ink = y < meet ? bankInk : walletInk, seen = page.pixel(x, y);
                const bool right = covered > 0.999 ? seen == ink : recorded || near(seen, over(ink, covered));
                if (!right) ++wrong;
                EXPECT_TRUE(right) << what << " column " << x << " row " << y << ": " << std::hex << seen;
            }
        }
    }
}

TEST_F(ChartViewTest, PieLegendAndWedges)
{
    struct Case {
        std::vector<double> balances;
        const char *legend; // name, value and rate row by row, then the total; "|" between
        int wedges;
        const char *labels; // shares of the positive values: white on dark wedges, "/b" black on light ones or outside
        int swatches;       // none for the members of a gathered slice
        const char *name = "A"; // the accounts' names, numbered
    };
    // clang-format off
    const std::vector<Case> cases = {
        {{90, 6, 3, 1}, "A0|90|90.00|A1|6|6.00|Others (under 5%)|4|4.00|A2|3|3.00|A3|1|1.00|Total|100", 3,
         "90.00|6.00|4.00/b", 3},
        {{80, 15, 5}, "A0|80|80.00|A1|15|15.00|A2|5|5.00|Total|100", 3, "80.00|15.00|5.00/b", 3},
        {{30, 20, 20, 15, 15}, "A0|30|30.00|A1|20|20.00|A2|20|20.00|A3|15|15.00|A4|15|15.00|Total|100", 5,
         "30.00|20.00|20.00|15.00/b|15.00/b", 5},
        {{0, 0}, "A0|0|0.00|A1|0|0.00|Total|0", 0, "", 2},
        // Long names take the room their figures leave.
        {{60, 40}, "Savings at the credit union 0|60|60.00|Savings at the credit union 1|40|40.00|Total|100", 2,
         "60.00|40.00", 2, "Savings at the credit union "},
        {{100, -20}, "A0|100|125.00|A1|-20|-25.00|Total|80", 1, "100.00", 2},
    };
    // clang-format on
    for (const Case &c : cases) {
        ChartBook book;
        std::vector<cv::NodePtr> accounts;
        for (double balance : c.balances)
            accounts.push_back(book.account(31, QString::fromUtf8(c.name) + QString::number(accounts.size()), balance));
        book.rebuild();
        cv::PageSetup setup = a4();
        cv::PieChart pie(setup);
        pie.setDocument(book.doc.get(), 0, cv::PieChart::kSorted, QStringLiteral("Pie"), accounts, QDate(2009, 1, 1),
                        QDate());
        EXPECT_EQ(setup.orientation, cv::PageSetup::Portrait);
        RecordingCanvas canvas;
        {
            // The page's own print mode ends inside the run's, not with it.
            cv::CurrencyPrintingScope run(*book.doc);
            pie.drawSheet(1, canvas);
            EXPECT_TRUE(book.doc->amountText().isCurrencyPrinting());
        }
        const QStringList legend = QString::fromUtf8(c.legend).split(QLatin1Char('|'));
        const QStringList texts = canvas.texts();
        const qsizetype first = texts.indexOf(QStringLiteral("Share"));
        ASSERT_GE(first, 0);
        EXPECT_EQ(texts.mid(first + 1, legend.size()), legend) << c.balances.front();
        EXPECT_EQ(canvas.calls(Op::FillPath).size(), c.wedges) << c.balances.front();
        if (legend.contains(QStringLiteral("Others (under 5%)")))
            EXPECT_EQ(canvas.calls(Op::FillPath).last().color, QColor(Qt::black));
        QStringList labels;
        const QList<RecordingCanvas::Call> drawn = canvas.calls(Op::Text);
        // The wedges' labels follow the legend's total.
        for (qsizetype t = texts.lastIndexOf(QStringLiteral("Total")) + 2; t < drawn.size(); ++t)
            labels << drawn[t].text + (drawn[t].color == QColor(Qt::white) ? QString() : QStringLiteral("/b"));
        EXPECT_EQ(labels.join(QLatin1Char('|')), QString::fromUtf8(c.labels)) << c.balances.front();
        const auto fills = canvas.calls(Op::FillRect);
        EXPECT_EQ(std::count_if(fills.begin(), fills.end(),
                                [](const RecordingCanvas::Call &f) {
                                    return qFuzzyCompare(f.rect.width(), 48) && qFuzzyCompare(f.rect.height(), 10);
                                }),
                  c.swatches)
            << c.balances.front();
        EXPECT_FALSE(book.doc->amountText().isCurrencyPrinting());
    }
}

TEST_F(ChartViewTest, PieSumsCategoriesOverTheRange)
{
    auto bank = m_book.account(31, QStringLiteral("Bank"), 0);
    auto food = m_book.category(false, QStringLiteral("Food"));
    auto fun = m_book.category(false, QStringLiteral("Fun"));
    for (int month = 1; month <= 4; ++month) m_book.expense(QDate(2009, month, 5), 10, food, bank);
    m_book.rebuild();
    struct Case {
        int option;
        QDate from, to;
        double food;
    };
    // Monthly from 31 Jan to 30 Apr is three months: January to March.
    for (const Case &c : {Case{cv::PieChart::kMonthly, QDate(2009, 1, 31), QDate(2009, 4, 30), 30},
                          Case{0, QDate(2009, 1, 1), QDate(2009, 1, 31), 10}}) {
        cv::PageSetup setup = a4();
        cv::PieChart pie(setup);
        pie.setDocument(m_book.doc.get(), 1, c.option, QString(), {food, fun}, c.from, c.to);
        ASSERT_EQ(pie.slices(0).size(), 2u);
        EXPECT_EQ(pie.slices(0)[0].value, c.food);
        EXPECT_EQ(pie.slices(0)[1].colorIndex, cv::Chart::kBlackIndex); // nothing spent
    }
}
