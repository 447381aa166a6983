// The text, mobile and price import sheets and the transfer choice window,
// driven through their pages; results are read back from the store and the
// learned-mapping records.

#include "import/ImportSheetPage.h"

#include "document/store/BookStore.h"
#include "import/ImportBookTest.h"
#include "model/Security.h"
#include "platform/ScriptedAlertPresenter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>

using namespace paneltest;
using importtest::Stored;
using TextSheet = cv::ImportTextSheet;
using MobileSheet = cv::ImportMobileDataSheet;
using B = cv::AlertButton;

namespace {

constexpr int kDaily = 2003;
constexpr int kWallet = 10;

class TextImportSheetsTest : public importtest::ImportBookTest {
protected:
    std::unique_ptr<cv::Book> makeDocument() override
    {
        auto book = makeBook();
        samplebook::node(book->categoryTrees()->expense(), kDaily, 21, QStringLiteral("Daily"));
        book->clearLookups();
        return book;
    }
    // Records 105 and 106 for S9.
    void seedMobile()
    {
        cv::LearnedMapping categories, accounts;
        categories.learn(u"食費"_qs, kFood);
        categories.learn(u"給料"_qs, kSalary);
        categories.learn(u"交通費"_qs, kDaily);
        categories.learn(u"引出"_qs, -kWallet);
        accounts.learn(u"財布"_qs, kWallet);
        accounts.learn(u"銀行"_qs, kA);
        seed(cv::MobileCategoryMapping, categories);
        seed(cv::MobileAccountMapping, accounts);
    }
};

} // namespace

TEST_F(TextImportSheetsTest, TextStatementLearnedChosenAndStored)
{
    cv::LearnedMapping learned;
    learned.learn(QStringList{u"食費"_qs, "palm", "expense"}, kFood);
    learned.learn(QStringList{u"利息"_qs, "memo", "income"}, kFood); // an expense category for money in: skipped
    seed(cv::TextMapping, learned);
    ScriptedAlertPresenter alerts;
    alerts.answers = {B::Default}; // "OFX default"
    ImportPage<TextSheet> page(doc.get());
    ASSERT_TRUE(page.load("S7-cp932.csv")); // its encoding seen in the file
    ASSERT_EQ(page.sheet.rows().size(), 6u);
    EXPECT_EQ(page.text(TextSheet::CategoryColumn, 0), QStringLiteral("Food"));
    EXPECT_EQ(page.text(TextSheet::CategoryColumn, 4), QString());
    page.pick(page.sheet.accountBox(), QStringLiteral("A"));
    EXPECT_EQ(page.sheet.importAccount(), kA);
    page.click(TextSheet::PartnerColumn, 2); // 給与: money in from the card
    ASSERT_TRUE(page.choose("C"));
    page.click(TextSheet::CategoryColumn, 1); // "ATM, 東町": learned by its memo
    ASSERT_TRUE(page.choose("Food"));
    page.ok();
    ASSERT_EQ(alerts.asked.size(), 1u); // the incomplete rows
    EXPECT_EQ(page.sheet.result(), 1);
    EXPECT_EQ(stored(), (std::vector<Stored>{
                            {QDate(2008, 5, 10), cv::EntryKind::Expense, 5000, kFood, kA, 0, u"スーパー東町店"_qs},
                            {QDate(2008, 5, 15), cv::EntryKind::Expense, 20000, kFood, kA, 0, u"ATM, 東町"_qs},
                            {QDate(2008, 5, 25), cv::EntryKind::Transfer, 300000, 12, kC, kA, u"給与"_qs},
                            {QDate(2008, 5, 27), cv::EntryKind::Expense, 12000, 30, kA, 0, u"カード引落"_qs},
                            {QDate(2008, 5, 28), cv::EntryKind::Income, 12, 31, kA, 0, u"利息"_qs},
                            {QDate(2008, 5, 30), cv::EntryKind::Income, 1200, 31, kA, 0, QStringLiteral("ShopA")},
                        }));
    const cv::LearnedMapping after = record(cv::TextMapping);
    EXPECT_EQ(after.value(QStringList{u"給料"_qs, "palm", "income"}), -kC);
    EXPECT_EQ(after.value(QStringList{u"ATM, 東町"_qs, "memo", "expense"}), kFood);
    EXPECT_EQ(after.size(), 4);
}

