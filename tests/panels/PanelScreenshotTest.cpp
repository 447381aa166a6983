// Renders the panels, sheets and small windows in Japanese and English to
// PNG files under the build tree (screenshots/{ja,en}/) for people to look at.
#include "panels/PanelTestSupport.h"

#include "controls/DateField.h"
#include "controls/TickTree.h"
#include "document/Preference.h"
#include "panels/dialogs/CalculatorWindow.h"
#include "panels/dialogs/CalendarWindow.h"
#include "panels/dialogs/GroupDialog.h"
#include "panels/dialogs/MergeCategoryDialog.h"
#include "panels/dialogs/PreferencesDialog.h"
#include "panels/entry/IncomeExpensePanel.h"
#include "panels/entry/PricePanel.h"
#include "panels/entry/TransferFieldDialog.h"
#include "panels/search/SearchPagePanel.h"
#include "panels/search/SearchResultsPanel.h"
#include "panels/sheets/BankAccountSheet.h"
#include "panels/sheets/CardAccountSheet.h"
#include "panels/sheets/CashAccountSheet.h"
#include "panels/sheets/InputForm.h"
#include "panels/sheets/InputFormCell.h"
#include "panels/sheets/InputTextField.h"
#include "panels/sheets/LoanDialog.h"
#include "panels/sheets/SecuritySheet.h"
#include "panels/sheets/SettingsDialog.h"
#include "panels/sheets/SummaryDialog.h"
#include "platform/Localization.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

class PanelScreenshot : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override { cv::setLanguageOverride(language); }
    void TearDown() override { cv::setLanguageOverride(QString()); }
    const QString language = QString::fromLatin1(GetParam());
};

// The panel with a window drawn over it where it stands, framed.
QPixmap withWindowOver(QWidget &panel, QWidget &window)
{
    const QPixmap book = panel.grab();
    const QPixmap over = window.grab();
    const QPoint at = window.frameGeometry().topLeft() - panel.mapToGlobal(QPoint(0, 0));
    QPixmap shot(QRect(QPoint(0, 0), book.size()).united(QRect(at, over.size())).size());
    shot.fill(Qt::white);
    QPainter painter(&shot);
    painter.drawPixmap(0, 0, book);
    painter.drawPixmap(at, over);
    painter.setPen(Qt::darkGray);
    painter.drawRect(QRect(at, over.size()).adjusted(0, 0, -1, -1));
    return shot;
}

void fill(cv::Book &doc)
{
    auto put = [&](cv::EntryKind kind, const QDate &date, double amount, int category, int account, const char *memo,
                   int destination = 0) {
        auto e = samplebook::entry(kind, date, amount, category, account, destination);
        e->setMemo(QString::fromUtf8(memo));
        if (kind == cv::EntryKind::Transfer) doc.fixupTransferCategory(*e);
        if (kind == cv::EntryKind::Income) doc.updateIncome(e, nullptr);
        if (kind == cv::EntryKind::Expense) doc.updateExpense(e, nullptr);
        if (kind == cv::EntryKind::Transfer) doc.updateTransfer(e, nullptr);
    };
    put(cv::EntryKind::Expense, QDate(2009, 2, 3), 3280, kFood, kA, "スーパー 食料品");
    put(cv::EntryKind::Expense, QDate(2009, 2, 10), 1500, kFood, 10, "lunch");
    put(cv::EntryKind::Expense, QDate(2009, 2, 14), 12.5, kFood, kU, "coffee beans");
    put(cv::EntryKind::Income, QDate(2009, 2, 25), 250000, kSalary, kA, "給与");
    put(cv::EntryKind::Transfer, QDate(2009, 2, 27), 20000, 0, kA, "card", kC);
}

bool save(QWidget &window, const QString &language, const QString &name)
{
    const bool saved = saveScreenshot(window, language, name);
    window.hide(); // the next sheet is shot alone
    return saved;
}

TEST_P(PanelScreenshot, TheAccountBookWithTheTransferPopupOpen)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 1, 15), 1000, kFood, kA);
    store(*doc, cv::EntryKind::Income, QDate(2009, 2, 1), 250000, kSalary, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 1), 3280, kFood, kA)->setMemo(QStringLiteral("x"));
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 3), 20000, 0, kA, kC);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 10), 1500, kFood, kA);
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 20), 100, 0, kU, kA);
    auto panel = openBook(*doc, kA, QDate(2009, 2, 1), QDate(2009, 2, 28));
    panel->move(40, 40);
    panel->resize(900, 300);
    QApplication::processEvents();
    const int row = panel->numberOfRows(panel->tableView()) - 1;
    chooseKind(*panel, row, kTransferRow);
    cv::TransferFieldDialog *popup = panel->transferFieldDialog();
    Q_EMIT popup->destinationButton()->activated(popup->destinationButton()->findData(kC));
    popup->accountField()->setText(QStringLiteral("12,000"));
    QApplication::processEvents();

    EXPECT_TRUE(saveScreenshot(withWindowOver(*panel, *popup), language, QStringLiteral("account-book-transfer")));
    popup->cancel();
    doc->undoStack()->clear();
}

