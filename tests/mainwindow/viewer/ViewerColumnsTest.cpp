// The viewer's periods and column layout, without widgets.
#include "mainwindow/viewer/ViewerColumns.h"
#include "model/Settings.h"

#include <gtest/gtest.h>

namespace {

using cv::ViewerColumns;

struct PeriodCase {
    const char *name;
    int fmy, fdm, fwd, unit;
    QDate picked, top, blockFirst, blockLast, carry, second; // second: the second column's first day
};

TEST(ViewerColumnsTest, PeriodsFollowTheFiscalCalendar)
{
    const QDate none;
    // clang-format off
    const PeriodCase cases[] = {
        {"months from April", 3, 0, 0, 2, QDate(2009, 7, 15), QDate(2009, 7, 1), QDate(2009, 4, 1),
         QDate(2010, 3, 31), QDate(2009, 3, 31), QDate(2009, 8, 1)},
        {"quarters from April", 3, 0, 0, 3, QDate(2010, 2, 15), QDate(2010, 1, 1), QDate(2009, 4, 1),
         QDate(2010, 3, 31), QDate(2009, 3, 31), QDate(2010, 4, 1)},
        {"years from April", 3, 0, 0, 5, QDate(2010, 2, 15), QDate(2009, 4, 1), none, QDate(2109, 4, 1), none,
         QDate(2010, 4, 1)},
        {"days, month from the 25th", 0, 24, 0, 0, QDate(2009, 5, 10), QDate(2009, 5, 10), QDate(2009, 4, 25),
         QDate(2009, 5, 24), QDate(2009, 4, 24), QDate(2009, 5, 11)},
        {"months from the 25th", 0, 24, 0, 2, QDate(2009, 5, 10), QDate(2009, 4, 25), QDate(2009, 1, 25),
         QDate(2010, 1, 24), QDate(2009, 1, 24), QDate(2009, 5, 25)},
        {"weeks from Monday", 0, 0, 1, 1, QDate(2009, 6, 7), QDate(2009, 6, 1), QDate(2009, 6, 1),
         QDate(2009, 6, 30), QDate(2009, 5, 31), QDate(2009, 6, 2)},
    };
    // clang-format on
    for (const PeriodCase &c : cases) {
        SCOPED_TRACE(c.name);
        cv::Settings settings;
        settings.setFiscalMonthOfYear(c.fmy);
        settings.setFiscalDayOfMonth(c.fdm);
        settings.setFiscalWeekday(c.fwd);
        ViewerColumns columns;
        columns.setSettings(&settings);
        columns.setUnit(c.unit);
        columns.setTopDate(columns.snapped(c.picked, c.unit));
        EXPECT_EQ(columns.topDate(), c.top);
        EXPECT_EQ(columns.summaryTopDate(), c.blockFirst);
        EXPECT_EQ(columns.blockEndDate(), c.blockLast);
        EXPECT_EQ(columns.carryOverDate(), c.carry);
        EXPECT_EQ(columns.columnLastDate(ViewerColumns::kStartDataCells).addDays(1), c.second);
        EXPECT_EQ(columns.columnFirstDate(ViewerColumns::kStartDataCells + 1), c.second);
    }
}

TEST(ViewerColumnsTest, ColumnsSpanTheirPeriodsAndTheWeekEndsOnItsLastDay)
{
    cv::Settings settings;
    settings.setFiscalWeekday(1);
    ViewerColumns columns;
    columns.setSettings(&settings);
    columns.setUnit(2);
    columns.setTopDate(QDate(2009, 7, 1));
    for (int i = 0; i < 14; ++i) {
        const int column = ViewerColumns::kStartDataCells + i;
        EXPECT_EQ(columns.columnFirstDate(column), QDate(2009, 7, 1).addMonths(i));
        EXPECT_EQ(columns.columnLastDate(column), QDate(2009, 7, 1).addMonths(i + 1).addDays(-1));
    }
    columns.setUnit(1);
    columns.setTopDate(QDate(2009, 6, 1));
    EXPECT_EQ(columns.summaryTopWeekDate(), QDate(2009, 6, 1));
    EXPECT_EQ(columns.weekEndDate(), QDate(2009, 6, 7));
}

struct LayoutCase {
    const char *name;
    int unit;
    bool shortSummary;
    int width;
    int fixed, dataCells, startEnd;
    std::vector<std::pair<int, int>> widths; // column, width
    std::vector<const char *> accountTitles, categoryTitles;
};

TEST(ViewerColumnsTest, LayoutFillsTheWidthWithDataPartialAndSummaryColumns)
{
    // clang-format off
    const LayoutCase cases[] = {
        {"full, months", 2, false, 1000, 570, 6, 10,
         {{0, 150}, {3, 70}, {8, 70}, {9, 0}, {10, 100}, {11, 100}, {12, 60}, {13, 37}, {14, 13}},
         {"Remaining Column", "---", "---", "% Column"},
         {"Summary Column", "Budget Column", "Budget % Column", "% Column"}},
        // The seven days share what the summaries leave.
        {"short, weeks", 1, true, 1300, 470, 7, 11, {{3, 118}, {9, 118}, {10, 0}, {11, 100}, {12, 100}, {13, 4}},
         {"Weekend Column", "Weekly Remaining Column"}, {"Weekly Column", "Summary Column"}},
        {"too narrow", 2, true, 300, 370, 0, 3, {{3, 100}}, {"Remaining Column"}, {"Summary Column"}},
    };
    // clang-format on
    for (const LayoutCase &c : cases) {
        SCOPED_TRACE(c.name);
        ViewerColumns columns;
        columns.setUnit(c.unit);
        ViewerColumns::Metrics metrics;
        metrics.visibleWidth = c.width;
        metrics.cellWidth = 70;
        metrics.ratioWidth = 37.4;
        metrics.shortSummary = c.shortSummary;
        columns.layout(metrics);
        EXPECT_EQ(columns.fixedWidth(), c.fixed);
        EXPECT_EQ(columns.numDataCells(), c.dataCells);
        EXPECT_EQ(columns.startEndCells(), c.startEnd);
        for (const auto &[column, width] : c.widths) EXPECT_EQ(columns.accountWidth(column), width) << column;
        ASSERT_EQ(columns.summaryColumns().size(), c.accountTitles.size());
        for (size_t i = 0; i < c.accountTitles.size(); ++i) {
            EXPECT_STREQ(columns.summaryColumns()[i].accountKey, c.accountTitles[i]);
            EXPECT_STREQ(columns.summaryColumns()[i].categoryKey, c.categoryTitles[i]);
        }
    }
}

TEST(ViewerColumnsTest, AZeroStepNeverDividesByZero)
{
    ViewerColumns columns;
    ViewerColumns::Metrics metrics;
    metrics.visibleWidth = 900;
    metrics.cellWidth = 0;
    metrics.shortSummary = true;
    columns.layout(metrics);
    EXPECT_EQ(columns.numDataCells(), 530);
}

TEST(ViewerColumnsTest, CellsOpenTheirPeriodOrTheirBlock)
{
    cv::Settings settings;
    settings.setFiscalWeekday(1);
    ViewerColumns columns;
    columns.setSettings(&settings);
    columns.setUnit(2);
    columns.setTopDate(QDate(2009, 5, 1));
    ViewerColumns::Metrics metrics;
    metrics.visibleWidth = 1000;
    columns.layout(metrics);
    using Range = std::pair<QDate, QDate>;
    EXPECT_EQ(columns.cellRange(3, false), Range(QDate(2009, 5, 1), QDate(2009, 5, 31)));
    EXPECT_EQ(columns.cellRange(columns.startEndCells(), false), Range(QDate(2009, 1, 1), QDate(2009, 12, 31)));
    EXPECT_EQ(columns.cellRange(columns.startEndCells() + 1, true), Range()) << "budget opens nothing";
    EXPECT_EQ(columns.cellRange(columns.startEndCells() - 1, false), Range()) << "partial column";
    columns.setUnit(1);
    columns.setTopDate(QDate(2009, 6, 1));
    columns.layout(metrics);
    EXPECT_EQ(columns.cellRange(3, false), Range(QDate(2009, 6, 1), QDate(2009, 6, 1)));
    EXPECT_EQ(columns.cellRange(columns.startEndCells(), true), Range(QDate(2009, 6, 1), QDate(2009, 6, 7)));
}

} // namespace
