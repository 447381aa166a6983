#include "platform/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <type_traits>

namespace cv {

namespace {

// Longer than any double can need in any notation; precision is capped so
// that a wild argument cannot ask for megabytes of zeros.
constexpr int kMaxDecimals = 1100;

bool isCSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// The text without C blanks at either end, as ASCII; none when it holds
// anything outside ASCII (no digit of another script is a number here).
std::optional<std::string> trimmedAscii(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isCSpace(text.at(begin).unicode())) ++begin;
    while (end > begin && isCSpace(text.at(end - 1).unicode())) --end;
    std::string out;
    out.reserve(size_t(end - begin));
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c > 0x7f) return std::nullopt;
        out.push_back(char(c));
    }
    return out;
}

// strtod and strtol accept one leading "+", which from_chars does not.
const char *skipPlus(const std::string &s)
{
    const char *p = s.data();
    if (!s.empty() && s.front() == '+') {
        ++p;
        if (s.size() > 1 && (s[1] == '+' || s[1] == '-')) return nullptr;
    }
    return p;
}

// A decimal number split into its digits: value = 0.digits x 10^pointPos,
// with no leading or trailing zeros in `digits` (empty for zero).
struct Decimal {
    bool negative = false;
    std::string digits;
    long long pointPos = 0;
};

std::optional<Decimal> parseDecimal(const std::string &s)
{
    Decimal d;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        d.negative = s[i] == '-';
        ++i;
    }
    std::string all;
    long long intDigits = 0;
    bool any = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        all.push_back(s[i++]);
        ++intDigits;
        any = true;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            all.push_back(s[i++]);
            any = true;
        }
    }
    if (!any) return std::nullopt;
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            negativeExponent = s[i] == '-';
            ++i;
        }
        if (i >= s.size() || s[i] < '0' || s[i] > '9') return std::nullopt;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            // Saturate: an absurd exponent is far outside anything a double holds.
            exponent = std::min<long long>(exponent * 10 + (s[i] - '0'), 1000000000LL);
            ++i;
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (i != s.size()) return std::nullopt;

    const size_t first = all.find_first_not_of('0');
    if (first == std::string::npos) return d; // zero
    const size_t last = all.find_last_not_of('0');
    d.digits = all.substr(first, last - first + 1);
    d.pointPos = intDigits - static_cast<long long>(first) + exponent;
    return d;
}

// Adds one unit in the last place of a string of decimal digits.
void increment(std::string &digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The whole trimmed text as one number, or none.
template <class T> std::optional<T> parseWhole(QStringView text)
{
    const std::optional<std::string> s = trimmedAscii(text);
    if (!s || s->empty()) return std::nullopt;
    const char *p = skipPlus(*s);
    if (!p) return std::nullopt;
    const char *end = s->data() + s->size();
    T value = 0;
    std::from_chars_result res;
    if constexpr (std::is_floating_point_v<T>)
        res = std::from_chars(p, end, value, std::chars_format::general);
    else
        res = std::from_chars(p, end, value);
    if (res.ec != std::errc() || res.ptr != end) return std::nullopt;
    return value;
}

} // namespace

QString formatFixed(double value, int decimals)
{
    const int precision = std::clamp(decimals, 0, kMaxDecimals);
    std::string buf(size_t(precision) + 400, '\0');
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, precision);
    return QString::fromLatin1(buf.data(), res.ptr - buf.data());
}

QString formatInt(long long value)
{
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, res.ptr - buf);
}

std::optional<double> parseDouble(QStringView text)
{
    return parseWhole<double>(text);
}

std::optional<long long> parseInt(QStringView text)
{
    return parseWhole<long long>(text);
}

std::optional<QString> roundDownText(QStringView text, int digits)
{
    const std::optional<std::string> s = trimmedAscii(text);
    if (!s) return std::nullopt;
    const std::optional<Decimal> d = parseDecimal(*s);
    // Beyond 10^400 no double could ever have held it; refuse rather than
    // write hundreds of digits.
    if (!d || d->pointPos > 400) return std::nullopt;
    const int n = std::clamp(digits, 0, kMaxDecimals);
    const long long length = static_cast<long long>(d->digits.size());

    // Integer digits, then the n kept fraction digits.
    std::string kept;
    const long long intLength = std::max<long long>(d->pointPos, 0);
    kept.reserve(size_t(intLength + n + 1));
    for (long long k = 0; k < intLength; ++k) kept.push_back(k < length ? d->digits[size_t(k)] : '0');
    for (long long j = 0; j < n; ++j) {
        const long long k = d->pointPos + j;
        kept.push_back(k >= 0 && k < length ? d->digits[size_t(k)] : '0');
    }
    // Digits carry no trailing zeros, so anything past the kept places is non-zero.
    const bool cutSomething = length > d->pointPos + n;
    if (d->negative && cutSomething) increment(kept); // toward minus infinity

    std::string integer = kept.substr(0, kept.size() - size_t(n));
    const std::string fraction = kept.substr(kept.size() - size_t(n));
    const size_t firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? std::string("0") : integer.substr(firstNonZero);
    const bool zero = integer == "0" && fraction.find_first_not_of('0') == std::string::npos;

    std::string out;
    if (d->negative && !zero) out.push_back('-');
    out += integer;
    if (n > 0) {
        out.push_back('.');
        out += fraction;
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString roundDownFixed(double value, int digits)
{
    if (!std::isfinite(value)) return formatFixed(value, digits);
    // The "%f" text first: it rounds away the binary noise below a millionth
    // (999.9599999999999 reads 999.960000) before the digits are cut.
    return roundDownText(formatFixed(value, 6), digits).value_or(formatFixed(value, digits));
}

double roundDown(double value, int digits)
{
    if (!std::isfinite(value)) return value;
    return parseDouble(roundDownFixed(value, digits)).value_or(value);
}

} // namespace cv
