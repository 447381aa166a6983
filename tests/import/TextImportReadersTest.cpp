// The text statement, mobile entry and price list readers over the samples
// S7-S11, and mutated copies of them.

#include "import/EncodingGuess.h"
#include "import/ImportTextSheet.h"
#include "import/MobileEntryReader.h"
#include "import/PriceListReader.h"
#include "import/TextStatementReader.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace cv;

namespace {

QByteArray sample(const char *name)
{
    QFile f(QStringLiteral(CV_TEST_FIXTURES "/import/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using TextRow = std::tuple<QDate, cv::EntryKind, double, QString, QString>; // date, kind, amount, memo, category text

std::vector<TextRow> textRows(const TextStatementRead &read)
{
    std::vector<TextRow> rows;
    for (size_t i = 0; i < read.rows.size(); ++i) {
        const cv::Entry &r = *read.rows[i];
        EXPECT_EQ(bool(r.flags() & 2), r.kind() == cv::EntryKind::Expense);
        rows.emplace_back(r.date(), r.kind(), r.amount(), r.memo(), read.categoryTexts.value(qsizetype(i)));
    }
    return rows;
}

} // namespace

TEST(TextStatementReader, SampleS7InEveryEncodingAndSeparator)
{
    const std::vector<TextRow> expected = {
        {QDate(2008, 5, 10), cv::EntryKind::Expense, 5000, u"スーパー東町店"_qs, u"食費"_qs},
        {QDate(2008, 5, 15), cv::EntryKind::Expense, 20000, u"ATM, 東町"_qs, ""},
        {QDate(2008, 5, 25), cv::EntryKind::Income, 300000, u"給与"_qs, u"給料"_qs},
        {QDate(2008, 5, 27), cv::EntryKind::Expense, 12000, u"カード引落"_qs, u"カード"_qs},
        {QDate(2008, 5, 28), cv::EntryKind::Income, 12, u"利息"_qs, ""},
        {QDate(2008, 5, 30), cv::EntryKind::Income, 1200, QStringLiteral("ShopA"), ""}, // spaces outside quotes go
    };
    // clang-format off
    const std::pair<const char *, TextEncoding> files[] = {{"S7.csv", TextEncoding::Utf8},
                                                           {"S7.csv", TextEncoding::ShiftJis},   // the mark decides
                                                           {"S7-cp932.csv", TextEncoding::ShiftJis},
                                                           {"S7-eucjp.csv", TextEncoding::EucJp},
                                                           {"S7.tsv", TextEncoding::Utf8},
                                                           {"S7-utf16le.csv", TextEncoding::ShiftJis},
                                                           {"S7-utf16be.tsv", TextEncoding::Utf8}};
    // clang-format on
    for (const auto &[name, encoding] : files) {
        QByteArray data = sample(name);
        ASSERT_FALSE(data.isEmpty()) << name;
        if (encoding == TextEncoding::ShiftJis && QByteArray(name) == "S7.csv") data.prepend("\xEF\xBB\xBF");
        EXPECT_EQ(textRows(readTextStatement(data, encoding)), expected) << name << " " << int(encoding);
    }
}

// Where rows start and what ends a field, every line that gave no row, and
// the sheet's words on heads that do not fit.
TEST(TextStatementReader, HeadsPreamblesAndSeparators)
{
    using Row = std::tuple<QDate, double, QString>; // income above 0, expense below
    struct Case {
        const char *what;
        QByteArray data;
        std::vector<Row> rows;
        qsizetype headingLine;
        std::vector<int> unread;
        const char *notice = nullptr; // words among the notices, "" for no heads notice; unchecked when null
    };
    const QByteArray preamble = u"口座番号,1234567\n"_qs.toUtf8(); // an account's preamble line, not heading-like
    const QByteArray bankTitle =
        u"入出金明細,円普通預金,口座番号 1234567,期間指定でのご照会\n照会日,2026/02/01\n口座名義,ﾔﾏﾀﾞ ﾀﾛｳ\n\n"
        "店番,123\n口座番号,1234567\n照会期間,2026/01/01～2026/01/31\n件数,1\n"
        "日付,摘要,入金,出金,残高\n2026/01/10,ﾃﾞﾝﾜﾘｮｳ,3300,,96700\n"_qs.toUtf8();
    // clang-format off
    const Case cases[] = {
        {"a preamble above heads on line 6, and a total", sample("S23-preamble-cp932.csv"),
         {{QDate(2024, 1, 10), 3300, u"ﾃﾞﾝﾜﾘｮｳ"_qs}, {QDate(2024, 1, 25), -250000, u"給与"_qs}}, 6, {1, 2, 3, 5, 9}}, // read by position; the sheet warns
        {"a card's heads", sample("S23-card.csv"),
         {{QDate(2024, 1, 5), 540, u"コンビニ"_qs}, {QDate(2024, 1, 9), 1980, u"書店"_qs}}, 1, {}},
        {"amounts of 0 are unread, a line of empty fields blank", u"日付,摘要,入金,出金\n2024/01/05,a,0,0\n,,,\n2024/01/06,b,,5\n"_qs.toUtf8(),
         {{QDate(2024, 1, 6), -5, "b"}}, 1, {2}},
        {"dated lines above the heads are named, not stored, every line of a quoted line break too",
         "2024/01/31,\"balance\nbrought forward\",100\n2024/01/31,fee,,1\nDate,Memo,Paid in,Paid out\n2024/01/05,Pay,10,\n",
         {{QDate(2024, 1, 5), 10, "Pay"}}, 4, {1, 2, 3}},
        {"a balance on line 3, heads on line 5", u"普通預金 入出金明細\n口座番号,1234567\n\"2026/02/28\",\"前月末残高\",\"100,000\"\n"
                                                 "照会期間,2026/03/01～2026/03/31\n日付,摘要,お預入れ,お引出し,残高\n"
                                                 "2026/03/02,給与,250000,,350000\n2026/03/05,ｶ-ﾄﾞ,,5000,345000\n"_qs.toUtf8(),
         {{QDate(2026, 3, 2), 250000, u"給与"_qs}, {QDate(2026, 3, 5), -5000, u"ｶ-ﾄﾞ"_qs}}, 5, {1, 2, 3, 4}},
        {"below the first lines a row above a heading-like line stays",
         preamble.repeated(11) + "2024/01/31,balance,100\nDate,Memo,Paid in,Paid out\n2024/01/05,Pay,10,\n",
         {{QDate(2024, 1, 31), 100, "balance"}, {QDate(2024, 1, 5), 10, "Pay"}}, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13}},
        // A late heads line in the first lines: only dated lines unlike the rows below it are set aside.
        {"rows above a late heads line stay", u"2025/01/05,Shop,,1200\n2025/01/06,Pay,250000,\n日付,摘要,金額\n2025/01/08,Gas,,4000\n"_qs.toUtf8(),
         {{QDate(2025, 1, 5), -1200, "Shop"}, {QDate(2025, 1, 6), 250000, "Pay"}, {QDate(2025, 1, 8), -4000, "Gas"}}, 0, {3}, ""},
        // Late heads in another order name the rows above them as well.
        {"withdrawals first below rows", u"2026/02/20,ｺﾝﾋﾞﾆ,650,,\n2026/02/24,ﾄﾞﾗｯｸﾞ,1200,,\n2026/02/27,ｽ-ﾊﾟ-,2300,,\n日付,摘要,出金,入金,残高\n"
                                         "2026/03/02,ﾃﾞﾝｷ,8800,,91200\n2026/03/10,ｶﾞｽ,4200,,87000\n2026/03/25,ｷﾕｳﾖ,,280000,367000\n"_qs.toUtf8(),
         {{QDate(2026, 2, 20), 650, u"ｺﾝﾋﾞﾆ"_qs}, {QDate(2026, 2, 24), 1200, u"ﾄﾞﾗｯｸﾞ"_qs}, {QDate(2026, 2, 27), 2300, u"ｽ-ﾊﾟ-"_qs},
          {QDate(2026, 3, 2), 8800, u"ﾃﾞﾝｷ"_qs}, {QDate(2026, 3, 10), 4200, u"ｶﾞｽ"_qs}, {QDate(2026, 3, 25), -280000, u"ｷﾕｳﾖ"_qs}},
         0, {4}, "Line 4 of the file names its columns “日付, 摘要, 出金, 入金, 残高”, but this import reads each line as"},
        {"withdrawals first below rows, in English", "2026-02-20,CORNER SHOP,6.50,,993.50\n2026-02-22,PHARMACY,12.00,,981.50\n"
                                                     "Date,Description,Withdrawals,Deposits,Balance\n2026-03-02,ELECTRIC,88.00,,893.50\n2026-03-25,SALARY,,2800.00,3693.50\n",
         {{QDate(2026, 2, 20), 6.5, "CORNERSHOP"}, {QDate(2026, 2, 22), 12, "PHARMACY"}, {QDate(2026, 3, 2), 88, "ELECTRIC"},
          {QDate(2026, 3, 25), -2800, "SALARY"}}, 0, {3}, "Line 3 of the file names its columns “Date, Description, Withdrawals, Deposits, Balance”, but"},
        {"a card's heads below a row", u"2026/02/05,コンビニ,540,1回,\nご利用日,ご利用店名,ご利用金額,支払区分,備考\n2026/02/09,書店,1980,1回,\n"_qs.toUtf8(),
         {{QDate(2026, 2, 5), 540, u"コンビニ"_qs}, {QDate(2026, 2, 9), 1980, u"書店"_qs}}, 0, {2}, "Line 2 of the file names its columns"},
        {"second heads in another order", u"日付,摘要,入金,出金,残高\n2026/03/02,ﾃﾞﾝｷ,,8800,91200\n2026/03/05,ｶﾞｽ,,4200,87000\n日付,摘要,出金,入金,残高\n"
                                          "2026/03/12,ｺﾝﾋﾞﾆ,540,,86460\n2026/03/25,ｷﾕｳﾖ,,280000,366460\n"_qs.toUtf8(),
         {{QDate(2026, 3, 2), -8800, u"ﾃﾞﾝｷ"_qs}, {QDate(2026, 3, 5), -4200, u"ｶﾞｽ"_qs}, {QDate(2026, 3, 12), 540, u"ｺﾝﾋﾞﾆ"_qs},
          {QDate(2026, 3, 25), -280000, u"ｷﾕｳﾖ"_qs}}, 1, {4},
         "Line 4 of the file names its columns “日付, 摘要, 出金, 入金, 残高”, but this import reads the rows below it, up to line 6, as"},
        // A month's total under its own heads is no row; the rows above it stay whatever their width.
        {"a month and its total under its own heads", u"2025/01/10,給与,250000,\n2025/01/12,ｶﾞｽ,,1200\n2025/01/20,ﾃﾞﾝｷ,,8000\n"
                                                        "集計日,区分,入金合計,出金合計\n2025/01/31,1月計,250000,9200\n"_qs.toUtf8(),
         {{QDate(2025, 1, 10), 250000, u"給与"_qs}, {QDate(2025, 1, 12), -1200, u"ｶﾞｽ"_qs}, {QDate(2025, 1, 20), -8000, u"ﾃﾞﾝｷ"_qs}},
         0, {}, "Summary lines not read (2): 4, 5."},
        {"a month with categories and its total", u"2025/01/10,給与,250000,,給料\n2025/01/12,ｶﾞｽ,,1200,光熱費\n2025/01/01,前月繰越,100000,,\n"
                                                    "集計日,区分,入金合計,出金合計\n2025/01/31,合計,250000,1200\n"_qs.toUtf8(),
         {{QDate(2025, 1, 10), 250000, u"給与"_qs}, {QDate(2025, 1, 12), -1200, u"ｶﾞｽ"_qs}}, 0, {3}, "Summary lines not read (2): 4, 5."},
        {"a summary in English ends at a blank line", "2026/03/02,Shop,,88.00\nDate,Type,Credit totals,Total debits\n2026/03/31,Month,2800.00,88.00\n\n"
                                                      "2026/04/02,Shop,,10\n",
         {{QDate(2026, 3, 2), -88, "Shop"}, {QDate(2026, 4, 2), -10, "Shop"}}, 0, {}, "Summary lines not read (2): 2, 3."},
        {"a month's summary under its own heads, then the next month's heads and rows",
         u"日付,摘要,入金,出金\n2025/01/10,給与,250000,\n集計日,区分,入金合計,出金合計\n2025/01/31,1月計,250000,0\n"
         "日付,摘要,入金,出金\n2025/02/10,給与,250000,\n2025/02/12,ｶﾞｽ,,1300\n"_qs.toUtf8(),
         {{QDate(2025, 1, 10), 250000, u"給与"_qs}, {QDate(2025, 2, 10), 250000, u"給与"_qs}, {QDate(2025, 2, 12), -1300, u"ｶﾞｽ"_qs}},
         1, {5}, "Summary lines not read (2): 3, 4."},
        {"a summary ends at a line of empty fields", "2026/03/02,Shop,,88.00\nDate,Type,Credit totals,Total debits\n"
                                                    "2026/03/31,Month,2800.00,88.00\n,,,\n2026/04/02,Shop,,10\n",
         {{QDate(2026, 3, 2), -88, "Shop"}, {QDate(2026, 4, 2), -10, "Shop"}}, 0, {}, "Summary lines not read (2): 2, 3."},
        {"heads of totals repeated over a pasted export's rows", "Date,Description,Total Amount\n2026/03/02,Shop,88.00\n"
                                                                "Date,Description,Total Amount\n2026/04/02,Shop,10\n",
         {{QDate(2026, 3, 2), 88, "Shop"}, {QDate(2026, 4, 2), 10, "Shop"}}, 1, {3}, ""},
        {"heads of totals with no row above them", u"集計日,区分,入金合計,出金合計\n2025/01/31,1月計,250000,9200\n"_qs.toUtf8(),
         {{QDate(2025, 1, 31), 250000, u"1月計"_qs}}, 1, {}, ""},
        {"a carried balance above a late heads line set aside, the rows kept",
         u"2025/01/01,前月繰越,100000,\n2025/01/05,Shop,,1200\n日付,摘要,入金,出金\n2025/01/08,Gas,,4000\n"_qs.toUtf8(),
         {{QDate(2025, 1, 5), -1200, "Shop"}, {QDate(2025, 1, 8), -4000, "Gas"}}, 0, {1, 3}},
        {"a balance named in capitals", "2025/01/01,Opening Balance,100000,\n2025/01/05,Shop,,1200\nDate,Memo,Paid in,Paid out\n2025/01/08,Gas,,4000\n",
         {{QDate(2025, 1, 5), -1200, "Shop"}, {QDate(2025, 1, 8), -4000, "Gas"}}, 0, {1, 3}},
        {"a line narrower than the rows", "2025/01/01,Account,1234567\n2025/01/05,Shop,,1200\nDate,Memo,Paid in,Paid out\n2025/01/08,Gas,,4000\n",
         {{QDate(2025, 1, 5), -1200, "Shop"}, {QDate(2025, 1, 8), -4000, "Gas"}}, 0, {1, 3}},
        {"a month's total above newest-first rows", "2025/01/31,Total for January,,1250.00\nDate,Description,Paid in,Paid out\n"
                                                    "2025/01/31,Rent,,1000.00\n2025/01/15,Gas,,250.00\n",
         {{QDate(2025, 1, 31), -1000, "Rent"}, {QDate(2025, 1, 15), -250, "Gas"}}, 2, {1}},
        {"a bare total above a late heads line", "2025/01/31,Total,,1250.00\nDate,Description,Paid in,Paid out\n"
                                                 "2025/01/31,Rent,,1000.00\n2025/01/15,Gas,,250.00\n",
         {{QDate(2025, 1, 31), -1000, "Rent"}, {QDate(2025, 1, 15), -250, "Gas"}}, 2, {1}},
        {"totals and carried balances in other words set aside, shops that hold such a word kept",
         u"2025/01/01,B/F,,1500.00\n2025/01/01,SALDO ANTERIOR,1500.00,\n2025/01/02,TOTAL FITNESS CLUB,,45.00\n2025/01/02,\"Totals: 3\",,20\n"
         "2025/01/03,RECARGA SALDO MOVIL,,10.00\n2025/01/03,Subtotal,,20\n2025/01/03,1月計,,20\n2025/01/03,C/FWD,,20\n"
         "Date,Description,Credit,Debit\n2025/01/31,Rent,,1000.00\n"_qs.toUtf8(),
         {{QDate(2025, 1, 2), -45, "TOTALFITNESSCLUB"}, {QDate(2025, 1, 3), -10, "RECARGASALDOMOVIL"}, {QDate(2025, 1, 31), -1000, "Rent"}},
         0, {1, 2, 4, 6, 7, 8, 9}},
        {"words of a total or a balance elsewhere in a shop's name",
         u"2025/01/01,TOTALENERGIES,,45.00\n2025/01/02,SOLDES,,10.00\n2025/01/02,Solde,,10.00\n2025/01/03,\"Übertrag auf Sparkonto\",,20\n"
         "2025/01/03,小計,,20\nDate,Description,Paid in,Paid out\n2025/01/31,Rent,,1000.00\n"_qs.toUtf8(),
         {{QDate(2025, 1, 1), -45, "TOTALENERGIES"}, {QDate(2025, 1, 2), -10, "SOLDES"}, {QDate(2025, 1, 3), -20, u"Übertrag auf Sparkonto"_qs},
          {QDate(2025, 1, 31), -1000, "Rent"}}, 0, {3, 5, 6}},
        {"a carried balance as wide as the rows above the heads", u"\"2026/02/28\",\"前月繰越\",\"100,000\",\"\",\"100,000\"\n"
                                                                  "\"取引日\",\"摘要\",\"お預入れ\",\"お引出し\",\"残高\"\n2026/03/02,給与,250000,,350000\n"_qs.toUtf8(),
         {{QDate(2026, 3, 2), 250000, u"給与"_qs}}, 2, {1}},
        {"heads, rows, the heads again, rows", "Date,Memo,Paid in,Paid out\n2024/01/05,Pay,10,\nDate,Memo,Paid in,Paid out\n2024/01/06,Fee,,2\n",
         {{QDate(2024, 1, 5), 10, "Pay"}, {QDate(2024, 1, 6), -2, "Fee"}}, 1, {3}, ""},
        {"a heading-like line with no row below it drops none", "2024/01/05,Pay,10,\nDate,Memo,Paid in,Paid out\n",
         {{QDate(2024, 1, 5), 10, "Pay"}}, 0, {2}},
        {"a trailer after the rows is no heads", u"2026/01/05,コンビニ,,540\n2026/01/09,書店,,1980\n2026/01/20,電気,,6000\n次回引落日,2026/02/27,引落金額,86000\n"_qs.toUtf8(),
         {{QDate(2026, 1, 5), -540, u"コンビニ"_qs}, {QDate(2026, 1, 9), -1980, u"書店"_qs}, {QDate(2026, 1, 20), -6000, u"電気"_qs}}, 0, {4}},
        {"\"update\" names no date", "2026/01/05,Grocer,,54.20\nLast update,Payments,Credits\n2026/01/06,Refund,12.00,\n2026/01/07,Fuel,,40\nCredit limit update,5000,0,0\n",
         {{QDate(2026, 1, 5), -54.2, "Grocer"}, {QDate(2026, 1, 6), 12, "Refund"}, {QDate(2026, 1, 7), -40, "Fuel"}}, 0, {2, 5}},
        {"a card's summary above its heads", u"お支払日, 2026/03/27, 今回ご請求額, 14,759\n\nご利用日,ご利用店名,ご利用金額,支払区分\n2026/02/05,コンビニ,540,1回\n"_qs.toUtf8(),
         {{QDate(2026, 2, 5), 540, u"コンビニ"_qs}}, 3, {1}},
        {"a bank's title line above heads on line 9", bankTitle, {{QDate(2026, 1, 10), 3300, u"ﾃﾞﾝﾜﾘｮｳ"_qs}}, 9, {1, 2, 3, 5, 6, 7, 8}},
        {"heads on line 13", preamble.repeated(12) + u"日付,摘要,出金,入金\n2026/01/25,給与,,250000\n"_qs.toUtf8(),
         {{QDate(2026, 1, 25), -250000, u"給与"_qs}}, 13, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"heads of several words on line 14", preamble.repeated(13) + "Posting Date,Description,Withdrawals,Deposits\n2026/01/25,Pay,,2500\n",
         {{QDate(2026, 1, 25), -2500, "Pay"}}, 14, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {"inch marks", "Date,Description,Paid in,Paid out\n2026/01/05,Pipe 12\" long,,1200\n2026/01/06,\"Tape 3/4\"\" wide\",,300\n"
                       "2026/01/07,\"Nut 1/2\" brass\",,500\n2026/01/08,Bolt 2\",,40\n",
         {{QDate(2026, 1, 5), -1200, "Pipe12\"long"}, {QDate(2026, 1, 6), -300, "Tape 3/4\" wide"},
          {QDate(2026, 1, 7), -500, "Nut 1/2\" brass"}, {QDate(2026, 1, 8), -40, "Bolt2\""}}, 1, {}},
        {"inch marks in CP932", "\x93\xFA\x95t,\x93" "E\x97v,\x93\xFC\x8B\xE0,\x8Fo\x8B\xE0\n2026/01/10,\xC3\xDA\xCB\xDE 32\",,39800\n"
                               "2026/01/11,\xB9\xB0\xCC\xDE\xD9,,980\n2026/01/12,\"\xD3\xC6\xC0 24\"\" \x89t\x8F\xBB\",,15800\n"
                               "2026/01/13,\xD7\xBC\xDE\xB5 5\",,2500\n",
         {{QDate(2026, 1, 10), -39800, u"ﾃﾚﾋﾞ32\""_qs}, {QDate(2026, 1, 11), -980, u"ｹｰﾌﾞﾙ"_qs},
          {QDate(2026, 1, 12), -15800, u"ﾓﾆﾀ 24\" 液晶"_qs}, {QDate(2026, 1, 13), -2500, u"ﾗｼﾞｵ5\""_qs}}, 1, {}},
        {"a doubled quote before a separator: CSV's one quote, or a writer's inch mark where that fits the heads",
         "Date,Description,Deposits,Withdrawals,Balance\n2026-03-04,\"Payment \"\"thanks\"\", ref 12\",250.00,,1851.00\n"
         "2026-03-05,\"TV 32\"\",,\"1,200\",651.00\n",
         {{QDate(2026, 3, 4), 250, "Payment \"thanks\", ref 12"}, {QDate(2026, 3, 5), -1200, "TV 32\""}}, 1, {}},
        {"an escaped quote in a refund without its trailing empty field",
         "Date,Description,Paid in,Paid out,Balance,Category\n2026/03/05,\"Refund \"\"order 12\"\", card\",80.00,,1025.80\n",
         {{QDate(2026, 3, 5), 80, "Refund \"order 12\", card"}}, 1, {}},
        {"an escaped quote in kana without its trailing empty field",
         u"日付,摘要,入金,出金,分類\n2026/03/04,\"ﾍﾝｷﾝ \"\"ABC\"\", ﾃﾞﾝｷ\",3300,\n"_qs.toUtf8(),
         {{QDate(2026, 3, 4), 3300, u"ﾍﾝｷﾝ \"ABC\", ﾃﾞﾝｷ"_qs}}, 1, {}},
        {"a doubled quote before a separator read by the width of the rows above",
         "2026/01/04,Shop,,100,1000\n2026/01/05,\"TV 32\"\",,\"1,200\",651\n",
         {{QDate(2026, 1, 4), -100, "Shop"}, {QDate(2026, 1, 5), -1200, "TV 32\""}}, 0, {}},
        {"an inch mark before a separator in a line alone, and text after a closing quote",
         u"2026/01/05,\"TV 32\"\",,\"1,200\"\n2026/01/06,\"ACME\"Ltd,0,300\n2026/03/03,\"ﾋﾞｯｸﾞ\" ｶﾒﾗ,,\"3,980\",家電\n"_qs.toUtf8(),
         {{QDate(2026, 1, 5), -1200, "TV 32\""}, {QDate(2026, 1, 6), -300, "ACMELtd"}, {QDate(2026, 3, 3), -3980, u"ﾋﾞｯｸﾞｶﾒﾗ"_qs}}, 0, {}},
        {"a quote left open takes in no line that is a row by itself",
         "Date,Memo,Paid in,Paid out\n2026/01/05,\"Bolt 2,,100\n2026/01/06,Shop,,300\n2026/01/07,Pipe 12\",,500\n2026/01/08,Fuel,,40\n",
         {{QDate(2026, 1, 6), -300, "Shop"}, {QDate(2026, 1, 7), -500, "Pipe12\""}, {QDate(2026, 1, 8), -40, "Fuel"}}, 1, {2}},
        {"each line of a quoted line break that gives no row", "2024/01/05,\"memo\nline two\nline three\",,\n2024/01/06,x,,5\n",
         {{QDate(2024, 1, 6), -5, "x"}}, 0, {1, 2, 3}},
        {"tab-separated thousands", u"日付\t摘要\t入金\t出金\n2024/01/25\t給与\t250,000\t\n2024/01/26\t\"a,b\"\t\t1,200\n"_qs.toUtf8(),
         {{QDate(2024, 1, 25), 250000, u"給与"_qs}, {QDate(2024, 1, 26), -1200, "a,b"}}, 1, {}},
        {"a line break inside quotes; lines numbered across it; CR alone ends a line",
         "2024/01/05,\"ATM\r\nEast\",,1000\r\nx\r\r2024/01/06,y,,5\r\n",
         {{QDate(2024, 1, 5), -1000, "ATM\r\nEast"}, {QDate(2024, 1, 6), -5, "y"}}, 0, {3}},
        {"heads of the first line need no date word", "Posted,Payee,Debit,Credit\n2024/01/05,Shop,5,\n",
         {{QDate(2024, 1, 5), 5, "Shop"}}, 1, {}},
        {"a quote left open spans no line", "2024/01/05,\"open,,5\n2024/01/06,y,,6\n", {{QDate(2024, 1, 6), -6, "y"}}, 0, {1}},
        {"amounts no reader knows stay unread", u"2024/01/05,a,,△2,000\n2024/01/06,b,,(330)\n"_qs.toUtf8(), {}, 0, {1, 2}},
    };
    // clang-format on
    for (const Case &c : cases) {
        const TextStatementRead read = readTextStatement(c.data, guessEncoding(c.data));
        std::vector<Row> rows;
        for (const cv::EntryPtr &r : read.rows)
            rows.emplace_back(r->date(), r->kind() == cv::EntryKind::Expense ? -r->amount() : r->amount(), r->memo());
        EXPECT_EQ(rows, c.rows) << c.what;
        EXPECT_EQ(read.headingLine, c.headingLine) << c.what;
        EXPECT_EQ(read.unreadLines, c.unread) << c.what;
        if (c.notice) {
            const QString notices = ImportTextSheet::fileNotices(read).join(u'\n');
            EXPECT_TRUE(*c.notice ? notices.contains(QString::fromUtf8(c.notice))
                                  : !notices.contains(u"names its columns"))
                << c.what << ": " << notices.toStdString();
        }
    }

    // Below a preamble only a head that names an amount makes heads (the
    // sheet's table holds the other words that only start with one).
    const std::pair<const char *, bool> amountHeads[] = {
        {"DEBITAMT", true},    {"CREDITAMT", true},   {"WITHDRAWALAMT", true}, {"DEPOSITAMT", true},
        {"Creditamt", true},   {"AMOUNTUSD", true},   {"AMOUNTJPY", true},     {"PAYMENTEUR", true},
        {"PAYMENTREF", false}, {"PAYMENTDUE", false}, {"DEBITEUR", false},     {"Crediteur", false},
        {"AMTUSD", false},     {"DEBITAMTS", false},
    };
    for (const auto &[head, amount] : amountHeads) {
        const QByteArray data = "Account,1\nDate,Memo," + QByteArray(head) + "\n2026/01/05,Pay,2500\n";
        EXPECT_EQ(readTextStatement(data, TextEncoding::Utf8).headingLine, amount ? 2 : 0) << head;
    }
}

// The text sheet's guess: short Japanese files in either encoding, and
// Latin-1 that must stay Latin-1.
TEST(EncodingGuess, ShortJapaneseAndLatinFiles)
{
    struct Case {
        const char *what;
        QByteArray data;
        TextEncoding guessed;
        QStringList memos;
    };
    // clang-format off
    const Case cases[] = {
        {"S22-halfwidth-cp932.csv", sample("S22-halfwidth-cp932.csv"), TextEncoding::ShiftJis, {u"ｶｰﾄﾞ･ﾍﾟｲ"_qs, u"ｶﾞｽﾀﾞｲ"_qs, u"ﾃﾞﾝｷ"_qs}},
        {"S22-katakana-eucjp.csv", sample("S22-katakana-eucjp.csv"), TextEncoding::EucJp, {u"カード"_qs, u"ガス"_qs, u"ペイ"_qs}},
        {"S7-cp932.csv", sample("S7-cp932.csv"), TextEncoding::ShiftJis, {}},
        {"S7-eucjp.csv", sample("S7-eucjp.csv"), TextEncoding::EucJp, {}},
        {"S19-latin1.ofx", sample("S19-latin1.ofx"), TextEncoding::Windows1252, {}},
        {"S12-latin1.ofx", sample("S12-latin1.ofx"), TextEncoding::Windows1252, {}},
        {"upper-case accents", "2024/01/05,\"CAF\xC9 DU MARCH\xC9\",,100\n2024/01/06,\"\xD6KO MARKT\",,200\n", TextEncoding::Windows1252,
         {u"CAFÉ DU MARCHÉ"_qs, u"ÖKO MARKT"_qs}},
        {"accents inside words", "2024/01/05,Sa\xED" "da,,100\n2024/01/06,Seg\xFAn,,200\n", TextEncoding::Windows1252,
         {u"Saída"_qs, u"Según"_qs}},
        {"name kanji alone", "Date,Name,In,Out\n2024/01/05,\xFB\xFC,,100\n", TextEncoding::ShiftJis, {u"髙"_qs}},
        {"extension kanji alone", "Date,Name,In,Out\n2024/01/05,\xFA\xB1,,100\n", TextEncoding::ShiftJis, {u"﨑"_qs}},
        {"a company sign alone", "Date,Name,In,Out\n2024/01/05,ABC\x87\x8A,,100\n", TextEncoding::ShiftJis, {u"ABC㈱"_qs}},
        {"EUC-JP kanji that read as CP932 kana against a kanji", "2024/01/05,\xE3\xB7\xC6\xA3,,100\n", TextEncoding::EucJp,
         {u"齋藤"_qs}},
        // Accented pairs of Nordic names, and kana brands they must leave alone.
        {"Nordic pairs", "2025/01/05,G\xD3\xD0 KAUP,,1200\n2025/01/06,B\xC1\xD0IR,,800\n2025/01/07,S\xC6\xD8 BUTIK,,300\n",
         TextEncoding::Windows1252, {u"GÓÐKAUP"_qs, u"BÁÐIR"_qs, u"SÆØBUTIK"_qs}},
        {"two kana after a brand", "2026/03/09,ABC\xCF\xD9,,320\n", TextEncoding::ShiftJis, {u"ABCﾏﾙ"_qs}},
        {"two kana after a brand, Ð after a vowel Icelandic never writes", "2026/03/09,ABC\xC4\xD0,,320\n", TextEncoding::ShiftJis,
         {u"ABCﾄﾐ"_qs}},
        {"kana after brands that are no pair", "2026/03/09,AEON\xB6\xDE\xBD,,320\n2026/03/10,ABC\xC4\xDE\xB3,,80\n"
                                               "2026/03/11,ABC\xD4\xB8,,90\n", TextEncoding::ShiftJis, {u"AEONｶﾞｽ"_qs, u"ABCﾄﾞｳ"_qs, u"ABCﾔｸ"_qs}},
        {"two kana after a brand that hold one Nordic letter", "2026/03/09,ABC\xD8\xDD,,320\n", TextEncoding::ShiftJis,
         {u"ABCﾘﾝ"_qs}},
        {"equal scores go to CP932", "2024/01/05,\xB6\xB7,,100\n", TextEncoding::ShiftJis, {u"ｶｷ"_qs}},
    };
    // clang-format on
    for (const Case &c : cases) {
        ASSERT_FALSE(c.data.isEmpty()) << c.what;
        EXPECT_EQ(guessEncoding(c.data), c.guessed) << c.what;
        if (c.memos.isEmpty()) continue;
        QStringList memos;
        for (const cv::EntryPtr &row : readTextStatement(c.data, guessEncoding(c.data)).rows) memos << row->memo();
        EXPECT_EQ(memos, c.memos) << c.what;
    }
}

TEST(TextStatementReader, LongLinesAmountsAndUndecodableText)
{
    // No line limit: the 1,000- and 100,000-byte lines and the line after them are read.
    const TextStatementRead long_ = readTextStatement(sample("S8.csv"), TextEncoding::Utf8);
    ASSERT_EQ(long_.rows.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(long_.rows[size_t(i)]->amount(), 100.0 * (i + 1));

    // clang-format off
    const std::pair<const char *, std::optional<double>> amounts[] = {
        {"\\7,000", 7000}, {"¥7,000", 7000}, {"$ 1,200.50", 1200.5}, {"-12", -12}, {" 12 ", 12}, {"1,234-", -1234},
        {"7,000yen", std::nullopt}, {"abc", std::nullopt}, {"1e5", std::nullopt}, {"", std::nullopt}, {"-12-", std::nullopt}};
    // clang-format on
    for (const auto &[text, value] : amounts) EXPECT_EQ(parseTextAmount(QString::fromUtf8(text)), value) << text;

    // Through the reader: CP932 "\" before an expense, and bytes no encoding reads.
    const TextStatementRead read =
        readTextStatement("2008/05/01,\x82\xa0,,\"\\7,000\"\n2008/05/02,\xff\xfe\xfd,,1\n", TextEncoding::ShiftJis);
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0]->amount(), 7000);
    EXPECT_EQ(read.rows[0]->memo(), u"あ"_qs);
    EXPECT_FALSE(read.rows[1]->memo().isEmpty()); // U+FFFD, never an empty memo
}

TEST(MobileEntryReader, SampleS9WithEveryLineEndAndEncoding)
{
    const std::pair<const char *, const char *> files[] = {
        {"S9.csv", "\n"}, {"S9-lf.csv", "\n"}, {"S9-cr.csv", "\r"}, {"S9-cp932.csv", "\n"}};
    for (const auto &[name, inner] : files) {
        const std::vector<MobileEntry> rows = readMobileEntries(sample(name));
        using Row = std::tuple<QDate, QString, QString, cv::EntryKind, double, QString>;
        std::vector<Row> got;
        for (const MobileEntry &e : rows)
            got.emplace_back(e.entry->date(), e.categoryName, e.accountName, e.entry->kind(), e.entry->amount(),
                             e.entry->memo());
        const std::vector<Row> expected = {
            {QDate(2008, 5, 10), u"食費"_qs, u"財布"_qs, cv::EntryKind::Expense, 1200, u"昼食, 同僚と"_qs},
            {QDate(2008, 5, 11), u"給料"_qs, u"銀行"_qs, cv::EntryKind::Income, 300000, ""},
            {QDate(2008, 5, 12), u"交通費"_qs, u"財布"_qs, cv::EntryKind::Expense, 520, u"定期 \"外\" 区間"_qs},
            {QDate(2008, 5, 13), u"引出"_qs, u"銀行"_qs, cv::EntryKind::Expense, 10000, QStringLiteral("ATM")},
            {QDate(2008, 5, 14), u"食費"_qs, u"財布"_qs, cv::EntryKind::Expense, 1500,
             u"複数行の"_qs + QLatin1String(inner) + u"メモ"_qs},
        };
        EXPECT_EQ(got, expected) << name;
    }
    // The encoding is decided once for the whole file: a mark, else valid UTF-8, else CP932.
    // clang-format off
    const std::pair<QByteArray, QString> texts[] = {{QByteArray("\xFF\xFE" "a\0b\0", 6), "ab"}, {"\x82\xa0", u"あ"_qs},
                                                    {"\xE3\x81\x82", u"あ"_qs}, {"caf\xE9", u"café"_qs}};
    // clang-format on
    for (const auto &[bytes, text] : texts) EXPECT_EQ(decodeMobileFile(bytes), text) << bytes.toHex().toStdString();
}

// One strict date for the three readers: a four-digit year of 1900-2099 in
// any of its forms, never a guessed century; and lines that end right after
// their last amount.
TEST(TextReaders, DatesAndShortLinesOfSampleS18)
{
    const QByteArray data = sample("S18.csv");
    using Row = std::pair<QDate, double>; // income above 0, expense below
    auto signedRow = [](const cv::Entry &r) {
        return Row(r.date(), r.kind() == cv::EntryKind::Expense ? -r.amount() : r.amount());
    };
    std::vector<Row> text, mobile, prices;
    for (const cv::EntryPtr &row : readTextStatement(data, TextEncoding::Utf8).rows) text.push_back(signedRow(*row));
    for (const MobileEntry &row : readMobileEntries(data)) mobile.push_back(signedRow(*row.entry));
    for (const cv::DatedPricePtr &v : readPriceList(data, [](QStringView t) { return parseFundValue(t); }))
        prices.emplace_back(v->date(), v->price());
    auto dated = [](double value, std::vector<Row> more) { // the five forms of 2018/1/5 to 1/9
        for (int day = 9; day >= 5; --day) more.insert(more.begin(), Row(QDate(2018, 1, day), value));
        return more;
    };
    EXPECT_EQ(text, dated(200, {{QDate(2018, 1, 12), 700}, {QDate(2018, 1, 13), -800}, {QDate(2018, 1, 14), 1234}}));
    EXPECT_EQ(mobile, dated(300, {{QDate(2018, 1, 13), 800}, {QDate(2018, 1, 14), -1234}}));
    EXPECT_EQ(prices, dated(300, {}));
}

TEST(PriceListReader, SamplesS10AndS11)
{
    using Value = std::pair<QDate, double>;
    auto values = [](const char *name) {
        std::vector<Value> out;
        for (const cv::DatedPricePtr &v : readPriceList(sample(name), [](QStringView t) { return parseFundValue(t); }))
            out.emplace_back(v->date(), v->price());
        return out;
    };
    // clang-format off
    EXPECT_EQ(values("S10.csv"), (std::vector<Value>{{QDate(2008, 5, 1), 1200}, {QDate(2008, 5, 2), 1210},
                                                      {QDate(2008, 5, 7), 1230}, {QDate(2008, 5, 8), 1240},
                                                      {QDate(2008, 5, 9), 1260}, {QDate(2008, 5, 9), 1255}}));
    // clang-format on
    // "104.9,JPY": a field that is no number gives the line no value, not 0.
    EXPECT_EQ(values("S11.csv"), (std::vector<Value>{{QDate(2008, 5, 1), 104.235}, {QDate(2008, 5, 2), 105.1}}));
}

TEST(HostileInput, MutatedTextMobileAndPriceFiles)
{
    std::mt19937 random(39);
    auto at = [&](qsizetype size) {
        return std::uniform_int_distribution<qsizetype>(0, std::max<qsizetype>(size - 1, 0))(random);
    };
    for (const char *name : {"S7.csv", "S9.csv", "S10.csv"}) {
        const QByteArray original = sample(name);
        ASSERT_FALSE(original.isEmpty());
        for (int i = 0; i < 10000; ++i) {
            QByteArray data = original;
            switch (random() % 4) {
            case 0: data.truncate(at(data.size())); break;
            case 1:
                for (int k = 0; k < 8; ++k) data[at(data.size())] = char(random());
                break;
            case 2: data.insert(at(data.size()), QByteArray("\"\0\r,\t", 5).repeated(int(random() % 40) + 1)); break;
            default:
                data.insert(at(data.size()), data.mid(at(data.size()), 40).repeated(int(random() % 50) + 1));
                break;
            }
            for (const cv::EntryPtr &row : readTextStatement(data, TextEncoding::ShiftJis).rows)
                ASSERT_TRUE(row->date().isValid() && std::isfinite(row->amount())) << name << " " << i;
            for (const MobileEntry &row : readMobileEntries(data))
                ASSERT_TRUE(row.entry->date().isValid() && std::isfinite(row.entry->amount())) << name << " " << i;
            for (const cv::DatedPricePtr &v : readPriceList(data, [](QStringView t) { return parseFundValue(t); }))
                ASSERT_TRUE(v->date().isValid() && std::isfinite(v->price())) << name << " " << i;
        }
    }
}
