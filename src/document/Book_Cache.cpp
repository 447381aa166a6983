#include "document/Book.h"
#include "document/BookPrivate.h"
#include "document/EditScope.h"

#include "model/Entry.h"
#include "model/AccountDetail.h"
#include "model/OpeningHolding.h"
#include "model/DatedPrice.h"
#include "model/Summary.h"
#include "model/Trade.h"
#include "platform/DateIntegers.h"
#include "platform/Logging.h"

#include <algorithm>
#include <cmath>

namespace cv {

namespace {

using cv::holdingSecurity;

using PriceList = BookStore::PriceList;

// The record findEntriesByCategory would make of the row, in a reused object.
void fillFastRecord(Entry &entry, const BalanceCacheRow &row, int category, cv::EntryKind kind)
{
    entry.setDate(cv::dates::fromDayNumber(row.day));
    entry.setCategory(category);
    entry.setAccount(row.account);
    entry.setDestination(row.destination);
    entry.setKind(row.destination > 0 ? kind : cv::EntryKind::Income); // else a fresh record's kind
    entry.setAmount(row.amount);
    entry.setConverted(row.converted);
}

// calcCache(node, expense) over rows read beforehand: apply(node, its rows)
// for every node of the tree. A folder may carry entries of its own (filed
// while it was a category, or through a mapping made then); the one-entry
// path counts them, so the rebuild does too.
template <class Apply> void applyCategoryRows(const BalanceCacheRows &rows, const NodePtr &node, const Apply &apply)
{
    if (!node) return;
    apply(node, rows.rowsForCategory(node->ident()));
    for (const auto &child : node->children()) applyCategoryRows(rows, child, apply);
}

// calcTransferCache(root) over rows read beforehand.
template <class Apply>
void applyTransferRows(const BalanceCacheRows &rows, const NodePtr &root, Entry &scratch, const Apply &apply)
{
    if (!root) return;
    for (const auto &item : root->children()) {
        for (const BalanceCacheRow &row : rows.rowsForCategory(item->ident())) {
            fillFastRecord(scratch, row, item->ident(), cv::EntryKind::Transfer);
            apply(item, scratch);
        }
    }
}

// Whether the series holds an amount on or before the date. Points whose
// amounts cancelled out (a removed trade) are no history: a rebuild never
// makes them.
bool hasHistory(const BalanceCache &cache, const Node *key, const QDate &date)
{
    for (int i = cache.indexForKey(key, date); i >= 0; --i) {
        if (std::abs(cache.valueForKey(key, cache.dateForKey(key, i))) >= 1e-7) return true;
    }
    return false;
}

} // namespace

struct Book::Private::RowSeries {
    struct Account {
        NodePtr side; // the cash part or the account itself; null: none
        int currency = 0;
        bool foreign = false; // amounts are converted for the category side
        bool cashSide = false;
        bool debt = false;
        ValueSeries *series = nullptr; // made by the first row, as addDaily makes it
    };
    // Found once per ident: the account tree does not change during a rebuild.
    std::unordered_map<int, Account> accounts;
    int lastIdent = 0;
    Account *last = nullptr;
    ValueSeries *cashIn = nullptr;
    ValueSeries *cashOut = nullptr;
};

// ---- rates, prices and conversions

int Book::findIndex(const std::vector<DatedPricePtr> &list, const QDate &date)
{
    const auto it = std::upper_bound(list.begin(), list.end(), date,
                                     [](const QDate &d, const DatedPricePtr &p) { return d < p->date(); });
    return int(it - list.begin()) - 1;
}

double Book::currencyRate(const CurrencyPtr &currency, const QDate &date) const
{
    if (!currency) return 1.0;
    if (const auto *list = m_d->m_cache.dataListAs<PriceList>(currency.get())) {
        const int i = findIndex(*list, date);
        if (i >= 0) return (*list)[size_t(i)]->price();
    }
    const double rate = currency->rate();
    if (rate > 0 && std::isfinite(rate)) return rate;
    // A rate that is not positive would divide by zero or flip signs.
    qCWarning(lcDocument) << "currency" << currency->ident() << "has no usable rate" << rate << "- using 1.0";
    return 1.0;
}

double Book::securityPrice(const SecurityPtr &security, const QDate &date) const
{
    if (!security) return 0;
    const auto *list = m_d->m_cache.dataListAs<PriceList>(security.get());
    if (!list) return 0;
    const int i = findIndex(*list, date);
    return i >= 0 ? (*list)[size_t(i)]->price() : 0;
}

double Book::securityValue(const SecurityPtr &security, const QDate &date) const
{
    return security ? securityPrice(security, date) : 0;
}

int Book::getCurrency(int ident) const
{
    if (ident != 0) return ident;
    const CurrencyPtr d = defaultCurrency();
    return d ? d->ident() : 0;
}

double Book::defaultCurrencyValue(double amount, int currency, const QDate &date) const
{
    if (amount == 0) return 0;
    if (!isForeignCurrency(currency)) return amount;
    return amount * currencyRate(findCurrency(currency), date);
}

double Book::convert(int targetCurrency, double amount, int valueCurrency, const QDate &date) const
{
    const double inDefault = defaultCurrencyValue(amount, valueCurrency, date);
    if (!isForeignCurrency(targetCurrency)) return inDefault;
    return inDefault / currencyRate(findCurrency(targetCurrency), date);
}

double Book::netValue(double value, const CurrencyPtr &currency, const SecurityPtr &security, const QDate &date) const
{
    if (security) value *= securityPrice(security, date);
    if (currency) value *= currencyRate(currency, date);
    return value;
}

void Book::getTransferValues(const Entry &entry, double *converted, double *defValue) const
{
    auto *self = const_cast<Book *>(this);
    const NodePtr from = self->findAccount(entry.account());
    const NodePtr to = self->findAccount(entry.destination());
    const int s = getCurrency(from ? from->currency() : 0);
    const int t = getCurrency(to ? to->currency() : 0);
    const double a = entry.amount();
    const QDate date = entry.date();
    double c = 0;
    double d = 0;
    if (s == t) {
        c = a;
        d = defaultCurrencyValue(a, s, date);
    } else if (entry.converted() == 0) {
        d = defaultCurrencyValue(a, s, date);
        c = isForeignCurrency(t) ? d / currencyRate(findCurrency(t), date) : d;
    } else {
        c = entry.converted();
        d = isForeignCurrency(t) ? defaultCurrencyValue(a, s, date) : c;
    }
    if (converted) *converted = c;
    if (defValue) *defValue = d;
}

// ---- building

int Book::Private::fiscalDay() const
{
    return m_settings ? m_settings->fiscalDayOfMonth() : 0;
}

void Book::Private::addMonthly(double value, const NodePtr &node, const QDate &date)
{
    if (node && value != 0) m_cache.addValue(value, node, date, fiscalDay());
}

void Book::createCache()
{
    postBusy();
    m_d->m_updateAccountOnly = false;
    m_d->m_cache.clear();
    m_d->calcCurrencyCache();
    m_d->calcSecurityCache();
    m_d->rebuildSeries();
    m_d->m_cacheStatus = 0;
    postNoBusy();
}

// Every entry and trade into the series, then the running balances.
void Book::Private::rebuildSeries()
{
    // One typed pass over the entry table instead of a query and a record per
    // entry; the rows and their order are the ones each category would read.
    const std::optional<BalanceCacheRows> rows = m_store ? m_store->readCacheRows() : std::nullopt;
    if (rows && rows->days())
        m_cache.beginAdding(cv::dates::fromDayNumber(rows->days()->first),
                            cv::dates::fromDayNumber(rows->days()->second));
    Entry scratch;
    if (m_categoryTrees) {
        if (rows && !m_document.isEditing()) {
            RowSeries found;
            for (const bool expense : {false, true})
                applyCategoryRows(*rows, expense ? m_categoryTrees->expense() : m_categoryTrees->income(),
                                  [&](const NodePtr &node, BalanceCacheRowRange range) {
                                      addCategoryRows(node, range, expense, found);
                                  });
        } else if (rows) {
            // An edit records what each entry touched: entry by entry.
            for (const bool expense : {false, true})
                applyCategoryRows(*rows, expense ? m_categoryTrees->expense() : m_categoryTrees->income(),
                                  [&](const NodePtr &node, BalanceCacheRowRange range) {
                                      for (const BalanceCacheRow &row : range) {
                                          fillFastRecord(scratch, row, node->ident(),
                                                         expense ? cv::EntryKind::Expense : cv::EntryKind::Income);
                                          calcCache(node, scratch, expense, false);
                                      }
                                  });
        } else {
            calcCache(m_categoryTrees->income(), false);
            calcCache(m_categoryTrees->expense(), true);
        }
    }
    if (m_accountTrees) calcInvestmentCache(m_accountTrees->asset());
    if (m_categoryTrees) {
        if (rows)
            applyTransferRows(*rows, m_categoryTrees->moneyFlow(), scratch,
                              [this](const NodePtr &item, const Entry &e) { calcTransferCache(item, e, false); });
        else
            calcTransferCache(m_categoryTrees->moneyFlow());
    }
    m_cache.endAdding();
    if (m_accountTrees) {
        m_document.accumulateAccount(m_accountTrees->asset());
        m_document.accumulateAccount(m_accountTrees->debt());
    }
    m_unaccumulated = false;
}

void Book::createCacheFor(const NodePtr &node)
{
    if (node) {
        const auto kind = node->kind();
        if (kind == cv::NodeKind::Cash || kind == cv::NodeKind::Investment || kind == cv::NodeKind::GeneralAsset)
            return;
        if (kind == cv::NodeKind::Loan) {
            createCache();
            return;
        }
    }
    postBusy();
    m_d->m_updateAccountOnly = true;
    if (m_d->m_accountTrees) {
        clearCache(m_d->m_accountTrees->asset());
        clearCache(m_d->m_accountTrees->debt());
    }
    m_d->rebuildSeries();
    m_d->m_updateAccountOnly = false;
    postNoBusy();
}

void Book::createCacheIfDirty()
{
    if (m_d->m_cacheStatus != 0) createCache();
}

void Book::clearCache(const NodePtr &node)
{
    if (!node) return;
    m_d->m_cache.clearKey(node.get());
    for (const auto &child : node->children()) clearCache(child);
}

void Book::accumulateAccount(const NodePtr &node)
{
    std::unordered_set<const Node *> visited;
    if (!node) {
        if (!m_d->m_accountTrees) return;
        m_d->accumulateNode(m_d->m_accountTrees->asset(), visited);
        m_d->accumulateNode(m_d->m_accountTrees->debt(), visited);
        m_d->m_unaccumulated = false;
        return;
    }
    m_d->accumulateNode(node, visited);
}

void Book::Private::accumulateNode(const NodePtr &node, std::unordered_set<const Node *> &visited)
{
    if (!node || !visited.insert(node.get()).second) return;
    if (cv::isBalanceNodeKind(node->kind()) || node->kind() == cv::NodeKind::Holding)
        m_cache.accumulateForKey(node.get(), node->assetInitialDate());
    for (const auto &child : node->children()) accumulateNode(child, visited);
}

void Book::Private::calcCache(const NodePtr &node, bool expense)
{
    if (!node) return;
    calcOneCache(node, expense);
    for (const auto &child : node->children()) calcCache(child, expense);
}

void Book::Private::calcOneCache(const NodePtr &node, bool expense)
{
    if (!node) return;
    const auto entries =
        expense ? m_store->findExpenseByCategory(node->ident()) : m_store->findIncomeByCategory(node->ident());
    if (!entries) return;
    for (const auto &e : *entries) calcCache(node, *e, expense, false);
}

void Book::Private::addToCache(int category)
{
    if (NodePtr node = m_document.findIncome(category))
        calcOneCache(node, false);
    else if (NodePtr node = m_document.findExpense(category))
        calcOneCache(node, true);
}

// Every trade is applied once, from its own account, exactly as the write
// path applies it; a trade found again through its other account would count
// twice.
void Book::Private::calcInvestmentCache(const NodePtr &node)
{
    if (!node) return;
    if (node->kind() == cv::NodeKind::Investment) {
        const auto trades = m_store->findTradeFrom(QDate(), QDate(), node->ident(), -1, 0);
        if (trades) {
            for (const auto &t : *trades)
                if (t->account() == node->ident()) calcCache(nullptr, *t, nullptr, false);
        }
        return;
    }
    for (const auto &child : node->children()) calcInvestmentCache(child);
}

void Book::Private::calcTransferCache(const NodePtr &transferRoot)
{
    if (!transferRoot) return;
    for (const auto &item : transferRoot->children()) {
        const auto entries = m_store->findTransferByCategory(item->ident());
        if (!entries) continue;
        for (const auto &e : *entries) calcTransferCache(item, *e, false);
    }
}

NodePtr Book::Private::cashPartOf(const NodePtr &account) const
{
    if (account && account->kind() == cv::NodeKind::Investment) return account->childAt(0);
    return account;
}

bool Book::Private::isCashSide(const NodePtr &account) const
{
    return account && (account->isCash() || account->kind() == cv::NodeKind::CashPart);
}

NodePtr Book::Private::holdingOf(const NodePtr &account, int security) const
{
    if (!account) return nullptr;
    for (int i = 1; i < account->countChild(); ++i) {
        const NodePtr child = account->childAt(i);
        if (child->kind() == cv::NodeKind::Holding && holdingSecurity(*child) == security) return child;
    }
    return nullptr;
}

// What an entry adds to its category's series: its amount in the book's currency.
double Book::Private::categoryValue(double amount, const Node *account, const QDate &date) const
{
    if (account && m_document.getCurrency(account->currency()) != m_document.getCurrency(0))
        return m_document.defaultCurrencyValue(amount, account->currency(), date);
    return amount;
}

void Book::Private::calcCache(const NodePtr &category, const Entry &entry, bool expense, bool remove)
{
    const double a = remove ? -entry.amount() : entry.amount();
    const QDate date = entry.date();
    NodePtr account = m_document.findAccount(entry.account());
    const double v = categoryValue(a, account.get(), date);
    if (!m_updateAccountOnly && category) {
        noteCategory(*category, date);
        addMonthly(v, category, date);
        if (category->ident() != CategoryTrees::LoanUnspecified) {
            for (Node *p = category->parent(); p; p = p->parent()) addMonthly(v, p->shared_from_this(), date);
        }
    }
    if (!account) return; // deleted meanwhile: only the category keeps the entry
    account = cashPartOf(account);
    if (!account) return;
    if (isCashSide(account)) {
        if (!m_updateAccountOnly) addMonthly(v, expense ? m_autoCashOut : m_autoCashIn, date);
        addDaily(expense ? -a : a, account, date);
        return;
    }
    double d = a;
    if (cv::isDebtAccountKind(account->kind())) d = -d;
    if (expense) d = -d;
    addDaily(d, account, date);
}

// Each series receives the same amounts in the same order as calcCache gives
// them entry by entry, so every point sums to the same bits; only the
// look-ups of the series and the accounts are made once instead of per entry.
void Book::Private::addCategoryRows(const NodePtr &category, BalanceCacheRowRange rows, bool expense, RowSeries &found)
{
    Q_ASSERT(!m_document.isEditing());
    if (!category || rows.size() == 0) return;
    // The category and its folders; unassigned loan payments stay out of the folders.
    std::vector<std::pair<NodePtr, ValueSeries *>> chain;
    if (!m_updateAccountOnly) {
        chain.emplace_back(category, nullptr);
        if (category->ident() != CategoryTrees::LoanUnspecified)
            for (Node *p = category->parent(); p; p = p->parent()) chain.emplace_back(p->shared_from_this(), nullptr);
    }
    const NodePtr &cashNode = expense ? m_autoCashOut : m_autoCashIn;
    ValueSeries *&cashSeries = expense ? found.cashOut : found.cashIn;
    const int firstDay = fiscalDay();
    int lastDay = 0;
    QDate date;
    int dayKey = 0;
    bool first = true;
    for (const BalanceCacheRow &row : rows) {
        if (first || row.day != lastDay) {
            first = false;
            lastDay = row.day;
            date = cv::dates::fromDayNumber(row.day);
            dayKey = cv::dates::seriesDayKey(date);
        }
        if (!found.last || found.lastIdent != row.account) {
            auto [it, added] = found.accounts.try_emplace(row.account);
            if (added) {
                RowSeries::Account &a = it->second;
                if (const NodePtr account = m_document.findAccount(row.account)) {
                    a.currency = account->currency();
                    a.foreign = m_document.getCurrency(a.currency) != m_document.getCurrency(0);
                    a.side = cashPartOf(account);
                    a.cashSide = isCashSide(a.side);
                    a.debt = a.side && cv::isDebtAccountKind(a.side->kind());
                }
            }
            found.lastIdent = row.account;
            found.last = &it->second;
        }
        RowSeries::Account &account = *found.last;
        const double a = row.amount;
        const double v = account.foreign ? m_document.defaultCurrencyValue(a, account.currency, date) : a;
        if (v != 0) {
            for (auto &[node, series] : chain) {
                if (!series) series = &m_cache.seriesForAdding(node, firstDay);
                m_cache.addValue(v, *series, date, dayKey);
            }
        }
        if (!account.side) continue; // deleted meanwhile: only the category keeps the entry
        double d = a;
        if (account.cashSide) {
            if (!m_updateAccountOnly && v != 0 && cashNode) {
                if (!cashSeries) cashSeries = &m_cache.seriesForAdding(cashNode, firstDay);
                m_cache.addValue(v, *cashSeries, date, dayKey);
            }
            if (expense) d = -d;
        } else {
            if (account.debt) d = -d;
            if (expense) d = -d;
        }
        if (!account.series) account.series = &m_cache.seriesForAdding(account.side, -1);
        m_cache.addValue(d, *account.series, date, dayKey);
        m_unaccumulated = true;
    }
}

void Book::Private::calcTransferCache(const NodePtr &item, const Entry &entry, bool remove)
{
    double a = entry.amount();
    double c = 0;
    double d = 0;
    m_document.getTransferValues(entry, &c, &d);
    if (remove) {
        a = -a;
        c = -c;
        d = -d;
    }
    const QDate date = entry.date();
    const NodePtr from = cashPartOf(m_document.findAccount(entry.account()));
    const NodePtr to = cashPartOf(m_document.findAccount(entry.destination()));
    if (!m_updateAccountOnly) {
        if (item) {
            noteCategory(*item, date);
            addMonthly(d, item, date);
            if (Node *p = item->parent()) addMonthly(d, p->shared_from_this(), date);
        }
        // A side that no longer exists counts as outside the cash side.
        const bool fromCash = isCashSide(from);
        const bool toCash = isCashSide(to);
        if (fromCash && !toCash)
            addMonthly(d, m_autoCashOut, date);
        else if (!fromCash && toCash)
            addMonthly(d, m_autoCashIn, date);
    }
    const int kind = item ? item->ident() : entry.category();
    double fromDelta = 0;
    double toDelta = 0;
    switch (kind) {
    case CategoryTrees::Asset2Asset:
        fromDelta = -a;
        toDelta = c;
        break;
    case CategoryTrees::Asset2Debt:
        fromDelta = -a;
        toDelta = -c;
        break;
    case CategoryTrees::Debt2Asset:
        fromDelta = a;
        toDelta = c;
        break;
    case CategoryTrees::Debt2Debt:
        fromDelta = a;
        toDelta = -c;
        break;
    default: return;
    }
    if (from) addDaily(fromDelta, from, date);
    if (to) addDaily(toDelta, to, date);
}

void Book::Private::calcCache(const NodePtr &holdingNode, const Trade &trade, const SecurityPtr &securityIn,
                              bool remove)
{
    NodePtr holding = holdingNode;
    NodePtr account;
    if (!holding) {
        account = m_document.findAccount(trade.account());
        holding = holdingOf(account, trade.security());
    } else if (holding->parent()) {
        account = holding->parent()->shared_from_this();
    }
    if (!account) return; // the account is gone: nothing to move
    const SecurityPtr security = securityIn ? securityIn : m_document.findSecurity(trade.security());
    const QDate date = trade.date();
    if (m_document.isEditing()) m_edit.changes.securities.insert(trade.security());

    double u = 0;
    double m = 0;
    trade.changesForAccount(account->ident(), &u, &m);
    if (remove) u = -u;
    if (u != 0 && holding) addDaily(u, holding, date);

    const int accountCurrency = m_document.getCurrency(account->currency());
    const int securityCurrency = m_document.getCurrency(security ? security->currency() : 0);
    double commission = trade.commission();
    double n = m - commission;
    if (n != 0) {
        const bool out = n < 0;
        if (remove) {
            n = -n;
            commission = -commission;
        }
        // The commission is paid in the same money as the trade amount.
        if (accountCurrency != securityCurrency) {
            n = m_document.convert(accountCurrency, n, securityCurrency, date);
            commission = m_document.convert(accountCurrency, commission, securityCurrency, date);
        }
        if (const NodePtr cash = cashPartOf(account); cash && cash != account) addDaily(n, cash, date);
        if (!m_updateAccountOnly) {
            double cashValue = out ? n : n + commission;
            double separate = out ? 0 : commission;
            if (accountCurrency != m_document.getCurrency(0)) {
                cashValue = m_document.defaultCurrencyValue(cashValue, accountCurrency, date);
                separate = m_document.defaultCurrencyValue(separate, accountCurrency, date);
            }
            if (out)
                addMonthly(-cashValue, m_autoCashOut, date);
            else
                addMonthly(cashValue, m_autoCashIn, date);
            addMonthly(separate, m_autoCashOut, date);
        }
    }

    if (trade.kind() == cv::TradeKind::TransferUnits && u != 0) {
        if (const NodePtr receiving = holdingOf(m_document.findAccount(trade.transfer()), trade.security()))
            addDaily(-u, receiving, date);
    }
}

void Book::Private::calcCurrencyCache()
{
    for (const auto &c : m_currencyList) m_document.refreshCurrencyCache(c);
}

void Book::refreshCurrencyCache(const CurrencyPtr &currency)
{
    if (!currency) return;
    auto list = m_d->m_store->getRateListForCurrency(currency->ident());
    PriceList rates;
    if (list) {
        rates.reserve(list->size());
        for (auto &r : *list) {
            if (r->price() > 0 && std::isfinite(r->price())) {
                rates.push_back(std::move(r));
                continue;
            }
            qCWarning(lcDocument) << "ignoring exchange rate" << r->price() << "of currency" << currency->ident()
                                  << "on" << r->date();
        }
    }
    m_d->m_cache.setDataList(currency, rates.empty() ? std::any() : std::any(std::move(rates)));
}

void Book::Private::clearCurrencyCache()
{
    for (const auto &c : m_currencyList) m_cache.setDataList(c, std::any());
}

void Book::Private::calcSecurityCache()
{
    for (const auto &b : m_securityList) m_document.refreshSecurityCache(b);
}

void Book::refreshSecurityCache(const SecurityPtr &security)
{
    if (!security) return;
    auto list = m_d->m_store->getPriceListForSecurity(security->ident());
    if (list && !list->empty())
        m_d->m_cache.setDataList(security, std::any(std::move(*list)));
    else
        m_d->m_cache.setDataList(security, std::any());
}

void Book::Private::removeSecurityCache()
{
    for (const auto &b : m_securityList) m_cache.setDataList(b, std::any());
}

void Book::applySecurities(const std::set<SecurityPtr> &securities)
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    for (const auto &b : securities) {
        refreshSecurityCache(b);
        if (b) m_d->m_edit.changes.securities.insert(b->ident());
    }
}

