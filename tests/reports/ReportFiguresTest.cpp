// Every report kind against the book's own balances, over a household with
// brokers, unit transfers that cost a commission, loans and dollar
// transfers, with something dated on each edge of the period: the day
// before, the first day, the last day and the day after.
#include "ReportFixture.h"

#include "model/CV4ActualModel.h"
#include "reports/CV4Report1View.h"
#include "reports/CV4Report2View.h"
#include "reports/CV4Report4View.h"
#include "reports/CV4Report5View.h"
#include "reports/CV4Report6View.h"
#include "reports/CV4Report9View.h"
#include "reports/CV4Report11View.h"
#include "reports/CategoryTreeRows.h"
#include "support/SampleBook.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace reportfixture;
using samplebook::node;

namespace {

const QDate kFirst(2009, 3, 1), kLast(2009, 3, 31);
const QDate kEdges[] = {kFirst.addDays(-1), kFirst, kLast, kLast.addDays(1)};
enum Ident {
    Bank = 1000, Dollars, BrokerA, BrokerB, BrokerC, Card, CarLoan, HomeLoan, Salary, Food, Fees,
    Opened = 1100,   // + 0..3: a savings account and a card opened on each edge
    OpenedCard = 1110,
    Alpha = 1,
};

std::shared_ptr<CV4AssetModel> opened(const QDate &date, double value)
{
    auto record = std::make_shared<CV4BankModel>();
    record->setDate(date);
    record->setInitialValue(value);
    return record;
}

CVUnitModelPtr broker(const CVUnitModelPtr &assets, int ident, const QString &name, const QDate &date)
{
    auto account = node(assets, ident, cv::NodeKind::Investment, name, opened(date, 5000));
    auto cash = std::make_shared<CVUnitModel>();
    cash->setKind(cv::NodeKind::CashPart);
    account->appendChild(cash);
    return account;
}

void trade(CV4Document &doc, cv::TradeKind kind, const QDate &date, int account, double count, double price,
           double commission, int to = 0)
{
    auto t = std::make_shared<CV4Trade>();
    t->setKind(kind);
    t->setDate(date);
    t->setAccount(account);
    t->setTransfer(to);
    t->setBrand(Alpha);
    t->setCount(count);
    t->setUnitPrice(price);
    t->setCommission(commission);
    t->setFlags(cv::EditNew);
    std::set<CV4BrandPtr> brands;
    doc.applyTrade(t, doc.findAccount(account), {}, brands, false);
}

// A loan as the loan sheet stores it: its terms, then its schedule.
void loan(CV4Document &doc, int ident, const QDate &date, double amount, int inAccount, double principal,
          std::initializer_list<QDate> days = {kFirst, kLast, kLast.addDays(1)})
{
    auto record = std::make_shared<CV4LoanModel>();
    record->setDate(date);
    record->setInitialValue(amount);
    record->setRepaymentAccount(Bank);
    inAccount ? record->setInAccount(inAccount) : record->setOutCategory(CV4ActualModel::LoanUnspecified);
    auto account =
        node(doc.accountModel()->debt(), ident, cv::NodeKind::Loan, QStringLiteral("Loan %1").arg(ident), record);
    doc.commitAccountModel();
    CV4LoanSchedule rows;
    for (const QDate &day : days) {
        if (day < date) continue;
        auto row = std::make_shared<CV4LoanPayment>();
        row->setDate(day);
        row->setAccount(Bank);
        row->setPrincipal(principal);
        row->setInterest(principal / 50);
        rows.push_back(row);
    }
    doc.putLoan(account, rows);
}

const QDate kEarly(2008, 12, 1);

// A yen book with a bank, two brokers and the stock Alpha; `more` adds accounts
// and categories before the trees are stored. Prices, rates and ticks follow.
std::unique_ptr<CV4Document> makeBook(const std::function<void(CV4Document &)> &more)
{
    auto doc = samplebook::makeYenBook();
    if (!doc) return nullptr;
    doc->settings()->setFiscalDayOfMonth(0);
    samplebook::currency(*doc, 2, QStringLiteral("USD"), 100, 2)->setPrefix(QStringLiteral("$"));
    auto alpha = std::make_shared<CV4Brand>();
    alpha->setIdent(Alpha);
    alpha->setName(QStringLiteral("Alpha"));
    alpha->setCurrency(1);
    alpha->setOutlineState(1);
    doc->addBrand(alpha);
    const CVUnitModelPtr assets = doc->accountModel()->asset();
    node(assets, Bank, cv::NodeKind::Bank, QStringLiteral("Bank"), opened(kEarly, 2000000));
    broker(assets, BrokerA, QStringLiteral("Broker A"), kEarly);
    broker(assets, BrokerB, QStringLiteral("Broker B"), kEarly);
    more(*doc);
    doc->commitAccountModel();
    doc->commitActualModel();
    doc->commitBrandList();
    doc->createCache();
    using samplebook::priceTime;
    bool ok = doc->putRate(priceTime(2, kEarly, 100)) && doc->putRate(priceTime(2, QDate(2009, 3, 15), 110));
    ok = doc->putPrice(priceTime(Alpha, kEarly, 1000)) && doc->putPrice(priceTime(Alpha, kLast, 1250)) && ok;
    trade(*doc, cv::TradeKind::Buy, QDate(2009, 1, 10), BrokerA, 100, 1000, 500);
    ok = doc->commitSettings() && ok;
    return ok ? std::move(doc) : nullptr;
}

std::unique_ptr<CV4Document> makeEdgeBook()
{
    using samplebook::store;
    using cv::EntryKind;
    auto doc = makeBook([](CV4Document &doc) {
        const CVUnitModelPtr assets = doc.accountModel()->asset();
        doc.findAccount(10)->setExtra(opened(kEarly, 10000));
        node(assets, Dollars, cv::NodeKind::Bank, QStringLiteral("Dollars"), opened(kEarly, 1000))->setCurrency(2);
        node(doc.accountModel()->debt(), Card, cv::NodeKind::CreditCard, QStringLiteral("Card"), opened(kEarly, 0));
        for (int i = 0; i < 4; ++i) {
            node(assets, Opened + i, cv::NodeKind::Bank, QStringLiteral("Savings %1").arg(i), opened(kEdges[i], 1000));
            node(doc.accountModel()->debt(), OpenedCard + i, cv::NodeKind::CreditCard, QStringLiteral("Card %1").arg(i),
                 opened(kEdges[i], 700));
        }
        // A broker and its holding opened on the first day.
        auto unit = std::make_shared<CV4InvestUnit>();
        unit->setBrand(Alpha);
        unit->setDate(kFirst);
        unit->setUnits(20);
        node(broker(assets, BrokerC, QStringLiteral("Broker C"), kFirst), 1200, cv::NodeKind::Holding, QString(), unit);
        node(doc.actualModel()->income(), Salary, 21, QStringLiteral("Salary"));
        node(doc.actualModel()->expense(), Food, 21, QStringLiteral("Food"));
        node(doc.actualModel()->expense(), Fees, 21, QStringLiteral("Fees"));
    });
    if (!doc) return nullptr;
    loan(*doc, CarLoan, kFirst, 1000000, 0, 100000);              // spent, no receiving account
    loan(*doc, HomeLoan, kFirst.addDays(-1), 300000, Bank, 10000);   // paid into the bank
    for (int i = 0; i < 4; ++i) {
        const QDate day = kEdges[i];
        const double k = i + 1;
        store(*doc, EntryKind::Income, day, 300000 * k, Salary, Bank);
        store(*doc, EntryKind::Income, day, 10 * k, Salary, Opened + i);
        store(*doc, EntryKind::Expense, day, 1200 * k, Food, 10);
        store(*doc, EntryKind::Expense, day, 800 * k, Food, Card);
        store(*doc, EntryKind::Expense, day, 90 * k, Fees, OpenedCard + i);
        store(*doc, EntryKind::Income, day, 100 * k, Salary, HomeLoan);    // a refund into the loan
        store(*doc, EntryKind::Transfer, day, 20000 * k, 0, Bank, 10);
        store(*doc, EntryKind::Transfer, day, 5000 * k, 0, Bank, Card);
        store(*doc, EntryKind::Transfer, day, 100000 * k, 0, Bank, BrokerA);
        store(*doc, EntryKind::Transfer, day, 1000 * k, 0, Card, Bank);
        store(*doc, EntryKind::Transfer, day, 11000 * k, 0, Bank, Dollars);   // at the day's rate
        store(*doc, EntryKind::Transfer, day, 30 * k, 0, Dollars, Bank);
        auto converted = samplebook::entry(EntryKind::Transfer, day, 22000 * k, 0, Bank, Dollars);
        converted->setConverted(190 * k);
        doc->fixupTransferCategory(*converted);
        doc->updateTransfer(converted, nullptr);
        trade(*doc, cv::TradeKind::Buy, day, BrokerA, 10 * k, 1100, 100);
        trade(*doc, cv::TradeKind::Sale, day, BrokerA, 5, 1200, 50);
        trade(*doc, cv::TradeKind::TransferUnits, day, BrokerA, 30, 0, 700, BrokerB);
        trade(*doc, cv::TradeKind::TransferUnits, day, BrokerB, 5, 0, 300, BrokerA);
        trade(*doc, cv::TradeKind::Dividend, day, BrokerB, 1, 40 * k, 0);
        if (day < kFirst) continue;   // Broker C and the car loan start on the first day
        store(*doc, EntryKind::Expense, day, 3000 * k, Fees, CarLoan);     // a fee typed against the loan
        trade(*doc, cv::TradeKind::Buy, day, BrokerC, 1, 1200, 10);
    }
    tickAll(*doc, 1);
    return doc;
}

int currencyOf(CV4Document &doc, const CVUnitModel &node)
{
    if (node.kind() == cv::NodeKind::Holding) {
        const auto *unit = dynamic_cast<const CV4InvestUnit *>(node.extra().get());
        const CV4BrandPtr brand = unit ? doc.findBrand(unit->brand()) : nullptr;
        return brand ? brand->currency() : 0;
    }
    return node.kind() == cv::NodeKind::CashPart && node.parent() ? node.parent()->currency() : node.currency();
}

// The book's balance on the day in the account's own money (units for a holding).
double ownBalance(CV4Document &doc, const CVUnitModelPtr &node, const QDate &day)
{
    if (doc.isForeignCurrency(currencyOf(doc, *node)) || node->kind() == cv::NodeKind::Holding)
        return doc.rawValueForAccount(node, day);
    return doc.valueForAccount(node, day);
}

struct Period {
    CV4Document &doc;
    cv::ReportRequest request;
    double sum(const CVUnitModelPtr &node, const QDate &from, const QDate &to) const
    {
        return doc.summaryForActualDays(node, from, int(from.daysTo(to)) + 1);
    }
    double sum(const CVUnitModelPtr &node) const { return sum(node, request.from, request.to); }
    QDate dayBefore() const { return request.from.addDays(-1); }
};

using Rows = CV4ReportView::Rows;
#define NEAR(a, b, what) EXPECT_NEAR(a, b, 1e-6 * (1 + std::abs(b))) << what

void balanceLines(const Period &p, const Rows &rows)
{
    int lines = 0;
    for (const CV4ReportItem &row : rows) {
        if (row.level < 0 || row.level >= CV4Report1View::ForeignLine || !row.node || row.number != 0) continue;
        const std::string what = p.doc.displayName(*row.node).toStdString() + " line";
        const double sign = row.node->isDebt() ? -1 : 1;
        NEAR(row.value(0) + sign * (row.value(1) - row.value(2)), row.value(3), what);
        CVUnitModelPtr leaf = row.node;
        if (leaf->kind() == cv::NodeKind::Investment && p.request.flags == 1) leaf = leaf->childAt(0);
        if (leaf->countChild() != 0) continue;
        // Start: the book's balance the day before, the opening of an account opened on the first day.
        const bool plain = leaf->kind() == cv::NodeKind::Bank || leaf->kind() == cv::NodeKind::CreditCard;
        if (plain && !p.doc.isForeignCurrency(leaf->currency())) {
            const bool opensFirst = leaf->assetInitialDate() == p.request.from;
            const double before = p.doc.valueForAccount(leaf, p.dayBefore());
            NEAR(row.value(0), opensFirst ? leaf->assetInitialValue() : before, what);
        }
        double rate = 1;
        if (const int currency = currencyOf(p.doc, *leaf); p.doc.isForeignCurrency(currency))
            rate = p.doc.currencyRate(p.doc.findCurrency(currency), p.request.to);
        const bool holding = leaf->kind() == cv::NodeKind::Holding;
        const double price = holding ? p.doc.brandValue(p.doc.findBrand(Alpha), p.request.to) : 1;
        NEAR(row.value(3), ownBalance(p.doc, leaf, p.request.to) * rate * price, what);
        ++lines;
    }
    EXPECT_GE(lines, 15);
}

void journals(const Period &p, const Rows &rows)
{
    double opening = 0, last = 0;
    int journals = 0;
    for (const CV4ReportItem &row : rows) {
        if (row.level == CV4Report2View::Opening) {
            opening = last = row.texts.isEmpty() ? 0 : row.value(0);
            const CVUnitModel *owner = row.node->kind() == cv::NodeKind::CashPart ? row.node->parent() : row.node.get();
            if (owner->assetInitialDate().isValid() && owner->assetInitialDate() < p.request.from)
                NEAR(opening, ownBalance(p.doc, row.node, p.dayBefore()), "carried into a journal");
        }
        if (row.level == CV4Report2View::Record || row.level == CV4Report2View::Commission) last = row.value(2);
        if (row.level != CV4Report2View::Total) continue;
        const std::string what = p.doc.displayName(*row.node).toStdString() + " journal";
        const double sign = row.node->isDebt() ? -1 : 1;
        NEAR(opening + sign * (row.value(0) - row.value(1)), row.value(2), what);
        NEAR(last, row.value(2), what);
        NEAR(row.value(2), ownBalance(p.doc, row.node, p.request.to), what);
        ++journals;
    }
    EXPECT_GE(journals, 12);
}

// Each section's total is the book's.
void sectionTotals(const Period &p, const Rows &rows, int level, int column, const QDate &from, const QDate &to)
{
    int totals = 0;
    for (const CV4ReportItem &row : rows)
        if (row.level == level && row.node) {
            NEAR(row.value(size_t(column)), p.sum(row.node, from, to), row.node->name().toStdString());
            ++totals;
        }
    EXPECT_EQ(totals, 2);
}

} // namespace

