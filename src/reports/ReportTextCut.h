#pragma once
// Report columns keep a fixed number of characters. A character is what the
// reader sees as one: a surrogate pair or a base letter with its combining
// marks is never split.

#include <QString>

namespace cv {

// The first `count` characters of the text; the text itself when not longer.
QString leadingCharacters(const QString &text, int count);
// The same, followed by `mark` when something was cut.
QString cutWithMark(const QString &text, int count, const QString &mark);

} // namespace cv
