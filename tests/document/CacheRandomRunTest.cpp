// A few hundred random edits in two currencies: every balance the document
// keeps equals one recomputed here from the store's rows by the book's plain
// rules, both as the edits leave it and after a rebuild.

#include "document/BookTestSupport.h"

#include "document/store/SQLDatabase3.h"

#include <map>
#include <random>

namespace {

constexpr int kJpy = 1;
constexpr int kUsd = 2;

struct Account {
    int ident;
    int kind;
    int currency;
    double initial;
};

const Account kAccounts[] = {
    {10, 30, kJpy, 10000},    // wallet
    {1000, 31, kJpy, 500000}, // bank
    {1002, 31, kUsd, 1000},   // dollar bank
    {1001, 40, kJpy, 0},      // card (debt)
};
constexpr int kInvest = 1003;
constexpr double kInvestInitial = 100000;
const QDate kStart(2009, 1, 1);

// The dollar's dated rates; before the first the currency's own rate.
const std::pair<QDate, double> kRates[] = {
    {QDate(2009, 6, 1), 95}, {QDate(2009, 7, 10), 90}, {QDate(2009, 8, 10), 110}};
constexpr double kUsdRate = 100;

class RandomRunTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        addCurrency(kJpy, QStringLiteral("JPY"), 1, 0);
        addCurrency(kUsd, QStringLiteral("USD"), kUsdRate, 2);
        for (const auto &[date, rate] : kRates) {
            ASSERT_TRUE(samplebook::putRate(*doc, kUsd, date, rate));
        }
        for (const Account &a : kAccounts)
            addAccount(a.kind == cv::NodeKind::CreditCard ? doc->accountTrees()->debt() : doc->accountTrees()->asset(),
                       a.ident, a.kind, a.initial, a.currency, kStart);
        invest = addAccount(doc->accountTrees()->asset(), kInvest, 32, kInvestInitial, kJpy, kStart);
        addCategory(doc->categoryTrees()->income(), 1004);
        addCategory(doc->categoryTrees()->expense(), 1005);
        securities = {addSecurity(QStringLiteral("S"), kJpy)->ident(), addSecurity(QStringLiteral("U"), kUsd)->ident()};
        doc->createCache();
    }

    int refDays(const QDate &date) const { return doc->store()->getRefDays(date); }

    double rate(int currency, int day) const
    {
        if (currency != kUsd) return 1;
        double r = kUsdRate;
        for (const auto &[date, value] : kRates)
            if (refDays(date) <= day) r = value;
        return r;
    }

    // Raw balances (own currency) on the day: accounts by ident, the
    // investment account's cash part under kInvest, holdings under -security.
    std::map<int, double> expected(const QDate &date) const
    {
        const int until = refDays(date);
        std::map<int, const Account *> accounts;
        std::map<int, double> out;
        for (const Account &a : kAccounts) {
            accounts[a.ident] = &a;
            out[a.ident] = date >= kStart ? a.initial : 0;
        }
        out[kInvest] = date >= kStart ? kInvestInitial : 0;
        for (int security : securities) out[-security] = 0;

        auto entries = doc->store()->database()->performQuery(
            QStringLiteral("SELECT kind, date, account, destination, value, converted FROM ActualTable;"));
        for (int r = 0; entries && r < entries->rowCount(); ++r) {
            const cv::SQLRow row = entries->rowAtIndex(r);
            const int kind = row.intForColumnAtIndex(0);
            const int day = row.intForColumnAtIndex(1);
            if (day > until) continue;
            const Account *from = accounts.at(row.intForColumnAtIndex(2));
            const double a = row.doubleForColumnAtIndex(4);
            const double fromSign =
                from->kind == cv::NodeKind::CreditCard ? -1 : 1; // a debt grows with what is paid from it
            if (kind == cv::EntryKind::Income) {
                out[from->ident] += fromSign * a;
            } else if (kind == cv::EntryKind::Expense) {
                out[from->ident] -= fromSign * a;
            } else {
                const Account *to = accounts.at(row.intForColumnAtIndex(3));
                double c = a;
                if (from->currency != to->currency) {
                    c = row.doubleForColumnAtIndex(5);
                    if (c == 0) c = a * rate(from->currency, day) / rate(to->currency, day);
                }
                out[from->ident] -= fromSign * a;
                out[to->ident] += (to->kind == cv::NodeKind::CreditCard ? -1 : 1) * c;
            }
        }

        auto trades = doc->store()->database()->performQuery(
            QStringLiteral("SELECT brand, kind, date, count, value, cost FROM TradeTable;"));
        for (int r = 0; trades && r < trades->rowCount(); ++r) {
            const cv::SQLRow row = trades->rowAtIndex(r);
            const int day = row.intForColumnAtIndex(2);
            if (day > until) continue;
            const int security = row.intForColumnAtIndex(0);
            const double count = row.doubleForColumnAtIndex(3);
            const double price = row.doubleForColumnAtIndex(4);
            double units = 0;
            double money = 0;
            switch (cv::TradeKind(row.intForColumnAtIndex(1))) {
            case cv::TradeKind::Buy:
                units = count;
                money = -count * price;
                break;
            case cv::TradeKind::Sale:
                units = -count;
                money = count * price;
                break;
            case cv::TradeKind::Dividend: money = count * price; break;
            case cv::TradeKind::OtherIncome: money = price; break;
            case cv::TradeKind::OtherExpense: money = -price; break;
            default: ADD_FAILURE() << "unexpected trade kind";
            }
            out[-security] += units;
            // The security's money arrives in the account's yen at the day's rate.
            out[kInvest] +=
                (money - row.doubleForColumnAtIndex(5)) * rate(security == securities[1] ? kUsd : kJpy, day);
        }
        return out;
    }

    std::map<int, double> actual(const QDate &date) const
    {
        std::map<int, double> out;
        for (const Account &a : kAccounts) out[a.ident] = doc->rawValueForAccount(doc->findAccount(a.ident), date);
        out[kInvest] = doc->rawValueForAccount(invest->childAt(0), date);
        for (int security : securities) out[-security] = doc->tradingAccount(kInvest, security, date);
        return out;
    }

    void expectBalances(const char *when)
    {
        SCOPED_TRACE(when);
        for (const QDate &date : {QDate(2008, 12, 31), QDate(2009, 5, 31), QDate(2009, 6, 15), QDate(2009, 7, 9),
                                  QDate(2009, 7, 10), QDate(2009, 8, 31), QDate(2009, 12, 31)}) {
            const auto want = expected(date);
            const auto got = actual(date);
            for (const auto &[key, value] : want)
                EXPECT_NEAR(got.at(key), value, 1e-6 * std::max(1.0, std::abs(value)))
                    << "key " << key << " on " << date.toString(Qt::ISODate).toStdString();
            // Valued in yen at the day's rate.
            EXPECT_NEAR(doc->valueForAccount(doc->findAccount(1002), date), want.at(1002) * rate(kUsd, refDays(date)),
                        1e-6 * std::max(1.0, std::abs(want.at(1002)) * 110));
        }
    }

    cv::NodePtr invest;
    std::vector<int> securities;
};

} // namespace