TEST_F(TextImportSheetsTest, TextStatementQuestionsAndRounding)
{
    const QString path = writeFile(QStringLiteral("cents.csv"),
                                   "2008/05/01,Interest,\"$12.349\",,\n2008/05/02,Fee,,0.5,\n2008/05/03,Fee,,0.5,\n");
    struct Case {
        const char *what;
        const char *account;
        std::deque<B> answers;
        int alerts;
        int result;
        std::vector<Stored> stored;
    };
    // clang-format off
    const Case cases[] = {
        {"no account", nullptr, {}, 1, 0, {}},
        {"cancel", "U", {B::Other}, 1, 0, {}},
        {"ignore: complete rows only", "U", {B::Alternate}, 1, 1,
         {{QDate(2008, 5, 1), cv::EntryKind::Income, 12.34, kSalary, kU, 0, "Interest"}}},
        {"same memo: all fees", "U", {B::Default}, 0, 1,
         {{QDate(2008, 5, 1), cv::EntryKind::Income, 12.34, kSalary, kU, 0, "Interest"},
          {QDate(2008, 5, 2), cv::EntryKind::Expense, 0.5, kFood, kU, 0, "Fee"},
          {QDate(2008, 5, 3), cv::EntryKind::Expense, 0.5, kFood, kU, 0, "Fee"}}},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        doc = makeDocument();
        ScriptedAlertPresenter alerts;
        alerts.answers = c.answers;
        ImportPage<TextSheet> page(doc.get());
        ASSERT_TRUE(page.loadPath(path));
        if (c.account) page.pick(page.sheet.accountBox(), QLatin1String(c.account));
        page.click(TextSheet::CategoryColumn, 0);
        ASSERT_TRUE(page.choose("Salary"));
        if (c.alerts == 0) { // a fee's category, and yes to the other fee
            page.click(TextSheet::CategoryColumn, 1);
            ASSERT_TRUE(page.choose("Food"));
        }
        page.ok();
        EXPECT_EQ(int(alerts.asked.size()), std::max(c.alerts, 1));
        EXPECT_EQ(page.sheet.result(), c.result);
        EXPECT_EQ(stored(), c.stored);
    }
}

