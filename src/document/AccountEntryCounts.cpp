#include "document/AccountEntryCounts.h"

namespace cv {

int AccountEntryCounts::count(int account, int week) const
{
    const auto it = m_accounts.find(account);
    if (it == m_accounts.end()) return 0;
    const Weeks &weeks = it->second;
    const long long index = (long long)week - weeks.first;
    return index >= 0 && index < (long long)weeks.counts.size() ? weeks.counts[size_t(index)] : 0;
}

void AccountEntryCounts::bump(int account, int week, int delta)
{
    if (!m_last || m_lastAccount != account) {
        m_last = &m_accounts[account];  // elements stay put when the map rehashes
        m_lastAccount = account;
    }
    Weeks &weeks = *m_last;
    if (weeks.counts.empty()) {
        weeks.first = week;
        weeks.counts.assign(1, 0);
    } else if (week < weeks.first) {
        weeks.counts.insert(weeks.counts.begin(), size_t(weeks.first - week), 0);
        weeks.first = week;
    } else if (week - weeks.first >= int(weeks.counts.size())) {
        weeks.counts.resize(size_t(week - weeks.first) + 1, 0);
    }
    weeks.counts[size_t(week - weeks.first)] += delta;
}

} // namespace cv
