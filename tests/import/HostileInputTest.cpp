// Statements that are damaged or built to hurt: every read ends with rows
// that keep the pending-row promises, or with a refusal.

#include "import/StatementReaders.h"

#include <QFile>

#include <gtest/gtest.h>

#include <random>

using cv::StatementRead;

namespace {

QByteArray sample(const char *name)
{
    QFile f(QStringLiteral(CV_TEST_FIXTURES "/import/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The promises the sheet relies on; the text of the first one broken.
std::string broken(const StatementRead &read)
{
    if (read.status != StatementRead::Status::Read && (!read.rows.empty() || !read.accounts.isEmpty()))
        return "a refusal kept rows";
    for (const cv::EntryPtr &row : read.rows) {
        if (!row->date().isValid()) return "a row without a date";
        if (!(row->amount() >= 0)) return "a negative amount";
        if (row->account() > 0 || -row->account() > read.accounts.size()) return "an account outside the ids";
    }
    return {};
}

QByteArray mutate(QByteArray data, std::mt19937 &random)
{
    auto at = [&](qsizetype size) {
        return std::uniform_int_distribution<qsizetype>(0, std::max<qsizetype>(size - 1, 0))(random);
    };
    switch (random() % 5) {
    case 0: data.truncate(at(data.size())); break;
    case 1:
        for (int i = 0; i < 8; ++i) data[at(data.size())] = char(random());
        break;
    case 2: data.insert(at(data.size()), QByteArray(int(random() % 4) + 1, '\0')); break;
    case 3: { // a stretch repeated
        const qsizetype from = at(data.size());
        data.insert(from, data.mid(from, 40).repeated(int(random() % 50) + 1));
        break;
    }
    default: data.remove(at(data.size()), qsizetype(random() % 64)); break;
    }
    return data;
}

} // namespace

TEST(HostileInput, MutatedSamplesReadOrAreRefused)
{
    std::mt19937 random(35);
    for (const char *name : {"S1.ofx", "S3.ofx"}) {
        const QByteArray original = sample(name);
        ASSERT_FALSE(original.isEmpty());
        for (int i = 0; i < 10000; ++i) {
            const QByteArray data = mutate(original, random);
            const std::string fault = broken(cv::readStatement(data));
            ASSERT_EQ(fault, "") << name << " mutation " << i;
        }
    }
}

TEST(HostileInput, DeepTagsHugeValuesAndNulBytes)
{
    const QByteArray ofx1 = "OFXHEADER:100\n\n<OFX>" + QByteArray(100, ' ');
    const QByteArray xml = "<?xml version=\"1.0\"?><OFX>";
    const QByteArray huge(60 * 1024 * 1024, 'x');
    struct Case {
        const char *what;
        QByteArray data;
        StatementRead::Status status;
        size_t rows;
    };
    // clang-format off
    const Case cases[] = {
        {"OFX 1.x tags 10,000 deep", ofx1 + QByteArray("<STMTTRN>").repeated(10000) + "<DTPOSTED>20080501<TRNAMT>1</STMTTRN>",
         StatementRead::Status::Read, 1},
        {"OFX 2 elements 10,000 deep", xml + QByteArray("<STMTTRN>").repeated(10000), StatementRead::Status::Damaged, 0},
        {"a 60 MiB OFX 1.x name", ofx1 + "<STMTTRN><DTPOSTED>20080501<TRNAMT>1<NAME>" + huge + "\n</STMTTRN>",
         StatementRead::Status::Read, 1},
        {"a 60 MiB OFX 2 name",
         xml + "<STMTTRN><DTPOSTED>20080501</DTPOSTED><TRNAMT>1</TRNAMT><NAME>" + huge + "</NAME></STMTTRN></OFX>",
         StatementRead::Status::Read, 1},
        {"60 MiB of unclosed tags", ofx1 + QByteArray(60 * 1024 * 1024, '<'), StatementRead::Status::Read, 0},
        {"NUL bytes in OFX 1.x", ofx1 + QByteArray("<STMTTRN><DTPOSTED>2008\0" "0501<TRNAMT>1</STMTTRN>", 43),
         StatementRead::Status::Read, 0},
        {"NUL bytes in OFX 2", xml + QByteArray("<STMTTRN>\0</STMTTRN></OFX>", 26), StatementRead::Status::Damaged, 0},
        {"NUL bytes after the OFX 2 root",
         xml + "<STMTTRN><DTPOSTED>20080501</DTPOSTED><TRNAMT>1</TRNAMT></STMTTRN></OFX>" + QByteArray(512, '\0'),
         StatementRead::Status::Read, 1},
    };
    // clang-format on
    for (const Case &c : cases) {
        const StatementRead read = cv::readStatement(c.data);
        EXPECT_EQ(read.status, c.status) << c.what;
        EXPECT_EQ(read.rows.size(), c.rows) << c.what;
        EXPECT_EQ(broken(read), "") << c.what;
    }
}
