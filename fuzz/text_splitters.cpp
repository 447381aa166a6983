// Feeds arbitrary bytes to the byte-level and character-level splitters and
// to the text statement, mobile entry and price list readers built on them.
#include "import/DelimitedText.h"
#include "import/MobileEntryReader.h"
#include "import/PriceListReader.h"
#include "import/TextStatementReader.h"

#include <QLoggingCategory>

#include <algorithm>
#include <functional>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool ok, const char *what)
{
    if (ok) return;
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("corvane.*=false\nqt.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    qsizetype fieldBytes = 0;
    for (cv::DelimitedFields mode : {cv::DelimitedFields::Positional, cv::DelimitedFields::SkipEmpty}) {
        for (const cv::DelimitedLine &line : cv::splitDelimitedLines(bytes, mode))
            for (const QByteArray &field : line) {
                require(mode == cv::DelimitedFields::Positional || !field.isEmpty(), "an empty field was kept");
                fieldBytes += field.size();
            }
    }
    require(fieldBytes <= 2 * bytes.size(), "the fields hold more bytes than the file");
    const QString text = cv::decodeMobileFile(bytes);
    for (const QStringList &line : cv::splitCsvLines(text)) require(!line.isEmpty(), "a line without fields");

    for (cv::TextEncoding encoding :
         {cv::TextEncoding::Utf8, cv::TextEncoding::ShiftJis, cv::TextEncoding::EucJp, cv::TextEncoding::Windows1252}) {
        const cv::TextStatementRead read = cv::readTextStatement(bytes, encoding);
        require(read.rows.size() == size_t(read.categoryTexts.size()) && read.rows.size() == read.rowLines.size(),
                "a row without its category text or line");
        // A line not read is named once, and is not the heads'.
        const std::vector<int> &unread = read.unreadLines;
        require(std::adjacent_find(unread.begin(), unread.end(), std::greater_equal<int>()) == unread.end() &&
                    std::ranges::count(unread, int(read.headingLine)) == 0,
                "a line counted twice");
        for (const cv::EntryPtr &row : read.rows)
            require(row->date().isValid() && std::isfinite(row->amount()) && row->amount() != 0, "a bad statement row");
    }
    for (const cv::MobileEntry &row : cv::readMobileEntries(bytes))
        require(row.entry && row.entry->date().isValid() && std::isfinite(row.entry->amount()), "a bad mobile row");
    for (const cv::DatedPricePtr &value : cv::readPriceList(bytes, [](QStringView t) { return cv::parseFundValue(t); }))
        require(value->date().isValid() && std::isfinite(value->price()), "a bad price");
    return 0;
}
