#pragma once

#include "platform/Localization.h"

#include <QString>

namespace cv {

// Reports show amounts of a currency without fraction digits (or of no
// currency) whole, others with cents. Any currency with fraction() and
// any formatter with setFormat(QString) will do.
template <class Currency, class Formatter> void setReportFormat(const Currency *currency, Formatter &formatter)
{
    const bool whole = !currency || currency->fraction() == 0;
    formatter.setFormat(
        cv::localizedString(whole ? QStringLiteral("Report-Format-Int") : QStringLiteral("Report-Format-Fraction")));
}

} // namespace cv
