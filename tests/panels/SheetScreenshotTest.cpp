// Renders the account sheets, the summary, fiscal settings and merge sheets
// and the grouping dialog in Japanese and English to PNG files under the
// build tree (screenshots/{ja,en}/) for people to look at; checks only that
// they were written.
#include "PanelTestSupport.h"

#include "controls/TickTree.h"
#include "panels/sheets/BankAccountSheet.h"
#include "panels/sheets/CashAccountSheet.h"
#include "panels/sheets/CardAccountSheet.h"
#include "panels/dialogs/GroupDialog.h"
#include "panels/sheets/InputForm.h"
#include "panels/sheets/InputFormCell.h"
#include "panels/sheets/InputTextField.h"
#include "panels/dialogs/MergeCategoryDialog.h"
#include "panels/sheets/SettingsDialog.h"
#include "panels/sheets/SummaryDialog.h"

#include <QComboBox>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

class SheetScreenshot : public ::testing::TestWithParam<const char *> {};

bool save(QWidget &window, const QString &language, const QString &name)
{
    const bool saved = saveScreenshot(window, language, name);
    window.hide(); // the next sheet is shot alone
    return saved;
}

void type(QLineEdit *field, const QString &text)
{
    field->setText(text);
    Q_EMIT field->textEdited(text);
}

TEST_P(SheetScreenshot, ShowsEverySheet)
{
    const QString language = QString::fromLatin1(GetParam());
    cv::setLanguageOverride(language);
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

INSTANTIATE_TEST_SUITE_P(Languages, SheetScreenshot, ::testing::Values("ja", "en"));

} // namespace
