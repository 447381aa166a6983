#include "import/TextStatementReader.h"

#include "import/DelimitedText.h"
#include "import/PendingRows.h"
#include "import/StatementValues.h"

#include <QString>

namespace cv {

std::optional<double> parseTextAmount(QStringView input)
{
    QString text = input.toString().normalized(QString::NormalizationForm_KC);
    text.remove(QLatin1Char(',')).remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
    if (!text.isEmpty() && (text.front().category() == QChar::Symbol_Currency || text.front() == QLatin1Char('\\')))
        text.remove(0, 1);
    // Bank exports write a debit as "1,234-".
    if (text.size() > 1 && text.back() == QLatin1Char('-') && text.front() != QLatin1Char('-')) {
        text.chop(1);
        text.prepend(QLatin1Char('-'));
    }
    return plainDecimal(text, false);
}

TextStatementRead readTextStatement(QByteArrayView data, TextEncoding encoding)
{
    TextStatementRead read;
    TextDecoder decoder(encoding);
    // A mark at the start decides the encoding; it is no part of the first date.
    const std::optional<QByteArray> marked = utf8ByMark(data);
    if (marked) {
        data = *marked;
        encoding = TextEncoding::Utf8;
    }
    TextDecoder utf8(TextEncoding::Utf8);
    TextDecoder &decoding = encoding == TextEncoding::Utf8 ? utf8 : decoder;
    // Only the file's start may carry a mark: a field that begins like one
    // is text of the chosen encoding, its first byte undecodable.
    struct {
        TextDecoder &decoder;
        QString decode(QByteArrayView field)
        {
            if (field.startsWith("\xEF\xBB\xBF") || field.startsWith("\xFF\xFE") || field.startsWith("\xFE\xFF"))
                return decoder.decode(field.first(1)) + decoder.decode(field.sliced(1));
            return decoder.decode(field);
        }
    } text{decoding};
    forEachDelimitedLine(data, DelimitedFields::Positional, [&](const DelimitedLine &fields) {
        if (fields.size() < 3) return true;
        const std::optional<QDate> date = parseStatementDate(text.decode(fields[0]));
        if (!date) return true;
        auto amount = [&](qsizetype at) {
            return at < fields.size() && !fields[at].isEmpty() ? parseTextAmount(text.decode(fields[at])).value_or(0)
                                                               : 0.0;
        };
        const double income = amount(2);
        const double expense = amount(3);
        if (income == 0 && expense == 0) return true;
        auto row = std::make_shared<Entry>();
        row->setIdent(-1);
        row->setDate(*date);
        row->setMemo(text.decode(fields[1]));
        if (income != 0) {
            row->setKind(cv::EntryKind::Income);
            row->setAmount(income);
        } else {
            row->setKind(cv::EntryKind::Expense);
            row->setAmount(expense);
            row->setFlags(PendingOutgoing);
        }
        QString category;
        for (qsizetype at = 4; at < fields.size(); ++at) {
            if (fields[at].isEmpty()) continue;
            category = text.decode(fields[at]);
            break;
        }
        read.rows.push_back(std::move(row));
        read.categoryTexts.append(category);
        return true;
    });
    return read;
}

} // namespace cv
