#include "document/Book.h"
#include "document/BookPrivate.h"
#include "document/EditScope.h"

#include "model/Entry.h"
#include "model/EditFlags.h"
#include "model/OpeningHolding.h"
#include "model/LoanTerms.h"
#include "model/DatedPrice.h"
#include "model/Trade.h"
#include "platform/Alert.h"
#include "platform/Localization.h"
#include "platform/KeyedArchiver.h"
#include "platform/Logging.h"

#include <algorithm>
#include <optional>

namespace cv {

namespace {

using cv::holdingSecurity;

bool inTree(const NodePtr &node, const NodePtr &root)
{
    return node && root && node->root() == root.get();
}

template <class T> int greatestIdent(const std::vector<std::shared_ptr<T>> &list)
{
    int greatest = 0;
    for (const auto &e : list)
        if (e) greatest = std::max(greatest, e->ident());
    return greatest;
}

} // namespace

// ---- entries and transfers

void Book::updateIncome(const EntryPtr &entry, const EntryPtr &old, bool commit)
{
    m_d->updateEntry(cv::EntryKind::Income, entry, old, commit);
}

void Book::updateExpense(const EntryPtr &entry, const EntryPtr &old, bool commit)
{
    m_d->updateEntry(cv::EntryKind::Expense, entry, old, commit);
}

void Book::updateTransfer(const EntryPtr &entry, const EntryPtr &old)
{
    m_d->updateEntry(cv::EntryKind::Transfer, entry, old, true);
}

// The old version leaves the cache, the new one enters it, then the store follows.
void Book::Private::updateEntry(cv::EntryKind kind, const EntryPtr &entry, const EntryPtr &old, bool commit)
{
    cv::EditScope edit(m_document, cv::EditScope::Writes::AtMostOne);
    auto categoryNode = [&](int category) {
        switch (kind) {
        case cv::EntryKind::Income: return m_document.findIncome(category);
        case cv::EntryKind::Expense: return m_document.findExpense(category);
        case cv::EntryKind::Transfer: return m_document.findTransfer(category);
        }
        return NodePtr();
    };
    auto apply = [&](const NodePtr &node, const Entry &e, bool remove) {
        if (kind == cv::EntryKind::Transfer)
            calcTransferCache(node, e, remove);
        else
            calcCache(node, e, kind == cv::EntryKind::Expense, remove);
    };
    NodePtr node;
    if (old) {
        m_edit.changes.entries.insert(old->ident());
        node = categoryNode(old->category());
        if (node) apply(node, *old, true);
        if (commit && !entry) {
            storeWrite(m_store->removeEntry(old));
            return;
        }
    }
    if (!entry) return;
    if (!old || entry->category() != old->category()) node = categoryNode(entry->category());
    // An entry of a category that is gone stays out of the cache, as a rebuild leaves it.
    if (node) apply(node, *entry, false);
    if (commit) {
        switch (kind) {
        case cv::EntryKind::Income: storeWrite(m_store->putIncome(entry, old)); break;
        case cv::EntryKind::Expense: storeWrite(m_store->putExpense(entry, old)); break;
        case cv::EntryKind::Transfer: storeWrite(m_store->putEntry(entry, old)); break;
        }
    }
    m_edit.changes.entries.insert(entry->ident());
}

void Book::fixupTransferCategory(Entry &entry)
{
    const NodePtr from = findAccount(entry.account());
    const NodePtr to = findAccount(entry.destination());
    const bool fromAsset = from && from->isAsset();
    const bool toAsset = to && to->isAsset();
    if (fromAsset)
        entry.setCategory(toAsset ? CategoryTrees::Asset2Asset : CategoryTrees::Asset2Debt);
    else
        entry.setCategory(toAsset ? CategoryTrees::Debt2Asset : CategoryTrees::Debt2Debt);
}

// ---- trades

void Book::updateTrade(const TradePtr &trade, const TradePtr &old)
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    if (old) {
        m_d->m_edit.changes.trades.insert(old->ident());
        m_d->calcCache(nullptr, *old, nullptr, true);
        if (!trade) {
            m_d->storeWrite(m_d->m_store->removeTrade(old));
            return;
        }
    }
    if (!trade) return;
    m_d->calcCache(nullptr, *trade, nullptr, false);
    m_d->storeWrite(m_d->m_store->putTrade(trade, old));
    m_d->m_edit.changes.trades.insert(trade->ident());
}