TEST_P(PanelScreenshot, TheIncomeAndExpensePanelWithTheRepeatedEntryDialog)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    fill(*doc);
    cv::IncomeExpensePanel panel(doc.get(), doc->findExpense(kFood), QDate(2009, 2, 1), QDate(2009, 2, 28));
    panel.move(40, 40);
    panel.resize(900, 300);
    panel.show();
    QApplication::processEvents();
    panel.repeatInputPushed();
    cv::RepeatedEntryDialog *dialog = panel.repeatDialog();
    ASSERT_TRUE(dialog);
    dialog->dateField()->setDate(QDate(2009, 2, 1));
    dialog->valueField()->setText(QStringLiteral("8,000"));
    dialog->countField()->setValue(6);
    dialog->memoField()->setText(QStringLiteral("rent"));
    dialog->adjustSize();
    dialog->move(panel.mapToGlobal(QPoint(420, 60)));
    QApplication::processEvents();

    EXPECT_TRUE(
        saveScreenshot(withWindowOver(panel, *dialog), language, QStringLiteral("income-expense-repeated-entry")));
    dialog->cancelPushed();
    doc->undoStack()->clear();
}

TEST_P(PanelScreenshot, TheSearchPageWithResults)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    fill(*doc);
    cv::SearchPagePanel page(doc.get());
    page.resize(1000, 260);
    page.show();
    page.execSearchForAccount({doc->findAccount(kA), doc->findAccount(10), doc->findAccount(kU)}, QDate(2009, 2, 1),
                              QDate(2009, 2, 28));
    QApplication::processEvents();
    EXPECT_TRUE(saveScreenshot(page.grab(), language, QStringLiteral("search-results")));
}

TEST_P(PanelScreenshot, TheCalculatorCalendarAndPreferences)
{
    cv::CalculatorWindow calc(0);
    for (int key : {1, 2, 3, 4, 10, 5}) calc.numkey(key);
    EXPECT_TRUE(saveScreenshot(calc, language, QStringLiteral("calculator")));

    cv::CalendarWindow calendar;
    calendar.setCurrentDate(QDate(2007, 11, 3));
    EXPECT_TRUE(saveScreenshot(calendar, language, QStringLiteral("calendar-window")));

    cv::Preference pref;
    cv::PreferencesDialog panel(&pref);
    for (int tab = 0; tab < 3; ++tab) {
        panel.tabView()->setCurrentIndex(tab);
        EXPECT_TRUE(saveScreenshot(panel, language, QStringLiteral("preferences-%1").arg(tab + 1)));
    }
    cv::setLanguageOverride(QString());
}

TEST_P(PanelScreenshot, TheLoanSheetOnBothPages)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    auto node = std::make_shared<cv::Node>();
    node->setKind(cv::NodeKind::Loan);
    node->setCurrency(1);
    cv::LoanDialog panel(doc.get(), node);
    type(panel.nameField(), "Car");
    type(panel.dateField(), "2009/04/10");
    type(panel.valueField(), "1,200,000");
    type(panel.timesField(), "12");
    type(panel.rateField(), "12");
    panel.dueDateButton()->setCurrentIndex(24);
    panel.holidayButton()->setCurrentIndex(2);
    panel.initialDayCheckbox()->setChecked(true);
    panel.setRepaymentAccount(kA);
    panel.setUsage(33);
    EXPECT_TRUE(saveScreenshot(panel, language, QStringLiteral("loan-conditions")));
    panel.showPage(1);
    EXPECT_TRUE(saveScreenshot(panel, language, QStringLiteral("loan-schedule")));
    cv::setLanguageOverride(QString());
}

