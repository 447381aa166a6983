#include "platform/Localization.h"

#include "platform/Logging.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QObject>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace cv {

namespace {

using StringTable = QHash<QString, QString>;

// Reads the "key" = "value"; form of the string tables. A damaged entry is
// logged and skipped so that one bad line never hides the rest of the table.
class StringsParser {
public:
    explicit StringsParser(const QString &text) : m_text(text) {}

    StringTable parse(const QString &origin)
    {
        StringTable table;
        while (true) {
            skipBlanksAndComments();
            if (atEnd()) break;
            const qsizetype start = m_pos;
            QString key, value;
            if (readQuoted(key) && expect(u'=') && readQuoted(value) && expect(u';')) {
                table.insert(key, value);
                continue;
            }
            m_pos = start;
            qCWarning(lcPlatform) << "string table" << origin << "damaged at line" << lineNumber();
            skipToNextLine();
        }
        return table;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek(qsizetype ahead = 0) const { return m_pos + ahead < m_text.size() ? m_text.at(m_pos + ahead) : QChar(); }

    void skipBlanksAndComments()
    {
        while (!atEnd()) {
            if (peek().isSpace()) {
                ++m_pos;
            } else if (peek() == u'/' && peek(1) == u'*') {
                const qsizetype end = m_text.indexOf(u"*/", m_pos + 2);
                m_pos = end < 0 ? m_text.size() : end + 2;
            } else if (peek() == u'/' && peek(1) == u'/') {
                skipToNextLine();
            } else {
                break;
            }
        }
    }

    void skipToNextLine()
    {
        const qsizetype end = m_text.indexOf(u'\n', m_pos);
        m_pos = end < 0 ? m_text.size() : end + 1;
    }

    bool expect(QChar c)
    {
        skipBlanksAndComments();
        if (peek() != c) return false;
        ++m_pos;
        return true;
    }

    bool readQuoted(QString &out)
    {
        skipBlanksAndComments();
        if (peek() != u'"') return false;
        ++m_pos;
        while (!atEnd()) {
            const QChar c = m_text.at(m_pos++);
            if (c == u'"') return true;
            if (c != u'\\') {
                out.append(c);
                continue;
            }
            if (atEnd()) return false;
            const QChar e = m_text.at(m_pos++);
            switch (e.unicode()) {
            case 'n': out.append(u'\n'); break;
            case 't': out.append(u'\t'); break;
            case 'r': out.append(u'\r'); break;
            default: out.append(e); break; // \" \\ and anything else stand for themselves
            }
        }
        return false;
    }

    int lineNumber() const { return int(m_text.left(m_pos).count(u'\n')) + 1; }

    const QString &m_text;
    qsizetype m_pos = 0;
};

StringTable loadTable(const QString &language)
{
    const QString path = QStringLiteral(":/strings/%1.strings").arg(language);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcPlatform) << "string table missing:" << path;
        return {};
    }
    const QString text = QString::fromUtf8(file.readAll());
    return StringsParser(text).parse(path);
}

QString normalizedLanguage(const QString &name)
{
    return name.startsWith(QLatin1String("ja"), Qt::CaseInsensitive) ? QStringLiteral("ja") : QStringLiteral("en");
}

struct Tables {
    QMutex mutex;
    QString systemLanguage; // empty until first asked
    QString override;
    QHash<QString, StringTable> byLanguage;

    QString languageLocked()
    {
        if (!override.isEmpty()) return override;
        if (systemLanguage.isEmpty()) {
            const QStringList preferred = QLocale::system().uiLanguages();
            systemLanguage = normalizedLanguage(preferred.isEmpty() ? QString() : preferred.first());
        }
        return systemLanguage;
    }
};

Tables &tables()
{
    static Tables t;
    return t;
}

} // namespace

QString currentLanguage()
{
    Tables &t = tables();
    QMutexLocker lock(&t.mutex);
    return t.languageLocked();
}

bool isJapanese()
{
    return currentLanguage() == QLatin1String("ja");
}

