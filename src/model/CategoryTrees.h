#pragma once
// The category trees of a document: transfer items, income and expense
// categories and category summaries, each under a fixed root. Archived whole
// into the document.

#include "model/Node.h"
#include "platform/KeyedArchiver.h"

#include <cmath>
#include <memory>
#include <optional>

namespace cv {

class CategoryTrees : public cv::KeyedArchivable {
public:
    enum RootIdent { MoneyFlowRoot = 1, IncomeRoot = 2, ExpenseRoot = 3, SummaryRoot = 4 };
    enum SystemItem {
        Asset2Asset = 10,
        Asset2Debt = 11,
        Debt2Asset = 12,
        Debt2Debt = 13,
        ExpenseMisc = 30,
        IncomeMisc = 31,
        LoanInterest = 32,
        LoanUnspecified = 33,
    };

    // Makes the four fixed roots. A decoded model holds exactly the roots its
    // archive holds, so any root may be null.
    CategoryTrees();

    NodePtr moneyFlow() const { return m_moneyFlow; }
    void setMoneyFlow(NodePtr root) { m_moneyFlow = std::move(root); }
    NodePtr income() const { return m_income; }
    void setIncome(NodePtr root) { m_income = std::move(root); }
    NodePtr expense() const { return m_expense; }
    void setExpense(NodePtr root) { m_expense = std::move(root); }
    NodePtr summary() const { return m_summary; }
    void setSummary(NodePtr root) { m_summary = std::move(root); }

    // Items of a new document: the four transfer items and the two catch-all
    // categories. Called once, before the template is read.
    void setDefault();
    // Adds the catch-alls 30 and 31 and the loan categories 32 and 33 that
    // the trees lack.
    void setSystemItems();
    // One more than the greatest ident in the income, expense and summary
    // trees, at least 1000; none once the greatest stands at the type's limit.
    // Transfer items never count.
    std::optional<int> uniqueId() const;
    // Whether the node lies in the income or the expense tree.
    bool isIncomeOrExpense(const Node *node) const;
    // Whether the node hangs below one of these roots.
    bool holds(const Node &node) const;

    QString archiveClassName() const override { return QStringLiteral("CV4ActualModel"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    NodePtr m_moneyFlow;
    NodePtr m_income;
    NodePtr m_expense;
    NodePtr m_summary;
};

using CategoryTreesPtr = std::shared_ptr<CategoryTrees>;

// The entries filed on a category folder itself, from sums of the balance
// cache (`sum(node)` over one period): the folder's less its children's. The
// unassigned loan category stays out of its folder's series, so it is not
// taken off; what sums that cancel leave is rounding, not money.
template <typename Sum> double folderOwnAmount(const Node &folder, Sum sum)
{
    double own = sum(&folder);
    for (const NodePtr &child : folder.children())
        if (child && child->ident() != CategoryTrees::LoanUnspecified) own -= sum(child.get());
    return std::abs(own) < 1e-6 ? 0 : own;
}

} // namespace cv
