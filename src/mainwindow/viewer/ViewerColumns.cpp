#include "mainwindow/viewer/ViewerColumns.h"

#include "document/AmountText.h"
#include "model/Settings.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace cv {

namespace {
int floorMod(int a, int b)
{
    const int r = a % b;
    return r < 0 ? r + b : r;
}
// Sunday 0 .. Saturday 6.
int weekdayOf(const QDate &date)
{
    return date.dayOfWeek() % 7;
}
constexpr int kSummaryWidth = 100;
constexpr int kBudgetPercentWidth = 60;
} // namespace

int ViewerColumns::fiscalMonth() const
{
    return m_settings ? m_settings->fiscalMonthOfYear() : 0;
}

int ViewerColumns::fiscalDay() const
{
    return m_settings ? m_settings->fiscalDayOfMonth() : 0;
}

int ViewerColumns::fiscalWeekday() const
{
    return m_settings ? m_settings->fiscalWeekday() : 0;
}

QDate ViewerColumns::snapped(const QDate &date, int unit) const
{
    if (m_settings) return m_settings->fiscalDate(date, unit);
    Settings calendar;
    return calendar.fiscalDate(date, unit);
}

QString ViewerColumns::periodTitle(const QDate &date, int unit)
{
    const QLocale locale(isJapanese() ? QLocale::Japanese : QLocale::English);
    QString format = localizedString(periodFormatKey(std::clamp(unit - 1, 0, 4)));
    return formatDate(date,
                      format.replace(QLatin1String("%a"), locale.dayName(date.dayOfWeek(), QLocale::ShortFormat)));
}

std::pair<int, int> ViewerColumns::cellIncrement(int unit)
{
    switch (unit) {
    case 0:
    case 1: return {0, 1};
    case 2: return {1, 0};
    case 3: return {3, 0};
    case 4: return {6, 0};
    case 5: return {12, 0};
    default: return {0, 1};
    }
}

QDate ViewerColumns::columnFirstDate(int column) const
{
    const auto [months, days] = cellIncrement(m_unit);
    const int i = std::max(column - kStartDataCells, 0);
    return m_topDate.addMonths(i * months).addDays(qint64(i) * days);
}

QDate ViewerColumns::columnLastDate(int column) const
{
    const auto [months, days] = cellIncrement(m_unit);
    const int i = std::max(column - kStartDataCells, 0) + 1;
    return m_topDate.addMonths(i * months).addDays(qint64(i) * days - 1);
}

QDate ViewerColumns::summaryTopDate() const
{
    if (m_unit == 5 || !m_topDate.isValid()) return {};
    const int d = fiscalDay() - m_topDate.day() + 1;
    if (m_unit <= 1) return m_topDate.addMonths(d > 0 ? -1 : 0).addDays(d);
    const int m = fiscalMonth() - m_topDate.month() + 1;
    return m_topDate.addMonths((m > 0 ? -12 : 0) + m).addDays(d);
}

QDate ViewerColumns::summaryTopWeekDate() const
{
    return m_topDate.addDays(-floorMod(weekdayOf(m_topDate) - fiscalWeekday(), 7));
}

int ViewerColumns::blockMonths() const
{
    return m_unit <= 1 ? 1 : m_unit <= 4 ? 12 : 0;
}

QDate ViewerColumns::blockEndDate() const
{
    if (m_unit == 5) return m_topDate.addYears(100);
    return summaryTopDate().addMonths(blockMonths()).addDays(-1);
}

QDate ViewerColumns::weekEndDate() const
{
    // The last day of the week that holds the top date.
    return m_topDate.addDays(floorMod(fiscalWeekday() - weekdayOf(m_topDate) + 6, 7));
}

QDate ViewerColumns::carryOverDate(const QDate &initialDate) const
{
    if (m_unit == 5) return initialDate.isValid() ? initialDate.addDays(-1) : QDate();
    return summaryTopDate().addDays(-1);
}

int ViewerColumns::summaryPosition(int column) const
{
    if (column < m_startEndCells || column > m_lastAccountColumn) return -1;
    return column - m_startEndCells + (m_unit == 1 ? 0 : 1);
}

const ViewerColumns::SummaryColumn *ViewerColumns::summaryAt(int column) const
{
    if (column < m_startEndCells || column > m_lastAccountColumn) return nullptr;
    return &m_summary[size_t(column - m_startEndCells)];
}

