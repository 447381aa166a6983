// Sheets say which field keeps OK off; the loan sheet's and the repeated
// entry dialog's amounts group as they are typed; the repeated entry dialog
// takes the calculator's value and the calendar's date; the memo cells ask
// for the input method in Japanese.
#include "PanelTestSupport.h"

#include "panels/BankPanelController.h"
#include "panels/CachePanelController.h"
#include "panels/CreditPanelController.h"
#include "panels/FrontWindow.h"
#include "panels/InputForm.h"
#include "panels/InputFormCell.h"
#include "panels/LoanPanelController.h"
#include "panels/MacroInputDialogController.h"
#include "panels/TransferPanelController.h"
#include "controls/DateField.h"

#include <QLineEdit>

using namespace paneltest;

namespace {

CVUnitModelPtr newNode(int kind)
{
    auto node = std::make_shared<CVUnitModel>();
    node->setKind(kind);
    node->setCurrency(1);
    return node;
}

void type(QLineEdit *field, const QString &text)
{
    field->setText(text);
    Q_EMIT field->textEdited(text);
}

TEST_F(BookTest, AnAccountSheetNamesTheFieldThatKeepsOkOff)
{
    auto bankNode = newNode(31);
    BankPanelController bank(doc.get(), bankNode);
    type(bank.nameField(), QStringLiteral("Savings"));
    const QString bankName = cv::localizedString("Bank-Name");
    EXPECT_FALSE(bank.isOkEnabled());
    EXPECT_TRUE(bank.missingFieldText().contains(bankName)) << bank.missingFieldText().toStdString();
    type(bank.bankInfoForm()->cellAtIndex(BankPanelController::BankCell), QStringLiteral("Mizuho"));
    EXPECT_TRUE(bank.isOkEnabled());
    EXPECT_EQ(bank.missingFieldText(), QString());

    auto cardNode = newNode(40);
    CreditPanelController card(doc.get(), cardNode);
    type(card.nameField(), QStringLiteral("Visa"));
    EXPECT_TRUE(card.missingFieldText().contains(cv::localizedString("Credit-Company")));
    auto cashNode = newNode(30);
    CachePanelController cash(doc.get(), cashNode);
    EXPECT_TRUE(cash.missingFieldText().contains(cv::localizedString("Sheet-Name")));
}

TEST_F(BookTest, TheLoanSheetSaysWhatIsMissingAndGroupsTheAmountAsTyped)
{
    LoanPanelController loan(doc.get(), newNode(41));
    loan.show();
    type(loan.nameField(), QStringLiteral("Car"));
    type(loan.dateField(), QStringLiteral("2009/04/10"));
    type(loan.timesField(), QStringLiteral("12"));
    type(loan.rateField(), QStringLiteral("2"));
    loan.setRepaymentAccount(kA);
    loan.setUsage(33);
    type(loan.valueField(), QStringLiteral("30000000abc"));
    loan.showPage(1);
    EXPECT_EQ(loan.effectiveDataCount(), 0);
    EXPECT_TRUE(loan.messageText().contains(cv::localizedString("Loan-Amount").remove(u':')))
        << loan.messageText().toStdString();

    loan.showPage(0);
    loan.valueField()->clear();
    loan.valueField()->setFocus();
    QTest::keyClicks(loan.valueField(), QStringLiteral("3000000"));
    EXPECT_EQ(loan.valueField()->text(), QStringLiteral("3,000,000"));
    loan.showPage(1);
    EXPECT_EQ(loan.effectiveDataCount(), 12);
}

TEST_F(BookTest, TheRepeatedEntryDialogGroupsItsAmountAndTakesTheCalculatorAndTheCalendar)
{
    MacroInputDialogController dialog(doc.get(), doc->findExpense(kFood), QDate(2009, 2, 1), nullptr);
    dialog.show();
    dialog.valueField()->setFocus();
    QTest::keyClicks(dialog.valueField(), QStringLiteral("12345"));
    EXPECT_EQ(dialog.valueField()->text(), QStringLiteral("12,345"));

    // The calculator's Enter and the calendar's jump go to the front window.
    cv::trackFrontWindow();
    QApplication::setActiveWindow(&dialog);
    EXPECT_TRUE(cv::postInputValue(nullptr, QStringLiteral("2500")));
    EXPECT_EQ(dialog.amount(), 2500.0);
    EXPECT_TRUE(cv::postInputDate(nullptr, QDate(2009, 3, 15)));
    EXPECT_EQ(dialog.dateField()->date(), QDate(2009, 3, 15));
}

class JapaneseBook : public BookTest {
protected:
    void SetUp() override
    {
        BookTest::SetUp();
        cv::setLanguageOverride(QStringLiteral("ja"));
    }
    void TearDown() override
    {
        BookTest::TearDown();
        cv::setLanguageOverride(QStringLiteral("en"));
    }
};

TEST_F(JapaneseBook, MemoCellsAskForTheInputMethodOtherCellsForLatin)
{
    auto book = openBook(*doc, kA, QDate(2009, 2, 1), QDate(2009, 2, 28));
    auto transfers = std::make_unique<TransferPanelController>(doc.get(), doc->findTransfer(11), QDate(2009, 2, 1),
                                                               QDate(2009, 2, 28));
    transfers->show();
    QApplication::processEvents();
    const struct {
        InputPanelController *panel;
        int cid;
        bool inputMethod;
    } cases[] = {{book.get(), AccountPanelController::MemoColumn, true},
                 {book.get(), AccountPanelController::DateColumn, false},
                 {transfers.get(), 3, true},
                 {transfers.get(), 0, false}};
    for (const auto &c : cases) {
        c.panel->tableView()->performClickAtColumn(c.panel->tableView()->columnWithIdentifier(c.cid), 0, nullptr);
        EXPECT_EQ(!(GetPopupFieldEditor()->inputMethodHints() & Qt::ImhPreferLatin), c.inputMethod)
            << c.panel->metaObject()->className() << " " << c.cid;
        c.panel->tableView()->forceEndFieldEditing(false);
    }
}

} // namespace