void Book::applyTrade(const TradePtr &trade, const NodePtr &subject, const std::map<TradePtr, TradePtr> &oldItems,
                      std::set<SecurityPtr> &securitySet, bool autoUpdate)
{
    if (!trade) return;
    cv::EditScope edit(*this);
    double u = 0;
    double m = 0;
    trade->changesForAccount(trade->account(), &u, &m);
    const auto kind = trade->kind();
    bool empty = false;
    if (kind == cv::TradeKind::TransferUnits) {
        empty = trade->security() <= 0 || u == 0 || trade->transfer() <= 0;
    } else {
        empty = trade->security() <= 0 || (u == 0 && m == 0) ||
                (u != 0 && m == 0 && (Trade::validFieldsForKind(kind) & 5) != 0);
    }
    if (!empty && kind == cv::TradeKind::TransferUnits && !findAccount(trade->transfer())) {
        empty = true;
        Alert::warn(cv::localizedString(QStringLiteral("Document Unit Transfer Dropped")));
    }
    if (empty) trade->setFlags(trade->flags() | cv::EditDeleted);

    const int flags = trade->flags();
    const bool deleted = flags & cv::EditDeleted;
    const SecurityPtr security = findSecurity(trade->security());
    if ((flags & (cv::EditChanged | cv::EditNew)) && !deleted && autoUpdate &&
        (kind == cv::TradeKind::Buy || kind == cv::TradeKind::Sale || kind == cv::TradeKind::CashIn ||
         kind == cv::TradeKind::Reinvestment) &&
        trade->unitPrice() != 0 && std::abs(trade->unitPrice()) <= cv::kMaxPriceOrRate && security) {
        auto price = std::make_shared<DatedPrice>();
        price->setSecurity(security->ident());
        price->setDate(trade->date());
        price->setPrice(trade->unitPrice());
        m_d->storeWrite(m_d->m_store->putPrice(price));
        securitySet.insert(security);
    }

    const auto oldIt = oldItems.find(trade);
    const TradePtr old = oldIt != oldItems.end() ? oldIt->second : nullptr;
    if (!(flags & cv::EditNew)) {
        if (deleted) {
            if (security) securitySet.insert(security);
            updateTrade(nullptr, old ? old : trade);
        } else if (flags & cv::EditChanged) {
            // A row moved to another security or account needs a holding
            // there, or its units would count nowhere.
            addSecurityNodeIfNeeded(findAccount(trade->account()), trade->security());
            addTransferDestinationIfNeeded(*trade);
            updateTrade(trade, old);
        }
        return;
    }
    if (deleted) return;
    if (subject) {
        if (subject->kind() == cv::NodeKind::Holding) {
            if (holdingSecurity(*subject) != trade->security() && subject->parent())
                addSecurityNodeIfNeeded(subject->parent()->shared_from_this(), trade->security());
        } else {
            addSecurityNodeIfNeeded(subject, trade->security());
        }
    }
    addTransferDestinationIfNeeded(*trade);
    updateTrade(trade, nullptr);
}

bool Book::addSecurityNodeIfNeeded(const NodePtr &account, int securityId)
{
    if (!account || account->kind() != cv::NodeKind::Investment || account->investmentAccountHoldsSecurity(securityId))
        return false;
    const SecurityPtr security = findSecurity(securityId);
    auto unit = std::make_shared<OpeningHolding>();
    unit->setDate(account->assetInitialDate());
    unit->setSecurity(securityId);
    auto node = std::make_shared<Node>();
    node->setKind(cv::NodeKind::Holding);
    node->setIdent(0);
    node->setCurrency(security ? security->currency() : 0);
    node->setExtra(unit);
    if (!account->appendChild(node)) return false;
    if (isEditing()) m_d->m_edit.changes.accountTree = cv::TreeChange::Structure;
    return true;
}

