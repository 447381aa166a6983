// The write path keeps the cache equal to a fresh rebuild; lists, lookups and
// currency helpers.

#include "document/BookTestSupport.h"
#include "document/CacheSnapshot.h"

#include "platform/ScriptedAlertPresenter.h"
#include "document/EditScope.h"
#include "model/LoanPayment.h"
#include "model/LoanTerms.h"
#include "platform/Localization.h"

#include <cmath>
#include <map>
#include <optional>
#include <random>

namespace {

// Every account's balance and every category's total of the year at each
// month end, keyed by tree path (another book has other nodes).
std::map<QString, double> monthEndFigures(cv::Book &doc)
{
    std::map<QString, double> out;
    const auto walk = [&](const auto &self, const cv::NodePtr &node, const QString &key, bool account) -> void {
        for (QDate end(2010, 1, 31); end.year() == 2010; end = end.addDays(1).addMonths(1).addDays(-1))
            out[key + end.toString(Qt::ISODate)] =
                account ? doc.rawValueForAccount(node, end)
                        : doc.summaryForCategoryDays(node, {2010, 1, 1}, end.dayOfYear());
        for (int i = 0; i < node->countChild(); ++i)
            self(self, node->childAt(i), key + QStringLiteral("/%1:%2").arg(i).arg(node->childAt(i)->ident()), account);
    };
    for (const auto &root : {doc.accountTrees()->asset(), doc.accountTrees()->debt()}) walk(walk, root, {}, true);
    for (const auto &root : {doc.categoryTrees()->income(), doc.categoryTrees()->expense()})
        walk(walk, root, {}, false);
    return out;
}

} // namespace