void changeTextInputSource(QObject *editor, bool japanese)
{
    if (!editor || !isJapanese()) return;
    const QVariant current = editor->property("inputMethodHints");
    if (!current.isValid()) return;
    // A hint only: the user's own input method choice is never overridden.
    auto hints = current.value<Qt::InputMethodHints>();
    hints.setFlag(Qt::ImhPreferLatin, !japanese);
    editor->setProperty("inputMethodHints", QVariant::fromValue(hints));
}

void setLanguageOverride(const QString &language)
{
    Tables &t = tables();
    QMutexLocker lock(&t.mutex);
    t.override = language.isEmpty() ? QString() : normalizedLanguage(language);
}

QString localizedString(const QString &key)
{
    Tables &t = tables();
    QMutexLocker lock(&t.mutex);
    const QString language = t.languageLocked();
    auto it = t.byLanguage.find(language);
    if (it == t.byLanguage.end()) it = t.byLanguage.insert(language, loadTable(language));
    const auto found = it->constFind(key);
    return found == it->constEnd() ? key : *found;
}

// ---------------------------------------------------------------------------
// Format strings

namespace {

struct Conversion {
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool alternate = false;
    bool zeroPad = false;
    int width = -1;
    int precision = -1;
    int lengthBits = 32; // of the integer conversions: a plain "%d" is 32 bits, "%ld" 64
};

// The sign (or its placeholder) and the width of one conversion; zeros go
// between the sign or "0x" and the digits, as printf places them.
QString pad(const Conversion &conv, QString body, bool numeric, qsizetype prefixLength = 0)
{
    if (conv.width <= body.size()) return body;
    const qsizetype fill = conv.width - body.size();
    if (conv.leftAlign) return body + QString(fill, u' ');
    if (numeric && conv.zeroPad) {
        body.insert(prefixLength, QString(fill, u'0'));
        return body;
    }
    return QString(fill, u' ') + body;
}

QString withSign(const Conversion &conv, bool negative, const QString &digits, qsizetype *signLength)
{
    QString sign;
    if (negative)
        sign = QStringLiteral("-");
    else if (conv.plusSign)
        sign = QStringLiteral("+");
    else if (conv.spaceSign)
        sign = QStringLiteral(" ");
    *signLength = sign.size();
    return sign + digits;
}

bool isFloating(const QVariant &v)
{
    const int id = v.metaType().id();
    return id == QMetaType::Double || id == QMetaType::Float;
}

qint64 integerOf(const QVariant &v)
{
    if (isFloating(v)) {
        const double d = v.toDouble();
        // Out of range or not a number: C leaves it undefined; answer 0.
        if (!std::isfinite(d) || std::fabs(d) >= 9.2e18) return 0;
        return static_cast<qint64>(d);
    }
    if (v.metaType().id() == QMetaType::ULongLong) return static_cast<qint64>(v.toULongLong());
    return v.toLongLong();
}

QString formatInteger(const Conversion &conv, QChar conversion, const QVariant &arg)
{
    const qint64 raw = integerOf(arg);
    const char c = char(conversion.unicode());
    const bool isSigned = c == 'd' || c == 'i';
    bool negative = false;
    quint64 magnitude = 0;
    if (isSigned) {
        negative = raw < 0;
        magnitude = negative ? 0 - static_cast<quint64>(raw) : static_cast<quint64>(raw);
    } else {
        magnitude = static_cast<quint64>(raw);
        if (conv.lengthBits < 64) magnitude &= (quint64(1) << conv.lengthBits) - 1;
    }
    const int base = (c == 'x' || c == 'X' || c == 'p') ? 16 : (c == 'o' ? 8 : 10);
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, base);
    QString digits = QString::fromLatin1(buf, res.ptr - buf);
    if (c == 'X') digits = digits.toUpper();
    if (conv.precision >= 0) {
        if (conv.precision == 0 && magnitude == 0)
            digits.clear();
        else if (digits.size() < conv.precision)
            digits.prepend(QString(conv.precision - digits.size(), u'0'));
    }
    qsizetype prefixLength = 0;
    QString body;
    if (isSigned) {
        body = withSign(conv, negative, digits, &prefixLength);
    } else {
        QString prefix;
        if (c == 'p' || (conv.alternate && magnitude != 0 && (c == 'x' || c == 'X')))
            prefix = c == 'X' ? QStringLiteral("0X") : QStringLiteral("0x");
        else if (conv.alternate && c == 'o' && !digits.startsWith(u'0'))
            prefix = QStringLiteral("0");
        prefixLength = prefix.size();
        body = prefix + digits;
    }
    Conversion padding = conv;
    if (conv.precision >= 0) padding.zeroPad = false; // C ignores "0" when a precision is given
    return pad(padding, body, true, prefixLength);
}

