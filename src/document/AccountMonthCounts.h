#pragma once
// How many stored entries each account has in each calendar month, as
// "account=X OR destination=X" finds them: an account book lays out its rows
// from these and reads only the months on screen. Small: accounts x months.

#include <unordered_map>
#include <vector>

namespace cv {

class AccountMonthCounts {
public:
    // The month of a stored day number (days since 2001-01-01): year*12 + month - 1.
    static int monthOfDay(int day);

    void clear()
    {
        m_accounts.clear();
        m_last = nullptr;
    }
    // One stored row counted in (+1) or out (-1).
    void add(int day, int account, int destination, int delta)
    {
        const int month = monthOfDay(day);
        if (account != 0) bump(account, month, delta);
        if (destination != 0 && destination != account) bump(destination, month, delta);
    }
    int count(int account, int month) const;

private:
    struct Months {
        int first = 0;            // the month of counts[0]
        std::vector<int> counts;  // one a month from `first`
    };
    void bump(int account, int month, int delta);

    std::unordered_map<int, Months> m_accounts;
    int m_lastAccount = 0;
    Months *m_last = nullptr;  // the last account bumped: rows of one account come in runs
};

} // namespace cv