// Random entries (some filed on folders), transfers, trades in two brokers of
// two currencies (units moved between them, margin trades), a loan, a
// category moved into a folder in each tree and a folder's last category
// moved out: the incremental cache, a full rebuild and a reopened file give
// the same figures.
TEST_F(DocumentTest, IncrementalEditsEqualAFreshRebuild)
{
    addCurrency(1, QStringLiteral("JPY"), 1.0, 0);
    addCurrency(2, QStringLiteral("USD"), 100.0, 2);
    for (int d = 1; d <= 28; d += 9) {
        ASSERT_TRUE(samplebook::putRate(*doc, 2, day(2010, 3, d), 90 + d));
    }
    const auto assets = doc->accountTrees()->asset();
    addAccount(assets, 10, 30, 1000);
    addAccount(assets, 1000, 31, 5000);
    addAccount(assets, 1001, 31, 100, 2);
    auto invest = addAccount(assets, 1002, 32, 10000);
    auto dollarBroker = addAccount(assets, 1006, 32, 500, 2);
    addAccount(assets, 1003, 33, 0);
    addAccount(doc->accountTrees()->debt(), 1004, 40, 0);
    addAccount(doc->accountTrees()->debt(), 1005, 42, 0, 2);
    auto salaries = addCategory(doc->categoryTrees()->income(), 1100, 20);
    addCategory(salaries, 1101);
    addCategory(salaries, 1102);
    addCategory(doc->categoryTrees()->income(), 1103);
    auto living = addCategory(doc->categoryTrees()->expense(), 1200, 20);
    addCategory(living, 1201);
    addCategory(living, 1202);
    addCategory(doc->categoryTrees()->expense(), 1203);
    // A folder whose only category moves out at the end: a category again.
    addCategory(addCategory(doc->categoryTrees()->expense(), 1300, 20), 1301);
    addSecurity(QStringLiteral("Y"), 1);
    addSecurity(QStringLiteral("D"), 2);
    doc->createCache();

    auto terms = std::make_shared<cv::LoanTerms>();
    terms->setDate(day(2010, 2, 1));
    terms->setInitialValue(300000);
    terms->setInAccount(1000);
    const auto loan =
        samplebook::node(doc->accountTrees()->debt(), 1007, cv::NodeKind::Loan, QStringLiteral("L"), terms);
    cv::LoanSchedule payments;
    for (int month = 3; month <= 11; ++month) {
        auto row = std::make_shared<cv::LoanPayment>();
        row->setDate(day(2010, month, 27));
        row->setAccount(month % 2 ? 1000 : 10);
        row->setPrincipal(20000);
        row->setInterest(700 - month * 10);
        payments.push_back(row);
    }

    const int accounts[] = {10, 1000, 1001, 1002, 1003, 1004, 1005, 1006};
    // The folders carry entries too (a category that later became a folder).
    const int incomes[] = {1101, 1102, 1103, 31, 1100};
    const int expenses[] = {1201, 1202, 1203, 30, 32, 33, 1200, 1300, 1301};
    const cv::NodePtr brokers[] = {invest, dollarBroker};
    std::mt19937 rng(7);
    auto pick = [&](auto &array) { return array[rng() % std::size(array)]; };
    auto randomDate = [&] { return day(2010, 1, 1).addDays(int(rng() % 365)); };
    auto amount = [&] { return double(rng() % 100000) / 100.0 + 1; };

    std::vector<cv::EntryPtr> entries;
    std::vector<cv::TradePtr> trades;
    ASSERT_TRUE(doc->store()->beginTransaction());
    for (int op = 0; op < 3000; ++op) {
        const unsigned what = rng() % 10;
        if (what < 3 || entries.empty()) {
            const auto kind = cv::EntryKind(rng() % 3);
            cv::EntryPtr e;
            if (kind == cv::EntryKind::Transfer) {
                int from = pick(accounts), to = pick(accounts);
                while (to == from) to = pick(accounts);
                e = makeEntry(cv::EntryKind::Transfer, randomDate(), amount(), 0, from, to);
                if (rng() % 4 == 0) e->setConverted(amount());
                doc->fixupTransferCategory(*e);
                doc->updateTransfer(e, nullptr);
            } else {
                e = makeEntry(kind, randomDate(), amount(),
                              kind == cv::EntryKind::Income ? pick(incomes) : pick(expenses), pick(accounts));
                kind == cv::EntryKind::Income ? doc->updateIncome(e, nullptr) : doc->updateExpense(e, nullptr);
            }
            ASSERT_GT(e->ident(), 0);
            entries.push_back(e);
        } else if (what < 6) {
            const size_t i = rng() % entries.size();
            const cv::EntryPtr e = entries[i];
            const cv::EntryPtr old = e->clone();
            switch (rng() % 4) {
            case 0: e->setDate(randomDate()); break;
            case 1:
                if (e->kind() != cv::EntryKind::Transfer)
                    e->setCategory(e->kind() == cv::EntryKind::Income ? pick(incomes) : pick(expenses));
                break;
            case 2: {
                e->setAccount(pick(accounts));
                if (e->kind() == cv::EntryKind::Transfer) {
                    if (e->account() == e->destination()) e->setAccount(e->destination() == 10 ? 1000 : 10);
                    doc->fixupTransferCategory(*e);
                }
                break;
            }
            default: e->setAmount(amount()); break;
            }
            switch (e->kind()) {
            case cv::EntryKind::Income: doc->updateIncome(e, old); break;
            case cv::EntryKind::Expense: doc->updateExpense(e, old); break;
            default: doc->updateTransfer(e, old); break;
            }
        } else if (what < 8) {
            const size_t i = rng() % entries.size();
            const cv::EntryPtr e = entries[i];
            switch (e->kind()) {
            case cv::EntryKind::Income: doc->updateIncome(nullptr, e); break;
            case cv::EntryKind::Expense: doc->updateExpense(nullptr, e); break;
            default: doc->updateTransfer(nullptr, e); break;
            }
            entries.erase(entries.begin() + std::ptrdiff_t(i));
        } else if (what < 9 || trades.empty()) {
            static const cv::TradeKind kinds[] = {
                cv::TradeKind::Buy,        cv::TradeKind::Sale,      cv::TradeKind::Dividend,
                cv::TradeKind::Split,      cv::TradeKind::MarginBuy, cv::TradeKind::SellBack,
                cv::TradeKind::MarginSale, cv::TradeKind::BuyBack,   cv::TradeKind::TransferUnits};
            const size_t from = rng() % 2;
            const cv::TradeKind kind = pick(kinds);
            // A dividend without units, as a statement brings it.
            const double count = kind == cv::TradeKind::Dividend && rng() % 2 ? 0 : double(1 + rng() % 50);
            auto t = makeTrade(kind, randomDate(), brokers[from]->ident(), int(1 + rng() % 2), count,
                               double(1 + rng() % 300), double(rng() % 20));
            if (kind == cv::TradeKind::TransferUnits) t->setTransfer(brokers[1 - from]->ident());
            std::set<cv::SecurityPtr> securities;
            doc->applyTrade(t, brokers[from], {}, securities, false);
            if (!(t->flags() & cv::EditDeleted)) trades.push_back(t);
        } else {
            const size_t i = rng() % trades.size();
            const cv::TradePtr t = trades[i];
            const cv::TradePtr old = t->clone();
            std::map<cv::TradePtr, cv::TradePtr> olds{{t, old}};
            std::set<cv::SecurityPtr> securities;
            if (rng() % 2) {
                t->setFlags(cv::EditDeleted);
                trades.erase(trades.begin() + std::ptrdiff_t(i));
            } else {
                t->setFlags(cv::EditChanged);
                t->setDate(randomDate());
                t->setCommission(double(rng() % 20));
            }
            doc->applyTrade(t, doc->findAccount(t->account()), olds, securities, false);
        }
        if (op % 500 == 0) doc->accumulateAccount();
        if (op == 1000) doc->putLoan(loan, payments);
        // A category with entries moves into a folder: the folders of both trees sum again.
        if (op == 2000) {
            ASSERT_TRUE(doc->moveNodes({doc->findExpense(1203)}, living, 0));
            ASSERT_TRUE(doc->moveNodes({doc->findIncome(1103)}, salaries, 0));
        }
    }
    ASSERT_TRUE(doc->moveNodes({doc->findExpense(1301)}, doc->categoryTrees()->expense(), 0));
    const cv::NodePtr ungrouped = doc->findExpense(1300);
    ASSERT_EQ(ungrouped->kind(), cv::NodeKind::Category);
    ASSERT_TRUE(doc->store()->commitTransaction());
    doc->accumulateAccount();
    const Snapshot incremental = snapshot(doc->cache());
    ASSERT_GT(incremental.size(), 1000u);
    const auto figures = monthEndFigures(*doc);
    doc->createCache();
    expectSameSeries(incremental, snapshot(doc->cache()));

    cv::BookTestAccess::commitInfoRows(*doc);
    const QString path = tmp.filePath(QStringLiteral("Random.cvv2"));
    ASSERT_TRUE(doc->writeToFile(path, cv::Book::kTypeV2));
    cv::Book reopened;
    ASSERT_TRUE(reopened.initWithContentsOfFile(path, cv::Book::kTypeV2));
    const auto again = monthEndFigures(reopened);
    ASSERT_EQ(again.size(), figures.size());
    for (const auto &[key, value] : figures)
        ASSERT_NEAR(again.at(key), value, 1e-6 * std::max(1.0, std::abs(value))) << key.toStdString();

    // Delete Category asks while the category has entries in the cache, and takes them along.
    ASSERT_TRUE(doc->hasCache(ungrouped));
    doc->deleteNode(ungrouped);
    cv::SearchConditions filed;
    filed.category = {1300};
    EXPECT_TRUE(doc->reads().findEntry(filed).value_or(cv::EntryList()).empty());
    const Snapshot afterDelete = snapshot(doc->cache());
    doc->createCache();
    expectSameSeries(afterDelete, snapshot(doc->cache()));
}

