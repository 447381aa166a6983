#include "document/Book.h"
#include "document/BookPrivate.h"

#include "document/EditScope.h"

#include "model/DatedPrice.h"
#include "model/Summary.h"

namespace cv {

namespace {

NodePtr sharedFrom(Node *node)
{
    return node ? node->shared_from_this() : nullptr;
}

// Whether the node hangs in the account tree (else the category tree).
bool inAccountTree(Node &node, const AccountTrees *accounts)
{
    return accounts && accounts->holds(node);
}

// Takes the security's holdings out of the tree below `node`.
void removeHoldings(const NodePtr &node, int security)
{
    if (!node) return;
    if (node->kind() == cv::NodeKind::Holding) {
        Node *parent = node->parent();
        if (parent && cv::holdingSecurity(*node) == security) parent->removeChild(node);
        return;
    }
    for (int i = node->countChild() - 1; i >= 0; --i) removeHoldings(node->childAt(i), security);
}

// No summary may go on adding a node that is gone.
void removeSummaryElement(const NodePtr &node, int ident)
{
    if (!node) return;
    if (node->kind() == cv::NodeKind::AccountSummary || node->kind() == cv::NodeKind::CategorySummary) {
        const auto summary = std::dynamic_pointer_cast<Summary>(node->extra());
        if (!summary) return;
        for (auto *list : {&summary->addedNodes(), &summary->subtractedNodes()}) {
            const auto it = std::find_if(list->begin(), list->end(),
                                         [ident](const SummaryMemberPtr &u) { return u && u->refID() == ident; });
            if (it != list->end()) list->erase(it);
        }
        return;
    }
    for (const NodePtr &child : node->children()) removeSummaryElement(child, ident);
}

// A folder's children take its place, in order.
void hoistChildren(const NodePtr &folder)
{
    Node *parent = folder->parent();
    if (!parent) return;
    const std::vector<NodePtr> children = folder->children();
    int at = folder->index();
    for (const NodePtr &child : children) parent->insertChild(child, at++);
}

} // namespace

// ---- prices and rates

// Every removal and put is written, even past a refusal, as one edit. The
// answer waits for the edit's end: its COMMIT may fail too.
bool Book::Private::writeDated(const PriceList &removals, const PriceList &puts, DatedWrite remove, DatedWrite put,
                               const std::function<void()> &record)
{
    const bool outermost = !m_document.isEditing();
    bool written = true;
    {
        cv::EditScope edit(m_document, removals.size() + puts.size() > 1 ? cv::EditScope::Writes::Several
                                                                         : cv::EditScope::Writes::AtMostOne);
        for (const DatedPricePtr &p : removals) written = ((*m_store).*remove)(p) && written;
        for (const DatedPricePtr &p : puts) written = ((*m_store).*put)(p) && written;
        if (!written) {
            edit.fail();
        } else {
            m_document.updateChangeCount(ChangeDone);
            record();
        }
    }
    return written && !(outermost && m_lastEditFailed);
}

bool Book::writePrices(const SecurityPtr &security, const PriceList &removals, const PriceList &puts)
{
    return security && m_d->writeDated(removals, puts, &BookStore::removePrice, &BookStore::putPrice, [&] {
        refreshSecurityCache(security);
        m_d->m_cacheStatus |= 1u << SecurityChanged;
        m_d->m_edit.changes.securities.insert(security->ident());
    });
}

bool Book::writeRates(const CurrencyPtr &currency, const PriceList &removals, const PriceList &puts)
{
    return currency &&
           m_d->writeDated(removals, puts, &BookStore::removeExchangeRate, &BookStore::putExchangeRate, [&] {
               refreshCurrencyCache(currency);
               // Category totals were converted at the old rates: the next page that shows them rebuilds.
               m_d->m_cacheStatus |= 1u << CurrencyChanged;
               m_d->m_edit.changes.currencies.insert(currency->ident());
           });
}

bool Book::putPrice(const DatedPricePtr &price)
{
    return price && writePrices(findSecurity(price->security()), {}, {price});
}

bool Book::putRate(const DatedPricePtr &rate)
{
    return rate && writeRates(findCurrency(rate->security()), {}, {rate});
}

// ---- securities

bool Book::deleteSecurity(const SecurityPtr &security)
{
    if (!security) return false;
    cv::EditScope edit(*this);
    // The store first: a refusal leaves the tree and the list as the store keeps them.
    if (!m_d->m_store->removePriceForSecurity(security->ident()) ||
        !m_d->m_store->removeTradeForSecurity(security->ident())) {
        edit.fail();
        return false;
    }
    removeHoldings(m_d->m_accountTrees ? m_d->m_accountTrees->asset() : nullptr, security->ident());
    clearLookups();
    // The holdings leave the stored tree now, not at the next save.
    commitAccountTrees();
    removeSecurity(security);
    commitSecurityList();
    createCache();
    m_d->m_edit.changes.securities.insert(security->ident());
    return true;
}

bool Book::removeHolding(const NodePtr &account, int security)
{
    if (!account) return false;
    cv::EditScope edit(*this);
    if (!m_d->m_store->removeTradeByAccount(account->ident(), security)) {
        edit.fail();
        return false;
    }
    removeHoldings(account, security);
    clearLookups();
    commitAccountTrees();
    createCache();
    m_d->m_edit.changes.securities.insert(security);
    return true;
}

// ---- settings

bool Book::putImportMapping(const QByteArray &archive, int record)
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    const bool ok = m_d->m_store->putImportMappingData(archive, record);
    m_d->storeWrite(ok);
    return ok;
}