// Every edit accumulates what it touched at its end, so outside an edit no
// series waits; inside one, a read brings its series up to date first.
const BalanceCache &Book::Private::balanceSeries(const NodePtr &node) const
{
    BalanceCache &cache = m_cache;
    if (m_edit.depth > 0 || m_unaccumulated) {
        if (cache.isDirty(node.get())) cache.accumulateForKey(node.get(), node->assetInitialDate());
    } else {
        // Outside an edit and a rebuild nothing waits; the check costs a lookup per read.
        Q_ASSERT(!cache.isDirty(node.get()));
    }
    return cache;
}

void Book::Private::clearGroupCache(const NodePtr &node)
{
    if (!node) return;
    if (!node->isCategory()) m_cache.clearKey(node.get());
    for (const auto &child : node->children()) clearGroupCache(child);
}

// A folder's own entries into its own series; the folders above add the whole
// series after.
void Book::Private::addFolderEntries(const NodePtr &folder)
{
    if (!m_categoryTrees || !m_store) return;
    const Node *root = folder->root();
    const bool expense = root == m_categoryTrees->expense().get();
    if (!expense && root != m_categoryTrees->income().get()) return;
    const auto entries =
        expense ? m_store->findExpenseByCategory(folder->ident()) : m_store->findIncomeByCategory(folder->ident());
    if (!entries) return;
    for (const auto &e : *entries)
        addMonthly(categoryValue(e->amount(), m_document.findAccount(e->account()).get(), e->date()), folder,
                   e->date());
}

