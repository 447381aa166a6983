#include "reports/CashFlowReport.h"

#include "reports/CashFlowSides.h"

#include "model/Trade.h"
#include "platform/ReportNumberFormat.h"
#include "platform/Localization.h"

namespace cv {

namespace {

constexpr double kFlowRowsTop = 28;
constexpr double kIndent = 110; // the six sums' titles
constexpr double kValueX = 440;
constexpr double kValueWidth = 66;

using Sums = CashFlowReport::Sums;

void addEntries(ReadOnlyBook &doc, const Node &account, const std::optional<QList<int>> &groups, const QDate &from,
                const QDate &to, Sums &sums)
{
    SearchConditions conditions;
    conditions.date = {from, to};
    conditions.account = {account.ident()};
    if (groups) conditions.group = *groups;
    const int currency = account.currency();
    doc.reads().forEachEntry(conditions, [&](const Entry &entry) {
        switch (entry.kind()) {
        case cv::EntryKind::Income: {
            const NodePtr category = doc.findIncome(entry.category());
            if (category && category->deepStatus())
                sums.income += entry.amount() * cv::cashflow::rateAt(doc, currency, entry.date());
            break;
        }
        case cv::EntryKind::Expense: {
            const NodePtr category = doc.findExpense(entry.category());
            if (category && category->deepStatus())
                sums.expense += entry.amount() * cv::cashflow::rateAt(doc, currency, entry.date());
            break;
        }
        case cv::EntryKind::Transfer: {
            const NodePtr source = doc.findAccount(entry.account());
            const NodePtr destination = doc.findAccount(entry.destination());
            const bool sourceCash = cv::cashflow::isCashLike(source.get());
            const bool destinationCash = cv::cashflow::isCashLike(destination.get());
            // Money moving inside the cash, or outside it, is no cash flow.
            if (sourceCash && !destinationCash)
                sums.transOut +=
                    entry.amount() * cv::cashflow::rateAt(doc, cv::cashflow::currencyOf(source.get()), entry.date());
            else if (!sourceCash && destinationCash)
                sums.transIn += cv::cashflow::arrivingValue(doc, entry, source.get(), destination.get());
            break;
        }
        default: break;
        }
    });
}

void addTrades(ReadOnlyBook &doc, const Node &account, const QDate &from, const QDate &to, Sums &sums)
{
    const auto trades = doc.reads().findTradeFrom(from, to, account.ident(), -1, 0);
    if (!trades) return;
    for (const auto &trade : *trades) {
        // The other side of a transfer of units pays nothing, its commission included.
        if (trade->account() != account.ident()) continue;
        const double r = cv::cashflow::rateAt(doc, account.currency(), trade->date());
        const cv::cashflow::TradeMoney money = cv::cashflow::tradeMoney(doc, *trade, account);
        sums.tradeIn += money.in * r;
        sums.tradeOut += (money.out + money.commission) * r;
    }
}

void sumAccount(ReadOnlyBook &doc, const NodePtr &node, const std::optional<QList<int>> &groups, const QDate &from,
                const QDate &to, Sums &sums)
{
    if (node->countChild() > 0) {
        for (const auto &child : node->children()) sumAccount(doc, child, groups, from, to, sums);
        return;
    }
    if (node->kind() == cv::NodeKind::Cash || node->kind() == cv::NodeKind::Bank) {
        addEntries(doc, *node, groups, from, to, sums);
    } else if (node->kind() == cv::NodeKind::CashPart && node->parent()) {
        // The cash part stands for its investment account, trades included.
        addEntries(doc, *node->parent(), groups, from, to, sums);
        addTrades(doc, *node->parent(), from, to, sums);
    }
}

} // namespace

CashFlowReport::CashFlowReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const QDate &from, const QDate &to)
    : Report(doc, setup), m_from(from), m_to(to)
{
    setReportFormat(doc.defaultCurrency().get(), m_formatter);
}

CashFlowReport::Sums CashFlowReport::getValues(ReadOnlyBook &doc, const std::optional<QList<int>> &groups,
                                               const QDate &from, const QDate &to)
{
    Sums sums;
    if (const NodePtr assets = doc.accountTrees()->asset())
        for (const auto &child : assets->children()) sumAccount(doc, child, groups, from, to, sums);
    return sums;
}

Report::Rows CashFlowReport::makeAllItems(const Sums &sums)
{
    Rows rows;
    const auto titled = [&rows](int level, const char *key, double value) {
        ReportRow row(level, ReportRow::kRowHeight, nullptr, {value});
        row.texts = {cv::localizedString(key)};
        rows.push_back(std::move(row));
    };
    titled(InTitle, "Report-CacheFlow-CacheIn-Title", 0);
    addLineTo(rows);
    titled(Income, "Report-CacheFlow-CacheIn-Income-Title", sums.income);
    addBlankTo(rows);
    titled(TransfersIn, "Report-CacheFlow-CacheIn-Transfer-Title", sums.transIn);
    addBlankTo(rows);
    titled(TradesIn, "Report-CacheFlow-CacheIn-Trade-Title", sums.tradeIn);
    addThinlineTo(rows);
    titled(InTotal, "Report-CacheFlow-CacheIn-Total", sums.inTotal());
    addBlankTo(rows);
    addBlankTo(rows);
    titled(OutTitle, "Report-CacheFlow-CacheOut-Title", 0);
    addLineTo(rows);
    titled(Expense, "Report-CacheFlow-CacheOut-Expense-Title", sums.expense);
    addBlankTo(rows);
    titled(TransfersOut, "Report-CacheFlow-CacheOut-Transfer-Title", sums.transOut);
    addBlankTo(rows);
    titled(TradesOut, "Report-CacheFlow-CacheOut-Trade-Title", sums.tradeOut);
    addThinlineTo(rows);
    titled(OutTotal, "Report-CacheFlow-CacheOut-Total", sums.outTotal());
    addBlankTo(rows);
    addLineTo(rows);
    titled(Net, "Report-CacheFlow-Summary", sums.inTotal() - sums.outTotal());
    return rows;
}

std::unique_ptr<CashFlowReport> CashFlowReport::make(ReadOnlyBook &doc, const std::optional<QList<int>> &groups,
                                                     const QDate &from, const QDate &to, const cv::PageSetup &setup)
{
    std::unique_ptr<CashFlowReport> view(new CashFlowReport(doc, setup, from, to));
    view->setData(makeAllItems(getValues(doc, groups, from, to)));
    view->setTitle(cv::localizedString("Report-CacheFlow-Title"));
    return view;
}

void CashFlowReport::drawPage(cv::Canvas &canvas)
{
    drawPeriod(canvas, m_from, m_to);
    walkRows(canvas, top() + kFlowRowsTop, [&](int index, double y) {
        const ReportRow &row = data()[size_t(index)];
        const bool heading = row.level == InTitle || row.level == OutTitle;
        const bool indented = !heading && row.level != InTotal && row.level != OutTotal && row.level != Net;
        drawLeftJustified(canvas, row.texts.value(0), QPointF(left() + (indented ? kIndent : 0), y));
        if (!heading)
            drawRightJustified(canvas, m_formatter.stringForObjectValue(row.value(0)), QPointF(left() + kValueX, y),
                               kValueWidth);
    });
}

std::unique_ptr<Report> makeCashFlowReport(ReadOnlyBook &doc, const ReportRequest &request, const PageSetup &setup)
{
    return CashFlowReport::make(doc, request.groups, request.from, request.to, setup);
}

} // namespace cv
