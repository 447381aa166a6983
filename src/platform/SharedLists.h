#pragma once
// Lookups, checks and ordered inserts over lists of shared records.

#include <QDate>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace cv {

// A record's date; records are objects or pointers.
template <class R> QDate recordDate(const R &r)
{
    if constexpr (requires { r->date(); })
        return r->date();
    else
        return r.date();
}

// -1, 0 or +1 by the records' dates.
template <class R> int CompareByDate(const R &a, const R &b)
{
    const QDate da = recordDate(a), db = recordDate(b);
    return da < db ? -1 : (db < da ? 1 : 0);
}

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
