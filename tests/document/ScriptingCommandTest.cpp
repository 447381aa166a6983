// The two scripting commands, called as the D-Bus adaptor calls them.
#include "document/BookTestSupport.h"

#include "platform/ScriptedAlertPresenter.h"
#include "document/store/SQLDatabase3.h"
#include "document/UpdateCurrencyCommand.h"
#include "document/UpdateStockCommand.h"

namespace {

class ScriptingTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        addCurrency(1, QStringLiteral("JPY"), 1, 0);
        usd = addCurrency(2, QStringLiteral("USD"), 100, 2);
        acme = std::make_shared<cv::Security>();
        acme->setName(QStringLiteral("Acme Corp"));
        acme->setSymbol(QStringLiteral("ACME"));
        acme->setCurrency(2);
        doc->addSecurity(acme);
        cv::BookTestAccess::commitInfoRows(*doc);
    }

    template <class Command> std::optional<QString> run(const QString &direct, const QVariantMap &arguments)
    {
        Command command(direct, arguments);
        command.setToday(kToday);
        return command.performDefaultImplementation({doc.get()});
    }

    std::vector<std::pair<QDate, double>> stored(bool rates, int ident)
    {
        auto list = rates ? doc->store()->getRateListForCurrency(ident) : doc->store()->getPriceListForSecurity(ident);
        std::vector<std::pair<QDate, double>> out;
        if (list)
            for (const auto &p : *list) out.emplace_back(p->date(), p->price());
        return out;
    }

    static inline const QDate kToday{2009, 6, 15};
    cv::CurrencyPtr usd;
    cv::SecurityPtr acme;
};

using Args = QVariantMap;

// How often a document signal was emitted.
struct SignalCount {
    template <class Signal> SignalCount(cv::Book *doc, Signal signal)
    {
        QObject::connect(doc, signal, &m_context, [this] { ++m_count; });
    }
    int count() const { return m_count; }
    QObject m_context;
    int m_count = 0;
};
const QString kNoDocs = QStringLiteral("1 docs available.  Cannot specify doc %1");

// Both commands read the document number, the date and the price the same way.
TEST_F(ScriptingTest, ReadsDocumentDateAndPriceAndRefusesWhatIsNoNumberOrDay)
{
    struct Case {
        Args args;
        std::optional<QString> refusal; // none: recorded
        double price;
        QDate date;
    };
    const Case cases[] = {
        {{{"Price", "1,234.5"}}, {}, 1234.5, kToday},
        {{{"Price", " 12 "}, {"Document", 1}}, {}, 12, kToday},
        {{{"Price", 3.25}, {"Document", "1"}, {"Date", "2009-06-01"}}, {}, 3.25, QDate(2009, 6, 1)},
        {{{"Price", "7"}, {"Date", "2009/5/2"}}, {}, 7, QDate(2009, 5, 2)},
        {{{"Price", "8"}, {"Date", "2009-04-03T10:00:00"}}, {}, 8, QDate(2009, 4, 3)},
        {{{"Price", "9"}, {"Date", "today"}}, {}, 9, kToday},
        {{{"Price", "9"}, {"Date", "3 days ago"}}, {}, 9, kToday.addDays(-3)},
        {{{"Price", "9"}, {"Date", "2週間後"}}, {}, 9, kToday.addDays(14)},
        {{{"Price", "0"}}, QStringLiteral("price <= 0: 0"), 0, {}},
        {{{"Price", "-1,000"}}, QStringLiteral("price <= 0: -1,000"), 0, {}},
        {{{"Price", "1e999"}}, QStringLiteral("price <= 0: 1e999"), 0, {}},
        {{{"Price", "nan"}}, QStringLiteral("price <= 0: nan"), 0, {}},
        {{{"Price", "inf"}}, QStringLiteral("price <= 0: inf"), 0, {}},
        {{{"Price", "1e308"}}, QStringLiteral("price above 10^12: 1e308"), 0, {}},
        {{{"Price", "1,000,000,000,000.5"}}, QStringLiteral("price above 10^12: 1,000,000,000,000.5"), 0, {}},
        {{{"Price", "12 yen"}}, QStringLiteral("price <= 0: 12 yen"), 0, {}},
        {{}, QStringLiteral("price <= 0: (null)"), 0, {}},
        {{{"Price", "5"}, {"Document", 2}}, kNoDocs.arg(2), 0, {}},
        {{{"Price", "5"}, {"Document", 0}}, kNoDocs.arg(0), 0, {}},
        {{{"Price", "5"}, {"Document", -1}}, kNoDocs.arg(-1), 0, {}},
        {{{"Price", "5"}, {"Document", "one"}}, kNoDocs.arg(0), 0, {}},
        {{{"Price", "5"}, {"Document", 1.5}}, kNoDocs.arg(0), 0, {}},
        {{{"Price", "5"}, {"Date", "next week"}}, QStringLiteral("unreadable date: next week"), 0, {}},
        {{{"Price", "5"}, {"Date", "2009-02-30"}}, QStringLiteral("unreadable date: 2009-02-30"), 0, {}},
    };
    for (const bool currency : {false, true}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(QVariant(c.args).toString().toStdString() + (currency ? " currency" : " stock"));
            const auto before = stored(currency, currency ? 2 : acme->ident());
            const auto refusal = currency ? run<cv::UpdateCurrencyCommand>(QStringLiteral("USD"), c.args)
                                          : run<cv::UpdateStockCommand>(QStringLiteral("ACME"), c.args);
            EXPECT_EQ(refusal, c.refusal);
            const auto after = stored(currency, currency ? 2 : acme->ident());
            if (c.refusal) {
                EXPECT_EQ(after, before);
                continue;
            }
            const auto it = std::find_if(after.begin(), after.end(), [&](auto &p) { return p.first == c.date; });
            ASSERT_NE(it, after.end());
            EXPECT_DOUBLE_EQ(it->second, c.price);
        }
    }
}

