#include "model/Currency.h"

namespace cv {

namespace {

const char *const kPresetCodes[] = {"JPY", "USD", "EUR", "GBP", "CHF", "AUD", "NZD", "CAD"};

const QString kIdent = QStringLiteral("ident");
const QString kFraction = QStringLiteral("fraction");
const QString kFlags = QStringLiteral("flags");
const QString kName = QStringLiteral("name");
const QString kAbbr = QStringLiteral("abbr");
const QString kPrefix = QStringLiteral("prefix");
const QString kRate = QStringLiteral("rate");

} // namespace

int Currency::presetIdent(const QString &abbr)
{
    for (int i = 0; i < int(std::size(kPresetCodes)); ++i) {
        if (abbr == QLatin1String(kPresetCodes[i])) return i + 1;
    }
    return 100;
}

CurrencyPtr Currency::currencyWith(const QString &name, const QString &abbr, const QString &prefix, int fraction)
{
    auto c = std::make_shared<Currency>();
    c->m_ident = presetIdent(abbr);
    c->m_name = name;
    c->m_abbr = abbr;
    c->m_prefix = prefix;
    c->m_fraction = fraction;
    c->m_flags = 0;
    c->m_rate = 1.0;
    return c;
}

QString Currency::description() const
{
    return QStringLiteral("CV4Currency\n    ident: %1\n    fraction: %2\n    flags: %3\n    name: %4\n"
                          "    abbr: %5\n    prefix: %6\n    rate: %7")
        .arg(m_ident)
        .arg(m_fraction)
        .arg(m_flags)
        .arg(m_name, m_abbr, m_prefix)
        .arg(m_rate);
}

void Currency::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(kIdent, m_ident);
    coder.encodeInt(kFraction, m_fraction);
    coder.encodeInt(kFlags, m_flags);
    coder.encodeObject(kName, m_name.isNull() ? cv::ArchiveValue() : cv::ArchiveValue(m_name));
    coder.encodeObject(kAbbr, m_abbr.isNull() ? cv::ArchiveValue() : cv::ArchiveValue(m_abbr));
    coder.encodeObject(kPrefix, m_prefix.isNull() ? cv::ArchiveValue() : cv::ArchiveValue(m_prefix));
    coder.encodeDouble(kRate, m_rate);
}

bool Currency::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_ident = coder.decodeIntForKey(kIdent);
    m_fraction = coder.decodeIntForKey(kFraction);
    m_flags = coder.decodeIntForKey(kFlags);
    m_name = coder.decodeStringForKey(kName).value_or(QString());
    m_abbr = coder.decodeStringForKey(kAbbr).value_or(QString());
    m_prefix = coder.decodeStringForKey(kPrefix).value_or(QString());
    m_rate = coder.decodeDoubleForKey(kRate);
    return !coder.failed();
}

} // namespace cv
