// The transfer panel: categories that follow the accounts, the converted
// column only across currencies, the chooser's rules and the cell movement.
#include "panels/PanelTestSupport.h"
#include "support/EntryPage.h"

#include "model/EditFlags.h"
#include "document/BookTestAccess.h"
#include "panels/entry/TransferPanel.h"

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

constexpr int kAssetToAsset = 10;
constexpr int kAssetToDebt = 11;

class TransferPanelTest : public BookTest {
protected:
    std::unique_ptr<cv::TransferPanel> open(int category)
    {
        auto panel = std::make_unique<cv::TransferPanel>(doc.get(), cv::BookTestAccess::findTransfer(*doc, category),
                                                         QDate(2009, 3, 1), QDate(2009, 3, 31));
        panel->resize(900, 300);
        panel->show();
        QApplication::processEvents();
        return panel;
    }
    // Picks the account in the chooser of the row's source or destination.
    static void pick(cv::TransferPanel &panel, int row, int cid, int account)
    {
        EXPECT_TRUE(cvtest::page::Entries(&panel).choose(cid, row, panel.doc()->findAccount(account))) << account;
    }
    // Hands the other side's account to the chooser's end, which its list leaves out.
    static void pickOtherSide(cv::TransferPanel &panel, int row, int cid, int account)
    {
        panel.editColumn(panel.tableView()->columnWithIdentifier(cid), row, nullptr);
        cv::ChooserPopup::get()->mustClose();
        panel.endAccountPopup(cv::ChooserItem::fromNode(panel.doc()->findAccount(account)));
    }
};

TEST_F(TransferPanelTest, ARowChangedToTwoAssetAccountsIsStoredAsAssetToAsset)
{
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 3, 5), 5000, 0, kA, kC);
    auto panel = open(kAssetToDebt);
    ASSERT_EQ(panel->numberOfRows(panel->tableView()), 2);
    EXPECT_EQ(cellText(*panel, cv::TransferPanel::DestinationColumn, 0), QStringLiteral("C"));
    pick(*panel, 0, cv::TransferPanel::DestinationColumn, 10);
    panel->commitPendingInput();
    EXPECT_EQ(panel->numberOfRows(panel->tableView()), 1); // it left the asset-to-debt list
    auto assets = open(kAssetToAsset);
    ASSERT_EQ(assets->numberOfRows(assets->tableView()), 2);
    EXPECT_EQ(assets->entryAt(0)->category(), kAssetToAsset);
    EXPECT_EQ(assets->entryAt(0)->destination(), 10);
}

TEST_F(TransferPanelTest, TheConvertedColumnOnlyAcrossCurrenciesAndTheChooserRules)
{
    auto panel = open(kAssetToAsset);
    cv::EditingTable *table = panel->tableView();
    const int row = 0;
    using C = cv::TransferPanel;
    EXPECT_EQ(panel->firstUnfinishedColumnForRow(row), C::SourceColumn);
    EXPECT_FALSE(panel->isColumnSelectable(table, C::AmountColumn, row));
    pick(*panel, row, C::SourceColumn, kA);
    EXPECT_EQ(panel->firstUnfinishedColumnForRow(row), C::DestinationColumn);
    pick(*panel, row, C::DestinationColumn, 10);
    EXPECT_FALSE(panel->isColumnSelectable(table, C::ConvertedColumn, row));
    EXPECT_EQ(cellText(*panel, C::ConvertedColumn, row), QString());
    EXPECT_EQ(panel->firstUnfinishedColumnForRow(row), C::AmountColumn);

    // Dollars to yen: the converted amount is typed in yen.
    pick(*panel, row, C::SourceColumn, kU);
    ASSERT_TRUE(panel->isColumnSelectable(table, C::ConvertedColumn, row));
    EXPECT_EQ(panel->currencyForColumn(C::ConvertedColumn, row)->currency, 1);
    panel->setObjectValue(table, QStringLiteral("12.34"), C::AmountColumn, row);
    panel->setObjectValue(table, QStringLiteral("1,215"), C::ConvertedColumn, row);
    EXPECT_EQ(panel->entryAt(row)->amount(), 12.34);
    EXPECT_EQ(panel->entryAt(row)->converted(), 1215);
    // A click on the converted column with a selectable amount moves back to it.
    EXPECT_EQ(panel->verifyEditableColumn(table->columnWithIdentifier(C::ConvertedColumn), row, cv::Movement::Click),
              table->columnWithIdentifier(C::ConvertedColumn));
    // Moving the source to a yen account rounds the amount and drops the converted one.
    pick(*panel, row, C::SourceColumn, kA);
    EXPECT_EQ(panel->entryAt(row)->amount(), 12);
    EXPECT_EQ(panel->entryAt(row)->converted(), 0);
    // The same account on both sides clears the other side, and a transfer
    // missing either side is never stored.
    for (const int missing : {C::SourceColumn, C::DestinationColumn}) {
        auto transfers = open(kAssetToAsset);
        const cvtest::page::Entries entries(transfers.get());
        pick(*transfers, 0, C::SourceColumn, kA);
        pick(*transfers, 0, C::DestinationColumn, 10);
        entries.type(C::AmountColumn, 0, QStringLiteral("500"));
        if (missing == C::SourceColumn)
            pickOtherSide(*transfers, 0, C::DestinationColumn, kA);
        else
            pickOtherSide(*transfers, 0, C::SourceColumn, 10);
        EXPECT_EQ(transfers->firstUnfinishedColumnForRow(0), missing);
        entries.leave();
        for (const int account : {kA, 10}) EXPECT_TRUE(samplebook::storedEntries(*doc, account).empty()) << missing;
    }
}

} // namespace
