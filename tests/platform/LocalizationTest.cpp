#include "platform/Localization.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <utility>

#include <clocale>
#include <ostream>
#include <string>

// Readable failure messages for QString comparisons.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

using cv::formatString;
using cv::localizedString;

namespace {

// Restores the system's language after each test.
class LocalizationTest : public ::testing::Test {
protected:
    void TearDown() override { cv::setLanguageOverride(QString()); }
};

// An independent reading of a table: entry lines only, escapes undone.
// Duplicate keys are collected so that a merge that repeats a key shows up.
struct TableFile {
    QHash<QString, QString> entries;
    QStringList duplicates;
    QStringList damaged; // lines that begin an entry but do not read as one
};

QString unescaped(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\\' && i + 1 < text.size()) {
            const QChar e = text.at(++i);
            out.append(e == u'n' ? QChar(u'\n') : e == u't' ? QChar(u'\t') : e);
        } else {
            out.append(text.at(i));
        }
    }
    return out;
}

TableFile readTable(const QString &path)
{
    TableFile table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return table;
    static const QRegularExpression entry(
        QStringLiteral(R"re(^\s*"((?:[^"\\]|\\.)*)"\s*=\s*"((?:[^"\\]|\\.)*)"\s*;\s*(/\*.*\*/)?\s*$)re"));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString &line : lines) {
        if (!line.trimmed().startsWith(u'"')) continue;
        const auto match = entry.match(line);
        if (!match.hasMatch()) {
            table.damaged.append(line);
            continue;
        }
        const QString key = unescaped(match.captured(1));
        if (table.entries.contains(key)) table.duplicates.append(key);
        table.entries.insert(key, unescaped(match.captured(2)));
    }
    return table;
}

} // namespace

TEST_F(LocalizationTest, LooksUpEachLanguageAndAnswersMissingKeysThemselves)
{
    cv::setLanguageOverride(QStringLiteral("ja"));
    EXPECT_TRUE(cv::isJapanese());
    EXPECT_EQ(localizedString(QStringLiteral("Cancel")), QStringLiteral("キャンセル"));
    EXPECT_EQ(localizedString(QStringLiteral("Last day")), QStringLiteral("末日"));
    EXPECT_EQ(localizedString(QStringLiteral("No such key here")), QStringLiteral("No such key here"));
    // Keys written in the code are UTF-8, typographic quotes and all.
    EXPECT_EQ(localizedString("The document “%@” is open in another program."),
              QStringLiteral("書類“%@”は別のプログラムで開かれています。"));

    cv::setLanguageOverride(QStringLiteral("en-GB"));
    EXPECT_FALSE(cv::isJapanese());
    EXPECT_EQ(cv::currentLanguage(), QStringLiteral("en"));
    EXPECT_EQ(localizedString(QStringLiteral("Cancel")), QStringLiteral("Cancel"));
    EXPECT_EQ(localizedString(QStringLiteral("Report-Format-Fraction")), QStringLiteral("#,##0.00;-#,##0.00"));
    EXPECT_EQ(localizedString(QString()), QString());

    cv::setLanguageOverride(QStringLiteral("ja-JP"));
    EXPECT_EQ(cv::currentLanguage(), QStringLiteral("ja"));
    cv::setLanguageOverride(QStringLiteral("fr"));
    EXPECT_EQ(cv::currentLanguage(), QStringLiteral("en"));
}

// Both tables are compiled in, hold the same keys once each, and the loader
// reads every entry as written.
TEST_F(LocalizationTest, TablesAreCompiledInWithTheSameKeys)
{
    const TableFile ja = readTable(QStringLiteral(":/strings/ja.strings"));
    const TableFile en = readTable(QStringLiteral(":/strings/en.strings"));
    ASSERT_FALSE(ja.entries.isEmpty());
    EXPECT_EQ(QSet<QString>(ja.entries.keyBegin(), ja.entries.keyEnd()),
              QSet<QString>(en.entries.keyBegin(), en.entries.keyEnd()));
    EXPECT_TRUE(ja.duplicates.isEmpty()) << ja.duplicates.join(u' ').toStdString();
    EXPECT_TRUE(en.duplicates.isEmpty()) << en.duplicates.join(u' ').toStdString();
    EXPECT_TRUE(ja.damaged.isEmpty()) << ja.damaged.join(u'\n').toStdString();
    EXPECT_TRUE(en.damaged.isEmpty()) << en.damaged.join(u'\n').toStdString();
    for (const auto &[language, table] : {std::pair{QStringLiteral("ja"), &ja}, std::pair{QStringLiteral("en"), &en}}) {
        cv::setLanguageOverride(language);
        for (auto it = table->entries.cbegin(); it != table->entries.cend(); ++it) {
            EXPECT_FALSE(it.value().isEmpty()) << it.key().toStdString();
            EXPECT_EQ(localizedString(it.key()), it.value())
                << language.toStdString() << ": " << it.key().toStdString();
        }
    }
    // A Japanese sentence ends in the full-width question or exclamation mark.
    static const QRegularExpression asciiMark(QStringLiteral("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}」][?!]"));
    for (auto it = ja.entries.cbegin(); it != ja.entries.cend(); ++it)
        EXPECT_FALSE(asciiMark.match(it.value()).hasMatch()) << it.key().toStdString();
    cv::setLanguageOverride(QStringLiteral("ja"));
    EXPECT_EQ(localizedString(QStringLiteral("Report-Font")), QStringLiteral("Noto Sans CJK JP"));
}