void Book::Private::addGroupCache(const NodePtr &node)
{
    if (!node) return;
    if (!node->isCategory()) addFolderEntries(node);
    for (const auto &child : node->children()) {
        addGroupCache(child);
        // Unassigned loan payments are never part of their parents' totals (as entry by entry).
        if (child->ident() != CategoryTrees::LoanUnspecified) m_cache.addAllValues(child.get(), node);
    }
    // A folder's series is made here, not by an entry: later entries must
    // find it keyed by the book's fiscal months.
    m_cache.setFirstDay(fiscalDay(), node.get());
}

void Book::refreshCategoryGroupingCache(const NodePtr &node)
{
    postBusy();
    m_d->clearGroupCache(node);
    m_d->addGroupCache(node);
    postNoBusy();
}

void Book::Private::treeRecalcMonthlyCache(const NodePtr &node, int firstDay)
{
    if (!node) return;
    m_cache.setFirstDay(firstDay, node.get());
    for (const auto &child : node->children()) treeRecalcMonthlyCache(child, firstDay);
}

void Book::recalcMonthlyCache()
{
    postBusy();
    if (m_d->m_categoryTrees) {
        m_d->treeRecalcMonthlyCache(m_d->m_categoryTrees->income(), m_d->fiscalDay());
        m_d->treeRecalcMonthlyCache(m_d->m_categoryTrees->expense(), m_d->fiscalDay());
        m_d->treeRecalcMonthlyCache(m_d->m_categoryTrees->moneyFlow(), m_d->fiscalDay());
    }
    // The cash items stand outside the trees but keep monthly series too.
    m_d->treeRecalcMonthlyCache(m_d->m_autoCashIn, m_d->fiscalDay());
    m_d->treeRecalcMonthlyCache(m_d->m_autoCashOut, m_d->fiscalDay());
    postNoBusy();
}

