#pragma once
// How many stored entries each account has in each week, as "account=X OR
// destination=X" finds them: an account book lays out its rows from these and
// reads only the weeks on screen. Small: accounts x weeks.

#include <unordered_map>
#include <vector>

namespace cv {

class AccountEntryCounts {
public:
    AccountEntryCounts() = default;
    // Moved, never copied: m_small points into the map's nodes.
    AccountEntryCounts(const AccountEntryCounts &) = delete;
    AccountEntryCounts &operator=(const AccountEntryCounts &) = delete;
    AccountEntryCounts(AccountEntryCounts &&) = default;
    AccountEntryCounts &operator=(AccountEntryCounts &&) = default;

    // The week of a stored day number (days since Monday 2001-01-01): weeks
    // run Monday to Sunday, week 0 from that day.
    static int weekOfDay(int day) { return day >= 0 ? day / 7 : -((6 - day) / 7); }

    // One stored row counted in (+1) or out (-1).
    void add(int day, int account, int destination, int delta)
    {
        // Days no date can name (a damaged file's) stay out: no period holds them.
        if (day < kFirstDay || day > kLastDay) return;
        const int week = weekOfDay(day);
        if (account != 0) bump(account, week, delta);
        if (destination != 0 && destination != account) bump(destination, week, delta);
    }
    int count(int account, int week) const;

private:
    static constexpr int kFirstDay = -730485; // 0001-01-01
    static constexpr int kLastDay = 2921573;  // 9999-12-31
    struct Weeks {
        int first = 0;           // the week of counts[0]
        std::vector<int> counts; // one a week from `first`
    };
    void bump(int account, int week, int delta);

    std::unordered_map<int, Weeks> m_accounts; // elements stay put when the map rehashes
    std::vector<Weeks *> m_small;              // the usual idents found without hashing: the open counts every row
};

} // namespace cv
