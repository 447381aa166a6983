// The journal's rows: one journal per ticked account, its records in day and
// ident order, every running value worked out here.

#include "reports/JournalReport.h"

#include "reports/CashFlowSides.h"
#include "reports/ReportTextCut.h"

#include "document/ReadOnlyBook.h"
#include "model/AccountTrees.h"
#include "model/Entry.h"
#include "model/OpeningHolding.h"
#include "model/Trade.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <algorithm>
#include <unordered_map>

namespace cv {

namespace {

// An entry (the read's reused record, valid during the visit) or a trade of one journal.
struct JournalRecord {
    const Entry *entry = nullptr;
    TradePtr trade;
    QDate date() const { return entry ? entry->date() : trade->date(); }
    int ident() const { return entry ? entry->ident() : trade->ident(); }
    int account() const { return entry ? entry->account() : trade->account(); }
    QString memo() const { return entry ? entry->memo() : trade->memo(); }
    bool isTransfer() const
    {
        return entry ? entry->kind() == cv::EntryKind::Transfer : trade->kind() == cv::TradeKind::TransferUnits;
    }
};

bool isIn(cv::TradeKind kind, std::initializer_list<cv::TradeKind> kinds)
{
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

} // namespace

class JournalReport::Builder {
public:
    Builder(JournalReport &view, const QDate &from, const QDate &to)
        : m_view(view), m_doc(view.doc()), m_from(from), m_to(to),
          m_dateFormat(cv::localizedString("Report-Short-Date-Format"))
    {
    }

    Rows build()
    {
        for (const NodePtr &root : {m_doc.accountTrees()->asset(), m_doc.accountTrees()->debt()}) {
            if (!root) continue;
            for (const NodePtr &child : root->children())
                if (child && child->deepStatus() == 1) collect(child);
        }
        return std::move(m_rows);
    }

private:
    void collect(const NodePtr &node)
    {
        if (node->countChild() > 0) {
            for (const NodePtr &child : node->children())
                if (child && child->deepStatus() == 1) collect(child);
        } else if (node->status() == 1) {
            addJournal(node);
        }
    }

    // The account a journal's records name: the investment account of a cash part or holding.
    static const Node &journalAccount(const Node &node)
    {
        const bool part = node.kind() == cv::NodeKind::CashPart || node.kind() == cv::NodeKind::Holding;
        return part && node.parent() ? *node.parent() : node;
    }

    // Visits the journal's records by day then ident, its entries through the
    // account book's streamed read; false when nothing is visited.
    template <class Visit> bool forEachRecord(const Node &node, Visit &&visit) const
    {
        const Node &account = journalAccount(node);
        const bool holding = node.kind() == cv::NodeKind::Holding;
        std::vector<TradePtr> trades;
        if (node.kind() == cv::NodeKind::CashPart || holding) {
            const int security = holding ? securityOf(node) : -1;
            const auto found = m_doc.reads().findTradeFrom(m_from, m_to, account.ident(), security, 0);
            for (const TradePtr &trade : found.value_or(cv::TradeList())) {
                const auto kind = trade->kind();
                // Only the trade's own account pays or receives; the other side of a
                // transfer of units receives the units alone.
                if (trade->account() != account.ident() && (!holding || kind != cv::TradeKind::TransferUnits)) continue;
                // Moves of units without money mean nothing to the cash, unless they cost a commission.
                if (!holding && trade->commission() == 0 &&
                    isIn(kind, {cv::TradeKind::TransferUnits, cv::TradeKind::Split, cv::TradeKind::Merge,
                                cv::TradeKind::Increase, cv::TradeKind::Decrease}))
                    continue;
                // Money without units means nothing to a holding.
                if (holding &&
                    isIn(kind, {cv::TradeKind::OtherIncome, cv::TradeKind::OtherExpense, cv::TradeKind::Dividend,
                                cv::TradeKind::Interest, cv::TradeKind::Distribution}))
                    continue;
                trades.push_back(trade);
            }
        }
        // Both come by day then ident; on a tie the entry goes first.
        size_t next = 0;
        bool any = false;
        const auto tradesBefore = [&](const QDate &date, int ident) {
            for (; next < trades.size(); ++next) {
                const Trade &trade = *trades[next];
                if (trade.date() > date || (trade.date() == date && trade.ident() >= ident)) break;
                visit(JournalRecord{nullptr, trades[next]});
                any = true;
            }
        };
        if (!holding) {
            m_doc.reads().readAccountEntries(account.ident(), m_from, m_to, [&](const Entry &entry) {
                // An income or expense moves its own account only (a loan's interest names
                // the loan but is paid from the repayment account).
                if (entry.kind() != cv::EntryKind::Transfer && entry.account() != account.ident()) return;
                tradesBefore(entry.date(), entry.ident());
                visit(JournalRecord{&entry, nullptr});
                any = true;
            });
        }
        for (; next < trades.size(); ++next) visit(JournalRecord{nullptr, trades[next]});
        return any || !trades.empty();
    }

