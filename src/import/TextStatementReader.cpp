#include "import/TextStatementReader.h"

#include "import/DelimitedText.h"
#include "import/PendingRows.h"
#include "import/StatementValues.h"

#include <QString>

#include <algorithm>

namespace cv {

using namespace Qt::StringLiterals;

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

TextHead textHeadOf(const QString &head)
{
    // clang-format off
    static const std::pair<TextHead, QStringList> words[] = {
        {TextHead::Balance, {u"残高"_s, u"balance"_s}},
        // A card's charges ("ご利用金額") leave the account.
        {TextHead::Expense,
         {u"出金"_s, u"引出"_s, u"引き出"_s, u"支払"_s, u"支出"_s, u"利用金額"_s, u"利用額"_s, u"請求"_s, u"withdrawal"_s,
          u"debit"_s, u"payment"_s, u"paid out"_s, u"money out"_s, u"charge"_s}},
        {TextHead::Income,
         {u"入金"_s, u"預入"_s, u"預け入"_s, u"預り"_s, u"収入"_s, u"deposit"_s, u"credit"_s, u"paid in"_s, u"money in"_s}},
        {TextHead::Amount, {u"金額"_s, u"amount"_s}},
    };
    // clang-format on
    // Blanks outside quotes are dropped with the field's: "Paid in" may come as "Paidin".
    const QString plain = QString(head).remove(u' ');
    for (const auto &[kind, list] : words)
        for (const QString &word : list)
            if (plain.contains(QString(word).remove(u' '), Qt::CaseInsensitive)) return kind;
    return TextHead::Other;
}

namespace {

// Heads stand this near the top: below it a line naming a date is a row.
constexpr qsizetype kHeadingSearch = 12;

// Whether the fields are column heads: one names a date ("日付", "ご利用日",
// "Date") and one an amount; on the file's first line an amount is enough
// ("Posted,Payee,Debit,Credit").
bool isHeading(const QStringList &heads, bool firstLine)
{
    if (heads.size() < 3 || parseStatementDate(heads.front())) return false;
    bool date = false, amount = false;
    for (const QString &head : heads) {
        date |= head.contains(u'日') || head.contains(u"date"_s, Qt::CaseInsensitive);
        const TextHead kind = textHeadOf(head);
        amount |= kind == TextHead::Amount || kind == TextHead::Income || kind == TextHead::Expense;
    }
    return amount && (date || firstLine);
}

} // namespace

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
    // A line is named once, even when control bytes split it into more.
    auto unread = [&](qsizetype line) {
        const bool named = (!read.unreadLines.empty() && read.unreadLines.back() == line) || read.headingLine == line;
        if (!named) read.unreadLines.push_back(int(line));
        return true;
    };
    forEachDelimitedLine(data, DelimitedFields::Positional, [&](const DelimitedLine &fields, qsizetype line) {
        if (std::all_of(fields.begin(), fields.end(), [](const QByteArray &f) { return f.isEmpty(); })) return true;
        if (read.headingLine == 0 && line <= kHeadingSearch) {
            QStringList heads;
            for (const QByteArray &field : fields)
                heads << text.decode(field).normalized(QString::NormalizationForm_KC).trimmed();
            if (isHeading(heads, read.rows.empty() && read.unreadLines.empty())) {
                // The preamble above the heads gives no rows.
                for (size_t i = 0; i < read.rows.size(); ++i) read.unreadLines.push_back(read.rowLines[i]);
                std::sort(read.unreadLines.begin(), read.unreadLines.end());
                read.unreadLines.erase(std::unique(read.unreadLines.begin(), read.unreadLines.end()),
                                       read.unreadLines.end());
                std::erase(read.unreadLines, int(line)); // its start, split off by a control byte
                read.rows.clear();
                read.categoryTexts.clear();
                read.rowLines.clear();
                while (!heads.isEmpty() && heads.back().isEmpty()) heads.removeLast();
                read.headingLine = line;
                read.heads = heads;
                return true;
            }
        }
        if (fields.size() < 3) return unread(line);
        const std::optional<QDate> date = parseStatementDate(text.decode(fields[0]));
        if (!date) return unread(line);
        auto amount = [&](qsizetype at) {
            return at < fields.size() && !fields[at].isEmpty() ? parseTextAmount(text.decode(fields[at])).value_or(0)
                                                               : 0.0;
        };
        const double income = amount(2);
        const double expense = amount(3);
        if (income == 0 && expense == 0) return unread(line);
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
        read.rowLines.push_back(int(line));
        return true;
    });
    return read;
}

} // namespace cv