TEST(FormatString, FillsObjectAndIntegerPlaceholders)
{
    EXPECT_EQ(formatString(QStringLiteral("%@ has %d items"), {QStringLiteral("Bank"), 3}),
              QStringLiteral("Bank has 3 items"));
    EXPECT_EQ(
        formatString(QStringLiteral("%i|%ld|%lld|%u|%lu"), {-7, qint64(1) << 40, qint64(-5), 42u, quint64(1) << 63}),
        QStringLiteral("-7|1099511627776|-5|42|9223372036854775808"));
    EXPECT_EQ(formatString(QStringLiteral("%05d|%-4d|%4d|%+d|% d|%.3d"), {42, 7, -7, 5, 5, 9}),
              QStringLiteral("00042|7   |  -7|+5| 5|009"));
    EXPECT_EQ(formatString(QStringLiteral("%05d"), {-42}), QStringLiteral("-0042"));
    EXPECT_EQ(formatString(QStringLiteral("%x %X %#x %08x %o"), {255, 255, 255, 48879, 8}),
              QStringLiteral("ff FF 0xff 0000beef 10"));
    EXPECT_EQ(formatString(QStringLiteral("%u %x"), {-1, -1}), QStringLiteral("4294967295 ffffffff"));
    EXPECT_EQ(formatString(QStringLiteral("%s and %@"), {QByteArray("bytes"), QStringLiteral("日本語")}),
              QStringLiteral("bytes and 日本語"));
    EXPECT_EQ(formatString(QStringLiteral("%@ %@ %@"), {1.5, 12, true}), QStringLiteral("1.5 12 true"));
    EXPECT_EQ(formatString(QStringLiteral("%c%C"), {65, QChar(u'本')}), QStringLiteral("A本"));
    EXPECT_EQ(formatString(QStringLiteral("%C"), {0x1F4B4}), QStringLiteral("\U0001F4B4"));
    // No code point: a replacement character, never broken UTF-16.
    EXPECT_EQ(formatString(QStringLiteral("%c|%C|%C"), {-1, 0x110000, 0xD800}), QStringLiteral("\uFFFD|\uFFFD|\uFFFD"));
}

TEST(FormatString, FillsFloatingPlaceholdersAsCPrintf)
{
    EXPECT_EQ(
        formatString(QStringLiteral("%f|%.2f|%.0f|%8.3f|%-8.1f|%08.2f"), {1.5, 1234.565, 2.5, 3.14159, 2.25, -3.5}),
        QStringLiteral("1.500000|1234.57|2|   3.142|2.2     |-0003.50"));
    EXPECT_EQ(formatString(QStringLiteral("%.1e|%g|%G|%+.2f"), {12345.0, 0.0001, 1e-10, 1.0}),
              QStringLiteral("1.2e+04|0.0001|1E-10|+1.00"));
    EXPECT_EQ(formatString(QStringLiteral("%.2f"), {1000}), QStringLiteral("1000.00"));
    EXPECT_EQ(formatString(QStringLiteral("%*d|%.*f"), {5, 3, 2, 1.0}), QStringLiteral("    3|1.00"));
}

TEST(FormatString, PositionalPercentAndMissingArguments)
{
    EXPECT_EQ(formatString(QStringLiteral("%2$@ / %1$@ / %2$d"), {QStringLiteral("a"), 7}),
              QStringLiteral("7 / a / 7"));
    EXPECT_EQ(formatString(QStringLiteral("100%% of %d%%"), {5}), QStringLiteral("100% of 5%"));
    EXPECT_EQ(formatString(QStringLiteral("%@-%d-%.2f-%3$@"), {}), QStringLiteral("---"));
    EXPECT_EQ(formatString(QStringLiteral("%@ and %@"), {QStringLiteral("one")}), QStringLiteral("one and "));
    EXPECT_EQ(formatString(QStringLiteral("%99999$@|%"), {1}), QStringLiteral("|%"));
    EXPECT_EQ(formatString(QStringLiteral("50%"), {}), QStringLiteral("50%"));
    EXPECT_EQ(formatString(QStringLiteral("%k %.2"), {1}), QStringLiteral("%k %.2"));
    // A placeholder kept as written takes no argument; a positional one leaves the order alone.
    EXPECT_EQ(formatString(QStringLiteral("%-5k|%d|%1$d|%d"), {5, 6}), QStringLiteral("%-5k|5|5|6"));
    EXPECT_EQ(formatString(QStringLiteral("plain"), {1, 2}), QStringLiteral("plain"));
    EXPECT_EQ(formatString(QString(), {}), QString());
}

// Numbers in these texts never follow the user's locale.
TEST(FormatString, NumbersStayLocaleFreeInADecimalCommaLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const QLocale previousDefault;
    const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    const QString text =
        formatString(QStringLiteral("%.2f %f %@ %e %d %'d"), {1234.5, 0.25, 2.75, 1.5, 1234567, 1234567});

    std::setlocale(LC_ALL, previous.c_str());
    QLocale::setDefault(previousDefault);
    EXPECT_EQ(text, QStringLiteral("1234.50 0.250000 2.75 1.500000e+00 1234567 1234567"));
    EXPECT_FALSE(text.contains(u','));
    if (!german) GTEST_SKIP() << "de_DE.UTF-8 is not installed; scripts/install-deps.sh generates it";
}
