#pragma once
// The panel test book with an investment account (cash part first), a yen
// stock, trust and bond and a dollar stock, and helpers that pick in the
// trade panel's choosers as a user does.

#include "panels/PanelTestSupport.h"
#include "support/EntryPage.h"

#include "model/Security.h"
#include "model/EditFlags.h"
#include "panels/entry/TradePanel.h"

#include <gtest/gtest.h>

namespace paneltest {

inline const QDate kFeb1(2009, 2, 1);
inline const QDate kFeb28(2009, 2, 28);
inline constexpr int kInvest = 1101;
inline constexpr int kInvest2 = 1102;
inline constexpr int kStock = 1;
inline constexpr int kTrust = 2;
inline constexpr int kBond = 3;
inline constexpr int kDollarStock = 4;

inline cv::NodePtr addInvestAccount(cv::Book &doc, int ident, const QString &name)
{
    auto record = std::make_shared<cv::AccountDetail>();
    record->setDate(QDate(2009, 1, 1));
    record->setInitialValue(1000000);
    auto account = samplebook::node(doc.accountTrees()->asset(), ident, cv::NodeKind::Investment, name, record);
    auto cash = std::make_shared<cv::Node>();
    cash->setKind(cv::NodeKind::CashPart);
    cash->setIdent(0);
    account->appendChild(cash);
    return account;
}

inline std::unique_ptr<cv::Book> makeTradeBook()
{
    auto doc = makeBook();
    if (!doc) return nullptr;
    const struct {
        int ident;
        const char *name;
        cv::SecurityKind kind;
        int currency;
    } securities[] = {{kStock, "Toyo Motors", cv::SecurityKind::Stock, 1},
                      {kTrust, "Global Fund", cv::SecurityKind::InvestmentTrust, 1},
                      {kBond, "JGB 10", cv::SecurityKind::Bond, 1},
                      {kDollarStock, "Acme", cv::SecurityKind::Stock, 2}};
    for (const auto &b : securities) {
        auto security = std::make_shared<cv::Security>();
        security->setIdent(b.ident);
        security->setName(QString::fromLatin1(b.name));
        security->setKind(b.kind);
        security->setCurrency(b.currency);
        doc->addSecurity(security);
    }
    addInvestAccount(*doc, kInvest, QStringLiteral("Broker"));
    addInvestAccount(*doc, kInvest2, QStringLiteral("NISA"));
    doc->createCache();
    return doc;
}

// A trade written through the document's trade application, as a panel writes a new row.
inline cv::TradePtr storeTrade(cv::Book &doc, int account, cv::TradeKind kind, int security, const QDate &date,
                               double count, double price, double commission = 0, const QString &memo = QString())
{
    auto t = std::make_shared<cv::Trade>();
    t->setKind(kind);
    t->setAccount(account);
    t->setSecurity(security);
    t->setDate(date);
    t->setCount(count);
    t->setUnitPrice(price);
    t->setCommission(commission);
    t->setMemo(memo);
    t->setFlags(cv::EditNew);
    std::set<cv::SecurityPtr> securities;
    doc.applyTrade(t, doc.findAccount(account), {}, securities, true);
    doc.applySecurities(securities);
    t->setFlags(0);
    return t;
}

inline std::unique_ptr<cv::TradePanel> openTrades(cv::Book &doc, const cv::NodePtr &subject, const QDate &from,
                                                  const QDate &to)
{
    auto panel = std::make_unique<cv::TradePanel>(&doc, subject, from, to);
    panel->resize(1000, 320);
    panel->show();
    QApplication::processEvents(); // the deferred edit of the new row
    return panel;
}

inline void pickSecurity(cv::TradePanel &panel, int row, int security)
{
    const cv::ChooserItem item = cv::ChooserItem::fromSecurity(panel.doc()->findSecurity(security));
    EXPECT_TRUE(cvtest::page::Entries(&panel).choose(cv::TradePanel::SecurityColumn, row, item)) << security;
}

inline void pickKind(cv::TradePanel &panel, int row, cv::TradeKind kind)
{
    const cv::ChooserItem item = cv::ChooserItem::fromTradeKind(kind);
    EXPECT_TRUE(cvtest::page::Entries(&panel).choose(cv::TradePanel::KindColumn, row, item)) << cv::raw(kind);
}

inline std::vector<cv::TradePtr> storedTrades(cv::Book &doc, int account = kInvest)
{
    return doc.store()->findTradeFrom(QDate(), QDate(), account, -1, 0).value_or(std::vector<cv::TradePtr>{});
}

// A fresh trade book in English, its first investment account at hand.
class TradeBookTest : public BookTest {
protected:
    void SetUp() override
    {
        BookTest::SetUp();
        if (HasFatalFailure()) return;
        invest = doc->findAccount(kInvest);
    }
    std::unique_ptr<cv::Book> makeDocument() override { return makeTradeBook(); }
    cv::NodePtr invest;
};

} // namespace paneltest
