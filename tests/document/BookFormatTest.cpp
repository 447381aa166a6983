#include "document/BookTestSupport.h"

#include "platform/Localization.h"

namespace {

// A yen book with a dollar bank account; a dollar is worth 150 yen.
class DocumentFormatTest : public DocumentTest {
protected:
    void SetUp() override
    {
        cv::setLanguageOverride(QStringLiteral("en"));
        DocumentTest::SetUp();
        addCurrency(kYen, QStringLiteral("JPY"), 1, 0)->setPrefix(QStringLiteral("¥"));
        addCurrency(kDollar, QStringLiteral("USD"), 150, 2)->setPrefix(QStringLiteral("$"));
        addAccount(doc->accountTrees()->asset(), kYenBank, 31, 0, kYen);
        addAccount(doc->accountTrees()->asset(), kDollarBank, 31, 0, kDollar);
        addAccount(doc->accountTrees()->asset(), kYenInvest, 32, 0, kYen);
    }
    void TearDown() override
    {
        DocumentTest::TearDown();
        cv::setLanguageOverride(QString());
    }

    static constexpr int kYen = 1;
    static constexpr int kDollar = 2;
    static constexpr int kYenBank = 1001;
    static constexpr int kDollarBank = 1002;
    static constexpr int kYenInvest = 1003;
};

} // namespace

TEST_F(DocumentFormatTest, CurrencyTextThroughTheDocument)
{
    const cv::Book &d = *doc;
    // The amount texts find the book's currencies; their own rules are their own test.
    EXPECT_EQ(d.amountText().formatterForCurrency(kDollar).format(),
              cv::localizedString(QStringLiteral("Cent Format")));
    EXPECT_EQ(&d.amountText().formatterForCurrency(d.currencyOfAccount(kDollarBank)),
              &d.amountText().formatterForCurrency(kDollar));
    // An unknown account, or none, formats in the default currency.
    EXPECT_EQ(&d.amountText().formatterForCurrency(d.currencyOfAccount(4242)), &d.amountText().formatterForCurrency(0));
    EXPECT_EQ(&d.amountText().formatterForCurrency(d.currencyOfAccount(-1)),
              &d.amountText().formatterForCurrency(kYen));

    EXPECT_EQ(d.stringForValue(1200, kDollar), QStringLiteral("1,200.00"));
    EXPECT_EQ(d.stringForValue(1200, kDollar, true), QStringLiteral("1,200"));
    EXPECT_EQ(d.stringForValue(1200.5, kDollar, true), QStringLiteral("1,200.50"));
    EXPECT_EQ(d.stringWithPrefixForValue(12.5, kDollar), QStringLiteral("$12.50"));
    EXPECT_EQ(d.numberForString(QStringLiteral("$12.50"), kDollar), 12.5);
    EXPECT_EQ(d.stringWithPrefixForValue(123456, kYen), QStringLiteral("123,456"));
    EXPECT_EQ(d.stringForValueAccount(123456, kYenBank), QStringLiteral("123,456"));
    EXPECT_EQ(d.numberForString(QStringLiteral("123,456"), kYen), 123456.0);
    EXPECT_EQ(d.numberForStringAccount(QString(), kDollarBank), 0.0);
    EXPECT_EQ(d.numberForStringAccount(QStringLiteral("$1,234.50"), kDollarBank), 1234.5);
    EXPECT_FALSE(d.numberForStringAccount(QStringLiteral("abc"), kDollarBank));

    EXPECT_EQ(d.stringForFundValue(1234.5, kDollar), QStringLiteral("1,234.50"));
    EXPECT_EQ(d.stringWithPrefixForFundValue(1234, kDollar), QStringLiteral("$1,234"));
    EXPECT_EQ(cv::Book::numberForRoundString(QStringLiteral("2.999"), 2), 2.99);
    EXPECT_EQ(cv::Book::stringForRoundValue(0.29, 2), QStringLiteral("0.29"));

    // The editors' rules run on the same formatters.
    EXPECT_EQ(d.amountText().proposedString(QStringLiteral("1,234"), {5, 0}, QStringLiteral("1,2345"), kYen, 0),
              QStringLiteral("12,345"));
}

// The print forms themselves are the amount text tests'; here, the book's texts follow them.
TEST_F(DocumentFormatTest, PrintModeChangesTheNegativeForm)
{
    cv::setLanguageOverride(QStringLiteral("ja"));
    doc->amountText().loadFormats();
    doc->amountText().beginCurrencyPrinting();
    EXPECT_TRUE(doc->amountText().isCurrencyPrinting());
    EXPECT_EQ(doc->stringForValue(-1200.5, kDollar), QStringLiteral("△1,200.50"));
    EXPECT_EQ(doc->stringForTradingNumberOfUnits(-5), QStringLiteral("△5"));
    doc->amountText().endCurrencyPrinting();
    EXPECT_FALSE(doc->amountText().isCurrencyPrinting());
    EXPECT_EQ(doc->stringForValue(-1200.5, kDollar), QStringLiteral("-1,200.50"));
}

TEST_F(DocumentFormatTest, TradesShowConvertedAmountsInTheDocumentsForm)
{
    auto stock = addSecurity(QStringLiteral("Dollar stock"), kDollar);
    auto fund = addSecurity(QStringLiteral("Dollar fund"), kDollar);
    fund->setKind(cv::SecurityKind::InvestmentTrust);
    auto trade = makeTrade(0, day(2009, 6, 1), kYenInvest, stock->ident(), 10, 12.5);
    // 12.5 dollars in the yen account.
    EXPECT_EQ(trade->value(12.5, *doc, false), QStringLiteral("1,875"));
    trade->setSecurity(fund->ident());
    EXPECT_EQ(trade->value(12.5, *doc, false), QStringLiteral("1,875.00"));
    EXPECT_EQ(trade->value(-12.5, *doc, true), QStringLiteral("-1,875"));
    trade->setAccount(kDollarBank);
    EXPECT_EQ(trade->value(12.5, *doc, true), QStringLiteral("12.50"));
}
