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

// What the samples do not show: odd but readable inputs.
TEST(StatementReaders, EdgesOfBothForms)
{
    const QByteArray header = "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\n" + QByteArray(100, ' ') + "\n";
    struct Case {
        const char *what;
        QByteArray data;
        Status status;
        std::vector<Row> rows;
        QStringList accounts;
    };
    // clang-format off
    const Case cases[] = {
        {"short date; no charset: invalid UTF-8 is Windows-1252",
         header + "<ACCTID>12\xFF\n<STMTTRN>\n<DTPOSTED>2008-5-1\n<TRNAMT>-5\n</STMTTRN>\n"
                  "<STMTTRN>\n<DTPOSTED>20080502\n<TRNAMT>-1,234\n<NAME>x\xFFy\n</STMTTRN>\n",
         Status::Read, {{QDate(2008, 5, 2), u"xÿy"_qs, 1, 1.234, Out, -1}}, {u"12ÿ"_qs}},
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
         {}},
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
    for (const QByteArray &file : files) {
        const StatementRead plain = readOfx2(file);
        const StatementRead toolkit = readOfx2ByToolkit(file);
        EXPECT_EQ(plain.status, toolkit.status) << file.left(120).toStdString();
        EXPECT_EQ(rowsOf(plain), rowsOf(toolkit)) << file.left(120).toStdString();
        EXPECT_EQ(plain.accounts, toolkit.accounts) << file.left(120).toStdString();
        EXPECT_EQ(plain.currencies, toolkit.currencies) << file.left(120).toStdString();
    }
    // Full-width blanks around a value are blanks.
    const StatementRead wide = readOfx2(doc("").replace("-1<", u"\u3000-1\u3000<"_qs.toUtf8()));
    ASSERT_EQ(wide.rows.size(), 1u);
    EXPECT_EQ(wide.rows[0]->amount(), 1);
}
