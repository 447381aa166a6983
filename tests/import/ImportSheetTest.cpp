// The statement import sheet, driven through its page object; results are
// read back from the store and the learned-mapping records.

#include "import/ImportSheetPage.h"

#include "import/ImportBookTest.h"
#include "platform/ScriptedAlertPresenter.h"

#include <QLabel>

#include <gtest/gtest.h>

using namespace paneltest;
using importtest::Stored;
using Sheet = cv::ImportOFXSheet;

namespace {

class ImportSheetTest : public importtest::ImportBookTest {
protected:
    // Food (after the card as partner), Salary and the card for rows 0-2 of S1, then bank A for all rows.
    void chooseForS1(ImportSheetPage &page)
    {
        page.click(Sheet::TransferColumn, 0);
        ASSERT_TRUE(page.choose("C"));
        page.click(Sheet::CategoryColumn, 0);
        ASSERT_TRUE(page.choose("Food"));
        page.click(Sheet::CategoryColumn, 1);
        ASSERT_TRUE(page.choose("Salary"));
        page.click(Sheet::TransferColumn, 2);
        ASSERT_TRUE(page.choose("C"));
        page.selectAll();
        page.menu(Sheet::MenuAccount);
        ASSERT_TRUE(page.choose("A"));
    }

    // An OFX 1.x statement of account 999 in `currency`; each row "yyyyMMdd amount name".
    QString statement(const char *name, const QByteArray &currency, const QList<QByteArray> &rows)
    {
        QByteArray body =
            "OFXHEADER:100\n\n<OFX><STMTRS><CURDEF>" + currency + "<BANKACCTFROM><ACCTID>999</BANKACCTFROM>";
        for (const QByteArray &row : rows)
            body += "\n<STMTTRN><DTPOSTED>" + row.split(' ')[0] + "<TRNAMT>" + row.split(' ')[1] + "<NAME>" +
                    row.split(' ')[2] + "</STMTTRN>";
        return writeFile(QLatin1String(name), body + "\n</STMTRS></OFX>\n" + QByteArray(100, '\n'));
    }

    const QString shop = u"スーパー東町店"_qs;
    const QString payer = u"カ)エービーシー"_qs;
    const QString card = u"カード引落"_qs;
};

} // namespace

TEST_F(ImportSheetTest, TheRowsOfAStatementAsShown)
{
    ImportSheetPage page(doc.get());
    ASSERT_TRUE(page.load("S1.ofx"));
    const std::vector<QStringList> expected = {
        {"2008/05/10", shop, "", "5,000", "", "(1)", "", ""},
        {"2008/05/25", payer, "300,000", "", "", "(1)", "", ""},
        {"2008/05/27", card, "", "12,000", "", "(1)", "", ""},
    };
    ASSERT_EQ(page.sheet.rows().size(), expected.size());
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < Sheet::ColumnCount; ++column)
            EXPECT_EQ(page.text(column, row), expected[size_t(row)][column]) << row << "," << column;
    page.sheet.accountDetailBox()->setChecked(true);
    EXPECT_EQ(page.text(Sheet::AccountColumn, 0), QStringLiteral("1234567"));
    EXPECT_FALSE(page.sheet.okButton()->isEnabled());    // nothing complete yet
    EXPECT_FALSE(page.sheet.applyButton()->isEnabled()); // nothing learned yet

    // The tick toggles on a click; a category of the other direction is never given.
    page.click(Sheet::TickColumn, 0);
    EXPECT_EQ(page.sheet.rows()[0]->checkFlags(), 2);
    page.click(Sheet::MemoColumn, 0);
    page.click(Sheet::MemoColumn, 1, Qt::ControlModifier);
    page.menu(Sheet::MenuCategory); // expense categories, for the first selected row
    ASSERT_TRUE(page.choose("Food"));
    EXPECT_EQ(page.text(Sheet::CategoryColumn, 0), QStringLiteral("Food"));
    EXPECT_EQ(page.sheet.rows()[1]->category(), 0);
    page.jumpToDate(QDate(2008, 5, 31)); // the selected rows take the calendar's day
    EXPECT_EQ(page.text(Sheet::DateColumn, 1), QStringLiteral("2008/05/31"));
    EXPECT_EQ(page.text(Sheet::DateColumn, 2), QStringLiteral("2008/05/27"));

    // Before an account is chosen, amounts show as the wallet, where the rows go by default, stores them.
    ASSERT_TRUE(page.loadPath(statement("cad.ofx", "CAD", {"20240105 -6.57 Tim", "20240106 -316.42 Rent"})));
    EXPECT_EQ(page.text(Sheet::WithdrawalColumn, 0), QStringLiteral("6"));
    EXPECT_EQ(page.text(Sheet::WithdrawalColumn, 1), QStringLiteral("316"));
    EXPECT_TRUE(page.sheet.noticeLabel()->text().contains(u"“Wallet”"_qs));
}

