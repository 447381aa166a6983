#include "reports/RankingReport.h"

#include "reports/CategoryAmounts.h"
#include "reports/ReportTextCut.h"

#include "document/ReadOnlyBook.h"
#include "document/PatternFormatter.h"
#include "platform/Localization.h"

#include <QHash>

#include <algorithm>

namespace cv {

namespace {

constexpr double kHeadsTop = 30; // the column heads
constexpr double kRankX = 88;
constexpr double kRankWidth = 22;
constexpr double kNameX = 110;
constexpr double kTotalX = 330;
constexpr double kShareX = 396;
constexpr double kColumnWidth = 66;

} // namespace

// Totals per category come from one read of the period's entries.
class RankingReport::Builder {
public:
    Builder(ReadOnlyBook &doc, const std::optional<QList<int>> &groups, int tier, int isAscending, const QDate &from,
            const QDate &to)
        : m_doc(doc), m_tier(tier), m_ascending(isAscending == 0)
    {
        SearchConditions period;
        period.date = {from, to};
        if (groups && !groups->isEmpty()) period.group = *groups;
        QHash<int, int> currencyOfAccount;
        doc.reads().forEachEntry(period, [&](const Entry &entry) {
            if (entry.kind() != cv::EntryKind::Income && entry.kind() != cv::EntryKind::Expense) return;
            auto known = currencyOfAccount.constFind(entry.account());
            if (known == currencyOfAccount.constEnd()) {
                const NodePtr account = doc.findAccount(entry.account());
                known = currencyOfAccount.insert(entry.account(), account ? account->currency() : 0);
            }
            double amount = entry.amount();
            if (doc.isForeignCurrency(*known)) amount *= doc.currencyRate(doc.findCurrency(*known), entry.date());
            m_sums[cv::raw(entry.kind())][entry.category()] += amount;
        });
    }

    Rows build()
    {
        Rows rows;
        const NodePtr roots[2] = {m_doc.categoryTrees()->income(), m_doc.categoryTrees()->expense()};
        for (int section = 0; section < 2; ++section) {
            const NodePtr &root = roots[section];
            if (!root) continue;
            const double total = value(*root, section);
            if (total == 0) continue;
            Rows ranked;
            for (const NodePtr &child : root->children())
                if (child->deepStatus() != 0 && !cv::staysOutOfTotals(*child))
                    setItems(ranked, child, 1, section, total);
            if (ranked.empty()) continue;
            std::stable_sort(ranked.begin(), ranked.end(), [this](const ReportRow &a, const ReportRow &b) {
                if (a.value(0) != b.value(0)) return m_ascending ? a.value(0) < b.value(0) : a.value(0) > b.value(0);
                return a.node->ident() < b.node->ident();
            });
            if (!rows.empty()) {
                addBlankTo(rows);
                addPageTo(rows);
            }
            rows.insert(rows.end(), ranked.begin(), ranked.end());
            addLineTo(rows);
            rows.emplace_back(SectionTotal, 14, root, std::vector<double>{total});
        }
        return rows;
    }

private:
    // The node's checked leaves and the folders from it down, or the node
    // itself when it has no children.
    double value(const Node &node, int section) const
    {
        if (node.countChild() == 0) return m_sums[section].value(node.ident());
        double sum = ownValue(node, section);
        for (const NodePtr &child : node.children())
            if (child->deepStatus() != 0 && !cv::staysOutOfTotals(*child)) sum += value(*child, section);
        return sum;
    }

    // The entries filed on a folder itself (a root takes none).
    double ownValue(const Node &folder, int section) const
    {
        return folder.parent() ? m_sums[section].value(folder.ident()) : 0;
    }

    void setItems(Rows &rows, const NodePtr &node, int level, int section, double sectionTotal) const
    {
        const auto rank = [&](double total) {
            if (total != 0) rows.emplace_back(level, 14, node, std::vector<double>{total, total / sectionTotal * 100});
        };
        const bool descend = m_tier < 1 || level < m_tier;
        if (node->countChild() == 0 || !descend) {
            rank(value(*node, section));
            return;
        }
        // A folder's own entries rank as one line of the folder.
        rank(ownValue(*node, section));
        for (const NodePtr &child : node->children())
            if (child->deepStatus() != 0 && !cv::staysOutOfTotals(*child))
                setItems(rows, child, level + 1, section, sectionTotal);
    }