// ---- valuation

double Book::Private::convertedValue(double value, int fromCurrency, const CurrencyPtr &target, const QDate &date) const
{
    if (!target || m_document.getCurrency(fromCurrency) == target->ident()) return value;
    if (m_document.isForeignCurrency(fromCurrency))
        value *= m_document.currencyRate(m_document.findCurrency(fromCurrency), date);
    if (m_document.isForeignCurrency(target->ident())) value /= m_document.currencyRate(target, date);
    return value;
}

double Book::valueForAccount(const NodePtr &node, const QDate &date, const CurrencyPtr &currency) const
{
    return m_d->nodeValue(node, date, currency, false);
}

double Book::valueForAccount(const NodePtr &node, const QDate &date) const
{
    return m_d->nodeValue(node, date, defaultCurrency(), false);
}

double Book::rawValueForAccount(const NodePtr &node, const QDate &date) const
{
    return m_d->nodeValue(node, date, nullptr, true);
}

double Book::Private::summaryValue(const NodePtr &node, const std::function<double(const NodePtr &)> &value) const
{
    const auto summary = std::dynamic_pointer_cast<Summary>(node->extra());
    if (!summary) return 0;
    double plus = 0;
    double minus = 0;
    for (const auto &u : summary->addedNodes()) plus += value(u ? u->resolvedNode() : nullptr);
    for (const auto &u : summary->subtractedNodes()) minus += value(u ? u->resolvedNode() : nullptr);
    const double total = plus - minus;
    return summary->addedNodes().empty() ? -total : total;
}

