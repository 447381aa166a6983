#include "model/CV4Trade.h"

#include "model/CV4Brand.h"
#include "model/CV4RecordKeys.h"
#include "model/CV4TradeFormatting.h"
#include "platform/Localization.h"

#include <array>

namespace {

struct KindKey {
    int kind;
    const char *suffix;
};
// The name key of a kind is "trade-" + suffix, its report key "Report-trade-" + suffix.
constexpr KindKey kKindKeys[] = {
    {0, "buy"},           {1, "sales"},         {2, "transfer"},       {5, "income"},
    {6, "expense"},       {10, "dividened"},    {11, "interest"},      {12, "distribute"},
    {13, "split"},        {14, "merge"},        {16, "increase"},      {17, "decrease"},
    {18, "margin-sales"}, {19, "buy-back"},     {20, "margin-buy"},    {21, "sell-back"},
    {30, "cache-in"},     {31, "reinvest"},
};

const char *suffixForKind(int kind)
{
    for (const KindKey &k : kKindKeys) {
        if (k.kind == kind) return k.suffix;
    }
    return nullptr;
}

QString localizedKindName(int kind, const char *prefix)
{
    const char *suffix = suffixForKind(kind);
    if (!suffix) return QString();
    return cv::localizedString(QLatin1String(prefix) + QLatin1String(suffix));
}

// Operations offered per security kind (stock, investment trust, bond).
const std::array<QList<int>, 3> &operationKeys()
{
    static const std::array<QList<int>, 3> keys = {
        QList<int>{0, 1, 10, 13, 14, 16, 17, 2, 18, 19, 20, 21, 5, 6},
        QList<int>{0, 1, 2, 12, 30, 31, 5, 6},
        QList<int>{0, 1, 2, 30, 11, 31, 18, 19, 20, 21, 5, 6},
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
            for (int kind : operationKeys()[i]) names[i].append(CV4Trade::operationNameForKey(kind));
        }
    }
    return names;
}

} // namespace

