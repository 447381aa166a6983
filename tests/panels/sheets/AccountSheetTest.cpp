// The cash-like, credit-card and bank sheets: end codes, what a new card
// proposes, the fixed cash account's currency, the start date that follows
// the opening balance, and start dates or amounts that do not read.
#include "panels/PanelTestSupport.h"

#include "controls/DateField.h"
#include "panels/sheets/BankAccountSheet.h"
#include "panels/sheets/CashAccountSheet.h"
#include "panels/sheets/CardAccountSheet.h"
#include "panels/sheets/InputForm.h"
#include "panels/sheets/InputFormCell.h"
#include "panels/sheets/InputTextField.h"
#include "platform/DateFormat.h"
#include "platform/ScriptedAlertPresenter.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

using namespace paneltest;

namespace {

cv::NodePtr newNode(int kind, int currency = 1)
{
    auto node = std::make_shared<cv::Node>();
    node->setKind(cv::NodeKind(kind));
    node->setCurrency(currency);
    return node;
}

// One sheet behind the same few hands: where its start date and its first
// amount are typed.
struct Sheet {
    std::unique_ptr<cv::AccountSheet> sheet;
    std::function<void(const QString &)> typeDate;
    std::function<void(const QString &)> typeAmount;
    std::function<void()> fillRequired = [] {}; // the detail a kind cannot do without
};

Sheet open(cv::Book &doc, const cv::NodePtr &node)
{
    Sheet s;
    switch (cv::NodeKind(node->kind())) {
    case cv::NodeKind::CreditCard: {
        auto *card = new cv::CardAccountSheet(&doc, node);
        s.typeDate = [card](const QString &t) {
            type(card->creditInfoForm()->cellAtIndex(cv::CardAccountSheet::DateCell), t);
        };
        s.typeAmount = [card](const QString &t) {
            type(card->creditInfoForm()->cellAtIndex(cv::CardAccountSheet::LimitCell), t);
        };
        s.fillRequired = [card] {
            type(card->creditInfoForm()->cellAtIndex(cv::CardAccountSheet::CompanyCell), "Card Co");
        };
        s.sheet.reset(card);
        break;
    }
    case cv::NodeKind::Bank: {
        auto *bank = new cv::BankAccountSheet(&doc, node);
        s.typeDate = [bank](const QString &t) {
            type(bank->bankInfoForm()->cellAtIndex(cv::BankAccountSheet::DateCell), t);
        };
        s.typeAmount = [bank](const QString &t) {
            type(bank->bankInfoForm()->cellAtIndex(cv::BankAccountSheet::BalanceCell), t);
        };
        s.fillRequired = [bank] { type(bank->bankInfoForm()->cellAtIndex(cv::BankAccountSheet::BankCell), "Bank"); };
        s.sheet.reset(bank);
        break;
    }
    default: {
        auto *cash = new cv::CashAccountSheet(&doc, node);
        s.typeDate = [cash](const QString &t) { cash->dateField()->setStringValue(t); };
        s.typeAmount = [cash](const QString &t) { type(cash->valueField(), t); };
        s.sheet.reset(cash);
        break;
    }
    }
    return s;
}

TEST(AccountSheetTest, EndCodesOfEachSheet)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    // clang-format off
    const struct {
        const char *name;
        int ident;          // a stored account, or 0 for a new node of the kind
        int kind;
        bool typeName;      // change the name
        bool pickDollar;    // change the currency
        int code;
        int currencyAfter;
    } cases[] = {
        {"stored bank untouched", kA, 31, false, false, 0, 1},
        {"stored card untouched", kC, 40, false, false, 0, 1},
        {"stored bank renamed", kA, 31, true, false, 1, 1},
        {"stored bank in dollars", kA, 31, false, true, 2, 2},
        {"stored card in dollars", kC, 40, false, true, 2, 2},
        {"new other debt in dollars", 0, 42, true, true, 2, 2},
        {"new cash renamed", 0, 30, true, false, 1, 1},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const cv::NodePtr node = c.ident ? doc->findAccount(c.ident) : newNode(c.kind);
        ASSERT_TRUE(node);
        const QString before = node->name();
        Sheet s = open(*doc, node);
        if (c.typeName) type(s.sheet->nameField(), QStringLiteral("Renamed"));
        s.fillRequired();
        if (!c.typeName && c.code == 0) {
            // The form was filled back to what it showed: only opening counts as untouched.
            s.sheet.reset();
            s = open(*doc, node);
        }
        if (c.pickDollar) s.sheet->currencyButton()->setCurrentIndex(s.sheet->currencyButton()->findData(2));
        s.sheet->okPushed();
        EXPECT_EQ(s.sheet->result(), c.code);
        EXPECT_EQ(node->currency(), c.currencyAfter);
        if (c.code == 0) {
            EXPECT_EQ(node->name(), before);
        }
        if (c.ident) node->setCurrency(1);
    }
}

