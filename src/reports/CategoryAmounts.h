#pragma once
// What the category reports sum: the income and expense entries of a period,
// in the default currency (an entry of a foreign-currency account at the
// rate of its date), kept to the chosen groupings. Without groupings the
// balance cache's daily sums give each category's; with them one query
// reads the period's entries. A node's amount is the sum over its categories.

#include <QDate>
#include <QHash>
#include <QList>

#include <optional>

namespace cv {

class Entry;
class ReadOnlyBook;
class Node;

// An entry's amount in the default currency. Remembers each account's
// currency, so a long list converts without a lookup per entry.
class EntryConverter {
public:
    explicit EntryConverter(const ReadOnlyBook &doc) : m_doc(doc) {}
    double defaultAmount(const Entry &entry);

private:
    const ReadOnlyBook &m_doc;
    QHash<int, int> m_currencyOfAccount; // account ident -> currency ident
};

// The money of a loan taken without a receiving account is filed under the
// unassigned loan category, which the book keeps out of its totals; the
// category reports leave it out too, so that every figure agrees.
bool staysOutOfTotals(const Node &category);

class CategoryAmounts {
public:
    // Reads the entries of the period carrying one of the groupings (none
    // given: every entry) whose category is one of the ticked categories of
    // the income and expense trees.
    // With `folders`, the entries filed on the folders shown (a category that
    // became a folder keeps them) are read too and count in their folders.
    CategoryAmounts(ReadOnlyBook &doc, const QDate &from, const QDate &to, const std::optional<QList<int>> &groups,
                    bool folders = false);

    // A category without children: its own entries, ticked or not. A node
    // with children: the entries of its ticked categories below (and, read
    // with folders, those of the shown folders from the node down).
    double amountOf(const Node &node) const;
    // The entries filed on the folder itself; 0 unless read with folders.
    double folderOwnAmount(const Node &folder) const;

    // The ticked categories below the node (not the node itself), in tree
    // order, descending through nodes that have children.
    static void tickedLeaves(const Node &node, QList<int> &out);
    // Every category and folder below the node, ticked or not.
    static void allBelow(const Node &node, QList<int> &out);

private:
    double folderOwnBelow(const Node &node) const;

    QHash<int, double> m_byCategory;
    QHash<int, double> m_folderOwn;
};

// The period's sum of the entries filed on the folder itself, from the
// balance cache: the folder's series less those of the children it adds up.
double folderOwnSum(const ReadOnlyBook &doc, const Node &folder, const QDate &from, int days);
// The same over whole months from the day.
double folderOwnSumMonths(const ReadOnlyBook &doc, const Node &folder, const QDate &from, int months);

} // namespace cv
