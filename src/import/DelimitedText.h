#pragma once
// Splitting statement and list files into lines and fields.
//
// Byte level (text statements, price and rate lists): a line ends at any
// byte below 0x20 other than TAB outside quotes, and runs of such bytes
// between lines are passed over (no empty lines); a line break inside quotes
// belongs to the field, unless the quote stays open to the end of the file;
// TAB outside quotes ends a field, and so does "," in a line with no TAB
// outside quotes ("250,000" in a tab-separated file is one field); a double
// quote toggles quoting and is dropped; outside quotes bytes below 0x21 (so
// spaces) are dropped, inside quotes every byte stays. Lines have no length
// limit. Fields stay bytes: the caller decodes them in the encoding the user
// chose.
//
// Character level (mobile entry files): lines end at CR or LF outside
// quotes, and two line-end characters in a row end one line; "," separates
// fields; a double quote outside quotes opens quoting, inside quotes a
// doubled quote gives one quote and a single one closes; every other
// character, spaces included, belongs to the field.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

namespace cv {

enum class DelimitedFields {
    Positional, // every field keeps its position, empty ones included ("a,,b" gives 3)
    SkipEmpty,  // empty fields are left out ("a,,b" gives 2)
};

using DelimitedLine = QList<QByteArray>;

// Hands the fields of each line, and the number of the file's line it
// starts on (from 1; LF, CR LF or CR end a line), to `line` in file order;
// answering false stops the reading.
void forEachDelimitedLine(QByteArrayView data, DelimitedFields mode,
                          const std::function<bool(const DelimitedLine &, qsizetype)> &line);
std::vector<DelimitedLine> splitDelimitedLines(QByteArrayView data, DelimitedFields mode);

// Lines of the character-level form; a line with no characters is left out.
std::vector<QStringList> splitCsvLines(QStringView text);

} // namespace cv
