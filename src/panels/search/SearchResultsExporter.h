#pragma once
// The search results as Shift JIS text: one line per row ending in CR LF,
// values joined with TAB, no header and no quoting. A value's own TAB, CR or
// LF becomes a space so that lines and columns stay intact; a character
// without a Shift JIS form becomes "?" and is counted.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace cv {

class SearchResultsExporter {
public:
    struct Result {
        bool ok = false;
        int unmappable = 0;  // characters written as "?"
        QString errorString; // why the file was not written
    };

    static QByteArray encodeLine(const QStringList &values, int *unmappable = nullptr);
    // Writes the whole file or nothing: an existing file stays as it was on failure.
    static Result write(const QString &path, const std::vector<QStringList> &rows);
};

} // namespace cv
