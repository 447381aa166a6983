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

// Where the line that starts at `pos` ends: the first line end outside
// quotes; a quote that stays open to the end of the file spans no line end.
// Whether a tab stands outside quotes in it.
std::pair<qsizetype, bool> lineEnd(QByteArrayView data, qsizetype pos)
{
    for (bool spanning : {true, false}) { // spanning line ends, then (a quote left open) not
        bool quoted = false;
        bool tab = false;
        qsizetype end = pos;
        for (; end < data.size(); ++end) {
            const char c = data[end];
            if (c == '"')
                quoted = !quoted;
            else if (!quoted && endsLine(uchar(c)))
                break;
            else if (!spanning && endsLine(uchar(c)))
                break;
            else if (!quoted && c == '\t')
                tab = true;
        }
        if (!quoted || !spanning) return {end, tab};
    }
    return {data.size(), false}; // not reached: the second pass always answers
}

} // namespace

void forEachDelimitedLine(QByteArrayView data, DelimitedFields mode,
                          const std::function<bool(const DelimitedLine &, qsizetype)> &line)
{
    const qsizetype size = data.size();
    qsizetype pos = 0;
    qsizetype number = 1;
    DelimitedLine fields;
    QByteArray field;
    while (pos < size) {
        for (; pos < size && endsLine(uchar(data[pos])); ++pos) number += breaksLine(data, pos);
        if (pos >= size) break;
        const auto [end, tabbed] = lineEnd(data, pos);
        const qsizetype first = number;
        fields.clear();
        field.clear();
        bool quoted = false;
        auto endField = [&] {
            if (mode == DelimitedFields::Positional || !field.isEmpty()) fields.append(field);
            field.clear();
        };
        for (; pos < end; ++pos) {
            const char c = data[pos];
            if (c == '"') {
                quoted = !quoted;
            } else if (quoted) {
                field.append(c);
                number += breaksLine(data, pos);
            } else if (c == '\t' || (c == ',' && !tabbed)) {
                endField();
            } else if (uchar(c) > 0x20) {
                field.append(c);
            }
        }
        endField();
        if (!line(fields, first)) return;
    }
}

std::vector<DelimitedLine> splitDelimitedLines(QByteArrayView data, DelimitedFields mode)
{
    std::vector<DelimitedLine> lines;
    forEachDelimitedLine(data, mode, [&](const DelimitedLine &fields, qsizetype) {
        lines.push_back(fields);
        return true;
    });
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