    static int securityOf(const Node &holding)
    {
        const auto *unit = dynamic_cast<const OpeningHolding *>(holding.extra().get());
        return unit ? unit->security() : -1;
    }

    QString dateText(const QDate &date) const { return cv::formatDate(date, m_dateFormat); }

    // The opening row: the balance carried in, the opening balance, or nothing.
    ReportRow openingRow(const NodePtr &node) const
    {
        ReportRow row(Opening, ReportRow::kRowHeight, node, {0.0});
        const Node &account = journalAccount(*node);
        const QDate dayBefore = m_from.addDays(-1);
        const char *label = nullptr;
        QDate date;
        double value = 0;
        if (node->kind() == cv::NodeKind::Holding) {
            const auto *unit = dynamic_cast<const OpeningHolding *>(node->extra().get());
            const QDate opened = unit ? unit->date() : QDate();
            const double carried = m_doc.tradingAccount(account.ident(), securityOf(*node), dayBefore);
            if (carried != 0) {
                label = "Report-Brand-Carry";
                date = m_from;
                value = carried;
            } else if (unit && !(opened.isValid() && opened < m_from) && std::max(opened, m_from) <= m_to) {
                // A holding opened before the period and emptied since carries nothing: its
                // opening units are long gone.
                label = "Report-Brand-Start";
                date = std::max(opened, m_from);
                value = unit->units();
            }
        } else {
            const QDate start = account.assetInitialDate();
            if (!start.isValid() || start < m_from) {
                label = "Report-Carry";
                date = m_from;
                value = m_doc.isForeignCurrency(currencyOf(*node)) ? m_doc.rawValueForAccount(node, dayBefore)
                                                                   : m_doc.valueForAccount(node, dayBefore);
            } else if (start <= m_to) {
                label = "Report-Start";
                date = start;
                value = node->kind() == cv::NodeKind::Loan ? 0 : account.assetInitialValue();
            }
        }
        if (!label || value == 0) return row;
        row.values = {value};
        row.texts = {dateText(date), cv::localizedString(label)};
        return row;
    }

    int currencyOf(const Node &node) const
    {
        if (node.kind() == cv::NodeKind::Holding) {
            const SecurityPtr security = m_doc.findSecurity(securityOf(node));
            return security ? security->currency() : 0;
        }
        return journalAccount(node).currency();
    }

    // Increase and decrease of one row of the journal of `node`.
    std::pair<double, double> changeOf(const Node &node, const JournalRecord &record, bool commission) const
    {
        const int account = journalAccount(node).ident();
        if (record.entry) {
            const Entry &entry = *record.entry;
            switch (entry.kind()) {
            case cv::EntryKind::Income: return {entry.amount(), 0};
            case cv::EntryKind::Expense: return {0, entry.amount()};
            default: {
                double arriving = 0;
                // What the destination received, in its own currency, as the balances count it.
                if (entry.destination() == account) m_doc.getTransferValues(entry, &arriving, nullptr);
                return {arriving, entry.account() == account ? entry.amount() : 0};
            }
            }
        }
        const Trade &trade = *record.trade;
        const bool holding = node.kind() == cv::NodeKind::Holding;
        if (!holding) {
            const cv::cashflow::TradeMoney money = cv::cashflow::tradeMoney(m_doc, trade, journalAccount(node));
            return commission ? std::pair{0.0, money.commission} : std::pair{money.in, money.out};
        }
        // A holding counts units, as the cache does.
        double units = 0;
        trade.changesForAccount(account, &units, nullptr);
        return units >= 0 ? std::pair{units, 0.0} : std::pair{0.0, -units};
    }

    QString description(const Node &node, const JournalRecord &record, bool commission)
    {
        const auto joined = [](const QString &a, const QString &b) {
            return cv::formatString(QStringLiteral("%@:%@"), {a, b});
        };
        if (record.trade) {
            QString text = cv::localizedString("Report-Trade");
            if (node.kind() == cv::NodeKind::CashPart) {
                const SecurityPtr security = m_doc.findSecurity(record.trade->security());
                text = joined(text, security ? security->name() : QString());
            }
            text = joined(text, record.trade->reportKindName());
            if (commission) text = joined(text, cv::localizedString("Report-trade-commission"));
            return text;
        }
        const Entry &entry = *record.entry;
        const bool transfer = entry.kind() == cv::EntryKind::Transfer;
        const int account = journalAccount(node).ident();
        const int other = !transfer                        ? entry.category()
                          : entry.destination() == account ? entry.account()
                                                           : entry.destination();
        const auto [at, added] = m_descriptions.try_emplace(qint64(other) << 32 | quint32(cv::raw(entry.kind())));
        if (!added) return at->second;
        if (transfer) {
            const NodePtr found = m_doc.findAccount(other);
            at->second =
                cv::localizedString("Report-Transfer") + (found ? m_view.getFullAccountName(*found) : QString());
        } else {
            at->second = m_view.getFullCatName(entry);
        }
        return at->second;
    }

