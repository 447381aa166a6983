#include "import/TextStatementReader.h"

#include "import/DelimitedText.h"
#include "import/PendingRows.h"
#include "import/StatementValues.h"
#include "platform/Localization.h"

#include <QString>

#include <algorithm>
#include <functional>
#include <optional>
#include <set>
#include <utility>

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

namespace {

// A word a head may hold, split once: Japanese as it is, Latin lower case.
struct HeadTerm {
    QString word;
    QStringList parts; // "paid out" is two
    QString joined;    // "paidout"

    HeadTerm(QString text) : word(std::move(text)), parts(word.split(u' ')), joined(parts.join(QString())) {}
};

// clang-format off
const std::pair<TextHead, std::vector<HeadTerm>> kHeadTerms[] = {
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

// The Latin amount words a word is made of, in order, the last one perhaps
// bent ("DEBITAMOUNT", "Debited", "Credito", "Charges") or followed by
// "amt" or a preset currency's code ("DEBITAMT", "AMOUNTUSD"); none when
// anything else is left ("Creditor", "Chargeable", "CREDITCARDNO",
// "PAYMENTREF"). No amount word starts another, so the first that fits is
// the only one.
std::vector<const HeadTerm *> amountWordsOf(QStringView word)
{
    static const QString tails[] = {u"amt"_s, u"jpy"_s, u"usd"_s, u"eur"_s, u"gbp"_s,
                                    u"chf"_s, u"aud"_s, u"nzd"_s, u"cad"_s};
    // French and Dutch name the parties so, as "Creditor" does.
    if (word == u"debiteur" || word == u"crediteur") return {};
    std::vector<const HeadTerm *> found;
    for (qsizetype at = 0; at < word.size();) {
        const HeadTerm *next = nullptr;
        for (const auto &[kind, terms] : kHeadTerms)
            for (const HeadTerm &term : terms)
                if (kind != TextHead::Balance && term.word.front().unicode() < 0x80 &&
                    word.sliced(at).startsWith(term.joined))
                    next = &term;
        if (!next) {
            const QStringView rest = word.sliced(at);
            const bool bent =
                !found.empty() && (rest == u"s" || rest == u"es" || rest == u"ed" || rest == u"o" || rest == u"os" ||
                                   (rest == u"d" && found.back()->joined.endsWith(u'e')) ||
                                   std::ranges::find(tails, rest) != std::end(tails));
            return bent ? found : std::vector<const HeadTerm *>{};
        }
        found.push_back(next);
        at += next->joined.size();
    }
    return found;
}

// A head's Latin words, lower case: "PaidIn" is two, "DEBITAMOUNT" one
// written in capitals.
struct HeadWords {
    QString head;
    QStringList words;
    std::vector<bool> capitals;

    explicit HeadWords(const QString &text) : head(text)
    {
        QString current;
        bool upper = true;
        for (qsizetype at = 0; at <= head.size(); ++at) {
            const QChar c = at < head.size() ? head[at] : QChar();
            const bool newWord = c.isUpper() && !current.isEmpty() && current.back().isLower();
            if (!c.isLetter() || newWord) {
                if (!current.isEmpty()) {
                    words << current.toLower();
                    capitals.push_back(upper && current.size() > 1);
                }
                current.clear();
                upper = true;
            }
            if (c.isLetter()) {
                current += c;
                upper &= !c.isLower();
            }
        }
    }

    // Japanese anywhere ("ご利用金額"); Latin as whole words, plural too
    // ("Date", "Withdrawals", "PaidIn"; not "update"). `Bent::Any` also
    // takes a word that starts with it or capitals run together that hold
    // it; `Bent::Amount` only a word made of amount words that starts with
    // it ("Debited", "Credito") or capitals made of them that hold it
    // ("DEBITAMOUNT", "PAIDOUT"; not "CREDITCARDNO").
    enum class Bent { No, Any, Amount };
    bool holds(const HeadTerm &term, Bent bent = Bent::No) const
    {
        if (term.word.front().unicode() >= 0x80) return head.contains(term.word);
        const QStringList &wanted = term.parts;
        for (qsizetype at = 0; at + wanted.size() <= words.size(); ++at) {
            bool same = true;
            for (qsizetype k = 0; k < wanted.size() && same; ++k) {
                const QString &got = words[at + k];
                same = got == wanted[k] || (k + 1 == wanted.size() && got.size() == wanted[k].size() + 1 &&
                                            got.startsWith(wanted[k]) && got.back() == u's');
            }
            if (same) return true;
        }
        if (bent == Bent::No) return false;
        for (qsizetype at = 0; at < words.size(); ++at) {
            if (!capitals[at] && (wanted.size() > 1 || !words[at].startsWith(term.word))) continue;
            if (bent == Bent::Any) {
                if (!capitals[at] || words[at].contains(term.joined)) return true;
                continue;
            }
            const std::vector<const HeadTerm *> made = amountWordsOf(words[at]);
            if (capitals[at] ? std::ranges::find(made, &term) != made.end() : !made.empty() && made.front() == &term)
                return true;
        }
        return false;
    }
};

TextHead textHeadOf(const HeadWords &head)
{
    for (const auto &[kind, list] : kHeadTerms)
        for (const HeadTerm &term : list)
            if (head.holds(term, kind == TextHead::Balance ? HeadWords::Bent::Any : HeadWords::Bent::Amount))
                return kind;
    return TextHead::Other;
}

} // namespace

TextHead textHeadOf(const QString &head)
{
    return textHeadOf(HeadWords(head));
}

namespace {

// Whether the fields are column heads: one names a date ("日付", "ご利用日",
// "Date") and one an amount, and none is a date or an amount (a summary
// "お支払日, 2026/03/27, 今回ご請求額, 14,759" is no heads); on the file's
// first line an amount is enough ("Posted,Payee,Debit,Credit").
bool isHeading(const QStringList &heads, bool firstLine)
{
    if (heads.size() < 3) return false;
    bool date = false, amount = false;
    for (const QString &head : heads) {
        if (parseStatementDate(head) || parseStatementAmount(head) || parseTextAmount(head)) return false;
        if (date && amount) continue;
        const HeadWords words(head);
        static const HeadTerm dateWord(u"date"_s);
        date = date || head.contains(u'日') || words.holds(dateWord);
        if (amount) continue;
        const TextHead kind = textHeadOf(words);
        amount = kind == TextHead::Amount || kind == TextHead::Income || kind == TextHead::Expense;
    }
    return amount && (date || firstLine);
}

// Heads of a summary: every amount head names a total ("入金合計",
// "Total credits", "Debit totals").
bool namesTotals(const QStringList &heads)
{
    static const HeadTerm total(u"total"_s);
    bool amounts = false;
    for (const QString &head : heads) {
        const HeadWords words(head);
        const TextHead kind = textHeadOf(words);
        if (kind != TextHead::Amount && kind != TextHead::Income && kind != TextHead::Expense) continue;
        if (!head.endsWith(u'計') && !words.holds(total)) return false;
        amounts = true;
    }
    return amounts;
}

// Dated lines above heading-like ones within the file's first lines may be
// an account's preamble (an opening balance); further down they are rows.
constexpr qsizetype kPreambleLines = 12;

// A memo that names a balance, a total or an amount carried, not a
// transaction; its blanks may be dropped ("Openingbalance").
bool namesBalance(const QString &memo)
{
    static const QString terms[] = {u"残高"_s,    u"繰越"_s,           u"合計"_s,           u"小計"_s,   u"月計"_s,
                                    u"balance"_s, u"broughtforward"_s, u"carriedforward"_s, u"opening"_s};
    const QString plain = memo.normalized(QString::NormalizationForm_KC).toLower().remove(u' ');
    if (std::ranges::any_of(terms, [&](const QString &term) { return plain.contains(term); })) return true;
    // These only where the memo starts with them: "TOTAL FITNESS CLUB",
    // "RECARGA SALDO" and "SOLDES" are shops and sales.
    static const QString starts[] = {u"subtotal"_s, u"b/f"_s, u"c/f"_s, u"saldo"_s};
    if (std::ranges::any_of(starts, [&](const QString &term) { return plain.startsWith(term); })) return true;
    if (plain.startsWith(u"solde")) return !plain.sliced(5).startsWith(u's');
    if (!plain.startsWith(u"total")) return false;
    QStringView rest = QStringView(plain).sliced(5); // "Total for January", "Totals:", "TOTAL 2025"
    if (rest.startsWith(u's')) rest = rest.sliced(1);
    return rest.isEmpty() || rest.startsWith(u"for") || rest.startsWith(u"of") || rest.front() == u':' ||
           rest.front().isDigit();
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
    std::vector<int> &unread = read.unreadLines; // sorted once at the end
    qsizetype headsLast = 0;                     // the heads' last line: a quoted head may hold a line break
    bool headsFixed = false;                     // a row was read below the heads
    struct {
        qsizetype first = 0, last = 0;
        QStringList fields;
    } waiting; // a heading-like line below rows: the heads only if a row follows
    // Rows as read; while no heads stand above them, heads below may still
    // set those of the first lines aside.
    struct Row {
        EntryPtr entry;
        QString category;
        qsizetype first, last, width;
    };
    std::vector<Row> rows;
    auto name = [&](qsizetype first, qsizetype last) {
        for (qsizetype line = first; line <= last; ++line) unread.push_back(int(line));
    };
    auto summarised = [&](const DelimitedSpan &span) {
        for (qsizetype line = span.firstLine; line <= span.lastLine; ++line) read.summaryLines.push_back(int(line));
    };
    // Where quotes leave a line in doubt: as many fields as the heads or a
    // row so far and, on a dated line, no text where the amounts stand; or
    // a date first and an amount where this layout has one.
    std::set<qsizetype> widths;
    DelimitedLayout layout;
    layout.fits = [&](const DelimitedLine &fields) {
        auto holdsText = [&](qsizetype at) {
            if (at >= fields.size() || fields[at].isEmpty()) return false;
            const QByteArray &field = fields[at]; // plain digits need no decoding
            if (std::ranges::all_of(field, [](char c) { return (c >= '0' && c <= '9') || c == ','; }) &&
                std::ranges::any_of(field, [](char c) { return c != ','; }))
                return false;
            return !parseTextAmount(text.decode(field));
        };
        if (fields.size() != read.heads.size() && !widths.contains(fields.size())) return false;
        return !(holdsText(2) || holdsText(3)) || !parseStatementDate(text.decode(fields[0]));
    };
    layout.isRow = [&](const DelimitedLine &fields) {
        auto amount = [&](qsizetype at) {
            return at < fields.size() && parseTextAmount(text.decode(fields[at])).value_or(0) != 0;
        };
        return fields.size() >= 3 && parseStatementDate(text.decode(fields[0])) && (amount(2) || amount(3));
    };
    bool seen = false;         // a line before this one held something
    qsizetype previousEnd = 0; // the last line handed on: a gap is a blank line
    bool inSummary = false;
    std::optional<size_t> naming; // the later heads that name the rows read now
    auto setAside = [&](const std::function<bool(const Row &)> &unlike) {
        std::erase_if(rows, [&](const Row &row) {
            const bool aside = unlike(row);
            if (aside) name(row.first, row.last);
            return aside;
        });
    };
    forEachDelimitedLine(
        data, DelimitedFields::Positional,
        [&](const DelimitedLine &fields, const DelimitedSpan &span) {
            if (span.firstLine > std::exchange(previousEnd, span.lastLine) + 1) inSummary = false;
            if (std::all_of(fields.begin(), fields.end(), [](const QByteArray &f) { return f.isEmpty(); })) {
                inSummary = false;
                return true;
            }
            const bool firstLine = !std::exchange(seen, true);
            const std::optional<QDate> date =
                fields.size() >= 3 ? parseStatementDate(text.decode(fields[0])) : std::nullopt;
            double income = 0, expense = 0;
            if (date) {
                auto amount = [&](qsizetype at) {
                    return at < fields.size() && !fields[at].isEmpty()
                               ? parseTextAmount(text.decode(fields[at])).value_or(0)
                               : 0.0;
                };
                income = amount(2);
                expense = amount(3);
            }
            if (!date || (income == 0 && expense == 0)) {
                QStringList heads; // of several words: their blanks kept
                const std::vector<DelimitedLine> kept =
                    splitDelimitedLines(span.bytes, DelimitedFields::Positional, DelimitedBlanks::Kept);
                for (const QByteArray &field : kept.empty() ? fields : kept.front())
                    heads << text.decode(field).normalized(QString::NormalizationForm_KC).trimmed();
                const bool heading = isHeading(heads, firstLine);
                if (heading) {
                    while (!heads.isEmpty() && heads.back().isEmpty()) heads.removeLast();
                    inSummary = false;
                    naming.reset();
                }
                // Heads of totals that head the rows above them are no summary's.
                auto headsRows = [&] {
                    if (!read.laterHeads.empty() && read.laterHeads.back().line > read.headingLine)
                        return read.laterHeads.back().heads == heads;
                    return read.headingLine > 0 && read.heads == heads;
                };
                if (inSummary || (heading && !rows.empty() && namesTotals(heads) && !headsRows())) {
                    // A month's total is no row of its own: stored, it would count the month twice.
                    if (waiting.first > 0) name(waiting.first, waiting.last);
                    waiting = {};
                    if (!inSummary && !headsFixed && span.firstLine <= kPreambleLines)
                        setAside([](const Row &row) { return namesBalance(row.entry->memo()); });
                    inSummary = true;
                    summarised(span);
                    return true;
                }
                // Until a row is read below them, the last heading-like line
                // is the heads; rows above it are dropped only in the
                // file's first lines.
                if (heading && !headsFixed && (rows.empty() || span.firstLine <= kPreambleLines)) {
                    if (rows.empty()) {
                        if (read.headingLine > 0) name(read.headingLine, headsLast);
                        read.headingLine = span.firstLine;
                        headsLast = span.lastLine;
                        read.heads = heads;
                    } else {
                        if (waiting.first > 0) name(waiting.first, waiting.last);
                        waiting = {span.firstLine, span.lastLine, heads};
                    }
                    return true;
                }
                if (heading && !rows.empty()) {
                    read.laterHeads.push_back({span.firstLine, heads});
                    naming = read.laterHeads.size() - 1;
                }
                name(span.firstLine, span.lastLine);
                return true;
            }
            if (inSummary) {
                summarised(span);
                return true;
            }
            if (waiting.first > 0) {
                // Rows above the heads unlike the first row below them (a
                // balance, another width, a later date) are a preamble's;
                // when every one is, the heads stand, else two exports were
                // pasted together and only the heads and those lines go.
                setAside([&](const Row &row) {
                    return row.width != fields.size() || row.entry->date() > *date || namesBalance(row.entry->memo());
                });
                if (rows.empty()) {
                    read.headingLine = waiting.first;
                    headsLast = waiting.last;
                    read.heads = std::move(waiting.fields);
                } else {
                    // The heads name the rows above them that no other heads name.
                    name(waiting.first, waiting.last);
                    const qsizetype after =
                        read.laterHeads.empty()
                            ? 0
                            : std::max<qsizetype>(read.laterHeads.back().line, read.laterHeads.back().lastRow);
                    const auto first = std::ranges::find_if(rows, [&](const Row &row) { return row.first > after; });
                    read.laterHeads.push_back(
                        {waiting.first, std::move(waiting.fields), first == rows.end() ? 0 : int(first->first)});
                    naming = read.laterHeads.size() - 1;
                }
                waiting = {};
            }
            headsFixed = read.headingLine > 0;
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
            if (naming) {
                TextLaterHeads &heads = read.laterHeads[*naming];
                if (heads.firstRow == 0) heads.firstRow = int(span.firstLine);
                heads.lastRow = int(span.firstLine);
            }
            rows.push_back({std::move(row), category, span.firstLine, span.lastLine, fields.size()});
            widths.insert(fields.size());
            return true;
        },
        DelimitedBlanks::Dropped, &layout);
    if (waiting.first > 0) name(waiting.first, waiting.last);
    std::erase_if(read.laterHeads, [](const TextLaterHeads &heads) { return heads.lastRow == 0; });
    for (Row &row : rows) {
        read.rows.push_back(std::move(row.entry));
        read.categoryTexts.append(row.category);
        read.rowLines.push_back(int(row.first));
    }
    // Every line is named once, even one that control bytes split, and never the heads'.
    std::sort(unread.begin(), unread.end());
    unread.erase(std::unique(unread.begin(), unread.end()), unread.end());
    if (read.headingLine > 0)
        std::erase_if(unread, [&](int line) { return line >= read.headingLine && line <= headsLast; });
    return read;
}

HeadsFit headsFit(const QStringList &heads)
{
    bool amounts = false, balance = false;
    bool category = false;
    for (qsizetype at = 0; at < heads.size(); ++at) {
        const TextHead kind = textHeadOf(heads[at]);
        amounts |= (kind == TextHead::Income && at != 2) || (kind == TextHead::Expense && at != 3);
        if (at >= 4 && !category && !heads[at].isEmpty()) {
            category = true; // the first head after the amounts is read as the category
            balance = kind == TextHead::Balance;
        }
    }
    return amounts ? HeadsFit::AmountsMisplaced : balance ? HeadsFit::BalanceAsCategory : HeadsFit::Fits;
}

QStringList textHeadsNotices(const TextStatementRead &read)
{
    QStringList notices;
    auto notice = [&](const char *key, qsizetype line, const QStringList &heads, QVariantList more = {}) {
        more.prepend(heads.join(localizedString("ImportText Head Separator")));
        more.prepend(int(line));
        more.append(localizedString("ImportText Layout"));
        notices << formatString(localizedString(key), more);
    };
    auto wholeFileKey = [](HeadsFit fit) {
        return fit == HeadsFit::AmountsMisplaced ? "ImportText Header Order" : "ImportText Header Balance";
    };
    if (const HeadsFit fit = read.headingLine > 0 ? headsFit(read.heads) : HeadsFit::Fits; fit != HeadsFit::Fits)
        notice(wholeFileKey(fit), read.headingLine, read.heads);
    const QStringList *before = read.headingLine > 0 ? &read.heads : nullptr;
    for (const TextLaterHeads &later : read.laterHeads) {
        const bool repeated = before && *before == later.heads;
        before = &later.heads;
        const HeadsFit fit = headsFit(later.heads);
        if (repeated || fit == HeadsFit::Fits) continue;
        if (later.firstRow < later.line) // found late: they name the rows above them too
            notice(wholeFileKey(fit), later.line, later.heads);
        else if (fit == HeadsFit::AmountsMisplaced)
            notice("ImportText Header Order Below", later.line, later.heads, {later.lastRow});
    }
    return notices;
}

} // namespace cv