// Files as banks and other programs write them: the encoding is taken from
// the file, heads that do not fit the layout are named, nothing is silent.
TEST_F(TextImportSheetsTest, TextFilesAsBanksWriteThem)
{
    auto sample = [](const char *name) {
        QFile f(ImportPage<TextSheet>::samplePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : "";
    };
    struct Case {
        const char *what;
        QByteArray bytes;
        const char *encoding; // the popup's item after the pick
        QString memo;         // of the first row
        const char *notice;   // words on the sheet; "" for none
        const char *alert;    // words of an alert; "" for none
    };
    // clang-format off
    const Case cases[] = {
        {"CP932", sample("S7-cp932.csv"), "Japanese (Shift JIS)", u"スーパー東町店"_qs, "Lines not read (1): 7.", ""},
        {"EUC-JP", sample("S7-eucjp.csv"), "Japanese (EUC)", u"スーパー東町店"_qs, "Lines not read (1): 7.", ""},
        {"heads on line 6 below a preamble", sample("S23-preamble-cp932.csv"), "Japanese (Shift JIS)", u"ﾃﾞﾝﾜﾘｮｳ"_qs,
         "Line 6 of the file names its columns “日付, 摘要, 出金, 入金, 残高”", ""},
        {"the preamble and the total named", sample("S23-preamble-cp932.csv"), "Japanese (Shift JIS)", u"ﾃﾞﾝﾜﾘｮｳ"_qs,
         "Lines not read (5): 1, 2, 3, 5, 9.", ""},
        {"a card's charges where income is read", sample("S23-card.csv"), "Unicode (UTF-8)", u"コンビニ"_qs,
         "Line 1 of the file names its columns “ご利用日, ご利用店名, ご利用金額, 支払区分, 今回お支払金額”", ""},
        {"Latin 1", "2024/01/05,Caf\xe9,,5\n", "Western (Windows Latin 1)", u"Café"_qs, "", ""},
        {"deposits after withdrawals", u"日付,内容,出金,入金,残高\n2024/01/05,給与,,1000,5000\n"_qs.toUtf8(),
         "Unicode (UTF-8)", u"給与"_qs, "日付, 内容, 出金, 入金, 残高”, but this import reads each line as date, description, income, expense, category", ""},
        {"only a balance where the category is read", "Date,Description,Deposit,Withdrawal,Balance\n2024/01/05,Pay,1000,,5000\n",
         "Unicode (UTF-8)", "Pay", "“Date, Description, Deposit, Withdrawal, Balance”, and this import reads each line as date, description, income, expense, category: the amounts are read in their places, but the balance", ""},
        {"only a balance, in Japanese", u"日付,摘要,お預入れ,お引出し,残高\n2024/01/05,給与,1000,,5000\n"_qs.toUtf8(),
         "Unicode (UTF-8)", u"給与"_qs, "the amounts are read in their places", ""},
        // Heads whose words run together or bend, and one in the order read.
        {"words run together", "POSTINGDATE,DESCRIPTION,DEBITAMOUNT,CREDITAMOUNT\n2026/01/05,Pay,,2500\n", "Unicode (UTF-8)", "Pay",
         "Line 1 of the file names its columns “POSTINGDATE, DESCRIPTION, DEBITAMOUNT, CREDITAMOUNT”, but", ""},
        {"capitals with a tail", "DATE,DESCRIPTION,DEBITAMT,CREDITAMT\n2026/01/05,Pay,,2500\n", "Unicode (UTF-8)", "Pay",
         "Line 1 of the file names its columns “DATE, DESCRIPTION, DEBITAMT, CREDITAMT”, but", ""},
        {"words that bend", "Date,Details,Debited,Credited,Balance\n2026/01/05,Pay,,2500,9000\n", "Unicode (UTF-8)", "Pay",
         "“Date, Details, Debited, Credited, Balance”, but", ""},
        {"an amount word before the one that bends", "Txn Date,Description,Amount Debited,Amount Credited\n2026/01/05,Pay,,2500\n",
         "Unicode (UTF-8)", "Pay", "“Txn Date, Description, Amount Debited, Amount Credited”, but", ""},
        {"words joined by their capitals", "Date,Description,PaidOut,PaidIn\n2026/01/05,Pay,,2500\n", "Unicode (UTF-8)", "Pay",
         "“Date, Description, PaidOut, PaidIn”, but", ""},
        {"capitals run together in the order written", "DATE,DESCRIPTION,PAIDOUT,PAIDIN\n2026/01/05,Pay,,2500\n", "Unicode (UTF-8)", "Pay",
         "“DATE, DESCRIPTION, PAIDOUT, PAIDIN”, but", ""},
        {"heads that start with an amount word but name none", "Date,Creditor name,Paid in,Paid out,Depositor,Chargeable,CREDITCARDNO\n"
                                                                "2026/01/05,Pay,2500,,ACME,,\n", "Unicode (UTF-8)", "Pay", "", ""},
        {"only the true notice beside such a head", "Date,Debitorname,Credit,Debit,Balance\n2026/01/05,Pay,2500,,9000\n",
         "Unicode (UTF-8)", "Pay", "the amounts are read in their places", ""},
        {"bent words in the order read", "Data,Descricao,Credito,Debito\n2026/01/05,Pay,2500,\n", "Unicode (UTF-8)", "Pay", "", ""},
        {"an opening balance above the heads", "2026/01/01,Opening balance,100000,0\nDate,Memo,Withdrawals,Deposits\n2026/01/05,Grocer,54.20,\n",
         "Unicode (UTF-8)", "Grocer", "Line 2 of the file names its columns “Date, Memo, Withdrawals, Deposits”, but", ""},
        {"a month's total under its own heads", u"2026/03/02,ﾃﾞﾝｷ,,8800\n2026/03/25,ｷﾕｳﾖ,280000,\n集計日,区分,入金合計,出金合計\n"
                                                "2026/03/31,合計,280000,8800\n"_qs.toUtf8(), "Unicode (UTF-8)", u"ﾃﾞﾝｷ"_qs,
         "Summary lines not read (2): 3, 4.", ""},
        {"no lines to read", "Date,Memo\n", "Unicode (UTF-8)", "", "Lines not read (1): 1.", "holds no lines this import can read"},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedAlertPresenter alerts;
        ImportPage<TextSheet> page(doc.get());
        page.pick(page.sheet.encodingBox(), QStringLiteral("Japanese (EUC)")); // what the last file had
        EXPECT_EQ(page.loadPath(writeFile(QStringLiteral("t.csv"), c.bytes)), *c.alert == 0);
        EXPECT_EQ(page.sheet.encodingBox()->currentText(), QLatin1String(c.encoding));
        EXPECT_EQ(page.sheet.rows().empty() ? QString() : page.text(TextSheet::MemoColumn, 0), c.memo);
        EXPECT_EQ(page.sheet.noticeLabel()->isVisible(), *c.notice != 0);
        EXPECT_TRUE(page.sheet.noticeLabel()->text().contains(QString::fromUtf8(c.notice)));
        ASSERT_EQ(alerts.asked.size(), *c.alert ? 1u : 0u);
        if (*c.alert) {
            EXPECT_TRUE(alerts.asked[0].message.contains(QLatin1String(c.alert)) &&
                        alerts.asked[0].message.contains("t.csv"));
        }
    }

    // Another choice in the popup reads the file again in it.
    ImportPage<TextSheet> page(doc.get());
    ASSERT_TRUE(page.load("S7-cp932.csv"));
    page.pick(page.sheet.encodingBox(), QStringLiteral("Unicode (UTF-8)"));
    ASSERT_EQ(page.sheet.rows().size(), 6u);
    EXPECT_TRUE(page.text(TextSheet::MemoColumn, 0).contains(QChar::ReplacementCharacter));
    EXPECT_TRUE(page.sheet.noticeLabel()->text().contains(u"could not be read, shown as � (5): 1, 2, 3, 4, 5."_qs))
        << page.sheet.noticeLabel()->text().toStdString(); // never stored without a word
    page.pick(page.sheet.encodingBox(), QStringLiteral("Japanese (Shift JIS)"));
    EXPECT_EQ(page.text(TextSheet::MemoColumn, 0), u"スーパー東町店"_qs);
    page.selectRows({0, 1}); // one category chosen for every selected row
    page.menu(TextSheet::MenuCategory);
    ASSERT_TRUE(page.choose("Daily"));
    EXPECT_EQ(page.text(TextSheet::CategoryColumn, 1), QStringLiteral("Daily"));

    // A year of one or two digits is no date: nothing is stored before 1900.
    ScriptedAlertPresenter alerts; // "OFX default"
    ASSERT_TRUE(page.loadPath(
        writeFile(QStringLiteral("y.csv"), "6/12/15,Shop,,100\n30/04/01,Shop,,200\n2018/1/5,Shop,,300\n")));
    // A click on the account box's field, short or held, opens its list, as one on its arrow does.
    QComboBox *box = page.sheet.accountBox();
    for (const auto &[held, name, ident] :
         {std::tuple(0, "C", kC), std::tuple(QApplication::doubleClickInterval() + 100, "A", kA)}) {
        page.clickIn(box->lineEdit(), held);
        ASSERT_TRUE(box->view()->isVisible()) << held;
        const QRect item = box->view()->visualRect(box->model()->index(box->findText(QLatin1String(name)), 0));
        QTest::mouseClick(box->view()->viewport(), Qt::LeftButton, {}, item.center());
        EXPECT_EQ(page.sheet.importAccount(), ident);
    }
    page.ok();
    for (const Stored &row : stored()) EXPECT_GE(std::get<0>(row).year(), 1900) << std::get<2>(row);
    EXPECT_EQ(stored().size(), 1u);
}

TEST_F(TextImportSheetsTest, MobileEntriesAppliedChosenAndStored)
{
    seedMobile();
    ScriptedAlertPresenter alerts;
    ImportPage<MobileSheet> page(doc.get());
    ASSERT_TRUE(page.load("S9.csv"));
    ASSERT_EQ(page.sheet.rows().size(), 5u);
    EXPECT_FALSE(page.sheet.okButton()->isEnabled());
    QTest::mouseClick(page.sheet.applyButton(), Qt::LeftButton);
    EXPECT_EQ(page.sheet.completeDataCount(), 5);
    EXPECT_EQ(page.text(MobileSheet::CategoryColumn, 3), QStringLiteral("Transfer → Wallet"));
    // An income category for an expense row clears the row and its tick.
    page.click(MobileSheet::CategoryColumn, 0);
    ASSERT_TRUE(page.choose("Salary"));
    EXPECT_EQ(page.sheet.completeDataCount(), 4);
    // The transfer item opens the choice window for the row; Esc changes nothing.
    page.click(MobileSheet::CategoryColumn, 1);
    ASSERT_TRUE(page.choose(cv::localizedString("SYS:Transfer")));
    ASSERT_TRUE(page.sheet.transferPanel()->isVisible());
    QTest::keyClick(page.sheet.transferPanel(), Qt::Key_Escape);
    EXPECT_EQ(page.sheet.rows()[1].entry->kind(), cv::EntryKind::Income);
    page.selectRows({4}); // rejected: left out though its tick stays
    page.menu(MobileSheet::MenuReject);
    EXPECT_TRUE(page.sheet.rows()[4].tick);
    page.ok();
    ASSERT_EQ(alerts.asked.size(), 1u);
    EXPECT_EQ(page.sheet.result(), 1);
    // clang-format off
    EXPECT_EQ(stored(), (std::vector<Stored>{
                            {QDate(2008, 5, 11), cv::EntryKind::Income, 300000, kSalary, kA, 0, ""},
                            {QDate(2008, 5, 12), cv::EntryKind::Expense, 520, kDaily, kWallet, 0, u"定期 \"外\" 区間"_qs},
                            {QDate(2008, 5, 13), cv::EntryKind::Transfer, 10000, 10, kA, kWallet, "ATM"},
                        }));
    // clang-format on
}

// Stale learned values are skipped, and an empty name is never learned.
TEST_F(TextImportSheetsTest, MobileMappingsAreCheckedAndNeverEmpty)
{
    cv::LearnedMapping categories, accounts;
    categories.learn(u"食費"_qs, kSalary); // an income category for money out
    categories.learn(u"引出"_qs, -4711);   // no such account
    accounts.learn(u"財布"_qs, kFood);     // no account
    seed(cv::MobileCategoryMapping, categories);
    seed(cv::MobileAccountMapping, accounts);
    ImportPage<MobileSheet> page(doc.get());
    ASSERT_TRUE(page.loadPath(writeFile(QStringLiteral("m.csv"),
                                        "2008/05/10,食費,財布,,1200,\n2008/05/13,引出,,,100,\n2008/05/14,,,,200,\n")));
    QTest::mouseClick(page.sheet.applyButton(), Qt::LeftButton);
    for (const MobileSheet::Row &row : page.sheet.rows()) {
        EXPECT_EQ(row.entry->category(), 0);
        EXPECT_EQ(row.entry->account(), 0);
        EXPECT_NE(row.entry->kind(), cv::EntryKind::Transfer);
    }
    page.click(MobileSheet::CategoryColumn, 2); // the unnamed row
    ASSERT_TRUE(page.choose("Food"));
    page.click(MobileSheet::AccountColumn, 2);
    ASSERT_TRUE(page.choose("A"));
    ScriptedAlertPresenter alerts;
    page.ok();
    EXPECT_EQ(page.sheet.result(), 1);
    EXPECT_EQ(record(cv::MobileCategoryMapping).value(QString()), std::nullopt);
    EXPECT_EQ(record(cv::MobileAccountMapping).value(QString()), std::nullopt);
}

TEST_F(TextImportSheetsTest, TransferChoice)
{
    seedMobile();
    struct Case {
        const char *what;
        std::vector<int> rows;
        std::vector<QString> picks; // source, destination; "" leaves a box alone
        bool escape;
        bool destinationShown;
        int account, destination; // of the first entry afterwards
    };
    const Case cases[] = {
        {"already a transfer", {3}, {}, false, false, kA, kWallet},
        {"the source as destination clears the source", {3}, {"", "A"}, false, false, kWallet, kA},
        {"Esc", {0}, {"A", "C"}, true, false, kWallet, 0},
        {"two entries dollars to yen", {0, 2}, {"U", "A"}, false, false, kU, kA},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ImportPage<MobileSheet> page(doc.get());
        ASSERT_TRUE(page.load("S9.csv"));
        QTest::mouseClick(page.sheet.applyButton(), Qt::LeftButton);
        page.selectRows(c.rows);
        page.menu(MobileSheet::MenuTransfer);
        cv::TransferImportDialog *choice = page.sheet.transferPanel();
        ASSERT_TRUE(choice->isVisible());
        if (c.picks.empty()) {
            EXPECT_TRUE(choice->okButton()->isEnabled());
        }
        if (c.picks.size() > 0 && !c.picks[0].isEmpty()) page.pick(choice->accountButton(), c.picks[0]);
        if (c.picks.size() > 1) page.pick(choice->destinationButton(), c.picks[1]);
        if (QLatin1String(c.what) == QLatin1String("the source as destination clears the source")) {
            EXPECT_EQ(choice->account(), 0);
            EXPECT_EQ(choice->accountButton()->currentIndex(), -1);
            EXPECT_FALSE(choice->okButton()->isEnabled());
            // A new source with none before: the destination takes that none and shows it.
            page.pick(choice->accountButton(), QStringLiteral("Wallet"));
            EXPECT_EQ(choice->destinationButton()->currentIndex(), -1);
            page.pick(choice->destinationButton(), QStringLiteral("A"));
        }
        EXPECT_EQ(choice->destinationField()->isVisible(), c.destinationShown);
        if (c.escape)
            QTest::keyClick(choice, Qt::Key_Escape);
        else
            QTest::mouseClick(choice->okButton(), Qt::LeftButton);
        EXPECT_FALSE(choice->isVisible());
        for (int row : c.rows) {
            const cv::Entry &entry = *page.sheet.rows()[size_t(row)].entry;
            EXPECT_EQ(entry.kind() == cv::EntryKind::Transfer, !c.escape);
            EXPECT_EQ(entry.converted(), 0);
        }
        const cv::Entry &first = *page.sheet.rows()[size_t(c.rows.front())].entry;
        EXPECT_EQ(first.account(), c.account);
        EXPECT_EQ(first.destination(), c.destination);
    }
}

TEST_F(TextImportSheetsTest, PriceAndRateLists)
{
    auto alpha = std::make_shared<cv::Security>();
    alpha->setName(QStringLiteral("Alpha"));
    alpha->setKind(cv::SecurityKind::Stock);
    alpha->setCurrency(1);
    doc->addSecurity(alpha);
    using Value = std::pair<QDate, double>;
    auto list = [](const std::optional<cv::BookStore::PriceList> &values) {
        std::vector<Value> out;
        for (const cv::DatedPricePtr &v : values.value_or(cv::BookStore::PriceList{}))
            out.emplace_back(v->date(), v->price());
        std::sort(out.begin(), out.end());
        return out;
    };
    {
        ImportPage<cv::ImportCSVSheet> page(doc.get(), alpha->ident(), true);
        ASSERT_TRUE(page.load("S10.csv"));
        ASSERT_EQ(page.sheet.values().size(), 6u);
        EXPECT_EQ(page.text(cv::ImportCSVSheet::PriceColumn, 2), QStringLiteral("1,230"));
        page.click(cv::ImportCSVSheet::PriceColumn, 1); // a value corrected by hand
        QTest::keyClick(page.sheet.tableView(), Qt::Key_F2);
        auto *editor = page.sheet.tableView()->viewport()->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("1,215"));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the editor commits after the key
        EXPECT_EQ(page.text(cv::ImportCSVSheet::PriceColumn, 1), QStringLiteral("1,215"));
        page.click(0, 0);
        page.menu(cv::ImportCSVSheet::MenuExclude);
        EXPECT_EQ(page.text(cv::ImportCSVSheet::PriceColumn, 0), QStringLiteral("---"));
        page.ok();
        EXPECT_EQ(page.sheet.result(), 1);
    }
    EXPECT_EQ(list(doc->store()->getPriceListForSecurity(alpha->ident())),
              (std::vector<Value>{{QDate(2008, 5, 2), 1215},
                                  {QDate(2008, 5, 7), 1230},
                                  {QDate(2008, 5, 8), 1240},
                                  {QDate(2008, 5, 9), 1255}}));
    {
        ImportPage<cv::ImportCSVSheet> page(doc.get(), 2, false);
        ASSERT_TRUE(page.load("S11.csv"));
        page.ok();
    }
    EXPECT_EQ(list(doc->store()->getRateListForCurrency(2)),
              (std::vector<Value>{{QDate(2008, 5, 1), 104.235}, {QDate(2008, 5, 2), 105.1}}));
    // Values a book cannot record (0, above 10^12) are no values, as on every other road.
    {
        ImportPage<cv::ImportCSVSheet> page(doc.get(), 2, false);
        ASSERT_TRUE(page.loadPath(
            writeFile(QStringLiteral("bounds.csv"), "2008/06/01,0\n2008/06/02,2000000000000\n2008/06/03,106.5\n")));
        page.ok();
    }
    EXPECT_EQ(list(doc->store()->getRateListForCurrency(2)).back(), Value(QDate(2008, 6, 3), 106.5));
    EXPECT_EQ(list(doc->store()->getRateListForCurrency(2)).size(), 3u);
}

TEST_F(TextImportSheetsTest, AFileOver64MiBIsRefusedBeforeItIsRead)
{
    const QString big = writeFile(QStringLiteral("big.csv"), {});
    ASSERT_TRUE(QFile::resize(big, 65LL * 1024 * 1024)); // sparse: nothing is written
    ScriptedAlertPresenter alerts;
    ImportPage<TextSheet> text(doc.get());
    EXPECT_FALSE(text.loadPath(big));
    ImportPage<MobileSheet> mobile(doc.get());
    EXPECT_FALSE(mobile.loadPath(big));
    ImportPage<cv::ImportCSVSheet> prices(doc.get(), 2, false);
    EXPECT_FALSE(prices.loadPath(big));
    ImportSheetPage statement(doc.get());
    EXPECT_FALSE(statement.loadPath(big));
    ASSERT_EQ(alerts.asked.size(), 4u);
    for (const auto &asked : alerts.asked) {
        EXPECT_TRUE(asked.message.contains(QLatin1String("64 MB")));
        EXPECT_TRUE(asked.message.contains(QLatin1String("big.csv")));
    }
}