double Book::Private::nodeValue(const NodePtr &node, const QDate &date, const CurrencyPtr &q, bool raw) const
{
    if (!node) return 0;
    if (!node->validAtDate(date) && !hasHistory(m_cache, node.get(), date)) return 0;
    const CurrencyPtr target = raw ? nullptr : q;
    switch (cv::NodeKind(node->kind())) {
    case cv::NodeKind::SectionRoot:
    case cv::NodeKind::Group: {
        double sum = 0;
        for (const auto &child : node->children()) sum += nodeValue(child, date, target, raw);
        return sum;
    }
    case cv::NodeKind::AccountSummary: {
        if (const auto summary = std::dynamic_pointer_cast<Summary>(node->extra())) {
            for (auto *list : {&summary->addedNodes(), &summary->subtractedNodes()})
                for (const auto &u : *list)
                    if (u && !u->resolvedNode()) u->setResolvedNode(m_document.findAccount(u->refID()));
        }
        return summaryValue(node, [&](const NodePtr &n) { return nodeValue(n, date, target, raw); });
    }
    case cv::NodeKind::Investment: {
        const CurrencyPtr own = m_document.findCurrency(node->currency());
        double sum = 0;
        for (const auto &child : node->children()) sum += nodeValue(child, date, own, false);
        return convertedValue(sum, node->currency(), target, date);
    }
    case cv::NodeKind::Holding: {
        const auto unit = std::dynamic_pointer_cast<OpeningHolding>(node->extra());
        const double units = balanceSeries(node).latestValueForKey(node.get(), date) + (unit ? unit->units() : 0);
        if (raw || !target) return units;
        const SecurityPtr security = m_document.findSecurity(holdingSecurity(*node));
        const double value = units * m_document.securityValue(security, date);
        return convertedValue(value, security ? security->currency() : node->currency(), target, date);
    }
    case cv::NodeKind::CashPart: {
        const Node *account = node->parent();
        double value = balanceSeries(node).latestValueForKey(node.get(), date);
        if (account && node->validAtDate(date)) value += account->assetInitialValue();
        return convertedValue(value, account ? account->currency() : node->currency(), target, date);
    }
    case cv::NodeKind::Loan:
        return convertedValue(balanceSeries(node).latestValueForKey(node.get(), date), node->currency(), target, date);
    default: {
        if (!node->isAccount()) return 0;
        double value = balanceSeries(node).latestValueForKey(node.get(), date);
        if (node->validAtDate(date)) value += node->assetInitialValue();
        return convertedValue(value, node->currency(), target, date);
    }
    }
}