bool Book::addTransferDestinationIfNeeded(const Trade &trade)
{
    if (trade.kind() != cv::TradeKind::TransferUnits) return false;
    const NodePtr destination = findAccount(trade.transfer());
    if (!destination) return false;
    return addSecurityNodeIfNeeded(destination, trade.security());
}

// ---- deleting and moving

// The store deletes in bulk; what the cache holds for those rows leaves it first,
// so the balances stay those of a fresh rebuild.
void Book::cleanupItem(const NodePtr &node)
{
    if (!node) return;
    cv::EditScope edit(*this);
    const auto kind = node->kind();
    bool removed = false;
    if (kind == cv::NodeKind::Category || kind == cv::NodeKind::SystemItem) {
        const bool expense = m_d->m_categoryTrees && node->hasAncestor(m_d->m_categoryTrees->expense().get());
        const auto entries = expense ? m_d->m_store->findExpenseByCategory(node->ident())
                                     : m_d->m_store->findIncomeByCategory(node->ident());
        if (entries) {
            for (const auto &e : *entries) {
                if (expense)
                    updateExpense(nullptr, e, false);
                else
                    updateIncome(nullptr, e, false);
            }
        }
        m_d->storeWrite(m_d->m_store->removeEntriesByCategory(node->ident()));
        updateChangeCount(ChangeDone);
        removed = true;
        fixLoanAccount(-1, node->ident(), expense ? CategoryTrees::ExpenseMisc : CategoryTrees::IncomeMisc);
    } else if (kind == cv::NodeKind::Holding) {
        const Node *account = node->parent();
        if (account) {
            const int security = holdingSecurity(*node);
            if (const auto trades = m_d->m_store->findTradeByAccount(account->ident(), security))
                for (const auto &t : *trades) m_d->calcCache(nullptr, *t, nullptr, true);
            m_d->storeWrite(m_d->m_store->removeTradeByAccount(account->ident(), security));
            updateChangeCount(ChangeDone);
            removed = true;
        }
    } else if (kind == cv::NodeKind::Cash || kind == cv::NodeKind::Bank || kind == cv::NodeKind::GeneralAsset ||
               cv::isDebtAccountKind(kind) || kind == cv::NodeKind::Investment) {
        if (kind == cv::NodeKind::Investment) {
            for (int i = 1; i < node->countChild(); ++i) cleanupItem(node->childAt(i));
        }
        SearchConditions conditions;
        conditions.account = {node->ident()};
        if (const auto entries = m_d->m_store->findEntry(conditions)) {
            for (const auto &e : *entries) {
                switch (e->kind()) {
                case cv::EntryKind::Income: updateIncome(nullptr, e, false); break;
                case cv::EntryKind::Expense: updateExpense(nullptr, e, false); break;
                default:
                    if (const NodePtr item = findTransfer(e->category())) m_d->calcTransferCache(item, *e, true);
                    break;
                }
            }
        }
        m_d->storeWrite(m_d->m_store->removeEntriesForAccount(node->ident()));
        updateChangeCount(ChangeDone);
        removed = true;
        if (kind != cv::NodeKind::Investment) fixLoanAccount(node->ident(), -1, CategoryTrees::Asset2Asset);
    }
    clearCache(node);
    clearLookups();
    if (removed) accumulateAccount();
}

bool Book::moveItem(const NodePtr &node, int target)
{
    if (!node || node->kind() != cv::NodeKind::Category) {
        qCWarning(lcDocument) << "moveItem: not a category";
        return false;
    }
    cv::EditScope edit(*this);
    const bool expense = m_d->m_categoryTrees && node->hasAncestor(m_d->m_categoryTrees->expense().get());
    const auto entries = expense ? m_d->m_store->findExpenseByCategory(node->ident())
                                 : m_d->m_store->findIncomeByCategory(node->ident());
    if (entries && !entries->empty()) {
        auto scratch = std::make_shared<Entry>();
        for (const auto &e : *entries) {
            scratch->copyContents(*e);
            scratch->setCategory(target);
            if (expense)
                updateExpense(scratch, e, false);
            else
                updateIncome(scratch, e, false);
        }
        accumulateAccount();
    }
    m_d->storeWrite(m_d->m_store->moveEntry(node->ident(), target));
    updateChangeCount(ChangeDone);
    fixLoanAccount(-1, node->ident(), target);
    m_d->m_cache.clearKey(node.get());
    // Folders above either category sum their categories again.
    if (Node *root = node->root(); root && root != node.get()) refreshCategoryGroupingCache(root->shared_from_this());
    return true;
}

