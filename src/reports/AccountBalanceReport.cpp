#include "reports/AccountBalanceReport.h"

#include "controls/TickTree.h"
#include "document/AmountText.h"
#include "document/ReadOnlyBook.h"
#include "model/OpeningHolding.h"
#include "model/DomainEnums.h"
#include "platform/Localization.h"
#include "platform/DateIntegers.h"
#include "reports/CashFlowSides.h"
#include "reports/IdentSlots.h"
#include "reports/ReportTextCut.h"

#include <QSet>

#include <algorithm>

namespace cv {

namespace {

using cv::NodeKind;
using Quad = AccountBalanceReport::Quad;

constexpr double kTypeWidth = 33;    // the narrowest type column
constexpr double kColumnWidth = 77;  // a value column where the paper has room
constexpr double kNarrowColumn = 60; // the narrowest a value column gets
constexpr double kNameRoom = 130;    // what a name keeps before value columns narrow

void add(Quad &sum, const Quad &q)
{
    for (size_t i = 0; i < 4; ++i) sum[i] += q[i];
}

std::vector<double> toValues(const Quad &q)
{
    return {q[0], q[1], q[2], q[3]};
}

const OpeningHolding *holdingOf(const Node &node)
{
    return dynamic_cast<const OpeningHolding *>(node.extra().get());
}

bool isInvestment(const Node &node)
{
    return node.kind() == NodeKind::Investment;
}

} // namespace

// Works out the values of one period: the period's entries are read once in
// one streamed pass and summed per account into slots by ident, and its
// trades kept per account; start and end balances come from the cache.
class AccountBalanceReport::Builder {
public:
    Builder(ReadOnlyBook &doc, int flags, const QDate &from, const QDate &to)
        : m_doc(doc), m_flags(flags), m_date1(from), m_date2(to),
          m_moves(cv::IdentSlots<Moves>::highestIn({doc.accountTrees()->asset(), doc.accountTrees()->debt()})),
          m_transferCurrency(cv::IdentSlots<int>::highestIn({doc.accountTrees()->asset(), doc.accountTrees()->debt()}),
                             kUnknown)
    {
        doc.reads().readPeriodMoves(from, to, cv::EntryMove::Amounts, [this](const cv::EntryMove &entry) {
            Moves &source = m_moves[entry.account];
            switch (cv::EntryKind(entry.kind)) {
            case cv::EntryKind::Income: source.income += entry.amount; break;
            case cv::EntryKind::Expense: source.expense += entry.amount; break;
            case cv::EntryKind::Transfer:
                source.transferOut += entry.amount;
                if (entry.destination <= 0 || entry.destination == entry.account) break;
                m_moves[entry.destination].transferIn += arrived(entry);
                break;
            default: break;
            }
        });
        if (auto trades = doc.reads().findTradeFrom(from, to, -1, -1, 0)) {
            for (const TradePtr &trade : *trades) {
                m_trades[trade->account()].push_back(trade);
                if (trade->transfer() > 0 && trade->transfer() != trade->account())
                    m_trades[trade->transfer()].push_back(trade);
            }
        }
    }

