#include "reports/ItemisedCategoryReport.h"

#include "reports/CategoryAmounts.h"
#include "reports/CategoryTreeRows.h"
#include "reports/ReportTextCut.h"

#include "document/ReadOnlyBook.h"
#include "model/CategoryTrees.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QLoggingCategory>
#include <QSet>

namespace cv {

namespace {

Q_LOGGING_CATEGORY(lcItemised, "corvane.reports")

constexpr double kAccountX = 77;
constexpr double kMemoX = 231;
constexpr double kGroupX = 451;
constexpr double kAmountX = 495;
constexpr double kAmountWidth = 66;
constexpr double kCategoryLine = 28;
constexpr double kHeadsLine = 42;
constexpr double kRowsStart = 60;

// An entry and the category it is listed under (a node at the cut lists
// the entries of the categories below it).
struct Listed {
    EntryPtr entry;
    int category = 0;
};

class Collector {
public:
    Collector(ReadOnlyBook &doc, const cv::ReportRequest &request) : m_doc(doc), m_request(request) {}

    std::vector<Listed> collect()
    {
        for (const NodePtr &root : {m_doc.categoryTrees()->income(), m_doc.categoryTrees()->expense()}) {
            if (!root) continue;
            for (const NodePtr &child : root->children())
                if (child && child->deepStatus() == 1) add(*child, 1);
        }
        return std::move(m_listed);
    }

private:
    void add(const Node &node, int level)
    {
        // A folder's own entries are listed under it, first; at the cut, with those below.
        QList<int> categories{node.ident()};
        if (node.countChild() > 0 && (m_request.tier == 0 || m_request.tier > level)) {
            list(node, categories);
            for (const NodePtr &child : node.children())
                if (child && child->deepStatus() == 1) add(*child, level + 1);
            return;
        }
        cv::CategoryAmounts::allBelow(node, categories);
        list(node, categories);
    }

    void list(const Node &node, const QList<int> &categories)
    {
        SearchConditions conditions;
        conditions.date = {m_request.from, m_request.to};
        conditions.category = categories;
        if (m_request.groups) conditions.group = *m_request.groups;
        // The store answers by day, then ident.
        for (const EntryPtr &entry : m_doc.reads().findEntry(conditions).value_or(cv::EntryList()))
            m_listed.push_back({entry, node.ident()});
    }

    ReadOnlyBook &m_doc;
    const cv::ReportRequest &m_request;
    std::vector<Listed> m_listed;
};

} // namespace

ItemisedCategoryReport::ItemisedCategoryReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const QDate &from,
                                               const QDate &to)
    : Report(doc, setup), m_date1(from), m_date2(to)
{
}

std::unique_ptr<ItemisedCategoryReport>
ItemisedCategoryReport::make(ReadOnlyBook &doc, const cv::ReportRequest &request, const cv::PageSetup &setup)
{
    std::unique_ptr<ItemisedCategoryReport> view(new ItemisedCategoryReport(doc, setup, request.from, request.to));
    Rows rows = view->makeAllItems(request);
    if (rows.empty()) return nullptr;
    view->setData(std::move(rows));
    view->setTitle(cv::localizedString("Report-Actual2-Title"));
    return view;
}

Report::Rows ItemisedCategoryReport::makeAllItems(const cv::ReportRequest &request) const
{
    const std::vector<Listed> listed = Collector(doc(), request).collect();
    const QString dateFormat = cv::localizedString("Report-Short-Date-Format");
    cv::EntryConverter converter(doc());
    Rows rows;
    NodePtr current;
    double subtotal = 0;
    QDate lastDay;
    QSet<QPair<int, int>> missing; // (kind, category) already logged
    const auto close = [&](bool last) {
        if (!current) return;
        // The closing rows of all but the last category take no height, so
        // they print on the page of the category's last entry.
        rows.emplace_back(ReportRow::Rule, last ? ReportRow::kRuleHeight : 0.0f);
        rows.emplace_back(Subtotal, last ? ReportRow::kRowHeight : 0.0f, current, std::vector<double>{subtotal});
        if (last) return;
        rows.emplace_back(ReportRow::Blank, 0.0f);
        addPageTo(rows);
    };
    for (const Listed &item : listed) {
        const Entry &entry = *item.entry;
        NodePtr node;
        if (entry.kind() == cv::EntryKind::Income)
            node = doc().findIncome(item.category);
        else if (entry.kind() == cv::EntryKind::Expense)
            node = doc().findExpense(item.category);
        if (!node) {
            // Only this entry is lost to the report, not the categories after it.
            if (!missing.contains({cv::raw(entry.kind()), item.category})) {
                missing.insert({cv::raw(entry.kind()), item.category});
                qCWarning(lcItemised) << "CV4Report4View:makeAllItemsFrom nil category";
            }
            continue;
        }
        if (node != current) {
            close(false);
            current = node;
            subtotal = 0;
            lastDay = QDate();
        }
        const double amount = converter.defaultAmount(entry);
        subtotal += amount;
        ReportRow row(EntryLevel, ReportRow::kRowHeight, node, {amount, subtotal});
        row.entry = item.entry;
        QString grouping;
        if (const GroupingPtr group = doc().findGrouping(entry.group())) grouping = group->name();
        row.texts = {cv::formatDate(entry.date(), dateFormat), getFullAccountNameForEntry(entry), entry.memo(),
                     grouping};
        if (entry.date() != lastDay) row.number |= DayDiffers;
        lastDay = entry.date();
        rows.push_back(std::move(row));
    }
    close(true);
    return rows;
}

