#pragma once
// The key rule shared by ExtendedOutlineView and IncomeExpenseTableView:
// Esc gives the focus back to the list's parent (editing ends), Return edits
// the title column of the selected row, Up and Down move the selection and
// keep editing the same column. No other key has an effect.

#include <QModelIndex>

class QAbstractItemView;
class QKeyEvent;

namespace cv {

// Whether the view, or anything below it, has the focus.
bool isFirstResponder(const QAbstractItemView *view);
// What the list knows that its base class keeps to itself.
struct ListPosition {
    QModelIndex above; // the row above the current one, or invalid
    QModelIndex below;
    bool editing = false;
};

// Handles one key press for the list; every key is used up.
void handleExtendedListKey(QAbstractItemView *view, QKeyEvent *event, int titleColumn, const ListPosition &position);

} // namespace cv
