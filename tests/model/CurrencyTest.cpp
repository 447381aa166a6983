#include "model/Currency.h"
#include "model/ModelArchiveClasses.h"

#include "ArchiveProbe.h"

#include <gtest/gtest.h>

TEST(Currency, PresetCodesTakeTheirIdentsOnlyWhenWrittenExactly)
{
    EXPECT_EQ(cv::Currency::currencyWith("Yen", "JPY", "¥", 0)->ident(), 1);
    EXPECT_EQ(cv::Currency::currencyWith("Canadian dollar", "CAD", "C$", 2)->ident(), 8);
    EXPECT_EQ(cv::Currency::currencyWith("Canadian dollar", "cad", "C$", 2)->ident(), 100);
    EXPECT_EQ(cv::Currency::currencyWith("Won", "KRW", "₩", 0)->ident(), 100);
    EXPECT_EQ(cv::Currency::currencyWith("None", QString(), QString(), 0)->ident(), 100);

    auto usd = cv::Currency::currencyWith("US dollar", "USD", "$", 2);
    EXPECT_EQ(usd->ident(), 2);
    EXPECT_EQ(usd->rate(), 1.0);
    EXPECT_EQ(usd->flags(), 0);
}

TEST(Currency, ListRoundTripsWithItsKeys)
{
    cv::registerModelArchiveClasses();
    auto yen = cv::Currency::currencyWith("円", "JPY", QString(), 0);
    auto euro = cv::Currency::currencyWith("Euro", "EUR", "€", 2);
    euro->setRate(162.25);
    euro->setFlags(1);
    euro->setIdent(103);
    const std::vector<cv::CurrencyPtr> list{yen, euro};

    const QByteArray data = cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue::arrayOf(list));

    QStringList order;
    const QVariantMap stored = cvtest::archivedObject(cv::KeyedArchiver::archivedDataWithRootObject(euro), {}, &order);
    EXPECT_EQ(order, (QStringList{"ident", "fraction", "flags", "name", "abbr", "prefix", "rate"}));
    EXPECT_EQ(stored.value("ident").toLongLong(), 103);
    EXPECT_EQ(stored.value("rate").typeId(), QMetaType::Double);
    EXPECT_EQ(stored.value("abbr").toString(), "EUR");
    // A missing prefix is still written, as none.
    const QVariantMap storedYen = cvtest::archivedObject(cv::KeyedArchiver::archivedDataWithRootObject(yen));
    EXPECT_TRUE(storedYen.contains("prefix"));
    EXPECT_FALSE(storedYen.value("prefix").isValid());

    auto root = cv::KeyedUnarchiver::unarchiveObjectWithData(data);
    ASSERT_TRUE(root && root->array());
    ASSERT_EQ(root->array()->size(), 2u);
    auto back0 = root->array()->at(0).objectAs<cv::Currency>();
    auto back1 = root->array()->at(1).objectAs<cv::Currency>();
    ASSERT_TRUE(back0 && back1);
    EXPECT_EQ(back0->ident(), 1);
    EXPECT_EQ(back0->name(), "円");
    EXPECT_TRUE(back0->prefix().isEmpty());
    EXPECT_EQ(back1->ident(), 103);
    EXPECT_EQ(back1->name(), "Euro");
    EXPECT_EQ(back1->abbr(), "EUR");
    EXPECT_EQ(back1->prefix(), "€");
    EXPECT_EQ(back1->fraction(), 2);
    EXPECT_EQ(back1->flags(), 1);
    EXPECT_EQ(back1->rate(), 162.25);
}