TEST_F(DocumentTest, ListIdentRulesAndOrder)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    addCurrency(2, QStringLiteral("USD"), 1, 2);
    EXPECT_EQ(addCurrency(100, QStringLiteral("XXX"), 1, 2)->ident(), 100);
    EXPECT_EQ(addCurrency(100, QStringLiteral("YYY"), 1, 2)->ident(), 101);

    EXPECT_EQ(addSecurity(QStringLiteral("first"), 1)->ident(), 1);
    auto b = std::make_shared<cv::Security>();
    b->setIdent(5);
    doc->setSecurityList({doc->securityList()[0], b});
    EXPECT_EQ(addSecurity(QStringLiteral("next"), 1)->ident(), 6);

    auto g = std::make_shared<cv::Grouping>();
    g->setIdent(42);
    doc->addGrouping(g);
    EXPECT_EQ(g->ident(), 1);

    auto order = [](int from, int to) {
        std::vector<QString> list{"A", "B", "C", "D"};
        cv::BookTestAccess::changeElementOrder(list, from, to);
        return list;
    };
    EXPECT_EQ(order(0, 3), (std::vector<QString>{"B", "C", "A", "D"}));
    EXPECT_EQ(order(3, 0), (std::vector<QString>{"D", "A", "B", "C"}));
    EXPECT_EQ(order(1, 9), (std::vector<QString>{"A", "C", "D", "B"}));
    EXPECT_EQ(order(7, 0), (std::vector<QString>{"A", "B", "C", "D"}));
}

