#pragma once
// Report texts are cut to their column's width, never across a character
// the reader sees as one.

#include <QPointF>
#include <QString>

namespace cv {

class Canvas;

// Left-justified text in a column of a 14-point row whose top-left is `at`:
// where it is wider than the column it is set a little smaller, and cut at
// its tail with "…" only if that is not enough, so a long name or a memo in
// wide letters never runs into the next column.
void drawInColumn(Canvas &canvas, const QString &text, const QPointF &at, double width);

} // namespace cv
