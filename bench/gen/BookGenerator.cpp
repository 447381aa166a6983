#include "gen/BookGenerator.h"

#include "document/store/BookStore.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "model/Entry.h"
#include "model/AccountDetail.h"
#include "model/EditFlags.h"
#include "model/OpeningHolding.h"
#include "model/LoanTerms.h"
#include "model/DatedPrice.h"
#include "model/Trade.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <random>

namespace cv::bench {

namespace {

// Idents of the book's accounts and categories.
// clang-format off
enum : int {
    Wallet = 1001, Bank = 1002, DollarAccount = 1003, Brokerage = 1004, Card = 1101, Mortgage = 1102,
    Salary = 2001, Bonus = 2002,
    FoodFolder = 2100, Groceries, Dining, Cafe,
    DailyFolder = 2110, Goods, Clothing,
    TransportFolder = 2120, Train, Taxi,
    LeisureFolder = 2130, Hobbies, Books,
    HousingFolder = 2140, Rent, HomePurchase,
    UtilitiesFolder = 2150, Electricity, Gas, Water, Phone,
    MedicalFolder = 2160, Clinic,
};
// clang-format on

constexpr int kLoanMonths = 35 * 12;

struct Plan {
    enum Type { EntryItem, TradeItem, Rate, Price };
    QDate date;
    Type type = EntryItem;
    int kind = 0; // entry or trade kind
    int category = 0;
    int account = 0;
    int destination = 0; // also the security of a trade or price, the currency of a rate
    double amount = 0;   // also the unit price of a trade, the rate or price
    double count = 0;
    double converted = 0;
    int group = 0;
    QString memo;
};

class Random {
public:
    explicit Random(unsigned seed) : m_engine(seed) {}
    // In [0, n); the modulo keeps the sequence the same on every library.
    int below(int n) { return n <= 0 ? 0 : int(m_engine() % unsigned(n)); }
    // A yen amount in [low, high] rounded to tens.
    double yen(int low, int high) { return std::round((low + below(high - low + 1)) / 10.0) * 10.0; }

private:
    std::mt19937 m_engine;
};

cv::NodePtr node(const cv::NodePtr &parent, int ident, cv::NodeKind kind, const QString &name, int currency = 0)
{
    auto n = std::make_shared<cv::Node>();
    n->setIdent(ident);
    n->setKind(kind);
    n->setName(name);
    n->setCurrency(currency);
    parent->appendChild(n);
    return n;
}

cv::NodePtr account(const cv::NodePtr &parent, int ident, int kind, const QString &name, int currency, double initial,
                    const QDate &start)
{
    cv::NodePtr n = node(parent, ident, cv::NodeKind(kind), name, currency);
    auto detail = std::make_shared<cv::AccountDetail>();
    detail->setDate(start);
    detail->setInitialValue(initial);
    n->setExtra(detail);
    if (kind == cv::NodeKind::Investment) node(n, 0, cv::NodeKind::CashPart, QString(), currency);
    return n;
}

struct Spend {
    int category;
    int low, high;
    int weight;
};

// Everyday spending: what, how much, how often.
constexpr std::array kSpending = {
    Spend{Groceries, 200, 6000, 30}, Spend{Dining, 600, 8000, 10},    Spend{Cafe, 300, 900, 12},
    Spend{Goods, 100, 3000, 12},     Spend{Clothing, 1500, 15000, 4}, Spend{Train, 150, 1200, 12},
    Spend{Taxi, 700, 5000, 2},       Spend{Hobbies, 500, 12000, 6},   Spend{Books, 500, 3500, 6},
    Spend{Clinic, 500, 8000, 3},
};

// clang-format off
const char *const kMemos[] = {
    "スーパーまるや", "コンビニ", "ドラッグストア", "Amazon", "駅前ベーカリー", "定食屋", "Starbucks",
    "100円ショップ", "書店", "ユニクロ", "Suica チャージ", "病院", "薬局", "ホームセンター", "IKEA",
};
// clang-format on

void addCategories(cv::Book &doc)
{
    const cv::NodePtr income = doc.categoryTrees()->income();
    node(income, Salary, cv::NodeKind::Category, QStringLiteral("給与"));
    node(income, Bonus, cv::NodeKind::Category, QStringLiteral("賞与"));
    const cv::NodePtr expense = doc.categoryTrees()->expense();
    auto folder = [&](int ident, const char *name, std::initializer_list<std::pair<int, const char *>> children) {
        cv::NodePtr f = node(expense, ident, cv::NodeKind::Group, QString::fromUtf8(name));
        for (const auto &[childIdent, childName] : children)
            node(f, childIdent, cv::NodeKind::Category, QString::fromUtf8(childName));
    };
    folder(FoodFolder, "食費", {{Groceries, "食料品"}, {Dining, "外食"}, {Cafe, "カフェ"}});
    folder(DailyFolder, "日用品", {{Goods, "雑貨"}, {Clothing, "衣服"}});
    folder(TransportFolder, "交通費", {{Train, "電車"}, {Taxi, "タクシー"}});
    folder(LeisureFolder, "趣味・娯楽", {{Hobbies, "趣味"}, {Books, "書籍"}});
    folder(HousingFolder, "住宅", {{Rent, "家賃"}, {HomePurchase, "住宅購入"}});
    folder(UtilitiesFolder, "水道・光熱費", {{Electricity, "電気"}, {Gas, "ガス"}, {Water, "水道"}, {Phone, "通信"}});
    folder(MedicalFolder, "医療", {{Clinic, "病院"}});
}

// Budgets on the everyday categories, rising a little each year.
void addBudgets(cv::Book &doc, const QDate &first, const QDate &last)
{
    const std::pair<int, double> budgets[] = {{Groceries, 45000}, {Dining, 15000}, {Cafe, 5000},     {Goods, 8000},
                                              {Clothing, 10000},  {Train, 8000},   {Hobbies, 10000}, {Books, 5000}};
    for (const auto &[ident, base] : budgets) {
        const cv::NodePtr category = doc.findExpense(ident);
        if (!category) continue;
        for (int year = first.year(); year <= last.year(); ++year)
            for (int month = 1; month <= 12; ++month)
                category->setBudgetAt(year, month, base * (1 + 0.02 * (year - first.year())));
    }
}

QDate clampDay(int year, int month, int day)
{
    const QDate first(year, month, 1);
    return QDate(year, month, std::min(day, first.daysInMonth()));
}

} // namespace

QDate firstDayOf(const BookOptions &options)
{
    return options.lastDay.addYears(-std::max(1, options.years)).addDays(1);
}

BookStats generateBook(cv::Book &doc, const BookOptions &options)
{
    Random random(options.seed);
    const QDate first = firstDayOf(options);
    const QDate last = options.lastDay;
    const int days = int(first.daysTo(last)) + 1;

    // ---- currencies, accounts, categories, securities, groupings
    auto currency = [&](const char *abbr, const QString &name, const QString &prefix, int fraction, double rate) {
        auto c = cv::Currency::currencyWith(name, QLatin1String(abbr), prefix, fraction);
        c->setRate(rate);
        doc.addCurrency(c);
        return c;
    };
    const cv::CurrencyPtr yen = currency("JPY", QStringLiteral("円"), QStringLiteral("¥"), 0, 1);
    const cv::CurrencyPtr dollar = currency("USD", QStringLiteral("米ドル"), QStringLiteral("$"), 2, 110);

    const cv::NodePtr assets = doc.accountTrees()->asset();
    const cv::NodePtr debts = doc.accountTrees()->debt();
    account(assets, Wallet, 30, QStringLiteral("財布"), yen->ident(), 20000, first);
    account(assets, Bank, 31, QStringLiteral("普通預金"), yen->ident(), 1500000, first);
    account(assets, DollarAccount, 31, QStringLiteral("外貨預金"), dollar->ident(), 0, first);
    const cv::NodePtr brokerage = account(assets, Brokerage, 32, QStringLiteral("証券口座"), yen->ident(), 0, first);
    account(debts, Card, 40, QStringLiteral("クレジットカード"), yen->ident(), 0, first);
    addCategories(doc);
    addBudgets(doc, first, last);

    std::vector<cv::SecurityPtr> securities;
    for (const char *name : {"インデックスファンド", "高配当株", "債券ファンド"}) {
        auto b = std::make_shared<cv::Security>();
        b->setName(QString::fromUtf8(name));
        b->setCurrency(yen->ident());
        doc.addSecurity(b);
        securities.push_back(b);
    }
    std::vector<int> groups;
    for (const char *name : {"旅行", "引っ越し", "結婚式"}) {
        auto g = std::make_shared<cv::Grouping>();
        g->setName(QString::fromUtf8(name));
        doc.addGrouping(g);
        groups.push_back(g->ident());
    }

    // ---- the monthly rhythm
    std::vector<Plan> plans;
    auto entry = [&](const QDate &date, cv::EntryKind kind, int category, int from, int to, double amount,
                     const QString &memo = QString()) {
        Plan p;
        p.date = date;
        p.kind = cv::raw(kind);
        p.category = category;
        p.account = from;
        p.destination = to;
        p.amount = amount;
        p.memo = memo;
        plans.push_back(p);
        return plans.size() - 1;
    };
    std::map<int, size_t> settlements; // month key -> plan paying the card for the month before
    std::vector<double> securityPrice = {10000, 3000, 1000};
    double dollarRate = 110;
    int months = 0;
    for (QDate month(first.year(), first.month(), 1); month <= last; month = month.addMonths(1), ++months) {
        const int y = month.year();
        const int m = month.month();
        auto on = [&](int day) {
            const QDate d = clampDay(y, m, day);
            return d < first ? first : (d > last ? last : d);
        };
        const double raise = 1 + 0.015 * (y - first.year());
        entry(on(25), cv::EntryKind::Income, Salary, Bank, 0, std::round(320000 * raise));
        if (m == 6 || m == 12) entry(on(10), cv::EntryKind::Income, Bonus, Bank, 0, std::round(600000 * raise));
        entry(on(27), cv::EntryKind::Expense, Rent, Bank, 0, 95000);
        entry(on(20), cv::EntryKind::Expense, Electricity, Bank, 0, random.yen(5000, 14000));
        entry(on(20), cv::EntryKind::Expense, Gas, Bank, 0, random.yen(3000, 9000));
        if (m % 2 == 0) entry(on(15), cv::EntryKind::Expense, Water, Bank, 0, random.yen(4000, 7000));
        entry(on(18), cv::EntryKind::Expense, Phone, Bank, 0, random.yen(6000, 9000), QStringLiteral("携帯電話"));
        for (int day : {1, 8, 15, 22})
            entry(on(day), cv::EntryKind::Transfer, 0, Bank, Wallet, 30000, QStringLiteral("ATM"));
        settlements[y * 100 + m] =
            entry(on(10), cv::EntryKind::Transfer, 0, Bank, Card, 0, QStringLiteral("カード引落"));

        // Foreign currency: the month's rate, and some yen put into dollars.
        dollarRate = std::clamp(dollarRate * (1 + (random.below(81) - 40) / 1000.0), 75.0, 160.0);
        Plan rate;
        rate.type = Plan::Rate;
        rate.date = on(1);
        rate.destination = dollar->ident();
        rate.amount = std::round(dollarRate * 100) / 100;
        plans.push_back(rate);
        const size_t fx = entry(on(5), cv::EntryKind::Transfer, 0, Bank, DollarAccount, 30000);
        plans[fx].converted = std::round(30000 / rate.amount * 100) / 100;

        // Investments: money in, the month's prices, a purchase; a sale once a year.
        entry(on(26), cv::EntryKind::Transfer, 0, Bank, Brokerage, 50000);
        for (size_t b = 0; b < securities.size(); ++b) {
            securityPrice[b] = std::max(100.0, std::round(securityPrice[b] * (1 + (random.below(101) - 45) / 1000.0)));
            Plan price;
            price.type = Plan::Price;
            price.date = on(28);
            price.destination = securities[b]->ident();
            price.amount = securityPrice[b];
            plans.push_back(price);
        }
        const size_t b = size_t(months) % securities.size();
        Plan buy;
        buy.type = Plan::TradeItem;
        buy.kind = cv::raw(cv::TradeKind::Buy);
        buy.date = on(28);
        buy.account = Brokerage;
        buy.destination = securities[b]->ident();
        buy.amount = securityPrice[b];
        buy.count = std::max(1.0, std::floor(45000 / securityPrice[b]));
        plans.push_back(buy);
        if (m == 12 && months >= 12) {
            Plan sale = buy;
            sale.kind = cv::raw(cv::TradeKind::Sale);
            sale.date = on(14);
            sale.count = std::max(1.0, std::floor(buy.count / 2));
            plans.push_back(sale);
        }
    }

    // ---- the mortgage: a house bought a quarter into the book, repaid monthly
    std::shared_ptr<cv::LoanTerms> loanTerms;
    cv::NodePtr loan;
    cv::LoanSchedule schedule;
    {
        loanTerms = std::make_shared<cv::LoanTerms>();
        loanTerms->setDate(first.addDays(days / 4));
        loanTerms->setInitialValue(30000000);
        loanTerms->setRate(0.008);
        loanTerms->setTimes(kLoanMonths);
        loanTerms->setDueDay(27);
        loanTerms->setRepaymentAccount(Bank);
        loanTerms->setOutCategory(HomePurchase);
        schedule = loanTerms->calcPayment();
    }
    int loanEntries = schedule.empty() ? 0 : 1;
    for (const auto &row : schedule) loanEntries += (row->principal() != 0) + (row->interest() != 0);

    // ---- everyday spending fills the rest
    int planned = loanEntries;
    for (const Plan &p : plans) planned += p.type == Plan::EntryItem || p.type == Plan::TradeItem;
    const int daily = std::max(0, options.entries - planned);
    int totalWeight = 0;
    for (const Spend &s : kSpending) totalWeight += s.weight;
    std::map<int, double> cardMonths;
    const int memoCount = int(std::size(kMemos));
    for (int i = 0; i < daily; ++i) {
        const QDate date = first.addDays(random.below(days));
        int pick = random.below(totalWeight);
        const Spend *spend = &kSpending[0];
        for (const Spend &s : kSpending) {
            if (pick < s.weight) {
                spend = &s;
                break;
            }
            pick -= s.weight;
        }
        const bool byCard = random.below(10) < 4;
        const double amount = random.yen(spend->low, spend->high);
        const int memo = random.below(memoCount * 10 / 7); // about three in ten without memo
        const size_t at = entry(date, cv::EntryKind::Expense, spend->category, byCard ? Card : Wallet, 0, amount,
                                memo < memoCount ? QString::fromUtf8(kMemos[memo]) : QString());
        if (random.below(50) == 0) plans[at].group = groups[size_t(random.below(int(groups.size())))];
        if (byCard) cardMonths[date.year() * 100 + date.month()] += amount;
    }
    // The card is settled for the month before; a month without card use pays nothing.
    for (auto &[key, at] : settlements) {
        const QDate before = QDate(key / 100, key % 100, 1).addMonths(-1);
        plans[at].amount = cardMonths[before.year() * 100 + before.month()];
    }
    std::erase_if(plans, [](const Plan &p) { return p.type == Plan::EntryItem && p.amount == 0; });
    std::stable_sort(plans.begin(), plans.end(), [](const Plan &a, const Plan &b) { return a.date < b.date; });

    // ---- through the write path, as one batch
    BookStats stats;
    cv::BookStore *store = doc.store();
    std::optional<cv::EditScope> batch(std::in_place, doc);
    store->beginTransaction();
    std::set<cv::SecurityPtr> touched;
    for (const Plan &p : plans) {
        switch (p.type) {
        case Plan::EntryItem: {
            auto e = std::make_shared<cv::Entry>();
            e->setKind(cv::EntryKind(p.kind));
            e->setDate(p.date);
            e->setCategory(p.category);
            e->setAccount(p.account);
            e->setDestination(p.destination);
            e->setAmount(p.amount);
            e->setConverted(p.converted);
            e->setGroup(p.group);
            e->setMemo(p.memo);
            if (p.kind == cv::EntryKind::Income)
                doc.updateIncome(e, nullptr);
            else if (p.kind == cv::EntryKind::Expense)
                doc.updateExpense(e, nullptr);
            else {
                doc.fixupTransferCategory(*e);
                doc.updateTransfer(e, nullptr);
            }
            ++stats.entries;
            break;
        }
        case Plan::TradeItem: {
            auto t = std::make_shared<cv::Trade>();
            t->setKind(cv::TradeKind(p.kind));
            t->setDate(p.date);
            t->setAccount(p.account);
            t->setSecurity(p.destination);
            t->setCount(p.count);
            t->setUnitPrice(p.amount);
            t->setCommission(p.kind == cv::TradeKind::Sale ? 0 : std::round(p.amount * p.count * 0.001));
            t->setFlags(cv::EditNew);
            doc.applyTrade(t, brokerage, {}, touched, false);
            ++stats.trades;
            break;
        }
        case Plan::Rate: {
            auto r = std::make_shared<cv::DatedPrice>();
            r->setSecurity(p.destination);
            r->setDate(p.date);
            r->setPrice(p.amount);
            store->putExchangeRate(r);
            ++stats.rates;
            break;
        }
        case Plan::Price: {
            auto r = std::make_shared<cv::DatedPrice>();
            r->setSecurity(p.destination);
            r->setDate(p.date);
            r->setPrice(p.amount);
            store->putPrice(r);
            ++stats.prices;
            break;
        }
        }
    }
    if (!schedule.empty()) {
        loan = account(debts, Mortgage, 41, QStringLiteral("住宅ローン"), yen->ident(), 0, loanTerms->date());
        loan->setExtra(loanTerms);
        doc.putLoan(loan, schedule);
        stats.entries += loanEntries;
        stats.loanRows = int(schedule.size());
    }
    store->commitTransaction();
    batch.reset();
    // Rates, prices and the loan's entries reach the cache only through a rebuild.
    doc.createCache();
    return stats;
}

bool saveBook(cv::Book &doc, const QString &path)
{
    doc.commitSettings();
    doc.commitAccountTrees();
    doc.commitCategoryTrees();
    doc.commitCurrencyList();
    doc.commitSecurityList();
    doc.commitGroupList();
    return doc.store()->save(path);
}

bool openBook(cv::Book &doc, const QString &path)
{
    const QString type = cv::Book::typeForExtension(QFileInfo(path).suffix());
    return !type.isEmpty() && doc.initWithContentsOfFile(path, type);
}

} // namespace cv::bench
