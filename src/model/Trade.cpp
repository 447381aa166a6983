#include "model/Trade.h"

#include "model/Security.h"
#include "model/RecordKeys.h"
#include "model/TradeFormatting.h"
#include "platform/Localization.h"

#include <array>

namespace cv {

namespace {

struct KindKey {
    int kind;
    const char *suffix;
};
// The name key of a kind is "trade-" + suffix, its report key "Report-trade-" + suffix.
// clang-format off
constexpr KindKey kKindKeys[] = {
    {0, "buy"},           {1, "sales"},      {2, "transfer"},    {5, "income"},
    {6, "expense"},       {10, "dividened"}, {11, "interest"},   {12, "distribute"},
    {13, "split"},        {14, "merge"},     {16, "increase"},   {17, "decrease"},
    {18, "margin-sales"}, {19, "buy-back"},  {20, "margin-buy"}, {21, "sell-back"},
    {30, "cache-in"},     {31, "reinvest"},
};
// clang-format on

const char *suffixForKind(cv::TradeKind kind)
{
    for (const KindKey &k : kKindKeys) {
        if (k.kind == cv::raw(kind)) return k.suffix;
    }
    return nullptr;
}

QString localizedKindName(cv::TradeKind kind, const char *prefix)
{
    const char *suffix = suffixForKind(kind);
    if (!suffix) return QString();
    return cv::localizedString(QLatin1String(prefix) + QLatin1String(suffix));
}

// Operations offered per security kind (stock, investment trust, bond).
const std::array<QList<cv::TradeKind>, 3> &operationKeys()
{
    using K = cv::TradeKind;
    static const std::array<QList<K>, 3> keys = {
        QList<K>{K::Buy, K::Sale, K::Dividend, K::Split, K::Merge, K::Increase, K::Decrease, K::TransferUnits,
                 K::MarginSale, K::BuyBack, K::MarginBuy, K::SellBack, K::OtherIncome, K::OtherExpense},
        QList<K>{K::Buy, K::Sale, K::TransferUnits, K::Distribution, K::CashIn, K::Reinvestment, K::OtherIncome,
                 K::OtherExpense},
        QList<K>{K::Buy, K::Sale, K::TransferUnits, K::CashIn, K::Interest, K::Reinvestment, K::MarginSale, K::BuyBack,
                 K::MarginBuy, K::SellBack, K::OtherIncome, K::OtherExpense},
    };
    return keys;
}

// The localised operation lists, built once per language (the model runs on
// the main thread only).
const std::array<QStringList, 3> &operationNames()
{
    static QString language;
    static std::array<QStringList, 3> names;
    const QString current = cv::currentLanguage();
    if (names[0].isEmpty() || language != current) {
        language = current;
        for (size_t i = 0; i < names.size(); ++i) {
            names[i].clear();
            for (cv::TradeKind kind : operationKeys()[i]) names[i].append(Trade::operationNameForKey(kind));
        }
    }
    return names;
}

} // namespace

QVariant Trade::valueForKey(const QString &key) const
{
    if (key == u"ident") return m_ident;
    if (key == u"kind") return cv::raw(m_kind);
    if (key == u"brand") return m_security;
    if (key == u"account") return m_account;
    if (key == u"transfer" || key == u"destination") return m_transfer;
    if (key == u"date") return cv::record::dateValue(m_date);
    if (key == u"count") return m_count;
    if (key == u"unitPrice") return m_unitPrice;
    if (key == u"commission") return m_commission;
    if (key == u"memo") return memo();
    if (key == u"flags") return m_flags;
    return {};
}

bool Trade::setValueForKey(const QString &key, const QVariant &value)
{
    if (key == u"ident") return cv::record::assignInt(m_ident, value);
    if (key == u"kind") return cv::record::assignInt(m_kind, value);
    if (key == u"brand") return cv::record::assignInt(m_security, value);
    if (key == u"account") return cv::record::assignInt(m_account, value);
    if (key == u"transfer" || key == u"destination") return cv::record::assignInt(m_transfer, value);
    if (key == u"date") return cv::record::assignDate(m_date, value);
    if (key == u"count") return cv::record::assignDouble(m_count, value);
    if (key == u"unitPrice") return cv::record::assignDouble(m_unitPrice, value);
    if (key == u"commission") return cv::record::assignDouble(m_commission, value);
    if (key == u"memo") return cv::record::assignStringThrough([this](const QString &memo) { setMemo(memo); }, value);
    if (key == u"flags") return cv::record::assignInt(m_flags, value);
    return false;
}

void Trade::changesForAccount(int account, double *units, double *income) const
{
    double u = 0;
    double cash = 0;
    switch (m_kind) {
    case cv::TradeKind::Buy:
    case cv::TradeKind::BuyBack:
    case cv::TradeKind::MarginBuy:
    case cv::TradeKind::Reinvestment:
        u = m_count;
        cash = -m_count * m_unitPrice;
        break;
    case cv::TradeKind::Sale:
    case cv::TradeKind::MarginSale:
    case cv::TradeKind::SellBack:
    case cv::TradeKind::CashIn:
        u = -m_count;
        cash = m_count * m_unitPrice;
        break;
    case cv::TradeKind::TransferUnits:
        // An account on neither side of the transfer holds no fewer or more units.
        if (account == m_account)
            u = -m_count;
        else if (account == m_transfer)
            u = m_count;
        break;
    case cv::TradeKind::OtherIncome:
    case cv::TradeKind::Interest:
    case cv::TradeKind::Distribution: cash = m_unitPrice; break;
    case cv::TradeKind::OtherExpense: cash = -m_unitPrice; break;
    case cv::TradeKind::Dividend: cash = m_count > 0 ? m_count * m_unitPrice : m_unitPrice; break;
    case cv::TradeKind::Split:
    case cv::TradeKind::Increase: u = m_count; break;
    case cv::TradeKind::Merge:
    case cv::TradeKind::Decrease: u = -m_count; break;
    default: break;
    }
    if (units) *units = u;
    if (income) *income = cash;
}

double Trade::grossAmount() const
{
    double income = 0;
    changesForAccount(m_account, nullptr, &income);
    return income;
}

Trade::CashFlow Trade::cashFlow() const
{
    switch (m_kind) {
    case cv::TradeKind::Buy:
    case cv::TradeKind::BuyBack:
    case cv::TradeKind::MarginBuy:
    case cv::TradeKind::Reinvestment: return {CashFlow::Out, m_count * m_unitPrice};
    case cv::TradeKind::Sale:
    case cv::TradeKind::Dividend:
    case cv::TradeKind::MarginSale:
    case cv::TradeKind::SellBack:
    case cv::TradeKind::CashIn: return {CashFlow::In, m_count * m_unitPrice};
    case cv::TradeKind::OtherIncome:
    case cv::TradeKind::Interest:
    case cv::TradeKind::Distribution: return {CashFlow::In, m_unitPrice};
    case cv::TradeKind::OtherExpense: return {CashFlow::Out, m_unitPrice};
    default: return {};
    }
}

QString Trade::value(double value, const TradeFormatting &document, bool isCommission) const
{
    const SecurityPtr security = document.findSecurity(m_security);
    const int securityCurrency = security ? security->currency() : 0;
    const bool stock = !security || security->kind() == cv::SecurityKind::Stock;
    const int accountCurrency = document.currencyOfAccount(m_account);
    const double converted = document.convert(accountCurrency, value, securityCurrency, m_date);
    if (!stock && !isCommission) return document.stringForFundValue(converted, accountCurrency, false, true);
    return document.stringForValue(converted, accountCurrency);
}

QString Trade::reportKindName() const
{
    return reportNameForKey(m_kind);
}

QString Trade::operationNameForKey(cv::TradeKind kind)
{
    return localizedKindName(kind, "trade-");
}

QString Trade::reportNameForKey(cv::TradeKind kind)
{
    return localizedKindName(kind, "Report-trade-");
}

QList<cv::TradeKind> Trade::operationKeysForSecurityKind(cv::SecurityKind securityKind)
{
    const int index = cv::raw(securityKind);
    if (index < 0 || index >= int(operationKeys().size())) return {};
    return operationKeys()[size_t(index)];
}

QStringList Trade::operationNamesForSecurityKind(cv::SecurityKind securityKind)
{
    const int index = cv::raw(securityKind);
    if (index < 0 || index >= int(operationNames().size())) return {};
    return operationNames()[size_t(index)];
}

std::optional<cv::TradeKind> Trade::keyForOperationName(const QString &name)
{
    const auto &names = operationNames();
    for (size_t i = 0; i < names.size(); ++i) {
        const qsizetype at = names[i].indexOf(name);
        if (at >= 0) return operationKeys()[i].at(at);
    }
    return std::nullopt;
}

int Trade::validFieldsForKind(cv::TradeKind kind)
{
    switch (kind) {
    case cv::TradeKind::Buy:
    case cv::TradeKind::Sale:
    case cv::TradeKind::MarginSale:
    case cv::TradeKind::BuyBack:
    case cv::TradeKind::MarginBuy:
    case cv::TradeKind::SellBack:
    case cv::TradeKind::CashIn:
    case cv::TradeKind::Reinvestment: return CountField | UnitPriceField | CommissionField;
    case cv::TradeKind::TransferUnits: return CountField | TotalField;
    case cv::TradeKind::OtherIncome:
    case cv::TradeKind::OtherExpense: return TotalField;
    case cv::TradeKind::Dividend:
    case cv::TradeKind::Interest:
    case cv::TradeKind::Distribution: return TotalField | CommissionField;
    case cv::TradeKind::Split:
    case cv::TradeKind::Merge:
    case cv::TradeKind::Increase:
    case cv::TradeKind::Decrease: return CountField | CommissionField;
    default: return 0;
    }
}

int Trade::compare(const Trade &other) const
{
    if (cv::isNewRow(m_flags) != cv::isNewRow(other.m_flags)) return cv::isNewRow(m_flags) ? 1 : -1;
    if (m_date != other.m_date) return m_date < other.m_date ? -1 : 1;
    return m_security >= 0 ? -1 : 1;
}

bool Trade::rowOrder(const TradePtr &a, const TradePtr &b)
{
    if (!a || !b) return a && !b;
    if (cv::isNewRow(a->m_flags) != cv::isNewRow(b->m_flags)) return !cv::isNewRow(a->m_flags);
    if (a->m_date != b->m_date) return a->m_date < b->m_date;
    return a->m_security >= 0 && b->m_security < 0;
}

bool Trade::isEqual(const Trade *other) const
{
    if (other == this) return true;
    if (!other || m_ident == -1) return false;
    return m_kind == other->m_kind && m_account == other->m_account && m_security == other->m_security &&
           m_transfer == other->m_transfer && m_count == other->m_count && m_unitPrice == other->m_unitPrice &&
           m_date == other->m_date;
}

TradePtr Trade::clone() const
{
    auto c = std::make_shared<Trade>();
    c->m_ident = m_ident;
    c->m_kind = m_kind;
    c->m_account = m_account;
    c->m_security = m_security;
    c->m_transfer = m_transfer;
    c->m_count = m_count;
    c->m_unitPrice = m_unitPrice;
    c->m_commission = m_commission;
    c->m_date = m_date;
    c->m_memo = m_memo;
    return c;
}

} // namespace cv
