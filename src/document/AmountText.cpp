#include "document/AmountText.h"

#include "model/Settings.h"
#include "platform/Localization.h"
#include "platform/Logging.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace cv {

namespace {

const char *const kFormatKeys[2][3] = {
    {"Cent Format", "Int Format", "Frac4 Format"},
    {"Cent Format Print", "Int Format Print", "Frac4 Format Print"},
};

QString groupThousands(const QString &digits)
{
    QString grouped = digits;
    for (int i = int(grouped.size()) - 3; i > 0; i -= 3) grouped.insert(i, u',');
    return grouped;
}

// A Japanese input method writes amounts in full width ("１，２３４") and the
// minus as "－" or "ー"; they mean the same as the ASCII forms.
QString foldedAmountText(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)
            c = QChar(u'0' + (u - 0xFF10));
        else if (u == 0xFF0C)
            c = u',';
        else if (u == 0xFF0E)
            c = u'.';
        else if (u == 0xFF0D || u == 0x2212 || u == 0x30FC)
            c = u'-';
    }
    return text;
}

bool hasOnlyZeroDigits(const QString &text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() && c != u'0'; });
}

} // namespace

QColor negativeAmountColor()
{
    return QColor(Qt::red);
}

AmountText::AmountText(CurrencyLookup findCurrency) : m_findCurrency(std::move(findCurrency))
{
    loadFormats();
}

void AmountText::loadFormats()
{
    for (int row = 0; row < 2; ++row) {
        for (int slot = 0; slot < 3; ++slot) {
            PatternFormatter &f = m_formatters[row][slot];
            f.setFormat(localizedString(kFormatKeys[row][slot]));
            // Every screen slot colours negatives; the print formats mark them in the text.
            f.setNegativeColor(row == 0 ? negativeAmountColor() : QColor());
        }
    }
}

bool AmountText::hasMinusSign(const QString &text)
{
    return foldedAmountText(text).contains(u'-');
}

CurrencyPtr AmountText::findCurrency(int ident) const
{
    return m_findCurrency ? m_findCurrency(ident) : nullptr;
}

bool AmountText::isForeignCurrency(int ident) const
{
    if (ident == 0) return false;
    const CurrencyPtr defaultCurrency = findCurrency(0);
    if (defaultCurrency && defaultCurrency->ident() == ident) return false;
    return findCurrency(ident) != nullptr;
}

int AmountText::currencyFraction(int currency) const
{
    const CurrencyPtr c = findCurrency(currency);
    return c ? c->fraction() : 0;
}

QString AmountText::shownPrefix(int currency) const
{
    if (!isForeignCurrency(currency)) return QString();
    const CurrencyPtr c = findCurrency(currency);
    return c ? c->prefix() : QString();
}

QString AmountText::withoutPrefix(const QString &text, int currency) const
{
    const CurrencyPtr c = findCurrency(currency);
    if (c && !c->prefix().isEmpty() && text.startsWith(c->prefix())) return text.mid(c->prefix().size());
    return text;
}

QString AmountText::amountTextWithoutPrefix(const QString &text, int currency) const
{
    return foldedAmountText(withoutPrefix(text.trimmed(), currency));
}

const PatternFormatter &AmountText::formatterForCurrency(int currency) const
{
    return formatter(currencyFraction(currency) == 2 ? 0 : 1);
}

const PatternFormatter &AmountText::centFormatterForCurrency(int currency) const
{
    return formatter(currencyFraction(currency) == 2 ? 2 : 0);
}

QString AmountText::stringForValue(double value, int currency, bool truncateEmptyEnding) const
{
    const PatternFormatter &f = formatterForCurrency(currency);
    QString text = f.stringForObjectValue(value);
    if (truncateEmptyEnding && !f.decimalSeparator().isEmpty()) {
        const QString emptyEnding = f.decimalSeparator() + QStringLiteral("00");
        if (text.endsWith(emptyEnding)) text.chop(emptyEnding.size());
    }
    return text;
}

QString AmountText::stringWithPrefixForValue(double value, int currency, bool truncateEmptyEnding) const
{
    return shownPrefix(currency) + stringForValue(value, currency, truncateEmptyEnding);
}

