#include "platform/CaretKeeping.h"

#include <gtest/gtest.h>

using cv::TextSelection;

TEST(CaretKeeping, TheCaretStaysBetweenTheSameDigits)
{
    const struct {
        const char *what;
        const char *before;
        TextSelection old;
        const char *significant;
        bool fromStart;
        const char *after;
        TextSelection current, kept;
    } cases[] = {
        {"123|45 -> 12,3|45, counting from the end", "12345", {3, 0}, "", false, "12,345", {6, 0}, {4, 0}},
        {"1|234 -> 1|,234 from the beginning", "1234", {1, 0}, "", true, "1,234", {5, 0}, {1, 0}},
        {"1|234 -> 1,|234 from the end", "1234", {1, 0}, "", false, "1,234", {5, 0}, {2, 0}},
        {"removing a separator: 1,2|34 -> 12|34", "1,234", {3, 0}, "", false, "1234", {4, 0}, {2, 0}},
        {"full-width digits from an input method", "１２３４", {1, 0}, "", false, "１,２３４", {5, 0}, {2, 0}},
        {"nothing after the caret: at the end", "1234", {4, 0}, "", false, "1,234", {0, 0}, {5, 0}},
        {"nothing before it: at the start", "1234", {0, 0}, "", true, "1,234", {3, 0}, {0, 0}},
        {"fewer digits than were after the caret", "12345", {0, 0}, "", false, "12", {1, 0}, {1, 0}},
        {"the point significant: 12.|5 -> 12.|50", "12.5", {3, 0}, ".", true, "12.50", {5, 0}, {3, 0}},
        {"the point not significant: after the 2", "12.5", {3, 0}, "", true, "12.50", {5, 0}, {2, 0}},
        {"unchanged text: the old selection whole", "1,234", {1, 3}, "", false, "1,234", {5, 0}, {1, 3}},
        {"unchanged text, no old selection", "1,234", {-1, 0}, "", false, "1,234", {2, 0}, {2, 0}},
        {"the current length is kept", "12345", {1, 2}, "", false, "12,345", {0, 2}, {4, 2}},
        {"the current length, within the text", "12345", {1, 2}, "", false, "12,345", {0, 5}, {4, 2}},
        {"a selection beyond the old text", "123", {7, 4}, "", true, "1,23", {0, 0}, {4, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(cv::fixCurrencySelection(QString::fromUtf8(c.before), c.old, QString::fromUtf8(c.significant),
                                           c.fromStart, QString::fromUtf8(c.after), c.current),
                  c.kept);
    }
}

TEST(CaretKeeping, CommonPrefix)
{
    EXPECT_EQ(cv::commonPrefixLength(QStringLiteral("12,345"), QStringLiteral("123,456")), 2);
    EXPECT_EQ(cv::commonPrefixLength(QStringLiteral("123"), QStringLiteral("1234")), 3);
    EXPECT_EQ(cv::commonPrefixLength(QStringLiteral("abc"), QStringLiteral("xbc")), 0);
    EXPECT_EQ(cv::commonPrefixLength(QString(), QStringLiteral("1")), 0);
}
