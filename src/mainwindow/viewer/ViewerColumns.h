#pragma once
// The viewer's columns and periods, without widgets: the unit and the top
// date, the dates of each data column, the summary block of the fiscal
// year, month or week that holds the top date, and the layout of the
// columns for a visible width. Column numbers are those of the account
// grid; the category grid has no carry-over column, so its columns from the
// data cells on are one lower and its identifiers skip 2.

#include <QDate>
#include <QString>

#include <utility>
#include <vector>

namespace cv {

class Settings;

class ViewerColumns {
public:
    static constexpr int kStartDataCells = 3;
    static constexpr int kTodayNotShown = 1000;

    enum Summary { WeekSummary, BlockSummary, BudgetSummary, BudgetPercentSummary, ShareSummary };
    struct SummaryColumn {
        Summary kind;
        const char *accountKey;
        const char *categoryKey;
        int width;
    };
    // What the layout depends on besides the unit.
    struct Metrics {
        int visibleWidth = 0;
        int spacing = 0;
        int cellWidth = 70;
        double ratioWidth = 0;        // the width of "100.00" in the header font, times 1.1
        bool largeHeaderFont = false; // 17 points or more
        bool shortSummary = false;
        int nameWidth = kNameWidth; // what the names need, never less than kNameWidth
    };
    static constexpr int kNameWidth = 150;

    // ---- periods
    // The fiscal calendar (not owned; outlives this). Without one, calendar
    // months and weeks from Sunday.
    void setSettings(const Settings *settings) { m_settings = settings; }
    int unit() const { return m_unit; }
    void setUnit(int unit) { m_unit = unit; }
    const QDate &topDate() const { return m_topDate; }
    void setTopDate(const QDate &date) { m_topDate = date; }
    // The fiscal start of the unit's period that holds the date.
    QDate snapped(const QDate &date, int unit) const;

    // The header of a data column starting on the date in the unit, weekday
    // names in the reader's language.
    static QString periodTitle(const QDate &date, int unit);
    // Months and days one data column spans.
    static std::pair<int, int> cellIncrement(int unit);
    // First and last day of the data column at the account-grid index.
    QDate columnFirstDate(int column) const;
    QDate columnLastDate(int column) const;
    // The first day of the fiscal year (units 2-4) or month (0, 1) holding
    // the top date; none in unit 5.
    QDate summaryTopDate() const;
    QDate summaryTopWeekDate() const;
    int blockMonths() const;
    QDate blockEndDate() const;
    QDate weekEndDate() const;
    // The carry-over date: the day before the block; in unit 5 the day
    // before the account's first day (`initialDate`).
    QDate carryOverDate(const QDate &initialDate = QDate()) const;
    // The summary position of an account-grid column: 0 the week column
    // (unit 1), 1 the block, 2 budget, 3 budget %, 4 share.
    int summaryPosition(int column) const;
    // The inclusive days a cell opens; invalid dates when it opens nothing.
    std::pair<QDate, QDate> cellRange(int column, bool categoryGrid) const;

    // ---- layout
    void layout(const Metrics &metrics);
    int fixedWidth() const { return m_fixedWidth; }
    int numDataCells() const { return m_numDataCells; }
    int startEndCells() const { return m_startEndCells; }
    bool hasPartialColumn() const { return m_startEndCells > kStartDataCells + m_numDataCells; }
    int lastAccountColumn() const { return m_lastAccountColumn; }
    // Every column the account grid shows, the filler included.
    int accountColumnCount() const { return m_accountColumnCount; }
    int categoryColumnCount() const { return m_accountColumnCount - 1; }
    int accountWidth(int column) const;
    const std::vector<SummaryColumn> &summaryColumns() const { return m_summary; }
    // The summary column at an account-grid index; null outside them.
    const SummaryColumn *summaryAt(int column) const;
    bool isDataColumn(int column) const
    {
        return column >= kStartDataCells && column < kStartDataCells + m_numDataCells;
    }
    // An account-grid index for a category-grid one, and back.
    static int accountColumnOf(int categoryColumn) { return categoryColumn < 2 ? categoryColumn : categoryColumn + 1; }
    static int categoryColumnOf(int accountColumn) { return accountColumn < 2 ? accountColumn : accountColumn - 1; }
    // The data column showing the period that holds `begin` (the first day
    // of today's period); the carry-over column when the top date is later,
    // kTodayNotShown when not shown.
    int todayColumn(const QDate &today, const QDate &begin, const QDate &end) const;
    int validateDataColumn(int column) const;

private:
    int fiscalMonth() const;
    int fiscalDay() const;
    int fiscalWeekday() const;

    int m_unit = 2;
    QDate m_topDate;
    const Settings *m_settings = nullptr;
    int m_fixedWidth = 0;
    int m_cellWidth = 70;
    int m_nameWidth = kNameWidth;
    int m_numDataCells = 0;
    int m_startEndCells = kStartDataCells;
    int m_partialWidth = 0;
    int m_fillerColumn = -1;
    int m_fillerWidth = 0;
    int m_lastAccountColumn = kStartDataCells;
    int m_accountColumnCount = kStartDataCells;
    std::vector<SummaryColumn> m_summary;
};

} // namespace cv
