// Budget arithmetic of tree nodes: a group's budget is the sum of its
// categories' budgets, whatever their check marks.

#include "model/CVUnitModel.h"

#include "model/CV4Budget.h"

namespace {

template <class Own> double sumOverSubtree(const CVUnitModel &node, const Own &own)
{
    double total = 0;
    if (const auto *budget = dynamic_cast<const CV4Budget *>(node.extra().get())) total += own(*budget);
    for (const auto &child : node.children())
        if (child) total += sumOverSubtree(*child, own);
    return total;
}

// The node's budget record, made on first use. An extra of another kind is
// left alone: a category carries nothing else, and replacing it would lose data.
CV4Budget *budgetRecord(CVUnitModel &node)
{
    if (!node.extra()) node.setExtra(std::make_shared<CV4Budget>());
    return dynamic_cast<CV4Budget *>(node.extra().get());
}

} // namespace

double CVUnitModel::budgetAtDate(const QDate &date) const
{
    return sumOverSubtree(*this, [&](const CV4Budget &b) { return b.budgetAtDate(date); });
}

double CVUnitModel::budgetAtDate(const QDate &date, int months) const
{
    return sumOverSubtree(*this, [&](const CV4Budget &b) { return b.budgetAtDate(date, months); });
}

double CVUnitModel::budgetAt(int year, int month) const
{
    return sumOverSubtree(*this, [&](const CV4Budget &b) { return b.budgetAt(year, month); });
}

void CVUnitModel::setBudgetAt(int year, int month, double value)
{
    if (auto *budget = budgetRecord(*this)) budget->setBudgetAt(year, month, value);
}

void CVUnitModel::setBudgetAfter(int year, int month, double value)
{
    if (auto *budget = budgetRecord(*this)) budget->setBudgetAfter(year, month, value);
}

void CVUnitModel::clear()
{
    setExtra(nullptr);
}
