#include "model/Trade.h"
#include "model/TradeFormatting.h"
#include "platform/Localization.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

cv::Trade trade(int kind, double count, double unitPrice, double commission = 0)
{
    cv::Trade t;
    t.setKind(cv::TradeKind(kind));
    t.setAccount(1001);
    t.setCount(count);
    t.setUnitPrice(unitPrice);
    t.setCommission(commission);
    return t;
}

struct Change {
    double units;
    double income;
};

QList<cv::TradeKind> kindsOf(std::initializer_list<int> stored)
{
    QList<cv::TradeKind> kinds;
    for (int k : stored) kinds.append(cv::TradeKind(k));
    return kinds;
}

Change changes(const cv::Trade &t, int account)
{
    Change c{-1, -1};
    t.changesForAccount(account, &c.units, &c.income);
    return c;
}

} // namespace

TEST(Trade, UnitsAndIncomePerKind)
{
    struct Row {
        int kind;
        double units;
        double income;
    };
    // 10 units at 120.
    const Row rows[] = {
        {0, 10, -1200},  {19, 10, -1200}, {20, 10, -1200}, {31, 10, -1200}, {1, -10, 1200},
        {18, -10, 1200}, {21, -10, 1200}, {30, -10, 1200}, {5, 0, 120},     {11, 0, 120},
        {12, 0, 120},    {6, 0, -120},    {10, 0, 1200},   {13, 10, 0},     {16, 10, 0},
        {14, -10, 0},    {17, -10, 0},    {3, 0, 0},       {99, 0, 0},
    };
    for (const Row &r : rows) {
        const Change c = changes(trade(r.kind, 10, 120), 1001);
        EXPECT_EQ(c.units, r.units) << "kind " << r.kind;
        EXPECT_EQ(c.income, r.income) << "kind " << r.kind;
    }

    // A dividend is per unit, or the whole amount when no units are given.
    EXPECT_EQ(changes(trade(10, 0, 1200), 1001).income, 1200);
    EXPECT_EQ(changes(trade(10, 100, 12), 1001).income, 1200);

    cv::Trade move = trade(2, 100, 0);
    move.setTransfer(1002);
    EXPECT_EQ(changes(move, 1001).units, -100);
    EXPECT_EQ(changes(move, 1002).units, 100);
    EXPECT_EQ(changes(move, 1002).income, 0);
    EXPECT_EQ(changes(move, 1003).units, 0);

    // Either output may be left out.
    double units = 0;
    trade(0, 3, 1).changesForAccount(1001, &units, nullptr);
    EXPECT_EQ(units, 3);
    trade(0, 3, 1).changesForAccount(1001, nullptr, nullptr);

    EXPECT_EQ(trade(0, 10, 120, 15).amount(), -1215);
    EXPECT_EQ(trade(1, 10, 120, 15).amount(), 1185);
    EXPECT_EQ(trade(2, 10, 120, 15).amount(), -15);
}

TEST(Trade, FieldMasksAndOperationLists)
{
    std::map<int, int> expected;
    for (int k : {0, 1, 18, 19, 20, 21, 30, 31}) expected[k] = 88;
    expected[2] = 40;
    expected[5] = expected[6] = 32;
    for (int k : {10, 11, 12}) expected[k] = 96;
    for (int k : {13, 14, 16, 17}) expected[k] = 72;
    for (int k = -1; k <= 40; ++k) {
        const auto it = expected.find(k);
        EXPECT_EQ(cv::Trade::validFieldsForKind(cv::TradeKind(k)), it == expected.end() ? 0 : it->second)
            << "kind " << k;
    }

    EXPECT_EQ(cv::Trade::operationKeysForSecurityKind(cv::SecurityKind::Stock),
              kindsOf({0, 1, 10, 13, 14, 16, 17, 2, 18, 19, 20, 21, 5, 6}));
    EXPECT_EQ(cv::Trade::operationKeysForSecurityKind(cv::SecurityKind::InvestmentTrust),
              kindsOf({0, 1, 2, 12, 30, 31, 5, 6}));
    EXPECT_EQ(cv::Trade::operationKeysForSecurityKind(cv::SecurityKind::Bond),
              kindsOf({0, 1, 2, 30, 11, 31, 18, 19, 20, 21, 5, 6}));
    EXPECT_TRUE(cv::Trade::operationKeysForSecurityKind(cv::SecurityKind(3)).isEmpty());
    EXPECT_TRUE(cv::Trade::operationNamesForSecurityKind(cv::SecurityKind(-1)).isEmpty());

    const QStringList bondNames = cv::Trade::operationNamesForSecurityKind(cv::SecurityKind::Bond);
    ASSERT_EQ(bondNames.size(), 12);
    EXPECT_EQ(bondNames.at(4), cv::localizedString("trade-interest"));
}

