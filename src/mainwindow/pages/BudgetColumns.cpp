#include "mainwindow/pages/BudgetColumns.h"

#include "model/Settings.h"

#include <algorithm>

namespace cv {

int BudgetColumns::monthsForUnit(int unit)
{
    switch (unit) {
    case 2: return 1;
    case 3: return 3;
    case 4: return 6;
    case 5: return 12;
    default: return 0;
    }
}

bool BudgetColumns::layout(const Metrics &metrics, bool sameWidthShortcut)
{
    const int group = metrics.spacing + metrics.percentWidth + 2 * metrics.cellWidth;
    const int nameWidth = std::max(metrics.nameWidth, int(kNameWidth));
    const int available = metrics.visibleWidth - (group + nameWidth) - 2 * metrics.spacing - metrics.scrollerWidth;
    if (sameWidthShortcut && available == m_lastBudgetWidth && metrics.cellWidth == m_cellWidth &&
        metrics.percentWidth == m_percentWidth && nameWidth == m_nameWidth)
        return false;
    m_nameWidth = nameWidth;
    m_lastBudgetWidth = available;
    m_cellWidth = metrics.cellWidth;
    m_percentWidth = metrics.percentWidth;
    const int groups = available >= 0 && group > 0 ? available / group : 0;
    m_numBudgetCells = 3 * groups;
    m_startEndBudgetCells = m_numBudgetCells + 1;
    m_fillerWidth = available - group * groups;
    if (m_fillerWidth > 0)
        ++m_startEndBudgetCells;
    else
        m_fillerWidth = 0;
    return true;
}

BudgetColumns::Kind BudgetColumns::kind(int column) const
{
    if (column == 0) return Kind::Name;
    if (column >= 1 && column <= m_numBudgetCells) {
        static constexpr Kind period[] = {Kind::Budget, Kind::Actual, Kind::Percent};
        return period[(column - 1) % 3];
    }
    if (column > m_numBudgetCells && column < m_startEndBudgetCells) return Kind::Filler;
    if (column >= m_startEndBudgetCells && column < m_startEndBudgetCells + 3) {
        static constexpr Kind summary[] = {Kind::SummaryBudget, Kind::SummaryActual, Kind::SummaryPercent};
        return summary[column - m_startEndBudgetCells];
    }
    return Kind::None;
}

int BudgetColumns::positionInGroup(int column) const
{
    switch (kind(column)) {
    case Kind::Budget:
    case Kind::SummaryBudget: return 0;
    case Kind::Actual:
    case Kind::SummaryActual: return 1;
    case Kind::Percent:
    case Kind::SummaryPercent: return 2;
    default: return -1;
    }
}

int BudgetColumns::width(int column) const
{
    switch (kind(column)) {
    case Kind::Name: return m_nameWidth;
    // The filler shows nothing: at no width the rest lies after the summary
    // instead of opening a hole before it.
    case Kind::Filler: return 0;
    case Kind::Percent:
    case Kind::SummaryPercent: return m_percentWidth;
    case Kind::None: return 0;
    default: return m_cellWidth;
    }
}

std::pair<QDate, int> BudgetColumns::dateForColumn(int column) const
{
    if (!m_topDate.isValid()) return {QDate(), 0};
    const int g = std::max(column - 1, 0) / 3;
    const int months = monthsForUnit(m_unit);
    int year = m_topDate.year();
    int month = m_topDate.month();
    if (m_unit == 5)
        year += g;
    else
        month += months * g;
    year += (month - 1) / 12;
    month = (month - 1) % 12 + 1;
    // The top date is a fiscal start (day 28 at most); a picked 31st still
    // gives every month a real day.
    const QDate first(year, month, 1);
    return {first.addDays(std::min(m_topDate.day(), first.daysInMonth()) - 1), months};
}

QDate BudgetColumns::summaryDate() const
{
    if (!m_settings) return QDate(m_topDate.year(), 1, 1);
    return m_settings->fiscalDate(m_topDate, 5);
}

bool BudgetColumns::isCurrentPeriod(const QDate &start, const QDate &today) const
{
    const int months = monthsForUnit(m_unit);
    return months > 0 && start <= today && start.addMonths(months) > today;
}

} // namespace cv
