#pragma once
// The application menu's enabling rules and check marks by tag, as pure
// functions of what the front window shows, so they can be checked without
// building windows.

#include "model/DomainEnums.h"

#include <QString>

namespace cv {

// The selected row of a viewer grid, as the account and category commands
// see it.
struct TreeSelection {
    enum Tree { None, Asset, Debt, AccountSummary, Transfer, Income, Expense, CategorySummary };
    bool selected = false;
    Tree tree = None; // the top-level tree it lies in; the system transfer rows count as CategorySummary
    NodeKind kind = NodeKind::SummaryRoot;
    int ident = 0;
    bool hasChildren = false;
    int parentKind = -1; // the stored number; -1: a top-level node
};

struct MenuContext {
    bool hasWindow = false; // a document window is front and its securities window is not key
    bool hasDocument = false;
    bool modalRunning = false;
    bool sheetShown = false;
    QString tabIdentifier; // of the shown page; "" for the temporary page
    int tabIndex = -1;
    bool calculatorVisible = false;
    bool calendarVisible = false;
    int transDefaultCurrency = 0;
    bool displayStockPrice = false;
    int viewerFontSize = 3;
    TreeSelection account;  // the account grid's selected row
    TreeSelection category; // the category grid's selected row
};

struct MenuItemState {
    bool enabled = true;
    bool checked = false;
    bool operator==(const MenuItemState &) const = default;
};

// Tags with no rule of their own answer enabled (the ordinary document commands).
MenuItemState menuItemState(int tag, const MenuContext &context);
// The account (29000-29208) and category (30011-30017) commands by the
// grid's selection alone; the commands ask this again before they act.
bool accountCommandAllowed(int tag, const TreeSelection &selection);
bool categoryCommandAllowed(int tag, const TreeSelection &selection);
// Whether the tag is one of the always-enabled items.
bool isAlwaysEnabledTag(int tag);

} // namespace cv