double Book::accountBalanceMovement(const NodePtr &node, const QDate &after, const QDate &through) const
{
    if (!node || through <= after) return 0;
    const BalanceCache &series = m_d->balanceSeries(node);
    return series.latestValueForKey(node.get(), through) - series.latestValueForKey(node.get(), after);
}

bool Book::valueRangeForAccount(const NodePtr &node, double *max, double *min, const QDate &from, const QDate &to) const
{
    if (!node) return false;
    const CurrencyPtr currency = isForeignCurrency(node->currency()) ? findCurrency(node->currency()) : nullptr;
    const SecurityPtr security = node->kind() == cv::NodeKind::Holding ? findSecurity(holdingSecurity(*node)) : nullptr;
    const QDate startDate = node->kind() == cv::NodeKind::CashPart && node->parent()
                                ? node->parent()->assetInitialDate()
                                : node->assetInitialDate();
    double initial = node->kind() == cv::NodeKind::CashPart && node->parent() ? node->parent()->assetInitialValue()
                                                                              : node->assetInitialValue();
    if (node->kind() == cv::NodeKind::Holding)
        if (const auto unit = std::dynamic_pointer_cast<OpeningHolding>(node->extra())) initial = unit->units();
    const QDate start = startDate.isValid() && startDate >= from ? startDate : from;
    const double first = netValue(initial, currency, security, start);
    // A loan's series already holds its opening debt (as its balance reads it).
    const double base = node->kind() == cv::NodeKind::Loan ? 0 : initial;
    double hi = first;
    double lo = first;
    const int last = m_d->balanceSeries(node).indexForKey(node.get(), to);
    if (last < 0) {
        if (startDate.isValid() && startDate > to) return false;
    } else {
        for (int i = std::max(0, m_d->m_cache.indexForKey(node.get(), from)); i <= last; ++i) {
            const double raw = m_d->m_cache.accumulatedValueForKey(node.get(), i) + base;
            const double v =
                currency || security ? netValue(raw, currency, security, m_d->m_cache.dateForKey(node.get(), i)) : raw;
            hi = std::max(hi, v);
            lo = std::min(lo, v);
        }
    }
    if (max) *max = hi;
    if (min) *min = lo;
    return true;
}

