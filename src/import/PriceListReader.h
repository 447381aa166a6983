#pragma once
// Lists of dated prices of one security, or dated rates of one currency:
// comma- or tab-separated lines in which the first field that is a date
// gives the date and every later non-empty field replaces the value (the
// last wins); a byte order mark (UTF-8, UTF-16) is honoured. Pure functions
// of the bytes; the caller says how a value is read, since that depends on
// the security's kind and currency.

#include "model/DatedPrice.h"

#include <QByteArrayView>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

namespace cv {

// A value's text to a number, or none when it is no number.
using PriceParser = std::function<std::optional<double>(QStringView text)>;

// In file order, two of one day included; a field that is no number ends
// its line with no value.
std::vector<DatedPricePtr> readPriceList(QByteArrayView data, const PriceParser &value);

// Prices and rates written without a currency's formatter: an optional
// leading currency prefix, "," passed over, then a C-locale number; none
// for anything else ("104.9x", "JPY").
std::optional<double> parseFundValue(QStringView text, QStringView prefix = {});

} // namespace cv
