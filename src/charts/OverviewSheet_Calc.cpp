#include "charts/OverviewSheet.h"

#include "controls/DateField.h"
#include "document/Book.h"
#include "document/TradeMoney.h"
#include "model/AccountTrees.h"
#include "model/BalanceCache.h"
#include "model/Entry.h"
#include "model/CategoryTrees.h"
#include "model/Settings.h"
#include "model/Trade.h"
#include "model/DomainEnums.h"

#include <algorithm>

namespace cv {

namespace {

using cv::NodeKind;

bool isMoneyLike(const NodePtr &node)
{
    if (!node) return false;
    const NodeKind kind = node->kind();
    return kind == NodeKind::Cash || kind == NodeKind::Bank || kind == NodeKind::Investment;
}

} // namespace

void OverviewSheet::calcOverview()
{
    m_asset.fill(0);
    m_debt.fill(0);
    m_cmp.fill(0);
    m_income.fill(0);
    m_expense.fill(0);
    m_cashIn.fill(0);
    m_cashOut.fill(0);
    const QDate d = m_dateField->date().value_or(QDate());
    if (!m_doc || !d.isValid() || !m_doc->accountTrees() || !m_doc->categoryTrees()) return;
    const NodePtr assetRoot = m_doc->accountTrees()->asset();
    const NodePtr debtRoot = m_doc->accountTrees()->debt();
    for (const NodePtr &root : {assetRoot, debtRoot})
        for (const NodePtr &child : root->children()) calcAccountValue(child, d);
    m_asset[4] = m_asset[0] + m_asset[1] + m_asset[2] + m_asset[3];
    m_debt[3] = m_debt[0] + m_debt[1] + m_debt[2];

    const bool months = monthMode();
    if (months) {
        m_cmpDate[0] = d.addDays(-d.day());
        m_cmpDate[1] = m_cmpDate[0].addDays(-m_cmpDate[0].day());
    } else {
        m_cmpDate[0] = d.addYears(-1);
        m_cmpDate[1] = d.addYears(-2);
    }
    for (int i = 0; i < 2; ++i)
        m_cmp[size_t(i)] = m_doc->valueForAccount(assetRoot, m_cmpDate[size_t(i)]) -
                           m_doc->valueForAccount(debtRoot, m_cmpDate[size_t(i)]);

    const QDate first = months ? QDate(d.year(), d.month(), 1) : QDate(d.year(), 1, 1);
    for (int i = 0; i < 3; ++i) {
        Period &p = m_period[size_t(i)];
        p.from = months ? first.addMonths(-i) : first.addYears(-i);
        p.to = (months ? p.from.addMonths(1) : p.from.addYears(1)).addDays(-1);
        const NodePtr income = m_doc->categoryTrees()->income();
        const NodePtr expense = m_doc->categoryTrees()->expense();
        if (months) {
            m_income[size_t(i)] = m_doc->cache().monthlyValueForKey(income.get(), p.from);
            m_expense[size_t(i)] = m_doc->cache().monthlyValueForKey(expense.get(), p.from);
        } else {
            m_income[size_t(i)] = m_doc->summaryForCategoryMonths(income, p.from, 12);
            m_expense[size_t(i)] = m_doc->summaryForCategoryMonths(expense, p.from, 12);
        }
    }
    getCashFlowValues(assetRoot);
    calcDiag();
}

void OverviewSheet::calcAccountValue(const NodePtr &node, const QDate &date)
{
    if (node->kind() == NodeKind::Group) {
        for (const NodePtr &child : node->children()) calcAccountValue(child, date);
    } else if (node->isAsset()) {
        m_asset[size_t(cv::raw(node->kind()) - cv::raw(NodeKind::Cash))] += m_doc->valueForAccount(node, date);
    } else if (node->isDebt()) {
        m_debt[size_t(cv::raw(node->kind()) - cv::raw(NodeKind::CreditCard))] += m_doc->valueForAccount(node, date);
    }
}

int OverviewSheet::periodOf(const QDate &date) const
{
    for (int i = 0; i < 3; ++i)
        if (date >= m_period[size_t(i)].from && date <= m_period[size_t(i)].to) return i;
    return -1;
}

void OverviewSheet::getCashFlowValues(const NodePtr &node)
{
    if (node->countChild() > 0) {
        for (const NodePtr &child : node->children()) getCashFlowValues(child);
        return;
    }
    const auto kind = node->kind();
    if (kind == NodeKind::Cash || kind == NodeKind::Bank)
        countAccount(node, false);
    else if (kind == NodeKind::CashPart && node->parent())
        countAccount(m_doc->findAccount(node->parent()->ident()), true);
}

void OverviewSheet::countAccount(const NodePtr &account, bool investmentCash)
{
    if (!account) return;
    // One read over the three periods, sorted into them by date.
    const QDate from = m_period[2].from;
    const QDate to = m_period[0].to;
    const int currency = account->currency();
    auto inDefault = [this](double amount, int currencyIdent, const QDate &date) {
        return m_doc->defaultCurrencyValue(amount, currencyIdent, date);
    };
    SearchConditions conditions;
    conditions.date = {from, to};
    conditions.account = {account->ident()};
    const auto entries = m_doc->reads().findEntry(conditions);
    for (const EntryPtr &entry : entries.value_or(cv::EntryList())) {
        const int i = periodOf(entry->date());
        if (i < 0) continue;
        double &in = m_cashIn[size_t(i)];
        double &out = m_cashOut[size_t(i)];
        switch (entry->kind()) {
        case cv::EntryKind::Income: in += inDefault(entry->amount(), currency, entry->date()); break;
        case cv::EntryKind::Expense: out += inDefault(entry->amount(), currency, entry->date()); break;
        case cv::EntryKind::Transfer: {
            const NodePtr source = m_doc->findAccount(entry->account());
            const NodePtr target = m_doc->findAccount(entry->destination());
            const bool sourceMoney = isMoneyLike(source);
            const bool targetMoney = isMoneyLike(target);
            if (sourceMoney == targetMoney) break;
            const int sourceCurrency = m_doc->currencyOfAccount(entry->account());
            const int targetCurrency = m_doc->currencyOfAccount(entry->destination());
            if (sourceMoney) {
                out += inDefault(entry->amount(), sourceCurrency, entry->date());
            } else if (sourceCurrency != targetCurrency && entry->converted() != 0) {
                in += inDefault(entry->converted(), targetCurrency, entry->date());
            } else {
                in += inDefault(entry->amount(), sourceCurrency, entry->date());
            }
            break;
        }
        }
    }
    if (!investmentCash) return;
    const auto trades = m_doc->reads().findTradeFrom(from, to, account->ident(), -1, 0);
    for (const TradePtr &trade : trades.value_or(cv::TradeList())) {
        const int i = periodOf(trade->date());
        // The other side of a transfer of units pays nothing, its commission included.
        if (i < 0 || trade->account() != account->ident()) continue;
        const cv::cashflow::TradeMoney money = cv::cashflow::tradeMoney(*m_doc, *trade, *account);
        m_cashIn[size_t(i)] += inDefault(money.in, currency, trade->date());
        m_cashOut[size_t(i)] += inDefault(money.out + money.commission, currency, trade->date());
    }
}

void OverviewSheet::calcDiag()
{
    m_topExp.fill(Ranked{});
    m_topOvb.fill(Ranked{});
    const QDate d = m_dateField->date().value_or(QDate());
    if (!m_doc || !d.isValid() || !m_doc->categoryTrees() || !m_doc->settings()) return;
    const bool year = !monthMode();
    const QDate start = m_doc->settings()->fiscalDate(d, year ? 5 : 2);
    calcDiagSub(m_doc->categoryTrees()->expense(), start, year, 0);
}

void OverviewSheet::calcDiagSub(const NodePtr &node, const QDate &start, bool year, int depth)
{
    // A loan's money without a receiving account is outside the book's expense totals.
    if (!node || node->ident() == CategoryTrees::LoanUnspecified) return;
    // The expense tree holds no summaries: its sums are the cache's.
    const auto spent = [&](const Node *n) {
        return year ? m_doc->cache().summaryForKeyForMonths(n, start, 12) : m_doc->cache().monthlyValueForKey(n, start);
    };
    const auto rank = [&](const Node &n, double v) {
        place(m_topExp, Ranked{getFullCatName(n), v, 0}, v, [](const Ranked &r) { return r.actual; });
    };
    if (depth != m_level && node->countChild() > 0) {
        // Above the depth a folder's own entries rank as one line of it; its
        // budget is for the whole folder, so they are never over one.
        if (depth > 0)
            if (const double own = cv::folderOwnAmount(*node, spent); own > 0) rank(*node, own);
        for (const NodePtr &child : node->children()) calcDiagSub(child, start, year, depth + 1);
        return;
    }
    const double v = spent(node.get());
    if (!(v > 0)) return;
    rank(*node, v);
    const double b = node->budgetAtDate(start, year ? 12 : 1);
    if (!(b > 0) || v / b <= 1.0) return;
    place(m_topOvb, Ranked{getFullCatName(*node), v, b}, v / b, [](const Ranked &r) { return r.actual / r.budget; });
}

void OverviewSheet::place(std::array<Ranked, kRanked> &list, const Ranked &entry, double key,
                          double (*keyOf)(const Ranked &))
{
    // Ahead of every smaller one: among equals the one met first stays first.
    size_t at = 0;
    while (at < list.size() && !list[at].name.isEmpty() && keyOf(list[at]) >= key) ++at;
    if (at >= list.size()) return;
    std::move_backward(list.begin() + qsizetype(at), list.end() - 1, list.end());
    list[at] = entry;
}

QString OverviewSheet::getFullCatName(const Node &category)
{
    QStringList names{category.name()};
    for (const Node *up = category.parent(); up && up->parent(); up = up->parent()) names.prepend(up->name());
    return names.join(QLatin1Char('/'));
}

} // namespace cv
