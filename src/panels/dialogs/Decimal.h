#pragma once
// An exact decimal number for the calculator: a 128-bit mantissa and a count
// of decimal places (at most kMaxScale). Sums of money stay exact; an
// operation that would overflow, or divide by zero, answers no value.

#include <QString>

#include <optional>

namespace cv {

class Decimal {
public:
    static constexpr int kMaxScale = 20;

    Decimal() = default;
    static Decimal fromInt(long long value) { return Decimal(value, 0); }
    // Plain decimal text: optional "-", digits, optional "." and digits. A
    // leading "." reads as "0.". Anything else answers no value.
    static std::optional<Decimal> fromString(const QString &text);

    std::optional<Decimal> operator+(const Decimal &other) const;
    std::optional<Decimal> operator-(const Decimal &other) const;
    std::optional<Decimal> operator*(const Decimal &other) const;
    // Rounded half away from zero at kMaxScale places; no value for 0.
    std::optional<Decimal> operator/(const Decimal &other) const;
    Decimal negated() const { return Decimal(-m_mantissa, m_scale); }
    bool operator==(const Decimal &other) const;

    enum class Rounding { HalfAwayFromZero, Floor, Ceiling, TowardZero };
    // To `places` decimals (0 for whole numbers).
    Decimal rounded(int places, Rounding mode) const;

    bool isZero() const { return m_mantissa == 0; }
    bool isNegative() const { return m_mantissa < 0; }
    // Shortest exact text: no trailing zeros after the point, "-" when negative.
    QString toString() const;

private:
    Decimal(__int128 mantissa, int scale) : m_mantissa(mantissa), m_scale(scale) {}
    Decimal normalized() const;
    // The same value at a larger scale; no value on overflow.
    std::optional<Decimal> rescaled(int scale) const;

    __int128 m_mantissa = 0; // the digits as one integer
    int m_scale = 0;         // places after the point, 0..kMaxScale
};

} // namespace cv