TEST(Trade, NamesOfKinds)
{
    cv::Trade t;
    t.setKind(cv::TradeKind::Dividend);
    EXPECT_EQ(t.operationName(), cv::localizedString("trade-dividened"));
    EXPECT_EQ(t.reportKindName(), cv::localizedString("Report-trade-dividened"));
    t.setKind(cv::TradeKind::CashIn);
    EXPECT_EQ(t.operationName(), cv::localizedString("trade-cache-in"));
    const int noTradeKind = 3;
    t.setKind(cv::TradeKind(noTradeKind));
    EXPECT_TRUE(t.operationName().isNull());
    EXPECT_TRUE(t.reportKindName().isNull());

    // Reinvestment is not offered for stocks; it is found in the trust list.
    EXPECT_EQ(cv::Trade::keyForOperationName(cv::localizedString("trade-reinvest")), cv::TradeKind::Reinvestment);
    EXPECT_EQ(cv::Trade::keyForOperationName(cv::localizedString("trade-interest")), cv::TradeKind::Interest);
    EXPECT_EQ(cv::Trade::keyForOperationName(QStringLiteral("no such operation")), std::nullopt);

    // Every offered name leads back to its own kind, in either language.
    for (const char *language : {"ja", "en"}) {
        cv::setLanguageOverride(QLatin1String(language));
        for (cv::SecurityKind securityKind :
             {cv::SecurityKind::Stock, cv::SecurityKind::InvestmentTrust, cv::SecurityKind::Bond}) {
            const QList<cv::TradeKind> kinds = cv::Trade::operationKeysForSecurityKind(securityKind);
            const QStringList names = cv::Trade::operationNamesForSecurityKind(securityKind);
            ASSERT_EQ(names.size(), kinds.size());
            for (qsizetype i = 0; i < kinds.size(); ++i) {
                EXPECT_EQ(names.at(i), cv::Trade::operationNameForKey(kinds.at(i)));
                EXPECT_EQ(cv::Trade::keyForOperationName(names.at(i)), kinds.at(i)) << language;
            }
        }
    }
    cv::setLanguageOverride(QString());
}

TEST(Trade, CompareEqualityAndClone)
{
    cv::Trade fresh;
    EXPECT_EQ(fresh.ident(), -1);
    EXPECT_EQ(fresh.security(), 0);

    auto a = std::make_shared<cv::Trade>(trade(0, 100, 2500, 500));
    a->setIdent(7);
    a->setSecurity(4);
    a->setDate(QDate(2024, 6, 3));
    a->setMemo("NISA");
    a->setFlags(cv::EditChanged);

    auto b = std::make_shared<cv::Trade>(*a);
    b->setIdent(8);
    b->setCommission(0);
    b->setMemo("");
    EXPECT_TRUE(a->isEqual(b.get()));
    b->setCount(101);
    EXPECT_FALSE(a->isEqual(b.get()));
    b->setCount(100);
    b->setTransfer(1002);
    EXPECT_FALSE(a->isEqual(b.get()));
    cv::Trade unsaved(*a);
    unsaved.setIdent(-1);
    EXPECT_FALSE(unsaved.isEqual(a.get()));

    auto c = a->clone();
    EXPECT_EQ(c->ident(), 7);
    EXPECT_EQ(c->flags(), 0);
    EXPECT_EQ(c->commission(), 500);
    EXPECT_EQ(c->memo(), "NISA");
    EXPECT_TRUE(c->isEqual(a.get()));

    // On one date a row without a security (security < 0) goes last.
    auto none = std::make_shared<cv::Trade>(*a);
    none->setSecurity(-1);
    EXPECT_EQ(a->compare(*none), -1);
    EXPECT_EQ(none->compare(*a), 1);
    EXPECT_EQ(a->compare(*c), -1);
    EXPECT_EQ(c->compare(*a), -1);
    auto later = std::make_shared<cv::Trade>(*a);
    later->setIdent(9);
    later->setDate(QDate(2024, 6, 4));
    auto pending = std::make_shared<cv::Trade>(*a);
    pending->setIdent(-1);
    pending->setDate(QDate(2000, 1, 1));
    pending->setFlags(cv::EditNew);
    std::vector<cv::TradePtr> rows{pending, none, later, a};
    cv::Trade::sortRows(rows);
    EXPECT_EQ(rows, (std::vector<cv::TradePtr>{a, none, later, pending}));
}

