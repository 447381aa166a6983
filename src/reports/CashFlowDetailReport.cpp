#include "reports/CashFlowDetailReport.h"

#include "reports/CashFlowSides.h"
#include "reports/CategoryAmounts.h"
#include "reports/IdentSlots.h"

#include "model/BalanceCache.h"
#include "model/CategoryTrees.h"
#include "model/Trade.h"
#include "platform/ReportNumberFormat.h"
#include "platform/DateIntegers.h"
#include "platform/Localization.h"
#include "reports/ReportTextCut.h"

#include <algorithm>
#include <map>

namespace cv {

namespace {

constexpr double kSideHeadTop = 28;
constexpr double kSideRuleTop = 42;
constexpr double kDetailRowsTop = 46;
constexpr double kTitleX = 77;
constexpr double kItemX = 88;
constexpr double kValueX = 407;
constexpr double kValueWidth = 66;
constexpr double kSubtotalLineWidth = 396;

// Trade kinds itemised per security, in the order they print.
constexpr cv::TradeKind kInKinds[] = {cv::TradeKind::Sale,     cv::TradeKind::SellBack,    cv::TradeKind::MarginSale,
                                      cv::TradeKind::CashIn,   cv::TradeKind::Dividend,    cv::TradeKind::OtherIncome,
                                      cv::TradeKind::Interest, cv::TradeKind::Distribution};
constexpr cv::TradeKind kOutKinds[] = {cv::TradeKind::Buy, cv::TradeKind::MarginBuy, cv::TradeKind::BuyBack,
                                       cv::TradeKind::Reinvestment, cv::TradeKind::OtherExpense};

// One line of a list: a category, an account, a security's trade kind (a
// template trade) or the commissions (a security), and its sum.
struct Item {
    NodePtr node;
    TradePtr trade;
    SecurityPtr security;
    double value = 0;
    bool folderOwn = false; // the entries filed on the folder itself, not below it

    static Item of(NodePtr node) { return Item{std::move(node), nullptr, nullptr, 0}; }
    static Item of(TradePtr trade) { return Item{nullptr, std::move(trade), nullptr, 0}; }
    static Item of(SecurityPtr security) { return Item{nullptr, nullptr, std::move(security), 0}; }
};
using List = std::vector<Item>;

class DetailLists {
public:
    DetailLists(ReadOnlyBook &doc, int tier, const QDate &from, const QDate &to)
        : m_doc(doc), m_tier(tier), m_from(from), m_to(to), m_days(int(from.daysTo(to)) + 1)
    {
    }

    void makeEntryDetail(const std::optional<QList<int>> &groups);
    void makeTradeDetail();
    Report::Rows makeAllItems() const;

private:
    void setCategoryItems(const NodePtr &node, int depth, bool income);
    void setAccountItems(const NodePtr &node);
    static void addCashAccounts(const Node &node, std::vector<int> &idents);
    double folderOwnSum(const Node &folder) const { return cv::folderOwnSum(m_doc, folder, m_from, m_days); }
    int getParentIdent(int ident, bool income) const;
    static void dropZeros(List &list)
    {
        list.erase(std::remove_if(list.begin(), list.end(), [](const Item &item) { return item.value == 0; }),
                   list.end());
    }

