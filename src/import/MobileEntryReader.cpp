#include "import/MobileEntryReader.h"

#include "import/DelimitedText.h"
#include "import/EncodingGuess.h"
#include "import/PendingRows.h"
#include "import/StatementValues.h"
#include "import/TextDecoder.h"

namespace cv {

QString decodeMobileFile(QByteArrayView data)
{
    return decodeText(data, guessEncoding(data));
}

std::vector<MobileEntry> readMobileEntries(QByteArrayView data)
{
    std::vector<MobileEntry> rows;
    const QString text = decodeMobileFile(data);
    for (const QStringList &fields : splitCsvLines(text)) {
        if (fields.size() < 4) continue;
        const std::optional<QDate> date = parseStatementDate(fields[0]);
        if (!date) continue;
        auto amount = [&](qsizetype at) {
            return at < fields.size() && !fields[at].isEmpty() ? parseStatementAmount(fields[at]).value_or(0) : 0.0;
        };
        const double income = amount(3);
        const double expense = amount(4);
        if (income == 0 && expense == 0) continue;
        auto entry = std::make_shared<Entry>();
        entry->setIdent(-1);
        entry->setDate(*date);
        if (fields.size() > 5) entry->setMemo(fields[5]);
        if (income == 0) {
            entry->setKind(cv::EntryKind::Expense);
            entry->setAmount(expense);
            entry->setFlags(PendingOutgoing);
        } else {
            entry->setKind(cv::EntryKind::Income);
            entry->setAmount(income);
        }
        rows.push_back({fields[1], fields[2], std::move(entry)});
    }
    return rows;
}

} // namespace cv
