#pragma once
// Report columns keep a fixed number of characters. A character is what the
// reader sees as one: a surrogate pair or a base letter with its combining
// marks is never split.

#include <QPointF>
#include <QString>

namespace cv {

class Canvas;

// The first `count` characters of the text; the text itself when not longer.
QString leadingCharacters(const QString &text, int count);
// The same, followed by `mark` when something was cut.
QString cutWithMark(const QString &text, int count, const QString &mark);

// Left-justified text in a column of a 14-point row whose top-left is `at`:
// where it is wider than the column it is set a little smaller, and cut at
// its tail with "…" only if that is not enough, so a long name or a memo in
// wide letters never runs into the next column.
void drawInColumn(Canvas &canvas, const QString &text, const QPointF &at, double width);

} // namespace cv
