#pragma once
// Builders of nodes and entries, and a small household book with one of
// everything, shared by the document tests and the fuzzers' seeds programs.

#include "document/store/BookStore.h"
#include "document/Book.h"
#include "model/Entry.h"
#include "model/AccountDetail.h"
#include "model/BankDetail.h"
#include "model/CardDetail.h"
#include "model/OpeningHolding.h"
#include "model/LoanTerms.h"
#include "model/DatedPrice.h"
#include "model/Summary.h"
#include "model/Trade.h"
#include "platform/KeyedArchiver.h"

#include <memory>
#include <tuple>
#include <utility>

namespace samplebook {

inline cv::NodePtr node(const cv::NodePtr &parent, int ident, cv::NodeKind kind, const QString &name,
                        cv::ArchivablePtr extra = nullptr)
{
    auto n = std::make_shared<cv::Node>();
    n->setIdent(ident);
    n->setKind(kind);
    n->setCurrency(1);
    n->setName(name);
    n->setExtra(std::move(extra));
    parent->appendChild(n);
    return n;
}

// Books written with the stored kind numbers.
inline cv::NodePtr node(const cv::NodePtr &parent, int ident, int kind, const QString &name,
                        cv::ArchivablePtr extra = nullptr)
{
    return node(parent, ident, cv::NodeKind(kind), name, std::move(extra));
}

inline cv::EntryPtr entry(cv::EntryKind kind, const QDate &date, double amount, int category, int account,
                          int destination = 0)
{
    auto e = std::make_shared<cv::Entry>();
    e->setKind(kind);
    e->setDate(date);
    e->setAmount(amount);
    e->setCategory(category);
    e->setAccount(account);
    e->setDestination(destination);
    return e;
}

inline cv::EntryPtr entry(int kind, const QDate &date, double amount, int category, int account, int destination = 0)
{
    return entry(cv::EntryKind(kind), date, amount, category, account, destination);
}

// An entry stored as its panel stores it (a transfer gets its category).
inline cv::EntryPtr store(cv::Book &doc, cv::EntryKind kind, const QDate &date, double amount, int category,
                          int account, int destination = 0)
{
    auto e = entry(kind, date, amount, category, account, destination);
    if (kind == cv::EntryKind::Transfer) doc.fixupTransferCategory(*e);
    if (kind == cv::EntryKind::Income) doc.updateIncome(e, nullptr);
    if (kind == cv::EntryKind::Expense) doc.updateExpense(e, nullptr);
    if (kind == cv::EntryKind::Transfer) doc.updateTransfer(e, nullptr);
    return e;
}
inline cv::EntryPtr store(cv::Book &doc, int kind, const QDate &date, double amount, int category, int account,
                          int destination = 0)
{
    return store(doc, cv::EntryKind(kind), date, amount, category, account, destination);
}

// A security's price of a day, or a currency's exchange rate (the security is
// then the currency's ident).
inline cv::DatedPricePtr priceTime(int security, const QDate &date, double value)
{
    auto p = std::make_shared<cv::DatedPrice>();
    p->setSecurity(security);
    p->setDate(date);
    p->setPrice(value);
    return p;
}

// A price or a rate stored in the book; false when the store refused it.
inline bool putPrice(cv::Book &doc, int security, const QDate &date, double value)
{
    return doc.store()->putPrice(priceTime(security, date, value));
}
inline bool putRate(cv::Book &doc, int currency, const QDate &date, double value)
{
    return doc.store()->putExchangeRate(priceTime(currency, date, value));
}

// The entries the store holds of an account (its own or as the destination),
// within the days from..to when given.
inline cv::BookStore::EntryList storedEntries(cv::Book &doc, int account, const QDate &from = {}, const QDate &to = {})
{
    cv::SearchConditions conditions;
    conditions.account = {account};
    if (from.isValid()) conditions.date = {from, to};
    return doc.store()->findEntry(conditions).value_or(cv::BookStore::EntryList{});
}
inline cv::BookStore::EntryList storedEntriesOfCategory(cv::Book &doc, int category)
{
    cv::SearchConditions conditions;
    conditions.category = {category};
    return doc.store()->findEntry(conditions).value_or(cv::BookStore::EntryList{});
}

// A currency named by its code, added to the document.
inline cv::CurrencyPtr currency(cv::Book &doc, int ident, const QString &abbr, double rate, int fraction)
{
    auto c = std::make_shared<cv::Currency>();
    c->setIdent(ident);
    c->setAbbr(abbr);
    c->setName(abbr);
    c->setRate(rate);
    c->setFraction(fraction);
    doc.addCurrency(c);
    return c;
}

// Fills a new document with accounts of every kind, categories with budgets,
// two currencies with rates, a stock and a trust with prices and trades, a
// grouping, a loan with its schedule, a summary and memos with quotes,
// ampersands, Japanese and line breaks. False when the store refused a write.
inline bool fillRichBook(cv::Book &doc)
{
    bool ok = true;
    currency(doc, 1, QStringLiteral("JPY"), 1, 0);
    currency(doc, 2, QStringLiteral("USD"), 0.00912345, 2)->setPrefix(QStringLiteral("$"));
    for (const auto &[date, value] : {std::pair{QDate(2008, 3, 5), 102.5}, {QDate(2008, 4, 1), 99.123456}})
        ok = putRate(doc, 2, date, value) && ok;

    auto grouping = std::make_shared<cv::Grouping>();
    grouping->setName(QStringLiteral("旅行"));
    doc.addGrouping(grouping);
    auto security = [&](const QString &name, int currencyIdent, cv::SecurityKind kind) {
        auto b = std::make_shared<cv::Security>();
        b->setName(name);
        b->setCurrency(currencyIdent);
        b->setKind(kind);
        doc.addSecurity(b);
        ok =
            putPrice(doc, b->ident(), QDate(2008, 3, 31), b->kind() == cv::SecurityKind::Stock ? 3120 : 10234.567891) &&
            ok;
        return b;
    };
    auto stock = security(QStringLiteral("Stock & Co"), 1, cv::SecurityKind::Stock);
    stock->setCode(7203);
    auto trust = security(QStringLiteral("投信"), 2, cv::SecurityKind::InvestmentTrust);
    trust->setRisk(2);

    const auto &accounts = *doc.accountTrees();
    auto cashRecord = std::make_shared<cv::AccountDetail>();
    cashRecord->setDate(QDate(2008, 1, 1));
    cashRecord->setInitialValue(50000);
    node(accounts.asset(), 1000, 30, QStringLiteral("財布"), cashRecord);
    auto bankRecord = std::make_shared<cv::BankDetail>();
    bankRecord->setName(QStringLiteral("A&B \"X\""));
    bankRecord->setInterestRate(0.00025);
    bankRecord->setMemo(QStringLiteral("line 1\nline 2\r\n'&'"));
    node(accounts.asset(), 1001, 31, QStringLiteral("普通預金"), bankRecord);
    auto invest = node(accounts.asset(), 1002, 32, QStringLiteral("証券"), std::make_shared<cv::AccountDetail>());
    auto cash = std::make_shared<cv::Node>();
    cash->setKind(cv::NodeKind::CashPart);
    cash->setIdent(0);
    invest->appendChild(cash);
    auto unit = std::make_shared<cv::OpeningHolding>();
    unit->setSecurity(stock->ident());
    unit->setUnits(1500.5);
    unit->setUnitPrice(2999.999);
    unit->setDate(QDate(2008, 1, 1));
    auto holding = std::make_shared<cv::Node>();
    holding->setKind(cv::NodeKind::Holding);
    holding->setIdent(0);
    holding->setExtra(unit);
    invest->appendChild(holding);
    doc.addSecurityNodeIfNeeded(invest, trust->ident());
    for (const auto &[date, b, count, price, commission] : {std::tuple{QDate(2008, 2, 1), stock, 100.0, 3000.0, 525.0},
                                                            {QDate(2008, 2, 2), trust, 12.5, 10000.123456, 0.0}}) {
        auto t = std::make_shared<cv::Trade>();
        t->setDate(date);
        t->setAccount(1002);
        t->setSecurity(b->ident());
        t->setCount(count);
        t->setUnitPrice(price);
        t->setCommission(commission);
        t->setTransfer(1001);
        t->setMemo(QStringLiteral("買い'&'"));
        ok = doc.store()->putTrade(t) && ok;
    }

    auto cardRecord = std::make_shared<cv::CardDetail>();
    cardRecord->setLimit(300000);
    cardRecord->setCutoffDay(15);
    cardRecord->setDueDay(10);
    node(accounts.debt(), 1003, 40, QStringLiteral("Card"), cardRecord);
    auto loanRecord = std::make_shared<cv::LoanTerms>();
    loanRecord->setRepaymentFlags(16 + 4);
    loanRecord->setInitialValue(1000000);
    loanRecord->setDate(QDate(2008, 1, 1));
    loanRecord->setRate(0.01375);
    loanRecord->setTimes(2);
    loanRecord->setRepaymentAccount(1001);
    loanRecord->setBonusMonths(1 << 6);
    loanRecord->setBonusAmount(1000);
    auto loan = node(accounts.debt(), 1004, 41, QStringLiteral("住宅ローン"), loanRecord);
    cv::LoanSchedule rows;
    for (int month : {2, 3}) {
        auto row = std::make_shared<cv::LoanPayment>();
        row->setDate(QDate(2008, month, 27));
        row->setRate(0.01375);
        row->setAccount(1001);
        row->setPrincipal(500000);
        row->setInterest(1145.83);
        rows.push_back(row);
    }
    loanRecord->recalcPaymentRest(rows);
    doc.store()->putLoanData(loan->ident(),
                             cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue::arrayOf(rows)));