AmountDisplay AmountText::attributedStringForValue(double value, int currency) const
{
    const PatternFormatter &f = formatterForCurrency(currency);
    return {f.stringForObjectValue(value), f.colorForValue(value)};
}

QString AmountText::centStringForValue(double value, int currency) const
{
    return centFormatterForCurrency(currency).stringForObjectValue(value);
}

QString AmountText::stringForTradingNumberOfUnits(long long units) const
{
    return intFormatter().stringForObjectValue(double(units));
}

QString AmountText::stringForFundValue(double value, int currency, bool wantPrefix, bool padZeroes, int decimals) const
{
    QString text = formatFixed(value, std::max(0, decimals));
    if (!std::isfinite(value)) return text;
    const int point = int(text.indexOf(u'.'));
    if (point >= 0 && point < 100) {
        while (text.endsWith(u'0')) text.chop(1);
        if (text.endsWith(u'.')) text.chop(1);
    }
    const int cut = int(text.indexOf(u'.'));
    QString integer = cut < 0 ? text : text.left(cut);
    QString fraction = cut < 0 ? QString() : text.mid(cut + 1);
    QString sign;
    if (integer.startsWith(u'-')) {
        integer.remove(0, 1);
        // A value that shows as zero is no negative.
        if (!hasOnlyZeroDigits(integer + fraction)) sign = QStringLiteral("-");
    }
    QString result = sign + groupThousands(integer);
    if (padZeroes || !fraction.isEmpty()) {
        while (fraction.size() < 2) fraction += u'0';
        result += u'.' + fraction;
    }
    if (wantPrefix) result.prepend(shownPrefix(currency));
    return result;
}

QString AmountText::stringForRoundValue(double value, int digits)
{
    return roundDownFixed(value, std::max(0, digits));
}

QString AmountText::percentText(double value)
{
    QString text = formatFixed(value, 2);
    if (std::isfinite(value) && text.startsWith(u'-') && hasOnlyZeroDigits(text.mid(1))) text.remove(0, 1);
    return text;
}

std::optional<double> AmountText::numberForString(const QString &text, int currency) const
{
    const PatternFormatter &f = formatterForCurrency(currency);
    QString plain = amountTextWithoutPrefix(text, currency);
    plain.remove(f.thousandSeparator());
    return f.numberFromString(plain);
}

std::optional<double> AmountText::numberForCentString(const QString &text, int currency) const
{
    return centFormatterForCurrency(currency).numberFromString(amountTextWithoutPrefix(text, currency));
}

double AmountText::fundValueForString(const QString &text, int currency) const
{
    QString plain = amountTextWithoutPrefix(text, currency);
    plain.remove(u',');
    const std::optional<double> value = parseDouble(plain);
    return value && std::isfinite(*value) ? *value : 0.0;
}

double AmountText::numberForRoundString(const QString &text, int digits)
{
    const std::optional<QString> rounded = roundDownText(text.trimmed(), std::max(0, digits));
    if (!rounded) return 0.0;
    const std::optional<double> value = parseDouble(*rounded);
    return value && std::isfinite(*value) ? *value : 0.0;
}

