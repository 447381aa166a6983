#pragma once
// How the viewer's grids get an entry panel for a node and a period. The
// panels come with their own part of the program, which installs a maker
// on the window; without one a cell that would open a panel opens nothing.
// A panel is a widget that answers, through its meta-object, apply(),
// didEnd(), returnCode(), and optionally tableView(), willMaximizeForView
// (QWidget*), handleToolbar(QString), validateMenuItem(int) and
// performInputValue(QString); its OK button calls closeMaximizedPanel() of
// the grid it was given.

#include <QDate>

#include <functional>
#include <memory>

class CV4Document;
class CVUnitModel;
class QWidget;
using CVUnitModelPtr = std::shared_ptr<CVUnitModel>;

namespace cv {

enum class EntryPanelKind {
    Trading,  // holdings and investment accounts
    Account,  // the other accounts
    Transfer, // transfer items
    Actual,   // income and expense categories
};

// None: nothing opens.
using EntryPanelMaker = std::function<QWidget *(CV4Document &document, const CVUnitModelPtr &node, const QDate &from,
                                                const QDate &to, EntryPanelKind kind)>;

} // namespace cv
