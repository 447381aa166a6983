#include "platform/Base64Utilities.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringList>

TEST(Base64Test, EncodesWithPaddingOnOneLine)
{
    EXPECT_EQ(cv::Base64Utilities::base64EncodingForData("abc"), QStringLiteral("YWJj"));
    EXPECT_EQ(cv::Base64Utilities::base64EncodingForData("ab"), QStringLiteral("YWI="));
    EXPECT_EQ(cv::Base64Utilities::base64EncodingForData("a"), QStringLiteral("YQ=="));
    EXPECT_EQ(cv::Base64Utilities::base64EncodingForData(QByteArray("\xfb\xff\xbf", 3)), QStringLiteral("+/+/"));
    const QString empty = cv::Base64Utilities::base64EncodingForData(QByteArray());
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(empty.isEmpty());
    // Long data stays on one line.
    EXPECT_FALSE(cv::Base64Utilities::base64EncodingForData(QByteArray(1000, 'x')).contains(u'\n'));
}

TEST(Base64Test, DecodesWhatTheEncoderWrites)
{
    // Every length and every byte value survives the round trip; agrees with Qt's codec.
    auto *rng = QRandomGenerator::global();
    for (int n = 0; n < 70; ++n) {
        QByteArray data(n, '\0');
        for (char &c : data) c = char(rng->bounded(256));
        const QString text = cv::Base64Utilities::base64EncodingForData(data);
        EXPECT_EQ(text.toLatin1(), data.toBase64());
        if (n > 0) {
            EXPECT_EQ(cv::Base64Utilities::dataWithBase64EncodedString(text), data);
        }
    }
}

TEST(Base64Test, RejectsTextTheEncoderNeverWrites)
{
    // clang-format off
    const QStringList bad = {
        QString(), QStringLiteral(""),
        QStringLiteral("YWJ"), QStringLiteral("YWJjY"), // not a multiple of four
        QStringLiteral("YW J"), QStringLiteral("YWJj\n"), QStringLiteral("YW-j"), QStringLiteral("YWJ\u00e9"),
        QStringLiteral("ＹＷＪｊ"), // full-width letters
        QStringLiteral("YW=j"), QStringLiteral("Y=Jj"), QStringLiteral("YQ==YWJj"), // "=" before the end
        QStringLiteral("Y==="), QStringLiteral("===="),
    };
    // clang-format on
    for (const QString &s : bad) EXPECT_FALSE(cv::Base64Utilities::dataWithBase64EncodedString(s)) << qPrintable(s);
}