TEST_F(ImportSheetTest, ChoicesAreStoredAndLearnedAndCancelForgetsThem)
{
    seed(cv::StatementAccountMapping, {{"999", kC}});
    {
        ImportSheetPage page(doc.get());
        ASSERT_TRUE(page.load("S1.ofx"));
        chooseForS1(page);
        page.sheet.cancelPushed();
        EXPECT_EQ(page.sheet.result(), 0);
        EXPECT_TRUE(stored().empty());
        EXPECT_TRUE(record(cv::StatementMemoMapping).isEmpty());
        EXPECT_EQ(record(cv::StatementAccountMapping).size(), 1);
    }
    {
        ImportSheetPage page(doc.get());
        ASSERT_TRUE(page.load("S1.ofx"));
        chooseForS1(page);
        EXPECT_EQ(page.sheet.completeDataCount(), 3);
        page.ok();
        EXPECT_EQ(page.sheet.result(), 1);
    }
    EXPECT_EQ(stored(), (std::vector<Stored>{
                            {QDate(2008, 5, 10), cv::EntryKind::Expense, 5000, kFood, kA, 0, shop},
                            {QDate(2008, 5, 25), cv::EntryKind::Income, 300000, kSalary, kA, 0, payer},
                            {QDate(2008, 5, 27), cv::EntryKind::Transfer, 12000, 11, kA, kC, card},
                        }));
    EXPECT_EQ(record(cv::StatementMemoMapping).value(shop), kFood);
    EXPECT_EQ(record(cv::StatementMemoMapping).value(payer), kSalary);
    EXPECT_EQ(record(cv::StatementMemoMapping).value(card), -kC);
    EXPECT_EQ(record(cv::StatementMemoMapping).size(), 3);
    EXPECT_EQ(record(cv::StatementAccountMapping).value(QStringLiteral("1234567")), kA);
    EXPECT_EQ(record(cv::StatementAccountMapping).size(), 2);

    // The next statement from the same bank is complete after Apply.
    ImportSheetPage again(doc.get());
    ASSERT_TRUE(again.load("S1.ofx"));
    again.apply();
    EXPECT_EQ(again.sheet.completeDataCount(), 3);
    EXPECT_EQ(again.text(Sheet::CategoryColumn, 0), QStringLiteral("Food"));
    EXPECT_EQ(again.text(Sheet::TransferColumn, 2), QStringLiteral("C"));
    EXPECT_EQ(again.text(Sheet::AccountColumn, 1), QStringLiteral("A"));
}

// A learned value that no longer fits the book or the row is passed over.
TEST_F(ImportSheetTest, StaleMappingsAreSkipped)
{
    const cv::NodePtr deleted = samplebook::node(doc->categoryTrees()->expense(), 2050, 21, QStringLiteral("Gone"));
    doc->deleteNode(deleted);
    seed(cv::StatementMemoMapping, {{shop, 2050}, {payer, kFood}, {card, -4711}});
    seed(cv::StatementAccountMapping, {{"1234567", kFood}});
    ImportSheetPage page(doc.get());
    ASSERT_TRUE(page.load("S1.ofx"));
    page.apply();
    for (const cv::EntryPtr &row : page.sheet.rows()) {
        EXPECT_EQ(row->category(), 0) << row->memo().toStdString();
        EXPECT_EQ(row->destination(), 0) << row->memo().toStdString();
        EXPECT_EQ(row->account(), -1) << row->memo().toStdString();
    }
}

