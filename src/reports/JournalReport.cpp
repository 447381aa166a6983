#include "reports/JournalReport.h"

#include "document/AmountText.h"
#include "reports/ReportTextCut.h"

#include "document/ReadOnlyBook.h"
#include "document/PatternFormatter.h"
#include "model/AccountTrees.h"
#include "model/OpeningHolding.h"
#include "platform/Localization.h"

#include <cmath>

namespace cv {

namespace {

constexpr double kDescriptionX = 33;
constexpr double kMemoShare = 0.6; // of the texts' room, where the memo starts
constexpr double kGroupWidth = 33;
constexpr double kValueWidth = 66;
constexpr double kBalanceGap = 22; // the balance stands a little apart
constexpr double kAccountLine = 28;
constexpr double kHeadsLine = 42;
constexpr double kRowsStart = 60;

} // namespace

JournalReport::JournalReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const QDate &from, const QDate &to)
    : Report(doc, setup), m_date1(from), m_date2(to)
{
}

QString JournalReport::valueText(const Node &node, double value) const
{
    if (node.kind() == cv::NodeKind::Holding) {
        const auto *unit = dynamic_cast<const OpeningHolding *>(node.extra().get());
        const SecurityPtr security = doc().findSecurity(unit ? unit->security() : -1);
        if (!security || security->kind() == cv::SecurityKind::Stock)
            return doc().stringForTradingNumberOfUnits((long long)std::trunc(value));
        return doc().stringForFundValue(value, 0, false, true);
    }
    const Node &account = node.kind() == cv::NodeKind::CashPart && node.parent() ? *node.parent() : node;
    if (!doc().isForeignCurrency(account.currency())) return formatAmount(value);
    return doc().amountText().formatterForCurrency(account.currency()).stringForObjectValue(value);
}

JournalReport::Columns JournalReport::columns() const
{
    Columns c{};
    c.description = kDescriptionX;
    c.balance = contentWidth() - kValueWidth;
    c.decrease = c.balance - kBalanceGap - kValueWidth;
    c.increase = c.decrease - kValueWidth;
    c.group = c.increase - kGroupWidth;
    c.memo = c.description + (c.group - c.description) * kMemoShare;
    return c;
}

void JournalReport::drawHeads(cv::Canvas &canvas, const Node &node, const Columns &at) const
{
    const double x0 = left();
    const double y = top() + kHeadsLine;
    const bool holding = node.kind() == cv::NodeKind::Holding;
    const Node *root = &node;
    while (root->parent()) root = root->parent();
    const bool asset = root == doc().accountTrees()->asset().get();
    const char *first = "Report-Account-Decrease";
    const char *second = "Report-Account-Increase";
    if (asset) {
        first = holding ? "Report-Account-Brand-Increase" : "Report-Account-Increase";
        second = holding ? "Report-Account-Brand-Decrease" : "Report-Account-Decrease";
    }
    drawLeftJustified(canvas, cv::localizedString("Report-Category/Account"), QPointF(x0 + at.description, y));
    drawLeftJustified(canvas, cv::localizedString("Report-Memo"), QPointF(x0 + at.memo, y));
    drawLeftJustified(canvas, cv::localizedString("Report-Group"), QPointF(x0 + at.group, y));
    drawRightJustified(canvas, cv::localizedString(first), QPointF(x0 + at.increase, y), kValueWidth);
    drawRightJustified(canvas, cv::localizedString(second), QPointF(x0 + at.decrease, y), kValueWidth);
    drawRightJustified(canvas, cv::localizedString(holding ? "Report-Account-Brand-Remain" : "Report-Remain"),
                       QPointF(x0 + at.balance, y), kValueWidth);
}

void JournalReport::drawPage(cv::Canvas &canvas)
{
    const PageRange rows = range();
    const Node *node = nullptr;
    for (int i = rows.start; i < rows.end && !node; ++i) node = data()[size_t(i)].node.get();
    if (!node) return;
    const double x0 = left();
    drawPeriod(canvas, m_date1, m_date2);

    QString name = getFullAccountName(*node);
    const Node &account = node->kind() == cv::NodeKind::CashPart && node->parent() ? *node->parent() : *node;
    int currency = account.currency();
    if (node->kind() == cv::NodeKind::Holding) {
        const auto *unit = dynamic_cast<const OpeningHolding *>(node->extra().get());
        const SecurityPtr security = doc().findSecurity(unit ? unit->security() : -1);
        currency = security ? security->currency() : 0;
    }
    if (doc().isForeignCurrency(currency)) {
        const CurrencyPtr found = doc().findCurrency(currency);
        name = cv::formatString(QStringLiteral("%@(%@)"), {name, found ? found->prefix() : QString()});
    }
    drawLeftJustified(canvas, name, QPointF(x0, top() + kAccountLine));
    const Columns at = columns();
    drawHeads(canvas, *node, at);
    const ReportRow rule(ReportRow::Rule, ReportRow::kRuleHeight);
    drawItem(canvas, rule, top() + kHeadsLine + kLineHeight);

    double y = top() + kRowsStart;
    bool drewRecord = false; // the first entry of a page always shows its date
    for (int i = rows.start; i < rows.end; ++i) {
        const ReportRow &row = data()[size_t(i)];
        switch (row.level) {
        case Opening:
            // An empty opening row gives its height back.
            if (row.texts.size() < 2) continue;
            drawLeftJustified(canvas, row.texts[0], QPointF(x0, y));
            drawLeftJustified(canvas, row.texts[1], QPointF(x0 + at.description, y));
            drawRightJustified(canvas, valueText(*row.node, row.value(0)), QPointF(x0 + at.balance, y), kValueWidth);
            break;
        case Record:
        case Commission: {
            if (!drewRecord || (row.number & DayDiffers)) drawLeftJustified(canvas, row.texts.value(0), QPointF(x0, y));
            drewRecord = true;
            cv::drawInColumn(canvas, row.texts.value(1), QPointF(x0 + at.description, y), at.memo - at.description);
            cv::drawInColumn(canvas, row.texts.value(2), QPointF(x0 + at.memo, y), at.group - at.memo);
            cv::drawInColumn(canvas, row.texts.value(3), QPointF(x0 + at.group, y), at.increase - at.group);
            const bool increase = row.value(0) != 0;
            drawRightJustified(canvas, valueText(*row.node, increase ? row.value(0) : row.value(1)),
                               QPointF(x0 + (increase ? at.increase : at.decrease), y), kValueWidth);
            // The balance closes a day, and the page.
            if (!(row.number & SameDayFollows) || i + 1 >= rows.end)
                drawRightJustified(canvas, valueText(*row.node, row.value(2)), QPointF(x0 + at.balance, y),
                                   kValueWidth);
            break;
        }
        case Total:
            cv::drawInColumn(canvas, row.texts.value(0), QPointF(x0, y), at.increase);
            drawRightJustified(canvas, valueText(*row.node, row.value(0)), QPointF(x0 + at.increase, y), kValueWidth);
            drawRightJustified(canvas, valueText(*row.node, row.value(1)), QPointF(x0 + at.decrease, y), kValueWidth);
            drawRightJustified(canvas, valueText(*row.node, row.value(2)), QPointF(x0 + at.balance, y), kValueWidth);
            break;
        default: drawItem(canvas, row, y); break;
        }
        y += row.height;
    }
    const int last = rows.end - 1;
    if (last >= rows.start && data()[size_t(last)].level >= 0) drawItem(canvas, rule, y);
}

} // namespace cv