    ReadOnlyBook &m_doc;
    int m_tier;
    QDate m_from, m_to;
    int m_days;
    List m_inIncome, m_inTransfer, m_inTrade, m_outExpense, m_outTransfer, m_outTrade;
    std::map<int, size_t> m_incomeAt, m_expenseAt, m_accountAt;
    std::map<std::pair<int, int>, size_t> m_inTradeAt, m_outTradeAt; // (security, kind)
};

void DetailLists::setCategoryItems(const NodePtr &node, int depth, bool income)
{
    List &list = income ? m_inIncome : m_outExpense;
    auto &at = income ? m_incomeAt : m_expenseAt;
    if (node->countChild() > 0 && depth != m_tier) {
        // A folder's own entries print as a line of the folder, before its categories.
        if (folderOwnSum(*node) != 0) {
            at.emplace(node->ident(), list.size());
            list.push_back(Item::of(node));
            list.back().folderOwn = true;
        }
        for (const auto &child : node->children()) setCategoryItems(child, depth + 1, income);
        return;
    }
    if (m_doc.summaryForCategoryDays(node, m_from, m_days) == 0) return;
    at.emplace(node->ident(), list.size());
    list.push_back(Item::of(node));
}

void DetailLists::setAccountItems(const NodePtr &node)
{
    if (node->countChild() > 0) {
        for (const auto &child : node->children()) setAccountItems(child);
        return;
    }
    if (cv::cashflow::isCashLike(node.get())) return;
    m_accountAt.emplace(node->ident(), m_inTransfer.size());
    m_inTransfer.push_back(Item::of(node));
    m_outTransfer.push_back(Item::of(node));
}

void DetailLists::addCashAccounts(const Node &node, std::vector<int> &idents)
{
    if (cv::cashflow::isCashLike(&node)) idents.push_back(node.ident());
    for (const auto &child : node.children()) addCashAccounts(*child, idents);
}

// The category's ancestor at the tier (the root's children are depth 1), or
// the category itself when it lies at or above that depth.
int DetailLists::getParentIdent(int ident, bool income) const
{
    const NodePtr node = income ? m_doc.findIncome(ident) : m_doc.findExpense(ident);
    if (!node) return ident;
    std::vector<const Node *> path; // from the node up to a child of the root
    for (const Node *up = node.get(); up && up->parent(); up = up->parent()) path.push_back(up);
    const int depth = int(path.size());
    if (depth <= m_tier) return ident;
    return path[size_t(depth - m_tier)]->ident();
}

void DetailLists::makeEntryDetail(const std::optional<QList<int>> &groups)
{
    const auto &categories = *m_doc.categoryTrees();
    for (const auto &[root, income] : {std::pair{categories.income(), true}, std::pair{categories.expense(), false}}) {
        if (!root || !root->deepStatus() || m_doc.summaryForCategoryDays(root, m_from, m_days) == 0) continue;
        for (const auto &child : root->children()) setCategoryItems(child, 1, income);
    }
    const auto &accounts = *m_doc.accountTrees();
    for (const auto &root : {accounts.asset(), accounts.debt()})
        if (root)
            for (const auto &child : root->children()) setAccountItems(child);

    // What the rows ask of an account or category, worked out at its first row.
    struct Account {
        bool known = false, cash = false;
        int currency = 0;
        bool foreign = false;
        int item = -1;       // in the transfer lists
        int ownCurrency = 0; // as the balance cache converts: the node's own
        bool ownForeign = false;
    };
    cv::IdentSlots<Account> slots(cv::IdentSlots<Account>::highestIn({accounts.asset(), accounts.debt()}));
    const auto account = [&](int ident) -> const Account & {
        Account &slot = slots[ident];
        if (!slot.known) {
            const NodePtr node = m_doc.findAccount(ident);
            const auto item = m_accountAt.find(ident);
            slot = {true, cv::cashflow::isCashLike(node.get()), cv::cashflow::currencyOf(node.get()), false,
                    item == m_accountAt.end() ? -1 : int(item->second)};
            slot.foreign = m_doc.isForeignCurrency(slot.currency);
            slot.ownCurrency = node ? node->currency() : 0;
            slot.ownForeign = node && m_doc.getCurrency(slot.ownCurrency) != m_doc.getCurrency(0);
        }
        return slot;
    };
    const auto rate = [&](const Account &slot, int day) {
        if (!slot.foreign) return 1.0;
        return m_doc.currencyRate(m_doc.findCurrency(slot.currency), cv::dates::fromDayNumber(day));
    };
    constexpr int kUnknown = -2;
    cv::IdentSlots<int> incomeItems(cv::IdentSlots<int>::highestIn({categories.income()}), kUnknown);
    cv::IdentSlots<int> expenseItems(cv::IdentSlots<int>::highestIn({categories.expense()}), kUnknown);
    // The category's line at the tier, or -1 when it prints none.
    const auto categoryItem = [&](int ident, bool income) {
        int &slot = (income ? incomeItems : expenseItems)[ident];
        if (slot == kUnknown) {
            const int at = m_tier > 0 ? getParentIdent(ident, income) : ident;
            const NodePtr category = income ? m_doc.findIncome(at) : m_doc.findExpense(at);
            const auto &items = income ? m_incomeAt : m_expenseAt;
            const auto item = items.find(at);
            slot = !category || !category->deepStatus() || item == items.end() ? -1 : int(item->second);
        }
        return slot;
    };

    // An empty choice of groupings keeps every entry, as no condition does.
    const bool chosen = groups && !groups->isEmpty();
    // Without groupings each category starts from the balance cache's sum of
    // the period, which counts every account; the rows of the cash accounts,
    // most of the book, are then not read, and those of other accounts are
    // taken out again. Unassigned loan payments are read: the cache leaves
    // them out of the folders above them.
    std::optional<cv::SettledMoves> settled;
    if (!chosen) {
        settled.emplace();
        for (const auto &root : {accounts.asset(), accounts.debt()})
            if (root) addCashAccounts(*root, settled->accounts);
        std::sort(settled->accounts.begin(), settled->accounts.end());
        settled->keptCategories = {CategoryTrees::LoanUnspecified};
        for (List *list : {&m_inIncome, &m_outExpense})
            for (Item &item : *list)
                if (item.node->deepStatus())
                    item.value = item.folderOwn ? folderOwnSum(*item.node)
                                                : m_doc.cache().summaryForKeyForDays(item.node.get(), m_from, m_days);
    }
    // What the cache counted of the entry in the category's line.
    const auto cached = [&](const Account &source, const cv::EntryMove &entry, const Item &item) {
        if (entry.category == CategoryTrees::LoanUnspecified && item.node->ident() != entry.category) return 0.0;
        if (!source.ownForeign) return entry.amount;
        return m_doc.defaultCurrencyValue(entry.amount, source.ownCurrency, cv::dates::fromDayNumber(entry.day));
    };
    const auto columns = chosen ? cv::EntryMove::CategoriesAndGroups : cv::EntryMove::Categories;
    const auto visit = [&](const cv::EntryMove &entry) {
        if (chosen && !groups->contains(entry.group)) return;
        const Account &source = account(entry.account);
        const auto kind = cv::EntryKind(entry.kind);
        if (kind == cv::EntryKind::Income || kind == cv::EntryKind::Expense) {
            if (!source.cash && !settled) return;
            const bool income = kind == cv::EntryKind::Income;
            const int at = categoryItem(entry.category, income);
            if (at < 0) return;
            Item &item = (income ? m_inIncome : m_outExpense)[size_t(at)];
            if (source.cash) item.value += entry.amount * rate(source, entry.day);
            if (settled) item.value -= cached(source, entry, item);
        } else if (kind == cv::EntryKind::Transfer) {
            const Account &destination = account(entry.destination);
            if (source.cash && !destination.cash) {
                if (destination.item >= 0)
                    m_outTransfer[size_t(destination.item)].value += entry.amount * rate(source, entry.day);
            } else if (destination.cash && !source.cash && source.item >= 0) {
                // What the transfer brings in (cv::cashflow::arrivingValue).
                const bool converted = source.currency != destination.currency && entry.converted != 0;
                m_inTransfer[size_t(source.item)].value +=
                    converted ? entry.converted * rate(destination, entry.day) : entry.amount * rate(source, entry.day);
            }
        }
    };
    m_doc.reads().readPeriodMoves(m_from, m_to, columns, visit, settled ? &*settled : nullptr);
    dropZeros(m_inTransfer);
    dropZeros(m_outTransfer);
}

void DetailLists::makeTradeDetail()
{
    const auto &securities = m_doc.securityList();
    if (securities.empty()) return;
    for (const auto &security : securities) {
        const auto add = [&security](List &list, std::map<std::pair<int, int>, size_t> &at, cv::TradeKind kind) {
            auto trade = std::make_shared<Trade>();
            trade->setKind(kind);
            trade->setSecurity(security->ident());
            at.emplace(std::pair{security->ident(), cv::raw(kind)}, list.size());
            list.push_back(Item::of(std::move(trade)));
        };
        for (cv::TradeKind kind : kInKinds) add(m_inTrade, m_inTradeAt, kind);
        for (cv::TradeKind kind : kOutKinds) add(m_outTrade, m_outTradeAt, kind);
    }
    const size_t commission = m_outTrade.size();
    m_outTrade.push_back(Item::of(securities.front()));

    const auto trades = m_doc.reads().findTradeFrom(m_from, m_to, -1, -1, 0);
    for (const auto &trade : trades.value_or(cv::TradeList{})) {
        const NodePtr account = m_doc.findAccount(trade->account());
        if (!account) continue; // the book moves no money for a trade whose account is gone
        const double r = cv::cashflow::rateAt(m_doc, cv::cashflow::currencyOf(account.get()), trade->date());
        const cv::cashflow::TradeMoney money = cv::cashflow::tradeMoney(m_doc, *trade, *account);
        const auto addTo = [&](List &list, const std::map<std::pair<int, int>, size_t> &at, double value) {
            const auto item = at.find({trade->security(), cv::raw(trade->kind())});
            if (item != at.end()) list[item->second].value += value * r;
        };
        // The kind names the list; a negative price keeps its sign there.
        const Trade::CashFlow::Side side = trade->cashFlow().side;
        if (side == Trade::CashFlow::In) addTo(m_inTrade, m_inTradeAt, money.in - money.out);
        if (side == Trade::CashFlow::Out) addTo(m_outTrade, m_outTradeAt, money.out - money.in);
        if (money.commission != 0) m_outTrade[commission].value += money.commission * r;
    }
    dropZeros(m_inTrade);
    dropZeros(m_outTrade);
}

Report::Rows DetailLists::makeAllItems() const
{
    using V = CashFlowDetailReport;
    Report::Rows rows;
    const auto titled = [&rows](int level, const char *key) {
        ReportRow row(level, ReportRow::kRowHeight);
        row.texts = {cv::localizedString(key)};
        rows.push_back(std::move(row));
    };
    const auto sum = [&rows](int level, double value) {
        rows.emplace_back(level, ReportRow::kRowHeight, nullptr, std::vector<double>{value});
    };
    // A list: its title, its items, the subtotal rule and the subtotal; answers the subtotal.
    const auto list = [&](int titleLevel, const char *key, const List &items, int itemLevel, int totalLevel) {
        titled(titleLevel, key);
        double subtotal = 0;
        for (const Item &item : items) {
            ReportRow row(itemLevel, ReportRow::kRowHeight, item.node, {item.value});
            row.trade = item.trade;
            row.security = item.security;
            rows.push_back(std::move(row));
            subtotal += item.value;
        }
        rows.emplace_back(V::SubtotalRule, 1.0f);
        sum(totalLevel, subtotal);
        return subtotal;
    };

    double in =
        list(V::IncomeTitle, "Report-CacheFlow-CacheIn-Income-Title", m_inIncome, V::IncomeItem, V::IncomeTotal);
    Report::addBlankTo(rows);
    in += list(V::TransferInTitle, "Report-CacheFlow-CacheIn-Transfer-Title", m_inTransfer, V::TransferInItem,
               V::TransferInTotal);
    Report::addBlankTo(rows);
    in += list(V::TradeInTitle, "Report-CacheFlow-CacheIn-Trade-Title", m_inTrade, V::TradeInItem, V::TradeInTotal);
    Report::addBlankTo(rows);
    Report::addThinlineTo(rows);
    sum(V::InTotal, in);
    Report::addBlankTo(rows);
    Report::addPageTo(rows);

    double out =
        list(V::ExpenseTitle, "Report-CacheFlow-CacheOut-Expense-Title", m_outExpense, V::ExpenseItem, V::ExpenseTotal);
    Report::addBlankTo(rows);
    out += list(V::TransferOutTitle, "Report-CacheFlow-CacheOut-Transfer-Title", m_outTransfer, V::TransferOutItem,
                V::TransferOutTotal);
    Report::addBlankTo(rows);
    out +=
        list(V::TradeOutTitle, "Report-CacheFlow-CacheOut-Trade-Title", m_outTrade, V::TradeOutItem, V::TradeOutTotal);
    Report::addBlankTo(rows);
    Report::addThinlineTo(rows);
    sum(V::OutTotal, out);
    Report::addBlankTo(rows);
    Report::addLineTo(rows);
    sum(V::Net, in - out);
    return rows;
}

// The fixed label of a subtotal or total row.
const char *sumKey(int level)
{
    switch (level) {
    case CashFlowDetailReport::IncomeTotal: return "Report-CacheFlow-CacheIn-Income-Total";
    case CashFlowDetailReport::TransferInTotal: return "Report-CacheFlow-CacheIn-Transfer-Total";
    case CashFlowDetailReport::TradeInTotal: return "Report-CacheFlow-CacheIn-Trade-Total";
    case CashFlowDetailReport::InTotal: return "Report-CacheFlow-CacheIn-Total";
    case CashFlowDetailReport::ExpenseTotal: return "Report-CacheFlow-CacheOut-Expense-Total";
    case CashFlowDetailReport::TransferOutTotal: return "Report-CacheFlow-CacheOut-Transfer-Total";
    case CashFlowDetailReport::TradeOutTotal: return "Report-CacheFlow-CacheOut-Trade-Total";
    case CashFlowDetailReport::OutTotal: return "Report-CacheFlow-CacheOut-Total";
    case CashFlowDetailReport::Net: return "Report-CacheFlow-Summary";
    default: return nullptr;
    }
}

bool isTitle(int level)
{
    return level == CashFlowDetailReport::IncomeTitle || level == CashFlowDetailReport::TransferInTitle ||
           level == CashFlowDetailReport::TradeInTitle || level == CashFlowDetailReport::ExpenseTitle ||
           level == CashFlowDetailReport::TransferOutTitle || level == CashFlowDetailReport::TradeOutTitle;
}

bool isItem(int level)
{
    return level == CashFlowDetailReport::IncomeItem || level == CashFlowDetailReport::TransferInItem ||
           level == CashFlowDetailReport::TradeInItem || level == CashFlowDetailReport::ExpenseItem ||
           level == CashFlowDetailReport::TransferOutItem || level == CashFlowDetailReport::TradeOutItem;
}

} // namespace

CashFlowDetailReport::CashFlowDetailReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const QDate &from,
                                           const QDate &to)
    : Report(doc, setup), m_from(from), m_to(to)
{
    setReportFormat(doc.defaultCurrency().get(), m_formatter);
}