// Food learned for the shop, then a category dropped onto Food (whose entries
// were deleted) made it a folder: nothing may be filed on the folder.
// Food is learned for the shop, its entry deleted, and Food made a folder by a
// drop onto it (the viewer's steps); the next statement files nothing on the
// folder, and a rebuild, as the next open runs, leaves bank A where it was.
TEST_F(ImportSheetTest, AMappingToACategoryThatBecameAFolderIsPassedOver)
{
    {
        ImportSheetPage page(doc.get());
        ASSERT_TRUE(page.load("S1.ofx"));
        chooseForS1(page);
        page.ok();
        ASSERT_EQ(page.sheet.result(), 1);
    }
    ASSERT_EQ(record(cv::StatementMemoMapping).value(shop), kFood);
    cv::SearchConditions onFood;
    onFood.date = {QDate(1, 1, 1), QDate(9999, 12, 31)};
    const auto entries = doc->store()->findEntry(onFood);
    for (const cv::EntryPtr &e : entries.value())
        if (e->category() == kFood) doc->updateExpense(nullptr, e);
    doc->recalculate();
    {
        const cv::NodePtr food = doc->findExpense(kFood);
        ASSERT_FALSE(doc->hasCache(food)); // so the drop turns Food itself into the folder
        cv::EditScope edit(*doc);
        food->setKind(cv::NodeKind::Group);
        ASSERT_TRUE(doc->moveNodes(
            {samplebook::node(doc->categoryTrees()->expense(), 2060, 21, QStringLiteral("Snacks"))}, food, 0));
    }
    const QDate end(2008, 5, 31);
    const double before = doc->rawValueForAccount(doc->findAccount(kA), end);

    ImportSheetPage page(doc.get());
    ASSERT_TRUE(page.load("S1.ofx"));
    page.apply();
    EXPECT_EQ(page.sheet.rows()[0]->category(), 0);
    EXPECT_EQ(page.text(Sheet::CategoryColumn, 1), QStringLiteral("Salary")); // the others still apply
    page.click(Sheet::CategoryColumn, 0);
    ASSERT_TRUE(page.choose("Snacks"));
    page.ok();
    ASSERT_EQ(page.sheet.result(), 1);
    for (const Stored &row : stored()) EXPECT_NE(std::get<3>(row), kFood);
    const double imported = doc->rawValueForAccount(doc->findAccount(kA), end);
    EXPECT_DOUBLE_EQ(imported, before + 300000 - 5000 - 12000);
    doc->recalculate();
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(doc->findAccount(kA), end), imported);
}

TEST_F(ImportSheetTest, TheIncompleteRowsQuestion)
{
    using B = cv::AlertButton;
    struct Case {
        B answer;
        int result;
        std::vector<Stored> stored;
    };
    // clang-format off
    const Case cases[] = {
        {B::Default, 1,
         {{QDate(2008, 5, 10), cv::EntryKind::Expense, 5000, kFood, kA, 0, shop},
          {QDate(2008, 5, 25), cv::EntryKind::Income, 300000, 31, 10, 0, payer},
          {QDate(2008, 5, 27), cv::EntryKind::Expense, 12000, 30, 10, 0, card}}},
        {B::Alternate, 1, {{QDate(2008, 5, 10), cv::EntryKind::Expense, 5000, kFood, kA, 0, shop}}},
        {B::Other, 0, {}},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.answer));
        doc = makeBook();
        ScriptedAlertPresenter alerts;
        alerts.answers = {c.answer};
        ImportSheetPage page(doc.get());
        ASSERT_TRUE(page.load("S1.ofx"));
        page.click(Sheet::CategoryColumn, 0);
        ASSERT_TRUE(page.choose("Food"));
        page.click(Sheet::AccountColumn, 0);
        ASSERT_TRUE(page.choose("A"));
        page.menu(Sheet::MenuReject); // row 0 stays selected: left out, then taken in again
        page.menu(Sheet::MenuAccept);
        page.ok();
        ASSERT_EQ(alerts.asked.size(), 1u);
        EXPECT_EQ(page.sheet.result(), c.result);
        EXPECT_EQ(page.sheet.isVisible(), c.result == 0);
        EXPECT_EQ(stored(), c.stored);
    }
}

