// Budget arithmetic of tree nodes: a group's budget is the sum of its
// categories' budgets, whatever their check marks.

#include "model/Node.h"

#include "model/Budget.h"

namespace cv {

namespace {

template <class Own> double sumOverSubtree(const Node &node, const Own &own)
{
    double total = 0;
    if (const auto *budget = dynamic_cast<const Budget *>(node.extra().get())) total += own(*budget);
    for (const auto &child : node.children())
        if (child) total += sumOverSubtree(*child, own);
    return total;
}

// The node's budget record, made on first use. An extra of another kind is
// left alone: a category carries nothing else, and replacing it would lose data.
Budget *budgetRecord(Node &node)
{
    if (!node.extra()) node.setExtra(std::make_shared<Budget>());
    return dynamic_cast<Budget *>(node.extra().get());
}

} // namespace

double Node::budgetAtDate(const QDate &date) const
{
    return sumOverSubtree(*this, [&](const Budget &b) { return b.budgetAtDate(date); });
}

double Node::budgetAtDate(const QDate &date, int months) const
{
    return sumOverSubtree(*this, [&](const Budget &b) { return b.budgetAtDate(date, months); });
}

double Node::budgetAt(int year, int month) const
{
    return sumOverSubtree(*this, [&](const Budget &b) { return b.budgetAt(year, month); });
}

void Node::setBudgetAt(int year, int month, double value)
{
    if (auto *budget = budgetRecord(*this)) budget->setBudgetAt(year, month, value);
}

void Node::setBudgetAfter(int year, int month, double value)
{
    if (auto *budget = budgetRecord(*this)) budget->setBudgetAfter(year, month, value);
}

void Node::clear()
{
    setExtra(nullptr);
}

} // namespace cv
