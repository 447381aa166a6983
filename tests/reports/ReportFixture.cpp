#include "ReportFixture.h"

#include "support/SampleBook.h"
#include "document/BookTestAccess.h"

#include <algorithm>
#include <map>

namespace reportfixture {

namespace {

void setAll(cv::Node &node, int status)
{
    node.setStatus(status);
    for (const cv::NodePtr &child : node.children()) setAll(*child, status);
}

std::shared_ptr<cv::AccountDetail> opening(double value)
{
    auto record = std::make_shared<cv::AccountDetail>();
    record->setDate(QDate(2008, 1, 1));
    record->setInitialValue(value);
    return record;
}

} // namespace

std::unique_ptr<cv::Book> makeFixtureF()
{
    using namespace samplebook;
    auto doc = makeYenBook();
    if (!doc) return nullptr;
    doc->settings()->setFiscalDayOfMonth(0);

    auto alpha = std::make_shared<cv::Security>();
    alpha->setIdent(kAlpha);
    alpha->setName(QStringLiteral("Alpha"));
    alpha->setKind(cv::SecurityKind::Stock);
    alpha->setCurrency(1);
    doc->addSecurity(alpha);

    const auto &accounts = *doc->accountTrees();
    const cv::NodePtr wallet = accounts.asset()->findMemberWithIdent(kWallet);
    if (!wallet) return nullptr;
    wallet->setCurrency(1);
    wallet->setExtra(opening(10000));
    auto bankRecord = std::make_shared<cv::BankDetail>();
    bankRecord->setDate(QDate(2008, 1, 1));
    bankRecord->setInitialValue(100000);
    node(accounts.asset(), kBank, 31, QStringLiteral("Bank A"), bankRecord);
    auto broker = node(accounts.asset(), kBroker, 32, QStringLiteral("Broker"), opening(0));
    auto cash = std::make_shared<cv::Node>();
    cash->setKind(cv::NodeKind::CashPart);
    cash->setIdent(0);
    broker->appendChild(cash);
    auto unit = std::make_shared<cv::OpeningHolding>();
    unit->setSecurity(kAlpha);
    unit->setDate(QDate(2008, 1, 10));
    unit->setUnits(100);
    unit->setUnitPrice(1000);
    unit->setCommission(500);
    node(broker, kHolding, cv::NodeKind::Holding, QString(), unit);
    auto cardRecord = std::make_shared<cv::CardDetail>();
    cardRecord->setDate(QDate(2008, 1, 1));
    node(accounts.debt(), kCard, 40, QStringLiteral("Card"), cardRecord);

    const auto &categories = *doc->categoryTrees();
    auto salary = node(categories.income(), kSalary, 21, QStringLiteral("Salary"));
    auto living = node(categories.expense(), kLiving, 20, QStringLiteral("Living"));
    auto food = node(living, kFood, 21, QStringLiteral("Food"));
    auto daily = node(living, kDaily, 21, QStringLiteral("Daily"));
    auto rent = node(categories.expense(), kRent, 21, QStringLiteral("Rent"));
    salary->setBudgetAfter(2008, 1, 280000);
    food->setBudgetAfter(2008, 1, 15000);
    daily->setBudgetAfter(2008, 1, 3000);
    rent->setBudgetAfter(2008, 1, 80000);

    doc->commitAccountTrees();
    doc->commitCategoryTrees();
    doc->commitSecurityList();
    doc->createCache();

    using K = cv::EntryKind;
    using E = std::tuple<K, int, int, double, int, int, int>; // month, day, amount, category, from, to
    // clang-format off
    for (const auto &[kind, m, d, amount, category, account, to] : std::initializer_list<E>{
             {K::Expense, 4, 20, 12000, kFood, kCard, 0},       {K::Income, 4, 25, 300000, kSalary, kBank, 0},
             {K::Expense, 4, 27, 80000, kRent, kBank, 0},       {K::Transfer, 5, 5, 150000, 0, kBank, kBroker},
             {K::Expense, 5, 10, 5000, kFood, kBank, 0},        {K::Expense, 5, 12, 8000, kFood, kCard, 0},
             {K::Transfer, 5, 15, 20000, 0, kBank, kWallet},    {K::Expense, 5, 18, 2000, kDaily, kWallet, 0},
             {K::Income, 5, 25, 300000, kSalary, kBank, 0},     {K::Expense, 5, 27, 80000, kRent, kBank, 0},
             {K::Transfer, 5, 27, 12000, 0, kBank, kCard}})
        store(*doc, kind, QDate(2008, m, d), amount, category, account, to);
    // clang-format on

    bool ok = true;
    for (const auto &[date, price] : {std::pair{QDate(2008, 4, 30), 1150.0}, {QDate(2008, 5, 20), 1300.0}}) {
        ok = doc->putPrice(samplebook::priceTime(kAlpha, date, price)) && ok;
    }
    enter(*doc, kBroker, kAlpha, cv::TradeKind::Buy, QDate(2008, 5, 8), 100, 1200, 600);
    enter(*doc, kBroker, kAlpha, cv::TradeKind::Sale, QDate(2008, 5, 20), 50, 1300, 400);
    enter(*doc, kBroker, kAlpha, cv::TradeKind::Dividend, QDate(2008, 5, 28), 1, 1500, 0);

    tickAll(*doc, 1);
    ok = doc->commitSettings() && ok;
    doc->updateChangeCount(cv::BookChanges::ChangeCleared);
    return ok ? std::move(doc) : nullptr;
}

void FixtureFTest::addEntry(cv::EntryKind kind, const QDate &date, double amount, int category, int account,
                            const QString &memo, int destination, int group)
{
    auto e = samplebook::entry(kind, date, amount, category, account, destination);
    e->setMemo(memo);
    e->setGroup(group);
    if (kind == cv::EntryKind::Income) doc->updateIncome(e, nullptr);
    if (kind == cv::EntryKind::Expense) doc->updateExpense(e, nullptr);
    if (kind == cv::EntryKind::Transfer) {
        doc->fixupTransferCategory(*e);
        doc->updateTransfer(e, nullptr);
    }
}

cv::NodePtr FixtureFTest::addCategory(const cv::NodePtr &parent, int ident, const QString &name)
{
    auto node = samplebook::node(parent, ident, 21, name);
    doc->commitCategoryTrees();
    return node;
}

cv::NodePtr FixtureFTest::addAccount(int ident, const QString &name, int currency, const QDate &opened, double value)
{
    auto record = std::make_shared<cv::BankDetail>();
    record->setDate(opened);
    record->setInitialValue(value);
    auto node = samplebook::node(doc->accountTrees()->asset(), ident, cv::NodeKind::Bank, name, record);
    node->setCurrency(currency);
    doc->commitAccountTrees();
    doc->accumulateAccount(node);
    return node;
}

void FixtureFTest::addHolding(int ident, int security, const QDate &opened, double units, double price,
                              double commission)
{
    auto unit = std::make_shared<cv::OpeningHolding>();
    unit->setSecurity(security);
    unit->setDate(opened);
    unit->setUnits(units);
    unit->setUnitPrice(price);
    unit->setCommission(commission);
    samplebook::node(doc->findAccount(kBroker), ident, cv::NodeKind::Holding, QString(), unit);
    doc->commitAccountTrees();
}

int FixtureFTest::addStock(const QString &name, cv::SecurityKind kind)
{
    auto security = std::make_shared<cv::Security>();
    security->setName(name);
    security->setKind(kind);
    security->setCurrency(1);
    doc->addSecurity(security);
    doc->commitSecurityList();
    return security->ident();
}

void enter(cv::Book &doc, int account, int security, cv::TradeKind kind, const QDate &date, double count, double price,
           double commission, int to)
{
    auto t = std::make_shared<cv::Trade>();
    t->setKind(kind);
    t->setDate(date);
    t->setAccount(account);
    t->setTransfer(to);
    t->setSecurity(security);
    t->setCount(count);
    t->setUnitPrice(price);
    t->setCommission(commission);
    t->setFlags(cv::EditNew);
    std::set<cv::SecurityPtr> securities;
    doc.applyTrade(t, doc.findAccount(account), {}, securities, false);
}

cv::PageSetup a4(int orientation)
{
    cv::PageSetup setup;
    setup.paperName = QStringLiteral("A4");
    setup.orientation = orientation;
    setup.margins = QMarginsF(36, 36, 36, 36);
    return setup;
}

void tickAll(cv::Book &doc, int status)
{
    for (const cv::NodePtr &root : {doc.accountTrees()->asset(), doc.accountTrees()->debt(),
                                    doc.categoryTrees()->income(), doc.categoryTrees()->expense()})
        if (root) setAll(*root, status);
}

cv::NodePtr findNode(cv::Book &doc, int ident)
{
    cv::NodePtr node = doc.findAccount(ident);
    if (!node) node = doc.findIncome(ident);
    if (!node) node = doc.findExpense(ident);
    return node;
}

void tickOnly(cv::Book &doc, const std::vector<int> &idents)
{
    tickAll(doc, 0);
    for (int ident : idents)
        if (cv::NodePtr node = findNode(doc, ident)) setAll(*node, 1);
}

std::unique_ptr<cv::Report> makeReport(cv::Book &doc, const cv::ReportRequest &request)
{
    const cv::ReportKind *kind = cv::reportKind(request.kind);
    if (!kind || !kind->make) return nullptr;
    doc.amountText().beginCurrencyPrinting();
    auto view = kind->make(doc, request, a4(kind->orientation));
    doc.amountText().endCurrencyPrinting();
    return view;
}

cv::RecordingCanvas drawPage(cv::Report &view, int page)
{
    cv::RecordingCanvas canvas;
    view.setToday(QStringLiteral("2026/01/02"));
    view.doc().amountText().beginCurrencyPrinting();
    view.drawSheet(page, canvas);
    view.doc().amountText().endCurrencyPrinting();
    return canvas;
}

QStringList lineAt(const cv::RecordingCanvas &canvas, double y)
{
    QList<cv::RecordingCanvas::Call> calls;
    for (const auto &call : canvas.calls(cv::RecordingCanvas::Op::Text))
        if (qAbs(call.rect.y() - y) < 0.5) calls.append(call);
    std::stable_sort(calls.begin(), calls.end(), [](const auto &a, const auto &b) { return a.rect.x() < b.rect.x(); });
    QStringList texts;
    for (const auto &call : calls) texts << call.text;
    return texts;
}

QStringList pageLines(const cv::RecordingCanvas &canvas)
{
    std::map<int, bool> tops;
    for (const auto &call : canvas.calls(cv::RecordingCanvas::Op::Text)) tops[qRound(call.rect.y() * 2)] = true;
    QStringList lines;
    for (const auto &[top, unused] : tops) lines << lineAt(canvas, top / 2.0).join(QStringLiteral(" | "));
    return lines;
}

} // namespace reportfixture