TEST_F(DocumentTest, NewDefaultCurrencyRescalesRates)
{
    addCurrency(1, QStringLiteral("JPY"), 1.0, 0);
    auto usd = addCurrency(2, QStringLiteral("USD"), 95.0, 2);
    auto eur = addCurrency(3, QStringLiteral("EUR"), 130.0, 2);
    ASSERT_TRUE(samplebook::putRate(*doc, 2, day(2009, 6, 1), 95));
    doc->changeCurrencyOrder(1, 0);
    doc->reinitializeCurrencyData();
    EXPECT_EQ(doc->defaultCurrency(), usd);
    EXPECT_DOUBLE_EQ(usd->rate(), 1.0);
    EXPECT_NEAR(doc->findCurrency(1)->rate(), 0.010526, 1e-6);
    EXPECT_NEAR(eur->rate(), 1.368421, 1e-6);
    for (int ident : {1, 2, 3}) EXPECT_TRUE(doc->store()->getRateListForCurrency(ident)->empty());
    EXPECT_FALSE(doc->isForeignCurrency(2));
    EXPECT_FALSE(doc->isForeignCurrency(0));
    EXPECT_TRUE(doc->isForeignCurrency(1));
}

TEST_F(DocumentTest, LookupsNeverAnswerStaleObjects)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    auto bank = addAccount(doc->accountTrees()->asset(), 1000, 31, 0);
    EXPECT_EQ(doc->findAccount(1000), bank);
    EXPECT_EQ(cv::BookTestAccess::findAsset(*doc, 1000), bank);
    EXPECT_EQ(cv::BookTestAccess::findDebt(*doc, 1000), nullptr);
    doc->accountTrees()->asset()->removeChild(bank);
    EXPECT_EQ(doc->findAccount(1000), nullptr); // still alive, but out of the tree

    auto food = addCategory(doc->categoryTrees()->expense(), 1005);
    EXPECT_EQ(doc->findExpense(1005), food);
    EXPECT_EQ(doc->findIncome(1005), nullptr);
    cv::BookTestAccess::setCategoryTrees(*doc, std::make_shared<cv::CategoryTrees>());
    EXPECT_EQ(doc->findExpense(1005), nullptr);

    // A remembered miss is forgotten once the currency arrives.
    EXPECT_EQ(doc->findCurrency(7), nullptr);
    auto c7 = addCurrency(7, QStringLiteral("GBP"), 150, 2);
    EXPECT_EQ(doc->findCurrency(7), c7);
    cv::BookTestAccess::setCurrencyList(*doc, {doc->currencyList()[0]});
    EXPECT_EQ(doc->findCurrency(7), nullptr);
    EXPECT_EQ(doc->findCurrency(0), doc->defaultCurrency());

    auto s = addSecurity(QStringLiteral("S"), 1);
    EXPECT_EQ(doc->findSecurity(s->ident()), s);
    doc->removeSecurity(s);
    EXPECT_EQ(doc->findSecurity(s->ident()), nullptr);
}

