// Renders the security sheet and a security's price list in Japanese and
// English to PNG files under the build tree (screenshots/{ja,en}/) for
// people to look at; checks only that they were written.
#include "PanelTestSupport.h"

#include "panels/CV4BrandPanelController.h"
#include "panels/CV4PricePanelController.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

class BrandSheetsScreenshot : public ::testing::TestWithParam<const char *> {};

bool saveShot(QWidget &widget, const QString &language, const QString &name)
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots/") + language;
    QDir().mkpath(dir);
    return widget.grab().save(dir + QLatin1Char('/') + name);
}

TEST_P(BrandSheetsScreenshot, ShowsTheSecuritySheetAndAPriceList)
{
    const QString language = QString::fromLatin1(GetParam());
    cv::setLanguageOverride(language);
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    auto brand = std::make_shared<CV4Brand>();
    brand->setName(QStringLiteral("トヨタ自動車"));
    brand->setCode(7203);
    brand->setMarket(1);
    brand->setCurrency(1);
    brand->setRisk(1);
    doc->addBrand(brand);
    doc->commitBrandList();
    for (int day = 1; day <= 5; ++day) {
        auto p = std::make_shared<CV4PriceTime>();
        p->setBrand(brand->ident());
        p->setDate(QDate(2009, 3, day + 1));
        p->setPrice(3100 + day * 35);
        ASSERT_TRUE(doc->dataModel()->putPrice(p));
    }

    {
        CV4BrandPanelController sheet(doc.get(), brand, false);
        sheet.show();
        sheet.nameField()->setText(QStringLiteral("トヨタ自動車 (7203)"));
        QApplication::processEvents();
        EXPECT_TRUE(saveShot(sheet, language, QStringLiteral("security-sheet.png")));
    }
    CV4PricePanelController list(doc.get(), brand, QDate(2009, 3, 9));
    list.show();
    QApplication::processEvents();
    EXPECT_TRUE(saveShot(list, language, QStringLiteral("price-list.png")));
    list.cancelPushed();
}

INSTANTIATE_TEST_SUITE_P(Languages, BrandSheetsScreenshot, ::testing::Values("ja", "en"));

} // namespace