TEST(ReportFiguresTest, EveryKindAgreesWithTheBookOnEveryEdgeOfThePeriod)
{
    cv::setLanguageOverride(QStringLiteral("en"));
    auto doc = makeEdgeBook();
    ASSERT_TRUE(doc);
    using Check = std::function<void(const Period &, const Rows &)>;
    const auto category = [](int level, int column = 0) {
        return [=](const Period &p, const Rows &rows) {
            sectionTotals(p, rows, level, column, p.request.from, p.request.to);
        };
    };
    const struct {
        const char *what;
        int kind, flags;
        Check check;
    } kinds[] = {
        {"balances in tree order", 0, 0, balanceLines},
        {"balances by type", 0, 1, balanceLines},
        {"journals", 1, 0, journals},
        {"income and expense", 2, 0, category(cv::CategoryTreeRows::Total)},
        {"itemised categories", 3, 0,
         [](const Period &p, const Rows &rows) {
             for (const CV4ReportItem &row : rows)
                 if (row.level == CV4Report4View::Subtotal) NEAR(row.value(0), p.sum(row.node), "a category");
         }},
        {"cash flow against the cache's cash items", 4, 0,
         [](const Period &p, const Rows &rows) {
             for (const CV4ReportItem &row : rows) {
                 if (row.level == CV4Report5View::InTotal) NEAR(row.value(0), p.sum(p.doc.autoCacheIn()), "in");
                 if (row.level == CV4Report5View::OutTotal) NEAR(row.value(0), p.sum(p.doc.autoCacheOut()), "out");
             }
         }},
        {"cash-flow detail against the cash-flow report", 5, 0,
         [](const Period &p, const Rows &rows) {
             std::map<int, double> detail;
             for (const CV4ReportItem &row : rows) detail[row.level] = row.values.empty() ? 0 : row.value(0);
             cv::ReportRequest summary = p.request;
             summary.kind = 4;
             using D = CV4Report6View;
             using S = CV4Report5View;
             const std::pair<int, int> pairs[] = {
                 {S::Income, D::IncomeTotal},         {S::TransfersIn, D::TransferInTotal},
                 {S::TradesIn, D::TradeInTotal},      {S::InTotal, D::InTotal},
                 {S::Expense, D::ExpenseTotal},       {S::TransfersOut, D::TransferOutTotal},
                 {S::TradesOut, D::TradeOutTotal},    {S::OutTotal, D::OutTotal},
                 {S::Net, D::Net}};
             const auto cashFlow = makeReport(p.doc, summary);
             for (const CV4ReportItem &row : cashFlow->data())
                 for (const auto &[sumLevel, detailLevel] : pairs)
                     if (row.level == sumLevel) NEAR(detail[detailLevel], row.value(0), detailLevel);
         }},
        {"term comparison", 6, 0,
         [](const Period &p, const Rows &rows) {
             sectionTotals(p, rows, cv::CategoryTreeRows::Total, 0, p.request.from, p.request.to);
             sectionTotals(p, rows, cv::CategoryTreeRows::Total, 1, p.request.from2, p.request.to2);
         }},
        {"budget comparison", 7, 0, category(cv::CategoryTreeRows::Total, 1)},
        {"ranking", 8, 0,
         [](const Period &p, const Rows &rows) {
             sectionTotals(p, rows, CV4Report9View::SectionTotal, 0, p.request.from, p.request.to);
             double shares = 0;
             for (const CV4ReportItem &row : rows) {
                 if (row.level >= 1) shares += row.value(1);
                 if (row.level == CV4Report9View::SectionTotal) NEAR(std::exchange(shares, 0), 100, "shares");
             }
         }},
        {"securities trades", 9, 0,
         [](const Period &p, const Rows &rows) {
             double held = 0;
             for (const CV4ReportItem &row : rows)
                 if (row.level != CV4Report11View::Total && !row.values.empty())
                     held = row.value(CV4Report11View::Held);
             double books = 0;
             for (int account : {BrokerA, BrokerB, BrokerC})
                 books += p.doc.tradingAccount(account, Alpha, p.request.to);
             NEAR(held, books, "units held");
         }},
    };
    for (const auto &k : kinds) {
        cv::ReportRequest request{k.kind, kFirst, kLast, kFirst.addMonths(-1), kFirst.addDays(-1)};
        request.flags = k.flags;
        request.months = 1;
        auto view = makeReport(*doc, request);
        ASSERT_TRUE(view) << k.what;
        SCOPED_TRACE(k.what);
        k.check(Period{*doc, request}, view->data());
    }
    cv::setLanguageOverride(QString());
}

