#pragma once
// One entry of the book: income, expense or a transfer between accounts.
// Stored one per database row; refers to accounts, categories and groupings
// by ident only.

#include "model/EditFlags.h"
#include "model/DomainEnums.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <memory>

namespace cv {

class Entry;
using EntryPtr = std::shared_ptr<Entry>;

class Entry {
public:
    int ident() const { return m_ident; }
    void setIdent(int ident) { m_ident = ident; }
    cv::EntryKind kind() const { return m_kind; }
    void setKind(cv::EntryKind kind) { m_kind = kind; }
    QDate date() const { return m_date; }
    void setDate(const QDate &date) { m_date = date; }
    int category() const { return m_category; }
    void setCategory(int category) { m_category = category; }
    // The source account of a transfer.
    int account() const { return m_account; }
    void setAccount(int account) { m_account = account; }
    int destination() const { return m_destination; }
    void setDestination(int destination) { m_destination = destination; }
    // Grouping ident, 0 = none.
    int group() const { return m_group; }
    void setGroup(int group) { m_group = group; }
    // In the account's currency.
    double amount() const { return m_amount; }
    void setAmount(double amount) { m_amount = amount; }
    // The amount arriving in the destination's currency; 0 = not given.
    double converted() const { return m_converted; }
    void setConverted(double converted) { m_converted = converted; }
    // Never none: an empty memo is kept as none and read back as "".
    QString memo() const { return m_memo.isNull() ? QStringLiteral("") : m_memo; }
    void setMemo(const QString &memo) { m_memo = memo.isEmpty() ? QString() : memo; }
    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }
    void toggleDeleted() { m_flags ^= cv::EditDeleted; }
    // Tick state of the statement import review; never stored.
    int checkFlags() const { return m_checkFlags; }
    void setCheckFlags(int flags) { m_checkFlags = flags; }

    // Fields by name ("kind", "date", "amount", ...). An unknown key answers
    // an invalid QVariant; a setter answers false for an unknown key or a
    // value of the wrong type and leaves the entry unchanged.
    QVariant valueForKey(const QString &key) const;
    bool setValueForKey(const QString &key, const QVariant &value);

    // Row order for inserting one row into a sorted list: new rows last, then
    // by date; on one date the receiver goes first when its amount is not 0.
    // Not a strict order (two non-zero amounts on a date both answer -1), so
    // sort whole lists with rowOrder instead.
    int compare(const Entry &other) const;
    // Strict weak order that agrees with compare where compare is consistent;
    // ties keep their input order under std::stable_sort. Null rows sort last.
    static bool rowOrder(const EntryPtr &a, const EntryPtr &b);
    template <class List> static void sortRows(List &rows)
    {
        std::stable_sort(rows.begin(), rows.end(), &Entry::rowOrder);
    }

    // Same object, or both stored with the same ident, kind and category.
    bool isEqual(const Entry *other) const;

    // Copies the contents and the ident, not the flags.
    void copyContents(const Entry &other);
    EntryPtr clone() const;

private:
    int m_ident = -1;
    cv::EntryKind m_kind = cv::EntryKind::Income;
    QDate m_date;
    int m_category = 0;
    int m_account = 0;
    int m_destination = 0;
    int m_group = 0;
    double m_amount = 0;
    double m_converted = 0;
    QString m_memo;
    int m_flags = 0;
    int m_checkFlags = 0;
};

} // namespace cv
