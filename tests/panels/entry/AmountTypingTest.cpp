// Amounts typed into an entry panel's cell and entered from the calculator
// read through one parser: the sign typed into the editor, full-width
// digits, grouping and the currency's prefix; the store keeps what was read.
#include "panels/PanelTestSupport.h"
#include "support/EntryPage.h"

#include "controls/DateField.h"
#include "panels/dialogs/RepeatedEntryDialog.h"
#include "panels/entry/TransferFieldDialog.h"
#include "panels/entry/IncomeExpensePanel.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace paneltest;
using samplebook::storedEntries;

namespace {

class AmountTyping : public BookTest {
protected:
    std::unique_ptr<cv::IncomeExpensePanel> open(const QDate &day) { return openCategory(*doc, kFood, day, day); }
    double storedAmount(const QDate &day)
    {
        for (const cv::EntryPtr &e : samplebook::storedEntriesOfCategory(*doc, kFood))
            if (e->date() == day) return e->amount();
        return qQNaN();
    }
    // Types as the keyboard does; characters beyond ASCII (an input method's
    // full-width digits) arrive as key events carrying their text.
    static void type(cv::IncomeExpensePanel &panel, int cid, const QString &keys)
    {
        cv::EditingTable *table = panel.tableView();
        table->editColumn(table->columnWithIdentifier(cid), 0, nullptr, true);
        for (const QChar c : keys) {
            if (c.unicode() < 128) {
                QTest::keyClicks(cv::GetPopupFieldEditor(), QString(c));
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(cv::GetPopupFieldEditor(), &press);
        }
        table->forceEndFieldEditing(true);
    }
};

TEST_F(AmountTyping, TypedTextIsReadWithItsSignInTheAccountsCurrency)
{
    struct Case {
        int account;
        const char *keys;
        double stored;
    };
    // clang-format off
    const Case cases[] = {
        {kA, "1,234", 1234}, {kA, "-500", -500},  {kA, "5-", -5},
        {kA, "--7", 7},      {kA, "１２３", 123}, {kU, "12.345", 12.34},
        {kU, "-$1,000.5", -1000.5},
    };
    // clang-format on
    QDate day(2009, 6, 1);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.keys);
        auto panel = open(day);
        const cvtest::page::Entries entries(panel.get());
        if (c.account != panel->lastAccount()) {
            ASSERT_TRUE(entries.choose(cv::IncomeExpensePanel::AccountColumn, 0, doc->findAccount(c.account)));
        }
        type(*panel, cv::IncomeExpensePanel::AmountColumn, QString::fromUtf8(c.keys));
        entries.leave();
        EXPECT_EQ(storedAmount(day), c.stored);
        day = day.addDays(1);
    }
}

TEST_F(AmountTyping, ANegativeAmountStaysNegativeWhenRetypedAndTheCalculatorReadsAsTyping)
{
    const QDate day(2009, 7, 1);
    store(*doc, cv::EntryKind::Expense, day, -300, kFood, kA);
    auto panel = open(day);
    const cvtest::page::Entries entries(panel.get());
    // The editor shows the sign as colour: typed digits replace the number, not the sign.
    entries.type(cv::IncomeExpensePanel::AmountColumn, 0, QStringLiteral("400"));
    entries.leave();
    EXPECT_EQ(storedAmount(day), -400);

    // The calculator's value for the selected row; text that is no amount changes nothing.
    for (const auto &[text, stored] : {std::pair{"2,500", 2500.0}, {"-12.9", -13.0}, {"abc", -13.0}}) {
        SCOPED_TRACE(text);
        entries.selectRow(0);
        panel->performInputValue(QString::fromLatin1(text));
        entries.leave();
        EXPECT_EQ(storedAmount(day), stored);
    }
}

// An input method's full-width amount in the transfer and repeat dialogs is
// the amount, not 0.
TEST_F(AmountTyping, TheDialogsReadFullWidthAmounts)
{
    const QString typed = QStringLiteral("１，２００");
    auto book = openBook(*doc, kA, QDate(2009, 2, 1), QDate(2009, 2, 28));
    chooseKind(*book, 0, kTransferRow);
    cv::TransferFieldDialog *popup = book->transferFieldDialog();
    Q_EMIT popup->destinationButton()->activated(popup->destinationButton()->findData(kC));
    QTest::keyClicks(popup->accountField(), QStringLiteral("300000"));
    EXPECT_EQ(popup->accountField()->text(), QStringLiteral("300,000")) << "grouped as typed";
    popup->accountField()->setText(typed);
    Q_EMIT popup->accountField()->editingFinished();
    EXPECT_EQ(popup->accountField()->text(), QStringLiteral("1,200"));
    popup->ok();
    book->commitPanel();
    ASSERT_EQ(storedEntries(*doc, kC).size(), 1u);
    EXPECT_EQ(storedEntries(*doc, kC).front()->amount(), 1200);

    auto panel = open(QDate(2009, 8, 1));
    ASSERT_TRUE(panel->handleToolbar(QStringLiteral("TB_Batch")));
    cv::RepeatedEntryDialog *dialog = panel->repeatDialog();
    ASSERT_TRUE(dialog);
    dialog->dateField()->setDate(QDate(2009, 8, 1));
    dialog->countField()->setValue(1);
    ASSERT_TRUE(cv::RepeatedEntryDialog::selectIdent(dialog->accountButton(), kA));
    dialog->valueField()->setText(typed);
    dialog->okPushed();
    QApplication::processEvents();
    panel->commitPendingInput();
    const auto august = storedEntries(*doc, kA, QDate(2009, 8, 1), QDate(2009, 8, 31));
    ASSERT_EQ(august.size(), 1u);
    EXPECT_EQ(august.front()->amount(), 1200);
}

} // namespace
