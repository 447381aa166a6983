#pragma once
// Comma- or tab-separated statements of one account: by position a date, a
// memo, an income, an expense, then (the first non-empty field after them)
// a category text. A file with a byte order mark (UTF-8, UTF-16) is read in
// that encoding whatever was chosen. Pure functions of the bytes: no window,
// no book.
//
// Rows: kind 0 income or 1 expense (flags PendingOutgoing), the amount as
// the file writes it, category and account 0; the import account and its
// rounding are the sheet's, so choosing the account after reading never
// changes what was read.

#include "import/TextDecoder.h"
#include "model/Entry.h"

#include <QByteArrayView>
#include <QStringList>

#include <optional>
#include <vector>

namespace cv {

// Heads that stand below rows and name the columns of some of the rows
// read: those below them up to the next heads, and those above them when
// the heads were found late, in the file's first lines.
struct TextLaterHeads {
    qsizetype line = 0;
    QStringList heads;             // as `TextStatementRead::heads`
    int firstRow = 0, lastRow = 0; // the lines of the first and last row they name
};

struct TextStatementRead {
    std::vector<EntryPtr> rows;   // in file order, owned
    QStringList categoryTexts;    // one per row, "" when the line had none
    qsizetype headingLine = 0;    // the line of column heads, 0 for none
    QStringList heads;            // its fields, trimmed and in their plain forms
    std::vector<int> rowLines;    // each row's line, from 1
    std::vector<int> unreadLines; // every other line that gave no row, each line of a quoted line break too
    std::vector<TextLaterHeads> laterHeads;
    std::vector<int> summaryLines; // a summary under its own heads below rows: never rows, not in unreadLines
};

// The heads are the last line above the first row below them whose fields
// name a date and an amount and hold no date or amount (exports put an
// account preamble or a summary above them), or a first line that names an
// amount. Dated lines above the heads in the file's first 12 lines unlike
// the first row below them (a memo naming a balance or an amount carried,
// another number of fields, a later date) are that preamble and are named,
// not read; when others stand there too, they stay rows and the heading-like
// line is named (two exports pasted together). Below those lines, or once a
// row stands below the heads, a heading-like line is named and every row is
// read. Heads below rows whose amount heads all name totals ("入金合計",
// "Total debits") head a summary: its lines, up to the next heads, a blank
// line or the end, give no rows, and no row above it is set aside for being
// unlike them. A line of nothing but empty fields counts as blank.
TextStatementRead readTextStatement(QByteArrayView data, TextEncoding encoding);

// What a column head of a bank's or card company's export names; heads
// vary, so by the words they hold (Latin ones as whole words, plurals too;
// an amount word also at the start of a word or inside capitals run
// together where only amount words or an ending stand beside it: "Debited",
// "Credito", "CREDITAMOUNT", not "Creditor" or "CREDITCARDNO").
enum class TextHead { Other, Amount, Income, Expense, Balance };
TextHead textHeadOf(const QString &head);

// How heads fit the layout read (date, memo, income, expense, category):
// income or expense elsewhere (a card's charges where income is read), or
// the amounts in place and only a balance where the category is read.
enum class HeadsFit { Fits, AmountsMisplaced, BalanceAsCategory };
HeadsFit headsFit(const QStringList &heads);

// The import sheet's notices for misplaced heads, none when they fit or
// the file has none. Heads below rows are named when they name another
// order than the layout's, and also for a balance where the category is
// read when they name rows above them; heads repeated as they were are
// named once.
QStringList textHeadsNotices(const TextStatementRead &read);

// An amount of a text statement, whatever the account's currency: blanks,
// "," and one leading currency sign ("¥", "\", "$", ...) are passed over;
// the rest must be a C-locale number of "-", "." and digits, the "-" first
// or last. "\7,000" is 7000, "1,234-" -1234; "7,000yen" or "abc" is none.
std::optional<double> parseTextAmount(QStringView text);

} // namespace cv
