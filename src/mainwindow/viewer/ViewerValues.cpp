#include "mainwindow/viewer/ViewerValues.h"

#include "document/AmountText.h"
#include "document/Book.h"
#include "document/PatternFormatter.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "model/Security.h"
#include "model/Currency.h"
#include "model/Settings.h"
#include "model/DomainEnums.h"
#include "model/ExtraInterfaces.h"
#include "model/Node.h"
#include "platform/Localization.h"
#include "platform/widgets/ReportTextStyles.h"

namespace cv {

namespace {

const QColor kForeignColor = QColor::fromRgbF(0, 0.4, 0);
enum EdgeMode { CarryOver = 0, BlockEnd = 1, WeekEnd = 2 };

NodePtr shared(const Node &node)
{
    return std::const_pointer_cast<Node>(node.shared_from_this());
}

const Node *topOf(const Node &node)
{
    const Node *n = &node;
    while (n->parent()) n = n->parent();
    return n;
}

QString percent(double value, double whole)
{
    return cv::AmountText::percentText(whole == 0 ? 0.0 : value / whole * 100);
}

int securityOf(const Node &node)
{
    const auto *extra = dynamic_cast<const SecurityExtra *>(node.extra().get());
    return extra ? extra->security() : 0;
}

} // namespace

ViewerValues::ViewerValues(Book &document, const ViewerColumns &columns) : m_document(document), m_columns(columns) {}

QString ViewerValues::kindMark(const Node &node) const
{
    const auto kind = node.kind();
    switch (kind) {
    case NodeKind::SummaryRoot:
    case NodeKind::SectionRoot:
    case NodeKind::Group:
    case NodeKind::AccountSummary:
    case NodeKind::CategorySummary: return QString();
    case NodeKind::Report:
    case NodeKind::CashPart:
    case NodeKind::SystemItem: return localizedString("I:System");
    case NodeKind::Holding: {
        const SecurityPtr security = m_document.findSecurity(securityOf(node));
        if (!security) return QString();
        switch (security->kind()) {
        case SecurityKind::Stock: return localizedString("I:Stock");
        case SecurityKind::InvestmentTrust: return localizedString("I:Trust");
        case SecurityKind::Bond: return localizedString("I:Bond");
        default: return QString();
        }
    }
    case NodeKind::Category: return node.ident() <= kLastSystemIdent ? localizedString("I:System") : QString();
    case NodeKind::Cash: return localizedString("I:Cache");
    case NodeKind::Bank: return localizedString("I:Bank");
    case NodeKind::Investment: return localizedString("I:Invest");
    case NodeKind::GeneralAsset: return localizedString("I:Asset");
    case NodeKind::CreditCard: return localizedString("I:Credit");
    case NodeKind::Loan: return localizedString("I:Loan");
    case NodeKind::GeneralDebt: return localizedString("I:Debt");
    default:
        // The unnamed kind between the cash part and the system items is
        // marked as they are.
        if (raw(kind) > raw(NodeKind::CashPart) && raw(kind) < raw(NodeKind::SystemItem))
            return localizedString("I:System");
        return QString::number(raw(kind));
    }
}

QDate ViewerValues::edgeDate(const Node &node, int mode) const
{
    switch (mode) {
    case WeekEnd: return m_columns.weekEndDate();
    case BlockEnd: return m_columns.blockEndDate();
    default:
        if (m_columns.unit() == 5 && !node.isAccount()) return {};
        return m_columns.carryOverDate(node.assetInitialDate());
    }
}

QDate ViewerValues::accountDateForColumn(const Node &node, int column) const
{
    if (column < ViewerColumns::kStartDataCells) return edgeDate(node, CarryOver);
    return m_columns.columnLastDate(column);
}

bool ViewerValues::validAtColumn(const Node &node, int column) const
{
    const auto kind = node.kind();
    if ((kind == NodeKind::CashPart || kind == NodeKind::Holding) && node.parent())
        return validAtColumn(*node.parent(), column);
    if (kind < NodeKind::Holding || kind == NodeKind::AccountSummary) return true;
    return node.validAtDate(accountDateForColumn(node, column));
}

void ViewerValues::validateSums()
{
    if (m_sumsValid) return;
    const QDate end = m_columns.blockEndDate();
    const AccountTreesPtr &accounts = m_document.accountTrees();
    m_assetSum = accounts && accounts->asset() ? m_document.valueForAccount(accounts->asset(), end) : 0;
    m_debtSum = accounts && accounts->debt() ? m_document.valueForAccount(accounts->debt(), end) : 0;
    m_sumsValid = true;
}

double ViewerValues::carryOver(const Node &node, int mode, bool force)
{
    const QDate date = edgeDate(node, mode);
    if (!date.isValid()) return 0;
    const NodePtr item = shared(node);
    if (mode == BlockEnd) {
        validateSums();
        const AccountTreesPtr &accounts = m_document.accountTrees();
        if (accounts && item == accounts->asset()) return m_assetSum;
        if (accounts && item == accounts->debt()) return m_debtSum;
    }
    if (node.kind() == NodeKind::Holding) {
        if (!m_document.settings() || !m_document.settings()->displayStockPrice())
            return m_document.valueForAccount(item, date, nullptr);
        // In the currency of the day columns (the account's), which the
        // cell is also written in; the security's own would be misread.
        CurrencyPtr currency = m_document.defaultCurrency();
        if (!force && node.parent()) currency = m_document.findCurrency(node.parent()->currency());
        return m_document.valueForAccount(item, date, currency);
    }
    return !force && node.isAccount() ? m_document.rawValueForAccount(item, date)
                                      : m_document.valueForAccount(item, date);
}

double ViewerValues::accountValue(const NodePtr &node, const QDate &date, bool trans)
{
    return !trans && node->isAccount() ? m_document.rawValueForAccount(node, date)
                                       : m_document.valueForAccount(node, date);
}

QString ViewerValues::currencyText(double value) const
{
    const CurrencyPtr def = m_document.defaultCurrency();
    return m_document.amountText().formatterForCurrency(def ? def->ident() : 0).stringForObjectValue(value);
}

QString ViewerValues::formatAccount(const Node &node, double value, bool trans) const
{
    const auto kind = node.kind();
    if (kind == NodeKind::Holding) {
        if (m_document.settings() && m_document.settings()->displayStockPrice()) {
            const CurrencyPtr def = m_document.defaultCurrency();
            const CurrencyPtr shown = trans ? def : m_document.displayCurrencyOfItem(node);
            return m_document.stringForValue(value, shown ? shown->ident() : 0);
        }
        const SecurityPtr security = m_document.findSecurity(securityOf(node));
        if (security && security->kind() == SecurityKind::Stock)
            return m_document.amountText().intFormatter().stringForObjectValue(value);
        static const PatternFormatter units(QStringLiteral("#,##0.00;0.00;#,##0.00"));
        return units.stringForObjectValue(value);
    }
    if (trans || !node.isAccount()) return currencyText(value);
    if (kind == NodeKind::CashPart && node.parent())
        return m_document.amountText().formatterForCurrency(node.parent()->currency()).stringForObjectValue(value);
    return m_document.amountText().formatterForCurrency(node.currency()).stringForObjectValue(value);
}

bool ViewerValues::isFuture(int column) const
{
    return m_todayColumn < column && column < m_columns.startEndCells();
}

QColor ViewerValues::accountColor(const Node &node, double value, int column, bool trans) const
{
    const CurrencyPtr def = m_document.defaultCurrency();
    const CurrencyPtr shown = m_document.displayCurrencyOfItem(node);
    if (!trans && shown && def && shown->ident() != def->ident()) return kForeignColor;
    if (value < 0) return negativeColor();
    if (isFuture(column)) return m_futureColor;
    return {};
}

QColor ViewerValues::categoryColor(double value, int column) const
{
    if (value < 0) return negativeColor();
    if (isFuture(column)) return m_futureColor;
    return {};
}

ViewerCell ViewerValues::fixedCell(const Node &node, int column) const
{
    ViewerCell cell;
    if (column == 0)
        cell.text = QLatin1Char(' ') + m_document.displayName(node);
    else if (column == 1)
        cell.text = kindMark(node);
    else
        cell.rightAligned = true;
    return cell;
}

ViewerCell ViewerValues::accountCell(const Node &node, int column)
{
    ViewerCell cell = fixedCell(node, column);
    if (column < 2) return cell;
    const bool trans = m_document.settings() && m_document.settings()->transDefaultCurrency() != 0;
    const auto formatted = [&](double v) {
        cell.text = formatAccount(node, v, trans);
        cell.color = accountColor(node, v, column, trans);
    };
    if (column == 2) {
        const double v = carryOver(node, CarryOver, trans);
        if (v != 0 && validAtColumn(node, column)) formatted(v);
        return cell;
    }
    if (m_columns.isDataColumn(column)) {
        cell.dataColumn = true;
        if (!validAtColumn(node, column)) return cell;
        const QDate d = m_columns.columnLastDate(column);
        const NodePtr item = shared(node);
        if (node.kind() == NodeKind::Holding && m_document.settings() && m_document.settings()->displayStockPrice()) {
            CurrencyPtr currency = m_document.defaultCurrency();
            if (!trans && node.parent()) currency = m_document.findCurrency(node.parent()->currency());
            const double v = m_document.valueForAccount(item, d, currency);
            cell.text =
                m_document.amountText().formatterForCurrency(currency ? currency->ident() : 0).stringForObjectValue(v);
            cell.color = accountColor(node, v, column, trans);
            return cell;
        }
        formatted(node.kind() == NodeKind::Holding ? m_document.rawValueForAccount(item, d)
                                                   : accountValue(item, d, trans));
        return cell;
    }
    if (m_columns.unit() == 5) return cell;
    switch (m_columns.summaryPosition(column)) {
    case ViewerColumns::WeekSummary: formatted(carryOver(node, WeekEnd, trans)); break;
    case ViewerColumns::BlockSummary: formatted(carryOver(node, BlockEnd, trans)); break;
    case ViewerColumns::ShareSummary: {
        const AccountTreesPtr &accounts = m_document.accountTrees();
        const Node *top = topOf(node);
        if (!accounts || (accounts->summary() && top == accounts->summary().get())) break;
        const double v = carryOver(node, BlockEnd, true);
        if (v == 0) {
            formatted(v);
        } else if (node.kind() == NodeKind::SectionRoot) {
            cell.text = QStringLiteral("100.00");
        } else {
            validateSums();
            cell.text = percent(v, accounts->asset() && top == accounts->asset().get() ? m_assetSum : m_debtSum);
        }
        break;
    }
    default: break;
    }
    return cell;
}

ViewerCell ViewerValues::categoryCell(const Node &node, int column)
{
    ViewerCell cell = fixedCell(node, column);
    if (column < 2) return cell;
    if (column > m_columns.lastAccountColumn() || column < ViewerColumns::kStartDataCells) return cell;
    const NodePtr item = shared(node);
    double v = 0;
    if (m_columns.isDataColumn(column)) {
        cell.dataColumn = true;
        const auto [months, days] = ViewerColumns::cellIncrement(m_columns.unit());
        const QDate d = m_columns.columnFirstDate(column);
        v = months > 0 ? m_document.summaryForCategoryMonths(item, d, months) : m_document.valueForCategory(item, d);
    } else if (column >= m_columns.startEndCells()) {
        const QDate s = m_columns.summaryTopDate();
        const int m = m_columns.blockMonths();
        const CategoryTreesPtr &categories = m_document.categoryTrees();
        const bool incomeOrExpense = categories && categories->isIncomeOrExpense(&node);
        switch (m_columns.summaryPosition(column)) {
        case ViewerColumns::WeekSummary:
            v = m_document.summaryForCategoryDays(item, m_columns.summaryTopWeekDate(), 7);
            break;
        case ViewerColumns::BlockSummary: v = m_document.summaryForCategoryMonths(item, s, m); break;
        case ViewerColumns::BudgetSummary:
        case ViewerColumns::BudgetPercentSummary: {
            if (!incomeOrExpense || !s.isValid() || m <= 0) return cell;
            double budget = 0;
            const bool hasBudget =
                node.kind() >= NodeKind::Group || item == categories->income() || item == categories->expense();
            if (hasBudget) {
                for (int k = 0; k < m; ++k) {
                    const QDate month = s.addMonths(k);
                    budget += node.budgetAt(month.year(), month.month());
                }
            }
            if (m_columns.summaryPosition(column) == ViewerColumns::BudgetSummary) {
                v = budget;
                break;
            }
            if (budget != 0) cell.text = percent(m_document.summaryForCategoryMonths(item, s, m), budget);
            return cell;
        }
        case ViewerColumns::ShareSummary: {
            if (!incomeOrExpense) return cell;
            v = m_document.summaryForCategoryMonths(item, s, m);
            if (v == 0) return cell;
            const Node *root = &node;
            while (root && root->kind() > NodeKind::SectionRoot) root = root->parent();
            const double whole = root ? m_document.summaryForCategoryMonths(shared(*root), s, m) : 0;
            cell.text = percent(v, whole);
            return cell;
        }
        default: return cell;
        }
    }
    if (v == 0) return cell;
    cell.text = currencyText(v);
    cell.color = categoryColor(v, column);
    return cell;
}

void ViewerValues::addAccountList(std::vector<NodePtr> &list, const NodePtr &node)
{
    if (!node) return;
    const auto kind = node->kind();
    if (kind == NodeKind::Investment) return;
    if (kind == NodeKind::Cash || kind == NodeKind::Bank || kind == NodeKind::GeneralAsset ||
        kind == NodeKind::CreditCard || kind == NodeKind::Loan || kind == NodeKind::GeneralDebt)
        list.push_back(node);
    if (node->hasChildList()) {
        for (const NodePtr &child : node->children()) addAccountList(list, child);
    }
}

} // namespace cv