TEST_F(DocumentTest, EmptyTradeRowsAreDroppedAndHoldingsAdded)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    auto invest = addAccount(doc->accountTrees()->asset(), 1003, 32, 0);
    auto other = addAccount(doc->accountTrees()->asset(), 1004, 32, 0);
    auto s = addSecurity(QStringLiteral("S"), 1);
    std::set<cv::SecurityPtr> securities;

    auto nothing = makeTrade(cv::TradeKind::Buy, day(2009, 6, 5), 1003, s->ident(), 0, 0);
    doc->applyTrade(nothing, invest, {}, securities, true);
    EXPECT_TRUE(nothing->flags() & cv::EditDeleted);
    EXPECT_EQ(nothing->ident(), -1);
    EXPECT_TRUE(doc->store()->findTradeFrom(QDate(), QDate(), -1, -1, 0)->empty());
    EXPECT_TRUE(securities.empty());

    auto buy = makeTrade(cv::TradeKind::Buy, day(2009, 6, 5), 1003, s->ident(), 10, 100);
    doc->applyTrade(buy, invest, {}, securities, true);
    EXPECT_GT(buy->ident(), 0);
    EXPECT_TRUE(invest->investmentAccountHoldsSecurity(s->ident()));
    EXPECT_EQ(securities.count(s), 1u);
    EXPECT_EQ(doc->store()->getPriceListForSecurity(s->ident())->size(), 1u);
    EXPECT_EQ(doc->displayName(*invest->childAt(1)), QStringLiteral("S"));

    auto move = makeTrade(cv::TradeKind::TransferUnits, day(2009, 6, 6), 1003, s->ident(), 4, 0);
    move->setTransfer(1004);
    doc->applyTrade(move, invest, {}, securities, true);
    doc->accumulateAccount();
    EXPECT_DOUBLE_EQ(doc->tradingAccount(1003, s->ident(), day(2009, 6, 30)), 6);
    EXPECT_DOUBLE_EQ(doc->tradingAccount(1004, s->ident(), day(2009, 6, 30)), 4);

    // A destination that is gone: the row is dropped and the user told.
    ScriptedAlertPresenter alerts;
    auto lost = makeTrade(cv::TradeKind::TransferUnits, day(2009, 6, 7), 1003, s->ident(), 1, 0);
    lost->setTransfer(4242);
    doc->applyTrade(lost, invest, {}, securities, true);
    EXPECT_TRUE(lost->flags() & cv::EditDeleted);
    EXPECT_EQ(lost->ident(), -1);
    EXPECT_EQ(alerts.asked.size(), 1u);
    (void)other;
}

TEST_F(DocumentTest, CleanupAndMoveKeepBalancesOfAFreshRebuild)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    auto wallet = addAccount(doc->accountTrees()->asset(), 10, 30, 0);
    auto bank = addAccount(doc->accountTrees()->asset(), 1000, 31, 0);
    auto food = addCategory(doc->categoryTrees()->expense(), 1005);
    auto fun = addCategory(doc->categoryTrees()->expense(), 1006);
    doc->updateExpense(makeEntry(1, day(2009, 6, 1), 100, 1005, 10), nullptr);
    doc->updateExpense(makeEntry(1, day(2009, 6, 2), 200, 1005, 1000), nullptr);
    doc->updateExpense(makeEntry(1, day(2009, 6, 3), 300, 1006, 1000), nullptr);
    auto t = makeEntry(2, day(2009, 6, 4), 50, 0, 1000, 10);
    doc->fixupTransferCategory(*t);
    EXPECT_EQ(t->category(), 10);
    doc->updateTransfer(t, nullptr);
    doc->accumulateAccount();

    EXPECT_TRUE(doc->moveItem(food, 1006));
    EXPECT_FALSE(doc->moveItem(wallet, 1006));
    EXPECT_DOUBLE_EQ(doc->summaryForCategoryMonths(fun, day(2009, 6, 1), 1), 600);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(bank, day(2009, 6, 30)), -550);

    cv::BookTestAccess::cleanupItem(*doc, bank);
    doc->accountTrees()->asset()->removeChild(bank);
    const Snapshot afterCleanup = snapshot(doc->cache());
    EXPECT_DOUBLE_EQ(doc->summaryForCategoryMonths(fun, day(2009, 6, 1), 1), 100);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(wallet, day(2009, 6, 30)), -100);
    doc->createCache();
    expectSameSeries(afterCleanup, snapshot(doc->cache()));
    EXPECT_EQ(doc->findAccount(1000), nullptr);
}

