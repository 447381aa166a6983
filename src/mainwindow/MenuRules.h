#pragma once
// The application menu's enabling rules and check marks by tag, as pure
// functions of what the front window shows, so they can be checked without
// building windows.

#include <QString>

namespace cv {

struct MenuContext {
    bool hasWindow = false;         // a document window is front and its securities window is not key
    bool hasDocument = false;
    bool modalRunning = false;
    bool sheetShown = false;
    QString tabIdentifier;          // of the shown page; "" for the temporary page
    int tabIndex = -1;
    bool calculatorVisible = false;
    bool calendarVisible = false;
    int transDefaultCurrency = 0;
    bool displayStockPrice = false;
    int viewerFontSize = 3;
};

struct MenuItemState {
    bool enabled = true;
    bool checked = false;
    bool operator==(const MenuItemState &) const = default;
};

// Tags with no rule of their own answer enabled (the ordinary document commands).
MenuItemState menuItemState(int tag, const MenuContext &context);
// Whether the tag is one of the always-enabled items.
bool isAlwaysEnabledTag(int tag);

} // namespace cv
