// The securities trade report (kind 9) and the two cash-flow reports (kinds
// 4 and 5) over Fixture F and trades entered as the trade panel commits them,
// read back from the drawn pages.
#include "ReportFixture.h"

#include "platform/Localization.h"
#include "support/SampleBook.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace reportfixture;

namespace {

class TradeAndCashFlowReportTest : public FixtureFTest {
protected:
    void enter(int security, cv::TradeKind kind, const QDate &date, double count, double price, double commission = 0)
    {
        reportfixture::enter(*doc, kBroker, security, kind, date, count, price, commission);
    }
};

// The lines of a page below the report's own heads (from the first row on).
QStringList rowLines(cv::Report &view, int page, double rowsTop)
{
    const cv::RecordingCanvas canvas = drawPage(view, page);
    QStringList lines;
    for (const auto &call : canvas.calls(cv::RecordingCanvas::Op::Text))
        if (call.rect.y() >= rowsTop - 0.5) {
            const QString line = lineAt(canvas, call.rect.y()).join(QStringLiteral(" | "));
            if (lines.isEmpty() || lines.last() != line) lines << line;
        }
    return lines;
}

// The sheet's kinds of these reports.
constexpr int kCashFlowKind = 4, kCashFlowDetailKind = 5, kSecuritiesKind = 9;

constexpr double kTradeRowsTop = 36 + 60;

} // namespace

