#include "document/PatternFormatter.h"

#include "platform/NumberText.h"

#include <QStringList>

#include <cmath>

namespace cv {

namespace {

bool isPatternChar(QChar c)
{
    return c == u'#' || c == u'0' || c == u',' || c == u'.';
}

bool isAllZero(const QString &digits)
{
    for (QChar c : digits) {
        if (c.isDigit() && c != u'0') return false;
    }
    return true;
}

} // namespace

void PatternFormatter::setFormat(const QString &format)
{
    m_format = format;
    const QStringList sections = (format.isEmpty() ? QStringLiteral("#,##0.######") : format).split(u';');
    m_positive = parseSection(sections.at(0));
    m_zero.reset();
    m_negative.reset();
    if (sections.size() == 2) {
        m_negative = parseSection(sections.at(1));
    } else if (sections.size() >= 3) {
        m_zero = parseSection(sections.at(1));
        m_negative = parseSection(sections.at(2));
    }
}

PatternFormatter::Section PatternFormatter::parseSection(const QString &pattern)
{
    Section s;
    int begin = 0;
    while (begin < pattern.size() && !isPatternChar(pattern.at(begin))) ++begin;
    int end = begin;
    while (end < pattern.size() && isPatternChar(pattern.at(end))) ++end;
    s.prefix = pattern.left(begin);
    s.suffix = pattern.mid(end);
    const QString body = pattern.mid(begin, end - begin);
    const int point = int(body.indexOf(u'.'));
    const QString integer = point < 0 ? body : body.left(point);
    const QString fraction = point < 0 ? QString() : body.mid(point + 1);
    s.minInteger = int(integer.count(u'0'));
    s.minFraction = int(fraction.count(u'0'));
    s.maxFraction = s.minFraction + int(fraction.count(u'#'));
    const int lastComma = int(integer.lastIndexOf(u','));
    if (lastComma >= 0) {
        const int size = int(integer.size()) - lastComma - 1;
        s.groupSize = size > 0 ? size : 3;
    }
    return s;
}

QString PatternFormatter::formatMagnitude(const Section &s, double magnitude)
{
    const QString fixed = cv::formatFixed(magnitude, s.maxFraction);
    const int point = int(fixed.indexOf(u'.'));
    QString integer = point < 0 ? fixed : fixed.left(point);
    QString fraction = point < 0 ? QString() : fixed.mid(point + 1);
    while (fraction.size() > s.minFraction && fraction.endsWith(u'0')) fraction.chop(1);
    while (integer.size() > s.minInteger && integer.startsWith(u'0')) integer.remove(0, 1);
    if (integer.isEmpty() && fraction.isEmpty()) integer = QStringLiteral("0");
    if (s.groupSize > 0) {
        for (int i = int(integer.size()) - s.groupSize; i > 0; i -= s.groupSize) integer.insert(i, u',');
    }
    QString text = s.prefix + integer;
    if (!fraction.isEmpty()) text += u'.' + fraction;
    return text + s.suffix;
}

QString PatternFormatter::stringForObjectValue(double value) const
{
    if (!std::isfinite(value)) return cv::formatFixed(value, 0);
    const double magnitude = std::fabs(value);
    // A value that shows as zero is no negative: never "-0.00".
    const bool showsZero = isAllZero(cv::formatFixed(magnitude, m_positive.maxFraction));
    if (showsZero && m_zero) return formatMagnitude(*m_zero, 0);
    if (value < 0 && !showsZero && m_negative) return formatMagnitude(*m_negative, magnitude);
    return formatMagnitude(m_positive, showsZero ? 0 : magnitude);
}

QColor PatternFormatter::colorForValue(double value) const
{
    if (value < 0 && m_negativeColor.isValid() && stringForObjectValue(value) != stringForObjectValue(0))
        return m_negativeColor;
    return QColor();
}

bool PatternFormatter::stripAffixes(const Section &s, QString &text)
{
    if (!text.startsWith(s.prefix) || !text.endsWith(s.suffix)) return false;
    if (text.size() < s.prefix.size() + s.suffix.size()) return false;
    text = text.mid(s.prefix.size(), text.size() - s.prefix.size() - s.suffix.size()).trimmed();
    return true;
}

std::optional<double> PatternFormatter::parsePlain(QString body)
{
    // Digits with "," grouping in the whole part and at most one ".".
    const int point = int(body.indexOf(u'.'));
    if (point >= 0 && body.indexOf(u',', point) >= 0) return std::nullopt;
    body.remove(u',');
    bool digit = false;
    for (QChar c : body) {
        if (c.isDigit() && c.unicode() < 128)
            digit = true;
        else if (c != u'.')
            return std::nullopt;
    }
    if (!digit) return std::nullopt;
    return cv::parseDouble(body);
}

std::optional<double> PatternFormatter::numberFromString(const QString &text) const
{
    QString t = text.trimmed();
    if (t.isEmpty()) return 0.0;
    if (m_negative && !(m_negative->prefix.isEmpty() && m_negative->suffix.isEmpty())) {
        QString body = t;
        if (stripAffixes(*m_negative, body)) {
            if (const auto v = parsePlain(body)) return -*v;
        }
    }
    bool negative = false;
    if (t.startsWith(u'-') || t.startsWith(QChar(0x2212))) {
        negative = true;
        t = t.mid(1).trimmed();
    }
    QString body = t;
    if (!stripAffixes(m_positive, body)) body = t;
    std::optional<double> v = parsePlain(body);
    if (!v && m_zero) {
        body = t;
        if (stripAffixes(*m_zero, body)) v = parsePlain(body);
    }
    if (!v) return std::nullopt;
    return negative ? -*v : *v;
}

} // namespace cv
