// The trade panel's two dialogs: the filter (dates, kinds, its close box,
// and what the panel lists and writes on OK) and the trade dialog (what it
// shows of a stored trade and what OK copies back).
#include "panels/entry/TradeTestSupport.h"

#include "controls/SecurityChooserModel.h"
#include "controls/CommandRow.h"
#include "controls/DateField.h"
#include "model/EditFlags.h"
#include "panels/dialogs/TradeDialog.h"
#include "panels/dialogs/TradeFilterDialog.h"
#include "platform/ScriptedAlertPresenter.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

class TradeDialogs : public TradeBookTest {
protected:
    cv::TradePtr store(cv::TradeKind kind, int security, const QDate &date, double count, double price,
                       double commission = 0)
    {
        return storeTrade(*doc, kInvest, kind, security, date, count, price, commission);
    }
};

TEST_F(TradeDialogs, TheFilterNeedsOrderedDatesAndATickedKindWhileItsBoxIsOn)
{
    cv::TradeFilterDialog dialog(kFeb1, kFeb28);
    // clang-format off
    const struct {
        const char *what;
        QDate start, end;
        bool box;
        QList<cv::TradeKind> ticked;
        bool ok;
        quint32 flags;
    } cases[] = {
        {"start after end", QDate(2009, 3, 1), kFeb28, false, {}, false, 0},
        {"equal dates", kFeb28, kFeb28, false, {}, true, 0},
        {"box on, nothing ticked", kFeb1, kFeb28, true, {}, false, 0},
        {"buy and sale", kFeb1, kFeb28, true, {cv::TradeKind::Buy, cv::TradeKind::Sale}, true, 3},
        {"box off keeps the ticks but lists all", kFeb1, kFeb28, false, {cv::TradeKind::Buy, cv::TradeKind::Sale}, true, 0},
    };
    // clang-format on
    for (const auto &c : cases) {
        dialog.dateField(0)->setDate(c.start);
        dialog.dateField(1)->setDate(c.end);
        for (cv::TradeKind kind : {cv::TradeKind::Buy, cv::TradeKind::Sale, cv::TradeKind::Dividend})
            dialog.kindBox(kind)->setChecked(c.ticked.contains(kind));
        dialog.typeCheckbox()->setChecked(c.box);
        EXPECT_EQ(dialog.okButton()->isEnabled(), c.ok) << c.what;
        EXPECT_EQ(dialog.flags(), c.flags) << c.what;
        EXPECT_EQ(dialog.kindBox(cv::TradeKind::Buy)->isEnabled(), c.box) << c.what;
    }
    // The close box is OK only while OK may be pressed.
    for (const bool enabled : {true, false}) {
        dialog.dateField(1)->setDate(enabled ? kFeb28 : QDate(2009, 1, 1));
        dialog.show();
        dialog.close();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), enabled ? QDialog::Accepted : QDialog::Rejected) << enabled;
    }
    dialog.dateField(0)->textField()->setText(QStringLiteral("no date"));
    EXPECT_FALSE(dialog.date(0));
    EXPECT_FALSE(dialog.okButton()->isEnabled());
}

