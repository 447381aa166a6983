#include "import/StatementValues.h"

#include "platform/NumberText.h"

#include <QRegularExpression>
#include <QString>

#include <cmath>

namespace cv {

namespace {

// The years a statement, price or rate can carry: the book's editors take no
// other, and a year outside them is a misread short year, never a date.
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2099;

std::optional<QDate> validDate(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid() || year < kFirstYear || year > kLastYear) return std::nullopt;
    return date;
}

char ascii(char c)
{
    return c;
}

char ascii(QChar c)
{
    return c.unicode() < 0x80 ? char(c.unicode()) : '\0';
}

template <class Text> std::optional<double> ofxAmount(const Text &text)
{
    qsizetype pos = 0;
    const qsizetype size = text.size();
    auto at = [&](qsizetype i) { return ascii(text[i]); };
    while (pos < size && (at(pos) == ' ' || at(pos) == '\t')) ++pos;
    QByteArray run;
    bool comma = false, point = false;
    for (; pos < size; ++pos) {
        const char c = at(pos);
        if (!(c == '-' || c == '+' || c == '.' || c == ',' || (c >= '0' && c <= '9'))) break;
        comma |= c == ',';
        point |= c == '.';
        run.append(c);
    }
    // Read whole or not at all: "-1x0" is no withdrawal of 1.
    while (pos < size && (at(pos) == ' ' || at(pos) == '\t')) ++pos;
    if (pos < size) return std::nullopt;
    if (comma && point)
        run.replace(",", "");
    else if (comma)
        run.replace(',', '.');
    if (run.isEmpty()) return std::nullopt;
    return parseDouble(QString::fromLatin1(run));
}

template <class Text> std::optional<QDate> ofxDate(const Text &text)
{
    qsizetype pos = 0;
    const qsizetype size = text.size();
    while (pos < size && (ascii(text[pos]) == ' ' || ascii(text[pos]) == '\t')) ++pos;
    if (size - pos < 8) return std::nullopt;
    int digits[8];
    for (int i = 0; i < 8; ++i) {
        const char c = ascii(text[pos + i]);
        if (c < '0' || c > '9') return std::nullopt;
        digits[i] = int(c - '0');
    }
    return validDate(digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3], digits[4] * 10 + digits[5],
                     digits[6] * 10 + digits[7]);
}

bool isCurrencyMark(QChar c)
{
    return c.category() == QChar::Symbol_Currency || c == QChar(0x5186); // 円
}

} // namespace

std::optional<QDate> parseStatementDate(QStringView input)
{
    const QString text = input.toString().normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty()) return std::nullopt;
    static const QRegularExpression separated(QStringLiteral("^(\\d{4})([/.-])(\\d{1,2})\\2(\\d{1,2})$"));
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    for (const QRegularExpression *pattern : {&separated, &compact}) {
        const QRegularExpressionMatch m = pattern->match(text);
        if (!m.hasMatch()) continue;
        const int last = m.lastCapturedIndex();
        return validDate(m.captured(1).toInt(), m.captured(last - 1).toInt(), m.captured(last).toInt());
    }
    // No century or year is ever guessed: "6/12/15" could be 2006 or 2015.
    return std::nullopt;
}

std::optional<double> parseStatementAmount(QStringView input)
{
    QString text = input.toString().normalized(QString::NormalizationForm_KC).trimmed();
    bool negative = false;
    if (text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')'))) {
        negative = true;
        text = text.mid(1, text.size() - 2).trimmed();
    }
    auto takeSign = [&](qsizetype at) {
        if (text.isEmpty()) return;
        const QChar c = text[at];
        if (c == QLatin1Char('-') || c == QChar(0x2212) || c == QChar(0x25B2) || c == QChar(0x25B3)) {
            negative = !negative;
        } else if (c != QLatin1Char('+')) {
            return;
        }
        text.remove(at, 1);
        text = text.trimmed();
    };
    takeSign(0);
    while (!text.isEmpty() && isCurrencyMark(text.front())) text = text.mid(1).trimmed();
    while (!text.isEmpty() && isCurrencyMark(text.back())) text.chop(1), text = text.trimmed();
    if (!negative) takeSign(0);
    if (!text.isEmpty() && text.back() == QLatin1Char('-') && !negative) {
        negative = true;
        text.chop(1);
    }
    if (text.isEmpty()) return std::nullopt;
    for (QChar c : text)
        if (!(c.isDigit() && c.unicode() < 0x80) && c != QLatin1Char(',') && c != QLatin1Char('.')) return std::nullopt;

    const qsizetype lastComma = text.lastIndexOf(QLatin1Char(','));
    const qsizetype lastPoint = text.lastIndexOf(QLatin1Char('.'));
    QChar decimal = QLatin1Char('.');
    if (lastComma >= 0 && lastPoint >= 0) {
        decimal = lastComma > lastPoint ? QLatin1Char(',') : QLatin1Char('.');
    } else if (lastComma >= 0) {
        if (text.count(QLatin1Char(',')) == 1 && text.size() - lastComma - 1 != 3) decimal = QLatin1Char(',');
    } else if (lastPoint >= 0 && text.count(QLatin1Char('.')) > 1) {
        decimal = QLatin1Char(','); // "1.234.567": points group
    }
    const QChar grouping = decimal == QLatin1Char('.') ? QLatin1Char(',') : QLatin1Char('.');
    // Grouping marks stand between groups of three digits, never at the ends.
    const QStringList parts = text.split(decimal);
    if (parts.size() > 2) return std::nullopt;
    const QStringList groups = parts[0].split(grouping);
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const qsizetype n = groups[i].size();
        if (groups.size() > 1 && (n == 0 || n > 3 || (i > 0 && n != 3))) return std::nullopt;
    }
    if (parts.size() == 2 && (parts[1].isEmpty() || parts[1].contains(grouping))) return std::nullopt;
    QString plain = groups.join(QString());
    if (parts.size() == 2) plain += QLatin1Char('.') + parts[1];
    if (plain.isEmpty() || plain == QLatin1String(".")) return std::nullopt;
    const std::optional<double> value = parseDouble(plain);
    if (!value) return std::nullopt;
    return negative ? -*value : *value;
}

std::optional<double> plainDecimal(QStringView text, bool plusSign)
{
    if (text.isEmpty() || text.size() > 64) return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool sign = i == 0 && (c == QLatin1Char('-') || (plusSign && c == QLatin1Char('+')));
        if (!sign && c != QLatin1Char('.') && !(c >= QLatin1Char('0') && c <= QLatin1Char('9'))) return std::nullopt;
    }
    bool ok = false;
    const double value = text.toDouble(&ok); // C locale
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> parseOfxAmount(QByteArrayView text)
{
    return ofxAmount(text);
}

std::optional<double> parseOfxAmount(QStringView text)
{
    return ofxAmount(text);
}

std::optional<QDate> parseOfxDate(QByteArrayView text)
{
    return ofxDate(text);
}

std::optional<QDate> parseOfxDate(QStringView text)
{
    return ofxDate(text);
}

} // namespace cv
