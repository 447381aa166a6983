#pragma once
// One securities transaction: a buy, sale, dividend, split, transfer of units
// and so on. Stored one per database row; refers to the security and the
// accounts by ident only.

#include "model/EditFlags.h"
#include "model/DomainEnums.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <memory>
#include <optional>

namespace cv {

class TradeFormatting;
class Trade;
using TradePtr = std::shared_ptr<Trade>;

class Trade {
public:
    // Bits of validFieldsForKind: the trade table's columns.
    enum Field { CountField = 8, UnitPriceField = 16, TotalField = 32, CommissionField = 64 };

    int ident() const { return m_ident; }
    void setIdent(int ident) { m_ident = ident; }
    cv::TradeKind kind() const { return m_kind; }
    void setKind(cv::TradeKind kind) { m_kind = kind; }
    // Security ident; a value of 0 or below means no security.
    int security() const { return m_security; }
    void setSecurity(int security) { m_security = security; }
    int account() const { return m_account; }
    void setAccount(int account) { m_account = account; }
    // The other account of a transfer of units, or the settlement account.
    int transfer() const { return m_transfer; }
    void setTransfer(int transfer) { m_transfer = transfer; }
    int destination() const { return m_transfer; }
    void setDestination(int destination) { m_transfer = destination; }
    QDate date() const { return m_date; }
    void setDate(const QDate &date) { m_date = date; }
    double count() const { return m_count; }
    void setCount(double count) { m_count = count; }
    // For kinds 5, 6, 11 and 12 the amount itself; for a dividend the amount
    // per unit, or the amount when there are no units.
    double unitPrice() const { return m_unitPrice; }
    void setUnitPrice(double price) { m_unitPrice = price; }
    double commission() const { return m_commission; }
    void setCommission(double commission) { m_commission = commission; }
    QString memo() const { return m_memo.isNull() ? QStringLiteral("") : m_memo; }
    void setMemo(const QString &memo) { m_memo = memo.isEmpty() ? QString() : memo; }
    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }
    void toggleDeleted() { m_flags ^= cv::EditDeleted; }

    // Fields by name ("kind", "brand", "transfer", ...); see Entry.
    QVariant valueForKey(const QString &key) const;
    bool setValueForKey(const QString &key, const QVariant &value);

    // The change of units held in the account and the cash it receives
    // (negative when paid); either output may be null.
    void changesForAccount(int account, double *units, double *income) const;
    // Cash change of the trade's own account, before and after the commission.
    double grossAmount() const;
    double amount() const { return grossAmount() - m_commission; }

    // The side of the cash border the trade's money crosses and how much of
    // it, commission apart. Unlike changesForAccount, a dividend counts here:
    // the cash reports see it arrive.
    struct CashFlow {
        enum Side { None, In, Out } side = None;
        double value = 0;
    };
    CashFlow cashFlow() const;

    // The value converted from the security's currency into the account's at
    // the trade date and formatted in the account's currency: the fund format
    // for a non-stock value that is not a commission, else the amount format.
    QString value(double value, const TradeFormatting &document, bool isCommission) const;

    // Localised name and report name of the trade's kind; none for an unknown kind.
    QString operationName() const { return operationNameForKey(m_kind); }
    QString reportKindName() const;
    static QString operationNameForKey(cv::TradeKind kind);
    static QString reportNameForKey(cv::TradeKind kind);
    // Kinds offered for a security kind, in menu order, and their localised names.
    static QList<cv::TradeKind> operationKeysForSecurityKind(cv::SecurityKind securityKind);
    static QStringList operationNamesForSecurityKind(cv::SecurityKind securityKind);
    // The kind whose localised name this is (stock, trust, then bond lists).
    static std::optional<cv::TradeKind> keyForOperationName(const QString &name);
    // Columns of the trade table a kind uses (Field bits).
    static int validFieldsForKind(cv::TradeKind kind);

    // Row order for inserting one row into a sorted list: new rows last, then
    // by date; on one date the receiver goes first when it has a security
    // ident of 0 or more. Not a strict order: sort lists with rowOrder.
    int compare(const Trade &other) const;
    // Strict weak order that agrees with compare where compare is consistent;
    // ties keep their input order under std::stable_sort. Null rows sort last.
    static bool rowOrder(const TradePtr &a, const TradePtr &b);
    template <class List> static void sortRows(List &rows)
    {
        std::stable_sort(rows.begin(), rows.end(), &Trade::rowOrder);
    }

    // Same object, or stored with the same kind, accounts, security, units,
    // price and date (ident, commission and memo are not compared).
    bool isEqual(const Trade *other) const;

    // A copy with flags 0. It keeps the ident: panels delete and update the
    // stored row through the copy.
    TradePtr clone() const;

private:
    int m_ident = -1;
    cv::TradeKind m_kind = cv::TradeKind::Buy;
    int m_security = 0;
    int m_account = 0;
    int m_transfer = 0;
    QDate m_date;
    double m_count = 0;
    double m_unitPrice = 0;
    double m_commission = 0;
    QString m_memo;
    int m_flags = 0;
};

} // namespace cv