TEST_F(ImportSheetTest, DefaultsNeverTransferTheWalletToItself)
{
    ScriptedAlertPresenter alerts; // "OFX default"
    ImportSheetPage page(doc.get());
    ASSERT_TRUE(page.load("S3.ofx"));
    page.click(Sheet::CategoryColumn, 0);
    ASSERT_TRUE(page.choose("Food"));
    page.click(Sheet::AccountColumn, 0);
    ASSERT_TRUE(page.choose("A"));
    page.ok();
    EXPECT_EQ(page.sheet.result(), 1);
    const std::vector<Stored> rows = stored();
    EXPECT_EQ(rows.size(), 5u); // the DEP of -20,000 would run from the wallet into the wallet
    for (const Stored &row : rows) EXPECT_NE(std::get<1>(row), cv::EntryKind::Transfer);
}

TEST_F(ImportSheetTest, FilesThatAreNoStatementAreNamed)
{
    const QString empty = statement("empty.ofx", "JPY", {});
    const QString unread = statement("unread.ofx", "JPY", {"20261305 -200 Late"});
    // clang-format off
    const std::pair<const char *, const char *> cases[] = {
        {"S7.csv", "not recognised"}, {"S5.ofx", "damaged"}, {"none.ofx", "could not be opened"},
        {"empty.ofx", "no transactions"}, {"unread.ofx", "Transactions not read"}};
    // clang-format on
    for (const auto &[file, words] : cases) {
        const QLatin1String name(file);
        ScriptedAlertPresenter alerts;
        ImportSheetPage page(doc.get());
        EXPECT_FALSE(page.loadPath(name == "empty.ofx"    ? empty
                                   : name == "unread.ofx" ? unread
                                                          : page.samplePath(file)));
        EXPECT_TRUE(page.sheet.rows().empty());
        // Transactions that did not read are named on the sheet, not denied in an alert.
        ASSERT_EQ(alerts.asked.size(), name == "unread.ofx" ? 0u : 1u) << file;
        const QString shown = alerts.asked.empty() ? page.sheet.noticeLabel()->text() : alerts.asked[0].message;
        EXPECT_TRUE(alerts.asked.empty() || shown.contains(name)) << file;
        EXPECT_TRUE(shown.contains(QLatin1String(words))) << shown.toStdString();
    }
}

