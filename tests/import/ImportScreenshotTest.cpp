// Writes the statement import sheet with S1 before and after Apply to
// screenshots/{ja,en}/ beside the test program, for people to look at.

#include "import/ImportSheetPage.h"

#include "document/EditScope.h"
#include "import/LearnedMapping.h"
#include "panels/PanelTestSupport.h"

#include <gtest/gtest.h>

TEST(ImportScreenshots, StatementSheetBeforeAndAfterApply)
{
    for (const QString language : {QStringLiteral("ja"), QStringLiteral("en")}) {
        cv::setLanguageOverride(language);
        auto doc = paneltest::makeBook();
        ASSERT_TRUE(doc);
        cv::LearnedMapping memo, accounts;
        memo.learn(u"スーパー東町店"_qs, paneltest::kFood);
        memo.learn(u"カ)エービーシー"_qs, paneltest::kSalary);
        memo.learn(u"カード引落"_qs, -paneltest::kC);
        accounts.learn(QStringLiteral("1234567"), paneltest::kA);
        {
            cv::EditScope edit(*doc);
            ASSERT_TRUE(memo.write(*doc, cv::StatementMemoMapping));
            ASSERT_TRUE(accounts.write(*doc, cv::StatementAccountMapping));
        }
        ImportSheetPage page(doc.get());
        ASSERT_TRUE(page.load("S1.ofx"));
        page.click(ImportOFXPanelController::MemoColumn, 1);
        EXPECT_TRUE(paneltest::saveScreenshot(page.sheet, language, QStringLiteral("import-statement-before")));
        page.apply();
        EXPECT_EQ(page.sheet.completeDataCount(), 3);
        EXPECT_TRUE(paneltest::saveScreenshot(page.sheet, language, QStringLiteral("import-statement-after")));
    }
    cv::setLanguageOverride(QString());
}
