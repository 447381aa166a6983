#include "import/DelimitedText.h"

#include <utility>

namespace cv {

namespace {

bool endsLine(unsigned char c)
{
    return c < 0x20 && c != '\t';
}

} // namespace

void forEachDelimitedLine(QByteArrayView data, DelimitedFields mode,
                          const std::function<bool(const DelimitedLine &)> &line)
{
    const qsizetype size = data.size();
    qsizetype pos = 0;
    DelimitedLine fields;
    QByteArray field;
    while (pos < size) {
        while (pos < size && endsLine(uchar(data[pos]))) ++pos;
        if (pos >= size) break;
        fields.clear();
        field.clear();
        bool quoted = false;
        auto endField = [&] {
            if (mode == DelimitedFields::Positional || !field.isEmpty()) fields.append(field);
            field.clear();
        };
        for (; pos < size && !endsLine(uchar(data[pos])); ++pos) {
            const char c = data[pos];
            if (c == '"')
                quoted = !quoted;
            else if (quoted)
                field.append(c);
            else if (c == ',' || c == '\t')
                endField();
            else if (uchar(c) > 0x20)
                field.append(c);
        }
        endField();
        if (!line(fields)) return;
    }
}

std::vector<DelimitedLine> splitDelimitedLines(QByteArrayView data, DelimitedFields mode)
{
    std::vector<DelimitedLine> lines;
    forEachDelimitedLine(data, mode, [&](const DelimitedLine &fields) {
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
