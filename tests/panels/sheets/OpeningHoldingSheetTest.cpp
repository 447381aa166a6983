// The opening holding sheet: what it shows of a stored holding, what OK
// writes into the node and as the security's price, and when it writes
// nothing.
#include "panels/PanelTestSupport.h"

#include "model/OpeningHolding.h"
#include "panels/sheets/OpeningHoldingSheet.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

constexpr int kInvest = 1010;

struct Holding {
    cv::NodePtr account;
    cv::NodePtr node;
    std::shared_ptr<cv::OpeningHolding> unit;
};

Holding makeHolding(cv::Book &doc, cv::SecurityKind securityKind, bool storedSecurity)
{
    auto security = std::make_shared<cv::Security>();
    security->setName(QStringLiteral("Fund"));
    security->setKind(securityKind);
    security->setCurrency(1);
    if (storedSecurity) doc.addSecurity(security);
    Holding h;
    h.account = samplebook::node(doc.accountTrees()->asset(), kInvest, 32, QStringLiteral("Broker"),
                                 std::make_shared<cv::AccountDetail>());
    h.unit = std::make_shared<cv::OpeningHolding>();
    h.unit->setSecurity(storedSecurity ? security->ident() : 77);
    h.unit->setDate(QDate(2009, 1, 5));
    h.unit->setUnits(3);
    h.unit->setUnitPrice(1500);
    h.unit->setCommission(525);
    h.unit->setMemo(QStringLiteral("NISA"));
    h.node = std::make_shared<cv::Node>();
    h.node->setKind(cv::NodeKind::Holding);
    h.node->setIdent(0);
    h.node->setExtra(h.unit);
    h.account->appendChild(h.node);
    return h;
}

int priceRows(cv::Book &doc)
{
    int rows = 0;
    for (int ident : {1, 2, 77}) {
        const auto list = doc.store()->getPriceListForSecurity(ident);
        rows += list ? int(list->size()) : 0;
    }
    return rows;
}

int finish(cv::OpeningHoldingSheet &sheet)
{
    int code = -1;
    QObject::connect(&sheet, &QDialog::finished, [&](int c) { code = c; });
    sheet.okPushed();
    return code;
}

// OK without changes writes nothing; OK waits for a readable date; Cancel
// leaves the holding as it was.
TEST(OpeningHoldingSheetTest, OpensAStoredHoldingAndOnlyAReadableChangeIsWritten)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    const Holding h = makeHolding(*doc, cv::SecurityKind::Stock, true);
    cv::OpeningHoldingSheet sheet(doc.get(), h.node, h.account);
    EXPECT_EQ(sheet.securityName()->text(), QStringLiteral("Broker/Fund"));
    const QStringList shown{sheet.cell(0)->text(), sheet.cell(1)->text(), sheet.cell(2)->text(), sheet.cell(3)->text(),
                            sheet.memoField()->text()};
    EXPECT_EQ(shown.join(u'|'), QStringLiteral("2009/01/05|3|1,500|525|NISA"));
    EXPECT_FALSE(sheet.okButton()->isEnabled());
    EXPECT_EQ(finish(sheet), 1);
    EXPECT_EQ(priceRows(*doc), 0);
    EXPECT_EQ(h.unit->units(), 3);

    cv::OpeningHoldingSheet edited(doc.get(), h.node, h.account);
    edited.cell(1)->setText(QStringLiteral("8"));
    EXPECT_TRUE(edited.okButton()->isEnabled());
    edited.cell(0)->setText(QStringLiteral("2009/13/45"));
    EXPECT_FALSE(edited.okButton()->isEnabled());
    edited.performInputDate(QDate(2009, 3, 3));
    EXPECT_TRUE(edited.okButton()->isEnabled());
    int code = -1;
    QObject::connect(&edited, &QDialog::finished, [&](int c) { code = c; });
    edited.cancelPushed();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(h.unit->units(), 3);
    EXPECT_EQ(h.unit->date(), QDate(2009, 1, 5));
}

TEST(OpeningHoldingSheetTest, OkStoresTheHoldingAndItsPriceWhenThereIsOne)
{
    // clang-format off
    const struct {
        const char *name;
        cv::SecurityKind kind;
        bool storedSecurity;
        QString units, price;
        double storedUnits, storedPrice;
        int priceRows;
    } cases[] = {
        {"stock units are whole", cv::SecurityKind::Stock, true, QStringLiteral("10.7"), QStringLiteral("1,234"), 10, 1234, 1},
        {"trust units keep their fraction", cv::SecurityKind::InvestmentTrust, true, QStringLiteral("10.7"),
         QStringLiteral("10,234.567891"), 10.7, 10234.567891, 1},
        {"a price of 0 is no price point", cv::SecurityKind::Stock, true, QStringLiteral("5"), QStringLiteral("0"), 5, 0, 0},
        {"no stored security, no price point", cv::SecurityKind::Stock, false, QStringLiteral("5"), QStringLiteral("900"), 5,
         900, 0},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = makeBook();
        ASSERT_TRUE(doc);
        const Holding h = makeHolding(*doc, c.kind, c.storedSecurity);
        cv::OpeningHoldingSheet sheet(doc.get(), h.node, h.account);
        sheet.cell(0)->setText(QStringLiteral("2009/02/01"));
        sheet.cell(1)->setText(c.units);
        sheet.cell(2)->setText(c.price);
        EXPECT_TRUE(sheet.okButton()->isEnabled());
        EXPECT_EQ(finish(sheet), 1);
        EXPECT_DOUBLE_EQ(h.unit->units(), c.storedUnits);
        EXPECT_DOUBLE_EQ(h.unit->unitPrice(), c.storedPrice);
        EXPECT_EQ(h.unit->date(), QDate(2009, 2, 1));
        EXPECT_EQ(priceRows(*doc), c.priceRows);
        if (c.priceRows) {
            const auto list = doc->store()->getPriceListForSecurity(h.unit->security());
            EXPECT_EQ(list->front()->date(), QDate(2009, 2, 1));
            EXPECT_DOUBLE_EQ(list->front()->price(), c.storedPrice);
        }
    }
}

} // namespace
