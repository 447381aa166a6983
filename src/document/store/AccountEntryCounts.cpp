#include "document/store/AccountEntryCounts.h"

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
    constexpr int kSmall = 1 << 16;
    Weeks *found = nullptr;
    if (account >= 0 && account < kSmall) {
        if (size_t(account) >= m_small.size()) m_small.resize(size_t(account) + 1, nullptr);
        Weeks *&slot = m_small[size_t(account)];
        if (!slot) slot = &m_accounts[account];
        found = slot;
    } else {
        found = &m_accounts[account];
    }
    Weeks &weeks = *found;
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
