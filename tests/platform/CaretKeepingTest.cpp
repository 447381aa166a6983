#include "platform/CaretKeeping.h"

#include <gtest/gtest.h>

using cv::TextSelection;

namespace {
TextSelection caret(int at)
{
    return {at, 0};
}
} // namespace

TEST(CaretKeeping, GroupingSeparatorKeepsTheCaretBetweenTheSameDigits)
{
    // 123|45 -> 12,3|45, counting from the end.
    EXPECT_EQ(cv::fixCurrencySelection(QStringLiteral("12345"), caret(3), QString(), false, QStringLiteral("12,345"),
                                       caret(6)),
              caret(4));
    // 1|234 -> 1|,234 from the beginning, but 1,|234 from the end.
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("1234"), caret(1), QString(), true, QStringLiteral("1,234"), caret(5)),
        caret(1));
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("1234"), caret(1), QString(), false, QStringLiteral("1,234"), caret(5)),
        caret(2));
    // Removing a separator: 1,2|34 -> 12|34.
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("1,234"), caret(3), QString(), false, QStringLiteral("1234"), caret(4)),
        caret(2));
    // Full-width digits typed through a Japanese input method count too.
    EXPECT_EQ(cv::fixCurrencySelection(QStringLiteral("１２３４"), caret(1), QString(), false,
                                       QStringLiteral("１,２３４"), caret(5)),
              caret(2));
}

TEST(CaretKeeping, EndsOfTheTextAndTooFewDigits)
{
    // Nothing after the caret: it stays at the end.
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("1234"), caret(4), QString(), false, QStringLiteral("1,234"), caret(0)),
        caret(5));
    // Nothing before it: it stays at the start.
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("1234"), caret(0), QString(), true, QStringLiteral("1,234"), caret(3)),
        caret(0));
    // The new text has fewer digits than were after the caret: left alone.
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("12345"), caret(0), QString(), false, QStringLiteral("12"), caret(1)),
        caret(1));
}

TEST(CaretKeeping, ExtraSignificantCharacters)
{
    // With the point significant, 12.|5 -> 12.|50; without it, the caret goes after the 2.
    EXPECT_EQ(cv::fixCurrencySelection(QStringLiteral("12.5"), caret(3), QStringLiteral("."), true,
                                       QStringLiteral("12.50"), caret(5)),
              caret(3));
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("12.5"), caret(3), QString(), true, QStringLiteral("12.50"), caret(5)),
        caret(2));
}

TEST(CaretKeeping, SelectionsAndUnchangedText)
{
    // Unchanged text: the old selection comes back whole.
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("1,234"), {1, 3}, QString(), false, QStringLiteral("1,234"), caret(5)),
        (TextSelection{1, 3}));
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("1,234"), {-1, 0}, QString(), false, QStringLiteral("1,234"), caret(2)),
        caret(2));
    // Counting from the end of the old selection; the current length is kept, within the text.
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("12345"), {1, 2}, QString(), false, QStringLiteral("12,345"), {0, 2}),
        (TextSelection{4, 2}));
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("12345"), {1, 2}, QString(), false, QStringLiteral("12,345"), {0, 5}),
        (TextSelection{4, 2}));
    // A selection beyond the old text does not reach outside it.
    EXPECT_EQ(
        cv::fixCurrencySelection(QStringLiteral("123"), {7, 4}, QString(), true, QStringLiteral("1,23"), caret(0)),
        caret(4));
}

TEST(CaretKeeping, CommonPrefix)
{
    EXPECT_EQ(cv::commonPrefixLength(QStringLiteral("12,345"), QStringLiteral("123,456")), 2);
    EXPECT_EQ(cv::commonPrefixLength(QStringLiteral("123"), QStringLiteral("1234")), 3);
    EXPECT_EQ(cv::commonPrefixLength(QStringLiteral("abc"), QStringLiteral("xbc")), 0);
    EXPECT_EQ(cv::commonPrefixLength(QString(), QStringLiteral("1")), 0);
}