    void addJournal(const NodePtr &node)
    {
        const Node &account = journalAccount(*node);
        const bool cashPart = node->kind() == cv::NodeKind::CashPart;
        const bool holding = node->kind() == cv::NodeKind::Holding;
        const bool loan = node->kind() == cv::NodeKind::Loan;

        ReportRow opening = openingRow(node);
        double balance = opening.texts.isEmpty() ? 0 : opening.value(0);
        // The day the opening row stands for when the first record's date is weighed.
        QDate openingDay;
        if (!loan) {
            const auto *unit = holding ? dynamic_cast<const OpeningHolding *>(node->extra().get()) : nullptr;
            const double openingValue = holding ? (unit ? unit->units() : 0) : account.assetInitialValue();
            if (openingValue != 0) openingDay = holding ? (unit ? unit->date() : QDate()) : account.assetInitialDate();
        }
        const size_t openingAt = m_rows.size();
        m_rows.push_back(std::move(opening));

        double increases = 0;
        double decreases = 0;
        const size_t first = m_rows.size();
        std::vector<QDate> days; // of each record row, for the day marks
        // An income or expense of a journal is its own account's.
        const bool ownInAssets = inAssets(account);
        QDate lastDay;
        QString lastDayText;
        const auto addRecord = [&](const JournalRecord &record, bool commission) {
            const auto [increase, decrease] = changeOf(*node, record, commission);
            const bool fromIncrease = increase != 0;
            const double v = fromIncrease ? increase : decrease;
            (fromIncrease ? increases : decreases) += v;
            if (record.isTransfer()) {
                const double signedValue = account.isDebt() ? -v : v;
                balance += record.account() == account.ident() ? -signedValue : signedValue;
            } else {
                const bool lowers = fromIncrease != (record.trade || ownInAssets);
                balance += lowers ? -v : v;
            }
            ReportRow row(commission ? Commission : Record, ReportRow::kRowHeight, node, {increase, decrease, balance});
            row.trade = record.trade;
            const QDate day = record.date();
            if (day != lastDay) lastDayText = dateText(lastDay = day);
            row.texts = {lastDayText, description(*node, record, commission), record.memo(),
                         record.entry ? groupingName(record.entry->group()) : QString()};
            m_rows.push_back(std::move(row));
            days.push_back(day);
        };
        const bool any = forEachRecord(*node, [&](const JournalRecord &record) {
            const bool withCommission = cashPart && record.trade && record.trade->commission() != 0;
            if (!withCommission || record.trade->unitPrice() != 0) addRecord(record, false);
            if (withCommission) addRecord(record, true);
        });
        if (!any) {
            m_rows.resize(openingAt);
            return;
        }

        // Whether the date and the balance show, as far as rows decide it
        // (the page decides the rest when it is drawn).
        for (size_t i = 0; i < days.size(); ++i) {
            const QDate above = i == 0 ? openingDay : days[i - 1];
            ReportRow &row = m_rows[first + i];
            if (!above.isValid() || above != days[i]) row.number |= DayDiffers;
            if (i + 1 < days.size() && days[i + 1] == days[i]) row.number |= SameDayFollows;
        }

        Report::addLineTo(m_rows);
        m_rows.back().node = node;
        const double end = holding ? m_doc.tradingAccount(account.ident(), securityOf(*node), m_to) : balance;
        ReportRow total(Total, ReportRow::kRowHeight, node, {increases, decreases, end});
        total.texts = {cv::formatString(cv::localizedString("Report-Total-of"), {m_view.getFullAccountName(*node)})};
        m_rows.push_back(std::move(total));
        Report::addBlankTo(m_rows);
        Report::addPageTo(m_rows);
    }

    bool inAssets(const Node &account) const
    {
        const Node *top = &account;
        while (top->parent()) top = top->parent();
        return top == m_doc.accountTrees()->asset().get();
    }

    // Names asked for row after row, each looked up once.
    const QString &groupingName(int group)
    {
        const auto [at, added] = m_groupNames.try_emplace(group);
        if (added)
            if (const GroupingPtr found = m_doc.findGrouping(group)) at->second = found->name();
        return at->second;
    }

    JournalReport &m_view;
    ReadOnlyBook &m_doc;
    QDate m_from;
    QDate m_to;
    QString m_dateFormat;
    Rows m_rows;
    std::unordered_map<int, QString> m_groupNames;
    std::unordered_map<qint64, QString> m_descriptions; // by kind and category or other account
};

std::unique_ptr<JournalReport> JournalReport::make(ReadOnlyBook &doc, const cv::ReportRequest &request,
                                                   const cv::PageSetup &setup)
{
    std::unique_ptr<JournalReport> view(new JournalReport(doc, setup, request.from, request.to));
    Rows rows = Builder(*view, request.from, request.to).build();
    if (rows.empty()) return nullptr;
    view->setData(std::move(rows));
    view->setTitle(cv::localizedString("Report-Account2-Title"));
    return view;
}

std::unique_ptr<Report> makeJournalReport(ReadOnlyBook &doc, const ReportRequest &request, const PageSetup &setup)
{
    return JournalReport::make(doc, request, setup);
}

} // namespace cv
