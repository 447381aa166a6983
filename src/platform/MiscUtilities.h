#pragma once
// Small shared services: today's date, the archive date integer, the
// operating-system level, the support folder, folder creation, quiet logging,
// and helpers over lists of shared records.

#include "platform/Localization.h"

#include <QDate>
#include <QString>
#include <QVariantList>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace cv {

class MiscUtilities {
public:
    // Today; a QDate carries no time of day, so it is today at midnight.
    static QDate startOfToday();
    // Archive date integer (year*12 + month - 1)*31 + day - 1, and back;
    // an impossible day answers an invalid date.
    static int dateToInt(const QDate &date);
    static QDate intToDate(int value);

    // Reports show amounts of a currency without fraction digits (or of no
    // currency) whole, others with cents. Any currency with fraction() and
    // any formatter with setFormat(QString) will do.
    template <class Currency, class Formatter>
    static void setReportFormat(const Currency *currency, Formatter &formatter)
    {
        const bool whole = !currency || currency->fraction() == 0;
        formatter.setFormat(cv::localizedString(whole ? QStringLiteral("Report-Format-Int")
                                                      : QStringLiteral("Report-Format-Fraction")));
    }

    // Every supported system is at the newest level.
    static int checkOSVersion() { return 7; }
    static bool isTiger() { return checkOSVersion() > 3; }
    static bool isLeopard() { return checkOSVersion() > 4; }
    static bool isLion() { return checkOSVersion() > 6; }
};

// The application's data folder, fixed at the first call for the whole run;
// with a component, that component inside it. The folder is not created here.
QString SupportPath(const QString &component = QString());
// Where earlier builds kept it (the organisation's and the program's name,
// one inside the other); empty when that is SupportPath itself.
QString PreviousSupportPath(const QString &component = QString());

// Creates the folder with every missing parent ("~" stands for the home
// folder). true when it exists as a folder afterwards; otherwise the user is
// warned and false answered.
bool CreateDirectoryRecursivelyAtPath(const QString &path);

// The formatted text and a line end on standard output.
void QuietLog(const QString &format, const QVariantList &args = {});

// -1, 0 or +1 by the records' dates; records are objects or pointers.
template <class R> int CompareByDate(const R &a, const R &b)
{
    const QDate da = [&] {
        if constexpr (requires { a->date(); })
            return a->date();
        else
            return a.date();
    }();
    const QDate db = [&] {
        if constexpr (requires { b->date(); })
            return b->date();
        else
            return b.date();
    }();
    return da < db ? -1 : (db < da ? 1 : 0);
}

// A number text without the zeros ending its fraction nor a point left at the
// end; a text with exactly two fraction digits, the first not "0", is kept.
QString stringWithoutTrailingZeroes(const QString &text);

// The first element whose value under the key (a member or any callable)
// equals the value; null when none.
template <class T, class Key, class V>
std::shared_ptr<T> objectWithValue(const std::vector<std::shared_ptr<T>> &list, const V &value, Key key)
{
    for (const auto &e : list) {
        if (e && std::invoke(key, *e) == value) return e;
    }
    return nullptr;
}

// true when every element's allStatus is set; an empty list gives true.
template <class T> bool andValuesForKey(const std::vector<std::shared_ptr<T>> &list)
{
    return std::all_of(list.begin(), list.end(), [](const auto &e) { return e && e->allStatus(); });
}

// Inserts before the first element the object compares ascending to
// (compare(object, element) == -1), else appends; a null object is ignored.
template <class T, class Compare>
void sortedInsert(std::vector<std::shared_ptr<T>> &list, std::shared_ptr<T> object, Compare compare)
{
    if (!object) return;
    auto at = std::find_if(list.begin(), list.end(), [&](const auto &e) { return e && compare(*object, *e) == -1; });
    list.insert(at, std::move(object));
}

template <class T> void sortedInsert(std::vector<std::shared_ptr<T>> &list, std::shared_ptr<T> object)
{
    sortedInsert(list, std::move(object), [](const T &a, const T &b) { return a.compare(b); });
}

} // namespace cv