    Rows build()
    {
        Rows rows;
        const NodePtr roots[2] = {m_doc.accountTrees()->asset(), m_doc.accountTrees()->debt()};
        Quad totals[2] = {};
        for (int section = 0; section < 2; ++section) {
            const NodePtr &root = roots[section];
            rows.emplace_back(SectionHead, 14, root);
            addLineTo(rows);
            if (root) {
                if (m_flags == 0) {
                    if (root->deepStatus() != 0) setItems(rows, root, 0);
                } else {
                    const NodeKind assetKinds[] = {NodeKind::Cash, NodeKind::Bank, NodeKind::CashPart,
                                                   NodeKind::Investment, NodeKind::GeneralAsset};
                    const NodeKind debtKinds[] = {NodeKind::CreditCard, NodeKind::Loan, NodeKind::GeneralDebt};
                    const int assetLevels[] = {-20, -21, -22, -24, -25};
                    const int debtLevels[] = {-30, -31, -32};
                    const int count = section == 0 ? 5 : 3;
                    for (int k = 0; k < count; ++k)
                        addKind(rows, root, section == 0 ? assetKinds[k] : debtKinds[k],
                                section == 0 ? assetLevels[k] : debtLevels[k]);
                }
                totals[section] = totalValue(*root, true);
            }
            addLineTo(rows);
            rows.emplace_back(SectionTotal, 14, root, toValues(totals[section]));
            addBlankTo(rows);
        }
        addLineTo(rows);
        rows.emplace_back(NetHead, 14);
        addLineTo(rows);
        // Start and end are assets less debts; the movements of both sections add up.
        const Quad net{totals[0][0] - totals[1][0], totals[0][1] + totals[1][1], totals[0][2] + totals[1][2],
                       totals[0][3] - totals[1][3]};
        rows.emplace_back(NetValues, 14, nullptr, toValues(net));
        return rows;
    }

private:
    // Tree order: the node (not the root) and each child with a tick at or below it, depth first.
    void setItems(Rows &rows, const NodePtr &node, int level)
    {
        if (node->parent()) addLine(rows, node, level, lineValue(*node));
        for (const NodePtr &child : node->children())
            if (child->deepStatus() != 0) setItems(rows, child, level + 1);
    }

    // Grouped: every ticked node of the kind, then a thin rule, the subtotal and a blank.
    void addKind(Rows &rows, const NodePtr &root, NodeKind kind, int subtotalLevel)
    {
        Quad subtotal{};
        bool any = false;
        findItems(rows, root, kind, subtotal, any);
        if (!any) return;
        addThinlineTo(rows);
        rows.emplace_back(subtotalLevel, 14, nullptr, toValues(subtotal));
        addBlankTo(rows);
    }

    void findItems(Rows &rows, const NodePtr &node, NodeKind kind, Quad &subtotal, bool &any)
    {
        if (node->deepStatus() == 0) return;
        if (node->parent() && node->kind() == kind) {
            any = true;
            if (kind == NodeKind::CashPart) {
                // The cash part stands for its investment account.
                const NodePtr account = node->parent()->shared_from_this();
                const Quad q = value(*node, true);
                add(subtotal, q);
                addLine(rows, account, 0, q);
            } else if (kind == NodeKind::Investment) {
                Quad holdings{};
                Rows lines;
                for (const NodePtr &child : node->children()) {
                    if (child->kind() == NodeKind::CashPart || child->status() == 0) continue;
                    const Quad q = value(*child, true);
                    add(holdings, q);
                    addLine(lines, child, 1, q);
                }
                add(subtotal, holdings);
                rows.emplace_back(InvestHoldings, 14, node, toValues(holdings));
                if (m_doc.isForeignCurrency(node->currency())) {
                    const double rate = m_doc.currencyRate(m_doc.findCurrency(node->currency()), m_date2);
                    Quad own = holdings;
                    for (double &v : own) v = rate != 0 ? v / rate : 0;
                    ReportRow foreign(ForeignInvestLine, 14, node, toValues(own));
                    foreign.number = node->currency();
                    rows.push_back(std::move(foreign));
                }
                rows.insert(rows.end(), lines.begin(), lines.end());
            } else {
                const Quad q = lineValue(*node);
                add(subtotal, q);
                addLine(rows, node, 0, q);
            }
            return;
        }
        for (const NodePtr &child : node->children()) findItems(rows, child, kind, subtotal, any);
    }

