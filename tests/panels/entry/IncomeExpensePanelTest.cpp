// The income and expense panel: its total in the default currency, its
// defaults, moves between currencies, and what its commit writes.
#include "panels/PanelTestSupport.h"
#include "support/EntryPage.h"

#include "model/EditFlags.h"
#include "model/DatedPrice.h"
#include "panels/entry/IncomeExpensePanel.h"

#include <QLabel>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

class IncomeExpensePanelTest : public BookTest {
protected:
    std::unique_ptr<cv::IncomeExpensePanel> open(int category, const QDate &from, const QDate &to)
    {
        return openCategory(*doc, category, from, to);
    }
};

TEST_F(IncomeExpensePanelTest, TheTotalConvertsAtEachRowsDateAndFollowsDeletion)
{
    ASSERT_TRUE(samplebook::putRate(*doc, 2, QDate(2009, 4, 1), 98.5));
    doc->createCache();
    store(*doc, cv::EntryKind::Expense, QDate(2009, 4, 1), 1000, kFood, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 4, 2), 10, kFood, kU);
    auto panel = open(kFood, QDate(2009, 4, 1), QDate(2009, 4, 30));
    EXPECT_EQ(panel->totalText(), QStringLiteral("1,985"));
    panel->tableView()->QTableView::selectRow(1);
    panel->deleteRows(panel->tableView());
    EXPECT_EQ(panel->totalText(), QStringLiteral("1,000"));
    doc->undoStack()->undo();
    EXPECT_EQ(panel->totalText(), QStringLiteral("1,985"));
    // Revert brings back the stored values of a changed row, not of a new one.
    panel->change(panel->entryAt(0), cv::EntryPanel::Field::Amount, 1200.0, QStringLiteral("t"));
    EXPECT_EQ(panel->totalText(), QStringLiteral("2,185"));
    panel->tableView()->QTableView::selectRow(0);
    panel->menuSelected(cv::EntryPanel::RevertTag);
    EXPECT_EQ(panel->entryAt(0)->amount(), 1000);
    EXPECT_EQ(panel->entryAt(0)->flags(), 0);
    EXPECT_EQ(panel->totalText(), QStringLiteral("1,985"));
    // A refund keeps its sign.
    store(*doc, cv::EntryKind::Expense, QDate(2009, 5, 1), -300, kFood, kA);
    auto may = open(kFood, QDate(2009, 5, 1), QDate(2009, 5, 31));
    EXPECT_EQ(may->totalText(), QStringLiteral("-300"));
}

TEST_F(IncomeExpensePanelTest, NewRowsTakeTheWalletOrTheFirstCashOrBankAccountAndUnfinishedRowsAreNotStored)
{
    auto panel = open(kFood, QDate(2009, 1, 1), QDate(2009, 1, 31));
    EXPECT_TRUE(panel->isExpense());
    const cv::EntryPtr row = panel->entryAt(0);
    EXPECT_EQ(row->account(), cv::RepeatedEntryDialog::kWalletAccount);
    EXPECT_EQ(row->category(), kFood);
    EXPECT_EQ(panel->firstUnfinishedColumnForRow(0), cv::IncomeExpensePanel::AmountColumn);
    const auto stored = [&] { return samplebook::storedEntriesOfCategory(*doc, kFood).size(); };

    // Without the wallet (and no other cash account) the first bank account.
    const cv::NodePtr wallet = doc->findAccount(cv::RepeatedEntryDialog::kWalletAccount);
    ASSERT_TRUE(wallet);
    doc->accountTrees()->asset()->removeChild(wallet);
    EXPECT_EQ(cv::RepeatedEntryDialog::defaultAccount(*doc), kA);
    auto second = open(kFood, QDate(2009, 2, 1), QDate(2009, 2, 28));
    EXPECT_EQ(second->lastAccount(), kA);

    // Without any cash or bank account a typed amount has no account: the
    // commit leaves it out until one is chosen.
    for (const int ident : {kA, kU}) doc->accountTrees()->asset()->removeChild(doc->findAccount(ident));
    auto third = open(kFood, QDate(2009, 3, 1), QDate(2009, 3, 31));
    const cvtest::page::Entries entries(third.get());
    entries.type(cv::IncomeExpensePanel::AmountColumn, 0, QStringLiteral("500"));
    EXPECT_EQ(third->firstUnfinishedColumnForRow(0), cv::IncomeExpensePanel::AccountColumn);
    entries.leave();
    EXPECT_EQ(stored(), 0u);
    entries.type(cv::IncomeExpensePanel::AmountColumn, entries.newRow(), QStringLiteral("500"));
    ASSERT_TRUE(entries.choose(cv::IncomeExpensePanel::AccountColumn, entries.newRow(), doc->findAccount(kC)));
    entries.leave();
    EXPECT_EQ(stored(), 1u);
}

TEST_F(IncomeExpensePanelTest, MovingAnEntryToAYenAccountRoundsItsAmount)
{
    store(*doc, cv::EntryKind::Expense, QDate(2009, 1, 10), 12.34, kFood, kU);
    auto panel = open(kFood, QDate(2009, 1, 1), QDate(2009, 1, 31));
    panel->editColumn(cv::IncomeExpensePanel::AccountColumn, 0, nullptr);
    cv::ChooserPopup::get()->mustClose();
    panel->endAccountPopup(cv::ChooserItem::fromNode(doc->findAccount(kA)));
    EXPECT_EQ(panel->entryAt(0)->account(), kA);
    EXPECT_EQ(panel->entryAt(0)->amount(), 12);
    panel->commitPendingInput();
    const auto stored = samplebook::storedEntries(*doc, kA);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored.front()->amount(), 12);
}

} // namespace