TEST(AccountSheetTest, ANewCardProposesDaysAndTheFixedCashAccountKeepsItsCurrency)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    cv::CardAccountSheet card(doc.get(), newNode(40));
    EXPECT_EQ(card.cutoffDayButton()->currentData().toInt(), 20);
    EXPECT_EQ(card.dueDayButton()->currentData().toInt(), 10);
    EXPECT_EQ(card.cutoffDayButton()->count(), 31); // 1-30 and the last day
    EXPECT_EQ(card.creditInfoForm()->stringValue(cv::CardAccountSheet::DateCell),
              cv::formatProgramDate(QDate::currentDate()));

    const cv::NodePtr cash = samplebook::node(doc->accountTrees()->asset(), 10, 30, QStringLiteral("Wallet"));
    cash->setCurrency(1);
    cv::CashAccountSheet sheet(doc.get(), cash);
    EXPECT_FALSE(sheet.currencyButton()->isEnabled());
    type(sheet.nameField(), QStringLiteral("Purse"));
    sheet.currencyButton()->setCurrentIndex(sheet.currencyButton()->findData(2)); // changed elsewhere
    sheet.okPushed();
    EXPECT_EQ(sheet.result(), 1);
    EXPECT_EQ(cash->name(), QStringLiteral("Purse"));
    EXPECT_EQ(cash->currency(), 1);
}

TEST(AccountSheetTest, AStoredAccountWithoutDetailTakesItsStartDateFromTheOpeningBalance)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    const cv::NodePtr node = samplebook::node(doc->accountTrees()->asset(), 1100, 33, QStringLiteral("Gold"));
    node->setCurrency(1);
    cv::CashAccountSheet sheet(doc.get(), node);
    EXPECT_FALSE(sheet.isDateEnabled());
    EXPECT_TRUE(sheet.dateField()->stringValue().isEmpty());
    EXPECT_EQ(sheet.titleField()->text(), cv::localizedString(QStringLiteral("Generic Asset")));

    type(sheet.valueField(), QStringLiteral("5,000"));
    EXPECT_TRUE(sheet.isDateEnabled());
    EXPECT_EQ(sheet.getDate(), QDate::currentDate());
    type(sheet.valueField(), QString());
    EXPECT_FALSE(sheet.isDateEnabled());
    EXPECT_FALSE(sheet.getDate().has_value());
    EXPECT_TRUE(sheet.isOkEnabled());
    sheet.okPushed();
    EXPECT_EQ(sheet.result(), 1);
    const auto detail = std::dynamic_pointer_cast<cv::AccountDetail>(node->extra());
    ASSERT_TRUE(detail);
    EXPECT_FALSE(detail->date().isValid());
    EXPECT_EQ(detail->initialValue(), 0.0);
}