TEST_F(TradeDialogs, FilteringListsOnlyTheTickedKindsAndWritesWhatWasTypedFirst)
{
    store(cv::TradeKind::Buy, kStock, QDate(2009, 2, 2), 100, 1000);
    store(cv::TradeKind::Sale, kStock, QDate(2009, 2, 3), 50, 1100);
    store(cv::TradeKind::Dividend, kStock, QDate(2009, 2, 4), 1, 2000);
    auto panel = openTrades(*doc, invest, kFeb1, kFeb28);
    ASSERT_EQ(panel->numberOfRows(panel->tableView()), 4);
    // A buy typed and not yet written.
    pickSecurity(*panel, 3, kTrust);
    type(*panel, cv::TradePanel::CountColumn, 3, QStringLiteral("2.5"));
    type(*panel, cv::TradePanel::UnitPriceColumn, 3, QStringLiteral("12000"));

    const auto filter = [&](bool box, std::initializer_list<cv::TradeKind> kinds) {
        QTimer::singleShot(0, panel.get(), [&panel, box, kinds] {
            cv::TradeFilterDialog *dialog = panel->filterDialog();
            ASSERT_NE(dialog, nullptr);
            dialog->typeCheckbox()->setChecked(box);
            for (cv::TradeKind kind : kinds) dialog->kindBox(kind)->setChecked(true);
            dialog->okButton()->click();
        });
        panel->menuSelected(cv::TradePanel::FilterTag);
    };
    filter(true, {cv::TradeKind::Buy, cv::TradeKind::Sale});
    EXPECT_EQ(panel->flags(), 3u);
    EXPECT_EQ(storedTrades(*doc).size(), 4u); // the typed buy was written first
    QList<int> listed;
    for (int row = 0; row < panel->numberOfRows(panel->tableView()); ++row)
        if (!(panel->tradeForRow(row)->flags() & cv::EditNew)) listed.append(cv::raw(panel->tradeForRow(row)->kind()));
    EXPECT_EQ(listed, (QList<int>{cv::raw(cv::TradeKind::Buy), cv::raw(cv::TradeKind::Sale),
                                  cv::raw(cv::TradeKind::Buy)})); // the new row took the last date

    filter(false, {});
    EXPECT_EQ(panel->flags(), 0u);
    EXPECT_EQ(panel->numberOfRows(panel->tableView()), 5); // all four and a new row
}

TEST_F(TradeDialogs, AStoredSaleShowsItsOperationAndTheTotalOfUnitsTimesPrice)
{
    const cv::TradePtr sale = store(cv::TradeKind::Sale, kStock, QDate(2009, 2, 10), 50, 1500, 525);
    cv::TradeDialog dialog(doc.get(), sale);
    EXPECT_FALSE(dialog.securityButton()->isEnabled());
    EXPECT_EQ(dialog.securityButton()->currentData().toInt(), kStock);
    EXPECT_EQ(dialog.operationView()->currentIndex(), cv::raw(cv::SecurityKind::Stock));
    EXPECT_EQ(dialog.operationGroup(cv::SecurityKind::Stock)->checkedId(), int(cv::TradeKind::Sale));
    EXPECT_TRUE(dialog.unitsField()->isEnabled());
    EXPECT_TRUE(dialog.unitPriceField()->isEnabled());
    EXPECT_TRUE(dialog.commissionField()->isEnabled());
    EXPECT_FALSE(dialog.totalField()->isEnabled());
    EXPECT_FALSE(dialog.destinationButton()->isEnabled());
    EXPECT_EQ(dialog.totalField()->text(), QStringLiteral("75,000"));
    EXPECT_TRUE(dialog.okButton()->isEnabled());

    dialog.dateField()->textField()->setText(QStringLiteral("2009/02/31"));
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    dialog.dateField()->textField()->setText(QStringLiteral("2009/02/11"));
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    cv::Trade copy = *sale;
    dialog.pickResult(copy);
    EXPECT_EQ(copy.date(), QDate(2009, 2, 11));
    EXPECT_EQ(copy.kind(), cv::TradeKind::Sale);
    EXPECT_DOUBLE_EQ(copy.count(), 50);
    EXPECT_DOUBLE_EQ(copy.unitPrice(), 1500);
    EXPECT_DOUBLE_EQ(copy.commission(), 525);
}