std::unique_ptr<CashFlowDetailReport> CashFlowDetailReport::make(ReadOnlyBook &doc,
                                                                 const std::optional<QList<int>> &groups, int tier,
                                                                 const QDate &from, const QDate &to,
                                                                 const cv::PageSetup &setup)
{
    DetailLists lists(doc, tier, from, to);
    lists.makeEntryDetail(groups);
    lists.makeTradeDetail();
    std::unique_ptr<CashFlowDetailReport> view(new CashFlowDetailReport(doc, setup, from, to));
    view->setData(lists.makeAllItems());
    view->setTitle(cv::localizedString("Report-CacheFlow2-Title"));
    return view;
}

QString CashFlowDetailReport::itemLabel(const ReportRow &row) const
{
    switch (row.level) {
    case IncomeItem:
    case ExpenseItem: return row.node ? getFullCatName(*row.node) : QString();
    case TransferInItem:
    case TransferOutItem: {
        if (!row.node) return QString();
        const Node *account = row.node.get();
        if (account->kind() == cv::NodeKind::CashPart && account->parent()) account = account->parent();
        return cv::formatString(cv::localizedString(row.level == TransferInItem
                                                        ? "Report-CacheFlow-CacheIn-Transfer-From"
                                                        : "Report-CacheFlow-CacheOut-Transfer-To"),
                                {doc().displayName(*account)});
    }
    default:
        if (row.trade) {
            const SecurityPtr security = doc().findSecurity(row.trade->security());
            return QStringLiteral("%1:%2").arg(security ? security->name() : QString(), row.trade->reportKindName());
        }
        return cv::localizedString("Report-trade-commission");
    }
}