QString formatFloating(const Conversion &conv, QChar conversion, double value)
{
    const char c = char(conversion.unicode());
    const bool upper = conversion.isUpper();
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    QString digits;
    bool finite = std::isfinite(value);
    if (!finite) {
        digits = std::isnan(value) ? QStringLiteral("nan") : QStringLiteral("inf");
    } else {
        std::chars_format format = std::chars_format::fixed;
        if (c == 'e' || c == 'E')
            format = std::chars_format::scientific;
        else if (c == 'g' || c == 'G')
            format = std::chars_format::general;
        else if (c == 'a' || c == 'A')
            format = std::chars_format::hex;
        const int precision = qBound(0, conv.precision < 0 ? 6 : conv.precision, 1100);
        std::string buf(size_t(precision) + 400, '\0');
        std::to_chars_result res;
        if (format == std::chars_format::hex && conv.precision < 0)
            res = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude, format);
        else
            res = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude, format, precision);
        digits = QString::fromLatin1(buf.data(), res.ptr - buf.data());
        if (format == std::chars_format::hex) digits.prepend(QStringLiteral("0x"));
        if (conv.alternate && !digits.contains(u'.') && format != std::chars_format::hex) {
            const qsizetype e = digits.indexOf(u'e');
            digits.insert(e < 0 ? digits.size() : e, u'.');
        }
    }
    if (upper) digits = digits.toUpper();
    qsizetype signLength = 0;
    const QString body = withSign(conv, negative, digits, &signLength);
    Conversion padding = conv;
    if (!finite) padding.zeroPad = false;
    return pad(padding, body, true, signLength);
}

QString textOf(const QVariant &arg)
{
    if (arg.metaType().id() == QMetaType::QByteArray) return QString::fromUtf8(arg.toByteArray());
    if (isFloating(arg)) {
        // The shortest text that reads back the same number, never localised.
        char buf[32];
        const auto res = std::to_chars(buf, buf + sizeof buf, arg.toDouble());
        return QString::fromLatin1(buf, res.ptr - buf);
    }
    if (arg.metaType().id() == QMetaType::QStringList) return arg.toStringList().join(QStringLiteral(", "));
    return arg.toString();
}

// Reads a decimal number at pos; answers -1 when there is none.
int readNumber(const QString &text, qsizetype &pos)
{
    if (pos >= text.size() || !text.at(pos).isDigit()) return -1;
    qint64 n = 0;
    while (pos < text.size() && text.at(pos).isDigit()) {
        n = qMin<qint64>(n * 10 + text.at(pos).digitValue(), 1000000);
        ++pos;
    }
    return int(n);
}

// The flags, width, precision and length of a placeholder, from `p` on; `p`
// ends on the conversion character (or the end). A "*" takes the next argument.
Conversion readConversion(const QString &format, qsizetype &p, const QVariantList &args, qsizetype &next)
{
    Conversion conv;
    const qsizetype n = format.size();
    for (; p < n; ++p) {
        const QChar f = format.at(p);
        if (f == u'-')
            conv.leftAlign = true;
        else if (f == u'+')
            conv.plusSign = true;
        else if (f == u' ')
            conv.spaceSign = true;
        else if (f == u'#')
            conv.alternate = true;
        else if (f == u'0')
            conv.zeroPad = true;
        else if (f == u'\'') {
        } // grouping is never applied to these texts
        else
            break;
    }
    if (p < n && format.at(p) == u'*') {
        ++p;
        const qsizetype index = next++;
        const int w = index < args.size() ? int(std::clamp<qint64>(integerOf(args.at(index)), -100000, 100000)) : 0;
        if (w < 0) {
            conv.leftAlign = true;
            conv.width = -w;
        } else {
            conv.width = w;
        }
    } else {
        conv.width = readNumber(format, p);
    }
    if (p < n && format.at(p) == u'.') {
        ++p;
        if (p < n && format.at(p) == u'*') {
            ++p;
            const qsizetype index = next++;
            conv.precision = index < args.size() ? int(std::clamp<qint64>(integerOf(args.at(index)), -1, 100000)) : -1;
        } else {
            conv.precision = qMax(0, readNumber(format, p));
        }
    }
    while (p < n) {
        const QChar l = format.at(p);
        if (l == u'h')
            conv.lengthBits = conv.lengthBits == 16 ? 8 : 16;
        else if (l == u'l' || l == u'q' || l == u'j' || l == u'z' || l == u't')
            conv.lengthBits = 64;
        else if (l == u'L') {
        } else
            break;
        ++p;
    }
    return conv;
}