std::optional<QString> AmountText::typedAmountText(const QString &input, const QString &prefix)
{
    // Input methods give full-width digits, points and minus signs.
    QString text = input.normalized(QString::NormalizationForm_KC).trimmed();
    text.replace(QChar(0x2212), u'-');
    const QString plainPrefix = prefix.normalized(QString::NormalizationForm_KC).trimmed();
    bool negative = false;
    if (text.startsWith(u'-')) {
        negative = true;
        text = text.mid(1).trimmed();
    }
    if (!plainPrefix.isEmpty() && text.startsWith(plainPrefix)) text = text.mid(plainPrefix.size()).trimmed();
    if (!negative && text.startsWith(u'-')) {
        negative = true;
        text = text.mid(1).trimmed();
    }
    text.remove(u',');
    if (text.isEmpty()) return negative ? std::nullopt : std::optional<QString>(QString());
    int significant = 0;
    int pendingZeros = 0; // zeros that count only when a digit follows
    bool point = false;
    bool digits = false;
    bool leading = true;
    for (const QChar c : text) {
        if (c == u'.') {
            if (point) return std::nullopt;
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9') return std::nullopt;
        digits = true;
        if (c == u'0') {
            if (leading) continue;
            if (point)
                ++pendingZeros;
            else
                ++significant;
            continue;
        }
        leading = false;
        significant += pendingZeros + 1;
        pendingZeros = 0;
    }
    if (!digits || significant > kMaxSignificantDigits) return std::nullopt;
    return negative ? QLatin1Char('-') + text : text;
}

std::optional<double> AmountText::typedAmount(const QString &text, const QString &prefix, int fraction)
{
    const std::optional<QString> digits = typedAmountText(text, prefix);
    if (!digits) return std::nullopt;
    return numberForRoundString(*digits, fraction);
}

std::optional<double> AmountText::typedAmountIn(const QString &text, int currency, std::optional<int> digits) const
{
    const CurrencyPtr c = findCurrency(currency);
    return typedAmount(text, c ? c->prefix() : QString(), digits.value_or(c ? c->fraction() : 0));
}

std::optional<QString> AmountText::fixCurrencyValue(const QString &text, int currency) const
{
    const std::optional<double> value = numberForString(text, currency);
    if (!value) return std::nullopt;
    // "-" then "0" is the start of a negative amount: keep the sign being typed.
    if (*value == 0 && hasMinusSign(text)) return std::nullopt;
    return stringWithPrefixForValue(*value, currency, true);
}

std::optional<QString> AmountText::proposedString(const QString &currentText, TextSelection selection,
                                                  const QString &proposed, int currency, int fractionLength) const
{
    QString text = proposed;
    if (fractionLength > 0) {
        const int point = int(text.indexOf(u'.'));
        if (point >= 0 && text.size() - point - 1 > fractionLength) text.truncate(point + 1 + fractionLength);
    }
    const std::optional<double> value = numberForString(text, currency);
    if (!value) return std::nullopt;
    if (*value == 0 && hasMinusSign(text)) return std::nullopt;

    if (fractionLength > 0) {
        QString written = stringForFundValue(*value, currency, true, false, fractionLength);
        const int point = int(text.indexOf(u'.'));
        if (point >= 0) {
            const int own = int(written.indexOf(u'.'));
            if (own >= 0) written.truncate(own);
            written += text.mid(point);
        }
        return written;
    }

    QString answer;
    const PatternFormatter &f = formatterForCurrency(currency);
    const QString separator = f.decimalSeparator();
    const int currentPoint = int(currentText.indexOf(separator));
    const int proposedPoint = int(text.indexOf(separator));
    if (currencyFraction(currency) == 0) {
        answer = stringWithPrefixForValue(*value, currency);
    } else if (currentPoint >= 0 && selection.location > currentPoint && proposedPoint >= 0) {
        // The user is typing the fraction: leave it as typed. The whole part is
        // regrouped from its own digits, as the value rounded (9.999 to 10.00)
        // would carry into it.
        const QString whole = text.left(proposedPoint);
        const std::optional<double> wholeValue = numberForString(whole, currency);
        if (wholeValue && !(*wholeValue == 0 && hasMinusSign(whole))) {
            answer = stringWithPrefixForValue(*wholeValue, currency);
            const int own = int(answer.indexOf(separator));
            if (own >= 0) answer.truncate(own);
        } else {
            answer = shownPrefix(currency) + withoutPrefix(whole, currency);
        }
        answer += text.mid(proposedPoint);
    } else {
        answer = stringWithPrefixForValue(*value, currency, true);
    }
    if (answer == proposed) return std::nullopt;
    return answer;
}

std::optional<EditedText> AmountText::handleDeleteKey(const QString &text, TextSelection selection, int key,
                                                      int currency) const
{
    const bool forward = key == kForwardDeleteKey;
    if (!forward && key != kBackwardDeleteKey) return std::nullopt;
    const int length = int(text.size());
    if (selection.location < 0 || selection.length < 0 || selection.location + selection.length > length)
        return std::nullopt;
    if (selection.location == 0 && selection.length == length) return EditedText{QString(), {0, 0}};

    const auto handled = [](EditedText edited) {
        qCDebug(lcDocument).noquote() << QStringLiteral("handled delete. newString: %1").arg(edited.text);
        return std::optional<EditedText>(std::move(edited));
    };
    if (forward ? selection.location + selection.length >= length : selection.location == 0) return std::nullopt;
    TextSelection range = selection;
    if (range.length == 0)
        range = forward ? TextSelection{selection.location, 1} : TextSelection{selection.location - 1, 1};

    const CurrencyPtr c = findCurrency(currency);
    const QString prefix = c ? c->prefix() : QString();
    if (range.location == 0 && !prefix.isEmpty() && text.startsWith(prefix)) {
        // The prefix itself is never deleted.
        if (range.length <= prefix.size()) return handled({text, selection});
        QString rest = text;
        rest.remove(prefix.size(), range.length - prefix.size());
        return handled({fixCurrencyValue(rest, currency).value_or(rest), {int(prefix.size()), 0}});
    }

    const QString separator = formatterForCurrency(currency).thousandSeparator();
    if (range.length == separator.size() && text.mid(range.location, range.length) == separator) {
        if (!forward && range.location == 0) return std::nullopt;
        if (forward && range.location + range.length >= length) return std::nullopt;
        // The digit beside the separator goes with it.
        if (forward)
            range.length += 1;
        else
            range = {range.location - 1, range.length + 1};
    } else if (!forward) {
        return std::nullopt;
    }
    return handled(deleteCharactersInRange(text, selection, range, currency, forward));
}

EditedText AmountText::deleteCharactersInRange(const QString &text, TextSelection selection, TextSelection range,
                                               int currency, bool forwardDelete) const
{
    range.location = std::clamp(range.location, 0, int(text.size()));
    range.length = std::clamp(range.length, 0, int(text.size()) - range.location);
    QString deleted = text;
    deleted.remove(range.location, range.length);
    qCDebug(lcDocument).noquote()
        << QStringLiteral("deleteRange: %1.%2: %3").arg(range.location).arg(range.length).arg(deleted);
    const QString fixed = fixCurrencyValue(deleted, currency).value_or(deleted);
    EditedText result{fixed, fixCurrencySelection(text, selection, QString(), forwardDelete, fixed,
                                                  TextSelection{range.location, 0})};
    const CurrencyPtr c = findCurrency(currency);
    const QString prefix = c ? c->prefix() : QString();
    if (result.selection == TextSelection{0, 0} && !prefix.isEmpty() && fixed.startsWith(prefix))
        result.selection.location = int(prefix.size());
    return result;
}

PeriodOfToday periodOfToday(const Settings &settings, const QDate &today)
{
    const int unit = std::clamp(settings.viewerUnit(), 0, 5);
    // The fiscal start of today's period, then its calendar frame, so that the
    // period carries the label the viewer gives that column.
    const QDate day = settings.fiscalDate(today, unit);
    PeriodOfToday period;
    if (!day.isValid()) return period;
    switch (unit) {
    case 0:
    case 1:
        // A day column is today's only on today itself, also in the week view.
        period = {0, today, today};
        break;
    case 2:
        period.formatSlot = 1;
        period.begin = QDate(day.year(), day.month(), 1);
        period.end = period.begin.addMonths(1).addDays(-1);
        break;
    case 3:
        period.formatSlot = 2;
        period.begin = QDate(day.year(), (day.month() - 1) / 3 * 3 + 1, 1);
        period.end = period.begin.addMonths(3).addDays(-1);
        break;
    case 4:
        period.formatSlot = 3;
        period.begin = QDate(day.year(), day.month() <= 6 ? 1 : 7, 1);
        period.end = period.begin.addMonths(6).addDays(-1);
        break;
    default:
        period.formatSlot = 4;
        period.begin = QDate(day.year(), 1, 1);
        period.end = QDate(day.year(), 12, 31);
        break;
    }
    return period;
}

QString periodFormatKey(int slot)
{
    if (slot <= 0) return QStringLiteral("YY/MM/DD/WW");
    if (slot >= 4) return QStringLiteral("YYYY");
    return QStringLiteral("YYYY/MM");
}

} // namespace cv
