#include "model/Security.h"
#include "model/ModelArchiveClasses.h"
#include "platform/Localization.h"

#include "ArchiveProbe.h"

#include <gtest/gtest.h>

TEST(Security, MarketNamesMatchIgnoringCase)
{
    EXPECT_EQ(cv::Security::marketForString("jasdaq"), 3);
    EXPECT_EQ(cv::Security::marketForString("NYMARKET"), 20);
    EXPECT_EQ(cv::Security::marketForString("Tosho"), 1);
    EXPECT_EQ(cv::Security::marketForString("NASDAQ"), 21);
    EXPECT_EQ(cv::Security::marketForString("LSE"), -1);
    EXPECT_EQ(cv::Security::marketForString(QString()), -1);
}

TEST(Security, FreshSecurityAndNames)
{
    cv::Security b;
    EXPECT_EQ(b.ident(), -1);
    EXPECT_EQ(b.name(), "");
    EXPECT_FALSE(b.name().isNull());
    EXPECT_EQ(b.symbol(), "");
    EXPECT_TRUE(b.isVisible());

    b.setKind(cv::SecurityKind::Bond);
    EXPECT_EQ(b.kindName(), cv::localizedString("brand kind bond"));
    b.setKind(cv::SecurityKind(7));
    b.setRisk(-1);
    EXPECT_TRUE(b.kindName().isNull());
    EXPECT_TRUE(b.riskDescription().isNull());
}

TEST(Security, RoundTripsWithItsKeys)
{
    cv::registerModelArchiveClasses();
    auto carMaker = std::make_shared<cv::Security>();
    carMaker->setIdent(4);
    carMaker->setName("星空自動車");
    carMaker->setKind(cv::SecurityKind::Stock);
    carMaker->setCode(4242);
    carMaker->setSymbol("HSZ");
    carMaker->setMarket(1);
    carMaker->setCurrency(1);
    carMaker->setRisk(2);
    carMaker->setOutlineState(1);

    auto fund = std::make_shared<cv::Security>();
    fund->setIdent(5);
    fund->setName("Index fund");
    fund->setKind(cv::SecurityKind::InvestmentTrust);
    fund->setHidden(true);

    QStringList order;
    const QVariantMap stored =
        cvtest::archivedObject(cv::KeyedArchiver::archivedDataWithRootObject(carMaker), {}, &order);
    EXPECT_EQ(order, (QStringList{"id", "name", "kind", "currency", "risk", "code", "symbol", "market", "hidden"}));
    EXPECT_EQ(stored.value("id").toLongLong(), 4);
    EXPECT_EQ(stored.value("hidden").typeId(), QMetaType::LongLong);
    EXPECT_EQ(stored.value("symbol").toString(), "HSZ");

    const QVariantMap storedFund = cvtest::archivedObject(cv::KeyedArchiver::archivedDataWithRootObject(fund));
    EXPECT_FALSE(storedFund.contains("symbol"));
    EXPECT_EQ(storedFund.value("hidden").toLongLong(), 1);

    const std::vector<cv::SecurityPtr> list{carMaker, fund};
    auto root = cv::KeyedUnarchiver::unarchiveObjectWithData(
        cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue::arrayOf(list)));
    ASSERT_TRUE(root && root->array());
    ASSERT_EQ(root->array()->size(), 2u);
    auto t = root->array()->at(0).objectAs<cv::Security>();
    auto f = root->array()->at(1).objectAs<cv::Security>();
    ASSERT_TRUE(t && f);
    EXPECT_EQ(t->ident(), 4);
    EXPECT_EQ(t->name(), "星空自動車");
    EXPECT_EQ(t->code(), 4242);
    EXPECT_EQ(t->symbol(), "HSZ");
    EXPECT_EQ(t->market(), 1);
    EXPECT_EQ(t->currency(), 1);
    EXPECT_EQ(t->risk(), 2);
    EXPECT_TRUE(t->isVisible());
    EXPECT_EQ(t->intValue(), 0); // the check state is not stored
    EXPECT_EQ(f->kind(), cv::SecurityKind::InvestmentTrust);
    EXPECT_EQ(f->symbol(), "");
    EXPECT_FALSE(f->isVisible());
}