bool Book::setFiscalStart(int monthOfYear, int weekday, int dayOfMonth)
{
    Settings &s = *m_d->m_settings;
    const int oldMonth = s.fiscalMonthOfYear();
    const int oldWeekday = s.fiscalWeekday();
    const int oldDay = s.fiscalDayOfMonth();
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    s.setFiscalMonthOfYear(monthOfYear);
    s.setFiscalWeekday(weekday);
    s.setFiscalDayOfMonth(dayOfMonth);
    if (!commitSettings()) {
        s.setFiscalMonthOfYear(oldMonth);
        s.setFiscalWeekday(oldWeekday);
        s.setFiscalDayOfMonth(oldDay);
        return false;
    }
    if (dayOfMonth != oldDay) recalcMonthlyCache();
    if (monthOfYear != oldMonth || weekday != oldWeekday || dayOfMonth != oldDay)
        m_d->m_edit.changes.fiscalStart = true;
    return true;
}

void Book::recalculate()
{
    createCache();
}

void Book::recalculateIfStale()
{
    createCacheIfDirty();
}

// ---- tree edits

void Book::addNode(const NodePtr &node, const NodePtr &parent, int index)
{
    if (!node || !parent) return;
    cv::EditScope edit(*this);
    if (index < 0 || index > parent->countChild())
        parent->appendChild(node);
    else
        parent->insertChild(node, index);
    clearLookups();
    const AccountTrees *accounts = m_d->m_accountTrees.get();
    if (inAccountTree(*node, accounts)) {
        accumulateAccount(node);
        commitAccountTrees();
        return;
    }
    if (node->kind() == cv::NodeKind::Group) refreshCategoryGroupingCache(sharedFrom(parent->root()));
    commitCategoryTrees();
}

void Book::updateAccount(const NodePtr &node, bool everything)
{
    if (!node) return;
    // Outside the caller's edit a rebuild takes its fast path; the commit then announces it.
    if (everything)
        createCache();
    else
        createCacheFor(node);
    commitAccountTrees();
}

bool Book::moveNodes(const std::vector<NodePtr> &nodes, const NodePtr &target, int index)
{
    if (!target || nodes.empty()) return false;
    for (const NodePtr &node : nodes)
        if (!node || !node->parent()) return false;
    cv::EditScope edit(*this);
    // Only the moved nodes that stood before the place shift it.
    const int before = int(std::count_if(nodes.begin(), nodes.end(), [&](const NodePtr &n) {
        return n->parent() == target.get() && n->index() < index;
    }));
    std::vector<Node *> oldParents;
    for (const NodePtr &node : nodes) {
        Node *parent = node->parent();
        oldParents.push_back(parent);
        parent->removeChild(node);
    }
    const int at = std::clamp(index - before, 0, target->countChild());
    for (size_t k = 0; k < nodes.size(); ++k) {
        if (target->insertChild(nodes[k], at + int(k))) continue;
        // Callers validate the place; the node still must not be lost.
        Q_ASSERT(false);
        if (!target->appendChild(nodes[k]) && oldParents[k]) oldParents[k]->appendChild(nodes[k]);
    }
    clearLookups();
    const AccountTrees *accounts = m_d->m_accountTrees.get();
    if (inAccountTree(*target, accounts)) {
        commitAccountTrees();
        return true;
    }
    for (Node *parent : oldParents) ungroupIfEmpty(parent);
    refreshCategoryGroupingCache(sharedFrom(target->root()));
    commitCategoryTrees();
    return true;
}

void Book::deleteNode(const NodePtr &node)
{
    if (!node || !node->parent()) return;
    const NodePtr parent = sharedFrom(node->parent());
    const auto kind = node->kind();
    if (kind == cv::NodeKind::Holding) {
        removeHolding(parent, cv::holdingSecurity(*node));
        return;
    }
    cv::EditScope edit(*this);
    const AccountTrees *accounts = m_d->m_accountTrees.get();
    if (inAccountTree(*node, accounts)) {
        removeSummaryElement(accounts->summary(), node->ident());
        cleanupItem(node);
        if (kind == cv::NodeKind::Group) hoistChildren(node);
        parent->removeChild(node);
        clearLookups();
        if (cv::isAssetAccountKind(kind) || cv::isDebtAccountKind(kind)) createCache();
        commitAccountTrees();
        return;
    }
    if (m_d->m_categoryTrees) removeSummaryElement(m_d->m_categoryTrees->summary(), node->ident());
    if (kind == cv::NodeKind::Group) {
        hoistChildren(node);
        parent->removeChild(node);
        clearCache(node);
    } else {
        cleanupItem(node);
        parent->removeChild(node);
        ungroupIfEmpty(parent.get());
    }
    refreshCategoryGroupingCache(sharedFrom(parent->root()));
    clearLookups();
    commitCategoryTrees();
}

void Book::ungroupIfEmpty(Node *folder)
{
    if (!folder || folder->kind() != cv::NodeKind::Group || folder->countChild() != 0) return;
    folder->setKind(cv::NodeKind::Category);
    // Its series added up children that are gone; what stays is its own entries.
    const NodePtr category = sharedFrom(folder);
    clearCache(category);
    m_d->addFolderEntries(category);
}

void Book::renameNode(const NodePtr &node, const QString &name)
{
    if (!node || node->name() == name) return;
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    node->setName(name);
    const AccountTrees *accounts = m_d->m_accountTrees.get();
    if (inAccountTree(*node, accounts))
        commitAccountTrees();
    else
        commitCategoryTrees();
}

} // namespace cv