TEST_F(TradeAndCashFlowReportTest, SecuritiesTradeReportCarriesTradesAndMatchesMarginTradesFirstInFirstOut)
{
    const int beta = addStock(QStringLiteral("Beta"));
    enter(beta, cv::TradeKind::MarginSale, QDate(2008, 4, 10), 100, 500, 300);
    enter(beta, cv::TradeKind::BuyBack, QDate(2008, 5, 12), 60, 450, 200);
    enter(beta, cv::TradeKind::BuyBack, QDate(2008, 5, 22), 40, 480, 150);
    const int gamma = addStock(QStringLiteral("Gamma"));
    enter(gamma, cv::TradeKind::MarginSale, QDate(2008, 5, 2), 60, 500);
    enter(gamma, cv::TradeKind::MarginSale, QDate(2008, 5, 3), 40, 520);
    enter(gamma, cv::TradeKind::BuyBack, QDate(2008, 5, 5), 60, 450);
    for (int day = 6; day <= 9; ++day) enter(gamma, cv::TradeKind::Dividend, QDate(2008, 5, day), 1, 100);
    enter(gamma, cv::TradeKind::BuyBack, QDate(2008, 5, 10), 40, 480);
    const int eta = addStock(QStringLiteral("Eta"));
    enter(eta, cv::TradeKind::MarginBuy, QDate(2008, 4, 10), 100, 400, 200);
    enter(eta, cv::TradeKind::SellBack, QDate(2008, 5, 12), 60, 450);
    enter(eta, cv::TradeKind::MarginBuy, QDate(2008, 5, 14), 20, 500);
    enter(eta, cv::TradeKind::SellBack, QDate(2008, 5, 16), 60, 480);
    // Fractions of a unit close whole: the second buy-back matches the second sale alone.
    const int theta = addStock(QStringLiteral("Theta"), cv::SecurityKind::Bond);
    enter(theta, cv::TradeKind::MarginSale, QDate(2008, 4, 10), 10.5, 100);
    enter(theta, cv::TradeKind::BuyBack, QDate(2008, 5, 5), 10.5, 90);
    enter(theta, cv::TradeKind::MarginSale, QDate(2008, 5, 6), 5, 120);
    enter(theta, cv::TradeKind::BuyBack, QDate(2008, 5, 7), 5, 80);
    const int epsilon = addStock(QStringLiteral("Epsilon"));
    enter(epsilon, cv::TradeKind::Buy, QDate(2008, 4, 5), 100, 1000);
    enter(epsilon, cv::TradeKind::MarginSale, QDate(2008, 4, 6), 50, 1100);
    enter(epsilon, cv::TradeKind::Reinvestment, QDate(2008, 4, 7), 10, 1000); // kind 31: the mask's bit 31
    enter(epsilon, cv::TradeKind::Sale, QDate(2008, 5, 6), 10, 1200);
    const int zeta = addStock(QStringLiteral("Zeta"));
    enter(zeta, cv::TradeKind::Buy, QDate(2008, 5, 2), 10, 100);
    enter(zeta, cv::TradeKind::Buy, QDate(2008, 5, 2), 5, 100);
    const int delta = addStock(QStringLiteral("Delta"));
    enter(delta, cv::TradeKind::Buy, QDate(2008, 5, 2), 100, 1000);
    enter(delta, cv::TradeKind::Merge, QDate(2008, 5, 3), 100, 0);
    enter(delta, cv::TradeKind::Sale, QDate(2008, 5, 4), 10, 1200);
    // Half of a margin sale bought back before the period: the rest is carried in at the sale's net price.
    const int kappa = addStock(QStringLiteral("Kappa"));
    enter(kappa, cv::TradeKind::MarginSale, QDate(2008, 4, 1), 100, 500, 300);
    enter(kappa, cv::TradeKind::BuyBack, QDate(2008, 4, 15), 40, 450);
    enter(kappa, cv::TradeKind::BuyBack, QDate(2008, 5, 12), 60, 450);
    // A holding opened in the period, its commission in what it cost.
    const int mu = addStock(QStringLiteral("Mu"));
    addHolding(2300, mu, QDate(2008, 5, 3), 10, 100, 50);
    enter(mu, cv::TradeKind::Sale, QDate(2008, 5, 20), 5, 120);
    // A dividend without units, as a statement brings it: the price is its amount.
    const int nu = addStock(QStringLiteral("Nu"));
    enter(nu, cv::TradeKind::Buy, QDate(2008, 5, 2), 10, 1000);
    enter(nu, cv::TradeKind::Dividend, QDate(2008, 5, 25), 0, 29240, 40);

    // clang-format off
    struct Case {
        const char *what;
        int security;
        QStringList lines;
    } cases[] = {
        {"carried holding, buy, sale and dividend", kAlpha,
         {"05/01 | Carried over | 100 | 100,500 | 1,005",
          "05/08 | Broker | Buy | 100 | 1,200 | 120,000 | 600 | 200 | 221,100 | 1,105.5",
          "05/20 | Broker | Sell | 50 | 1,300 | 65,000 | 400 | 150 | 165,825 | 1,105.5 | 9,325",
          "05/28 | Broker | Dividend | 1 | 1,500 | 1,500 | 0 | 150 | 165,825 | 1,105.5 | 1,500",
          "Total of Alpha | 10,825"}},
        {"a margin sale carried in, closed by two buy-backs", beta,
         {"05/01 | Carried over | -100 | -49,700",
          "05/12 | Broker | Buy to Cover | 60 | 450 | 27,000 | 200 | -40 | -19,880 | 2,620",
          "05/22 | Broker | Buy to Cover | 40 | 480 | 19,200 | 150 | 0 | 0 | 530", "Total of Beta | 3,150"}},
        {"a margin buy carried in, then one of the period, closed by two sell-backs", eta,
         {"05/01 | Carried over | 100 | 40,200",
          "05/12 | Broker | Sell to Close | 60 | 450 | 27,000 | 0 | 40 | 16,080 | 2,880",
          "05/14 | Broker | Margin Buy | 20 | 500 | 10,000 | 0 | 60 | 26,080",
          "05/16 | Broker | Sell to Close | 60 | 480 | 28,800 | 0 | 0 | 0 | 2,720", "Total of Eta | 5,600"}},
        {"a bond's fractional margin sale closed whole", theta,
         {"05/01 | Carried over | (10.5) | -1,050",
          "05/05 | Broker | Buy to Cover | 10.5 | 90 | 945 | 0 | 0.00 | 0 | 105",
          "05/06 | Broker | Margin Sell | 5 | 120 | 600 | 0 | (5) | -600",
          "05/07 | Broker | Buy to Cover | 5 | 80 | 400 | 0 | 0.00 | 0 | 200", "Total of Theta | 305"}},
        {"a carried row with an open margin sale keeps its average for a later sale", epsilon,
         {"05/01 | Carried over | 60 | 55,000 | 1,000",
          "05/06 | Broker | Sell | 10 | 1,200 | 12,000 | 0 | 50 | 50,000 | 1,000 | 2,000", "Total of Epsilon | 2,000"}},
        {"two trades of one day: the date shows once", zeta,
         {"05/02 | Broker | Buy | 10 | 100 | 1,000 | 0 | 10 | 1,000 | 100",
          "Broker | Buy | 5 | 100 | 500 | 0 | 15 | 1,500 | 100", "Total of Zeta | 0"}},
        {"a merge to no units, then a sale", delta,
         {"05/02 | Broker | Buy | 100 | 1,000 | 100,000 | 0 | 100 | 100,000 | 1,000",
          "05/03 | Broker | Reverse Split | 100 | 0 | 0 | 0 | 0 | 100,000",
          "05/04 | Broker | Sell | 10 | 1,200 | 12,000 | 0 | -10 | 0 | 0.00 | 12,000", "Total of Delta | 12,000"}},
        {"a margin sale partly bought back before the period", kappa,
         {"05/01 | Carried over | -60 | -29,820",
          "05/12 | Broker | Buy to Cover | 60 | 450 | 27,000 | 0 | 0 | 0 | 2,820", "Total of Kappa | 2,820"}},
        {"a holding opened in the period", mu,
         {"05/03 | Opening holding | 10 | 1,050 | 105",
          "05/20 | Broker | Sell | 5 | 120 | 600 | 0 | 5 | 525 | 105 | 75", "Total of Mu | 75"}},
        {"a dividend without units", nu,
         {"05/02 | Broker | Buy | 10 | 1,000 | 10,000 | 0 | 10 | 10,000 | 1,000",
          "05/25 | Broker | Dividend | 0 | 29,240 | 29,240 | 40 | 10 | 10,000 | 1,000 | 29,200",
          "Total of Nu | 29,200"}},
    };
    // clang-format on
    for (const Case &c : cases) {
        tickSecurities({c.security});
        auto view = report({kSecuritiesKind});
        ASSERT_TRUE(view) << c.what;
        EXPECT_EQ(text(rowLines(*view, 1, kTradeRowsTop)), text(c.lines)) << c.what;
        // With margins of 36 points the columns close up to stay on the paper.
        double rightmost = 0;
        for (const auto &call : drawPage(*view, 1).calls(cv::RecordingCanvas::Op::Text))
            if (call.align == cv::TextAlign::Right) rightmost = std::max(rightmost, call.rect.right());
        EXPECT_LE(rightmost, 842 - 36 + 0.01) << c.what;
    }

    // Four rows past the first buy-back push the second onto page 2 of a
    // short page (595 - 353 - 36 - 70 - 42 = 94: six rows); it still matches
    // margin sale B, whether page 2 follows page 1, comes again, or is alone.
    tickSecurities({gamma});
    cv::PageSetup shortPage = a4(cv::PageSetup::Landscape);
    shortPage.margins.setTop(353);
    const QString secondBuyBack =
        QStringLiteral("05/10 | Broker | Buy to Cover | 40 | 480 | 19,200 | 0 | 0 | 0 | 1,600");
    auto view = report({kSecuritiesKind});
    ASSERT_TRUE(view);
    view->setPageSetup(shortPage);
    ASSERT_EQ(view->pages(), 2);
    const double shortRowsTop = 353 + 60;
    EXPECT_TRUE(
        rowLines(*view, 1, shortRowsTop)
            .contains(QStringLiteral("05/05 | Broker | Buy to Cover | 60 | 450 | 27,000 | 0 | -40 | -20,800 | 3,000")));
    for (int pass = 0; pass < 2; ++pass)
        EXPECT_EQ(rowLines(*view, 2, shortRowsTop).value(1), secondBuyBack) << "pass " << pass;
    auto alone = report({kSecuritiesKind});
    alone->setPageSetup(shortPage);
    const QStringList page2 = rowLines(*alone, 2, shortRowsTop);
    EXPECT_EQ(page2.value(1), secondBuyBack);
    EXPECT_EQ(page2.value(2), QStringLiteral("Total of Gamma | 5,000"));
    // The page head names the security even where the page starts with a dividend.
    EXPECT_EQ(lineAt(drawPage(*alone, 2), 353 + 28), QStringList{QStringLiteral("Gamma")});
}

