#include "print/BudgetPrint.h"
#include "print/CurrenciesPrint.h"
#include "print/ViewerPrint.h"
#include "print/SearchPrint.h"
#include "print/LoanSchedulePrint.h"
#include "model/Node.h"
#include "platform/Localization.h"
#include "platform/print/RecordingCanvas.h"

#include <gmock/gmock.h>

using cv::RecordingCanvas;
using Range = cv::PrintedPages::PageRange;
using Op = RecordingCanvas::Op;

namespace {

cv::PageSetup a4(int orientation, double margin = 18)
{
    cv::PageSetup setup;
    setup.paperName = QStringLiteral("A4");
    setup.orientation = orientation;
    setup.margins = QMarginsF(margin, margin, margin, margin);
    return setup;
}

std::vector<Range> paginate(const std::vector<cv::PrintedPagesParam> &rows, double usable)
{
    return cv::PrintedPages::paginate(
        int(rows.size()), [&](int i) -> const cv::PrintedPagesParam & { return rows[size_t(i)]; }, usable);
}

// Rows of the given heights; a negative height stands for a page break.
std::vector<cv::PrintedPagesParam> rowsOf(std::initializer_list<double> heights)
{
    std::vector<cv::PrintedPagesParam> rows;
    for (double h : heights) rows.emplace_back(h < 0 ? cv::PrintedPagesParam::PageBreak : 0, float(h < 0 ? 14 : h));
    return rows;
}

class PrintedPagesTest : public ::testing::Test {
protected:
    void SetUp() override { cv::setLanguageOverride(QStringLiteral("en")); }
    void TearDown() override { cv::setLanguageOverride(QString()); }
};

QList<RecordingCanvas::Call> textsIn(const RecordingCanvas &canvas, double top)
{
    QList<RecordingCanvas::Call> out;
    for (const auto &call : canvas.calls(Op::Text)) {
        if (qAbs(call.rect.y() - top) < 0.01) out.append(call);
    }
    return out;
}

} // namespace

TEST_F(PrintedPagesTest, PaginationSplitsAtFitAndAtBreaks)
{
    struct Case {
        const char *what;
        std::vector<cv::PrintedPagesParam> rows;
        double usable;
        std::vector<Range> pages;
    } cases[] = {
        {"exactly full", rowsOf({500, 17}), 517, {{0, 2}}},
        {"one point over", rowsOf({500, 18}), 517, {{0, 1}, {1, 2}}},
        {"empty", {}, 517, {{0, 0}}},
        {"break keeps the row before it", rowsOf({14, 14, -1, 14}), 517, {{0, 2}, {3, 4}}},
        {"break as last row", rowsOf({14, -1}), 517, {{0, 1}, {2, 2}}},
        {"first row too tall", rowsOf({600, 14}), 517, {{0, 0}, {0, 1}, {1, 2}}},
        {"break height not counted", rowsOf({500, -1, 517}), 517, {{0, 1}, {2, 3}}},
    };
    for (const Case &c : cases) EXPECT_EQ(paginate(c.rows, c.usable), c.pages) << c.what;
}

TEST_F(PrintedPagesTest, SheetsArePagesTimesSpread)
{
    cv::PageSetup setup = a4(cv::PageSetup::Portrait);
    cv::ViewerPrint twoAcross({}, {}, setup);
    cv::LoanSchedulePrint oneAcross({}, {}, setup);
    EXPECT_EQ(twoAcross.sheetCount(), 2);
    EXPECT_EQ(oneAcross.sheetCount(), 1);
    RecordingCanvas canvas;
    twoAcross.setToday(QStringLiteral("2026/12/07"));
    twoAcross.drawSheet(2, canvas);
    EXPECT_THAT(canvas.texts(), ::testing::Contains(QStringLiteral("2026/12/07    Page 2 of 2")));
}

