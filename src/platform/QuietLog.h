#pragma once
// Plain lines on standard output, outside the logging categories.

#include <QString>
#include <QVariantList>

namespace cv {

// The formatted text and a line end on standard output.
void QuietLog(const QString &format, const QVariantList &args = {});

} // namespace cv
