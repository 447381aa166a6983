#pragma once
// What windows, reports, charts and prints read of an open book: its lists
// and trees, lookups by ident, valuation and amount text. Book implements it;
// a file that only reads includes this header, not Book.h, so changes to the
// write path, the signals or the lifecycle do not recompile it.

#include "document/BookReads.h"
#include "document/PrintSettings.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "model/Currency.h"
#include "model/DomainEnums.h"
#include "model/Grouping.h"
#include "model/Node.h"
#include "model/Security.h"
#include "model/Settings.h"
#include "model/TradeFormatting.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace cv {

class AmountText;
class BalanceCache;
class Entry;

// A menu to fill: the pop-up fillers add (title, tag) items after clearing it.
class MenuTarget {
public:
    virtual ~MenuTarget() = default;
    virtual void removeAllItems() = 0;
    virtual void addItem(const QString &title, int tag) = 0;
};

class ReadOnlyBook : public TradeFormatting {
public:
    using CurrencyList = std::vector<CurrencyPtr>;
    using SecurityList = std::vector<SecurityPtr>;
    using GroupList = std::vector<GroupingPtr>;

    // ---- fields
    // What windows read of the stored records.
    virtual const BookReads &reads() const = 0;
    virtual const SettingsPtr &settings() const = 0;
    virtual const AccountTreesPtr &accountTrees() const = 0;
    virtual const CategoryTreesPtr &categoryTrees() const = 0;
    virtual const CurrencyList &currencyList() const = 0;
    virtual const SecurityList &securityList() const = 0;
    virtual const GroupList &groupList() const = 0;
    virtual const BalanceCache &cache() const = 0;
    virtual const NodePtr &autoCashIn() const = 0;
    virtual const NodePtr &autoCashOut() const = 0;
    virtual bool isDocumentEdited() const = 0;
    // Whether an edit scope (cv::EditScope) is open.
    virtual bool isEditing() const = 0;
    // The file the document saves to; none while untitled.
    virtual const QString &fileName() const = 0;
    virtual const QString &fileType() const = 0;
    // None until set; the printing side supplies its default then.
    virtual const PrintSettingsPtr &printSettings() const = 0;

    // ---- amounts to text and back
    // The one way amounts are formatted; amount editors, formatters and
    // printing work on it directly (its print mode is display state, not the
    // book's). The texts below are its common forms.
    virtual const AmountText &amountText() const = 0;
    virtual AmountText &amountText() = 0;

    virtual QString stringForValue(double value, int currency, bool truncateEmptyEnding) const = 0;
    virtual QString stringWithPrefixForValue(double value, int currency, bool truncateEmptyEnding = false) const = 0;
    virtual QString stringForValueAccount(double value, int account) const = 0;
    virtual QString stringForTradingNumberOfUnits(long long units) const = 0;
    virtual QString stringForFundValue(double value, int currency, bool wantPrefix, bool padZeroes,
                                       int decimals) const = 0;
    virtual QString stringWithPrefixForFundValue(double value, int currency) const = 0;
    static QString stringForRoundValue(double value, int digits);

    virtual std::optional<double> numberForString(const QString &text, int currency) const = 0;
    // An empty or null text is 0.
    virtual std::optional<double> numberForStringAccount(const QString &text, int account) const = 0;
    static double numberForRoundString(const QString &text, int digits);

    // TradeFormatting's forms
    QString stringForValue(double value, int currency) const override = 0;
    QString stringForFundValue(double value, int currency, bool wantPrefix = false,
                               bool padZeroes = false) const override = 0;

    // ---- valuation; the balances they read are always accumulated
    virtual double currencyRate(const CurrencyPtr &currency, const QDate &date) const = 0;
    virtual double securityPrice(const SecurityPtr &security, const QDate &date) const = 0;
    virtual double securityValue(const SecurityPtr &security, const QDate &date) const = 0;
    virtual int getCurrency(int ident) const = 0;
    virtual double defaultCurrencyValue(double amount, int currency, const QDate &date) const = 0;
    // Either output may be null.
    virtual void getTransferValues(const Entry &entry, double *converted, double *defValue) const = 0;
    virtual bool hasCache(const NodePtr &node) const = 0;
    virtual double valueForAccount(const NodePtr &node, const QDate &date, const CurrencyPtr &currency) const = 0;
    virtual double valueForAccount(const NodePtr &node, const QDate &date) const = 0;
    virtual double rawValueForAccount(const NodePtr &node, const QDate &date) const = 0;
    // What the stored entries after `after` up to `through` added to the
    // account's balance, in its currency (where an account book's weeks start).
    virtual double accountBalanceMovement(const NodePtr &node, const QDate &after, const QDate &through) const = 0;
    virtual double tradingAccount(int account, int security, const QDate &date) const = 0;
    virtual double valueForCategory(const NodePtr &node, const QDate &date) const = 0;
    virtual double summaryForCategoryDays(const NodePtr &node, const QDate &date, int days) const = 0;
    virtual double summaryForCategoryMonths(const NodePtr &node, const QDate &date, int months) const = 0;

    // ---- lookups
    virtual NodePtr findAccount(int ident) const = 0;
    virtual NodePtr findIncome(int ident) const = 0;
    virtual NodePtr findExpense(int ident) const = 0;
    virtual CurrencyPtr findCurrency(int ident) const = 0;
    virtual GroupingPtr findGrouping(int ident) const = 0;
    virtual NodePtr findAccountOfKind(NodeKind kind) const = 0;

    virtual void fillCurrencyMenu(MenuTarget &menu) const = 0;

    virtual CurrencyPtr defaultCurrency() const = 0;
    virtual CurrencyPtr displayCurrencyOfItem(const Node &node) const = 0;
    virtual bool isForeignCurrency(int ident) const = 0;
    virtual bool accountNeedsExchange(int account, int destination) const = 0;
    virtual QString displayName(const Node &node) const = 0;
};

} // namespace cv