namespace {

// Records what the trade asks of its document.
class FakeDocument : public cv::TradeFormatting {
public:
    std::map<int, cv::SecurityPtr> securities;
    std::map<int, int> accountCurrencies;
    mutable QString lastCall;

    cv::SecurityPtr findSecurity(int ident) const override
    {
        auto it = securities.find(ident);
        return it == securities.end() ? nullptr : it->second;
    }
    int currencyOfAccount(int account) const override
    {
        auto it = accountCurrencies.find(account);
        return it == accountCurrencies.end() ? 0 : it->second;
    }
    double convert(int target, double amount, int valueCurrency, const QDate &date) const override
    {
        // USD (2) is worth 150 yen (1) before July, 160 after.
        const double usd = date < QDate(2024, 7, 1) ? 150 : 160;
        auto toYen = [&](int c, double v) { return c == 2 ? v * usd : v; };
        const double yen = toYen(valueCurrency, amount);
        return target == 2 ? yen / usd : yen;
    }
    QString stringForValue(double value, int currency) const override
    {
        lastCall = QStringLiteral("value %1 in %2").arg(value).arg(currency);
        return lastCall;
    }
    QString stringForFundValue(double value, int currency, bool wantPrefix, bool padZeroes) const override
    {
        lastCall =
            QStringLiteral("fund %1 in %2 prefix %3 pad %4").arg(value).arg(currency).arg(wantPrefix).arg(padZeroes);
        return lastCall;
    }
};

} // namespace

TEST(Trade, ConvertedTextUsesTheAccountCurrencyAndTheSecurityKind)
{
    FakeDocument doc;
    auto stock = std::make_shared<cv::Security>();
    stock->setCurrency(2);
    auto fund = std::make_shared<cv::Security>();
    fund->setKind(cv::SecurityKind::InvestmentTrust);
    fund->setCurrency(2);
    doc.securities[4] = stock;
    doc.securities[5] = fund;
    doc.accountCurrencies[1001] = 1;

    cv::Trade t = trade(0, 10, 12.5);
    t.setDate(QDate(2024, 6, 30));
    t.setSecurity(4);
    EXPECT_EQ(t.value(12.5, doc, false), "value 1875 in 1");
    t.setDate(QDate(2024, 7, 1));
    EXPECT_EQ(t.value(12.5, doc, true), "value 2000 in 1");

    t.setSecurity(5);
    EXPECT_EQ(t.value(12.5, doc, false), "fund 2000 in 1 prefix 0 pad 1");
    EXPECT_EQ(t.value(3, doc, true), "value 480 in 1");

    // An unknown security counts as a stock in the default currency.
    t.setSecurity(-1);
    EXPECT_EQ(t.value(3, doc, false), "value 3 in 1");
}

TEST(Trade, FieldsByName)
{
    cv::Trade t;
    EXPECT_TRUE(t.setValueForKey("kind", 31));
    EXPECT_TRUE(t.setValueForKey("brand", 6));
    EXPECT_TRUE(t.setValueForKey("destination", 1003));
    EXPECT_TRUE(t.setValueForKey("count", 0.5));
    EXPECT_EQ(t.kind(), 31);
    EXPECT_EQ(t.security(), 6);
    EXPECT_EQ(t.transfer(), 1003);
    EXPECT_EQ(t.valueForKey("transfer").toInt(), 1003);
    EXPECT_EQ(t.valueForKey("count").toDouble(), 0.5);
    EXPECT_FALSE(t.setValueForKey("count", QStringLiteral("half")));
    EXPECT_EQ(t.count(), 0.5);
}
