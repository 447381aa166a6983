#include "import/DelimitedText.h"

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
    qsizetype end = 0;    // the line-end byte after it, or the file's end
    qsizetype breaks = 0; // line breaks inside quotes
    bool tab = false;     // a TAB stood outside quotes
    bool open = false;    // a quote did not close as a spanning field must
};

// One line from `pos` and its fields. `commas`: "," separates too;
// `spanning`: a line end inside quotes belongs to the field.
LineScan scanLine(QByteArrayView data, qsizetype pos, bool commas, bool spanning, DelimitedFields mode,
                  DelimitedBlanks blanks, DelimitedLine &fields)
{
    const qsizetype size = data.size();
    auto separates = [&](char c) { return c == '\t' || (commas && c == ','); };
    auto endsField = [&](qsizetype at) {
        while (at < size && data[at] == ' ') ++at;
        return at >= size || separates(data[at]) || endsLine(uchar(data[at]));
    };
    LineScan scan;
    fields.clear();
    QByteArray field;
    bool quoted = false;
    bool start = true;    // nothing but blanks read of the field yet
    bool crossed = false; // the quoted field holds a line break
    bool loose = false;   // and a quote not written as CSV writes it
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
            // Quotes before the field's end close it; "12"" TV" and a writer's
            // unescaped "TV 32"" keep their inch marks.
            const bool closes = endsField(at + run);
            field.append(QByteArray(closes ? run / 2 : (run + 1) / 2, '"'));
            loose |= closes ? run % 2 == 0 : run % 2 == 1;
            quoted = !closes;
            at += run - 1;
        } else if (quoted && endsLine(uchar(c)) && !spanning) {
            break;
        } else if (quoted) {
            field.append(c);
            crossed |= endsLine(uchar(c));
            scan.breaks += breaksLine(data, at);
        } else if (endsLine(uchar(c))) {
            break;
        } else if (c == '"' && start) {
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
    return scan;
}

} // namespace

void forEachDelimitedLine(QByteArrayView data, DelimitedFields mode,
                          const std::function<bool(const DelimitedLine &, const DelimitedSpan &)> &line,
                          DelimitedBlanks blanks)
{
    const qsizetype size = data.size();
    qsizetype pos = 0;
    qsizetype number = 1;
    DelimitedLine fields, other;
    while (pos < size) {
        for (; pos < size && endsLine(uchar(data[pos])); ++pos) number += breaksLine(data, pos);
        if (pos >= size) break;
        // Whether "," separates depends on a TAB outside quotes, and what is
        // quoted on where fields start: read as commas first, then as tabs
        // when that shows a TAB, or when a quote left open hid every TAB.
        auto scan = [&](bool commas, DelimitedLine &into) {
            const LineScan read = scanLine(data, pos, commas, true, mode, blanks, into);
            return read.open ? scanLine(data, pos, commas, false, mode, blanks, into) : read;
        };
        LineScan read = scan(true, fields);
        if (read.tab || read.open) {
            const LineScan tabbed = scan(false, other);
            if (read.tab || tabbed.tab) {
                read = tabbed;
                std::swap(fields, other);
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
