// The investment page in a document window, and pictures of it and of the
// currency page in both languages.
#include "mainwindow/MainWindowTestSupport.h"
#include "support/Screenshots.h"

#include "document/Book.h"
#include "document/UpdateStockCommand.h"
#include "mainwindow/pages/CurrencyPage.h"
#include "mainwindow/pages/InvestmentModel.h"
#include "mainwindow/pages/InvestmentPage.h"
#include "model/AccountDetail.h"
#include "model/OpeningHolding.h"
#include "support/SampleBook.h"
#include "model/Trade.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

using cv::InvestmentPage;
using cv::InvestmentStatus;

namespace {

class InvestmentPageTest : public DelegateTest {
protected:
    void SetUp() override
    {
        DelegateTest::SetUp();
        w = openNewWindow(document, 1100, 560);
        ASSERT_NE(w, nullptr);
        page = qobject_cast<InvestmentPage *>(w->page(cv::BookWindow::InvestmentIndex));
        ASSERT_NE(page, nullptr);
        new QAbstractItemModelTester(page->model(), QAbstractItemModelTester::FailureReportingMode::Fatal,
                                     page->model());
        fillBook();
    }

    cv::SecurityPtr security(const QString &name, int currency, cv::SecurityKind kind, double price)
    {
        auto b = std::make_shared<cv::Security>();
        b->setName(name);
        b->setCurrency(currency);
        b->setKind(kind);
        document->addSecurity(b);
        EXPECT_TRUE(document->putPrice(samplebook::priceTime(b->ident(), QDate(2009, 1, 1), price)));
        return b;
    }
    cv::NodePtr account(int ident, const QString &name, int currency)
    {
        auto node = std::make_shared<cv::Node>();
        node->setIdent(ident);
        node->setKind(cv::NodeKind::Investment);
        node->setCurrency(currency);
        node->setName(name);
        auto detail = std::make_shared<cv::AccountDetail>();
        detail->setDate(QDate(2008, 1, 1));
        node->setExtra(detail);
        auto cash = std::make_shared<cv::Node>();
        cash->setKind(cv::NodeKind::CashPart);
        cash->setIdent(0);
        cash->setCurrency(currency);
        node->appendChild(cash);
        document->accountTrees()->asset()->appendChild(node);
        return node;
    }
    void trade(cv::TradeKind kind, const QDate &date, const cv::NodePtr &in, const cv::SecurityPtr &b, double count,
               double price, double commission, const QString &memo = {})
    {
        document->addSecurityNodeIfNeeded(in, b->ident());
        auto t = std::make_shared<cv::Trade>();
        t->setKind(kind);
        t->setDate(date);
        t->setAccount(in->ident());
        t->setSecurity(b->ident());
        t->setCount(count);
        t->setUnitPrice(price);
        t->setCommission(commission);
        t->setMemo(memo);
        EXPECT_TRUE(document->store()->putTrade(t));
    }
    // A yen account with a stock bought, partly sold and paying a dividend,
    // and a dollar account with a fund, at a rate of 100 yen.
    void fillBook()
    {
        auto usd = std::make_shared<cv::Currency>();
        usd->setIdent(2);
        usd->setName(QStringLiteral("US Dollar"));
        usd->setAbbr(QStringLiteral("USD"));
        usd->setPrefix(QStringLiteral("$"));
        usd->setFraction(2);
        usd->setRate(100);
        document->addCurrency(usd);
        document->commitCurrencyList();
        const auto stock = security(QStringLiteral("Corvane Motors"), 1, cv::SecurityKind::Stock, 1100);
        const auto fund = security(QStringLiteral("World Fund"), 2, cv::SecurityKind::InvestmentTrust, 12.5);
        const auto yen = account(2000, QStringLiteral("Broker"), 1);
        const auto dollar = account(2001, QStringLiteral("Dollar broker"), 2);
        trade(cv::TradeKind::Buy, QDate(2009, 1, 10), yen, stock, 100, 1000, 500, QStringLiteral("first lot"));
        trade(cv::TradeKind::Sale, QDate(2009, 2, 10), yen, stock, 40, 1200, 300);
        trade(cv::TradeKind::Dividend, QDate(2009, 3, 10), yen, stock, 60, 10, 0);
        trade(cv::TradeKind::Buy, QDate(2009, 1, 20), dollar, fund, 80, 10.25, 5);
        document->commitAccountTrees();
        w->setReportDate(QDate(2009, 3, 31));
    }