TEST_F(DocumentTest, CommitsNotifyAndFailedWritesAreReported)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    int account = 0, category = 0, currency = 0, security = 0;
    QObject::connect(doc.get(), &cv::Book::accountChanged, [&] { ++account; });
    QObject::connect(doc.get(), &cv::Book::categoryChanged, [&] { ++category; });
    QObject::connect(doc.get(), &cv::Book::currencyChanged, [&] { ++currency; });
    QObject::connect(doc.get(), &cv::Book::securityChanged, [&] { ++security; });
    doc->commitAccountTrees();
    doc->commitCategoryTrees();
    doc->commitCurrencyList();
    doc->commitSecurityList();
    doc->commitGroupList();
    doc->commitSettings();
    EXPECT_EQ(account + category + currency + security, 4);
    EXPECT_EQ(cv::BookTestAccess::cacheStatus(*doc), 0xfu);
    EXPECT_FALSE(doc->store()->getAccountData().isEmpty());
    doc->createCache();
    EXPECT_EQ(cv::BookTestAccess::cacheStatus(*doc), 0u);

    // The store refuses writes: one warning for the batch, and the cache
    // shows what the store holds.
    auto wallet = addAccount(doc->accountTrees()->asset(), 10, 30, 0);
    addCategory(doc->categoryTrees()->expense(), 1005);
    doc->createCache();
    ScriptedAlertPresenter alerts;
    doc->store()->close();
    std::optional<cv::EditScope> batch(std::in_place, *doc);
    doc->updateExpense(makeEntry(1, day(2009, 6, 1), 100, 1005, 10), nullptr);
    doc->updateExpense(makeEntry(1, day(2009, 6, 2), 100, 1005, 10), nullptr);
    batch.reset();
    EXPECT_EQ(alerts.asked.size(), 1u);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(wallet, day(2009, 6, 30)), 0);
}

TEST_F(DocumentTest, CurrencyAndDisplayHelpers)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    addCurrency(2, QStringLiteral("USD"), 100, 2);
    auto flagged = addCurrency(3, QStringLiteral("OLD"), 1, 2);
    flagged->setFlags(1);
    addAccount(doc->accountTrees()->asset(), 1000, 31, 0, 1);
    addAccount(doc->accountTrees()->asset(), 1001, 31, 0, 2);
    auto invest = addAccount(doc->accountTrees()->asset(), 1002, 32, 0, 2);
    EXPECT_FALSE(doc->accountNeedsExchange(1000, 1000));
    EXPECT_TRUE(doc->accountNeedsExchange(1000, 1001));
    EXPECT_FALSE(doc->accountNeedsExchange(1000, 0));
    EXPECT_TRUE(doc->accountNeedsExchange(1001, -1));
    EXPECT_EQ(doc->displayCurrencyOfItem(*invest->childAt(0))->ident(), 2);
    EXPECT_DOUBLE_EQ(doc->convert(2, 500, 1, day(2009, 1, 1)), 5);

    struct Menu : cv::MenuTarget {
        void removeAllItems() override { items.clear(); }
        void addItem(const QString &title, int tag) override { items.push_back({title, tag}); }
        std::vector<std::pair<QString, int>> items;
    } menu;
    doc->fillCurrencyMenu(menu);
    EXPECT_EQ(menu.items.size(), 2u);
    cv::BookTestAccess::fillInvestmentAccountMenu(*doc, menu);
    ASSERT_EQ(menu.items.size(), 1u);
    EXPECT_EQ(menu.items[0].second, 1002);

    EXPECT_EQ(doc->displayName(*invest->childAt(0)), cv::localizedString(QStringLiteral("SYS:Invest-Cache")));
    EXPECT_EQ(doc->displayName(*cv::BookTestAccess::findTransfer(*doc, 10)),
              cv::localizedString(QStringLiteral("SYS:Asset2Asset")));
    EXPECT_EQ(doc->findAccountOfKind(cv::NodeKind::Investment), invest);
}
