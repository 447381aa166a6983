// Schema, info rows, loan rows and compacting.
#include "document/store/StoreTestSupport.h"

namespace {

using SchemaTest = StoreTest;

TEST_F(SchemaTest, FreshStoreHasEmptyTablesAndACreateTwiceChangesNothing)
{
    for (const char *table : {"InfoTable", "LoanTable", "ActualTable", "PriceTable", "TradeTable", "ExchangeTable"})
        EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM %1;").arg(QLatin1String(table))), QStringList({"0"}));
    ASSERT_TRUE(store->putSettingsData("settings"));
    // The tables exist: every statement fails, is logged, and nothing is lost.
    EXPECT_FALSE(store->create());
    EXPECT_EQ(store->getSettingsData(), QByteArray("settings"));
    EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM sqlite_master;")), QStringList({"17"}));
}

TEST_F(SchemaTest, InfoRowsKeepOneArchivePerId)
{
    const QByteArray binary("bplist00\x00\x01\xff'quote'", 18);
    ASSERT_TRUE(store->putAccountData("first"));
    ASSERT_TRUE(store->putAccountData(binary));
    // An archive the archiver refused (empty) never replaces a good row.
    EXPECT_FALSE(store->putAccountData(QByteArray()));
    EXPECT_EQ(store->getAccountData(), binary);
    EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM InfoTable WHERE id=1;")), QStringList({"1"}));
    // Stored as one line of Base64 text.
    EXPECT_EQ(rows(QStringLiteral("SELECT info FROM InfoTable WHERE id=1;")),
              QStringList({QString::fromLatin1(binary.toBase64())}));

    ASSERT_TRUE(store->putCategoryData("actual"));
    ASSERT_TRUE(store->putCurrencyData("currency"));
    ASSERT_TRUE(store->putSecurityData("brand"));
    ASSERT_TRUE(store->putGroupData("group"));
    ASSERT_TRUE(store->putSettingsData("settings"));
    ASSERT_TRUE(store->putImportMappingData("ofx", 102));
    ASSERT_TRUE(store->putImportMappingData("mobile", 106));
    EXPECT_EQ(rows(QStringLiteral("SELECT id FROM InfoTable ORDER BY id;")),
              QStringList({"1", "2", "3", "4", "5", "100", "102", "106"}));
    EXPECT_EQ(store->getImportMappingData(106), QByteArray("mobile"));
    EXPECT_TRUE(store->getImportMappingData(103).isNull());
    EXPECT_FALSE(store->putImportMappingData("x", 107));
    EXPECT_TRUE(store->getImportMappingData(1).isNull());
    EXPECT_EQ(changes.done(), 9);

    // The print settings do not mark the document changed; no data writes nothing.
    changes.reset();
    EXPECT_FALSE(store->putPrintSettings(QByteArray()));
    EXPECT_TRUE(store->getPrintSettings().isNull());
    ASSERT_TRUE(store->putPrintSettings("print"));
    EXPECT_EQ(store->getPrintSettings(), QByteArray("print"));
    EXPECT_EQ(changes.done(), 0);
}

// A damaged info row must not pass for a missing one: the open would start an
// empty list and hand the lost records' idents out again.
TEST_F(SchemaTest, DamagedInfoRowsAreNotMissing)
{
    ASSERT_TRUE(store->database()->performQuery(
        QStringLiteral("INSERT INTO InfoTable VALUES(2, 'not base64!'); INSERT INTO InfoTable VALUES(3, NULL);"
                       "INSERT INTO LoanTable VALUES(1001, 0, 'YWJ');")));
    EXPECT_FALSE(store->getCategoryData().isNull());
    EXPECT_TRUE(store->getCategoryData().isEmpty());
    EXPECT_TRUE(store->getCurrencyData().isNull());
    EXPECT_FALSE(store->getLoanData(1001).isNull());
    EXPECT_TRUE(store->getLoanData(1001).isEmpty());
    EXPECT_TRUE(store->getSecurityData().isNull());
}

TEST_F(SchemaTest, LoanRowsAndCompacting)
{
    EXPECT_TRUE(store->getLoanData(1005).isNull());
    ASSERT_TRUE(store->putLoanData(1005, "schedule one"));
    ASSERT_TRUE(store->putLoanData(1005, "schedule two"));
    EXPECT_FALSE(store->putLoanData(1005, QByteArray()));
    ASSERT_TRUE(store->putLoanData(1006, "other"));
    EXPECT_EQ(store->getLoanData(1005), QByteArray("schedule two"));
    EXPECT_EQ(rows(QStringLiteral("SELECT id, info FROM LoanTable ORDER BY id;")),
              QStringList({"1005 | 0", "1006 | 0"}));
    EXPECT_EQ(changes.done(), 3);

    store->vacuum();
    EXPECT_EQ(store->getLoanData(1006), QByteArray("other"));
}

TEST(SchemaWithoutDatabase, ClosedStoreAnswersNothing)
{
    QTemporaryDir tmp;
    cv::work::setWorkFolder(tmp.filePath(QStringLiteral("Work")));
    {
        cv::BookStore store;
        EXPECT_FALSE(store.isOpen());
        EXPECT_FALSE(store.putAccountData("x"));
        EXPECT_TRUE(store.getAccountData().isNull());
        auto e = entry(1, QDate(2008, 3, 5), 1);
        EXPECT_FALSE(store.putEntry(e));
        EXPECT_EQ(e->ident(), -1);
        EXPECT_FALSE(store.findEntriesByDate(QDate(2008, 3, 5)));
        EXPECT_FALSE(store.findTradeFrom(QDate(), QDate(), -1, -1, 0));
        EXPECT_EQ(store.getDataCountForGroup({1}), -1);
        store.vacuum();
    }
    cv::work::setWorkFolder(QString());
}

} // namespace