double Book::tradingAccount(int account, int security, const QDate &date) const
{
    const NodePtr holding = m_d->holdingOf(findAccount(account), security);
    return holding ? rawValueForAccount(holding, date) : 0;
}

namespace {

// Category summaries add income categories and subtract expense ones.
void resolveCategorySummary(const Book &doc, const Node &node)
{
    const auto summary = std::dynamic_pointer_cast<Summary>(node.extra());
    if (!summary) return;
    for (const auto &u : summary->addedNodes())
        if (u && !u->resolvedNode()) u->setResolvedNode(doc.findIncome(u->refID()));
    for (const auto &u : summary->subtractedNodes())
        if (u && !u->resolvedNode()) u->setResolvedNode(doc.findExpense(u->refID()));
}

} // namespace

double Book::valueForCategory(const NodePtr &node, const QDate &date) const
{
    if (!node) return 0;
    if (node->kind() != cv::NodeKind::CategorySummary) return m_d->m_cache.valueForKey(node.get(), date);
    resolveCategorySummary(*this, *node);
    return m_d->summaryValue(node, [&](const NodePtr &n) { return n ? m_d->m_cache.valueForKey(n.get(), date) : 0; });
}

double Book::summaryForCategoryDays(const NodePtr &node, const QDate &date, int days) const
{
    if (!node) return 0;
    if (node->kind() != cv::NodeKind::CategorySummary) return m_d->m_cache.summaryForKeyForDays(node.get(), date, days);
    resolveCategorySummary(*this, *node);
    return m_d->summaryValue(
        node, [&](const NodePtr &n) { return n ? m_d->m_cache.summaryForKeyForDays(n.get(), date, days) : 0; });
}

double Book::summaryForCategoryMonths(const NodePtr &node, const QDate &date, int months) const
{
    if (!node) return 0;
    if (node->kind() != cv::NodeKind::CategorySummary)
        return m_d->m_cache.summaryForKeyForMonths(node.get(), date, months);
    resolveCategorySummary(*this, *node);
    return m_d->summaryValue(
        node, [&](const NodePtr &n) { return n ? m_d->m_cache.summaryForKeyForMonths(n.get(), date, months) : 0; });
}

} // namespace cv