// ---- lookups

NodePtr Book::findAccount(int ident) const
{
    // Cash parts and holdings carry ident 0: none of them is an account by ident.
    if (ident <= 0) return nullptr;
    if (NodePtr hit = m_d->m_accountCache.findRef(ident)) {
        if (hit->ident() == ident && m_d->m_accountTrees &&
            (inTree(hit, m_d->m_accountTrees->asset()) || inTree(hit, m_d->m_accountTrees->debt())))
            return hit;
    }
    NodePtr node;
    if (m_d->m_accountTrees && m_d->m_accountTrees->asset())
        node = m_d->m_accountTrees->asset()->findMemberWithIdent(ident);
    if (!node && m_d->m_accountTrees && m_d->m_accountTrees->debt())
        node = m_d->m_accountTrees->debt()->findMemberWithIdent(ident);
    if (!node) {
        qCDebug(lcDocument, "findAccount(nil) %d", ident);
        return nullptr;
    }
    m_d->m_accountCache.findRef(ident);
    m_d->m_accountCache.putRef(node);
    return node;
}

NodePtr Book::findAsset(int ident) const
{
    NodePtr node = findAccount(ident);
    return node && node->isAsset() ? node : nullptr;
}

NodePtr Book::findDebt(int ident) const
{
    NodePtr node = findAccount(ident);
    return node && node->isDebt() ? node : nullptr;
}

namespace {

NodePtr findCategory(IntHash<Node> &memo, const NodePtr &root, int ident)
{
    if (!root) return nullptr;
    if (NodePtr hit = memo.findRef(ident))
        if (hit->ident() == ident && inTree(hit, root)) return hit;
    NodePtr node = root->findMemberWithIdent(ident);
    if (node) {
        memo.findRef(ident);
        memo.putRef(node);
    }
    return node;
}

} // namespace

NodePtr Book::findIncome(int ident) const
{
    return findCategory(m_d->m_incomeCache, m_d->m_categoryTrees ? m_d->m_categoryTrees->income() : nullptr, ident);
}

NodePtr Book::findExpense(int ident) const
{
    return findCategory(m_d->m_expenseCache, m_d->m_categoryTrees ? m_d->m_categoryTrees->expense() : nullptr, ident);
}

NodePtr Book::findTransfer(int ident) const
{
    if (!m_d->m_categoryTrees || !m_d->m_categoryTrees->moneyFlow()) return nullptr;
    return m_d->m_categoryTrees->moneyFlow()->findMemberWithIdent(ident);
}

SecurityPtr Book::findSecurity(int ident) const
{
    if (SecurityPtr hit = m_d->m_securityCache.findRef(ident)) {
        if (hit->ident() == ident &&
            std::find(m_d->m_securityList.begin(), m_d->m_securityList.end(), hit) != m_d->m_securityList.end())
            return hit;
    }
    for (const auto &b : m_d->m_securityList) {
        if (b && b->ident() == ident) {
            m_d->m_securityCache.findRef(ident);
            m_d->m_securityCache.putRef(b);
            return b;
        }
    }
    return nullptr;
}

CurrencyPtr Book::findCurrency(int ident) const
{
    const CurrencyPtr def = defaultCurrency();
    if (ident == 0 || (def && def->ident() == ident)) return def;
    if (m_d->m_currencyCacheValid && m_d->m_currencyCacheIdent == ident) {
        CurrencyPtr hit = m_d->m_currencyCacheRef.lock();
        if (!hit || hit->ident() == ident) return hit;
    }
    CurrencyPtr found;
    for (const auto &c : m_d->m_currencyList) {
        if (c && c->ident() == ident) {
            found = c;
            break;
        }
    }
    m_d->m_currencyCacheIdent = ident;
    m_d->m_currencyCacheRef = found;
    m_d->m_currencyCacheValid = true;
    return found;
}