    void addLine(Rows &rows, const NodePtr &node, int level, const Quad &q)
    {
        ReportRow line(level, 14, node, toValues(q));
        line.number = node->deepStatus() == 0 || !node->parent() ? 1 : 0; // 1: values left blank
        rows.push_back(std::move(line));
        const int currency = currencyOf(*node);
        if (m_doc.isForeignCurrency(currency)) {
            ReportRow foreign(ForeignLine, 14, node, toValues(lineValue(*node, false)));
            foreign.number = currency;
            rows.push_back(std::move(foreign));
        }
    }

    int currencyOf(const Node &node) const
    {
        if (node.kind() == NodeKind::CashPart && node.parent()) return node.parent()->currency();
        if (const OpeningHolding *unit = holdingOf(node)) {
            const SecurityPtr security = m_doc.findSecurity(unit->security());
            return security ? security->currency() : 0;
        }
        return node.currency();
    }

    Quad lineValue(const Node &node, bool convert = true)
    {
        if (node.countChild() == 0) return value(node, convert);
        if (m_flags != 0 && isInvestment(node))
            if (const NodePtr cash = node.childAt(0); cash && cash->kind() == NodeKind::CashPart)
                return value(*cash, convert);
        return totalValue(node, convert);
    }

    Quad totalValue(const Node &node, bool convert)
    {
        Quad sum{};
        for (const NodePtr &child : node.children()) {
            if (child->deepStatus() == 0) continue;
            add(sum, child->countChild() > 0 ? totalValue(*child, convert) : value(*child, convert));
        }
        return sum;
    }

    // One node's start, increase, decrease and end.
    Quad value(const Node &u, bool convert)
    {
        const Node &a = u.kind() == NodeKind::CashPart && u.parent() ? *u.parent() : u;
        const OpeningHolding *unit = holdingOf(a);
        const SecurityPtr security = unit ? m_doc.findSecurity(unit->security()) : nullptr;
        const int currency = currencyOf(u);
        const bool foreign = m_doc.isForeignCurrency(currency);
        const double rate = foreign && convert ? m_doc.currencyRate(m_doc.findCurrency(currency), m_date2) : 1;
        const double price = unit ? m_doc.securityValue(security, m_date2) : 1;
        const NodePtr node = const_cast<Node &>(u).shared_from_this();
        const QDate before = m_date1.addDays(-1);

        auto balance = [&](const QDate &day) {
            if (foreign || unit) return m_doc.rawValueForAccount(node, day) * price * rate;
            return m_doc.valueForAccount(node, day);
        };
        Quad q{balance(before), 0, 0, balance(m_date2)};
        const QDate opened = a.assetInitialDate();
        const double openingValue = unit ? unit->units() * price : a.assetInitialValue();
        // A loan's balance holds no opening value: the borrowed money is an entry of its own.
        const bool loan = a.kind() == NodeKind::Loan;
        if (opened.isValid() && opened == m_date1 && !loan) q[0] += openingValue * rate;
        const bool openedInPeriod = opened.isValid() && opened > m_date1 && opened <= m_date2;

        if (unit) {
            tradeMovements(u, 0, q);
            if (openedInPeriod) q[1] += openingValue;
        } else if (u.kind() == NodeKind::Investment || u.kind() == NodeKind::CashPart) {
            tradeMovements(u, u.kind() == NodeKind::Investment ? 1 : 2, q);
            entryMovements(a, q);
            if (openedInPeriod) q[1] += openingValue;
        } else {
            entryMovements(a, q);
            if (openedInPeriod && !loan) q[a.isDebt() ? 2 : 1] += openingValue;
        }
        q[1] *= rate;
        q[2] *= rate;
        return q;
    }

    void entryMovements(const Node &account, Quad &q)
    {
        const Moves &moves = m_moves[account.ident()];
        q[1] += moves.transferIn + moves.income;
        q[2] += moves.transferOut + moves.expense;
    }