TEST_F(TradeDialogs, OkKeepsFundUnitsAndStoresAmountKindsAsTheirAmount)
{
    const struct {
        const char *what;
        int security;
        cv::TradeKind kind; // picked in the dialog
        double count;       // of the trade
        const char *total;
        double storedCount, storedPrice;
    } cases[] = {
        {"trust units unedited", kTrust, cv::TradeKind::Buy, 1234.56789, "", 1234.56789, 10000.5},
        {"stock units are whole", kStock, cv::TradeKind::Buy, 12.9, "", 12, 10000},
        {"dividend", kStock, cv::TradeKind::Dividend, 0, "5,000", 1, 5000},
        {"other income", kTrust, cv::TradeKind::OtherIncome, 0, "5,000", 0, 5000},
    };
    for (const auto &c : cases) {
        auto row = std::make_shared<cv::Trade>();
        row->setAccount(kInvest);
        row->setSecurity(c.security);
        row->setDate(kFeb1);
        row->setCount(c.count);
        row->setUnitPrice(c.security == kTrust ? 10000.5 : 10000);
        row->setFlags(cv::EditNew);
        cv::TradeDialog dialog(doc.get(), row);
        dialog.operationGroup(doc->findSecurity(c.security)->kind())->button(cv::raw(c.kind))->click();
        if (*c.total) {
            EXPECT_TRUE(dialog.totalField()->isEnabled()) << c.what;
            EXPECT_FALSE(dialog.unitsField()->isEnabled()) << c.what;
            dialog.totalField()->setText(QString::fromUtf8(c.total));
        }
        dialog.pickResult(*row);
        EXPECT_EQ(row->kind(), c.kind) << c.what;
        EXPECT_DOUBLE_EQ(row->count(), c.storedCount) << c.what;
        EXPECT_DOUBLE_EQ(row->unitPrice(), c.storedPrice) << c.what;
    }
}

TEST_F(TradeDialogs, ANewTradeRefusesASecurityOfAnotherCurrencyAndATransferNeverOffersItsOwnAccount)
{
    ScriptedAlertPresenter alerts;
    auto row = std::make_shared<cv::Trade>();
    row->setAccount(kInvest);
    row->setSecurity(-1);
    row->setDate(kFeb1);
    row->setFlags(cv::EditNew);
    cv::TradeDialog dialog(doc.get(), row);
    EXPECT_TRUE(dialog.securityButton()->isEnabled());
    dialog.securityChosen(dialog.securityButton()->findData(kTrust));
    EXPECT_EQ(dialog.operationView()->currentIndex(), cv::raw(cv::SecurityKind::InvestmentTrust));
    dialog.securityChosen(dialog.securityButton()->findData(kDollarStock));
    ASSERT_EQ(alerts.asked.size(), 1u);
    EXPECT_EQ(alerts.asked[0].title, cv::localizedString(QStringLiteral("TradeCurrencyWarningTitle")));
    EXPECT_EQ(dialog.currentSecurity()->ident(), kTrust);
    EXPECT_EQ(dialog.securityButton()->currentData().toInt(), kTrust);

    // "CreateNewBrand": a cancelled sheet keeps the choice, a new security becomes it.
    const int command = dialog.securityButton()->count() - 1;
    dialog.securityChosen(command);
    EXPECT_EQ(dialog.currentSecurity()->ident(), kTrust);
    cv::SecurityChooserModel::setNewSecurityAction([](cv::Book &book, cv::CommandRow &) {
        auto security = std::make_shared<cv::Security>();
        security->setName(QStringLiteral("New Fund"));
        security->setKind(cv::SecurityKind::InvestmentTrust);
        security->setCurrency(1);
        book.addSecurity(security);
        return cv::ChooserItem::fromSecurity(security);
    });
    dialog.securityChosen(command);
    cv::SecurityChooserModel::setNewSecurityAction({});
    EXPECT_EQ(dialog.currentSecurity()->name(), QStringLiteral("New Fund"));
    EXPECT_EQ(dialog.securityButton()->currentText(), QStringLiteral("New Fund"));

    dialog.operationGroup(cv::SecurityKind::InvestmentTrust)->button(cv::raw(cv::TradeKind::TransferUnits))->click();
    EXPECT_TRUE(dialog.destinationButton()->isEnabled());
    EXPECT_EQ(dialog.destinationButton()->findData(kInvest), -1);
    EXPECT_GE(dialog.destinationButton()->findData(kInvest2), 0);
    EXPECT_EQ(dialog.getTransfer(), dialog.destinationButton()->currentData().toInt());
}

} // namespace