GroupingPtr Book::findGrouping(int ident) const
{
    for (const auto &g : m_d->m_groupList)
        if (g && g->ident() == ident) return g;
    return nullptr;
}

NodePtr Book::findFirstItem(const NodePtr &node, cv::NodeKind kind)
{
    if (!node) return nullptr;
    if (node->kind() == kind) return node;
    for (const auto &child : node->children())
        if (NodePtr found = findFirstItem(child, kind)) return found;
    return nullptr;
}

NodePtr Book::findAccountOfKind(cv::NodeKind kind) const
{
    if (!m_d->m_accountTrees) return nullptr;
    if (NodePtr node = findFirstItem(m_d->m_accountTrees->asset(), kind)) return node;
    return findFirstItem(m_d->m_accountTrees->debt(), kind);
}

// ---- lists

void tellNoIdentLeft(const QString &titleKey, QObject *window)
{
    Alert::alert(cv::localizedString(titleKey), cv::localizedString(QStringLiteral("Ident-Limit-Detail")), window);
}

std::optional<int> Book::newCurrencyIdent(int wanted) const
{
    const bool taken = std::any_of(m_d->m_currencyList.begin(), m_d->m_currencyList.end(),
                                   [&](const CurrencyPtr &c) { return c && c->ident() == wanted; });
    if (!taken) return wanted;
    const int rates = m_d->m_store->greatestCurrencyReference();
    return identAbove(std::max(greatestIdent(m_d->m_currencyList), rates));
}

bool Book::addCurrency(const CurrencyPtr &currency)
{
    if (!currency) return false;
    const std::optional<int> ident = newCurrencyIdent(currency->ident());
    if (!ident) return false;
    currency->setIdent(*ident);
    m_d->m_currencyList.push_back(currency);
    m_d->m_currencyCacheValid = false;
    return true;
}

std::optional<int> Book::newSecurityIdent() const
{
    // Above every ident the stored rows and holdings name: a list lost to
    // damage must not hand its securities' prices and trades to a new one.
    int greatest = std::max(greatestIdent(m_d->m_securityList), m_d->m_store->greatestSecurityReference());
    if (m_d->m_accountTrees) {
        const auto holding = [&](Node &node) {
            greatest = std::max(greatest, cv::holdingSecurity(node));
            return false;
        };
        for (const NodePtr &tree : {m_d->m_accountTrees->asset(), m_d->m_accountTrees->debt()})
            if (tree) tree->reduce(holding);
    }
    return identAbove(greatest);
}

bool Book::addSecurity(const SecurityPtr &security)
{
    if (!security) return false;
    const std::optional<int> ident = newSecurityIdent();
    if (!ident) return false;
    security->setIdent(*ident);
    m_d->m_securityList.push_back(security);
    return true;
}

std::optional<int> Book::newGroupingIdent() const
{
    return identAbove(std::max(greatestIdent(m_d->m_groupList), m_d->m_store->greatestGroupReference()));
}

bool Book::addGrouping(const GroupingPtr &grouping)
{
    if (!grouping) return false;
    const std::optional<int> ident = newGroupingIdent();
    if (!ident) return false;
    grouping->setIdent(*ident);
    m_d->m_groupList.push_back(grouping);
    return true;
}

void Book::removeSecurity(const SecurityPtr &security)
{
    m_d->m_securityList.erase(std::remove(m_d->m_securityList.begin(), m_d->m_securityList.end(), security),
                              m_d->m_securityList.end());
    if (security) m_d->m_cache.setDataList(security, std::any());
    m_d->m_securityCache.clear();
}

void Book::removeGrouping(int index)
{
    if (index >= 0 && index < int(m_d->m_groupList.size())) m_d->m_groupList.erase(m_d->m_groupList.begin() + index);
}

