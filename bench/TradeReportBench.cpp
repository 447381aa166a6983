// The securities trade report over 50 securities and 100,000 trades (a book
// written here through the trade write path), and the two cash-flow reports
// over a generated book (cv-gen-book): rows built and pages counted.
//   cv-trade-report-bench [--book=PATH.cvv2] [benchmark flags]

#include "document/store/BookStore.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "gen/BookBenchRun.h"
#include "gen/BookGenerator.h"
#include "ReportBenchSupport.h"
#include "model/AccountDetail.h"
#include "model/Trade.h"
#include "reports/SecuritiesTradeReport.h"
#include "reports/CashFlowReport.h"
#include "reports/CashFlowDetailReport.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <set>

namespace {

QString g_book;
constexpr int kSecurities = 50;
constexpr int kTrades = 100000;
const QDate kFirstTrade(2005, 1, 1);
const QDate kLastTrade(2024, 12, 31);

cv::PageSetup a4(int orientation)
{
    return cv::bench::a4(QMarginsF(36, 36, 36, 36), orientation);
}

// Each security cycles through buys, a sale, a dividend and closed margin trades.
constexpr struct {
    cv::TradeKind kind;
    double count;
} kCycle[] = {{cv::TradeKind::Buy, 100},      {cv::TradeKind::Buy, 50},        {cv::TradeKind::Sale, 80},
              {cv::TradeKind::Dividend, 1},   {cv::TradeKind::MarginSale, 40}, {cv::TradeKind::BuyBack, 40},
              {cv::TradeKind::MarginBuy, 30}, {cv::TradeKind::SellBack, 30},   {cv::TradeKind::Buy, 10},
              {cv::TradeKind::Sale, 10}};

bool makeTradeBook(cv::Book &doc)
{
    if (!doc.store()->create()) return false;
    doc.categoryTrees()->setDefault();
    doc.categoryTrees()->setSystemItems();
    doc.accountTrees()->setSystemItems();
    doc.addCurrency(cv::Currency::currencyWith(QStringLiteral("円"), QStringLiteral("JPY"), QStringLiteral("¥"), 0));
    auto opening = std::make_shared<cv::AccountDetail>();
    opening->setDate(kFirstTrade);
    auto broker = std::make_shared<cv::Node>();
    broker->setIdent(1000);
    broker->setKind(cv::NodeKind::Investment);
    broker->setName(QStringLiteral("証券口座"));
    broker->setExtra(opening);
    auto cash = std::make_shared<cv::Node>();
    cash->setKind(cv::NodeKind::CashPart);
    broker->appendChild(cash);
    doc.accountTrees()->asset()->appendChild(broker);
    for (int i = 0; i < kSecurities; ++i) {
        auto security = std::make_shared<cv::Security>();
        security->setName(QStringLiteral("銘柄 %1").arg(i + 1));
        security->setOutlineState(1);
        doc.addSecurity(security);
    }
    doc.commitAccountTrees();
    doc.commitCategoryTrees();
    doc.commitSecurityList();
    doc.createCache();

    const int days = int(kFirstTrade.daysTo(kLastTrade));
    std::set<cv::SecurityPtr> touched;
    cv::EditScope edit(doc);
    for (int i = 0; i < kTrades; ++i) {
        const int step = i / kSecurities;
        const auto &plan = kCycle[step % std::size(kCycle)];
        auto trade = std::make_shared<cv::Trade>();
        trade->setKind(plan.kind);
        trade->setSecurity(doc.securityList()[size_t(i % kSecurities)]->ident());
        trade->setAccount(broker->ident());
        trade->setDate(kFirstTrade.addDays(qint64(i) * days / kTrades));
        trade->setCount(plan.count);
        trade->setUnitPrice(1000 + step % 97);
        trade->setCommission(plan.kind == cv::TradeKind::Dividend ? 0 : 100);
        trade->setFlags(cv::EditNew);
        doc.applyTrade(trade, broker, {}, touched, false);
    }
    return true;
}

cv::Book *tradeBook()
{
    static cv::Book *doc = [] {
        auto *d = new cv::Book;
        if (!makeTradeBook(*d)) {
            delete d;
            return static_cast<cv::Book *>(nullptr);
        }
        return d;
    }();
    return doc;
}

// The trade report of every security over one year, or over the book's whole span.
void securities_trade_report(benchmark::State &state, const QDate &from, const QDate &to)
{
    cv::Book *doc = tradeBook();
    if (!doc) {
        state.SkipWithError("the trade book could not be written");
        return;
    }
    int rows = 0, pages = 0;
    for (auto _ : state) {
        auto view = cv::SecuritiesTradeReport::make(*doc, doc->securityList(), from, to, a4(cv::PageSetup::Landscape));
        rows = int(view->data().size());
        pages = view->pages();
    }
    state.counters["rows"] = rows;
    state.counters["pages"] = pages;
}

void cash_flow(benchmark::State &state, bool detail, int months)
{
    static cv::Book *doc = [] {
        auto *d = new cv::Book;
        return cv::bench::openBook(*d, g_book) ? d : nullptr;
    }();
    if (!doc) {
        state.SkipWithError("the book does not open");
        return;
    }
    const QDate to = cv::bench::BookOptions().lastDay;
    const QDate from = to.addDays(1).addMonths(-months);
    int pages = 0;
    for (auto _ : state) {
        std::unique_ptr<cv::Report> view;
        if (detail)
            view = cv::CashFlowDetailReport::make(*doc, std::nullopt, 0, from, to, a4(cv::PageSetup::Portrait));
        else
            view = cv::CashFlowReport::make(*doc, std::nullopt, from, to, a4(cv::PageSetup::Portrait));
        pages = view->pages();
    }
    state.counters["pages"] = pages;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cv::bench::BookBenchRun run(argc, argv);
    g_book = run.book;

    benchmark::RegisterBenchmark("securities_trade_report/100k/year", securities_trade_report, QDate(2020, 1, 1),
                                 QDate(2020, 12, 31))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("securities_trade_report/100k/all", securities_trade_report, kFirstTrade, kLastTrade)
        ->Unit(benchmark::kMillisecond);
    if (!g_book.isEmpty()) {
        for (int months : {1, 12, 240}) {
            benchmark::RegisterBenchmark(QStringLiteral("cash_flow_detail_report/%1m").arg(months).toUtf8().constData(),
                                         cash_flow, true, months)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(QStringLiteral("cash_flow_report/%1m").arg(months).toUtf8().constData(),
                                         cash_flow, false, months)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return run.runBenchmarks();
}
