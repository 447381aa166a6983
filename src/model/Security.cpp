#include "model/Security.h"

#include "platform/Localization.h"

namespace cv {

namespace {

struct Market {
    const char *name;
    int code;
};
const Market kMarkets[] = {{"TOSHO", 1},    {"DAISHO", 2},    {"JASDAQ", 3}, {"MOTHERS", 4},
                           {"HERCULES", 5}, {"NYMarket", 20}, {"NASDAQ", 21}};

const char *const kKindKeys[] = {"brand kind stock", "brand kind trust", "brand kind bond"};
const char *const kRiskKeys[] = {"brand risk low", "brand risk middle", "brand risk high"};

QString localizedEntry(const char *const (&keys)[3], int index)
{
    if (index < 0 || index >= 3) return QString();
    return cv::localizedString(keys[index]);
}

const QString kId = QStringLiteral("id");
const QString kName = QStringLiteral("name");
const QString kKind = QStringLiteral("kind");
const QString kCurrency = QStringLiteral("currency");
const QString kRisk = QStringLiteral("risk");
const QString kCode = QStringLiteral("code");
const QString kSymbol = QStringLiteral("symbol");
const QString kMarket = QStringLiteral("market");
const QString kHidden = QStringLiteral("hidden");

} // namespace

int Security::marketForString(const QString &name)
{
    for (const Market &m : kMarkets) {
        if (name.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0) return m.code;
    }
    return -1;
}

QString Security::kindName() const
{
    return localizedEntry(kKindKeys, cv::raw(m_kind));
}

QString Security::riskDescription() const
{
    return localizedEntry(kRiskKeys, m_risk);
}

QString Security::description() const
{
    return QStringLiteral("<CV4Brand: 0x%1 %2>").arg(quintptr(this), 0, 16).arg(m_name);
}

void Security::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(kId, m_ident);
    coder.encodeObject(kName, m_name.isNull() ? cv::ArchiveValue() : cv::ArchiveValue(m_name));
    coder.encodeInt(kKind, cv::raw(m_kind));
    coder.encodeInt(kCurrency, m_currency);
    coder.encodeInt(kRisk, m_risk);
    coder.encodeInt(kCode, m_code);
    if (!m_symbol.isEmpty()) coder.encodeObject(kSymbol, m_symbol);
    coder.encodeInt(kMarket, m_market);
    coder.encodeInt(kHidden, m_hidden ? 1 : 0);
}

bool Security::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_ident = coder.decodeIntForKey(kId);
    m_name = coder.decodeStringForKey(kName).value_or(QString());
    m_kind = cv::SecurityKind(coder.decodeIntForKey(kKind));
    m_currency = coder.decodeIntForKey(kCurrency);
    m_risk = coder.decodeIntForKey(kRisk);
    m_code = coder.decodeIntForKey(kCode);
    m_symbol = coder.decodeStringForKey(kSymbol).value_or(QString());
    m_market = coder.decodeIntForKey(kMarket);
    m_hidden = coder.decodeIntForKey(kHidden) != 0;
    return !coder.failed();
}

} // namespace cv