    cv::Book *document = nullptr;
    cv::BookWindow *w = nullptr;
    InvestmentPage *page = nullptr;
};

TEST_F(InvestmentPageTest, EnteringBuildsTheReportWithTheAccountsExpanded)
{
    w->selectTabWithIdentifier(QStringLiteral("TB06"));
    cv::InvestmentModel *model = page->model();
    ASSERT_EQ(model->rowCount(), 3) << "two accounts and the total";
    EXPECT_EQ(model->index(2, InvestmentStatus::Name).data().toString(), cv::localizedString("Summary Column"));
    for (int row = 0; row < 3; ++row) EXPECT_TRUE(page->outline()->isExpanded(model->index(row, 0))) << row;
    const QModelIndex holding = model->index(0, 0, model->index(0, 0));
    EXPECT_FALSE(page->outline()->isExpanded(holding));
    EXPECT_EQ(model->rowCount(holding), 3);
    EXPECT_EQ(model->index(0, InvestmentStatus::BookCost, model->index(0, 0)).data().toString(), "60,300");

    // The dollar account's market value 1,000 is 100,000 yen in the total.
    const QModelIndex total = model->index(2, InvestmentStatus::MarketValue);
    EXPECT_EQ(total.data().toString(), "166,000");
    const QModelIndex dollars = model->index(1, InvestmentStatus::MarketValue);
    EXPECT_EQ(dollars.data().toString(), "1,000.00");
    page->convertBox()->setChecked(true);
    EXPECT_EQ(dollars.data().toString(), "100,000");
    EXPECT_EQ(model->index(1, InvestmentStatus::Prefix).data().toString(), "");
    EXPECT_EQ(total.data().toString(), "166,000");

    // A date before the first trade leaves the accounts empty.
    w->performInputDate(QDate(2009, 1, 5));
    EXPECT_EQ(page->report().date(), QDate(2009, 1, 5));
    EXPECT_EQ(model->rowCount(model->index(0, 0)), 0);

    w->performInputDate(QDate(2009, 3, 31));
    const QString pdf = cvtest::screenshotPath(QStringLiteral("investment-page.pdf"));
    EXPECT_TRUE(w->printView(delegate->preference(), cv::PrintRunner::Mode::Pdf, pdf).printed);
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    EXPECT_EQ(page->investmentStatusCallback(cv::InvestmentsPrintParam(cv::PrintedPagesParam::Header, nullptr)).size(),
              11);
}

// A price recorded over the bus while the page shows is on screen at once;
// only values change, so the rows keep their place and their expansion.
TEST_F(InvestmentPageTest, APriceFromScriptingShowsAtOnceWithoutAReset)
{
    w->selectTabWithIdentifier(QStringLiteral("TB06"));
    cv::InvestmentModel *model = page->model();
    const QPersistentModelIndex stock = model->index(0, InvestmentStatus::MarketValue, model->index(0, 0));
    ASSERT_EQ(stock.data().toString(), "66,000");
    page->outline()->expand(model->index(0, 0, model->index(0, 0)));
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);

    document->securityList().front()->setSymbol(QStringLiteral("CVM"));
    cv::UpdateStockCommand command(QStringLiteral("CVM"), {{"Price", "1500"}, {"Date", "2009-03-20"}});
    ASSERT_EQ(command.performDefaultImplementation({document}), std::nullopt);
    QCoreApplication::processEvents();
    EXPECT_GT(changed.count(), 0);
    EXPECT_EQ(resets.count(), 0);
    ASSERT_TRUE(stock.isValid());
    EXPECT_EQ(stock.data().toString(), "90,000");
    EXPECT_EQ(model->index(2, InvestmentStatus::MarketValue).data().toString(), "190,000");
    EXPECT_TRUE(page->outline()->isExpanded(model->index(0, 0, model->index(0, 0))));
}

using CurrencyInvestShot = InLanguages<InvestmentPageTest>;

TEST_P(CurrencyInvestShot, BothPages)
{
    w->setTopDate(QDate::currentDate().addDays(-2));
    for (const auto &[id, file] : {std::pair{"TB05", "window-currency"}, {"TB06", "window-investment"}}) {
        w->selectTabWithIdentifier(QLatin1String(id));
        // The first holding shows its trades.
        page->outline()->expand(page->model()->index(0, 0, page->model()->index(0, 0)));
        QApplication::processEvents();
        EXPECT_TRUE(cvtest::saveScreenshot(*w, language(), QLatin1String(file)));
    }
    w->hide();
}

INSTANTIATE_TEST_SUITE_P(Languages, CurrencyInvestShot, ::testing::Values("en", "ja"));

} // namespace
