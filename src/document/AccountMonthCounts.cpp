#include "document/AccountMonthCounts.h"

namespace cv {

// Days to civil date (proleptic Gregorian) without a QDate per row: the open
// counts every stored row. 2001-01-01 is day 11323 after 1970-01-01.
int AccountMonthCounts::monthOfDay(int day)
{
    const long long z = (long long)day + 11323 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return int(y * 12 + m - 1);
}

int AccountMonthCounts::count(int account, int month) const
{
    const auto it = m_accounts.find(account);
    if (it == m_accounts.end()) return 0;
    const Months &months = it->second;
    const long long index = (long long)month - months.first;
    return index >= 0 && index < (long long)months.counts.size() ? months.counts[size_t(index)] : 0;
}

void AccountMonthCounts::bump(int account, int month, int delta)
{
    if (!m_last || m_lastAccount != account) {
        m_last = &m_accounts[account];  // elements stay put when the map rehashes
        m_lastAccount = account;
    }
    Months &months = *m_last;
    if (months.counts.empty()) {
        months.first = month;
        months.counts.assign(1, 0);
    } else if (month < months.first) {
        months.counts.insert(months.counts.begin(), size_t(months.first - month), 0);
        months.first = month;
    } else if (month - months.first >= int(months.counts.size())) {
        months.counts.resize(size_t(month - months.first) + 1, 0);
    }
    months.counts[size_t(month - months.first)] += delta;
}

} // namespace cv