    auto summary = std::make_shared<cv::Summary>();
    summary->setMemo(QStringLiteral("net"));
    summary->addedNodes().push_back(std::make_shared<cv::SummaryMember>());
    summary->addedNodes()[0]->setRefID(1000);
    summary->subtractedNodes().push_back(std::make_shared<cv::SummaryMember>());
    summary->subtractedNodes()[0]->setRefID(1003);
    auto sumNode = std::make_shared<cv::Node>();
    sumNode->setIdent(1007);
    sumNode->setKind(cv::NodeKind::AccountSummary);
    sumNode->setExtra(summary);
    accounts.summary()->appendChild(sumNode);

    const auto &categories = *doc.categoryTrees();
    auto group = node(categories.expense(), 1008, 20, QStringLiteral("生活"));
    auto food = node(group, 1005, 21, QStringLiteral("食費"));
    food->setBudgetAfter(2008, 1, 30000);
    food->setBudgetAfter(2008, 4, 35000.5);
    node(categories.income(), 1006, 21, QStringLiteral("Salary"));

    auto e1 = entry(cv::EntryKind::Expense, QDate(2008, 3, 5), 1234.56, 1005, 1000);
    e1->setGroup(grouping->ident());
    e1->setMemo(QStringLiteral("スーパー 'A&B'\n2行目"));
    doc.updateExpense(e1, nullptr);
    doc.updateExpense(entry(cv::EntryKind::Expense, QDate(2008, 3, 5), 99, 1005, 1003), nullptr);
    doc.updateIncome(entry(cv::EntryKind::Income, QDate(2008, 3, 25), 250000, 1006, 1001), nullptr);
    auto move = entry(cv::EntryKind::Transfer, QDate(2008, 3, 26), 100, 0, 1001, 1000);
    doc.fixupTransferCategory(*move);
    doc.updateTransfer(move, nullptr);

    doc.settings()->setViewerSummary(3);
    return ok;
}

// A new document: the store created, the system categories and accounts in
// place; null when the store could not be created.
inline std::unique_ptr<cv::Book> makeEmptyBook()
{
    auto doc = std::make_unique<cv::Book>();
    if (!doc->store()->create()) return nullptr;
    doc->categoryTrees()->setDefault();
    doc->categoryTrees()->setSystemItems();
    doc->accountTrees()->setSystemItems();
    return doc;
}

// The empty book keeping yen as currency 1, the books most tests start from.
inline std::unique_ptr<cv::Book> makeYenBook()
{
    auto doc = makeEmptyBook();
    if (doc) currency(*doc, 1, QStringLiteral("JPY"), 1, 0);
    return doc;
}

// A new document holding the rich book; null when any part of it could not
// be stored.
inline std::unique_ptr<cv::Book> makeRichBook()
{
    auto doc = makeEmptyBook();
    return doc && fillRichBook(*doc) ? std::move(doc) : nullptr;
}

} // namespace samplebook