QString ItemisedCategoryReport::getFullAccountNameForEntry(const Entry &entry) const
{
    const NodePtr account = doc().findAccount(entry.account());
    if (!account) return QString();
    QString path = account->name();
    for (const Node *up = account->parent(); up && up->parent(); up = up->parent())
        path.prepend(up->name() + QLatin1Char('/'));
    return path;
}

void ItemisedCategoryReport::drawPage(cv::Canvas &canvas)
{
    const PageRange rows = range();
    const double x0 = left();
    drawPeriod(canvas, m_date1, m_date2);
    const Node *category = nullptr;
    for (int i = rows.start; i < rows.end && !category; ++i) category = data()[size_t(i)].node.get();
    if (category) drawLeftJustified(canvas, getFullCatName(*category), QPointF(x0, top() + kCategoryLine));
    const bool income = category && cv::CategoryTreeRows::isBelow(*category, doc().categoryTrees()->income().get());
    const double heads = top() + kHeadsLine;
    drawLeftJustified(canvas, cv::localizedString("Report-Account"), QPointF(x0 + kAccountX, heads));
    drawLeftJustified(canvas, cv::localizedString("Report-Memo"), QPointF(x0 + kMemoX, heads));
    drawLeftJustified(canvas, cv::localizedString("Report-Group"), QPointF(x0 + kGroupX, heads));
    drawRightJustified(canvas, cv::localizedString(income ? "Report-Actual-Income" : "Report-Actual-Expense"),
                       QPointF(x0 + kAmountX, heads), kAmountWidth);
    const ReportRow rule(ReportRow::Rule, ReportRow::kRuleHeight);
    drawItem(canvas, rule, heads + kLineHeight);

    double y = top() + kRowsStart;
    for (int i = rows.start; i < rows.end; ++i) {
        const ReportRow &row = data()[size_t(i)];
        switch (row.level) {
        case EntryLevel:
            if (i == rows.start || (row.number & DayDiffers))
                drawLeftJustified(canvas, row.texts.value(0), QPointF(x0, y));
            cv::drawInColumn(canvas, row.texts.value(1), QPointF(x0 + kAccountX, y), kMemoX - kAccountX);
            cv::drawInColumn(canvas, row.texts.value(2), QPointF(x0 + kMemoX, y), kGroupX - kMemoX);
            cv::drawInColumn(canvas, row.texts.value(3), QPointF(x0 + kGroupX, y), kAmountX - kGroupX);
            drawRightJustified(canvas, formatAmount(row.value(0)), QPointF(x0 + kAmountX, y), kAmountWidth);
            y += row.height;
            break;
        case Subtotal:
            drawLeftJustified(
                canvas, cv::formatString(cv::localizedString("Report-Actual-Subtotal-of"), {getFullCatName(*row.node)}),
                QPointF(x0, y));
            drawRightJustified(canvas, formatAmount(row.value(0)), QPointF(x0 + kAmountX, y), kAmountWidth);
            y += kLineHeight;
            break;
        case ReportRow::Rule:
            // Drawn in a 4-point band even where it takes no height in the page count.
            drawItem(canvas, rule, y);
            y += ReportRow::kRuleHeight;
            break;
        default: y += kLineHeight; break;
        }
    }
    const int last = rows.end - 1;
    if (last >= rows.start && data()[size_t(last)].level == EntryLevel) drawItem(canvas, rule, y);
}

std::unique_ptr<Report> makeItemisedReport(ReadOnlyBook &doc, const ReportRequest &request, const PageSetup &setup)
{
    return ItemisedCategoryReport::make(doc, request, setup);
}

} // namespace cv
