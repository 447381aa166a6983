#pragma once
// The budget page's columns and periods, without widgets. Column 0 is the
// category name; then groups of three (budget, actual, %) for consecutive
// periods from the top date, an optional filler taking the width left over,
// and the summary group of the fiscal year that holds the top date.
//
//   unit 3 (quarters), top date 1 Apr 2009, width for two groups:
//   | name | Apr: B A % | Jul: B A % | filler | year: B A % |
//     0      1  2 3      4  5 6        7        8  9 10

#include <QDate>

#include <utility>

namespace cv {

class Settings;

class BudgetColumns {
public:
    static constexpr int kNameWidth = 150;

    enum class Kind { Name, Budget, Actual, Percent, Filler, SummaryBudget, SummaryActual, SummaryPercent, None };
    // What the layout depends on.
    struct Metrics {
        int visibleWidth = 0;  // the outline's width, scroller included
        int cellWidth = 80;    // a budget or actual column (the slider)
        int percentWidth = 60; // "1234.00%" in the grid's font
        int spacing = 0;       // between cells
        int scrollerWidth = 15;
        int nameWidth = kNameWidth; // what the names need, never less than kNameWidth
    };

    // The fiscal calendar (not owned; outlives this). Without one the fiscal
    // year is the calendar year.
    void setSettings(const Settings *settings) { m_settings = settings; }
    // 2 month, 3 quarter, 4 half year, 5 year; others have periods of 0 months.
    int unit() const { return m_unit; }
    void setUnit(int unit) { m_unit = unit; }
    const QDate &topDate() const { return m_topDate; }
    void setTopDate(const QDate &date) { m_topDate = date; }
    static int monthsForUnit(int unit);
    int months() const { return monthsForUnit(m_unit); }

    // ---- layout
    // Lays the columns out; with `sameWidthShortcut` an unchanged width does
    // nothing (false).
    bool layout(const Metrics &metrics, bool sameWidthShortcut = false);
    int numBudgetCells() const { return m_numBudgetCells; }
    int startEndBudgetCells() const { return m_startEndBudgetCells; }
    bool hasFiller() const { return m_startEndBudgetCells > m_numBudgetCells + 1; }
    int columnCount() const { return m_startEndBudgetCells + 3; }
    int width(int column) const;
    int lastBudgetWidth() const { return m_lastBudgetWidth; }

    Kind kind(int column) const;
    // 0 budget, 1 actual, 2 % within a period or the summary group; -1 elsewhere.
    int positionInGroup(int column) const;
    bool isPeriodBudgetColumn(int column) const { return kind(column) == Kind::Budget; }

    // ---- periods
    // First day and months of a period column's period.
    std::pair<QDate, int> dateForColumn(int column) const;
    // The start of the fiscal year holding the top date (the summary group's period).
    QDate summaryDate() const;
    // Whether the period starting at `start` holds today.
    bool isCurrentPeriod(const QDate &start, const QDate &today) const;

private:
    const Settings *m_settings = nullptr;
    int m_unit = 2;
    QDate m_topDate;
    int m_numBudgetCells = 0;
    int m_startEndBudgetCells = 1;
    int m_lastBudgetWidth = -1;
    int m_cellWidth = 80;
    int m_percentWidth = 60;
    int m_fillerWidth = 0;
    int m_nameWidth = kNameWidth;
};

} // namespace cv
