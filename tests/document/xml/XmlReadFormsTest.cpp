// Number and date forms of a book's XML: decimals read to the same double as
// Qt's reading of the leading number; dates only as three dotted numbers.
#include "document/BookTestSupport.h"

#include "document/xml/BookXML.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QString>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace {

// Qt's reading of the leading number that the reader accepts.
double qtReading(QStringView text)
{
    bool ok = false;
    const double value = cv::xml::leadingNumber(text).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

void expectSameReading(const QString &text)
{
    EXPECT_EQ(std::bit_cast<quint64>(cv::xml::parseDecimal(text)), std::bit_cast<quint64>(qtReading(text)))
        << qPrintable(text);
}

TEST(XmlDecimalTest, ReadAsQtReadsThem)
{
    // clang-format off
    const char *edges[] = {
        "", "-", "+", ".", "abc", "0", "-0", "-0.00", "+0.00", "0e5", "12", "+1.5", "-1.5", ".5", "5.", "-.5",
        "1.e5", "1e", "1e+", "1E-3x", " \t 12.50 ", "12abc", "0x10", "1e400", "-1e400", "1e-400", "-1e-400",
        "4.9e-324", "2.2250738585072014e-308", "2.2250738585072009e-308", "1.7976931348623157e308",
        "1.7976931348623159e308", "0.1000000000000000055511151231257827021181583404541015625",
        "123456789012345678901234567890123456789012345678901234567890123456789.5", "9007199254740993",
        "38757839.763882", "-5.513849", "0.023016", "2.592862", "30000.00", "1.2.3", "--1", "1e-5", "1e22", "1e23",
    };
    // clang-format on
    for (const char *text : edges) expectSameReading(QString::fromLatin1(text));

    // The forms a book is written in: two and six decimals, and the shortest
    // text that reads back, over a spread of magnitudes.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 25);
    for (int n = 0; n < 20000; ++n) {
        const double v = mantissa(random) * std::pow(10.0, exponent(random));
        expectSameReading(QString::number(v, 'f', 2));
        expectSameReading(QString::number(v, 'f', 6));
        expectSameReading(QString::number(v, 'g', 17));
        expectSameReading(QString::number(v, 'e', 20));
    }
}

using XmlFormsTest = DocumentTest;

TEST_F(XmlFormsTest, DatesAreThreeDottedNumbers)
{
    cv::Book target;
    ASSERT_TRUE(target.store()->create());
    QByteArray text = "<?xml version=\"1.0\"?>\n<cvxf version=\"1.0\">\n<expense><node_actual id=\"1003\">";
    int value = 0;
    for (const char *date : {"2008.3.5", " 2008 . 3 . 6 ", "2008.+3.7", "2008.03.08", "2008.3", "2008.3.5.1", "", "..",
                             "2008.3.x", "2008..9", ".3.10", "2008.13.1"})
        text += QByteArray("<actual kind=\"1\" category=\"1003\" account=\"1002\" date=\"") + date + "\" value=\"" +
                QByteArray::number(++value) + "\"/>";
    text += "</node_actual></expense>\n</cvxf>\n";
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    ASSERT_TRUE(cv::xml::importFrom(target, buffer, nullptr));

    cv::SearchConditions all;
    all.date = {QDate(1900, 1, 1), QDate(2999, 1, 1)};
    const auto entries = target.store()->findEntry(all);
    ASSERT_TRUE(entries);
    QStringList read;
    for (const auto &e : *entries)
        read << QStringLiteral("%1 %2").arg(e->amount()).arg(e->date().toString(Qt::ISODate));
    EXPECT_EQ(read, QStringList({"1 2008-03-05", "2 2008-03-06", "3 2008-03-07", "4 2008-03-08"}));
}

} // namespace
