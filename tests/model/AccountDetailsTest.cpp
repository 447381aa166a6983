#include "model/AccountDetail.h"
#include "model/BankDetail.h"
#include "model/CardDetail.h"
#include "model/Grouping.h"
#include "model/OpeningHolding.h"
#include "model/Summary.h"
#include "model/Node.h"

#include "RecordArchiveSupport.h"
#include "platform/DateIntegers.h"

#include <gtest/gtest.h>

using recordtest::archive;
using recordtest::raw;
using recordtest::rootFields;
using recordtest::roundTrip;
using recordtest::unarchive;

TEST(AccountDetail, StartDateOnlyWhenPlausible)
{
    auto a = std::make_shared<cv::AccountDetail>();
    a->setDate(QDate(1850, 6, 1));
    a->setInitialValue(1200.5);
    EXPECT_EQ(a->memo(), QString(""));
    EXPECT_FALSE(a->memo().isNull());
    auto back = roundTrip(a);
    ASSERT_TRUE(back);
    EXPECT_FALSE(back->date().isValid()) << "a start date in 1850 is no start date";
    EXPECT_EQ(back->initialValue(), 1200.5);

    // No date writes -32; all three keys are always there.
    auto none = std::make_shared<cv::AccountDetail>();
    const auto fields = rootFields(archive(none));
    EXPECT_EQ(fields.value("date"), QVariant(qint64(-32)));
    EXPECT_EQ(fields.count("init"), 1);
    EXPECT_EQ(fields.count("memo"), 1);
    EXPECT_FALSE(fields.value("memo").isValid()) << "a missing memo is $null";
    auto noneBack = roundTrip(none);
    ASSERT_TRUE(noneBack);
    EXPECT_FALSE(noneBack->date().isValid());

    a->setDate(QDate(2009, 4, 1));
    a->setMemo(QStringLiteral("給与口座"));
    auto dated = roundTrip(a);
    ASSERT_TRUE(dated);
    EXPECT_EQ(dated->date(), QDate(2009, 4, 1));
    EXPECT_EQ(dated->memo(), QStringLiteral("給与口座"));
    EXPECT_EQ(rootFields(archive(a)).value("date"), QVariant(qint64(cv::dates::archiveDate(QDate(2009, 4, 1)))));

    for (int year : {1899, 1900, 2099, 2100}) {
        auto r = unarchive<cv::AccountDetail>(
            archive(raw("CV4AssetModel")->set("date", cv::dates::archiveDate(QDate(year, 1, 1)))));
        ASSERT_TRUE(r);
        EXPECT_EQ(r->date().isValid(), year == 1900 || year == 2099) << year;
    }
}

TEST(AccountDetail, SubclassesRoundTripWithTheBaseKeys)
{
    auto bank = std::make_shared<cv::BankDetail>();
    bank->setDate(QDate(2008, 1, 4));
    bank->setInitialValue(50000);
    bank->setName(QStringLiteral("ひばり"));
    bank->setBranchName(QStringLiteral("渋谷"));
    bank->setKind(2);
    bank->setAccountNumber(QStringLiteral("1234567"));
    bank->setInterestRate(0.002);
    EXPECT_EQ(bank->telephone(), QString(""));
    const auto fields = rootFields(archive(bank));
    for (const char *k : {"date", "init", "memo", "kind", "bank", "branch", "accNumber", "tel", "interest"})
        EXPECT_EQ(fields.count(k), 1) << k;
    auto b = roundTrip(bank);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->date(), QDate(2008, 1, 4));
    EXPECT_EQ(b->branchName(), QStringLiteral("渋谷"));
    EXPECT_EQ(b->interestRate(), 0.002);

    auto card = std::make_shared<cv::CardDetail>();
    card->setInitialValue(-3000);
    card->setDueDay(27);
    card->setCutoffDay(15);
    const auto cardFields = rootFields(archive(card));
    for (const char *k : {"date", "init", "memo", "name", "tel", "limit", "due", "cutoff"})
        EXPECT_EQ(cardFields.count(k), 1) << k;
    auto c = roundTrip(card);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->initialValue(), -3000);
    EXPECT_EQ(c->cutoffDay(), 15);

    // Details of older investment accounts decode as plain details.
    auto invest = unarchive<cv::AccountDetail>(
        archive(raw("CV4InvestModel")->set("init", 10.0)->set("date", cv::dates::archiveDate(QDate(2001, 2, 3)))));
    ASSERT_TRUE(invest);
    EXPECT_TRUE(std::dynamic_pointer_cast<cv::InvestmentDetail>(invest));
    EXPECT_EQ(invest->initialValue(), 10);
    EXPECT_EQ(invest->date(), QDate(2001, 2, 3));
}

TEST(AccountDetail, NodesDecodeTheirDetails)
{
    auto account = std::make_shared<cv::Node>();
    account->setIdent(1001);
    account->setKind(cv::NodeKind::Bank);
    auto bank = std::make_shared<cv::BankDetail>();
    bank->setName(QStringLiteral("Bank"));
    bank->setDate(QDate(2009, 1, 1));
    bank->setInitialValue(10);
    account->setExtra(bank);
    auto holding = std::make_shared<cv::Node>();
    holding->setIdent(0);
    holding->setKind(cv::NodeKind::Holding);
    auto unit = std::make_shared<cv::OpeningHolding>();
    unit->setSecurity(7);
    holding->setExtra(unit);
    ASSERT_TRUE(account->appendChild(holding));

    auto back = roundTrip(account);
    ASSERT_TRUE(back);
    auto backBank = std::dynamic_pointer_cast<cv::BankDetail>(back->extra());
    ASSERT_TRUE(backBank);
    EXPECT_EQ(backBank->name(), QStringLiteral("Bank"));
    EXPECT_EQ(back->assetInitialDate(), QDate(2009, 1, 1));
    EXPECT_EQ(back->assetInitialValue(), 10);
    ASSERT_EQ(back->countChild(), 1);
    auto backUnit = std::dynamic_pointer_cast<cv::OpeningHolding>(back->childAt(0)->extra());
    ASSERT_TRUE(backUnit);
    EXPECT_EQ(backUnit->security(), 7);
}

