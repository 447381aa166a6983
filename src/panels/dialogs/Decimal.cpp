#include "panels/dialogs/Decimal.h"

namespace cv {

namespace {

std::optional<__int128> pow10(int n)
{
    __int128 value = 1;
    for (int i = 0; i < n; ++i)
        if (__builtin_mul_overflow(value, __int128(10), &value)) return std::nullopt;
    return value;
}

__int128 magnitude(__int128 value)
{
    return value < 0 ? -value : value;
}

} // namespace

std::optional<Decimal> Decimal::fromString(const QString &text)
{
    QString digits = text.trimmed();
    bool negative = false;
    if (digits.startsWith(QLatin1Char('-'))) {
        negative = true;
        digits.remove(0, 1);
    }
    if (digits.isEmpty()) return std::nullopt;
    __int128 mantissa = 0;
    int scale = 0;
    bool point = false;
    bool anyDigit = false;
    for (const QChar c : digits) {
        if (c == QLatin1Char('.')) {
            if (point) return std::nullopt;
            point = true;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        anyDigit = true;
        if (point && scale == kMaxScale) continue; // beyond the places kept
        if (__builtin_mul_overflow(mantissa, __int128(10), &mantissa)) return std::nullopt;
        mantissa += c.unicode() - '0';
        if (point) ++scale;
    }
    if (!anyDigit) return std::nullopt;
    return Decimal(negative ? -mantissa : mantissa, scale).normalized();
}

Decimal Decimal::normalized() const
{
    Decimal d = *this;
    while (d.m_scale > 0 && d.m_mantissa % 10 == 0) {
        d.m_mantissa /= 10;
        --d.m_scale;
    }
    if (d.m_mantissa == 0) d.m_scale = 0;
    return d;
}

std::optional<Decimal> Decimal::rescaled(int scale) const
{
    if (scale < m_scale) return std::nullopt;
    const auto factor = pow10(scale - m_scale);
    __int128 mantissa = 0;
    if (!factor || __builtin_mul_overflow(m_mantissa, *factor, &mantissa)) return std::nullopt;
    return Decimal(mantissa, scale);
}

std::optional<Decimal> Decimal::operator+(const Decimal &other) const
{
    const int scale = std::max(m_scale, other.m_scale);
    const auto a = rescaled(scale);
    const auto b = other.rescaled(scale);
    __int128 sum = 0;
    if (!a || !b || __builtin_add_overflow(a->m_mantissa, b->m_mantissa, &sum)) return std::nullopt;
    return Decimal(sum, scale).normalized();
}

std::optional<Decimal> Decimal::operator-(const Decimal &other) const
{
    return *this + other.negated();
}

std::optional<Decimal> Decimal::operator*(const Decimal &other) const
{
    __int128 product = 0;
    if (__builtin_mul_overflow(m_mantissa, other.m_mantissa, &product)) return std::nullopt;
    const int scale = m_scale + other.m_scale;
    if (scale <= kMaxScale) return Decimal(product, scale).normalized();
    // Too many places: round the surplus away.
    Decimal wide(product, 0);
    wide.m_scale = scale; // only read by rounded(), which divides the surplus off
    return wide.rounded(kMaxScale, Rounding::HalfAwayFromZero);
}

std::optional<Decimal> Decimal::operator/(const Decimal &other) const
{
    if (other.m_mantissa == 0) return std::nullopt;
    // (a / 10^sa) / (b / 10^sb) = (a * 10^sb) / (b * 10^sa), long division
    // digit by digit so that no intermediate grows past the divisor times 10.
    const auto sb = pow10(other.m_scale);
    const auto sa = pow10(m_scale);
    if (!sa || !sb) return std::nullopt;
    __int128 numerator = 0;
    __int128 divisor = 0;
    if (__builtin_mul_overflow(magnitude(m_mantissa), *sb, &numerator)) return std::nullopt;
    if (__builtin_mul_overflow(magnitude(other.m_mantissa), *sa, &divisor)) return std::nullopt;
    __int128 quotient = numerator / divisor;
    __int128 rest = numerator % divisor;
    for (int i = 0; i <= kMaxScale; ++i) {
        __int128 shifted = 0;
        if (__builtin_mul_overflow(rest, __int128(10), &shifted)) return std::nullopt;
        const __int128 digit = shifted / divisor;
        rest = shifted % divisor;
        if (i == kMaxScale) {
            if (digit >= 5 && __builtin_add_overflow(quotient, __int128(1), &quotient)) return std::nullopt;
            break;
        }
        if (__builtin_mul_overflow(quotient, __int128(10), &quotient) ||
            __builtin_add_overflow(quotient, digit, &quotient))
            return std::nullopt;
    }
    const bool negative = (m_mantissa < 0) != (other.m_mantissa < 0);
    return Decimal(negative ? -quotient : quotient, kMaxScale).normalized();
}

bool Decimal::operator==(const Decimal &other) const
{
    const Decimal a = normalized();
    const Decimal b = other.normalized();
    return a.m_mantissa == b.m_mantissa && a.m_scale == b.m_scale;
}

Decimal Decimal::rounded(int places, Rounding mode) const
{
    if (places < 0) places = 0;
    if (m_scale <= places) return normalized();
    __int128 divisor = 1;
    for (int i = places; i < m_scale; ++i) divisor *= 10; // divides down, never overflows: m_scale is bounded
    __int128 whole = m_mantissa / divisor;                // truncated toward zero
    const __int128 rest = m_mantissa % divisor;
    if (rest != 0) {
        switch (mode) {
        case Rounding::HalfAwayFromZero:
            if (magnitude(rest) * 2 >= divisor) whole += m_mantissa < 0 ? -1 : 1;
            break;
        case Rounding::Floor:
            if (m_mantissa < 0) whole -= 1;
            break;
        case Rounding::Ceiling:
            if (m_mantissa > 0) whole += 1;
            break;
        case Rounding::TowardZero: break;
        }
    }
    return Decimal(whole, places).normalized();
}

QString Decimal::toString() const
{
    const Decimal d = normalized();
    __int128 value = magnitude(d.m_mantissa);
    QString digits;
    do {
        digits.prepend(QChar(char('0' + int(value % 10))));
        value /= 10;
    } while (value != 0);
    if (d.m_scale > 0) {
        while (digits.size() <= d.m_scale) digits.prepend(QLatin1Char('0'));
        digits.insert(digits.size() - d.m_scale, QLatin1Char('.'));
    }
    if (d.m_mantissa < 0) digits.prepend(QLatin1Char('-'));
    return digits;
}

} // namespace cv