// What a conversion character makes of its argument; None for a character
// this formatter does not know.
enum class Form { None, Text, Integer, Floating, Character };

Form formOf(QChar conversion)
{
    switch (conversion.unicode()) {
    case '@':
    case 's':
    case 'S': return Form::Text;
    case 'd':
    case 'i':
    case 'u':
    case 'o':
    case 'x':
    case 'X':
    case 'p':
    case 'D':
    case 'U':
    case 'O': return Form::Integer;
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A': return Form::Floating;
    case 'c':
    case 'C': return Form::Character;
    default: return Form::None;
    }
}

QString convert(Conversion conv, QChar conversion, Form form, const QVariant &arg)
{
    switch (form) {
    case Form::Text: {
        QString text = textOf(arg);
        if ((conversion == u's' || conversion == u'S') && conv.precision >= 0) text.truncate(conv.precision);
        return pad(conv, text, false);
    }
    case Form::Integer:
        if (conversion == u'D' || conversion == u'U' || conversion == u'O') { // old forms of %ld, %lu, %lo
            conv.lengthBits = 64;
            conversion = conversion.toLower();
        }
        return formatInteger(conv, conversion, arg);
    case Form::Floating: return formatFloating(conv, conversion, arg.toDouble());
    case Form::Character: {
        char32_t code = arg.metaType().id() == QMetaType::QChar ? arg.toChar().unicode() : char32_t(integerOf(arg));
        // A value that is no code point would leave broken UTF-16 in the text.
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
        return pad(conv, code ? QString::fromUcs4(&code, 1) : QString(), false);
    }
    case Form::None: break;
    }
    Q_ASSERT(false);
    return QString();
}

} // namespace

QString formatString(const QString &format, const QVariantList &args)
{
    QString out;
    out.reserve(format.size() + 16 * args.size());
    qsizetype next = 0; // the next argument taken in order
    const qsizetype n = format.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype percent = format.indexOf(u'%', i);
        if (percent < 0) {
            out.append(QStringView(format).mid(i));
            break;
        }
        out.append(QStringView(format).mid(i, percent - i));
        qsizetype p = percent + 1;
        if (p < n && format.at(p) == u'%') {
            out.append(u'%');
            i = p + 1;
            continue;
        }

        // %[n$][flags][width][.precision][length]conversion
        qsizetype position = -1;
        {
            qsizetype q = p;
            const int number = readNumber(format, q);
            if (number > 0 && q < n && format.at(q) == u'$') {
                position = number - 1;
                p = q + 1;
            }
        }
        const Conversion conv = readConversion(format, p, args, next);
        if (p >= n) {
            // An unfinished placeholder at the end stands as written.
            out.append(QStringView(format).mid(percent));
            break;
        }
        const QChar conversion = format.at(p);
        i = p + 1;
        const Form form = formOf(conversion);
        if (form == Form::None) {
            // Not a conversion this formatter knows: keep the text as written.
            out.append(QStringView(format).mid(percent, i - percent));
            continue;
        }
        const qsizetype index = position >= 0 ? position : next++;
        if (index < args.size()) out.append(convert(conv, conversion, form, args.at(index)));
    }
    return out;
}

} // namespace cv