// The two examples of the fault: 30 units moved from broker A to broker B for
// a commission of 700, and a car loan of 1,000,000 spent without a receiving
// account, 100,000 of it repaid in the period.
TEST(ReportFiguresTest, UnitTransferAndCarLoanAddUp)
{
    cv::setLanguageOverride(QStringLiteral("en"));
    auto doc = makeBook([](CV4Document &) {});
    ASSERT_TRUE(doc);
    trade(*doc, cv::TradeKind::TransferUnits, QDate(2009, 3, 15), BrokerA, 30, 0, 700, BrokerB);
    loan(*doc, CarLoan, kFirst, 1000000, 0, 100000, {kLast});
    tickAll(*doc, 1);
    const CVUnitModelPtr a = doc->findAccount(BrokerA), b = doc->findAccount(BrokerB);
    const struct {
        const char *what;
        int kind, level;
        CVUnitModelPtr node;
        std::vector<double> values;
    } cases[] = {
        {"B's cash pays no commission", 0, 2, b->childAt(0), {5000, 0, 0, 5000}},
        {"A's cash pays it", 0, 2, a->childAt(0), {-95500, 0, 700, -96200}},
        {"B's holding takes the units", 0, 2, b->childAt(1), {0, 37500, 0, 37500}},
        {"the loan: repaid, borrowed", 0, 1, doc->findAccount(CarLoan), {0, 100000, 1000000, 900000}},
        {"B's cash has no journal", 1, CV4Report2View::Total, b->childAt(0), {}},
        {"A's cash journal", 1, CV4Report2View::Total, a->childAt(0), {0, 700, -96200}},
        {"the loan's journal", 1, CV4Report2View::Total, doc->findAccount(CarLoan), {100000, 1000000, 900000}},
        {"securities paid out", 4, CV4Report5View::TradesOut, nullptr, {700}},
    };
    for (const auto &c : cases) {
        auto view = makeReport(*doc, {c.kind, kFirst, kLast});
        ASSERT_TRUE(view) << c.what;
        std::vector<double> found;
        for (const CV4ReportItem &row : view->data())
            if (row.level == c.level && row.node == c.node) found = row.values;
        EXPECT_EQ(found, c.values) << c.what;
    }
    cv::setLanguageOverride(QString());
}
