// Renders the security sheet and a security's price list in Japanese and
// English to PNG files under the build tree (screenshots/{ja,en}/) for
// people to look at; checks only that they were written.
#include "PanelTestSupport.h"

#include "panels/sheets/SecuritySheet.h"
#include "panels/entry/PricePanel.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

class BrandSheetsScreenshot : public ::testing::TestWithParam<const char *> {};

TEST_P(BrandSheetsScreenshot, ShowsTheSecuritySheetAndAPriceList)
{
    const QString language = QString::fromLatin1(GetParam());
    cv::setLanguageOverride(language);
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    auto brand = std::make_shared<cv::Security>();
    brand->setName(QStringLiteral("トヨタ自動車"));
    brand->setCode(7203);
    brand->setMarket(1);
    brand->setCurrency(1);
    brand->setRisk(1);
    doc->addBrand(brand);
    doc->commitBrandList();
    for (int day = 1; day <= 5; ++day) {
        ASSERT_TRUE(samplebook::putPrice(*doc, brand->ident(), QDate(2009, 3, day + 1), 3100 + day * 35));
    }

    {
        cv::SecuritySheet sheet(doc.get(), brand, false);
        sheet.show();
        sheet.nameField()->setText(QStringLiteral("トヨタ自動車 (7203)"));
        QApplication::processEvents();
        EXPECT_TRUE(saveScreenshot(sheet.grab(), language, QStringLiteral("security-sheet")));
    }
    cv::PricePanel list(doc.get(), brand, QDate(2009, 3, 9));
    list.show();
    QApplication::processEvents();
    EXPECT_TRUE(saveScreenshot(list.grab(), language, QStringLiteral("price-list")));
    list.cancelPushed();
}

INSTANTIATE_TEST_SUITE_P(Languages, BrandSheetsScreenshot, ::testing::Values("ja", "en"));

} // namespace