    // What a transfer brought into its destination, as the balance cache credited it.
    double arrived(const cv::EntryMove &entry)
    {
        if (transferCurrency(entry.account) == transferCurrency(entry.destination)) return entry.amount;
        m_transfer.setKind(cv::EntryKind::Transfer);
        m_transfer.setDate(cv::dates::fromDayNumber(entry.day));
        m_transfer.setAccount(entry.account);
        m_transfer.setDestination(entry.destination);
        m_transfer.setAmount(entry.amount);
        m_transfer.setConverted(entry.converted);
        double value = 0;
        m_doc.getTransferValues(m_transfer, &value, nullptr);
        return value;
    }

    int transferCurrency(int account)
    {
        int &currency = m_transferCurrency[account];
        if (currency == kUnknown) {
            const NodePtr node = m_doc.findAccount(account);
            currency = m_doc.getCurrency(node ? node->currency() : 0);
        }
        return currency;
    }

    // Mode 0 a holding, 1 an investment account, 2 an investment account's cash part.
    void tradeMovements(const Node &node, int mode, Quad &q)
    {
        const Node *account = mode == 1 ? &node : node.parent();
        if (!account) return;
        int securityFilter = -1;
        if (mode == 0) {
            const OpeningHolding *unit = holdingOf(node);
            if (!unit) return;
            securityFilter = unit->security();
        }
        const bool units = mode != 2;
        const bool cash = mode != 0;
        for (const TradePtr &trade : m_trades.value(account->ident())) {
            if (securityFilter >= 0 && trade->security() != securityFilter) continue;
            const bool own = trade->account() == account->ident();
            if (units && (own || trade->kind() == cv::TradeKind::TransferUnits)) {
                const double value =
                    trade->count() * m_doc.securityValue(m_doc.findSecurity(trade->security()), m_date2);
                double change = 0;
                trade->changesForAccount(account->ident(), &change, nullptr);
                q[change > 0 ? 1 : 2] += change != 0 ? value : 0;
            }
            if (cash) {
                const cv::cashflow::TradeMoney money = cv::cashflow::tradeMoney(m_doc, *trade, *account);
                q[1] += money.in;
                q[2] += money.out + money.commission;
            }
        }
    }