void Book::changeCurrencyOrder(int from, int to)
{
    changeElementOrder(m_d->m_currencyList, from, to);
    m_d->m_currencyCacheValid = false;
}

void Book::changeSecurityOrder(int from, int to)
{
    changeElementOrder(m_d->m_securityList, from, to);
}

void Book::changeGroupingOrder(int from, int to)
{
    changeElementOrder(m_d->m_groupList, from, to);
}

// ---- pop-up menus

void Book::fillCurrencyMenu(MenuTarget &menu) const
{
    menu.removeAllItems();
    for (const auto &c : m_d->m_currencyList)
        if (c && !(c->flags() & 1)) menu.addItem(c->name(), c->ident());
}

namespace {

void addNodesOfKind(MenuTarget &menu, const NodePtr &node, cv::NodeKind kind)
{
    if (!node) return;
    if (node->kind() == kind) menu.addItem(node->name(), node->ident());
    for (const auto &child : node->children()) addNodesOfKind(menu, child, kind);
}

} // namespace

void Book::fillMenu(MenuTarget &menu, const NodePtr &node, cv::NodeKind kind)
{
    menu.removeAllItems();
    addNodesOfKind(menu, node, kind);
}

void Book::fillInvestmentAccountMenu(MenuTarget &menu) const
{
    fillMenu(menu, m_d->m_accountTrees ? m_d->m_accountTrees->asset() : nullptr, cv::NodeKind::Investment);
}

// ---- currency and display helpers

CurrencyPtr Book::defaultCurrency() const
{
    return m_d->m_currencyList.empty() ? nullptr : m_d->m_currencyList.front();
}

CurrencyPtr Book::displayCurrencyOfItem(const Node &node) const
{
    if ((node.kind() == cv::NodeKind::Holding || node.kind() == cv::NodeKind::CashPart) && node.parent())
        return findCurrency(node.parent()->currency());
    return findCurrency(node.currency());
}

bool Book::isForeignCurrency(int ident) const
{
    if (ident == 0) return false;
    const CurrencyPtr def = defaultCurrency();
    return !def || ident != def->ident();
}

bool Book::accountNeedsExchange(int account, int destination) const
{
    const int defaultIdent = getCurrency(0);
    const NodePtr from = account > 0 ? findAccount(account) : nullptr;
    const int source = getCurrency(from ? from->currency() : 0);
    const NodePtr to = destination > 0 ? findAccount(destination) : nullptr;
    if (!to || to->currency() == 0) return source != defaultIdent;
    return source != to->currency();
}

void Book::reinitializeCurrencyData()
{
    cv::EditScope edit(*this);
    m_d->m_edit.changes.currencies.insert(0);
    m_d->clearCurrencyCache();
    const CurrencyPtr def = defaultCurrency();
    const double r = def ? def->rate() : 0;
    for (size_t i = 0; i < m_d->m_currencyList.size(); ++i) {
        const CurrencyPtr &c = m_d->m_currencyList[i];
        if (!c) continue;
        m_d->storeWrite(m_d->m_store->removeRatesOfCurrency(c->ident()));
        c->setRate(i == 0 || !(r > 0) ? 1.0 : c->rate() / r);
    }
    updateChangeCount(ChangeDone);
}

QString Book::displayName(const Node &node) const
{
    const auto kind = node.kind();
    if (kind == cv::NodeKind::Holding) {
        const SecurityPtr security = findSecurity(holdingSecurity(node));
        return security ? security->name() : QString();
    }
    if (kind == cv::NodeKind::CashPart) return cv::localizedString(QStringLiteral("SYS:Invest-Cache"));
    if (cv::isSystemNameKind(kind) && node.name().startsWith(QLatin1String("SYS:")))
        return cv::localizedString(node.name());
    return node.name();
}

// ---- loans