std::pair<QDate, QDate> ViewerColumns::cellRange(int column, bool categoryGrid) const
{
    if (isDataColumn(column)) {
        const auto [months, days] = cellIncrement(m_unit);
        const QDate from = columnFirstDate(column);
        return {from, from.addMonths(months).addDays(days - 1)};
    }
    const int position = summaryPosition(column);
    if (position < 0) return {};
    const auto week = [this] { return std::pair(summaryTopWeekDate(), summaryTopWeekDate().addDays(6)); };
    const auto block = [this]() -> std::pair<QDate, QDate> {
        const QDate from = summaryTopDate();
        if (!from.isValid()) return {};
        return {from, from.addMonths(blockMonths()).addDays(-1)};
    };
    if (!categoryGrid) {
        if (m_unit == 5) return {};
        return position == 0 ? week() : block();
    }
    if (position == 0) return week();
    if (position == 1) return block();
    return {};
}

void ViewerColumns::layout(const Metrics &metrics)
{
    const int sp = metrics.spacing;
    const bool week = m_unit == 1;
    if (metrics.shortSummary)
        m_fixedWidth = week ? 5 * sp + 470 : 4 * sp + 370;
    else if (week)
        m_fixedWidth = 8 * sp + 680;
    else
        m_fixedWidth = 7 * sp + 530 + int(int(metrics.ratioWidth) * (metrics.largeHeaderFont ? 1.3 : 1.1));
    // Names are shown whole: a wider name column leaves less for the periods.
    m_nameWidth = std::max(metrics.nameWidth, int(kNameWidth));
    m_fixedWidth += m_nameWidth - kNameWidth;
    m_cellWidth = std::max(metrics.cellWidth, 0);
    const int available = metrics.visibleWidth - m_fixedWidth;
    // A slider at 0 with no spacing must not divide by zero.
    const int step = std::max(sp + m_cellWidth, 1);
    m_numDataCells = available < 0 ? 0 : available / step;
    if (week) m_numDataCells = std::min(m_numDataCells, 7);
    int rest = available - m_numDataCells * step;
    // A week has seven days at any width: they share the room the summaries
    // leave instead of an empty band beside them.
    if (week && m_numDataCells == 7 && rest >= 7) {
        m_cellWidth += rest / 7;
        rest %= 7;
    }
    m_startEndCells = kStartDataCells + m_numDataCells + (rest > 0 ? 1 : 0);
    m_partialWidth = 0;
    m_fillerColumn = -1;
    m_fillerWidth = 0;
    m_summary.clear();
    if (week) m_summary.push_back({WeekSummary, "Weekend Column", "Weekly Column", kSummaryWidth});
    m_summary.push_back(
        {BlockSummary, week ? "Weekly Remaining Column" : "Remaining Column", "Summary Column", kSummaryWidth});
    if (!metrics.shortSummary) {
        m_summary.push_back({BudgetSummary, "---", "Budget Column", kSummaryWidth});
        m_summary.push_back({BudgetPercentSummary, "---", "Budget % Column", kBudgetPercentWidth});
        m_summary.push_back({ShareSummary, "% Column", "% Column", int(metrics.ratioWidth)});
    }
    m_lastAccountColumn = m_startEndCells + int(m_summary.size()) - 1;
    // The partial column shows nothing and is kept at no width: whatever the
    // columns leave of the width lies after the summaries, so the grid
    // reaches the window's edge instead of ending in an empty band.
    int used = 0;
    for (int column = 0; column <= m_lastAccountColumn; ++column) used += accountWidth(column) + sp;
    if (metrics.visibleWidth > used) {
        m_fillerColumn = m_lastAccountColumn + 1;
        m_fillerWidth = metrics.visibleWidth - used;
    }
    m_accountColumnCount = m_lastAccountColumn + 1 + (m_fillerColumn > 0 ? 1 : 0);
}

int ViewerColumns::accountWidth(int column) const
{
    switch (column) {
    case 0: return m_nameWidth;
    case 1: return 20;
    case 2: return 100;
    default: break;
    }
    if (isDataColumn(column)) return m_cellWidth;
    if (column < m_startEndCells) return m_partialWidth;
    if (const SummaryColumn *summary = summaryAt(column)) return summary->width;
    if (column == m_fillerColumn) return m_fillerWidth;
    return 0;
}

int ViewerColumns::todayColumn(const QDate &today, const QDate &begin, const QDate &end) const
{
    if (m_topDate > today) return kStartDataCells - 1;
    for (int column = kStartDataCells; column < kStartDataCells + m_numDataCells; ++column) {
        const QDate d = columnFirstDate(column);
        if (d >= begin && d <= end) return column;
    }
    return kTodayNotShown;
}

int ViewerColumns::validateDataColumn(int column) const
{
    if (column < kStartDataCells) return kStartDataCells;
    if (column >= kStartDataCells + m_numDataCells) return kStartDataCells + std::max(m_numDataCells - 1, 0);
    return column;
}

} // namespace cv
