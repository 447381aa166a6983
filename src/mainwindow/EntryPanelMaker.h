#pragma once
// How the viewer's grids get an entry panel for a node and a period. The
// panels come with their own part of the program, which installs a maker
// through the application delegate; without one a cell that would open a
// panel opens nothing. A panel is a widget that is a cv::HostedPanel; the
// maker connects its OK to the grid's closeMaximizedPanel() and its note of
// written rows to the window's clearSearchList().

#include <QDate>

#include <functional>
#include <memory>

class QWidget;

namespace cv {

class ViewerGrid;
class Book;
class Node;
using NodePtr = std::shared_ptr<Node>;

enum class EntryPanelKind {
    Trading,       // holdings and investment accounts
    Account,       // the other accounts
    Transfer,      // transfer items
    IncomeExpense, // income and expense categories
};

// None: nothing opens.
using EntryPanelMaker = std::function<QWidget *(ViewerGrid &grid, Book &document, const NodePtr &node,
                                                const QDate &from, const QDate &to, EntryPanelKind kind)>;

} // namespace cv