TEST_F(ScriptingTest, NewSymbolAddsASecurityOnlyWithAKnownCurrencyAndMarket)
{
    const Args price{{"Price", "250"}, {"Date", "2009-06-01"}};
    struct Case {
        QVariant currency, market;
        std::optional<QString> refusal;
        int marketNumber;
    };
    const Case cases[] = {
        {"EUR", "NYSE", QStringLiteral("new brand must specify a valid currency. Currency: EUR unknown."), 0},
        {{}, "NYSE", QStringLiteral("new brand must specify a valid currency. Currency: (null) unknown."), 0},
        {"USD", "LSE", QStringLiteral("new brand must specify a valid stock market. Market: LSE unknown."), 0},
        {"USD", "nyse", QStringLiteral("new brand must specify a valid stock market. Market: nyse unknown."), 0},
        {"USD", {}, QStringLiteral("new brand must specify a valid stock market. Market: (null) unknown."), 0},
        {"USD", "NYSE", {}, 20},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.currency.toString().toStdString() + " " + c.market.toString().toStdString());
        Args args = price;
        if (c.currency.isValid()) args.insert(QStringLiteral("Currency"), c.currency);
        if (c.market.isValid()) args.insert(QStringLiteral("Market"), c.market);
        SignalCount securityChanged(doc.get(), &cv::Book::securityChanged);
        EXPECT_EQ(run<cv::UpdateStockCommand>(QStringLiteral("XYZ"), args), c.refusal);
        if (c.refusal) {
            EXPECT_EQ(doc->securityList().size(), 1u);
            EXPECT_EQ(securityChanged.count(), 0);
            continue;
        }
        ASSERT_EQ(doc->securityList().size(), 2u);
        const cv::SecurityPtr added = doc->securityList().back();
        EXPECT_EQ(added->symbol(), QStringLiteral("XYZ"));
        EXPECT_EQ(added->name(), QStringLiteral("XYZ"));
        EXPECT_EQ(added->market(), c.marketNumber);
        EXPECT_EQ(added->currency(), 2);
        EXPECT_EQ(stored(false, added->ident()), (std::vector<std::pair<QDate, double>>{{QDate(2009, 6, 1), 250}}));
        EXPECT_DOUBLE_EQ(doc->securityPrice(added, QDate(2009, 6, 2)), 250);
        EXPECT_EQ(securityChanged.count(), 1);
        EXPECT_TRUE(doc->isDocumentEdited());
    }
    // The new security was committed with the price: a fresh reading of the store has it.
    EXPECT_NE(doc->store()->getSecurityData().indexOf("XYZ"), -1);

    // A known symbol needs neither argument; an empty one matches no security.
    EXPECT_EQ(run<cv::UpdateStockCommand>(QStringLiteral("XYZ"), price), std::nullopt);
    EXPECT_EQ(doc->securityList().size(), 2u);
    EXPECT_EQ(run<cv::UpdateStockCommand>(QString(), price), QStringLiteral("Must specify a stock symbol."));
}

