#include "reports/CategoryAmounts.h"

#include "document/ReadOnlyBook.h"
#include "model/Entry.h"
#include "model/CategoryTrees.h"

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

CategoryAmounts::CategoryAmounts(ReadOnlyBook &doc, const QDate &from, const QDate &to,
                                 const std::optional<QList<int>> &groups)
{
    SearchConditions conditions;
    conditions.date = {from, to};
    for (const NodePtr &root : {doc.categoryTrees()->income(), doc.categoryTrees()->expense()})
        if (root) tickedLeaves(*root, conditions.category);
    // An empty list would set no condition and read every entry.
    if (conditions.category.isEmpty()) return;
    if (!groups) {
        // The balance cache holds each category's entries by day, converted
        // the same way: no need to read the entries themselves.
        const int days = int(from.daysTo(to)) + 1;
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
}

double CategoryAmounts::amountOf(const Node &node) const
{
    if (node.countChild() == 0) return m_byCategory.value(node.ident());
    QList<int> leaves;
    tickedLeaves(node, leaves);
    double sum = 0;
    for (int ident : leaves) sum += m_byCategory.value(ident);
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

void CategoryAmounts::allLeaves(const Node &node, QList<int> &out)
{
    for (const NodePtr &child : node.children()) {
        if (!child) continue;
        if (child->countChild() > 0)
            allLeaves(*child, out);
        else
            out.append(child->ident());
    }
}

} // namespace cv