TEST_F(PrintedPagesTest, ListViewFillsLandscapeSheetsAndCutsLongMemos)
{
    const QString memo = QStringLiteral("A memo far longer than its column of one hundred and sixty points");
    std::vector<cv::SearchPrintParam> rows{cv::SearchPrintParam(cv::PrintedPagesParam::Header, 0)};
    for (int i = 0; i < 100; ++i) rows.emplace_back(0, i);
    cv::PageSetup setup = a4(cv::PageSetup::Portrait);
    cv::SearchPrint view(
        [&](const cv::SearchPrintParam &row) {
            if (row.isHeader()) return cv::SearchPrint::headerTitles();
            return QStringList{QString::number(row.index()), "", "", "", "", "", "", memo};
        },
        rows, setup);
    EXPECT_EQ(setup.orientation, cv::PageSetup::Landscape) << "the view sets its orientation in the caller's setup";
    EXPECT_EQ(view.pageRanges(), (std::vector<Range>{{0, 36}, {36, 72}, {72, 101}}));
    ASSERT_EQ(view.sheetCount(), 3);

    view.setToday(QStringLiteral("2026/12/07"));
    const double rowsTop = 18 + 28;
    for (int sheet = 1; sheet <= 3; ++sheet) {
        RecordingCanvas canvas;
        view.drawSheet(sheet, canvas);
        const QStringList texts = canvas.texts();
        EXPECT_EQ(texts.at(0), QStringLiteral("2026/12/07    Page %1 of 3").arg(sheet));
        EXPECT_EQ(texts.at(1), QStringLiteral("Search Results"));
        const auto first = textsIn(canvas, rowsTop);
        ASSERT_FALSE(first.isEmpty());
        EXPECT_EQ(first.first().text, sheet == 1 ? QStringLiteral("Date") : QString::number(36 * (sheet - 1) - 1));
        if (sheet == 1) {
            const auto bands = canvas.calls(Op::FillRect);
            ASSERT_EQ(bands.size(), 1);
            EXPECT_EQ(bands.first().rect, QRectF(18, rowsTop, 842 - 36, 14));
            EXPECT_EQ(bands.first().color, QColor::fromRgbF(0.8, 0.8, 0.8));
            const auto row = textsIn(canvas, rowsTop + 14);
            ASSERT_EQ(row.size(), 2);
            EXPECT_TRUE(row.last().text.endsWith(QChar(0x2026))) << row.last().text.toStdString();
            EXPECT_LE(canvas.textWidth(row.last().text), 160);
        }
    }
}

TEST_F(PrintedPagesTest, LoanScheduleOnPortraitAndPageBreaks)
{
    std::vector<cv::LoanSchedulePrintParam> rows{cv::LoanSchedulePrintParam(cv::PrintedPagesParam::Header, 0)};
    for (int i = 0; i < 120; ++i) rows.emplace_back(0, i);
    cv::PageSetup setup = a4(cv::PageSetup::Portrait);
    cv::LoanSchedulePrint schedule({}, rows, setup);
    EXPECT_EQ(schedule.pageRanges(), (std::vector<Range>{{0, 54}, {54, 108}, {108, 121}}));

    // The row before a break is printed, and the break row itself is not.
    std::vector<cv::LoanSchedulePrintParam> broken{cv::LoanSchedulePrintParam(cv::PrintedPagesParam::Header, 0),
                                                   cv::LoanSchedulePrintParam(0, 1), cv::LoanSchedulePrintParam(0, 2)};
    cv::PrintedPagesParam::addPageTo(broken);
    broken.emplace_back(0, 3);
    cv::PrintedPagesParam::addLineTo(broken);
    cv::LoanSchedulePrint view(
        [](const cv::LoanSchedulePrintParam &row) { return QStringList{QString::number(row.index())}; }, broken, setup);
    ASSERT_EQ(view.sheetCount(), 2);
    RecordingCanvas first;
    view.drawSheet(1, first);
    EXPECT_THAT(first.texts(), ::testing::Contains(QStringLiteral("2")));
    RecordingCanvas second;
    view.drawSheet(2, second);
    EXPECT_THAT(second.texts(), ::testing::Contains(QStringLiteral("3")));
    // The rule runs from edge to edge of the sheet, centred in its 4 points.
    const auto fills = second.calls(Op::FillRect);
    ASSERT_FALSE(fills.isEmpty());
    EXPECT_EQ(fills.last().rect, QRectF(0, 18 + 28 + 14 + 1, 595, 2));
}

TEST_F(PrintedPagesTest, ViewerPrintsTwoSheetsAcrossPerPage)
{
    std::vector<cv::NodePtr> nodes;
    std::vector<cv::ViewerPrintParam> rows{cv::ViewerPrintParam(cv::PrintedPagesParam::Header, nullptr, 0)};
    for (int i = 0; i < 117; ++i) {
        auto node = std::make_shared<cv::Node>();
        node->setName(QStringLiteral("n%1").arg(i));
        nodes.push_back(node);
        rows.emplace_back(i % 3, node.get(), 0);
    }
    cv::PageSetup setup = a4(cv::PageSetup::Portrait);
    cv::ViewerPrint view(
        [](const cv::ViewerPrintParam &row) {
            QStringList cells;
            const QString name = row.ref() ? row.ref()->name() : QStringLiteral("h");
            for (int c = 0; c < 18; ++c) cells.append(name + QStringLiteral("c%1").arg(c));
            return cells;
        },
        rows, setup);
    ASSERT_EQ(view.pages(), 3);
    ASSERT_EQ(view.sheetCount(), 6);
    EXPECT_EQ(cv::ViewerPrint::column(16, 18).width, 35);

    const double rowsTop = 18 + 28;
    for (int sheet = 1; sheet <= 6; ++sheet) {
        RecordingCanvas canvas;
        view.setToday(QStringLiteral("today"));
        view.drawSheet(sheet, canvas);
        EXPECT_EQ(canvas.texts().at(0), QStringLiteral("today    Page %1 of 6").arg(sheet));
        const int firstRow = (sheet - 1) / 2 * 54;
        const QString name = firstRow == 0 ? QStringLiteral("h") : QStringLiteral("n%1").arg(firstRow - 1);
        const auto cells = textsIn(canvas, rowsTop);
        const bool left = sheet % 2 == 1;
        // The right sheet names its rows again, within the sheet's width.
        ASSERT_EQ(cells.size(), left ? 8 : 11) << sheet;
        EXPECT_EQ(cells.first().text, name + "c0");
        EXPECT_EQ(cells.at(1).text, name + (left ? "c1" : "c8"));
        EXPECT_EQ(cells.last().text, name + (left ? "c7" : "c17"));
        EXPECT_LE(cells.last().rect.right(), 595 - 18 + 0.01) << sheet;
        if (sheet == 1) {
            const auto levelOne = textsIn(canvas, rowsTop + 2 * 14);
            ASSERT_FALSE(levelOne.isEmpty());
            EXPECT_EQ(levelOne.first().text, QStringLiteral("n1c0"));
            EXPECT_EQ(levelOne.first().rect.x(), 18 + 10 + 2);
        }
    }
}

