// The four report pickers through their lists and buttons.
#include "ReportFixture.h"

#include "platform/Localization.h"
#include "reports/ReportAccountDialog.h"
#include "reports/ReportSecurityDialog.h"
#include "reports/ReportCategoryDialog.h"
#include "reports/ReportGroupDialog.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace reportfixture;
using cv::ReportSelectionDialog;

namespace {

class ReportDialogsTest : public FixtureFTest {
protected:
    void SetUp() override
    {
        FixtureFTest::SetUp();
        ASSERT_TRUE(doc);
        tickAll(*doc, 0);
    }

    static QTreeWidgetItem *row(ReportSelectionDialog &dialog, const QString &text)
    {
        const auto found = dialog.list()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    // Ctrl-clicks the rows, as a user adds rows to the selection.
    static void pick(ReportSelectionDialog &dialog, const QStringList &texts)
    {
        dialog.show();
        QApplication::processEvents();
        for (const QString &text : texts) {
            QTreeWidgetItem *item = row(dialog, text);
            ASSERT_TRUE(item) << text.toStdString();
            dialog.list()->scrollToItem(item);
            QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              dialog.list()->visualItemRect(item).center());
        }
    }
};

} // namespace

TEST_F(ReportDialogsTest, AccountsTickTheSelectedLeaves)
{
    doc->findAccount(kWallet)->setStatus(1);
    cv::ReportAccountDialog dialog(doc.get());
    pick(dialog, {QStringLiteral("Wallet"), QStringLiteral("Broker")});
    EXPECT_FALSE(dialog.okButton()->isEnabled()) << "a ticked row and a folder give OK nothing to do";
    EXPECT_EQ(row(dialog, QStringLiteral("Broker"))->text(1), QStringLiteral("Investment"));
    pick(dialog, {QStringLiteral("Bank A")});
    ASSERT_TRUE(dialog.okButton()->isEnabled());
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), ReportSelectionDialog::kOK);
    EXPECT_EQ(doc->findAccount(kBank)->status(), 1);
    EXPECT_EQ(doc->findAccount(kBroker)->status(), 0);
}

TEST_F(ReportDialogsTest, CategoriesStopAtTheDepthLimit)
{
    {
        cv::ReportCategoryDialog dialog(doc.get(), 0);
        pick(dialog, {QStringLiteral("Living")});
        EXPECT_FALSE(dialog.okButton()->isEnabled());
        dialog.cancelButton()->click();
        EXPECT_EQ(dialog.result(), ReportSelectionDialog::kCancel);
    }
    cv::ReportCategoryDialog dialog(doc.get(), 1);
    EXPECT_EQ(row(dialog, QStringLiteral("Living"))->childCount(), 0);
    pick(dialog, {QStringLiteral("Living"), QStringLiteral("Rent")});
    ASSERT_TRUE(dialog.okButton()->isEnabled());
    dialog.okButton()->click();
    EXPECT_EQ(doc->findExpense(kLiving)->status(), 1);
    EXPECT_EQ(doc->findExpense(kRent)->status(), 1);
    EXPECT_EQ(doc->findExpense(kFood)->status(), 0);
}

TEST_F(ReportDialogsTest, SecuritiesKeepWhatWasChosen)
{
    auto beta = std::make_shared<cv::Security>();
    beta->setName(QStringLiteral("Beta"));
    beta->setCurrency(1);
    doc->addSecurity(beta);
    std::vector<cv::SecurityPtr> chosen{doc->findSecurity(kAlpha)};
    cv::ReportSecurityDialog dialog(doc.get(), chosen);
    pick(dialog, {QStringLiteral("Alpha")});
    EXPECT_FALSE(dialog.okButton()->isEnabled()) << "a chosen security cannot be selected again";
    const QPoint at = dialog.list()->visualItemRect(row(dialog, QStringLiteral("Beta"))).center();
    QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(dialog.list()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(dialog.result(), ReportSelectionDialog::kOK);
    EXPECT_EQ(chosen, (std::vector<cv::SecurityPtr>{doc->findSecurity(kAlpha), beta}));
}

TEST_F(ReportDialogsTest, GroupingsMarkTheSelectedRows)
{
    std::vector<cv::ReportGroupDialog::Row> rows{{1, QStringLiteral("Trip"), 0}, {2, QStringLiteral("Gifts"), 0}};
    cv::ReportGroupDialog dialog(doc.get(), rows);
    pick(dialog, {QStringLiteral("Gifts")});
    dialog.okButton()->click();
    EXPECT_EQ(rows[0].select, 0);
    EXPECT_EQ(rows[1].select, 1);
}
