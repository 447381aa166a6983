#pragma once
// The window's data and its command object, kept out of BookWindow.h
// so that the files that include the window do not recompile with every
// internal change. Included only by BookWindow*.cpp.

#include "controls/Tags.h"
#include "mainwindow/BookCommands.h"
#include "mainwindow/BookWindow.h"

#include <QAction>
#include <array>
#include "mainwindow/pages/TemporaryPage.h"
#include <QPointer>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTabBar>

namespace cv {

class SecuritiesWindow;
class DocumentToolbar;

struct BookWindow::Private {
    Private(BookWindow &window, Book *document, QStackedWidget *stack, cv::DocumentToolbar *toolbar,
            QProgressBar *busyIndicator)
        : q(window), m_document(document), m_stack(stack), m_switcher(stack, &window), m_toolbar(toolbar),
          m_busyIndicator(busyIndicator), m_commands(window)
    {
    }

    void buildPages();
    void connectBusyIndicator();
    void connectEditedMark();
    void restoreFrame();
    void storeFrame();
    cv::SecuritiesWindow *ensureSecuritiesWindow();
    // The book was read again after a failed edit: the open panel finds its
    // item again, or its page closes.
    void reloadPanel();

    static constexpr int kBatchTag = cv::tag::RepeatedEntry; // the panels' repeated entry command

    BookWindow &q;

    Book *m_document; // not owned; outlives the window
    CloseHandler m_closeHandler;
    const Preference *m_preference = nullptr; // not owned
    cv::EntryPanelMaker m_entryPanelMaker;
    QStackedWidget *m_stack; // child
    cv::PageSwitcher m_switcher;
    QPointer<cv::TemporaryPage> m_temporaryPage; // while an entry panel is open
    cv::DocumentToolbar *m_toolbar;              // child
    QAction *m_batchAction = nullptr;            // the toolbar's repeated entry item; owned by the toolbar
    QProgressBar *m_busyIndicator;               // child, in the status bar
    QTabBar *m_tabBar = nullptr;                 // child: one tab per page of the stack
    QWidget *m_docView = nullptr;                // the central widget the window was built with
    MenuBarMaker m_menuBarMaker;                 // none: the securities window has no menu bar
    int m_busyDepth = 0;
    int m_currentTabViewIndex = 0;
    int m_mainViewTabIndex = 0; // page shown when the temporary page came
    std::array<bool, kFlagCount> m_tabViewFlags{};
    QDate m_topDate;                                 // first day of the viewer
    QDate m_oldTopDate;                              // where a change of unit starts
    QDate m_reportDate;                              // date of the investment status
    QDate m_preBudgetDate;                           // the viewer's date while the budget page shows
    WizardRunner m_wizardRunner;                     // none: the wizard dialog
    QPointer<cv::SecuritiesWindow> m_securityWindow; // child window, made on first use
    cv::BookCommands m_commands;
};

} // namespace cv
