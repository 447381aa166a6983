#include "SQLite2TestSupport.h"

#include "document/SQLite2Reader.h"

#include <gtest/gtest.h>

using cv::SQLite2Reader;
using sqlite2test::fixture;

TEST(SQLite2Reader, DumpsEachFixtureExactlyAsTheOldShell)
{
    for (const char *name : {"small", "odd", "big"}) {
        SCOPED_TRACE(name);
        const QByteArray db = fixture(name);
        const QByteArray expected = fixture(name, true);
        ASSERT_FALSE(db.isEmpty());
        ASSERT_FALSE(expected.isEmpty());
        SQLite2Reader reader(db);
        const std::optional<QByteArray> dump = reader.dump();
        ASSERT_TRUE(dump) << reader.error().toStdString();
        EXPECT_EQ(dump->toStdString(), expected.toStdString());
        // Every page but the header is reached by some tree (no free pages in the fixtures).
        EXPECT_EQ(reader.pagesVisited(), reader.pageCount() - 1);
    }
}