    ReadOnlyBook &m_doc;
    int m_flags;
    QDate m_date1, m_date2;
    // The period's entries summed by account: income and expense entries of
    // the account, transfers out of it and into it.
    struct Moves {
        double income = 0, expense = 0, transferOut = 0, transferIn = 0;
    };
    static constexpr int kUnknown = -2147483647 - 1;
    cv::IdentSlots<Moves> m_moves;
    cv::IdentSlots<int> m_transferCurrency;     // as transfers convert between accounts
    Entry m_transfer;                           // a transfer across currencies, for the cache's rule
    QHash<int, std::vector<TradePtr>> m_trades; // the period's trades by account and settlement account
};

AccountBalanceReport::AccountBalanceReport(ReadOnlyBook &doc, int flags, const QDate &from, const QDate &to,
                                           const cv::PageSetup &setup)
    : Report(doc, setup), m_flags(flags), m_date1(from), m_date2(to),
      m_diffFormatter(cv::localizedString("Report-Format-Diff"))
{
    setTitle(cv::localizedString("Report-Account-Title"));
}

std::unique_ptr<AccountBalanceReport> AccountBalanceReport::make(ReadOnlyBook &doc, int flags, const QDate &from,
                                                                 const QDate &to, const cv::PageSetup &setup)
{
    std::unique_ptr<AccountBalanceReport> view(new AccountBalanceReport(doc, flags, from, to, setup));
    view->setData(Builder(doc, flags, from, to).build());
    return view;
}

std::unique_ptr<Report> makeAccountBalanceReport(ReadOnlyBook &doc, const ReportRequest &request,
                                                 const PageSetup &setup)
{
    return AccountBalanceReport::make(doc, request.flags, request.from, request.to, setup);
}

const char *AccountBalanceReport::totalTitleKey(int level)
{
    switch (level) {
    case -20: return "Report-Asset-Cache";
    case -21: return "Report-Asset-Bank";
    case -22: return "Report-Asset-Invest-Cache";
    case -24: return "Report-Asset-Invest-Brand";
    case -25: return "Report-Asset-General";
    case -30: return "Report-Debt-Credit";
    case -31: return "Report-Debt-Loan";
    case -32: return "Report-Debt-General";
    default: return nullptr;
    }
}

QString AccountBalanceReport::typeName(const Node &node) const
{
    // The balance report's type column leaves an investment's cash part blank.
    if (node.kind() == NodeKind::CashPart) return QString();
    return cv::TickTree::kindName(&doc(), node);
}

void AccountBalanceReport::drawValues(cv::Canvas &canvas, const ReportRow &row, double y)
{
    double x = left() + m_columns.valuesX;
    for (size_t i = 0; i < 4; ++i, x += m_columns.valueWidth)
        drawRightJustified(canvas, formatAmount(row.value(i)), QPointF(x, y), m_columns.valueWidth);
    drawRightJustified(canvas, m_diffFormatter.stringForObjectValue(row.value(3) - row.value(0)), QPointF(x, y),
                       m_columns.valueWidth);
}

void AccountBalanceReport::drawForeign(cv::Canvas &canvas, const ReportRow &row, double y)
{
    const CurrencyPtr currency = doc().findCurrency(row.number);
    const QString bracket = QStringLiteral("<%1>");
    drawCentered(canvas, bracket.arg(currency ? currency->prefix() : QString()), QPointF(left() + m_columns.typeX, y),
                 m_columns.typeWidth);
    const PatternFormatter &own = doc().amountText().formatterForCurrency(row.number);
    // The change in the currency's own digits, in the fractional change format.
    const PatternFormatter diff(cv::localizedString("Report-Format-Fractional-Diff"));
    double x = left() + m_columns.valuesX;
    for (size_t i = 0; i < 4; ++i, x += m_columns.valueWidth)
        drawRightJustified(canvas, bracket.arg(own.stringForObjectValue(row.value(i))), QPointF(x, y),
                           m_columns.valueWidth);
    drawRightJustified(canvas, bracket.arg(diff.stringForObjectValue(row.value(3) - row.value(0))), QPointF(x, y),
                       m_columns.valueWidth);
}

std::pair<QString, QString> AccountBalanceReport::netHeading() const
{
    const QString format = cv::localizedString("Report-Account-Period");
    const QVariantList dates{formatDate(m_date1), formatDate(m_date2)};
    const qsizetype at = format.indexOf(QStringLiteral("%@"));
    if (at <= 0) return {cv::formatString(format, dates), QString()};
    return {format.left(at).trimmed(), cv::formatString(format.mid(at), dates)};
}

void AccountBalanceReport::drawTitles(cv::Canvas &canvas, const QStringList &keys, double y)
{
    double x = left() + m_columns.valuesX;
    for (const QString &key : keys) {
        drawHeadRight(canvas, cv::localizedString(key), QPointF(x, y), m_columns.valueWidth);
        x += m_columns.valueWidth;
    }
}

// The five value columns end at the right margin and the type column is as
// wide as its widest text; value columns narrow before names get less than
// their room, so that no text of a line runs into the next.
AccountBalanceReport::Columns AccountBalanceReport::columns(cv::Canvas &canvas) const
{
    constexpr double kGap = 6;
    Columns c;
    c.typeWidth = kTypeWidth;
    QSet<QString> types; // a few names over many rows: each measured once
    for (const ReportRow &row : data())
        if (row.level >= 0 && row.level < ForeignLine && row.node) types.insert(typeName(*row.node));
    for (const QString &type : types) c.typeWidth = std::max(c.typeWidth, canvas.textWidth(type) + kGap);
    c.valueWidth = std::clamp((contentWidth() - kNameRoom - c.typeWidth) / 5, kNarrowColumn, kColumnWidth);
    c.valuesX = contentWidth() - 5 * c.valueWidth;
    c.typeX = c.valuesX - c.typeWidth;
    return c;
}

void AccountBalanceReport::drawPage(cv::Canvas &canvas)
{
    m_columns = columns(canvas);
    drawPeriod(canvas, m_date1, m_date2);
    const NodePtr assetRoot = doc().accountTrees()->asset();
    walkRows(canvas, top() + kRowsTop, [&](int index, double y) {
        const ReportRow &row = data()[size_t(index)];
        setDisableValues(false);
        if (row.level >= 0 && row.level < ForeignLine) {
            if (!row.node) return;
            const bool holding = row.node->kind() == NodeKind::Holding;
            const bool typed = m_flags == 0 || holding;
            const QString name = typed ? doc().displayName(*row.node) : getFullAccountName(*row.node);
            // A long name is cut at the next column, never drawn over it.
            const double x = 10 * row.level;
            cv::drawInColumn(canvas, name, QPointF(left() + x, y), (typed ? m_columns.typeX : m_columns.valuesX) - x);
            if (typed)
                drawCentered(canvas, typeName(*row.node), QPointF(left() + m_columns.typeX, y), m_columns.typeWidth);
            setDisableValues(row.number != 0);
            drawValues(canvas, row, y);
            setDisableValues(false);
            return;
        }
        switch (row.level) {
        case ForeignLine:
        case ForeignInvestLine: drawForeign(canvas, row, y); break;
        case InvestHoldings:
            if (row.node)
                cv::drawInColumn(canvas, getFullAccountName(*row.node), QPointF(left(), y), m_columns.valuesX);
            drawValues(canvas, row, y);
            break;
        case SectionHead: {
            const bool asset = row.node == assetRoot;
            drawLeftJustified(canvas, cv::localizedString(asset ? "Legend-Asset" : "Legend-Debt"), QPointF(left(), y));
            // Debts go down by what increases assets: the middle heads swap.
            drawTitles(canvas,
                       {QStringLiteral("Report-Account-Start"),
                        QLatin1String(asset ? "Report-Account-Increase" : "Report-Account-Decrease"),
                        QLatin1String(asset ? "Report-Account-Decrease" : "Report-Account-Increase"),
                        QStringLiteral("Report-Account-End"), QStringLiteral("Report-Account-Diff")},
                       y);
            break;
        }
        case SectionTotal:
            drawLeftJustified(canvas,
                              cv::localizedString(row.node == assetRoot ? "Report-Asset-Total" : "Report-Debt-Total"),
                              QPointF(left(), y));
            drawValues(canvas, row, y);
            break;
        case NetHead:
            // The heading's words head the column; its period goes on the
            // values row below, whose first column is free.
            cv::drawInColumn(canvas, netHeading().first, QPointF(left(), y), m_columns.valuesX);
            drawTitles(canvas,
                       {QStringLiteral("Report-NetAsset-Start"), QStringLiteral("Report-Account-Increase"),
                        QStringLiteral("Report-Account-Decrease"), QStringLiteral("Report-NetAsset-End"),
                        QStringLiteral("Report-NetAsset-Diff")},
                       y);
            break;
        case NetValues: {
            // The period runs up to the first figure, right-aligned in its column.
            const double room =
                m_columns.valuesX + m_columns.valueWidth - canvas.textWidth(formatAmount(row.value(0))) - 6;
            cv::drawInColumn(canvas, netHeading().second, QPointF(left(), y), room);
            drawValues(canvas, row, y);
            break;
        }
        default:
            if (const char *key = totalTitleKey(row.level)) {
                drawLeftJustified(canvas, cv::localizedString(key), QPointF(left(), y));
                drawValues(canvas, row, y);
            }
            break;
        }
    });
}

} // namespace cv
