#pragma once
// Page objects of the document window: the viewer's cells (read, clicked,
// double-clicked into their entry panel) and the menu and toolbar commands.

#include "support/EntryPage.h"

#include "mainwindow/viewer/AccountGrid.h"
#include "mainwindow/viewer/CategoryGrid.h"
#include "mainwindow/viewer/ViewerGrid.h"
#include "mainwindow/Application.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/DocumentToolbar.h"
#include "mainwindow/SecuritiesWindow.h"
#include "mainwindow/viewer/ViewerColumns.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "model/AccountTrees.h"

#include <QAction>
#include <QPushButton>
#include <QTableView>

#include <functional>

namespace cvtest::page {

// The viewer page of a window: its grids' cells as shown, and the entry
// panel a double click on a cell opens.
class Viewer {
public:
    explicit Viewer(cv::ViewerPage *viewer) : m_viewer(viewer) {}

    // The grid (accounts or categories) whose top rows hold the node's tree.
    cv::ViewerGrid *gridOf(const cv::Node *node) const
    {
        const cv::Node *top = node;
        while (top && top->parent()) top = top->parent();
        for (cv::ViewerGrid *grid : {static_cast<cv::ViewerGrid *>(m_viewer->accountView()),
                                     static_cast<cv::ViewerGrid *>(m_viewer->categoryView())}) {
            if (grid->viewerModel() && grid->viewerModel()->indexOfNode(top).isValid()) return grid;
        }
        return nullptr;
    }
    QModelIndex indexOf(const cv::Node *node, int column) const
    {
        cv::ViewerGrid *grid = gridOf(node);
        return grid ? grid->viewerModel()->indexOfNode(node, column) : QModelIndex();
    }
    // The text of the node's first data column (the period the viewer starts at).
    QString cell(const cv::Node *node, int dataColumn = 0) const
    {
        return indexOf(node, cv::ViewerColumns::kStartDataCells + dataColumn).data().toString();
    }
    // Opens the node's folders and clicks its name, which selects its row for
    // the commands; false when the grid shows no such row or the click selected another.
    bool click(const cv::Node *node) const
    {
        cv::ViewerGrid *grid = gridOf(node);
        if (!grid) return false;
        for (const cv::Node *up = node->parent(); up; up = up->parent())
            grid->expand(grid->viewerModel()->indexOfNode(up));
        const QModelIndex name = grid->viewerModel()->indexOfNode(node, 0);
        grid->scrollTo(name);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(name).center());
        return grid->currentIndex().siblingAtColumn(0) == name;
    }
    // Double-clicks the node's cell and answers the entry panel it opened.
    Entries open(const cv::Node *node, int column = cv::ViewerColumns::kStartDataCells) const
    {
        cv::ViewerGrid *grid = gridOf(node);
        if (!grid) return Entries(nullptr);
        const QModelIndex cell = grid->viewerModel()->indexOfNode(node, column);
        grid->scrollTo(cell);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
        QApplication::processEvents(); // the new row's deferred edit
        return Entries(qobject_cast<cv::RowPanel *>(grid->panel()));
    }
    // Every cell both grids show, one row a line, folded rows included.
    std::string texts() const
    {
        QStringList out;
        std::function<void(const QAbstractItemModel *, const QModelIndex &)> walk = [&](const QAbstractItemModel *m,
                                                                                        const QModelIndex &parent) {
            for (int row = 0; row < m->rowCount(parent); ++row) {
                QStringList cells;
                for (int column = 0; column < m->columnCount(parent); ++column)
                    cells << m->index(row, column, parent).data().toString();
                out << cells.join(u'|');
                walk(m, m->index(row, 0, parent));
            }
        };
        walk(m_viewer->accountModel(), {});
        walk(m_viewer->categoryModel(), {});
        return out.join(u'\n').toStdString();
    }

private:
    cv::ViewerPage *m_viewer;
};

// The securities window, key, as View > Securities Window leaves it.
class Securities {
public:
    Securities(cv::Application &delegate, cv::SecuritiesWindow *window) : m_delegate(delegate), m_window(window) {}
    cv::SecuritiesWindow *operator->() const { return m_window; }

    // Clicks the row's name; false when that did not select it.
    bool click(int row) const
    {
        QTableView *table = m_window->securityView();
        const QRect name = table->visualRect(table->model()->index(row, cv::SecuritiesWindow::NameColumn));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, name.center());
        return m_window->selectedRow() == row;
    }
    void press(Qt::Key key) const { QTest::keyClick(m_window->securityView(), key); }
    // Clicks the button titled with the key's text ("Brand-Delete", ...).
    void clickButton(const char *titleKey) const
    {
        for (QPushButton *button : m_window->findChildren<QPushButton *>())
            if (button->text() == cv::localizedString(titleKey)) QTest::mouseClick(button, Qt::LeftButton);
    }
    // Chooses the Edit menu's item ("del", "copy", "selectAll") while the window is key; false when it
    // shows disabled.
    bool menu(const char *name = "del") const
    {
        m_delegate.validateMenus();
        QAction *item = m_delegate.actionNamed(QString::fromLatin1(name));
        const bool enabled = item->isEnabled();
        if (enabled) item->trigger();
        return enabled;
    }

private:
    cv::Application &m_delegate;
    cv::SecuritiesWindow *m_window;
};

// A document window and the application menu.
class Window {
public:
    Window(cv::Application &delegate, cv::BookWindow *window) : m_delegate(delegate), m_window(window) {}
    cv::BookWindow *operator->() const { return m_window; }
    Viewer viewer() const { return Viewer(m_window->viewerPage()); }

    // Whether the menu shows the command enabled, validated as when the menu opens.
    bool enabled(int tag) const
    {
        m_delegate.validateMenus();
        const QAction *action = m_delegate.actionForTag(tag);
        return action && action->isEnabled();
    }
    // Chooses the command in the menu (nothing when the menu shows it disabled).
    void command(int tag) const
    {
        if (!enabled(tag)) return;
        m_delegate.actionForTag(tag)->trigger();
        QApplication::processEvents();
    }
    // Opens the securities window from the View menu and makes it the key window.
    Securities securities() const
    {
        m_delegate.validateMenus();
        m_delegate.actionForTag(cv::tag::ViewSecurities)->trigger();
        QApplication::setActiveWindow(m_window->securityWindow());
        return Securities(m_delegate, m_window->securityWindow());
    }
    // Clicks the toolbar item of a page ("TB01" viewer ... "TB06" investments).
    void showPage(const char *identifier) const
    {
        QAction *action = m_window->toolbar()->actionFor(QLatin1String(identifier));
        QTest::mouseClick(m_window->toolbar()->widgetForAction(action), Qt::LeftButton);
    }

private:
    cv::Application &m_delegate;
    cv::BookWindow *m_window;
};

// Shows the window on a month of the monthly viewer and waits out the
// grids' deferred layout; the book's first bank, none without one.
inline cv::NodePtr showOnMonth(cv::BookWindow *w, const QDate &month, int height)
{
    w->resize(1200, height);
    w->show();
    w->viewerPage()->updatePeriod(2);
    w->performInputDate(month);
    QTest::qWait(cv::ViewerPage::kResizeDelayMs + 50);
    for (const cv::NodePtr &n : w->document()->accountTrees()->asset()->children())
        if (n->kind() == cv::NodeKind::Bank) return n;
    return nullptr;
}

} // namespace cvtest::page