    ReadOnlyBook &m_doc;
    int m_tier;
    bool m_ascending;
    QHash<int, double> m_sums[2]; // income and expense totals by category
};

RankingReport::RankingReport(ReadOnlyBook &doc, const QDate &from, const QDate &to, const cv::PageSetup &setup)
    : Report(doc, setup), m_date1(from), m_date2(to)
{
    setTitle(cv::localizedString("Report-ABC-Analysis"));
}

std::unique_ptr<RankingReport> RankingReport::make(ReadOnlyBook &doc, const std::optional<QList<int>> &groups, int tier,
                                                   int isAscending, const QDate &from, const QDate &to,
                                                   const cv::PageSetup &setup)
{
    Rows rows = Builder(doc, groups, tier, isAscending, from, to).build();
    if (rows.empty()) return nullptr;
    std::unique_ptr<RankingReport> view(new RankingReport(doc, from, to, setup));
    view->setData(std::move(rows));
    return view;
}

std::unique_ptr<Report> makeRankingReport(ReadOnlyBook &doc, const ReportRequest &request, const PageSetup &setup)
{
    return RankingReport::make(doc, request.groups, request.tier, request.isAscending, request.from, request.to, setup);
}

bool RankingReport::isIncome(const Node &node) const
{
    const Node *top = &node;
    while (top->parent()) top = top->parent();
    return top == doc().categoryTrees()->income().get();
}

void RankingReport::drawPage(cv::Canvas &canvas)
{
    drawPeriod(canvas, m_date1, m_date2);
    const PageRange page = range();
    const ReportRow *first = nullptr;
    for (int i = page.start; i < page.end && !first; ++i)
        if (data()[size_t(i)].node) first = &data()[size_t(i)];
    const double headsY = top() + kHeadsTop;
    if (first) {
        const bool income = isIncome(*first->node);
        drawLeftJustified(canvas, cv::localizedString(income ? "Report-Income" : "Report-Expense"),
                          QPointF(left(), headsY));
        drawHeadRight(canvas, cv::localizedString(income ? "Report-Actual-Income" : "Report-Actual-Expense"),
                      QPointF(left() + kTotalX, headsY), kColumnWidth);
        drawHeadRight(canvas, cv::localizedString("Report-Term-Comparison-Fraction-Title"),
                      QPointF(left() + kShareX, headsY), kColumnWidth);
        ReportRow rule(ReportRow::Rule, ReportRow::kRuleHeight);
        drawItem(canvas, rule, headsY + kLineHeight);
    }
    const PatternFormatter share(cv::localizedString("Report-Format-Fraction"));
    int rank = 0;
    walkRows(canvas, headsY + kLineHeight + ReportRow::kRuleHeight, [&](int index, double y) {
        const ReportRow &row = data()[size_t(index)];
        if (!row.node) return;
        if (row.level == SectionTotal) {
            drawLeftJustified(
                canvas,
                cv::localizedString(isIncome(*row.node) ? "Report-Actual-Income-Total" : "Report-Actual-Expense-Total"),
                QPointF(left() + kNameX, y));
            drawRightJustified(canvas, formatAmount(row.value(0)), QPointF(left() + kTotalX, y), kColumnWidth);
            return;
        }
        if (row.level < 1) return;
        drawCentered(canvas, formatAmount(++rank), QPointF(left() + kRankX, y), kRankWidth);
        cv::drawInColumn(canvas, getFullCatName(*row.node), QPointF(left() + kNameX, y), kTotalX - kNameX);
        drawRightJustified(canvas, formatAmount(row.value(0)), QPointF(left() + kTotalX, y), kColumnWidth);
        drawRightJustified(canvas, share.stringForObjectValue(row.value(1)), QPointF(left() + kShareX, y),
                           kColumnWidth);
    });
}

} // namespace cv