// With every category the figures are the detail report's (May, below), which
// the period-edge table holds the summary to; an unticked category leaves both
// its expense and the out total.
TEST_F(TradeAndCashFlowReportTest, CashFlowSumsTheCashLikeAccounts)
{
    tickOnly(*doc, {kSalary, kLiving, kWallet, kBank, kCard, kBroker});
    auto view = report({kCashFlowKind});
    ASSERT_TRUE(view);
    ASSERT_EQ(view->pages(), 1);
    QStringList values; // income, in, trades in, in total, expense, out, trades out, out total, net
    for (const QString &line : rowLines(*view, 1, 36 + 28))
        if (line.contains(QLatin1String(" | "))) values << line.section(QStringLiteral(" | "), 1);
    EXPECT_EQ(text(values),
              text({"300,000", "0", "66,500", "366,500", "7,000", "12,000", "121,000", "140,000", "226,500"}));
}

TEST_F(TradeAndCashFlowReportTest, CashFlowDetailItemisesBothSides)
{
    // July, in dollars at 110 yen: savings in dollars (not cash) fed from the
    // wallet and paying into the bank, with an income and an expense of their
    // own that no cash account sees; the card paying into a dollar bank
    // brings in what arrives (60 dollars), not what left (5,500 yen).
    samplebook::currency(*doc, 2, QStringLiteral("USD"), 100, 2);
    ASSERT_TRUE(doc->putRate(samplebook::priceTime(2, QDate(2008, 7, 1), 110)));
    addAccount(2003, QStringLiteral("Dollar savings"), 2)->setKind(cv::NodeKind::GeneralAsset);
    addAccount(2004, QStringLiteral("Dollar bank"), 2);
    doc->commitAccountTrees();
    addEntry(cv::EntryKind::Transfer, QDate(2008, 7, 10), 22000, 0, kWallet, {}, 2003);
    addEntry(cv::EntryKind::Transfer, QDate(2008, 7, 11), 100, 0, 2003, {}, kBank);
    addEntry(cv::EntryKind::Income, QDate(2008, 7, 13), 5, kSalary, 2003);
    addEntry(cv::EntryKind::Expense, QDate(2008, 7, 14), 10, kFood, 2003);
    const cv::EntryPtr toDollars = samplebook::entry(cv::EntryKind::Transfer, QDate(2008, 7, 12), 5500, 0, kCard, 2004);
    toDollars->setConverted(60);
    doc->fixupTransferCategory(*toDollars);
    doc->updateTransfer(toDollars, nullptr);
    // clang-format off
    struct Case {
        const char *what;
        QDate from, to;
        int tier;
        QStringList in, out;
    } cases[] = {
        {"May", kP1, kP2, 0,
         {"Salary | 300,000", "Income Subtotal | 300,000", "Transfers In", "Transfers In Subtotal | 0",
          "Securities Receipts", "Alpha:Sell | 65,000", "Alpha:Dividend | 1,500",
          "Securities Receipts Subtotal | 66,500", "Total Cash In | 366,500"},
         {"Living/Food | 5,000", "Living/Daily | 2,000", "Rent | 80,000", "Expenses Subtotal | 87,000",
          "Transfers Out", "To Card | 12,000", "Transfers Out Subtotal | 12,000", "Securities Payments",
          "Alpha:Buy | 120,000", "Commission | 1,000", "Securities Payments Subtotal | 121,000",
          "Total Cash Out | 220,000", "Net Cash Flow | 146,500"}},
        {"May rolled up to the first level", kP1, kP2, 1, {},
         {"Living | 7,000", "Rent | 80,000", "Expenses Subtotal | 87,000"}},
        {"April: food paid only by card stays with 0", kQ1, kQ2, 0, {},
         {"Living/Food | 0", "Rent | 80,000", "Expenses Subtotal | 80,000"}},
        {"July: dollar savings that are not cash, a transfer into dollar cash", QDate(2008, 7, 1), QDate(2008, 7, 31), 0,
         {"Salary | 0", "Income Subtotal | 0", "Transfers In", "From Dollar savings | 11,000", "From Card | 6,600",
          "Transfers In Subtotal | 17,600", "Securities Receipts", "Securities Receipts Subtotal | 0",
          "Total Cash In | 17,600"},
         {"Living/Food | 0", "Expenses Subtotal | 0", "Transfers Out", "To Dollar savings | 22,000",
          "Transfers Out Subtotal | 22,000"}},
    };
    // clang-format on
    for (const Case &c : cases) {
        auto view = report({.kind = kCashFlowDetailKind, .from = c.from, .to = c.to, .tier = c.tier});
        ASSERT_TRUE(view);
        ASSERT_EQ(view->pages(), 2) << c.what;
        const cv::RecordingCanvas out = drawPage(*view, 2);
        EXPECT_EQ(lineAt(out, 36 + 28), QStringList{QStringLiteral("Cash Out")}) << c.what;
        const QStringList inLines = rowLines(*view, 1, 36 + 46).mid(1);
        const QStringList outLines = rowLines(*view, 2, 36 + 46).mid(1);
        if (!c.in.isEmpty()) {
            EXPECT_EQ(text(inLines), text(c.in)) << c.what;
        }
        EXPECT_EQ(text(outLines.mid(0, c.out.size())), text(c.out)) << c.what;
    }

    // Money from the card into the bank comes in from the card.
    addEntry(cv::EntryKind::Transfer, QDate(2008, 5, 30), 3000, 0, kCard, {}, kBank);
    auto view = report({kCashFlowDetailKind});
    const QStringList in = rowLines(*view, 1, 36 + 46);
    EXPECT_TRUE(in.contains(QStringLiteral("From Card | 3,000"))) << text(in);
    EXPECT_TRUE(in.contains(QStringLiteral("Total Cash In | 369,500"))) << text(in);
    EXPECT_EQ(lineAt(drawPage(*report({kCashFlowKind}), 1), 36 + 28 + 14 + 4 + 28),
              (QStringList{"Transfers In", "3,000"}));
}