QVariant CV4Trade::valueForKey(const QString &key) const
{
    if (key == u"ident") return m_ident;
    if (key == u"kind") return m_kind;
    if (key == u"brand") return m_brand;
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

bool CV4Trade::setValueForKey(const QString &key, const QVariant &value)
{
    if (key == u"ident") return cv::record::assignInt(m_ident, value);
    if (key == u"kind") return cv::record::assignInt(m_kind, value);
    if (key == u"brand") return cv::record::assignInt(m_brand, value);
    if (key == u"account") return cv::record::assignInt(m_account, value);
    if (key == u"transfer" || key == u"destination") return cv::record::assignInt(m_transfer, value);
    if (key == u"date") return cv::record::assignDate(m_date, value);
    if (key == u"count") return cv::record::assignDouble(m_count, value);
    if (key == u"unitPrice") return cv::record::assignDouble(m_unitPrice, value);
    if (key == u"commission") return cv::record::assignDouble(m_commission, value);
    if (key == u"memo")
        return cv::record::assignStringThrough([this](const QString &memo) { setMemo(memo); }, value);
    if (key == u"flags") return cv::record::assignInt(m_flags, value);
    return false;
}

void CV4Trade::changesForAccount(int account, double *units, double *income) const
{
    double u = 0;
    double cash = 0;
    switch (m_kind) {
    case Buy:
    case BuyBack:
    case MarginBuy:
    case Reinvestment:
        u = m_count;
        cash = -m_count * m_unitPrice;
        break;
    case Sale:
    case MarginSale:
    case SellBack:
    case CashIn:
        u = -m_count;
        cash = m_count * m_unitPrice;
        break;
    case TransferUnits:
        // An account on neither side of the transfer holds no fewer or more units.
        if (account == m_account)
            u = -m_count;
        else if (account == m_transfer)
            u = m_count;
        break;
    case OtherIncome:
    case Interest:
    case Distribution:
        cash = m_unitPrice;
        break;
    case OtherExpense:
        cash = -m_unitPrice;
        break;
    case Dividend:
        cash = m_count > 0 ? m_count * m_unitPrice : m_unitPrice;
        break;
    case Split:
    case Increase:
        u = m_count;
        break;
    case Merge:
    case Decrease:
        u = -m_count;
        break;
    default:
        break;
    }
    if (units) *units = u;
    if (income) *income = cash;
}

double CV4Trade::amount() const
{
    double income = 0;
    changesForAccount(m_account, nullptr, &income);
    return income - m_commission;
}

QString CV4Trade::value(double value, const CV4TradeFormatting &document, bool isCommission) const
{
    const CV4BrandPtr brand = document.findBrand(m_brand);
    const int brandCurrency = brand ? brand->currency() : 0;
    const bool stock = !brand || brand->kind() == CV4Brand::Stock;
    const int accountCurrency = document.currencyOfAccount(m_account);
    const double converted = document.currency(accountCurrency, value, brandCurrency, m_date);
    if (!stock && !isCommission) return document.stringForFundValue(converted, accountCurrency, false, true);
    return document.stringForValue(converted, accountCurrency);
}

QString CV4Trade::reportKindName() const
{
    return reportNameForKey(m_kind);
}

QString CV4Trade::operationNameForKey(int kind)
{
    return localizedKindName(kind, "trade-");
}

QString CV4Trade::reportNameForKey(int kind)
{
    return localizedKindName(kind, "Report-trade-");
}

QList<int> CV4Trade::operationKeysForBrandKind(int brandKind)
{
    if (brandKind < 0 || brandKind >= int(operationKeys().size())) return {};
    return operationKeys()[size_t(brandKind)];
}

QStringList CV4Trade::operationNamesForBrandKind(int brandKind)
{
    if (brandKind < 0 || brandKind >= int(operationNames().size())) return {};
    return operationNames()[size_t(brandKind)];
}

std::optional<int> CV4Trade::keyForOperationName(const QString &name)
{
    const auto &names = operationNames();
    for (size_t i = 0; i < names.size(); ++i) {
        const qsizetype at = names[i].indexOf(name);
        if (at >= 0) return operationKeys()[i].at(at);
    }
    return std::nullopt;
}

int CV4Trade::validFieldsForKind(int kind)
{
    switch (kind) {
    case Buy:
    case Sale:
    case MarginSale:
    case BuyBack:
    case MarginBuy:
    case SellBack:
    case CashIn:
    case Reinvestment:
        return CountField | UnitPriceField | CommissionField;
    case TransferUnits:
        return CountField | TotalField;
    case OtherIncome:
    case OtherExpense:
        return TotalField;
    case Dividend:
    case Interest:
    case Distribution:
        return TotalField | CommissionField;
    case Split:
    case Merge:
    case Increase:
    case Decrease:
        return CountField | CommissionField;
    default:
        return 0;
    }
}

int CV4Trade::compare(const CV4Trade &other) const
{
    if (cv::isNewRow(m_flags) != cv::isNewRow(other.m_flags)) return cv::isNewRow(m_flags) ? 1 : -1;
    if (m_date != other.m_date) return m_date < other.m_date ? -1 : 1;
    return m_brand >= 0 ? -1 : 1;
}

bool CV4Trade::rowOrder(const CV4TradePtr &a, const CV4TradePtr &b)
{
    if (!a || !b) return a && !b;
    if (cv::isNewRow(a->m_flags) != cv::isNewRow(b->m_flags)) return !cv::isNewRow(a->m_flags);
    if (a->m_date != b->m_date) return a->m_date < b->m_date;
    return a->m_brand >= 0 && b->m_brand < 0;
}

bool CV4Trade::isEqual(const CV4Trade *other) const
{
    if (other == this) return true;
    if (!other || m_ident == -1) return false;
    return m_kind == other->m_kind && m_account == other->m_account && m_brand == other->m_brand
           && m_transfer == other->m_transfer && m_count == other->m_count
           && m_unitPrice == other->m_unitPrice && m_date == other->m_date;
}

CV4TradePtr CV4Trade::clone() const
{
    auto c = std::make_shared<CV4Trade>();
    c->m_ident = m_ident;
    c->m_kind = m_kind;
    c->m_account = m_account;
    c->m_brand = m_brand;
    c->m_transfer = m_transfer;
    c->m_count = m_count;
    c->m_unitPrice = m_unitPrice;
    c->m_commission = m_commission;
    c->m_date = m_date;
    c->m_memo = m_memo;
    return c;
}