// Statements in another currency than the account's, and their transfers.
TEST_F(ImportSheetTest, StatementRowsAsStored)
{
    struct Case {
        const char *what;
        QString path;
        const char *account;                                   // for every row
        std::vector<std::tuple<int, int, const char *>> picks; // column, row, name
        const char *notice;                                    // words the sheet shows before OK
        std::vector<Stored> stored;
        double balanceA, balanceU;
    };
    // clang-format off
    const Case cases[] = {
        {"Canadian cents into a yen account", statement("cad.ofx", "CAD", {"20240105 -6.57 Tim", "20240106 -316.42 Rent"}),
         "A", {{Sheet::CategoryColumn, 0, "Food"}, {Sheet::CategoryColumn, 1, "Food"}}, "CAD",
         {{QDate(2024, 1, 5), cv::EntryKind::Expense, 6, kFood, kA, 0, "Tim"},
          {QDate(2024, 1, 6), cv::EntryKind::Expense, 316, kFood, kA, 0, "Rent"}}, 10000 - 322, 0},
        // As the transfer panels store it: $200 into U, their yen at the book's rate (100) out of A.
        {"a dollar payment from a yen account", statement("usd.ofx", "USD", {"20240105 200.00 PAYMENT", "20240106 -12.345 Fee"}),
         "U", {{Sheet::TransferColumn, 0, "A"}, {Sheet::CategoryColumn, 1, "Food"}}, "",
         {{QDate(2024, 1, 5), cv::EntryKind::Transfer, 20000, 10, kA, kU, "PAYMENT"},
          {QDate(2024, 1, 6), cv::EntryKind::Expense, 12.34, kFood, kU, 0, "Fee"}}, 10000 - 20000, 200 - 12.34},
        // Each row is checked against its own statement's currency.
        {"dollars then yen into a dollar account", ImportSheetPage::samplePath("S21.ofx"),
         "U", {{Sheet::CategoryColumn, 0, "Food"}, {Sheet::CategoryColumn, 1, "Food"}}, "The statement is in JPY, but the account “U”",
         {{QDate(2008, 5, 10), cv::EntryKind::Expense, 7.5, kFood, kU, 0, "one"},
          {QDate(2008, 5, 11), cv::EntryKind::Expense, 317, kFood, kU, 0, "two"}}, 10000, -324.5},
        // Transactions whose date or amount does not read are named, never stored.
        {"transactions that do not read", statement("odd.ofx", "JPY", {"20240105 -100 Shop", "20261305 -200 Late", "20240107 -1x0 Odd"}),
         "A", {{Sheet::CategoryColumn, 0, "Food"}},
         "Transactions not read, without a date or an amount that reads (2): no. 2 (date “20261305”, “Late”), no. 3 (date “20240107”, “Odd”).",
         {{QDate(2024, 1, 5), cv::EntryKind::Expense, 100, kFood, kA, 0, "Shop"}}, 10000 - 100, 0},
        // Shift_JIS under a UTF-8 header: the half-width names stay two names.
        {"a header the bytes contradict", ImportSheetPage::samplePath("S20-cp932-as-utf8.ofx"),
         "A", {{Sheet::CategoryColumn, 0, "Food"}, {Sheet::CategoryColumn, 1, "Food"}, {Sheet::CategoryColumn, 2, "Food"}},
         "it was read as Japanese (Shift JIS)",
         {{QDate(2018, 1, 5), cv::EntryKind::Expense, 100, kFood, kA, 0, u"電話料"_qs},
          {QDate(2018, 1, 6), cv::EntryKind::Expense, 200, kFood, kA, 0, u"ｶｰﾄﾞ"_qs},
          {QDate(2018, 1, 7), cv::EntryKind::Expense, 300, kFood, kA, 0, u"ﾃﾞﾝﾜ"_qs}}, 10000 - 600, 0},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        doc = makeBook();
        ImportSheetPage page(doc.get());
        ASSERT_TRUE(page.loadPath(c.path));
        page.selectAll();
        page.menu(Sheet::MenuAccount);
        ASSERT_TRUE(page.choose(QLatin1String(c.account)));
        for (const auto &[column, row, name] : c.picks) {
            page.click(column, row);
            ASSERT_TRUE(page.choose(QLatin1String(name)));
        }
        EXPECT_EQ(page.sheet.noticeLabel()->isVisible(), *c.notice != 0);
        EXPECT_TRUE(page.sheet.noticeLabel()->text().contains(QString::fromUtf8(c.notice)))
            << page.sheet.noticeLabel()->text().toStdString();
        page.ok();
        EXPECT_EQ(page.sheet.result(), 1);
        EXPECT_EQ(stored(), c.stored);
        const QDate end(2024, 12, 31);
        EXPECT_DOUBLE_EQ(doc->rawValueForAccount(doc->findAccount(kA), end), c.balanceA);
        EXPECT_NEAR(doc->rawValueForAccount(doc->findAccount(kU), end), c.balanceU, 1e-9);
    }
}
