#include "print/ViewerPrintRow.h"

#include "document/AmountText.h"
#include "document/ReadOnlyBook.h"
#include "model/CategoryTrees.h"
#include "model/Settings.h"
#include "platform/Localization.h"

#include <QLocale>

#include <algorithm>

namespace cv {

namespace {

constexpr cv::NodeKind kRootKind = cv::NodeKind::SectionRoot;

const Node *nearestRoot(const Node &node)
{
    for (const Node *n = &node; n; n = n->parent()) {
        if (n->kind() == kRootKind) return n;
    }
    return nullptr;
}

QString amountText(const ReadOnlyBook &document, double value)
{
    const CurrencyPtr currency = document.defaultCurrency();
    return document.stringForValue(value, currency ? currency->ident() : 0, false);
}

// A negative share is marked as the amounts beside it are ("△" in print).
QString percentText(const ReadOnlyBook &document, const std::optional<double> &value)
{
    if (!value) return QString();
    const QString plain = AmountText::percentText(*value);
    if (!plain.startsWith(u'-')) return plain;
    const QString minusOne = amountText(document, -1);
    const qsizetype one = minusOne.indexOf(u'1');
    if (one < 0) return plain;
    return minusOne.left(one) + plain.mid(1) + minusOne.mid(one + 1);
}

QString amountOrEmpty(const ReadOnlyBook &document, double value)
{
    return value == 0 ? QString() : amountText(document, value);
}

} // namespace

ViewerPrintRow::ViewerPrintRow(const QDate &topDate)
{
    const QDate top = topDate.isValid() ? topDate : QDate::currentDate();
    m_first = QDate(top.year(), top.month(), 1);
}

QDate ViewerPrintRow::monthStart(int month) const
{
    return m_first.addMonths(month);
}

QDate ViewerPrintRow::monthEnd(int month, int fiscalDay) const
{
    return monthStart(month + 1).addDays(std::clamp(fiscalDay, 0, 27) - 1);
}

NodePtr ViewerPrintRow::shared(const Node &node)
{
    return std::const_pointer_cast<Node>(node.shared_from_this());
}

double ViewerPrintRow::monthsTotal(ReadOnlyBook &document, const NodePtr &node) const
{
    double total = 0;
    for (int k = 0; k < kMonths; ++k) total += document.summaryForCategoryMonths(node, monthStart(k), 1);
    return total;
}

ViewerPrintRow::AccountValues ViewerPrintRow::accountValues(ReadOnlyBook &document, const Node &node) const
{
    AccountValues out;
    const NodePtr item = shared(node);
    const int fiscalDay = document.settings() ? document.settings()->fiscalDayOfMonth() : 0;
    out.carry = document.valueForAccount(item, carryDate(fiscalDay));
    for (int k = 0; k < kMonths; ++k) out.months[size_t(k)] = document.valueForAccount(item, monthEnd(k, fiscalDay));
    out.rest = out.months[kMonths - 1];
    if (const Node *root = nearestRoot(node)) {
        const double whole =
            root == &node ? out.rest : document.valueForAccount(shared(*root), monthEnd(kMonths - 1, fiscalDay));
        if (out.rest != 0 && whole != 0) out.percent = out.rest / whole * 100;
    }
    return out;
}

ViewerPrintRow::CategoryValues ViewerPrintRow::categoryValues(ReadOnlyBook &document, const Node &node) const
{
    CategoryValues out;
    const NodePtr item = shared(node);
    for (int k = 0; k < kMonths; ++k) {
        out.months[size_t(k)] = document.summaryForCategoryMonths(item, monthStart(k), 1);
        out.total += out.months[size_t(k)];
    }
    const CategoryTreesPtr &categories = document.categoryTrees();
    bool incomeOrExpense = false;
    for (const Node *n = &node; n && categories; n = n->parent()) {
        if (n == categories->income().get() || n == categories->expense().get()) incomeOrExpense = true;
    }
    if (incomeOrExpense) {
        const double budget = node.budgetAtDate(monthStart(0), kMonths);
        if (budget > 0) {
            out.budget = budget;
            out.budgetPercent = out.total / budget * 100;
        }
    }
    const Node *root = nearestRoot(node);
    if (out.total != 0 && node.kind() != cv::NodeKind::SystemItem && node.kind() != cv::NodeKind::CategorySummary &&
        root) {
        const double whole = root == &node ? out.total : monthsTotal(document, shared(*root));
        if (whole != 0) out.share = out.total / whole * 100;
    }
    return out;
}

QStringList ViewerPrintRow::accountHeader() const
{
    const QLocale locale(isJapanese() ? QLocale::Japanese : QLocale::English);
    QStringList out{formatString(localizedString(QStringLiteral("Report-View-Account-Year")), {m_first.year()}),
                    localizedString(QStringLiteral("Report-View-Carry"))};
    for (int k = 0; k < kMonths; ++k)
        out.append(locale.standaloneMonthName(monthStart(k).month(), QLocale::ShortFormat));
    out << localizedString(QStringLiteral("Report-View-Rest")) << QString() << QString()
        << localizedString(QStringLiteral("Report-View-Percent"));
    return out;
}

QStringList ViewerPrintRow::categoryHeader() const
{
    QStringList out{formatString(localizedString(QStringLiteral("Report-View-Actual")), {m_first.year()}), QString()};
    for (int k = 0; k < kMonths; ++k) out.append(QString());
    out << localizedString(QStringLiteral("Report-View-Total")) << localizedString(QStringLiteral("Report-View-Budget"))
        << localizedString(QStringLiteral("Report-View-Percent"))
        << localizedString(QStringLiteral("Report-View-Percent"));
    return out;
}

QStringList ViewerPrintRow::accountCells(ReadOnlyBook &document, const Node &node) const
{
    const AccountValues values = accountValues(document, node);
    QStringList out{document.displayName(node), amountText(document, values.carry)};
    for (double value : values.months) out.append(amountText(document, value));
    out << amountText(document, values.rest) << QString() << QString() << percentText(document, values.percent);
    return out;
}

QStringList ViewerPrintRow::categoryCells(ReadOnlyBook &document, const Node &node) const
{
    const CategoryValues values = categoryValues(document, node);
    QStringList out{document.displayName(node), QString()};
    for (double value : values.months) out.append(amountOrEmpty(document, value));
    out << amountOrEmpty(document, values.total) << (values.budget ? amountText(document, *values.budget) : QString())
        << percentText(document, values.budgetPercent) << percentText(document, values.share);
    return out;
}

} // namespace cv
