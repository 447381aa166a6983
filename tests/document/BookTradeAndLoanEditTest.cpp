// Edits that move a trade or redirect a loan: what the window shows and what
// the file holds stay those of a fresh start.

#include "document/BookTestSupport.h"

#include "model/LoanTerms.h"
#include "platform/KeyedArchiver.h"

namespace {

cv::NodePtr loanIn(const cv::AccountTreesPtr &model, int ident)
{
    return model && model->debt() ? model->debt()->findMemberWithIdent(ident) : nullptr;
}

} // namespace

// A stored trade moved to another security or account keeps its units visible.
TEST_F(DocumentTest, EditedTradeKeepsItsUnitsInAHolding)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    auto invest = addAccount(doc->accountTrees()->asset(), 1003, 32, 0);
    auto other = addAccount(doc->accountTrees()->asset(), 1004, 32, 0);
    auto s = addSecurity(QStringLiteral("S"), 1);
    auto t = addSecurity(QStringLiteral("T"), 1);
    doc->createCache();
    std::set<cv::SecurityPtr> securities;
    auto buy = makeTrade(cv::TradeKind::Buy, day(2009, 6, 5), 1003, s->ident(), 10, 100);
    doc->applyTrade(buy, invest, {}, securities, false);
    ASSERT_GT(buy->ident(), 0);

    auto edit = [&](auto change) {
        const cv::TradePtr old = buy->clone();
        change(*buy);
        buy->setFlags(cv::EditChanged);
        doc->applyTrade(buy, invest, {{buy, old}}, securities, false);
        doc->accumulateAccount();
    };
    const QDate end = day(2009, 6, 30);
    edit([&](cv::Trade &trade) { trade.setSecurity(t->ident()); });
    EXPECT_DOUBLE_EQ(doc->tradingAccount(1003, s->ident(), end), 0);
    EXPECT_DOUBLE_EQ(doc->tradingAccount(1003, t->ident(), end), 10);

    edit([&](cv::Trade &trade) { trade.setAccount(1004); });
    EXPECT_DOUBLE_EQ(doc->tradingAccount(1003, t->ident(), end), 0);
    EXPECT_DOUBLE_EQ(doc->tradingAccount(1004, t->ident(), end), 10);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(other->childAt(0), end), -1000);

    doc->createCache();
    EXPECT_DOUBLE_EQ(doc->tradingAccount(1004, t->ident(), end), 10);
}

// A trade dated before its holding, once deleted, leaves no value before the
// holding's own date (as a fresh start has none).
TEST_F(DocumentTest, DeletedEarlyTradeLeavesNoValueBeforeTheHolding)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    auto invest = addAccount(doc->accountTrees()->asset(), 1003, 32, 0, 1, day(2009, 6, 20));
    auto s = addSecurity(QStringLiteral("S"), 1);
    ASSERT_TRUE(samplebook::putPrice(*doc, s->ident(), day(2009, 1, 1), 100));
    doc->createCache();
    std::set<cv::SecurityPtr> securities;
    auto early = makeTrade(cv::TradeKind::Buy, day(2009, 6, 5), 1003, s->ident(), 10, 100);
    doc->applyTrade(early, invest, {}, securities, false);
    const cv::NodePtr holding = invest->childAt(1);
    ASSERT_TRUE(holding && holding->kind() == cv::NodeKind::Holding);
    std::dynamic_pointer_cast<cv::OpeningHolding>(holding->extra())->setUnits(10);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(holding, day(2009, 6, 10)), 2000);

    early->setFlags(cv::EditDeleted);
    doc->applyTrade(early, invest, {}, securities, false);
    const double incremental = doc->valueForAccount(holding, day(2009, 6, 10));
    doc->createCache();
    EXPECT_DOUBLE_EQ(incremental, doc->valueForAccount(holding, day(2009, 6, 10)));
    EXPECT_DOUBLE_EQ(incremental, 0);
}

// A loan redirected because its category or account went away is saved so:
// the sheets that delete or merge categories commit only the category model.
TEST_F(DocumentTest, RedirectedLoanReachesTheStoredAccountTrees)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    addAccount(doc->accountTrees()->asset(), 1000, 31, 0);
    auto food = addCategory(doc->categoryTrees()->expense(), 1005);
    auto fun = addCategory(doc->categoryTrees()->expense(), 1006);
    auto loan = std::make_shared<cv::Node>();
    loan->setIdent(2000);
    loan->setKind(cv::NodeKind::Loan);
    auto record = std::make_shared<cv::LoanTerms>();
    record->setDate(day(2009, 1, 1));
    record->setInitialValue(1000);
    record->setOutCategory(1005);
    loan->setExtra(record);
    doc->accountTrees()->debt()->appendChild(loan);
    auto row = std::make_shared<cv::LoanPayment>();
    row->setDate(day(2009, 2, 27));
    row->setAccount(1000);
    row->setPrincipal(100);
    doc->putLoan(loan, {row});
    doc->commitAccountTrees();

    auto stored = [&] {
        const auto model =
            cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::AccountTrees>(doc->store()->getAccountData());
        const auto node = loanIn(model, 2000);
        const auto r = node ? std::dynamic_pointer_cast<cv::LoanTerms>(node->extra()) : nullptr;
        return r ? r->outCategory() : -1;
    };
    ASSERT_EQ(stored(), 1005);
    EXPECT_TRUE(doc->moveItem(food, 1006));
    EXPECT_EQ(stored(), 1006);
    cv::BookTestAccess::cleanupItem(*doc, fun);
    doc->categoryTrees()->expense()->removeChild(fun);
    EXPECT_EQ(stored(), 30);
}

// Ident 0 is "no account": it never names the cash part or a holding that
// carry ident 0 under an investment account.
TEST_F(DocumentTest, NoAccountIsNoAccount)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    auto invest = addAccount(doc->accountTrees()->asset(), 1003, 32, 0);
    auto bank = addAccount(doc->accountTrees()->asset(), 1000, 31, 0);
    doc->createCache();
    EXPECT_EQ(doc->findAccount(0), nullptr);
    EXPECT_EQ(doc->findAccount(-1), nullptr);
    auto e = makeEntry(cv::EntryKind::Transfer, day(2009, 6, 1), 500, 0, 1000, 0);
    doc->fixupTransferCategory(*e);
    doc->updateTransfer(e, nullptr);
    doc->accumulateAccount();
    EXPECT_DOUBLE_EQ(doc->valueForAccount(invest, day(2009, 6, 30)), 0);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(bank, day(2009, 6, 30)), -500);
}
