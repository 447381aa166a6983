#include "import/DelimitedText.h"

#include <iterator>
#include <optional>
#include <utility>

namespace cv {

namespace {

bool endsLine(unsigned char c)
{
    return c < 0x20 && c != '\t';
}

// Whether the byte at `at` starts a new line for the line count: LF, or
// CR not followed by LF.
bool breaksLine(QByteArrayView data, qsizetype at)
{
    return data[at] == '\n' || (data[at] == '\r' && (at + 1 >= data.size() || data[at + 1] != '\n'));
}

struct LineScan {
    qsizetype end = 0;      // the line-end byte after it, or the file's end
    qsizetype breaks = 0;   // line breaks inside quotes
    bool tab = false;       // a TAB stood outside quotes
    bool open = false;      // a quote did not close as a spanning field must
    qsizetype openFrom = 0; // where the quote left open at the line's end opened, else past the file
    bool doubt = false;     // a quote CSV and a hand-written file read apart
};

// Where CSV and hand-written files part ways, how a quote inside quotes is
// read: CSV first, each of the others where it fits the file better.
struct QuoteReading {
    bool doubledCloses;    // "TV 32"" before a separator closes, keeping one: an inch mark not doubled
    bool closesBeforeText; // "ACME"Ltd: the quote closes, the text up to the separator stays
};
constexpr QuoteReading kReadings[] = {{false, false}, {true, false}, {false, true}, {true, true}};

// One line from `pos` and its fields. `commas`: "," separates too;
// `spanning`: a line end inside quotes belongs to the field.
LineScan scanLine(QByteArrayView data, qsizetype pos, bool commas, bool spanning, DelimitedFields mode,
                  DelimitedBlanks blanks, QuoteReading reading, const DelimitedLayout *layout, DelimitedLine &fields)
{
    const qsizetype size = data.size();
    auto separates = [&](char c) { return c == '\t' || (commas && c == ','); };
    auto endsField = [&](qsizetype at) {
        while (at < size && data[at] == ' ') ++at;
        return at >= size || separates(data[at]) || endsLine(uchar(data[at]));
    };
    auto afterSeparator = [&](const QByteArray &text) {
        qsizetype at = text.size();
        while (at > 0 && text[at - 1] == ' ') --at;
        return at > 0 && separates(text[at - 1]);
    };
    // A line that gives a row by itself is never taken into a field: else
    // one quote left open would swallow rows up to a later inch mark.
    auto rowStartsAt = [&](qsizetype at) {
        if (!layout || !layout->isRow || at >= size || endsLine(uchar(data[at]))) return false;
        DelimitedLine alone;
        scanLine(data, at, commas, false, mode, blanks, kReadings[0], nullptr, alone);
        return layout->isRow(alone);
    };
    LineScan scan;
    fields.clear();
    QByteArray field;
    bool quoted = false;
    bool start = true;    // nothing but blanks read of the field yet
    bool crossed = false; // the quoted field holds a line break
    bool loose = false;   // and a quote not written as CSV writes it
    qsizetype opened = 0; // where the quoted field opened
    auto endField = [&] {
        if (mode == DelimitedFields::Positional || !field.isEmpty()) fields.append(field);
        field.clear();
        start = true;
    };
    qsizetype at = pos;
    for (; at < size; ++at) {
        const char c = data[at];
        if (quoted && c == '"') {
            qsizetype run = 1;
            while (at + run < size && data[at + run] == '"') ++run;
            // Odd quotes before the field's end close it and even ones
            // elsewhere are quotes, in any reading; the rest is in doubt,
            // but for a quote just after a separator, which opens a field in
            // the writer's mind and so closes nothing.
            const bool atEnd = endsField(at + run);
            const bool odd = run % 2 == 1;
            bool closes = atEnd && odd;
            if (atEnd ? !odd : odd && !afterSeparator(field)) {
                scan.doubt = true;
                closes = atEnd ? reading.doubledCloses : reading.closesBeforeText;
            }
            field.append(QByteArray(closes ? run / 2 : (run + 1) / 2, '"'));
            loose |= closes ? !atEnd || !odd : odd;
            quoted = !closes;
            at += run - 1;
        } else if (quoted && endsLine(uchar(c)) && !spanning) {
            break;
        } else if (quoted) {
            field.append(c);
            crossed |= endsLine(uchar(c));
            scan.breaks += breaksLine(data, at);
            if (endsLine(uchar(c)) && rowStartsAt(at + 1)) {
                scan.open = true;
                return scan;
            }
        } else if (endsLine(uchar(c))) {
            break;
        } else if (c == '"' && start) {
            opened = at;
            quoted = true;
            start = crossed = loose = false;
        } else if (separates(c)) {
            scan.tab |= c == '\t';
            endField();
        } else if (uchar(c) > 0x20) {
            field.append(c);
            start = false;
        } else if (blanks == DelimitedBlanks::Kept) {
            field.append(c);
        }
        // A line break stays in a field only when every quote in it is
        // written as CSV writes it: else a missing quote would join lines.
        if (spanning && crossed && loose) {
            scan.open = true;
            return scan;
        }
    }
    endField();
    scan.end = at;
    scan.open = quoted;
    scan.openFrom = quoted ? opened : size + 1;
    return scan;
}

// The line from `pos` in one reading of its quotes. Whether "," separates
// depends on a TAB outside quotes, and what is quoted on where fields
// start: read as commas first, then as tabs when that shows a TAB, or when
// a quote left open hid every TAB.
LineScan readLine(QByteArrayView data, qsizetype pos, DelimitedFields mode, DelimitedBlanks blanks,
                  QuoteReading reading, const DelimitedLayout *layout, DelimitedLine &fields, DelimitedLine &other)
{
    bool doubt = false;
    auto scan = [&](bool commas, DelimitedLine &into) {
        LineScan read = scanLine(data, pos, commas, true, mode, blanks, reading, layout, into);
        doubt |= read.doubt;
        if (read.open) read = scanLine(data, pos, commas, false, mode, blanks, reading, layout, into);
        doubt |= read.doubt;
        return read;
    };
    LineScan read = scan(true, fields);
    if (read.tab || read.open) {
        const LineScan tabbed = scan(false, other);
        if (read.tab || tabbed.tab) {
            read = tabbed;
            std::swap(fields, other);
        }
    }
    read.doubt = doubt;
    return read;
}

} // namespace

void forEachDelimitedLine(QByteArrayView data, DelimitedFields mode,
                          const std::function<bool(const DelimitedLine &, const DelimitedSpan &)> &line,
                          DelimitedBlanks blanks, const DelimitedLayout *layout)
{
    const qsizetype size = data.size();
    qsizetype pos = 0;
    qsizetype number = 1;
    DelimitedLine fields, other, tried;
    while (pos < size) {
        for (; pos < size && endsLine(uchar(data[pos])); ++pos) number += breaksLine(data, pos);
        if (pos >= size) break;
        LineScan read = readLine(data, pos, mode, blanks, kReadings[0], layout, fields, other);
        if (read.doubt) {
            // A reading that fits the file's layout, then one that leaves
            // no quote open (or opens it later), then one that gives a row;
            // CSV's on a tie. Whether a line gives a row is asked last: it
            // costs the most.
            auto fits = [&](const DelimitedLine &got) { return layout && layout->fits && layout->fits(got); };
            auto isRow = [&](const DelimitedLine &got) { return layout && layout->isRow && layout->isRow(got); };
            bool bestFits = fits(fields);
            std::optional<bool> bestRow;
            for (size_t at = 1; at < std::size(kReadings); ++at) {
                const LineScan candidate = readLine(data, pos, mode, blanks, kReadings[at], layout, tried, other);
                if (candidate.end == read.end && candidate.openFrom == read.openFrom && tried == fields) continue;
                const bool candidateFits = fits(tried);
                if (candidateFits != bestFits) {
                    if (!candidateFits) continue;
                } else if (candidate.openFrom != read.openFrom) {
                    if (candidate.openFrom < read.openFrom) continue;
                } else {
                    if (!bestRow) bestRow = isRow(fields);
                    if (*bestRow || !isRow(tried)) continue;
                }
                bestFits = candidateFits;
                bestRow.reset();
                read = candidate;
                std::swap(fields, tried);
            }
        }
        const DelimitedSpan span{number, number + read.breaks, data.sliced(pos, read.end - pos)};
        number = span.lastLine;
        pos = read.end;
        if (!line(fields, span)) return;
    }
}

std::vector<DelimitedLine> splitDelimitedLines(QByteArrayView data, DelimitedFields mode, DelimitedBlanks blanks)
{
    std::vector<DelimitedLine> lines;
    forEachDelimitedLine(
        data, mode,
        [&](const DelimitedLine &fields, const DelimitedSpan &) {
            lines.push_back(fields);
            return true;
        },
        blanks);
    return lines;
}

std::vector<QStringList> splitCsvLines(QStringView text)
{
    std::vector<QStringList> lines;
    const qsizetype size = text.size();
    auto isLineEnd = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    QStringList fields;
    QString field;
    bool quoted = false;
    bool lineHasText = false;
    auto endLine = [&] {
        fields.append(field);
        if (lineHasText) lines.push_back(fields);
        fields.clear();
        field.clear();
        lineHasText = false;
    };
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != QLatin1Char('"'))
                field.append(c);
            else if (i + 1 < size && text[i + 1] == QLatin1Char('"'))
                field.append(text[++i]);
            else
                quoted = false;
            continue;
        }
        if (isLineEnd(c)) {
            if (i + 1 < size && isLineEnd(text[i + 1])) ++i;
            endLine();
            continue;
        }
        lineHasText = true;
        if (c == QLatin1Char('"'))
            quoted = true;
        else if (c == QLatin1Char(','))
            fields.append(std::exchange(field, QString()));
        else
            field.append(c);
    }
    endLine();
    return lines;
}

} // namespace cv
