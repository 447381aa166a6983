// The import toolkit: splitters, decoder, dates and amounts,
// learned mappings, the file guard.

#include "import/DelimitedText.h"
#include "import/ImportSheetPage.h"
#include "import/LearnedMapping.h"
#include "import/StatementValues.h"
#include "import/TextDecoder.h"

#include "document/Book.h"
#include "document/EditScope.h"
#include "panels/PanelTestSupport.h"
#include "platform/ScriptedAlertPresenter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace cv;

namespace {

QStringList texts(const DelimitedLine &line)
{
    QStringList out;
    for (const QByteArray &f : line) out.append(QString::fromUtf8(f));
    return out;
}

} // namespace

TEST(DelimitedText, BytesSplitIntoLinesAndFields)
{
    struct Case {
        QByteArray data;
        DelimitedFields mode;
        std::vector<QStringList> lines;
        DelimitedBlanks blanks = DelimitedBlanks::Dropped;
    };
    // clang-format off
    const Case cases[] = {
        {"a,b\r\n\r\nc\td", DelimitedFields::Positional, {{"a", "b"}, {"c", "d"}}},
        {"a,,b,", DelimitedFields::Positional, {{"a", "", "b", ""}}},
        {"a,,b,", DelimitedFields::SkipEmpty, {{"a", "b"}}},
        {"\"x, y\",a b", DelimitedFields::Positional, {{"x, y", "ab"}}},
        {"\"line,\nbreak\"", DelimitedFields::Positional, {{"line,\nbreak"}}},
        {"\"open,never\nclosed", DelimitedFields::Positional, {{"open,never"}, {"closed"}}},
        {"a,1,2\tb", DelimitedFields::Positional, {{"a,1,2", "b"}}},
        {"d\x01" "e\x1f" "f", DelimitedFields::Positional, {{"d"}, {"e"}, {"f"}}},
        {QByteArray(5000, 'x') + "\nz", DelimitedFields::Positional, {{QString(5000, 'x')}, {"z"}}},
        // A quote opens only where a field starts; inside, "" is one and only a field's end closes.
        {"12\" TV, \"a \"\"b\"\"\" ,\"1/2\" nut\"\n\"x\"y\"\n", DelimitedFields::Positional,
         {{"12\"TV", "a \"b\"", "1/2\" nut"}, {"x\"y"}}},
        {"Sale, \"big\" one\tx", DelimitedFields::Positional, {{"Sale,\"big\"one", "x"}}},
        // Where CSV and a hand-written file part ways: CSV's reading unless it leaves a quote open.
        {"\"Payment \"\"thanks\"\", ref 12\",250.00\n\"ACME\"Ltd,0\n\"TV 32\"\",x\n\"a \"\"b\"\"\tc\"\t5\n", DelimitedFields::Positional,
         {{"Payment \"thanks\", ref 12", "250.00"}, {"ACMELtd", "0"}, {"TV 32\"", "x"}, {"a \"b\"\tc", "5"}}},
        {"\"TV 32\"\",\"open\n\"x\",5\n", DelimitedFields::Positional, {{"TV 32\"", "open"}, {"x", "5"}}},
        {"\"open\n\"x\"y,5\n", DelimitedFields::Positional, {{"open"}, {"xy", "5"}}},
        {"Posting Date, \"Paid in\" ,x", DelimitedFields::Positional, {{"Posting Date", " Paid in ", "x"}},
         DelimitedBlanks::Kept},
    };
    // clang-format on
    for (const Case &c : cases) {
        std::vector<QStringList> got;
        for (const DelimitedLine &l : splitDelimitedLines(c.data, c.mode, c.blanks)) got.push_back(texts(l));
        EXPECT_EQ(got, c.lines) << c.data.left(40).toStdString();
    }
    int seen = 0;
    forEachDelimitedLine("1\n2\n3", DelimitedFields::Positional,
                         [&](const DelimitedLine &, const DelimitedSpan &) { return ++seen < 2; });
    EXPECT_EQ(seen, 2);
}

TEST(DelimitedText, CharactersSplitAsCsv)
{
    EXPECT_EQ(splitCsvLines(u"a, b ,\"c,\"\"d\"\"\"\r\n\r\n\"x\ny\",z\n\n\nlast"),
              (std::vector<QStringList>{{"a", " b ", "c,\"d\""}, {"x\ny", "z"}, {"last"}}));
}

TEST(TextDecoder, EncodingsMarksAndBadBytes)
{
    struct Case {
        QByteArray bytes;
        TextEncoding encoding;
        QString text;
    };
    // clang-format off
    const Case cases[] = {
        {"\xE6\x9D\xB1", TextEncoding::Utf8, u"東"_qs},
        {"\xEF\xBB\xBF" "abc", TextEncoding::ShiftJis, "abc"},
        {QByteArray("\xFF\xFE" "a\0b\0", 6), TextEncoding::Utf8, "ab"},
        {"\x93\x8C\x8B\x9E", TextEncoding::ShiftJis, u"東京"_qs},
        {"\x87\x40", TextEncoding::ShiftJis, u"①"_qs},
        {"\xC5\xEC\xB5\xFE", TextEncoding::EucJp, u"東京"_qs},
        {"caf\xE9", TextEncoding::Windows1252, u"café"_qs},
        {"a\xFF" "b", TextEncoding::Utf8, u"a\uFFFDb"_qs},
        {"a\xFF\x93\x8C" "b", TextEncoding::ShiftJis, u"a\uFFFD東b"_qs},
        {"a\x93", TextEncoding::ShiftJis, u"a\uFFFD"_qs},
    };
    // clang-format on
    for (const Case &c : cases) EXPECT_EQ(decodeText(c.bytes, c.encoding), c.text) << c.bytes.toHex().toStdString();
    EXPECT_TRUE(isValidUtf8("\xE6\x9D\xB1"));
    EXPECT_FALSE(isValidUtf8("caf\xE9"));
    // The names XML declarations and OFX 1.x headers use.
    // clang-format off
    const std::pair<const char *, std::optional<TextEncoding>> names[] = {
        {"932 SJIS Shift_JIS SHIFT-JIS cp932 Windows-31J", TextEncoding::ShiftJis}, {"euc-jp EUCJP", TextEncoding::EucJp},
        {"1252 8859-1 ISO-8859-1 LATIN1", TextEncoding::Windows1252}, {"UTF-8 CSUNICODE", TextEncoding::Utf8},
        {"KOI8-R NONE", std::nullopt}};
    // clang-format on
    for (const auto &[list, encoding] : names)
        for (const QString &name : QString::fromLatin1(list).split(' '))
            EXPECT_EQ(encodingForName(name), encoding) << name.toStdString();
}

