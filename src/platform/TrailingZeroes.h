#pragma once

#include <QString>

namespace cv {

// A number text without the zeros ending its fraction nor a point left at the
// end; a text with exactly two fraction digits, the first not "0", is kept.
QString stringWithoutTrailingZeroes(const QString &text);

} // namespace cv
