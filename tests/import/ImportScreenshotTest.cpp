// Writes the statement sheet with S1 before and after Apply and with a
// header its bytes contradict, the text statement sheet (a Japanese file,
// and one with a preamble), the mobile entry sheet with the transfer
// choice open, and the price import to screenshots/{ja,en}/ beside the test
// program, for people to look at.

#include "import/ImportSheetPage.h"

#include "document/EditScope.h"
#include "import/LearnedMapping.h"
#include "model/Security.h"
#include "panels/PanelTestSupport.h"
#include "support/Screenshots.h"

#include <QPainter>

#include <gtest/gtest.h>

TEST(ImportScreenshots, EveryImportSheet)
{
    for (const QString &language : {QStringLiteral("ja"), QStringLiteral("en")}) {
        cv::setLanguageOverride(language);
        auto doc = paneltest::makeBook();
        ASSERT_TRUE(doc);
        cv::LearnedMapping memo, statementAccounts, text, categories, accounts;
        memo.learn(u"スーパー東町店"_qs, paneltest::kFood);
        memo.learn(u"カ)エービーシー"_qs, paneltest::kSalary);
        memo.learn(u"カード引落"_qs, -paneltest::kC);
        statementAccounts.learn(QStringLiteral("1234567"), paneltest::kA);
        text.learn(QStringList{u"食費"_qs, "palm", "expense"}, paneltest::kFood);
        categories.learn(u"食費"_qs, paneltest::kFood);
        categories.learn(u"給料"_qs, paneltest::kSalary);
        accounts.learn(u"財布"_qs, 10);
        accounts.learn(u"銀行"_qs, paneltest::kA);
        {
            cv::EditScope edit(*doc);
            ASSERT_TRUE(memo.write(*doc, cv::StatementMemoMapping));
            ASSERT_TRUE(statementAccounts.write(*doc, cv::StatementAccountMapping));
            ASSERT_TRUE(text.write(*doc, cv::TextMapping));
            ASSERT_TRUE(categories.write(*doc, cv::MobileCategoryMapping));
            ASSERT_TRUE(accounts.write(*doc, cv::MobileAccountMapping));
        }
        {
            ImportSheetPage page(doc.get());
            ASSERT_TRUE(page.load("S1.ofx"));
            page.click(cv::ImportOFXSheet::MemoColumn, 1);
            EXPECT_TRUE(paneltest::saveScreenshot(page.sheet, language, QStringLiteral("import-statement-before")));
            page.apply();
            EXPECT_EQ(page.sheet.completeDataCount(), 3);
            EXPECT_TRUE(paneltest::saveScreenshot(page.sheet, language, QStringLiteral("import-statement-after")));
            ASSERT_TRUE(page.load("S20-cp932-as-utf8.ofx")); // the notice of a header the bytes contradict
            EXPECT_TRUE(paneltest::saveScreenshot(page.sheet, language, QStringLiteral("import-statement-label")));
        }
        {
            ImportPage<cv::ImportTextSheet> page(doc.get());
            ASSERT_TRUE(page.load("S7-cp932.csv"));
            page.pick(page.sheet.accountBox(), QStringLiteral("A"));
            page.click(cv::ImportTextSheet::MemoColumn, 1);
            EXPECT_TRUE(paneltest::saveScreenshot(page.sheet, language, QStringLiteral("import-text")));
            ASSERT_TRUE(page.load("S23-preamble-cp932.csv")); // heads below a preamble, lines not read
            EXPECT_TRUE(paneltest::saveScreenshot(page.sheet, language, QStringLiteral("import-text-preamble")));
        }
        {
            ImportPage<cv::ImportMobileDataSheet> page(doc.get());
            ASSERT_TRUE(page.load("S9.csv"));
            QTest::mouseClick(page.sheet.applyButton(), Qt::LeftButton);
            page.selectRows({3});
            page.menu(cv::ImportMobileDataSheet::MenuTransfer);
            cv::TransferImportDialog *choice = page.sheet.transferPanel();
            page.pick(choice->accountButton(), QStringLiteral("A"));
            page.pick(choice->destinationButton(), QStringLiteral("U"));
            choice->destinationField()->setText(QStringLiteral("95.00"));
            // The choice window drawn where it stands over the sheet.
            QPixmap shot = page.sheet.grab();
            QPainter painter(&shot);
            painter.drawPixmap(page.sheet.mapFromGlobal(choice->mapToGlobal(QPoint(0, 0))), choice->grab());
            painter.end();
            EXPECT_TRUE(cvtest::saveScreenshot(shot, language, QStringLiteral("import-mobile-transfer")));
            choice->cancel();
        }
        {
            auto alpha = std::make_shared<cv::Security>();
            alpha->setName(QStringLiteral("Alpha"));
            alpha->setCurrency(1);
            doc->addSecurity(alpha);
            ImportPage<cv::ImportCSVSheet> page(doc.get(), alpha->ident(), true);
            ASSERT_TRUE(page.load("S10.csv"));
            page.click(0, 3);
            page.menu(cv::ImportCSVSheet::MenuExclude);
            EXPECT_TRUE(paneltest::saveScreenshot(page.sheet, language, QStringLiteral("import-prices")));
        }
    }
    cv::setLanguageOverride(QString());
}
