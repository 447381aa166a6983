// The fiscal settings command: the sheet's change is stored and reaches the
// viewer's or budget page's period, shown at once or hidden at its next entry. A grouping the
// book lost leaves the rows of an open entry panel.
#include "mainwindow/MainWindowTestSupport.h"

#include "mainwindow/pages/BudgetPage.h"
#include "document/BookTestAccess.h"
#include "mainwindow/viewer/ViewerColumns.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "model/Settings.h"
#include "model/Entry.h"
#include "panels/entry/IncomeExpensePanel.h"
#include "panels/sheets/SettingsDialog.h"

#include <QComboBox>
#include <QPointer>
#include <QTest>

TEST_F(DelegateTest, FiscalSettingsReachTheShownViewerAndAHiddenOneOnItsReturn)
{
    cv::Book *document = delegate->newDocument();
    cv::BookWindow *w = window();
    ASSERT_NE(w, nullptr);
    w->resize(1000, 600);
    w->show();
    cv::ViewerPage *viewer = w->viewerPage();
    ASSERT_NE(viewer, nullptr);
    viewer->updatePeriod(2);
    w->performInputDate(QDate(2009, 5, 10));
    ASSERT_EQ(w->topDate(), QDate(2009, 5, 1));

    // The sheet as the user leaves it; the pages hear the change from the document.
    auto fiscalStart = [&](QComboBox *(cv::SettingsDialog::*button)() const, int index) {
        delegate->validateMenus();
        QAction *settings = delegate->actionNamed(QStringLiteral("settings"));
        ASSERT_TRUE(settings->isEnabled());
        settings->trigger();
        QPointer<cv::SettingsDialog> sheet = w->findChild<cv::SettingsDialog *>();
        ASSERT_NE(sheet, nullptr);
        (sheet->*button)()->setCurrentIndex(index);
        sheet->okPushed();
        QCoreApplication::processEvents();
        // The sheet goes with the next turns.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    fiscalStart(&cv::SettingsDialog::dayButton, 24); // the 25th
    EXPECT_EQ(document->settings()->fiscalDayOfMonth(), 24);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(w->topDate(), QDate(2009, 4, 25));
    EXPECT_EQ(viewer->columns().columnFirstDate(cv::ViewerColumns::kStartDataCells), QDate(2009, 4, 25));

    // Changed while the search page shows: the viewer snaps its first day
    // when it is back.
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    fiscalStart(&cv::SettingsDialog::dayButton, 0);
    w->selectTabWithIdentifier(QStringLiteral("TB01"));
    EXPECT_EQ(w->topDate(), QDate(2009, 4, 1));
    EXPECT_EQ(viewer->columns().columnFirstDate(cv::ViewerColumns::kStartDataCells), QDate(2009, 4, 1));

    // The budget page shown in years: the fiscal year from April that holds
    // the first day.
    w->selectTab(cv::BookWindow::BudgetIndex);
    auto *budget = qobject_cast<cv::BudgetPage *>(w->page(cv::BookWindow::BudgetIndex));
    ASSERT_NE(budget, nullptr);
    budget->updateBudgetPeriod(5);
    ASSERT_EQ(budget->topDate(), QDate(2009, 1, 1));
    fiscalStart(&cv::SettingsDialog::monthButton, 3);
    EXPECT_EQ(budget->topDate(), QDate(2008, 4, 1));
    EXPECT_EQ(budget->columns().dateForColumn(1).first, QDate(2008, 4, 1));
}

TEST_F(DelegateTest, ADeletedGroupingLeavesTheRowsOfTheOpenEntryPanel)
{
    cv::Book *document = delegate->newDocument();
    cv::BookWindow *w = window();
    ASSERT_NE(w, nullptr);
    const cv::NodePtr category =
        cv::BookTestAccess::findFirstItem(document->categoryTrees()->expense(), cv::NodeKind::Category);
    const cv::NodePtr account = document->findAccountOfKind(cv::NodeKind::Cash);
    ASSERT_TRUE(category && account);
    auto grouping = std::make_shared<cv::Grouping>();
    grouping->setName(QStringLiteral("Trip"));
    document->addGrouping(grouping);
    auto entry = std::make_shared<cv::Entry>();
    entry->setKind(cv::EntryKind::Expense);
    entry->setDate(QDate(2009, 5, 10));
    entry->setAmount(800);
    entry->setCategory(category->ident());
    entry->setAccount(account->ident());
    entry->setGroup(grouping->ident());
    document->updateExpense(entry, nullptr);

    auto *panel = new cv::IncomeExpensePanel(document, category, QDate(2009, 5, 1), QDate(2009, 5, 31));
    w->addTemporaryTab(panel);
    ASSERT_GE(panel->numberOfRows(panel->tableView()), 1);
    ASSERT_EQ(panel->entryAt(0)->group(), grouping->ident());
    document->postGroupDeleted(grouping->ident() + 1); // another grouping
    EXPECT_EQ(panel->entryAt(0)->group(), grouping->ident());
    document->postGroupDeleted(grouping->ident());
    EXPECT_EQ(panel->entryAt(0)->group(), 0);
    w->removeTemporaryTab();
}
