#include "document/xml/BookXMLInternal.h"

#include "document/Book.h"
#include "document/BookPrivate.h"
#include "document/store/SQLDatabase3.h"
#include "model/Entry.h"
#include "model/BankDetail.h"
#include "model/Budget.h"
#include "model/CardDetail.h"
#include "model/OpeningHolding.h"
#include "model/LoanTerms.h"
#include "model/DatedPrice.h"
#include "model/Summary.h"
#include "model/Trade.h"
#include "platform/DateIntegers.h"
#include "platform/KeyedArchiver.h"
#include "platform/Logging.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <charconv>
#include <cmath>
#include <limits>

namespace cv {

namespace {

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

QByteArray shortestFixed(double value)
{
    char buf[400];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (result.ec != std::errc()) return QByteArray::number(value, 'f', 6);
    return QByteArray(buf, int(result.ptr - buf));
}

bool readsBackAs(const QByteArray &text, double value)
{
    return cv::xml::parseDecimal(QString::fromLatin1(text)) == value;
}

} // namespace

// ---------------------------------------------------------------- forms

namespace xml {

QByteArray decimal(double value, int decimals)
{
    QByteArray text;
    appendDecimal(text, value, decimals);
    return text;
}

void appendDecimal(QByteArray &out, double value, int decimals)
{
    if (!std::isfinite(value)) value = 0;
    // A normal value reads back by from_chars as parseDecimal reads it; the
    // rest keep the general reading. A form that reads back is the correctly
    // rounded one whichever printer made it.
    if (std::isnormal(value) || value == 0) {
        char buf[400];
        for (const int digits : {decimals, 6}) {
            const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, digits);
            double back = 0;
            if (ec == std::errc() && std::from_chars(buf, end, back).ec == std::errc() && back == value) {
                out.append(buf, end - buf);
                return;
            }
        }
        out += shortestFixed(value);
        return;
    }
    QByteArray text = QByteArray::number(value, 'f', decimals);
    if (!readsBackAs(text, value)) text = QByteArray::number(value, 'f', 6);
    if (!readsBackAs(text, value)) text = shortestFixed(value);
    out += text;
}

// The form "y.m.d" of a day number, by arithmetic on the civil calendar (days from
// 1970-01-01, eras of 400 years); the rare date outside years 1 to 9999 goes
// through QDate, which has no year 0.
void appendDayDate(QByteArray &out, int dayNumber)
{
    const qint64 z = qint64(dayNumber) + 11323 + 719468; // 2001-01-01 is day 11323 after 1970-01-01
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const qint64 day = doy - (153 * mp + 2) / 5 + 1;
    const qint64 month = mp < 10 ? mp + 3 : mp - 9;
    const qint64 year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    if (year < 1 || year > 9999) {
        const QDate date = cv::dates::fromDayNumber(dayNumber);
        out += QByteArray::number(date.year()) + '.' + QByteArray::number(date.month()) + '.' +
               QByteArray::number(date.day());
        return;
    }
    // Years 1 to 9999, months and days of two digits at most.
    char buf[16];
    char *p = std::to_chars(buf, buf + 4, int(year)).ptr;
    *p++ = '.';
    p = std::to_chars(p, p + 2, int(month)).ptr;
    *p++ = '.';
    p = std::to_chars(p, p + 2, int(day)).ptr;
    out.append(buf, p - buf);
}

QByteArray count(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::abs(value) < 2147483648.0)
        return QByteArray::number(qint64(value));
    return decimal(value, 6);
}

bool appendStoredText(QByteArray &out, QByteArrayView stored)
{
    // Most memos are plain text that XML carries as it is stored.
    bool plain = !stored.startsWith("\xEF\xBB\xBF");
    for (qsizetype i = 0; plain && i < stored.size(); ++i) {
        const auto c = uchar(stored[i]);
        plain = c >= 0x20 && c != '&' && c != '<' && c != '>' &&
                !(c == 0xEF && i + 2 < stored.size() && uchar(stored[i + 1]) == 0xBF && uchar(stored[i + 2]) >= 0xBE);
    }
    if (plain && stored.isValidUtf8()) {
        out.append(stored.data(), stored.size());
        return !stored.isEmpty();
    }
    const QString text = decodeStoredText(stored);
    if (text.isEmpty()) return false;
    out += escaped(text, false);
    return true;
}

QByteArray escaped(const QString &text, bool attribute)
{
    QByteArray out;
    out.reserve(text.size() * 3 + 8);
    bool dropped = false;
    const char16_t *p = QStringView(text).utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = p[i];
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1]))
            c = QChar::surrogateToUcs4(char16_t(c), p[++i]);
        else if (QChar::isSurrogate(c))
            c = 0xFFFF; // a lone half cannot be encoded
        if (!isXmlChar(c)) {
            dropped = true;
            continue;
        }
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += attribute ? "&quot;" : "\""; break;
        // A reader turns these into spaces in attributes and a CR into LF in
        // text; as references they read back as they were.
        case '\t': out += attribute ? "&#9;" : "\t"; break;
        case '\n': out += attribute ? "&#10;" : "\n"; break;
        case '\r': out += "&#13;"; break;
        default:
            // Encoded here: a conversion per character made long books slow to write.
            if (c < 0x80) {
                out += char(c);
            } else if (c < 0x800) {
                out += char(0xC0 | (c >> 6));
                out += char(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                out += char(0xE0 | (c >> 12));
                out += char(0x80 | ((c >> 6) & 0x3F));
                out += char(0x80 | (c & 0x3F));
            } else {
                out += char(0xF0 | (c >> 18));
                out += char(0x80 | ((c >> 12) & 0x3F));
                out += char(0x80 | ((c >> 6) & 0x3F));
                out += char(0x80 | (c & 0x3F));
            }
        }
    }
    if (dropped) qCWarning(lcDocument) << "xml: characters XML cannot carry were left out of" << text.left(40);
    return out;
}

QStringView leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    const qsizetype begin = i;
    auto digits = [&] {
        const qsizetype from = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i;
        return i > from;
    };
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    bool any = digits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        any = digits() || any;
    }
    if (!any) return {};
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        const qsizetype mark = i++;
        if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
        if (!digits()) i = mark;
    }
    return text.mid(begin, i - begin);
}

double parseDecimal(QStringView text)
{
    const QStringView number = leadingNumber(text);
    if (number.isEmpty()) return 0;
    // Both readings round correctly, so they agree on every normal number;
    // the quick one skips the locale machinery, a large part of reading a book.
    // Subnormals and the out of range keep the full reading.
    char ascii[64];
    if (number.size() < qsizetype(sizeof ascii)) {
        qsizetype n = 0;
        for (qsizetype j = number[0] == u'+' ? 1 : 0; j < number.size(); ++j) ascii[n++] = char(number[j].unicode());
        double value = 0;
        const auto [end, ec] = std::from_chars(ascii, ascii + n, value);
        if (ec == std::errc() && end == ascii + n && (std::isnormal(value) || value == 0)) return value;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

} // namespace xml

} // namespace cv
