#pragma once
// Splitting statement and list files into lines and fields.
//
// Byte level (text statements, price and rate lists): a line ends at any
// byte below 0x20 other than TAB outside quotes, and runs of such bytes
// between lines are passed over (no empty lines); TAB ends a field, and so
// does "," in a line with no TAB outside quotes ("250,000" in a
// tab-separated file is one field). A double quote opens quoting only at
// the start of a field (blanks before it aside); anywhere else it is a
// character (an inch mark: Pipe 12" long). Inside quotes a doubled quote
// is one quote, odd quotes before the field's end (blanks, a separator, a
// line end or the file's end) close it keeping half of them, and a single
// quote elsewhere is a character. Where a hand-written file may mean
// otherwise (even quotes before the field's end: "TV 32"" is TV 32"; a
// quote followed by text, not just after a separator: "ACME"Ltd is
// ACMELtd), the reading that fits the caller's layout is taken, then the
// one that leaves no quote open at the line's end (or opens it latest),
// then one that gives a row, CSV's on a tie. A line break inside quotes
// belongs to the field when every quote of the field is written as CSV
// writes it, the field closes and no line it takes in gives a row by
// itself; else the line ends at it.
// Outside quotes bytes below 0x21 (so spaces) are dropped, unless blanks
// are kept. Lines have no length limit. Fields stay bytes: the caller
// decodes them in the encoding the user chose.
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

enum class DelimitedBlanks {
    Dropped, // "a b" unquoted gives "ab"
    Kept,    // blanks outside quotes stay: column heads of several words
};

using DelimitedLine = QList<QByteArray>;

// Where a line stands in the file: the file's lines it covers (from 1; LF,
// CR LF or CR end a line), more than one when a quoted field holds a line
// break, and its bytes as written.
struct DelimitedSpan {
    qsizetype firstLine = 0;
    qsizetype lastLine = 0;
    QByteArrayView bytes;
};

// What a reader knows of its file, asked only of lines whose quotes leave
// them in doubt and of lines a quoted line break would take in.
struct DelimitedLayout {
    std::function<bool(const DelimitedLine &)> fits;  // the reader's layout: its width, no text where amounts stand
    std::function<bool(const DelimitedLine &)> isRow; // the line gives a row by itself
};

// Hands the fields of each line and where it stands to `line` in file
// order; answering false stops the reading.
void forEachDelimitedLine(QByteArrayView data, DelimitedFields mode,
                          const std::function<bool(const DelimitedLine &, const DelimitedSpan &)> &line,
                          DelimitedBlanks blanks = DelimitedBlanks::Dropped, const DelimitedLayout *layout = nullptr);
std::vector<DelimitedLine> splitDelimitedLines(QByteArrayView data, DelimitedFields mode,
                                               DelimitedBlanks blanks = DelimitedBlanks::Dropped);

// Lines of the character-level form; a line with no characters is left out.
std::vector<QStringList> splitCsvLines(QStringView text);

} // namespace cv