TEST_F(PrintedPagesTest, BudgetRowsStackThreeLinesAndCurrencyHasItsOwnHead)
{
    cv::PageSetup setup = a4(cv::PageSetup::Landscape);
    std::vector<cv::BudgetPrintParam> rows{cv::BudgetPrintParam(cv::PrintedPagesParam::Header, nullptr),
                                           cv::BudgetPrintParam(2, nullptr)};
    rows[0].setHeight(cv::BudgetPrintParam::kBudgetRowHeight);
    cv::BudgetPrint budget(
        [](const cv::BudgetPrintParam &row) {
            if (row.isHeader()) return QList<QStringList>{{"Name"}, {"Jan"}};
            return QList<QStringList>{{"Food"}, {"a", "b", "c"}};
        },
        rows, setup);
    RecordingCanvas canvas;
    budget.drawSheet(1, canvas);
    const double top = 18 + 28 + 42;
    const auto calls = canvas.calls(Op::Text);
    auto find = [&](const QString &text) {
        for (const auto &call : calls) {
            if (call.text == text) return call.rect;
        }
        return QRectF();
    };
    EXPECT_EQ(find("Food").topLeft(), QPointF(18 + 22, top + 14));
    EXPECT_EQ(find("a").y(), top);
    EXPECT_EQ(find("b").y(), top + 14);
    EXPECT_EQ(find("c").y(), top + 28);
    EXPECT_EQ(canvas.calls(Op::FillRect).last().rect, QRectF(18, top + 42, 842 - 36, 1));

    std::vector<cv::CurrenciesPrintParam> currencies{cv::CurrenciesPrintParam(cv::PrintedPagesParam::Header, 0),
                                                     cv::CurrenciesPrintParam(0, 0)};
    cv::PageSetup landscape = a4(cv::PageSetup::Landscape);
    cv::CurrenciesPrint list(
        [](const cv::CurrenciesPrintParam &) {
            return QStringList{"Yen", "", "", "", "1.00"};
        },
        currencies, landscape);
    EXPECT_EQ(landscape.orientation, cv::PageSetup::Portrait);
    list.setToday(QStringLiteral("D"));
    RecordingCanvas head;
    list.drawSheet(1, head);
    EXPECT_EQ(head.texts().mid(0, 2), (QStringList{"Currencies as of D", "Page 1 of 1"}));
    // A middle-aligned cell starts from the middle of its column.
    EXPECT_EQ(head.calls(Op::Text).last().rect.x(), 18 + 150 + 70 + 40 + 80 + 40);
}

TEST_F(PrintedPagesTest, WideAmountsShrinkToTheirColumnInsteadOfLosingDigits)
{
    auto node = std::make_shared<cv::Node>();
    node->setName(QStringLiteral("Assets"));
    std::vector<cv::ViewerPrintParam> rows{cv::ViewerPrintParam(0, node.get(), 0)};
    const QStringList amounts{QStringLiteral("1"), QStringLiteral("-180,623,456"), QStringLiteral("19,772,240")};
    cv::PageSetup setup = a4(cv::PageSetup::Portrait);
    cv::ViewerPrint view(
        [&](const cv::ViewerPrintParam &) {
            QStringList cells{QStringLiteral("Assets")};
            for (int c = 1; c < 18; ++c)
                cells.append(c == 16 ? QStringLiteral("1") : amounts[c % amounts.size()]); // 16: the narrow % column
            return cells;
        },
        rows, setup);
    RecordingCanvas canvas;
    view.drawSheet(1, canvas);
    const auto cells = textsIn(canvas, 18 + 28);
    ASSERT_GE(cells.size(), 4);
    for (int i = 1; i < cells.size(); ++i) {
        const auto &cell = cells[i];
        EXPECT_TRUE(amounts.contains(cell.text)) << "no digit is cut: " << cell.text.toStdString();
        if (cell.text.size() > 10) {
            EXPECT_LT(cell.font.size, cells.first().font.size) << "a wide amount is set smaller";
        }
    }
}
