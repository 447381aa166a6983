#include "import/PriceListReader.h"

#include "import/DelimitedText.h"
#include "import/StatementValues.h"
#include "import/TextDecoder.h"

#include <QString>

namespace cv {

std::optional<double> parseFundValue(QStringView input, QStringView prefix)
{
    QString text = input.trimmed().toString();
    if (!prefix.isEmpty() && text.startsWith(prefix)) text = text.mid(prefix.size()).trimmed();
    text.remove(QLatin1Char(','));
    return plainDecimal(text, true);
}

std::vector<DatedPricePtr> readPriceList(QByteArrayView data, const PriceParser &value)
{
    std::vector<DatedPricePtr> values;
    const std::optional<QByteArray> marked = utf8ByMark(data);
    if (marked) data = *marked;
    // Dates and numbers are ASCII in every encoding offered; the rest is never shown.
    TextDecoder decoder(marked || isValidUtf8(data) ? TextEncoding::Utf8 : TextEncoding::ShiftJis);
    forEachDelimitedLine(data, DelimitedFields::SkipEmpty, [&](const DelimitedLine &fields, const DelimitedSpan &) {
        std::optional<QDate> date;
        std::optional<double> price;
        for (const QByteArray &field : fields) {
            const QString text = decoder.decode(field);
            if (!date) {
                date = parseStatementDate(text);
                continue;
            }
            price = value ? value(text) : std::nullopt;
            if (!price) break;
        }
        if (!date || !price) return true;
        auto entry = std::make_shared<DatedPrice>();
        entry->setDate(*date);
        entry->setPrice(*price);
        values.push_back(std::move(entry));
        return true;
    });
    return values;
}

} // namespace cv