void CashFlowDetailReport::drawSubtotalLine(cv::Canvas &canvas, const ReportRow &row, double y) const
{
    canvas.fillRect(QRectF(left() + kTitleX, y + row.height * 0.5, kSubtotalLineWidth, 1), Qt::black);
}

void CashFlowDetailReport::drawPage(cv::Canvas &canvas)
{
    drawPeriod(canvas, m_from, m_to);
    const PageRange range = this->range();
    for (int i = range.start; i < range.end; ++i) {
        const int level = data()[size_t(i)].level;
        if (level > IncomeTitle || level < Net) continue;
        drawLeftJustified(canvas,
                          cv::localizedString(level <= ExpenseTitle ? "Report-CacheFlow-CacheOut-Title"
                                                                    : "Report-CacheFlow-CacheIn-Title"),
                          QPointF(left(), top() + kSideHeadTop));
        break;
    }
    drawItem(canvas, ReportRow(ReportRow::Rule, ReportRow::kRuleHeight), top() + kSideRuleTop);
    walkRows(canvas, top() + kDetailRowsTop, [&](int index, double y) {
        const ReportRow &row = data()[size_t(index)];
        if (row.level == SubtotalRule) {
            drawSubtotalLine(canvas, row, y);
            return;
        }
        if (isTitle(row.level)) {
            drawLeftJustified(canvas, row.texts.value(0), QPointF(left() + kTitleX, y));
            return;
        }
        if (isItem(row.level)) {
            cv::drawInColumn(canvas, itemLabel(row), QPointF(left() + kItemX, y), kValueX - kItemX);
        } else if (const char *key = sumKey(row.level)) {
            const bool total = row.level == InTotal || row.level == OutTotal || row.level == Net;
            drawLeftJustified(canvas, cv::localizedString(key), QPointF(left() + (total ? 0 : kTitleX), y));
        } else {
            return;
        }
        drawRightJustified(canvas, m_formatter.stringForObjectValue(row.value(0)), QPointF(left() + kValueX, y),
                           kValueWidth);
    });
}

std::unique_ptr<Report> makeCashFlowDetailReport(ReadOnlyBook &doc, const ReportRequest &request,
                                                 const PageSetup &setup)
{
    return CashFlowDetailReport::make(doc, request.groups, request.tier, request.from, request.to, setup);
}

} // namespace cv
