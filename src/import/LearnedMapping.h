#pragma once
// The learned import mappings: info rows 102 to 106 of a book, each a keyed
// archive of one dictionary from a text (or, for 104, an array of three
// texts) to an integer: a category ident (> 0), minus the ident of a
// transfer partner account (< 0), or an account ident.
//
// A learned value is only a hint: the book may have changed since it was
// learned. checkedTarget and checkedAccount answer what a value may still
// be applied as, and nothing for a value that no longer fits (a category
// that became a folder takes no entries), so an income
// row never gets an expense category and no row points at a deleted item.

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <utility>

namespace cv {

class Book;

enum ImportMappingRecord {
    StatementMemoMapping = 102,    // memo -> category, or -partner (statement sheet)
    StatementAccountMapping = 103, // imported account id -> account (statement sheet)
    TextMapping = 104,             // [text, "palm" | "memo", "expense" | "income"] -> category or -partner
    MobileCategoryMapping = 105,   // category name of a mobile file -> category or -partner
    MobileAccountMapping = 106,    // account name of a mobile file -> account
};

class LearnedMapping {
public:
    // The record's dictionary; empty when the row is missing, unreadable or
    // holds no dictionary. Entries of other shapes are passed over.
    static LearnedMapping read(Book &document, int record);
    // Stores the dictionary as the record (marking the book changed); false
    // when the store refused it. Call inside the commit's edit scope.
    bool write(Book &document, int record) const;

    std::optional<int> value(const QString &key) const;
    std::optional<int> value(const QStringList &arrayKey) const;
    // Sets key -> value; answers whether that changed anything.
    bool learn(const QString &key, int value);
    bool learn(const QStringList &arrayKey, int value);

    bool isEmpty() const { return m_values.empty(); }
    int size() const { return int(m_values.size()); }
    bool operator==(const LearnedMapping &other) const = default;

private:
    using Key = std::pair<bool, QStringList>; // (an array key, its texts); a text key is one text
    std::map<Key, int> m_values;              // the dictionary, owned
};

// What a learned category-or-partner value may be applied as to a row of
// the direction given (outgoing: money leaves the statement account).
struct MappedTarget {
    int category = 0; // an income category (incoming) or expense category (outgoing)
    int partner = 0;  // a transfer partner that is still an account
    bool isNone() const { return category == 0 && partner == 0; }
};
MappedTarget checkedTarget(const Book &document, int value, bool outgoing);

// The account a learned account value names, or 0 when it is none now.
int checkedAccount(const Book &document, int value);

} // namespace cv