TEST_P(PanelScreenshot, TheSecuritySheetAndAPriceList)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    auto security = std::make_shared<cv::Security>();
    security->setName(QStringLiteral("星空自動車"));
    security->setCode(4242);
    security->setMarket(1);
    security->setCurrency(1);
    security->setRisk(1);
    doc->addSecurity(security);
    doc->commitSecurityList();
    for (int day = 1; day <= 5; ++day) {
        ASSERT_TRUE(samplebook::putPrice(*doc, security->ident(), QDate(2009, 3, day + 1), 3100 + day * 35));
    }

    {
        cv::SecuritySheet sheet(doc.get(), security, false);
        sheet.show();
        sheet.nameField()->setText(QStringLiteral("星空自動車 (4242)"));
        QApplication::processEvents();
        EXPECT_TRUE(saveScreenshot(sheet.grab(), language, QStringLiteral("security-sheet")));
    }
    cv::PricePanel list(doc.get(), security, QDate(2009, 3, 9));
    list.show();
    QApplication::processEvents();
    EXPECT_TRUE(saveScreenshot(list.grab(), language, QStringLiteral("price-list")));
    list.cancelPushed();
}

TEST_P(PanelScreenshot, EverySheet)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);

    auto cashNode = std::make_shared<cv::Node>();
    cashNode->setKind(cv::NodeKind::Cash);
    cashNode->setCurrency(1);
    cv::CashAccountSheet cash(doc.get(), cashNode);
    type(cash.nameField(), QStringLiteral("Wallet"));
    type(cash.valueField(), QStringLiteral("12,345"));
    EXPECT_TRUE(save(cash, language, QStringLiteral("sheet-cash")));

    auto cardNode = std::make_shared<cv::Node>();
    cardNode->setKind(cv::NodeKind::CreditCard);
    cardNode->setCurrency(1);
    cv::CardAccountSheet card(doc.get(), cardNode);
    type(card.nameField(), QStringLiteral("Visa"));
    type(card.creditInfoForm()->cellAtIndex(cv::CardAccountSheet::CompanyCell), QStringLiteral("Card Co."));
    type(card.creditInfoForm()->cellAtIndex(cv::CardAccountSheet::LimitCell), QStringLiteral("300,000"));
    EXPECT_TRUE(save(card, language, QStringLiteral("sheet-credit")));

    cv::BankAccountSheet bank(doc.get(), doc->findAccount(kU));
    type(bank.bankInfoForm()->cellAtIndex(cv::BankAccountSheet::BankCell), QStringLiteral("First Bank"));
    type(bank.bankInfoForm()->cellAtIndex(cv::BankAccountSheet::NumberCell), QStringLiteral("1234567"));
    EXPECT_TRUE(save(bank, language, QStringLiteral("sheet-bank")));

    auto summaryNode = std::make_shared<cv::Node>();
    summaryNode->setKind(cv::NodeKind::CategorySummary);
    cv::SummaryDialog summary(doc.get(), summaryNode);
    type(summary.nameField(), QStringLiteral("Net"));
    summary.outline()->toggleNode(*doc->findIncome(kSalary));
    summary.outline()->toggleNode(*doc->findExpense(kFood));
    EXPECT_TRUE(save(summary, language, QStringLiteral("sheet-summary")));

    auto accountSummaryNode = std::make_shared<cv::Node>();
    accountSummaryNode->setKind(cv::NodeKind::AccountSummary);
    cv::SummaryDialog accountSummary(doc.get(), accountSummaryNode);
    type(accountSummary.nameField(), QStringLiteral("Net worth"));
    accountSummary.outline()->toggleNode(*doc->findAccount(kA));
    accountSummary.outline()->toggleNode(*doc->findAccount(kC));
    EXPECT_TRUE(save(accountSummary, language, QStringLiteral("sheet-account-summary")));

    cv::SettingsDialog settings(doc.get());
    EXPECT_TRUE(save(settings, language, QStringLiteral("sheet-settings")));

    cv::MergeCategoryDialog merge(doc.get(), kFood);
    merge.targetButton()->setCurrentIndex(merge.targetButton()->findData(kMiscExpense));
    EXPECT_TRUE(save(merge, language, QStringLiteral("sheet-merge")));

    for (const char *name : {"Trip", "Gift", "Work"}) {
        auto grouping = std::make_shared<cv::Grouping>();
        grouping->setName(QString::fromLatin1(name));
        doc->addGrouping(grouping);
    }
    cv::GroupDialog groups(doc.get(), 2);
    EXPECT_TRUE(save(groups, language, QStringLiteral("group-dialog")));
    groups.cancelPushed();
    cv::setLanguageOverride(QString());
}

INSTANTIATE_TEST_SUITE_P(Languages, PanelScreenshot, ::testing::Values("ja", "en"));

} // namespace
