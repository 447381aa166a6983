// The summary, fiscal settings and category merge dialogs: what a summary
// adds and subtracts, the settings' end codes, and the merge target rule.
#include "panels/PanelTestSupport.h"

#include "controls/TickTree.h"
#include "model/Summary.h"
#include "panels/sheets/InputTextField.h"
#include "panels/dialogs/MergeCategoryDialog.h"
#include "panels/sheets/SettingsDialog.h"
#include "panels/sheets/SummaryDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

std::vector<int> refs(const std::vector<cv::SummaryMemberPtr> &list)
{
    std::vector<int> idents;
    for (const cv::SummaryMemberPtr &unit : list) idents.push_back(unit->refID());
    return idents;
}

TEST(SummaryPanelTest, TicksBecomeTheAddedAndSubtractedLists)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    const struct {
        int kind;
        int added;      // ticked and added
        int subtracted; // ticked and subtracted
    } cases[] = {{51, kSalary, kFood}, {50, kA, kC}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.kind);
        auto node = std::make_shared<cv::Node>();
        node->setKind(cv::NodeKind(c.kind));
        const auto find = [&](int ident) {
            return c.kind == cv::NodeKind::AccountSummary ? doc->findAccount(ident)
                   : ident == kSalary                     ? doc->findIncome(ident)
                                                          : doc->findExpense(ident);
        };
        {
            cv::SummaryDialog sheet(doc.get(), node);
            EXPECT_FALSE(sheet.okButton()->isEnabled());
            sheet.okPushed(); // untouched
            EXPECT_EQ(sheet.result(), 0);
            EXPECT_FALSE(node->extra());
        }
        cv::SummaryDialog sheet(doc.get(), node);
        sheet.nameField()->setText(QStringLiteral("Net"));
        Q_EMIT sheet.nameField()->textEdited(QStringLiteral("Net"));
        EXPECT_FALSE(sheet.okButton()->isEnabled()); // nothing ticked
        sheet.outline()->toggleNode(*find(c.added));
        sheet.outline()->toggleNode(*find(c.subtracted));
        EXPECT_TRUE(sheet.okButton()->isEnabled());
        sheet.okPushed();
        EXPECT_EQ(sheet.result(), 1);
        EXPECT_EQ(node->name(), QStringLiteral("Net"));
        const auto summary = std::dynamic_pointer_cast<cv::Summary>(node->extra());
        ASSERT_TRUE(summary);
        EXPECT_EQ(refs(summary->addedNodes()), std::vector<int>{c.added});
        EXPECT_EQ(refs(summary->subtractedNodes()), std::vector<int>{c.subtracted});

        // Reopened: the references come back ticked, and untouched it ends 0.
        summary->subtractedNodes().push_back(std::make_shared<cv::SummaryMember>()); // a reference to nothing
        cv::SummaryDialog again(doc.get(), node);
        EXPECT_EQ(find(c.added)->status(), 1);
        EXPECT_EQ(find(c.subtracted)->status(), 1);
        EXPECT_FALSE(again.okButton()->isEnabled());
        again.okPushed();
        EXPECT_EQ(again.result(), 0);
    }
}

TEST(SettingsPanelTest, EndCodesSayWhatChanged)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    {
        cv::SettingsDialog sheet(doc.get());
        ASSERT_EQ(sheet.dayButton()->count(), 28);
        EXPECT_EQ(sheet.dayButton()->itemText(0), QStringLiteral("1"));
        EXPECT_EQ(sheet.dayButton()->itemText(27), QStringLiteral("28"));
        EXPECT_FALSE(sheet.okButton()->isEnabled());
    }
    // clang-format off
    const struct {
        const char *what;
        int month, weekday, day;  // pop-up indices; -1 untouched
        int code;
    } cases[] = {
        {"weekday only", -1, 1, -1, 33},
        {"month only", 3, -1, -1, 17},
        {"day only", -1, -1, 27, 65},
        {"all three", 0, 0, 0, 113},
        {"changed and back", 0, 0, 0, 1},
    };
    // clang-format on
    for (const auto &c : cases) {
        cv::SettingsDialog sheet(doc.get());
        if (std::string(c.what) == "changed and back") {
            sheet.monthButton()->setCurrentIndex(5);
            sheet.monthButton()->setCurrentIndex(0);
        }
        if (c.month >= 0) sheet.monthButton()->setCurrentIndex(c.month);
        if (c.weekday >= 0) sheet.weekdayButton()->setCurrentIndex(c.weekday);
        if (c.day >= 0) sheet.dayButton()->setCurrentIndex(c.day);
        EXPECT_TRUE(sheet.okButton()->isEnabled()) << c.what;
        sheet.okPushed();
        EXPECT_EQ(sheet.result(), c.code) << c.what;
    }
    EXPECT_EQ(doc->settings()->fiscalDayOfMonth(), 0);
    cv::SettingsDialog cancelled(doc.get());
    cancelled.dayButton()->setCurrentIndex(9);
    cancelled.cancelPushed();
    EXPECT_EQ(cancelled.result(), 0);
    EXPECT_EQ(doc->settings()->fiscalDayOfMonth(), 0);
}

TEST(MergeCategoryDialogTest, TheTargetIsAnotherCategoryOfTheSameKind)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    // A folder left empty takes no entries: the merge would do nothing with it.
    samplebook::node(doc->categoryTrees()->expense(), 2070, cv::NodeKind::Group, QStringLiteral("Empty"));
    cv::MergeCategoryDialog panel(doc.get(), kFood);
    EXPECT_EQ(panel.targetButton()->findData(2070), -1);
    EXPECT_TRUE(panel.isExpense());
    EXPECT_EQ(panel.sourceField()->text(), QStringLiteral("Food"));
    QComboBox *targets = panel.targetButton();
    EXPECT_EQ(targets->findData(kSalary), -1); // an income category
    EXPECT_FALSE(panel.okButton()->isEnabled());
    targets->setCurrentIndex(targets->findData(kFood));
    EXPECT_FALSE(panel.okButton()->isEnabled());
    const int misc = targets->findData(kMiscExpense);
    ASSERT_GE(misc, 0);
    targets->setCurrentIndex(misc);
    EXPECT_TRUE(panel.okButton()->isEnabled());
    panel.okPushed();
    EXPECT_EQ(panel.result(), kMiscExpense);

    cv::MergeCategoryDialog income(doc.get(), kSalary);
    EXPECT_FALSE(income.isExpense());
    EXPECT_EQ(income.targetButton()->findData(kFood), -1);
    income.cancelPushed();
    EXPECT_EQ(income.result(), 0);
}

} // namespace