void Book::putLoanData(const NodePtr &loan, const LoanSchedule &rows)
{
    if (!loan) return;
    cv::EditScope edit(*this);
    // Never a schedule that the next open would refuse.
    if (std::any_of(rows.begin(), rows.end(), [](const auto &row) { return row && row->hasImpossibleAmounts(); })) {
        qCWarning(lcDocument) << "loan" << loan->ident() << "schedule out of range, not stored";
        m_d->storeWrite(false);
        return;
    }
    m_d->storeWrite(m_d->m_store->putLoanData(
        loan->ident(), cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue::arrayOf(rows))));
}

std::optional<LoanSchedule> Book::getLoan(int ident)
{
    const QByteArray data = m_d->m_store->getLoanData(ident);
    if (data.isEmpty()) return std::nullopt;
    return cv::listFromArchive<LoanPayment>(data);
}

void Book::putLoan(const NodePtr &loan, const LoanSchedule &rows)
{
    if (!loan) return;
    const auto record = std::dynamic_pointer_cast<LoanTerms>(loan->extra());
    // All or nothing: a half-rewritten loan would keep some old entries and miss new ones.
    cv::EditScope edit(*this);
    putLoanData(loan, rows);
    // The old entries leave the balances here and the store below; the new
    // ones enter both as they are written, so no rebuild is needed.
    SearchConditions conditions;
    conditions.account = {loan->ident()};
    if (const auto old = m_d->m_store->findEntry(conditions)) {
        for (const auto &e : *old) m_d->updateEntry(e->kind(), nullptr, e, false);
    }
    m_d->storeWrite(m_d->m_store->removeEntriesForAccount(loan->ident()));
    auto write = [&](cv::EntryKind kind, const QDate &date, int account, int destination, int category, double amount) {
        auto entry = std::make_shared<Entry>();
        entry->setIdent(-1);
        entry->setKind(kind);
        entry->setDate(date);
        entry->setAccount(account);
        entry->setDestination(destination);
        entry->setCategory(category);
        entry->setAmount(amount);
        m_d->updateEntry(kind, entry, nullptr, true);
    };
    if (record && record->initialValue() != 0) {
        if (record->inAccount() == 0)
            write(cv::EntryKind::Expense, record->date(), loan->ident(), 0, record->outCategory(),
                  record->initialValue());
        else
            write(cv::EntryKind::Transfer, record->date(), loan->ident(), record->inAccount(),
                  CategoryTrees::Debt2Asset, record->initialValue());
    }
    for (const auto &row : rows) {
        if (!row) continue;
        if (row->principal() != 0)
            write(cv::EntryKind::Transfer, row->date(), row->account(), loan->ident(), CategoryTrees::Asset2Debt,
                  row->principal());
        if (row->interest() != 0)
            write(cv::EntryKind::Expense, row->date(), row->account(), loan->ident(), CategoryTrees::LoanInterest,
                  row->interest());
    }
    updateChangeCount(ChangeDone);
}

bool Book::fixLoanSub(const NodePtr &node, int account, int category, int newValue)
{
    if (!node) return false;
    bool any = false;
    if (node->kind() == cv::NodeKind::Loan) {
        const auto record = std::dynamic_pointer_cast<LoanTerms>(node->extra());
        std::optional<LoanSchedule> rows = record ? getLoan(node->ident()) : std::nullopt;
        if (rows) {
            bool changed = false;
            if (account == record->inAccount()) {
                record->setInAccount(newValue);
                changed = true;
            } else if (category == record->outCategory()) {
                record->setOutCategory(newValue);
                changed = true;
            }
            if (account > 0) {
                for (const auto &row : *rows) {
                    if (row && row->account() == account) {
                        row->setAccount(newValue);
                        changed = true;
                    }
                }
            }
            if (changed) {
                putLoan(node, *rows);
                any = true;
            }
        }
    }
    for (const auto &child : node->children()) any |= fixLoanSub(child, account, category, newValue);
    return any;
}

// The loan records live in the account model, which the category sheets do not
// commit: store it here, or the redirection is lost at the next save.
void Book::fixLoanAccount(int account, int category, int newValue)
{
    cv::EditScope edit(*this);
    if (!m_d->m_accountTrees || !fixLoanSub(m_d->m_accountTrees->debt(), account, category, newValue)) return;
    commitAccountTrees();
}

} // namespace cv
