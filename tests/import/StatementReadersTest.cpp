// The OFX readers over the samples of tests/fixtures/import
// (make-samples.py writes them).

#include "import/PendingRows.h"
#include "import/StatementReaders.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace cv;

namespace {

QByteArray sample(const char *name)
{
    QFile f(QStringLiteral(CV_TEST_FIXTURES "/import/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Row {
    QDate date;
    QString memo;
    int kind;
    double amount;
    int flags;
    int account;
    int destination = 0;
    int category = 0;
    bool operator==(const Row &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Row &r)
{
    return os << r.date.toString(Qt::ISODate).toStdString() << " " << r.memo.toStdString() << " k" << r.kind << " "
              << r.amount << " f" << r.flags << " a" << r.account << " d" << r.destination << " c" << r.category;
}

} // namespace

namespace cv {
void PrintTo(const UnreadTransaction &t, std::ostream *os)
{
    *os << t.place << " " << t.date.toStdString() << " " << t.name.toStdString();
}
} // namespace cv

namespace {

std::vector<Row> rowsOf(const StatementRead &read)
{
    std::vector<Row> rows;
    for (const cv::EntryPtr &a : read.rows)
        rows.push_back({a->date(), a->memo(), cv::raw(a->kind()), a->amount(), a->flags(), a->account(),
                        a->destination(), a->category()});
    return rows;
}

const int Out = PendingOutgoing;
using Status = StatementRead::Status;

const std::vector<Row> kS1 = {
    {QDate(2008, 5, 10), u"スーパー東町店"_qs, 1, 5000, Out, -1},
    {QDate(2008, 5, 25), u"カ)エービーシー"_qs, 0, 300000, 0, -1},
    {QDate(2008, 5, 27), u"カード引落"_qs, 1, 12000, Out, -1},
};

std::vector<Row> s3Rows(const QString &salary)
{
    // clang-format off
    return {
        {QDate(2008, 5, 3), "A&B", 1, 5000, Out, -2},
        {QDate(2008, 5, 5), "ATM", 2, 20000, 0, -2, 10, 10},
        {QDate(2008, 5, 6), "Books", 1, 3000, Out, -2},
        {QDate(2008, 5, 25), salary, 0, 300000, 0, -2},
        {QDate(2008, 5, 27), "Rent", 1, 12000, Out, -2},
        {QDate(2008, 5, 30), "Fee", 1, 800, Out, -2},
    };
    // clang-format on
}

} // namespace

TEST(StatementReaders, Samples)
{
    struct Case {
        const char *file;
        Status status;
        std::vector<Row> rows;
        QStringList accounts;
        std::optional<TextEncoding> overruled = {}; // the bytes' encoding, when not the label's
    };
    std::vector<Row> s1e = kS1;
    s1e[0].amount = 1234;
    s1e[1] = {QDate(2008, 5, 25), u"カ)エービーシー"_qs, 1, 12.5, Out, -1};
    std::vector<Row> s1f = kS1;
    s1f[0].memo = u"Café Rouge"_qs;
    s1f[1].memo = "ABC Co";
    s1f[2].memo = "Card";
    // The half-width names were one garbled text before the header was read.
    const std::vector<Row> japanese = {{QDate(2018, 1, 5), u"電話料"_qs, 1, 100, Out, -1},
                                       {QDate(2018, 1, 6), u"ｶｰﾄﾞ"_qs, 1, 200, Out, -1},
                                       {QDate(2018, 1, 7), u"ﾃﾞﾝﾜ"_qs, 1, 300, Out, -1}};
    const std::vector<Row> latin = {{QDate(2018, 1, 5), u"ÀàÉé"_qs, 1, 100, Out, -1},
                                    {QDate(2018, 1, 6), u"Crème brûlée"_qs, 1, 200, Out, -1}};
    const std::vector<Row> sgml(kS1.begin(), kS1.begin() + 2);
    // clang-format off
    const Case cases[] = {
        {"S1.ofx", Status::Read, kS1, {"1234567"}},
        {"S1b.ofx", Status::Read, kS1, {"1234567"}},
        {"S1c.ofx", Status::Read, kS1, {"1234567"}},   // text before the header
        {"S1d.ofx", Status::Read, {}, {}},
        {"S1e.ofx", Status::Read, s1e, {"1234567"}},
        {"S1f.ofx", Status::Read, s1f, {"1234567"}},
        {"S12-cp932.ofx", Status::Read, japanese, {"1234567"}},
        {"S12-eucjp.ofx", Status::Read, japanese, {"1234567"}},
        {"S12-latin1.ofx", Status::Read, latin, {"1234567"}},
        {"S19-latin1.ofx", Status::Read, latin, {"1234567"}},   // no label: still Latin-1
        {"S19-ms932.ofx", Status::Read, japanese, {"1234567"}},
        {"S19-csshiftjis.ofx", Status::Read, japanese, {"1234567"}},
        {"S19-nocharset.ofx", Status::Read, japanese, {"1234567"}},
        {"S19-noheader.ofx", Status::Read, japanese, {"1234567"}},
        {"S20-cp932-as-utf8.ofx", Status::Read, japanese, {"1234567"}, TextEncoding::ShiftJis},
        {"S20-utf8-as-932.ofx", Status::Read, japanese, {"1234567"}, TextEncoding::Utf8},
        {"S20-utf8-as-eucjp.ofx", Status::Read, japanese, {"1234567"}, TextEncoding::Utf8},
        {"S16-cp932.ofx", Status::Read, japanese, {"1234567"}},   // an XML declaration names it
        // Two statements, the second's values after a tab.
        {"S21.ofx", Status::Read, {{QDate(2008, 5, 10), "one", 1, 7.5, Out, -1}, {QDate(2008, 5, 11), "two", 1, 317, Out, -2}},
         {"111", "222"}},
        {"S15.ofx", Status::Read, sgml, {"1234567"}},   // no header
        {"S16.ofx", Status::Read, sgml, {"1234567"}},   // an XML declaration over unclosed elements
        {"S17.ofx", Status::Read, {}, {"1234567"}},
        {"S2.ofx", Status::Read, {{QDate(2008, 5, 10), "one", 1, 100, Out, -1}, {QDate(2008, 5, 11), "two", 0, 200, 0, -2}},
         {"111", "222"}},
        {"S3.ofx", Status::Read, s3Rows("Salary"), {"0009", "1234567"}},
        {"S3u.ofx", Status::Read, s3Rows("Salary"), {"0009", "1234567"}},
        {"S6.ofx", Status::Read, s3Rows(u"給与"_qs), {"0009", "1234567"}},
        {"S14.ofx", Status::Read, s3Rows("Salary"), {"0009", "1234567"}},   // the <?OFX instruction alone
        {"S4.ofx", Status::Read, {{QDate(2008, 5, 12), "Store", 1, 8000, Out, -1}, {QDate(2008, 5, 27), "Payment", 0, 12000, 0, -1}},
         {"CARD-0001"}},
        // The balance list's NAME after the last transaction is no memo.
        {"S13.ofx", Status::Read, {{QDate(2018, 1, 5), "Dividend", 0, 250, 0, -1}, {QDate(2018, 1, 10), "Fee", 1, 12.5, Out, -1}},
         {"INV-77"}},
        {"S5.ofx", Status::Damaged, {}, {}},   // cut off: never read as unclosed elements
    };
    // clang-format on
    for (const Case &c : cases) {
        const QByteArray data = sample(c.file);
        ASSERT_FALSE(data.isEmpty()) << c.file;
        const StatementRead read = readStatement(data);
        EXPECT_EQ(read.status, c.status) << c.file;
        EXPECT_EQ(rowsOf(read), c.rows) << c.file;
        EXPECT_EQ(read.accounts, c.accounts) << c.file;
        EXPECT_EQ(read.labelOverruled, c.overruled) << c.file;
        EXPECT_EQ(read.currencies.size(), read.rows.size()) << c.file;
    }
    EXPECT_EQ(readStatement(sample("S21.ofx")).currencies, QStringList({"USD", "JPY"}));
    EXPECT_EQ(readStatement(sample("S3.ofx")).currencies, QStringList(6, "JPY"));
}

// Names read in the encoding their bytes are written in: the label's when
// the bytes fit it, and a label given way to is named.
TEST(StatementReaders, NamesInTheEncodingOfTheirBytes)
{
    auto ofx1 = [](const QByteArray &charset, const QList<QByteArray> &names) -> QByteArray {
        QByteArray file = "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\n" + charset + "\n\n<OFX>\n<CURDEF>JPY" +
                          QByteArray(100, ' ') + "\n";
        for (const QByteArray &name : names)
            file += "<STMTTRN>\n<DTPOSTED>20240105\n<TRNAMT>-100\n<NAME>" + name + "\n</STMTTRN>\n";
        return file + "</OFX>\n";
    };
    auto ofx2 = [](const QByteArray &encoding, const QList<QByteArray> &names) -> QByteArray {
        QByteArray file = "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n<OFX>";
        for (const QByteArray &name : names)
            file += "<STMTTRN><DTPOSTED>20240105</DTPOSTED><TRNAMT>-100</TRNAMT><NAME>" + name + "</NAME></STMTTRN>\n";
        return file + "</OFX>\n";
    };
    // clang-format off
    const QByteArray cafe = "CAF\xC9 DU MARCH\xC9", transfer = "\xDC" "BERWEISUNG M\xDC" "LLER";
    const QByteArray pound = "Ticket \xA3" "12.50", oven = "Oven 200\xB0" "C";
    // clang-format on
    const QByteArray telephone = "\x93\x64\x98\x62\x97\xBF"; // 電話料 in CP932
    // Latin-1, and half-width kana as CP932 writes them.
    auto bytes = [](const QStringList &names) {
        QList<QByteArray> out;
        for (const QString &name : names) {
            out << QByteArray();
            for (QChar c : name) out.back() += char(c.unicode() - (c.unicode() >= 0xFF61 ? 0xFEC0 : 0));
        }
        return out;
    };
    struct Case {
        const char *what;
        QByteArray data;
        QStringList names;
        std::optional<TextEncoding> overruled = {};
    };
    // clang-format off
    const Case cases[] = {
        {"upper-case accents under CHARSET:1252", ofx1("CHARSET:1252", {cafe, transfer}),
         {u"CAFÉ DU MARCHÉ"_qs, u"ÜBERWEISUNG MÜLLER"_qs}},
        {"signs under CHARSET:NONE", ofx1("CHARSET:NONE", {pound, oven}), {u"Ticket £12.50"_qs, u"Oven 200°C"_qs}},
        {"ISO-8859-1 in OFX 2", ofx2("ISO-8859-1", {cafe, pound}), {u"CAFÉ DU MARCHÉ"_qs, u"Ticket £12.50"_qs}},
        {"one capital, no label", ofx1("ENCODING:USASCII", {"\xD6KO MARKT"}), {u"ÖKO MARKT"_qs}},
        {"CP932 kanji under CHARSET:1252", ofx1("CHARSET:1252", {telephone}), {u"電話料"_qs}, TextEncoding::ShiftJis},
        {"half-width kana only", ofx1("CHARSET:NONE", {"\xB6\xB0\xC4\xDE", "\xC3\xDE\xDD\xDC"}), {u"ｶｰﾄﾞ"_qs, u"ﾃﾞﾝﾜ"_qs}},
        {"bank abbreviations", ofx1("CHARSET:NONE", {"\xB6)ABC SHOJI", "MARUYAMA(\xD5"}), {u"ｶ)ABC SHOJI"_qs, u"MARUYAMA(ﾕ"_qs}},
        {"half-width kana under 932 that form valid UTF-8", ofx1("CHARSET:932", {"\xCB\xB6\xDE\xBC \xC5\xB6\xC6\xBC"}),
         {u"ﾋｶﾞｼ ﾅｶﾆｼ"_qs}},
        {"ISO-2022-JP", ofx1("CHARSET:ISO-2022-JP", {"\x1B$BEEOCNA\x1B(B", "\x1B(I6\x1B(B)ABC", "\x1B$B-j\x1B(BABC"}),
         {u"電話料"_qs, u"ｶ)ABC"_qs, u"㈱ABC"_qs}},
        {"an EUC-JP label over CP932", ofx1("ENCODING:EUC-JP", {telephone}), {u"電話料"_qs}, TextEncoding::ShiftJis},
        {"a Shift_JIS label over EUC-JP that reads as user-defined characters", ofx1("CHARSET:Shift_JIS", {"\xF2\xBF\xC0\xAF"}),
         {u"鮨政"_qs}, TextEncoding::EucJp},
        {"a Shift_JIS label over UTF-8 that also reads as CP932", ofx1("CHARSET:Shift_JIS", {u"セブンイレブン"_qs.toUtf8()}),
         {u"セブンイレブン"_qs}, TextEncoding::Utf8},
        // An ASCII hyphen for the long vowel of bank names, and in Latin words.
        {"hyphened kana under CHARSET:1252", ofx1("CHARSET:1252", bytes({u"ABCｶ-ﾄﾞ"_qs})), {u"ABCｶ-ﾄﾞ"_qs}, TextEncoding::ShiftJis},
        {"hyphened kana under CHARSET:NONE", ofx1("CHARSET:NONE", bytes({u"ｺ-ﾋ-"_qs, u"XYZﾓ-ﾙ"_qs})), {u"ｺ-ﾋ-"_qs, u"XYZﾓ-ﾙ"_qs}},
        {"hyphened Latin words", ofx1("CHARSET:1252", bytes({u"CAFÉ-BAR"_qs, u"JOSÉ-MARÍA"_qs, u"SÃO PAULO"_qs})),
         {u"CAFÉ-BAR"_qs, u"JOSÉ-MARÍA"_qs, u"SÃO PAULO"_qs}},
        {"a hyphen between accented capitals", ofx1("CHARSET:NONE", bytes({u"CAFÉ-ÉCOLE"_qs})), {u"CAFÉ-ÉCOLE"_qs}},
        // Two accented capitals inside a word read as two half-width kana, or as an EUC-JP kanji.
        {"accented pairs under CHARSET:1252", ofx1("CHARSET:1252", bytes({u"PRESTAÇÃO"_qs, u"OPERAÇÃO"_qs, u"SERVIÇOS"_qs})),
         {u"PRESTAÇÃO"_qs, u"OPERAÇÃO"_qs, u"SERVIÇOS"_qs}},
        {"accented pairs under ISO-8859-1", ofx2("ISO-8859-1", bytes({u"CRÉÉ PAR"_qs, u"PÄÄOMA"_qs, u"Informação"_qs})),
         {u"CRÉÉ PAR"_qs, u"PÄÄOMA"_qs, u"Informação"_qs}},
        {"two kana after a brand follow the rest of the file", ofx1("CHARSET:NONE", bytes({u"ABCﾏﾂ"_qs, u"ｶ)XYZ"_qs})),
         {u"ABCﾏﾂ"_qs, u"ｶ)XYZ"_qs}},
        {"two kana after brands, no label", ofx1("CHARSET:NONE", bytes({u"KOHYOﾃﾝ"_qs, u"AEONﾓﾙ"_qs, u"SEIYU ABCﾃﾝ"_qs, u"ABﾏﾂCD"_qs, u"ABCﾏﾂ DEF"_qs})),
         {u"KOHYOﾃﾝ"_qs, u"AEONﾓﾙ"_qs, u"SEIYU ABCﾃﾝ"_qs, u"ABﾏﾂCD"_qs, u"ABCﾏﾂ DEF"_qs}},
        {"two kana after a brand over CHARSET:1252", ofx1("CHARSET:1252", bytes({u"ABCﾔﾏ"_qs, u"ABCﾏﾂ"_qs})), {u"ABCﾔﾏ"_qs, u"ABCﾏﾂ"_qs},
         TextEncoding::ShiftJis},
        {"a hyphen before a one-letter word", ofx1("CHARSET:1252", bytes({u"CAFÉ-À EMPORTER"_qs})), {u"CAFÉ-À EMPORTER"_qs}},
        {"EUC-JP names, no label",
         ofx1("CHARSET:NONE", {"\xC5\xCF\xEE\xB5", "\xC5\xCF\xEE\xB4", "\xDF\xC0\xC5\xC4", "ABC\x8E\xCF\x8E\xC2"}),
         {u"渡邉"_qs, u"渡邊"_qs, u"濱田"_qs, u"ABCﾏﾂ"_qs}},
    };
    // clang-format on
    for (const Case &c : cases) {
        const StatementRead read = readStatement(c.data);
        QStringList names;
        for (const EntryPtr &row : read.rows) names << row->memo();
        EXPECT_EQ(names, c.names) << c.what;
        EXPECT_EQ(read.labelOverruled, c.overruled) << c.what;
    }
}

// What the samples do not show: odd but readable inputs.
TEST(StatementReaders, EdgesOfBothForms)
{
    const QByteArray header = "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\n" + QByteArray(100, ' ') + "\n";
    // Transactions whose date or amount does not read, and one that does.
    QByteArray odd;
    for (const char *t : {"20261305 -200 Late", "20240107 -1x0 Odd", "20240108 0 Zero", "20240109 -300 Good"}) {
        const QList<QByteArray> v = QByteArray(t).split(' ');
        odd += "<STMTTRN><DTPOSTED>" + v[0] + "</DTPOSTED><TRNAMT>" + v[1] + "</TRNAMT><NAME>" + v[2] +
               "</NAME></STMTTRN>\n";
    }
    // Four transactions under a status whose SEVERITY is left unclosed, as SGML habits write it.
    QByteArray sgmlHabit = "<?xml version=\"1.0\"?><OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</CODE><SEVERITY>INFO"
                           "</STATUS></SONRS></SIGNONMSGSRSV1><BANKMSGSRSV1><STMTRS><BANKACCTFROM><ACCTID>9</ACCTID>"
                           "</BANKACCTFROM><BANKTRANLIST>\n";
    for (char n : QByteArray("1234"))
        sgmlHabit += QByteArray("<STMTTRN><DTPOSTED>2008050") + n + "</DTPOSTED><TRNAMT>-" + n + "</TRNAMT><NAME>t" +
                     n + "</NAME></STMTTRN>\n";
    sgmlHabit += "</BANKTRANLIST></STMTRS></BANKMSGSRSV1></OFX>\n";
    QByteArray wellFormed = sgmlHabit;
    wellFormed.replace("INFO</STATUS>", "INFO</SEVERITY></STATUS>");
    std::vector<Row> four;
    for (int n = 1; n <= 4; ++n)
        four.push_back({QDate(2008, 5, n), QStringLiteral("t%1").arg(n), 1, double(n), Out, -1});
    struct Case {
        const char *what;
        QByteArray data;
        Status status;
        std::vector<Row> rows;
        QStringList accounts;
        std::vector<UnreadTransaction> unread = {};
        QStringList currencies = {}; // compared when given
    };
    // Two statements in two currencies, a transaction of the first that does not read.
    const QByteArray twoCurrencies =
        "<?xml version=\"1.0\"?><OFX><STMTRS><CURDEF>USD</CURDEF><BANKACCTFROM><ACCTID>1</ACCTID></BANKACCTFROM>"
        "<STMTTRN><DTPOSTED>2024</DTPOSTED><TRNAMT>-1</TRNAMT><NAME>bad</NAME></STMTTRN>"
        "<STMTTRN><DTPOSTED>20240102</DTPOSTED><TRNAMT>-2</TRNAMT><NAME>usd</NAME></STMTTRN></STMTRS>"
        "<STMTRS><CURDEF>JPY</CURDEF><BANKACCTFROM><ACCTID>2</ACCTID></BANKACCTFROM>"
        "<STMTTRN><DTPOSTED>20240103</DTPOSTED><TRNAMT>-300</TRNAMT><NAME>jpy</NAME></STMTTRN></STMTRS></OFX>";
    const std::vector<Row> noBreak = {{QDate(2024, 1, 5), "Shop", 1, 12.5, Out, 0}};
    // clang-format off
    const Case cases[] = {
        {"short date; no charset: invalid UTF-8 is Windows-1252",
         header + "<ACCTID>12\xFF\n<STMTTRN>\n<DTPOSTED>2008-5-1\n<TRNAMT>-5\n</STMTTRN>\n"
                  "<STMTTRN>\n<DTPOSTED>20080502\n<TRNAMT>-1,234\n<NAME>x\xFFy\n</STMTTRN>\n",
         Status::Read, {{QDate(2008, 5, 2), u"xÿy"_qs, 1, 1.234, Out, -1}}, {u"12ÿ"_qs}, {{1, "2008-5-1", ""}}},
        {"MEMO kept when NAME follows none; tags without end",
         header + "<STMTTRN><DTPOSTED>20080502<TRNAMT>7<MEMO>first<MEMO>second<BROKEN\n<NAME\n</STMTTRN>",
         Status::Read, {{QDate(2008, 5, 2), "first", 0, 7, 0, 0}}, {}},
        {"a type after DEP does not keep it; a dateless row is dropped",
         "  <?xml version=\"1.0\"?><OFX><STMTTRN><TRNTYPE>DEP</TRNTYPE><DTPOSTED>20080501</DTPOSTED><TRNAMT>-1</TRNAMT></STMTTRN>"
         "<STMTTRN><TRNTYPE>PAYMENT</TRNTYPE><DTPOSTED>20080502</DTPOSTED><TRNAMT>-2</TRNAMT></STMTTRN>"
         "<STMTTRN><TRNAMT>-3</TRNAMT></STMTTRN>"
         "<STMTTRN><DTPOSTED>20080504</DTPOSTED><TRNAMT> -4 </TRNAMT><NAME> <![CDATA[a<b]]> &quot;q&quot; </NAME></STMTTRN></OFX>",
         Status::Read,
         {{QDate(2008, 5, 1), "", 2, 1, 0, 0, 10, 10}, {QDate(2008, 5, 2), "", 1, 2, Out, 0},
          {QDate(2008, 5, 4), "a<b \"q\"", 1, 4, Out, 0}},
         {}, {{3, "", ""}}},
        {"OFX 1.x: a month 13, an amount that does not read whole, 0: no rows, each named",
         header + QByteArray(odd).replace("</DTPOSTED>", "").replace("</TRNAMT>", "").replace("</NAME>", ""), Status::Read,
         {{QDate(2024, 1, 9), "Good", 1, 300, Out, 0}}, {}, {{1, "20261305", "Late"}, {2, "20240107", "Odd"}, {3, "20240108", "Zero"}}},
        {"OFX 2: the same, but 0 is an amount", "<?xml version=\"1.0\"?><OFX>" + odd + "</OFX>", Status::Read,
         {{QDate(2024, 1, 8), "Zero", 0, 0, 0, 0}, {QDate(2024, 1, 9), "Good", 1, 300, Out, 0}}, {},
         {{1, "20261305", "Late"}, {2, "20240107", "Odd"}}},
        {"an unclosed SEVERITY: read leniently", sgmlHabit, Status::Read, four, {"9"}},
        {"cut off inside the third transaction under an unclosed SEVERITY", sgmlHabit.left(sgmlHabit.indexOf("<NAME>t3")),
         Status::Damaged, {}, {}},
        {"cut off after a value's text", wellFormed.left(wellFormed.indexOf("</TRNAMT><NAME>t3")), Status::Damaged, {}, {}},
        {"an unclosed SEVERITY, a comment and an end-of-file byte after the root", sgmlHabit + "<!-- end -->\r\n\x1A",
         Status::Read, four, {"9"}},
        {"an unclosed SEVERITY, the root closed in lower case", QByteArray(sgmlHabit).replace("</OFX>", "</ofx>"),
         Status::Read, four, {"9"}},
        {"cut off under an unclosed SEVERITY, a comment after",
         sgmlHabit.left(sgmlHabit.indexOf("<NAME>t3")) + "<!-- </OFX> -->\x1A", Status::Damaged, {}, {}},
        {"OFX 2 and an end-of-file byte", wellFormed + "\x1A", Status::Read, four, {"9"}},
        {"OFX 1.x: no-break spaces around the values under CHARSET:1252",
         "OFXHEADER:100\nCHARSET:1252\n" + QByteArray(100, ' ') +
             "\n<STMTTRN>\n<DTPOSTED>\xA0" "20240105\n<TRNAMT>-12.50\xA0\n<NAME>Shop\n</STMTTRN>\n",
         Status::Read, noBreak, {}},
        {"OFX 2: the same in Windows-1252",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?><OFX><STMTTRN><DTPOSTED>\xA0" "20240105</DTPOSTED>"
         "<TRNAMT>-12.50\xA0</TRNAMT><NAME>Shop</NAME></STMTTRN></OFX>",
         Status::Read, noBreak, {}},
        {"the currencies of the rows after a transaction that does not read", twoCurrencies, Status::Read,
         {{QDate(2024, 1, 2), "usd", 1, 2, Out, -1}, {QDate(2024, 1, 3), "jpy", 1, 300, Out, -2}}, {"1", "2"},
         {{1, "2024", "bad"}}, {"USD", "JPY"}},
        {"XML that is no OFX", "<?xml version=\"1.0\"?><html/>", Status::NotRecognised, {}, {}},
        {"an external entity is never fetched, an undeclared one reads as its name",
         "<?xml version=\"1.0\"?><!DOCTYPE OFX [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><OFX><STMTTRN><DTPOSTED>20080501"
         "</DTPOSTED><TRNAMT>1</TRNAMT><NAME>&x;&nbsp;</NAME></STMTTRN></OFX>",
         Status::Read, {{QDate(2008, 5, 1), "nbsp", 0, 1, 0, 0}}, {}},
        {"entities that expand beyond the limit",
         "<?xml version=\"1.0\"?><!DOCTYPE OFX [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;\">]><OFX><NAME>&d;</NAME></OFX>",
         Status::Damaged, {}, {}},
    };
    // clang-format on
    for (const Case &c : cases) {
        const StatementRead read = readStatement(c.data);
        EXPECT_EQ(read.status, c.status) << c.what;
        EXPECT_EQ(rowsOf(read), c.rows) << c.what;
        EXPECT_EQ(read.accounts, c.accounts) << c.what;
        EXPECT_EQ(read.unread, c.unread) << c.what;
        if (!c.currencies.isEmpty()) {
            EXPECT_EQ(read.currencies, c.currencies) << c.what;
        }
    }
}

// The plain reading of OFX 2 and the toolkit's parser agree, on the samples
// and on the forms only the parser judges.
TEST(StatementReaders, PlainXmlReadingAgreesWithTheToolkit)
{
    auto doc = [](const QByteArray &inner, const QByteArray &declaration = "<?xml version=\"1.0\"?>") -> QByteArray {
        return declaration + "<OFX><STMTTRN><DTPOSTED>20080501</DTPOSTED><TRNAMT>-1</TRNAMT>" + inner +
               "</STMTTRN></OFX>";
    };
    std::vector<QByteArray> files;
    for (const char *name : {"S3.ofx", "S3u.ofx", "S4.ofx", "S5.ofx", "S6.ofx", "S13.ofx", "S14.ofx", "S16.ofx"})
        files.push_back(sample(name));
    // clang-format off
    for (const QByteArray &inner : {
             QByteArray("<NAME>a&amp;b<!-- x --> c<![CDATA[<d>]]></NAME>"), QByteArray("<NAME a=\"1\">attribute</NAME>"),
             QByteArray("<NAME>x&#x41;y</NAME>"), QByteArray("<NAME>line\r\nend</NAME>"), QByteArray("<p:NAME>prefix</p:NAME>"),
             QByteArray("<NAME>\xEF\xBF\xBF</NAME>"), QByteArray("<NAME>\x01</NAME>"), QByteArray("<NAME>]]></NAME>"),
             QByteArray("<NAME>&bogus;</NAME>"), QByteArray("<NAME>&amp</NAME>"), QByteArray("<NAME/><X></Y>"),
             QByteArray("<NAME>&#12354;&#x3042;&#x1F600;&#13;&#60;</NAME>"), QByteArray("<NAME>&#0;</NAME>"),
             QByteArray("<NAME>&#x110000;&#65</NAME>"), QByteArray("<NAME>&#X41;&#;</NAME>"), QByteArray("<NAME>&#xD800;</NAME>"),
             QByteArray("<!-- a -- b --><NAME>x</NAME>"), QByteArray("<? bad?><NAME>x</NAME>"), QByteArray("<?O\xC2\xA7 x?><NAME>x</NAME>"), QByteArray("<NAME>x</NAME >")})
        files.push_back(doc(inner));
    for (const QByteArray &declaration : {QByteArray("<?xml version=\"1.1\"?>"), QByteArray("<?xml?>"),
                                          QByteArray("<?xml version='1.0' encoding='UTF-8' standalone='yes'?>"),
                                          QByteArray("<?xml version=\"1.0\"?><?xml version=\"1.0\"?>")})
        files.push_back(doc("<NAME>x</NAME>", declaration));
    // clang-format on
    files.push_back(doc("<NAME>x</NAME>") + "<OFX/>");
    files.push_back(doc("<NAME>x</NAME>") + "trailing");
    files.push_back(doc("<NAME>x</NAME>").insert(21, "\f")); // a form feed before the root
    files.push_back(doc("<NAME>x</NAME>") + "<!-- end -->\r\n\x1A");
    files.push_back(doc("<NAME>x</NAME>") + "\x1A<!-- end -->");
    files.push_back(doc("<NAME>x\xC2\xA0</NAME>").replace("-1<", "\xC2\xA0-1\xC2\xA0<"));
    for (const QByteArray &file : files) {
        const StatementRead plain = readOfx2(file);
        const StatementRead toolkit = readOfx2ByToolkit(file);
        EXPECT_EQ(plain.status, toolkit.status) << file.left(120).toStdString();
        EXPECT_EQ(rowsOf(plain), rowsOf(toolkit)) << file.left(120).toStdString();
        EXPECT_EQ(plain.accounts, toolkit.accounts) << file.left(120).toStdString();
        EXPECT_EQ(plain.currencies, toolkit.currencies) << file.left(120).toStdString();
    }
    // A character reference or an end-of-file byte keeps the file on the plain road.
    EXPECT_TRUE(readsOfx2Plainly(doc("<NAME>&#12354;&#x3042;</NAME>")));
    EXPECT_TRUE(readsOfx2Plainly(QByteArray(doc("<NAME>x</NAME>") + "\r\n\x1A")));
    // Full-width blanks around a value are blanks.
    const StatementRead wide = readOfx2(doc("").replace("-1<", u"\u3000-1\u3000<"_qs.toUtf8()));
    ASSERT_EQ(wide.rows.size(), 1u);
    EXPECT_EQ(wide.rows[0]->amount(), 1);
}
