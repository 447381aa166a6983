#pragma once
// What one edit of the book changed, as the change signals carry it. An edit
// scope collects it from the write path and hands it out once, at its end.
// Idents are those of the records; a holding or cash part is named by its
// investment account, a security by its ident.

#include <QDate>
#include <QMetaType>

#include <set>

// How much of a tree a commit changed.
namespace cv {

enum class TreeChange {
    None,      // the tree was not committed
    Values,    // only values of existing nodes (names, records, balances)
    Structure, // nodes were added, removed or moved
};

struct ChangeSet {
    std::set<int> accounts;                     // accounts whose balances changed
    std::set<int> categories;                   // income, expense and transfer categories whose totals changed
    std::set<int> securities;                   // securities whose prices or holdings changed (0: several or all)
    std::set<int> currencies;                   // currencies whose rates changed (0: rates of several or all)
    std::set<int> entries;                      // entries written or removed (new ones by their new ident)
    std::set<int> trades;                       // trades written or removed
    TreeChange accountTree = TreeChange::None;  // the account tree: committed, and how
    TreeChange categoryTree = TreeChange::None; // the category tree: committed, and how
    bool currencyList = false;                  // the currency list was committed
    bool securityList = false;                  // the security list was committed
    bool settings = false;                      // the settings were committed (display options among them)
    bool fiscalStart = false;                   // the fiscal year's start changed: periods are cut anew
    QDate earliest;                             // the earliest date whose balances or totals changed; null when none
    // A failed edit was taken back and the book read again from its store: the
    // trees and lists may be new objects (find what you hold again by ident, or
    // close what showed it) and any figure may have changed. Nothing was stored.
    bool reload = false;

    void touchDate(const QDate &date)
    {
        if (date.isValid() && (!earliest.isValid() || date < earliest)) earliest = date;
    }
    // Keeps the larger of two tree changes.
    static TreeChange wider(TreeChange a, TreeChange b) { return int(a) > int(b) ? a : b; }
};

} // namespace cv

Q_DECLARE_METATYPE(cv::ChangeSet)