TEST(StatementValues, AmountsAnyCurrency)
{
    const std::pair<QString, std::optional<double>> cases[] = {
        {"1200", 1200},         {"1,200", 1200},       {u"¥1,200"_qs, 1200},     {u"1,200円"_qs, 1200},
        {"-1,200.50", -1200.5}, {"(1,200)", -1200},    {u"▲500"_qs, -500},       {"$-3.25", -3.25},
        {"12,50", 12.5},        {"1.234,56", 1234.56}, {u"１，２００"_qs, 1200}, {"1,2,3", std::nullopt},
        {"abc", std::nullopt},  {"", std::nullopt},    {"12a", std::nullopt},    {"1,", std::nullopt},
    };
    for (const auto &[text, value] : cases) EXPECT_EQ(parseStatementAmount(text), value) << text.toStdString();
}

TEST(StatementValues, OfxRules)
{
    const std::pair<QByteArray, std::optional<double>> amounts[] = {
        {"-1,234.00", -1234},   {"-12,50", -12.5},  {"-1,234", -1.234},    {" +300000", 300000},    {" 5000.00 ", 5000},
        {"-1x0", std::nullopt}, {"", std::nullopt}, {"abc", std::nullopt}, {"1.2.3", std::nullopt},
    };
    for (const auto &[text, value] : amounts) {
        EXPECT_EQ(parseOfxAmount(QByteArrayView(text)), value) << text.toStdString();
        EXPECT_EQ(parseOfxAmount(QStringView(QString::fromLatin1(text))), value) << text.toStdString();
    }
    // clang-format off
    const std::pair<QByteArray, std::optional<QDate>> dates[] = {
        {"20080510000000[+9:JST]", QDate(2008, 5, 10)}, {" 20080525", QDate(2008, 5, 25)},
        {"2008-5-1", std::nullopt}, {"200805", std::nullopt}, {"20081340", std::nullopt},
    };
    // clang-format on
    for (const auto &[text, date] : dates) {
        EXPECT_EQ(parseOfxDate(QByteArrayView(text)), date) << text.toStdString();
        EXPECT_EQ(parseOfxDate(QStringView(QString::fromLatin1(text))), date) << text.toStdString();
    }
}

class LearnedMappingTest : public paneltest::BookTest {};

TEST_F(LearnedMappingTest, RecordsRoundTripAndLearnOnlyChanges)
{
    LearnedMapping memo = LearnedMapping::read(*doc, StatementMemoMapping);
    EXPECT_TRUE(memo.isEmpty());
    EXPECT_TRUE(memo.learn(u"スーパー"_qs, paneltest::kFood));
    EXPECT_FALSE(memo.learn(u"スーパー"_qs, paneltest::kFood));
    EXPECT_TRUE(memo.learn(QStringList{"x", "palm", "income"}, -paneltest::kC));
    {
        EditScope edit(*doc);
        ASSERT_TRUE(memo.write(*doc, TextMapping));
    }
    const LearnedMapping back = LearnedMapping::read(*doc, TextMapping);
    EXPECT_EQ(back, memo);
    EXPECT_EQ(back.value(u"スーパー"_qs), paneltest::kFood);
    EXPECT_EQ(back.value(QStringList{"x", "palm", "income"}), -paneltest::kC);
    EXPECT_EQ(back.value(QStringList{u"スーパー"_qs}), std::nullopt); // a text key is no array key

    // A row that is no dictionary reads as empty.
    ASSERT_TRUE(doc->store()->putImportMappingData("junk", MobileAccountMapping));
    EXPECT_TRUE(LearnedMapping::read(*doc, MobileAccountMapping).isEmpty());
}

class ImportFileTest : public paneltest::BookTest {};

// A FIFO would hang the sheet, a device be read without end: only regular
// files are read, and the alert names what was refused.
TEST_F(ImportFileTest, OnlyRegularFilesAreRead)
{
    QTemporaryDir dir;
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.csv")).constData(), 0600), 0);
    const std::pair<QString, QString> cases[] = {{dir.filePath("fifo.csv"), "fifo.csv"},
                                                 {dir.path() + "/", QFileInfo(dir.path()).fileName()},
                                                 {"/dev/zero", "zero"}};
    for (const auto &[path, name] : cases) {
        ScriptedAlertPresenter alerts;
        ImportPage<cv::ImportTextSheet> page(doc.get());
        EXPECT_FALSE(page.loadPath(path));
        ASSERT_EQ(alerts.asked.size(), 1u) << name.toStdString();
        const QString message = alerts.asked[0].message;
        EXPECT_TRUE(message.contains(u"“" + name + u"”") && message.contains(u"not an ordinary file"))
            << message.toStdString();
    }
}
