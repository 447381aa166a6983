// Repeated entries: the dates of every rule with each business-day shift,
// where the series lands in the panel, and a dialog that outlives its panel.
#include "panels/PanelTestSupport.h"

#include "controls/DateField.h"
#include "model/EditFlags.h"
#include "panels/entry/IncomeExpensePanel.h"
#include "panels/dialogs/RepeatedEntryDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace paneltest;
using Rule = cv::RepeatRule;

namespace {

QList<QDate> dates(std::initializer_list<const char *> texts)
{
    QList<QDate> out;
    for (const char *t : texts) out << QDate::fromString(QString::fromLatin1(t), Qt::ISODate);
    return out;
}

TEST(RepeatRule, DatesFollowTheRuleAndTheShiftNeverMovesTheBase)
{
    struct Case {
        const char *what;
        int rule, interval, day, shift;
        QDate start;
        int count;
        QList<QDate> expected;
    };
    // clang-format off
    const Case cases[] = {
        {"day 31, no shift", Rule::Monthly, 1, 31, Rule::NoShift, {2009, 1, 15}, 3,
         dates({"2009-01-31", "2009-02-28", "2009-03-31"})},
        {"day 31, next business day", Rule::Monthly, 1, 31, Rule::NextBusinessDay, {2009, 1, 15}, 3,
         dates({"2009-02-02", "2009-03-02", "2009-03-31"})},
        {"day 31, previous business day", Rule::Monthly, 1, 31, Rule::PreviousBusinessDay, {2009, 1, 15}, 3,
         dates({"2009-01-30", "2009-02-27", "2009-03-31"})},
        {"day 10 before the start day", Rule::Monthly, 1, 10, Rule::NoShift, {2009, 1, 15}, 2,
         dates({"2009-02-10", "2009-03-10"})},
        {"day 30 in a leap February", Rule::Monthly, 1, 30, Rule::NoShift, {2008, 2, 1}, 2,
         dates({"2008-02-29", "2008-03-30"})},
        {"every 4 days over a holiday", Rule::EveryDays, 4, 31, Rule::NextBusinessDay, {2009, 2, 7}, 3,
         dates({"2009-02-09", "2009-02-12", "2009-02-16"})},
        {"over the new year, next", Rule::Monthly, 1, 31, Rule::NextBusinessDay, {2008, 12, 1}, 2,
         dates({"2009-01-05", "2009-02-02"})},
        {"over the new year, previous", Rule::Monthly, 1, 31, Rule::PreviousBusinessDay, {2008, 12, 1}, 2,
         dates({"2008-12-30", "2009-01-30"})},
        {"day 25 for a year", Rule::Monthly, 1, 25, Rule::NextBusinessDay, {2009, 4, 10}, 12,
         dates({"2009-04-27", "2009-05-25", "2009-06-25", "2009-07-27", "2009-08-25", "2009-09-25", "2009-10-26",
                "2009-11-25", "2009-12-25", "2010-01-25", "2010-02-25", "2010-03-25"})},
        {"yearly from 29 February", Rule::Yearly, 1, 31, Rule::NoShift, {2008, 2, 29}, 5,
         dates({"2008-02-29", "2009-02-28", "2010-02-28", "2011-02-28", "2012-02-29"})},
        {"two-monthly on day 1", Rule::TwoMonthly, 1, 1, Rule::NoShift, {2009, 1, 1}, 3,
         dates({"2009-01-01", "2009-03-01", "2009-05-01"})},
        {"the same date", Rule::SameDate, 1, 31, Rule::NoShift, {2009, 1, 15}, 2,
         dates({"2009-01-15", "2009-01-15"})},
        {"no entries", Rule::Monthly, 1, 31, Rule::NoShift, {2009, 1, 15}, 0, {}},
    };
    // clang-format on
    for (const Case &c : cases) {
        Rule rule;
        rule.rule = c.rule;
        rule.interval = c.interval;
        rule.day = c.day;
        rule.shift = c.shift;
        EXPECT_EQ(rule.dates(c.start, c.count), c.expected) << c.what;
    }
}

class RepeatedEntryTest : public BookTest {
protected:
};

TEST_F(RepeatedEntryTest, TheSeriesGoesBeforeTheBlankRowAndTheCommitStoresIt)
{
    cv::IncomeExpensePanel panel(doc.get(), doc->findExpense(kFood), QDate(2009, 1, 1), QDate(2009, 12, 31));
    panel.show();
    ASSERT_EQ(panel.numberOfRows(panel.tableView()), 1);
    ASSERT_TRUE(panel.handleToolbar(QStringLiteral("TB_Batch")));
    cv::RepeatedEntryDialog *dialog = panel.repeatDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), cv::localizedString("Macro Window Title")) << "an untitled book names nothing";
    EXPECT_FALSE(dialog->okButton()->isEnabled());
    dialog->tabView()->setCurrentIndex(1); // monthly
    dialog->monthlyDayButton()->setCurrentIndex(dialog->monthlyDayButton()->findData(31));
    dialog->dateField()->setDate(QDate(2009, 1, 15));
    dialog->countField()->setValue(3);
    ASSERT_TRUE(cv::RepeatedEntryDialog::selectIdent(dialog->accountButton(), kA));
    dialog->valueField()->setText(QStringLiteral("1,200"));
    dialog->memoField()->setText(QStringLiteral("rent"));
    dialog->okPushed();
    QApplication::processEvents();

    ASSERT_EQ(panel.numberOfRows(panel.tableView()), 4);
    for (int row = 0; row < 3; ++row) {
        const cv::EntryPtr e = panel.entryAt(row);
        EXPECT_EQ(e->flags(), cv::EditNew);
        EXPECT_EQ(e->amount(), 1200);
        EXPECT_EQ(e->category(), kFood);
        EXPECT_EQ(e->kind(), cv::EntryKind::Expense);
        EXPECT_EQ(e->memo(), QStringLiteral("rent"));
    }
    EXPECT_EQ(panel.entryAt(1)->date(), QDate(2009, 2, 28));
    EXPECT_TRUE(cv::RepeatedEntryDialog::isBlankRow(*panel.entryAt(3)));
    EXPECT_TRUE(panel.hasChanged());
    panel.commitPendingInput();
    EXPECT_EQ(samplebook::storedEntriesOfCategory(*doc, kFood).size(), 3u);
}

TEST_F(RepeatedEntryTest, ADialogWhosePanelCommittedOrWentAddsNothing)
{
    QPointer<cv::RepeatedEntryDialog> dialog;
    {
        cv::IncomeExpensePanel panel(doc.get(), doc->findExpense(kFood), QDate(2009, 1, 1), QDate(2009, 1, 31));
        panel.repeatInputPushed();
        dialog = panel.repeatDialog();
        ASSERT_TRUE(dialog);
        panel.commitPanel();
        QApplication::processEvents();
        EXPECT_TRUE(!dialog || !dialog->isVisible());
        panel.repeatInputPushed();
        dialog = panel.repeatDialog();
    }
    QApplication::processEvents();
    if (dialog) {
        cv::RepeatedEntryDialog::selectIdent(dialog->accountButton(), kA);
        dialog->valueField()->setText(QStringLiteral("5"));
        dialog->okPushed(); // the panel is gone: must not be reached
    }
    SUCCEED();
}

} // namespace
