#pragma once
// Dates and amounts of imported files. Nothing here follows the user's
// locale, and nothing guesses: a text that fits no rule is no value.

#include <QByteArrayView>
#include <QDate>
#include <QStringView>

#include <optional>

namespace cv {

// Dates of text files: a four-digit year first, as yyyy/M/d, yyyy-M-d,
// yyyy.M.d or the eight digits yyyyMMdd, blanks around and full-width forms
// allowed, years 1900-2099; anything else ("18/1/5", "1/5", "today",
// "May 1") is no date.
std::optional<QDate> parseStatementDate(QStringView text);

// Amounts of text files, whatever the currency: a sign ("-", "+", "▲" or
// "△") or parentheses, a currency sign or "円" before or after, "," or "."
// grouping (with both, the last one is the decimal mark; a lone "," followed
// by other than three digits is the decimal mark), full-width forms.
// "¥1,200" is 1200, "(1,200)" -1200, "12,50" 12.5; "1,2,3" or "abc" none.
std::optional<double> parseStatementAmount(QStringView text);

// What a reader's own clean-up leaves, read strictly: at most 64 characters,
// "-" (or "+" when plusSign) only first, otherwise digits and "."; read in
// the C locale and finite. "1.5" is 1.5; "", "1e3" or "1-2" none.
std::optional<double> plainDecimal(QStringView text, bool plusSign);

// OFX TRNAMT: blanks around skipped, then "-+0123456789." and ",": with
// both "," and "." the commas are dropped, with "," alone it is the decimal
// mark (OFX has no thousands separator); read in the C locale. "-1,234.00"
// is -1234, "-12,50" -12.5, "-1,234" -1.234; anything else in the value
// ("-1x0", "5 JPY") or no number gives none.
std::optional<double> parseOfxAmount(QByteArrayView text);
std::optional<double> parseOfxAmount(QStringView text);

// OFX DTPOSTED: blanks skipped, then eight ASCII digits yyyyMMdd forming a
// valid date of 1900-2099; any time and zone after them are ignored.
// "2008-5-1" or "200805" is no date.
std::optional<QDate> parseOfxDate(QByteArrayView text);
std::optional<QDate> parseOfxDate(QStringView text);

} // namespace cv