// The new security and its price are one edit: a refused price takes the security back out.
TEST_F(ScriptingTest, ARefusedPriceWriteLeavesNoNewSecurityBehind)
{
    ScriptedAlertPresenter alerts;
    ASSERT_TRUE(doc->store()->database()->performQuery(QStringLiteral("DROP TABLE PriceTable;")));
    const QByteArray storedSecurities = doc->store()->getSecurityData();
    SignalCount securityChanged(doc.get(), &cv::Book::securityChanged);
    EXPECT_EQ(
        run<cv::UpdateStockCommand>(QStringLiteral("XYZ"), {{"Price", "5"}, {"Currency", "USD"}, {"Market", "NASD"}}),
        QStringLiteral("could not store the price of XYZ"));
    EXPECT_EQ(doc->securityList().size(), 1u);
    EXPECT_EQ(doc->store()->getSecurityData(), storedSecurities);
    EXPECT_EQ(securityChanged.count(), 0);
    EXPECT_EQ(alerts.asked.size(), 1u);
}

TEST_F(ScriptingTest, CurrencyRateIsStoredCachedAndAnnounced)
{
    SignalCount currencyChanged(doc.get(), &cv::Book::currencyChanged);
    EXPECT_EQ(run<cv::UpdateCurrencyCommand>(QStringLiteral("USD"), {{"Price", "151.125"}, {"Date", "2009-06-01"}}),
              std::nullopt);
    EXPECT_EQ(stored(true, 2), (std::vector<std::pair<QDate, double>>{{QDate(2009, 6, 1), 151.125}}));
    EXPECT_DOUBLE_EQ(doc->currencyRate(usd, QDate(2009, 6, 3)), 151.125);
    ASSERT_EQ(currencyChanged.count(), 1);
    EXPECT_TRUE(cv::BookTestAccess::cacheStatus(*doc) & (1u << cv::Book::CurrencyChanged));

    for (const QString &name : {QStringLiteral("EUR"), QString()}) {
        EXPECT_EQ(run<cv::UpdateCurrencyCommand>(name, {{"Price", "1"}}),
                  QStringLiteral("Must specify a valid currency. Currency: %1 unknown.").arg(name));
    }
    EXPECT_EQ(currencyChanged.count(), 1);
}

TEST_F(ScriptingTest, DocumentNumberPicksAmongTheOpenDocumentsInOrder)
{
    cv::Book second;
    ASSERT_TRUE(second.store()->create());
    samplebook::currency(second, 2, QStringLiteral("USD"), 100, 2);
    cv::UpdateCurrencyCommand command(QStringLiteral("USD"), {{"Price", "140"}, {"Document", 2}});
    command.setToday(kToday);
    EXPECT_EQ(command.performDefaultImplementation({doc.get(), &second}), std::nullopt);
    EXPECT_TRUE(stored(true, 2).empty());
    auto rates = second.store()->getRateListForCurrency(2);
    ASSERT_TRUE(rates && rates->size() == 1);
    EXPECT_DOUBLE_EQ(rates->front()->price(), 140);
}

} // namespace
