#include "model/CategoryTrees.h"

#include "model/AccountTrees.h"

namespace cv {

namespace {

const QString kMoneyFlow = QStringLiteral("moneyFlow");
const QString kIncome = QStringLiteral("income");
const QString kExpense = QStringLiteral("expense");
const QString kSummary = QStringLiteral("summary");

constexpr cv::NodeKind kTransferItem = cv::NodeKind::SystemItem;
constexpr cv::NodeKind kCategory = cv::NodeKind::Category;

// Transfer items keep their "SYS:" key as their name, so that every book
// shows them in the language of whoever opens it.
NodePtr transferItem(int ident, const char *key)
{
    auto node = std::make_shared<Node>();
    node->setIdent(ident);
    node->setKind(kTransferItem);
    node->setName(QString::fromLatin1(key));
    return node;
}

} // namespace

CategoryTrees::CategoryTrees()
    : m_moneyFlow(cv::makeSystemNode(MoneyFlowRoot, cv::NodeKind::SectionRoot, "SYS:Transfer")),
      m_income(cv::makeSystemNode(IncomeRoot, cv::NodeKind::SectionRoot, "SYS:Income")),
      m_expense(cv::makeSystemNode(ExpenseRoot, cv::NodeKind::SectionRoot, "SYS:Expense")),
      m_summary(cv::makeSystemNode(SummaryRoot, cv::NodeKind::SummaryRoot, "SYS:Actual-Summary"))
{
}

void CategoryTrees::setDefault()
{
    if (m_moneyFlow) {
        m_moneyFlow->appendChild(transferItem(Asset2Asset, "SYS:Asset2Asset"));
        m_moneyFlow->appendChild(transferItem(Asset2Debt, "SYS:Asset2Debt"));
        m_moneyFlow->appendChild(transferItem(Debt2Asset, "SYS:Debt2Asset"));
        m_moneyFlow->appendChild(transferItem(Debt2Debt, "SYS:Debt2Debt"));
    }
    if (m_expense) m_expense->appendChild(cv::makeSystemNode(ExpenseMisc, kCategory, "SYS:Expense-Misc"));
    if (m_income) m_income->appendChild(cv::makeSystemNode(IncomeMisc, kCategory, "SYS:Income-Misc"));
}

void CategoryTrees::setSystemItems()
{
    // Loans and deleted categories redirect to the catch-alls: a book read
    // without them (an XML book, a template) would lose those amounts.
    auto missing = [this](int ident) {
        for (const auto &root : {m_moneyFlow, m_income, m_expense})
            if (root && root->findMemberWithIdent(ident)) return false;
        return true;
    };
    if (m_income && missing(IncomeMisc))
        m_income->appendChild(cv::makeSystemNode(IncomeMisc, kCategory, "SYS:Income-Misc"));
    if (!m_expense) return;
    if (missing(ExpenseMisc)) m_expense->appendChild(cv::makeSystemNode(ExpenseMisc, kCategory, "SYS:Expense-Misc"));
    if (!m_expense->findMemberWithIdent(LoanInterest))
        m_expense->appendChild(cv::makeSystemNode(LoanInterest, kCategory, "SYS:Loan-Interest"));
    if (!m_expense->findMemberWithIdent(LoanUnspecified))
        m_expense->appendChild(cv::makeSystemNode(LoanUnspecified, kCategory, "SYS:Loan-Unspecified"));
}

std::optional<int> CategoryTrees::uniqueId() const
{
    return identAfter({m_income.get(), m_expense.get(), m_summary.get()});
}

bool CategoryTrees::isIncomeOrExpense(const Node *node) const
{
    if (!node) return false;
    const Node *top = node;
    while (top->parent()) top = top->parent();
    return (m_income && top == m_income.get()) || (m_expense && top == m_expense.get());
}

bool CategoryTrees::holds(const Node &node) const
{
    const Node *root = &node;
    while (root->parent()) root = root->parent();
    return root == m_moneyFlow.get() || root == m_income.get() || root == m_expense.get() || root == m_summary.get();
}

void CategoryTrees::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    // What the reader would refuse is not written.
    if (!cv::rootsAreSeparate({m_moneyFlow.get(), m_income.get(), m_expense.get(), m_summary.get()})) {
        coder.fail();
        return;
    }
    if (m_moneyFlow) coder.encodeObject(kMoneyFlow, m_moneyFlow);
    if (m_income) coder.encodeObject(kIncome, m_income);
    if (m_expense) coder.encodeObject(kExpense, m_expense);
    if (m_summary) coder.encodeObject(kSummary, m_summary);
}

bool CategoryTrees::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_moneyFlow = coder.decodeObjectOfClassForKey<Node>(kMoneyFlow);
    m_income = coder.decodeObjectOfClassForKey<Node>(kIncome);
    m_expense = coder.decodeObjectOfClassForKey<Node>(kExpense);
    m_summary = coder.decodeObjectOfClassForKey<Node>(kSummary);
    if (!cv::rootsAreSeparate({m_moneyFlow.get(), m_income.get(), m_expense.get(), m_summary.get()})) coder.fail();
    return !coder.failed();
}

} // namespace cv