TEST(AccountSheetTest, UnreadableStartDatesAndAmountsKeepOkDisabledAndWriteNothing)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    for (int ident : {kA, kC, 0}) {
        const cv::NodePtr node = ident ? doc->findAccount(ident) : newNode(30);
        SCOPED_TRACE(ident);
        const cv::ArchivablePtr detail = node->extra();
        Sheet s = open(*doc, node);
        type(s.sheet->nameField(), QStringLiteral("Named"));
        s.fillRequired();
        ASSERT_TRUE(s.sheet->isOkEnabled());
        const struct {
            const char *date;
            const char *amount;
            bool ok;
        } inputs[] = {
            {"1899/12/31", "100", false},   {"2100/01/01", "100", false},   {"2009/13/01", "100", false},
            {"2009/04/01", "12a", false},   {"2009/04/01", "1.2.3", false}, {"2099/12/31", "", true},
            {"1900/01/01", "-1,500", true},
        };
        for (const auto &in : inputs) {
            s.typeDate(QString::fromLatin1(in.date));
            s.typeAmount(QString::fromLatin1(in.amount));
            EXPECT_EQ(s.sheet->isOkEnabled(), in.ok) << in.date << " " << in.amount;
        }
        s.typeAmount(QStringLiteral("12a"));
        s.sheet->okPushed();
        EXPECT_EQ(s.sheet->result(), 0);
        EXPECT_TRUE(s.sheet->isVisible() || s.sheet->result() == 0);
        EXPECT_EQ(node->extra(), detail); // nothing written
        EXPECT_NE(node->name(), QStringLiteral("Named"));
    }
}

TEST(AccountSheetTest, CancelAsksBeforeDiscardingAStoredAccountsChanges)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    ScriptedAlertPresenter alerts;
    cv::BankAccountSheet sheet(doc.get(), doc->findAccount(kA));
    sheet.open();
    type(sheet.nameField(), QStringLiteral("B"));
    alerts.answers.push_back(cv::AlertButton::Alternate); // keep editing
    sheet.cancelPushed();
    EXPECT_TRUE(sheet.isVisible());
    ASSERT_EQ(alerts.asked.size(), 1u);
    sheet.cancelPushed(); // discard
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.result(), 0);
    EXPECT_EQ(doc->findAccount(kA)->name(), QStringLiteral("A"));

    // A new card goes without asking; a new cash-like account asks.
    cv::CardAccountSheet card(doc.get(), newNode(40));
    type(card.nameField(), QStringLiteral("N"));
    card.cancelPushed();
    EXPECT_EQ(alerts.asked.size(), 2u);
    cv::CashAccountSheet cash(doc.get(), newNode(30));
    type(cash.nameField(), QStringLiteral("N"));
    cash.cancelPushed();
    EXPECT_EQ(alerts.asked.size(), 3u);
}

TEST(AccountSheetTest, TheCalculatorAndTheCalendarFillTheSheets)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    cv::BankAccountSheet bank(doc.get(), doc->findAccount(kU)); // dollars
    type(bank.bankInfoForm()->cellAtIndex(cv::BankAccountSheet::BankCell), QStringLiteral("Bank"));
    bank.bankInfoForm()->selectCellAtRow(cv::BankAccountSheet::BalanceCell);
    bank.performInputValue(QStringLiteral("1234.5"));
    EXPECT_EQ(bank.bankInfoForm()->stringValue(cv::BankAccountSheet::BalanceCell), QStringLiteral("1,234.50"));
    bank.bankInfoForm()->selectCellAtRow(cv::BankAccountSheet::NumberCell);
    bank.performInputValue(QStringLiteral("99")); // not an amount cell
    EXPECT_NE(bank.bankInfoForm()->stringValue(cv::BankAccountSheet::NumberCell), QStringLiteral("99"));
    bank.performInputDate(QDate(2010, 5, 6));
    EXPECT_EQ(bank.getDate(), QDate(2010, 5, 6));
    bank.okPushed();
    EXPECT_EQ(bank.result(), 1);
    const auto detail = std::dynamic_pointer_cast<cv::BankDetail>(doc->findAccount(kU)->extra());
    ASSERT_TRUE(detail);
    EXPECT_DOUBLE_EQ(detail->initialValue(), 1234.5);
    EXPECT_EQ(detail->date(), QDate(2010, 5, 6));
}

} // namespace
