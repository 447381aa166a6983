#pragma once
// Numbers in stored or exchanged text (SQL, XML, archives, logs that files
// rely on). None of these ever follows the user's locale: the point is always
// ".", there is no grouping, and the result is the same on every machine.

#include <QString>
#include <QStringView>

#include <optional>

namespace cv {

// As C printf "%.<decimals>f" in the C locale ("%.2f" for amounts, "%.6f" for
// prices, unit counts and rates). Non-finite values give "nan", "inf", "-inf".
QString formatFixed(double value, int decimals);

// As C printf "%d" / "%lld".
QString formatInt(long long value);

// Reads a decimal number as C strtod would in the C locale, except that the
// whole text must be the number: blanks around it and a leading "+" are
// allowed; an exponent, "inf" and "nan" are read; a decimal comma, grouping,
// hexadecimal forms or anything after the number answer none. So do empty
// text and numbers beyond the range of double.
std::optional<double> parseDouble(QStringView text);

// Reads a whole decimal integer the same way (blanks, "+"); a fraction,
// anything after the number or a value beyond 64 bits answers none.
std::optional<long long> parseInt(QStringView text);

// Rounds a decimal text down (toward minus infinity) to `digits` fraction
// digits, working on the digits themselves so that no binary fraction creeps
// in: "0.29" stays "0.29", "-1.231" gives "-1.24". The answer has exactly
// `digits` fraction digits (no point when 0); none when the text is no
// finite decimal number (as parseDouble reads it).
std::optional<QString> roundDownText(QStringView text, int digits);

// Rounds a value down to `digits` fraction digits by way of its "%f" text,
// so that 1000.03 - 0.07 (999.9599999999999...) gives 999.96. Non-finite
// values are answered as formatFixed writes them.
QString roundDownFixed(double value, int digits);
double roundDown(double value, int digits);

} // namespace cv
