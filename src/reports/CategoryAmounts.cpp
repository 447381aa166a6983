#include "reports/CategoryAmounts.h"

#include "document/ReadOnlyBook.h"
#include "model/Entry.h"
#include "model/BalanceCache.h"
#include "model/CategoryTrees.h"

#include <cmath>

namespace cv {

bool staysOutOfTotals(const Node &category)
{
    return category.ident() == CategoryTrees::LoanUnspecified;
}

double EntryConverter::defaultAmount(const Entry &entry)
{
    auto found = m_currencyOfAccount.constFind(entry.account());
    if (found == m_currencyOfAccount.constEnd()) {
        const NodePtr account = m_doc.findAccount(entry.account());
        found = m_currencyOfAccount.insert(entry.account(), account ? account->currency() : 0);
    }
    if (!m_doc.isForeignCurrency(*found)) return entry.amount();
    return entry.amount() * m_doc.currencyRate(m_doc.findCurrency(*found), entry.date());
}

namespace {

// The folders the category reports show: those with children and a shown category below.
void shownFolders(const NodePtr &node, std::vector<NodePtr> &out)
{
    for (const NodePtr &child : node->children()) {
        if (!child || child->countChild() == 0 || child->deepStatus() != 1) continue;
        out.push_back(child);
        shownFolders(child, out);
    }
}

} // namespace

double folderOwnSum(const ReadOnlyBook &doc, const Node &folder, const QDate &from, int days)
{
    return folderOwnAmount(folder,
                           [&](const Node *node) { return doc.cache().summaryForKeyForDays(node, from, days); });
}

double folderOwnSumMonths(const ReadOnlyBook &doc, const Node &folder, const QDate &from, int months)
{
    return folderOwnAmount(folder,
                           [&](const Node *node) { return doc.cache().summaryForKeyForMonths(node, from, months); });
}

CategoryAmounts::CategoryAmounts(ReadOnlyBook &doc, const QDate &from, const QDate &to,
                                 const std::optional<QList<int>> &groups, bool folders)
{
    SearchConditions conditions;
    conditions.date = {from, to};
    std::vector<NodePtr> shown;
    for (const NodePtr &root : {doc.categoryTrees()->income(), doc.categoryTrees()->expense()}) {
        if (!root) continue;
        tickedLeaves(*root, conditions.category);
        if (folders) shownFolders(root, shown);
    }
    const int days = int(from.daysTo(to)) + 1;
    for (const NodePtr &folder : shown) {
        if (groups)
            conditions.category.append(folder->ident());
        else if (const double own = folderOwnSum(doc, *folder, from, days))
            m_folderOwn[folder->ident()] = own;
    }
    // An empty list would set no condition and read every entry.
    if (conditions.category.isEmpty()) return;
    if (!groups) {
        // The balance cache holds each category's entries by day, converted
        // the same way: no need to read the entries themselves.
        for (int ident : conditions.category) {
            NodePtr node = doc.findIncome(ident);
            if (!node) node = doc.findExpense(ident);
            if (node) m_byCategory[ident] = doc.summaryForCategoryDays(node, from, days);
        }
        return;
    }
    conditions.group = *groups;
    const auto entries = doc.reads().findEntry(conditions);
    if (!entries) return;
    EntryConverter converter(doc);
    for (const EntryPtr &entry : *entries) m_byCategory[entry->category()] += converter.defaultAmount(*entry);
    for (const NodePtr &folder : shown)
        if (const auto own = m_byCategory.constFind(folder->ident()); own != m_byCategory.constEnd())
            m_folderOwn[folder->ident()] = *own;
}

double CategoryAmounts::amountOf(const Node &node) const
{
    if (node.countChild() == 0) return m_byCategory.value(node.ident());
    QList<int> leaves;
    tickedLeaves(node, leaves);
    double sum = folderOwnBelow(node);
    for (int ident : leaves) sum += m_byCategory.value(ident);
    return sum;
}

double CategoryAmounts::folderOwnAmount(const Node &folder) const
{
    return m_folderOwn.value(folder.ident());
}

double CategoryAmounts::folderOwnBelow(const Node &node) const
{
    if (m_folderOwn.isEmpty()) return 0;
    double sum = m_folderOwn.value(node.ident());
    for (const NodePtr &child : node.children())
        if (child && child->countChild() > 0) sum += folderOwnBelow(*child);
    return sum;
}

void CategoryAmounts::tickedLeaves(const Node &node, QList<int> &out)
{
    for (const NodePtr &child : node.children()) {
        if (!child || staysOutOfTotals(*child)) continue;
        if (child->countChild() > 0)
            tickedLeaves(*child, out);
        else if (child->status() != 0)
            out.append(child->ident());
    }
}

void CategoryAmounts::allBelow(const Node &node, QList<int> &out)
{
    for (const NodePtr &child : node.children()) {
        if (!child) continue;
        out.append(child->ident());
        allBelow(*child, out);
    }
}

} // namespace cv