TEST_F(RandomRunTest, IncrementalBalancesEqualTheStoredRows)
{
    std::mt19937 random(20091);
    auto pick = [&](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(random)); };
    auto date = [&] { return QDate(2009, 5, 15).addDays(pick(124)); };
    auto amount = [&](int currency) { return currency == kUsd ? (1 + pick(50000)) / 100.0 : double(1 + pick(50000)); };
    auto currencyOf = [](int account) {
        for (const Account &a : kAccounts)
            if (a.ident == account) return a.currency;
        return kJpy;
    };
    std::vector<cv::EntryPtr> entries;
    std::vector<cv::TradePtr> trades;
    std::set<cv::SecurityPtr> touched;

    for (int step = 0; step < 400; ++step) {
        const int op = pick(100);
        if (op < 35 || entries.empty()) {
            const Account &a = kAccounts[pick(4)];
            const bool expense = pick(2) == 0;
            auto e = makeEntry(expense ? cv::EntryKind::Expense : cv::EntryKind::Income, date(), amount(a.currency),
                               expense ? 1005 : 1004, a.ident);
            if (expense)
                doc->updateExpense(e, nullptr);
            else
                doc->updateIncome(e, nullptr);
            entries.push_back(e);
        } else if (op < 55) {
            const int from = pick(4);
            const int to = (from + 1 + pick(3)) % 4;
            const Account &f = kAccounts[from];
            const Account &t = kAccounts[to];
            const double converted = f.currency != t.currency && pick(2) ? amount(t.currency) : 0;
            entries.push_back(transfer(date(), amount(f.currency), f.ident, t.ident, converted));
        } else if (op < 65) {
            const size_t i = size_t(pick(int(entries.size())));
            const cv::EntryPtr old = entries[i];
            const cv::EntryPtr changed = old->clone();
            changed->setDate(date());
            changed->setAmount(amount(currencyOf(old->account())));
            if (old->kind() == cv::EntryKind::Transfer && old->converted() != 0)
                changed->setConverted(amount(currencyOf(old->destination())));
            switch (old->kind()) {
            case cv::EntryKind::Income: doc->updateIncome(changed, old); break;
            case cv::EntryKind::Expense: doc->updateExpense(changed, old); break;
            default: doc->updateTransfer(changed, old); break;
            }
            entries[i] = changed;
        } else if (op < 75) {
            const size_t i = size_t(pick(int(entries.size())));
            const cv::EntryPtr old = entries[i];
            switch (old->kind()) {
            case cv::EntryKind::Income: doc->updateIncome(nullptr, old); break;
            case cv::EntryKind::Expense: doc->updateExpense(nullptr, old); break;
            default: doc->updateTransfer(nullptr, old); break;
            }
            entries.erase(entries.begin() + std::ptrdiff_t(i));
        } else if (op < 93 || trades.empty()) {
            static const cv::TradeKind kinds[] = {cv::TradeKind::Buy, cv::TradeKind::Sale, cv::TradeKind::Dividend,
                                                  cv::TradeKind::OtherIncome, cv::TradeKind::OtherExpense};
            const cv::TradeKind kind = kinds[pick(5)];
            const int security = securities[size_t(pick(2))];
            const bool dollars = security == securities[1];
            const double price = dollars ? (100 + pick(30000)) / 100.0 : double(1 + pick(3000));
            const double commission = kind == cv::TradeKind::Buy || kind == cv::TradeKind::Sale ? double(pick(500)) : 0;
            auto t = makeTrade(kind, date(), kInvest, security, double(1 + pick(20)), price, commission);
            doc->applyTrade(t, invest, {}, touched, false);
            trades.push_back(t);
        } else {
            const size_t i = size_t(pick(int(trades.size())));
            const cv::TradePtr t = trades[i];
            t->setFlags(cv::EditDeleted);
            doc->applyTrade(t, invest, {}, touched, false);
            trades.erase(trades.begin() + std::ptrdiff_t(i));
        }
    }
    ASSERT_GT(entries.size(), 50u);
    ASSERT_GT(trades.size(), 20u);
    expectBalances("incremental");
    doc->createCache();
    expectBalances("rebuilt");
}
