// The security sheet: what it shows of a stored security, when OK is
// possible, and that only OK writes into the security.
#include "panels/PanelTestSupport.h"

#include "panels/sheets/SecuritySheet.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

cv::SecurityPtr storedStock(cv::Book &doc, int market, int code)
{
    auto security = std::make_shared<cv::Security>();
    security->setName(QStringLiteral("Kumo"));
    security->setCode(code);
    security->setMarket(market);
    security->setCurrency(2);
    security->setRisk(1);
    doc.addSecurity(security);
    return security;
}

TEST(SecuritySheetTest, OpensAStoredSecurityWithItsValues)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    const struct {
        int market;
        int code;
        int shownMarket;
        QString shownCode;
    } cases[] = {
        {3, 8411, 3, QStringLiteral("8411")},
        {99, 0, 0, QString()}, // a market the pop-up lacks: the item tagged 0
        {-1, 8301, 0, QStringLiteral("8301")},
    };
    for (const auto &c : cases) {
        const cv::SecurityPtr security = storedStock(*doc, c.market, c.code);
        cv::SecuritySheet sheet(doc.get(), security, false);
        SCOPED_TRACE(c.market);
        EXPECT_EQ(sheet.marketButton()->currentData().toInt(), c.shownMarket);
        EXPECT_EQ(sheet.codeField()->text(), c.shownCode);
        EXPECT_EQ(sheet.currencyButton()->currentData().toInt(), 2);
        EXPECT_EQ(sheet.riskSlider()->value(), 1);
        EXPECT_EQ(sheet.kindCluster()->checkedId(), cv::raw(cv::SecurityKind::Stock));
        for (QAbstractButton *kind : sheet.kindCluster()->buttons()) EXPECT_FALSE(kind->isEnabled());
        EXPECT_FALSE(sheet.okButton()->isEnabled());
        EXPECT_FALSE(sheet.hasChanged());
    }
}

TEST(SecuritySheetTest, OkFollowsTheNameAndOnlyOkWrites)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    const cv::SecurityPtr security = storedStock(*doc, 1, 8411);
    {
        cv::SecuritySheet sheet(doc.get(), security, false);
        sheet.nameField()->setText(QStringLiteral("Kumo Holdings"));
        EXPECT_TRUE(sheet.okButton()->isEnabled());
        sheet.nameField()->setText(QString());
        EXPECT_FALSE(sheet.okButton()->isEnabled());
        sheet.nameField()->setText(QStringLiteral("Other"));
        sheet.codeField()->setText(QStringLiteral("1"));
        sheet.riskSlider()->setValue(2);
        int code = -1;
        QObject::connect(&sheet, &QDialog::finished, [&](int c) { code = c; });
        sheet.cancelPushed();
        EXPECT_EQ(code, 0);
        EXPECT_EQ(security->name(), QStringLiteral("Kumo"));
        EXPECT_EQ(security->code(), 8411);
        EXPECT_EQ(security->risk(), 1);
    }
    // A new security: the kind is free; full-width digits are the code, text is 0.
    const struct {
        QString code;
        int stored;
    } codes[] = {{QStringLiteral("１３０６"), 1306}, {QStringLiteral("ETF"), 0}};
    for (const auto &c : codes) {
        auto fresh = std::make_shared<cv::Security>();
        cv::SecuritySheet sheet(doc.get(), fresh, true);
        EXPECT_TRUE(sheet.kindCluster()->button(cv::raw(cv::SecurityKind::Bond))->isEnabled());
        sheet.kindCluster()->button(cv::raw(cv::SecurityKind::InvestmentTrust))->click();
        sheet.nameField()->setText(QStringLiteral("TOPIX ETF"));
        sheet.codeField()->setText(c.code);
        sheet.symbolField()->setText(QStringLiteral(" 1306.T "));
        sheet.marketButton()->setCurrentIndex(sheet.marketButton()->findData(21));
        int code = -1;
        QObject::connect(&sheet, &QDialog::finished, [&](int r) { code = r; });
        QTest::mouseClick(sheet.okButton(), Qt::LeftButton);
        EXPECT_EQ(code, 1);
        EXPECT_EQ(fresh->kind(), cv::SecurityKind::InvestmentTrust);
        EXPECT_EQ(fresh->name(), QStringLiteral("TOPIX ETF"));
        EXPECT_EQ(fresh->code(), c.stored);
        EXPECT_EQ(fresh->symbol(), QStringLiteral("1306.T"));
        EXPECT_EQ(fresh->market(), 21);
        EXPECT_EQ(fresh->currency(), 1); // the first currency of the list
        EXPECT_EQ(fresh->ident(), -1);   // storing is the opener's
    }
}

} // namespace
