#include "reports/ReportTextCut.h"

#include <QTextBoundaryFinder>

namespace cv {

namespace {

// Where the `count`-th character ends, or -1 when the text has no more.
qsizetype endOfCharacters(const QString &text, int count)
{
    if (count <= 0) return text.isEmpty() ? -1 : 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int seen = 0;
    while (finder.toNextBoundary() >= 0) {
        if (++seen == count) return finder.position() < text.size() ? finder.position() : -1;
    }
    return -1;
}

} // namespace

QString leadingCharacters(const QString &text, int count)
{
    const qsizetype end = endOfCharacters(text, count);
    return end < 0 ? text : text.left(end);
}

QString cutWithMark(const QString &text, int count, const QString &mark)
{
    const qsizetype end = endOfCharacters(text, count);
    return end < 0 ? text : text.left(end) + mark;
}

} // namespace cv
