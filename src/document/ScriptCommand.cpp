#include "document/ScriptCommand.h"

#include "document/Book.h"
#include "model/DatedPrice.h"
#include "platform/DateFormat.h"
#include "platform/NumberText.h"

#include <climits>
#include <cmath>

namespace cv {

Q_LOGGING_CATEGORY(lcScripting, "corvane.scripting")

const QString ScriptCommand::kDocument = QStringLiteral("Document");
const QString ScriptCommand::kDate = QStringLiteral("Date");
const QString ScriptCommand::kPrice = QStringLiteral("Price");
const QString ScriptCommand::kCurrency = QStringLiteral("Currency");
const QString ScriptCommand::kMarket = QStringLiteral("Market");

namespace {

bool isIntegral(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Long:
    case QMetaType::ULong: return true;
    default: return false;
    }
}

// A whole number, or none for text that is not one, a fraction, or any other kind of value.
std::optional<long long> integerArgument(const QVariant &value)
{
    if (isIntegral(value)) {
        if (value.typeId() == QMetaType::ULongLong && value.toULongLong() > quint64(LLONG_MAX)) return std::nullopt;
        return value.toLongLong();
    }
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15) return static_cast<long long>(d);
        return std::nullopt;
    }
    if (value.typeId() == QMetaType::QString) return parseInt(value.toString());
    return std::nullopt;
}

std::optional<double> numberArgument(const QVariant &value)
{
    if (isIntegral(value) || value.typeId() == QMetaType::Double) return value.toDouble();
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    QString text = value.toString();
    text.remove(QLatin1Char(','));
    return parseDouble(text);
}

} // namespace

ScriptCommand::ScriptCommand(const QString &directParameter, const QVariantMap &arguments)
    : m_directParameter(directParameter), m_arguments(arguments)
{
}

ScriptCommand::~ScriptCommand() = default;

QString ScriptCommand::argumentText(const QString &key) const
{
    const auto it = m_arguments.constFind(key);
    if (it == m_arguments.cend() || !it->isValid()) return QStringLiteral("(null)");
    return it->toString();
}

QString ScriptCommand::refuse(const QString &line)
{
    qCWarning(lcScripting).noquote() << line;
    return line;
}

std::optional<QString> ScriptCommand::readCommon(const std::vector<Book *> &documents, Common &common) const
{
    const long long count = static_cast<long long>(documents.size());
    long long number = 1;
    if (const auto it = m_arguments.constFind(kDocument); it != m_arguments.cend()) {
        // Text that is no whole number reads as 0, which no document has.
        number = integerArgument(*it).value_or(0);
    }
    if (number <= 0 || number > count || !documents[size_t(number - 1)])
        return refuse(QStringLiteral("%1 docs available.  Cannot specify doc %2").arg(count).arg(number));
    common.document = documents[size_t(number - 1)];
    common.number = int(number);

    const QVariant date = m_arguments.value(kDate);
    const QDate today = m_today.isValid() ? m_today : QDate::currentDate();
    std::optional<QDate> day;
    if (!date.isValid() || (date.typeId() == QMetaType::QString && date.toString().trimmed().isEmpty())) {
        day = today;
    } else if (date.typeId() == QMetaType::QDate || date.typeId() == QMetaType::QDateTime) {
        day = date.toDate();
    } else if (date.typeId() == QMetaType::QString) {
        const QString text = date.toString().trimmed();
        day = parseDate(text, programDateFormat(), today);
        if (!day) day = QDate::fromString(text, Qt::ISODate);
        if (!day->isValid()) day = QDateTime::fromString(text, Qt::ISODate).date();
    }
    // A value recorded under a guessed date would be wrong without anyone noticing.
    if (!day || !day->isValid()) return refuse(QStringLiteral("unreadable date: %1").arg(argumentText(kDate)));
    common.date = *day;

    const std::optional<double> price = numberArgument(m_arguments.value(kPrice));
    if (!price || !std::isfinite(*price) || !(*price > 0))
        return refuse(QStringLiteral("price <= 0: %1").arg(argumentText(kPrice)));
    if (!cv::isRecordableRate(*price)) return refuse(QStringLiteral("price above 10^12: %1").arg(argumentText(kPrice)));
    common.price = *price;
    return std::nullopt;
}

} // namespace cv