TEST(OpeningHolding, UnitsFromOlderAndNewerKeys)
{
    auto older = unarchive<cv::OpeningHolding>(archive(raw("CV4InvestUnit")->set("brand", 3)->set("number", 100)));
    ASSERT_TRUE(older);
    EXPECT_EQ(older->units(), 100);
    EXPECT_EQ(older->security(), 3);
    EXPECT_FALSE(older->date().isValid());
    EXPECT_EQ(older->memo(), QString(""));

    auto both =
        unarchive<cv::OpeningHolding>(archive(raw("CV4InvestUnit")->set("number", 100)->set("numberDouble", 12.5)));
    ASSERT_TRUE(both);
    EXPECT_EQ(both->units(), 12.5);

    auto neither = unarchive<cv::OpeningHolding>(archive(raw("CV4InvestUnit")->set("brand", 1)));
    ASSERT_TRUE(neither);
    EXPECT_EQ(neither->units(), 0);
}

TEST(OpeningHolding, DateOnlyWhenThereIsOne)
{
    auto unit = std::make_shared<cv::OpeningHolding>();
    unit->setSecurity(4);
    unit->setUnits(1.5);
    unit->setUnitPrice(980);
    unit->setCommission(525);
    unit->setFlags(2);
    const auto fields = rootFields(archive(unit));
    EXPECT_EQ(fields.count("date"), 0);
    EXPECT_EQ(fields.count("number"), 0);
    EXPECT_EQ(fields.value("numberDouble"), QVariant(1.5));

    unit->setDate(QDate(2007, 7, 7));
    unit->setMemo(QStringLiteral("NISA"));
    auto back = roundTrip(unit);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->date(), QDate(2007, 7, 7));
    EXPECT_EQ(back->units(), 1.5);
    EXPECT_EQ(back->unitPrice(), 980);
    EXPECT_EQ(back->commission(), 525);
    EXPECT_EQ(back->memo(), QStringLiteral("NISA"));
    EXPECT_EQ(back->flags(), 0) << "edit flags are not archived";
}

TEST(Summary, ListsAndReferences)
{
    auto empty = unarchive<cv::Summary>(archive(raw("CV4Summary")->set("memo", cv::ArchiveValue("m"))));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->addedNodes().empty());
    EXPECT_TRUE(empty->subtractedNodes().empty());
    EXPECT_EQ(empty->memo(), QStringLiteral("m"));

    auto s = std::make_shared<cv::Summary>();
    for (int ref : {1001, 1002}) {
        auto u = std::make_shared<cv::SummaryMember>();
        u->setRefID(ref);
        s->addedNodes().push_back(u);
    }
    auto debt = std::make_shared<cv::SummaryMember>();
    debt->setRefID(2001);
    auto node = std::make_shared<cv::Node>();
    debt->setResolvedNode(node);
    s->subtractedNodes().push_back(debt);
    const auto fields = rootFields(archive(s));
    for (const char *k : {"memo", "asset", "debt"}) EXPECT_EQ(fields.count(k), 1) << k;

    auto back = roundTrip(s);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->addedNodes().size(), 2u);
    EXPECT_EQ(back->addedNodes()[1]->refID(), 1002);
    ASSERT_EQ(back->subtractedNodes().size(), 1u);
    EXPECT_EQ(back->subtractedNodes()[0]->refID(), 2001);
    EXPECT_FALSE(back->subtractedNodes()[0]->resolvedNode()) << "the resolved node is not archived";
    EXPECT_FALSE(back->resolvedNode());

    EXPECT_EQ(debt->resolvedNode(), node);
    debt->setRefID(2002);
    EXPECT_FALSE(debt->resolvedNode());
}

TEST(Grouping, CopiesAndArchives)
{
    auto g = std::make_shared<cv::Grouping>();
    g->setIdent(3);
    g->setName(QStringLiteral("旅行"));
    g->setFlags(1);
    g->setOutlineState(1);

    auto copy = g->copy();
    EXPECT_NE(copy.get(), g.get());
    EXPECT_EQ(copy->ident(), 3);
    EXPECT_EQ(copy->name(), QStringLiteral("旅行"));
    EXPECT_EQ(copy->flags(), 0);
    EXPECT_EQ(copy->intValue(), 0);
    copy->setName(QStringLiteral("x"));
    EXPECT_EQ(g->name(), QStringLiteral("旅行"));

    const auto fields = rootFields(archive(g));
    EXPECT_EQ(fields.size(), 2);
    EXPECT_EQ(fields.value("id"), QVariant(qint64(3)));
    auto back = roundTrip(g);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ident(), 3);
    EXPECT_EQ(back->name(), QStringLiteral("旅行"));
    EXPECT_EQ(back->flags(), 0);
}
