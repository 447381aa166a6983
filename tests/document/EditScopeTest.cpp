// One edit, one transaction, one notice: what an edit scope emits, what a
// failed one leaves behind, and that balances read right after a write are
// those of a fresh rebuild.

#include "document/BookTestSupport.h"
#include "document/LifecycleTestSupport.h"
#include "document/CacheSnapshot.h"

#include "platform/ScriptedAlertPresenter.h"
#include "document/EditScope.h"
#include "document/store/SQLDatabase3.h"
#include "document/store/DocumentContainer.h"
#include "platform/LongOperations.h"

#include <sqlite3.h>

#include <functional>

namespace {

// Every change signal of a document, counted, with the last change set each carried.
struct SignalLog {
    std::map<std::string, int> count;
    std::map<std::string, cv::ChangeSet> last;
    std::vector<bool> modification;

    explicit SignalLog(cv::Book &doc)
    {
        watch(doc, &cv::Book::accountChanged, "account");
        watch(doc, &cv::Book::categoryChanged, "actual");
        watch(doc, &cv::Book::currencyChanged, "currency");
        watch(doc, &cv::Book::securityChanged, "brand");
        watch(doc, &cv::Book::entriesChanged, "entries");
        watch(doc, &cv::Book::tradesChanged, "trades");
        watch(doc, &cv::Book::balancesChanged, "balances");
        QObject::connect(&doc, &cv::Book::modificationChanged, [this](bool edited) { modification.push_back(edited); });
    }
    template <class Signal> void watch(cv::Book &doc, Signal signal, const char *name)
    {
        QObject::connect(&doc, signal, [this, name](const cv::ChangeSet &changes) {
            ++count[name];
            last[name] = changes;
        });
    }
    int total() const
    {
        int n = 0;
        for (const auto &[name, c] : count) n += c;
        return n;
    }
};

} // namespace

class EditScopeTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        fillBook();
    }
    void fillBook()
    {
        addCurrency(1, QStringLiteral("JPY"), 1, 0);
        wallet = addAccount(doc->accountTrees()->asset(), 10, 30, 1000);
        bank = addAccount(doc->accountTrees()->asset(), 11, 31, 0);
        invest = addAccount(doc->accountTrees()->asset(), 12, 32, 0);
        food = addCategory(doc->categoryTrees()->expense(), 1005);
        addCategory(doc->categoryTrees()->income(), 2001);
        security = addSecurity(QStringLiteral("B"), 1);
        // A book as the program keeps it: its lists and trees stored.
        cv::BookTestAccess::commitInfoRows(*doc);
        doc->createCache();
        doc->updateChangeCount(cv::BookChanges::ChangeCleared);
    }

    cv::EntryPtr expense(int d, double amount, int account = 10)
    {
        auto e = makeEntry(cv::EntryKind::Expense, day(2009, 6, d), amount, 1005, account);
        doc->updateExpense(e, nullptr);
        return e;
    }

    int storedEntries()
    {
        const auto rows = doc->store()->findExpenseByCategory(1005);
        return rows ? int(rows->size()) : -1;
    }

    cv::NodePtr wallet, bank, invest, food;
    cv::SecurityPtr security;
};

TEST_F(EditScopeTest, AScopeEmitsEachSignalOnceWithTheUnionOfWhatChanged)
{
    struct Case {
        const char *name;
        std::function<void()> edit;
        std::map<std::string, int> signals;
        std::set<int> accounts;
        std::set<int> categories;
        int entries;
        QDate earliest;
    };
    const std::vector<Case> cases = {
        {"two expenses and a transfer",
         [this] {
             expense(20, 100);
             expense(5, 50);
             transfer(day(2009, 6, 10), 30, 10, 11);
         },
         {{"entries", 1}, {"balances", 1}},
         {10, 11},
         {1005, 10},
         3,
         day(2009, 6, 5)},
        {"entries with both tree commits",
         [this] {
             expense(7, 10);
             doc->commitAccountTrees();
             doc->commitCategoryTrees();
             doc->commitAccountTrees();
         },
         {{"entries", 1}, {"balances", 1}, {"account", 1}, {"actual", 1}},
         {10},
         {1005},
         1,
         day(2009, 6, 7)},
        {"a trade with its price",
         [this] {
             auto trade = makeTrade(cv::TradeKind::Buy, day(2009, 6, 3), 12, security->ident(), 10, 300);
             std::set<cv::SecurityPtr> securities;
             doc->applyTrade(trade, invest, {}, securities, true);
             doc->applySecurities(securities);
         },
         {{"trades", 1}, {"balances", 1}, {"brand", 1}, {"account", 1}},
         {12},
         {},
         0,
         day(2009, 6, 3)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SignalLog log(*doc);
        {
            cv::EditScope edit(*doc);
            c.edit();
            EXPECT_EQ(log.total(), 0) << "nothing is emitted before the edit ends";
        }
        EXPECT_EQ(log.count, c.signals);
        const cv::ChangeSet &changes = log.last.begin()->second;
        EXPECT_EQ(changes.accounts, c.accounts);
        EXPECT_EQ(changes.categories, c.categories);
        EXPECT_EQ(int(changes.entries.size()), c.entries);
        EXPECT_EQ(changes.earliest, c.earliest);
        EXPECT_EQ(log.modification, std::vector<bool>{true}) << "one change of the mark per edit";
        doc->updateChangeCount(cv::BookChanges::ChangeCleared);
        QObject::disconnect(doc.get(), nullptr, nullptr, nullptr);
    }
}

TEST_F(EditScopeTest, AFailedScopeRollsBackRebuildsTheCacheAndEmitsNothing)
{
    expense(1, 10);
    doc->updateChangeCount(cv::BookChanges::ChangeCleared);
    const QString small = tmp.filePath(QStringLiteral("Small")), saved = tmp.filePath(QStringLiteral("Saved.cvv2"));
    // Entries as an import stores them: new rows, one edit.
    std::vector<cv::EntryPtr> rows;
    const auto storeRows = [&](int count) {
        for (int i = int(rows.size()); i < count; ++i) {
            rows.push_back(makeEntry(cv::EntryKind::Expense, day(2009, 6, 2 + i % 20), 7, 1005, 10));
            rows.back()->setMemo(QStringLiteral("row %1 of a statement read from the bank").arg(i));
        }
        cv::EditScope edit(*doc);
        for (const auto &row : rows) {
            row->setIdent(-1);
            doc->updateExpense(row, nullptr);
        }
    };
    enum class How { ByHand, EndedBySQLite, StoreClosed, FullDisk };
    const struct {
        const char *name;
        How how;
    } cases[] = {
        {"failed by hand", How::ByHand},
        // A ROLLBACK that SQLite makes by itself: the later writes would run alone and stay.
        {"the transaction ended on the second of four new entries", How::EndedBySQLite},
        {"store refuses", How::StoreClosed},
        // Last: the child takes the working folder over.
        {"a full disk meets an edit larger than the page cache", How::FullDisk},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto row = [&] {
            if (c.how == How::FullDisk) {
                // The book on a disk of its own, with less room than the edit needs.
                cv::work::setWorkFolder(small + QStringLiteral("/Work"));
                (void)doc.release(); // the parent's; this process ends without a word
                doc = std::make_unique<cv::Book>();
                ASSERT_TRUE(doc->store()->create());
                doc->categoryTrees()->setDefault();
                doc->categoryTrees()->setSystemItems();
                fillBook();
                expense(1, 10);
                cv::BookTestAccess::commitInfoRows(*doc);
                doc->updateChangeCount(cv::BookChanges::ChangeCleared);
                // At the default cache such an edit fails only at its COMMIT, whole.
                ASSERT_TRUE(doc->store()->database()->performQuery(QStringLiteral("PRAGMA cache_size=8;")));
                ASSERT_TRUE(fillDisk(small, 256 * 1024));
            }
            if (c.how == How::EndedBySQLite) {
                ASSERT_TRUE(doc->store()->database()->performQuery(QStringLiteral(
                    "CREATE TEMP TRIGGER stop AFTER INSERT ON ActualTable WHEN new.memo LIKE 'row 1 %' "
                    "BEGIN SELECT RAISE(ROLLBACK, 'stopped'); END;")));
            }
            const int before = storedEntries();
            ScriptedAlertPresenter alerts;
            SignalLog log(*doc);
            if (c.how == How::FullDisk || c.how == How::EndedBySQLite) {
                storeRows(c.how == How::FullDisk ? 3000 : 4);
            } else {
                cv::EditScope edit(*doc);
                if (c.how == How::StoreClosed) doc->store()->close();
                expense(2, 100);
                transfer(day(2009, 6, 3), 40, 10, 11);
                if (c.how == How::ByHand) edit.fail();
            }
            EXPECT_EQ(log.total(), 0);
            EXPECT_TRUE(log.modification.empty());
            ASSERT_EQ(alerts.asked.size(), 1u) << "one warning for the edit";
            // A full disk is named, by the folder the save's alert would name.
            if (c.how == How::FullDisk)
                EXPECT_EQ(alerts.asked[0].message,
                          cv::formatString(cv::localizedString(QStringLiteral("Edit-Not-Written-No-Room")),
                                           {cv::DocumentContainer::workingDiskFolder(doc->store()->workingPath(),
                                                                                     doc->fileName())}));
            else if (c.how != How::ByHand)
                EXPECT_EQ(alerts.asked[0].message, cv::localizedString(QStringLiteral("Edit-Not-Written")));
            if (c.how != How::StoreClosed) {
                EXPECT_EQ(storedEntries(), before) << "nothing of the edit is kept";
                EXPECT_FALSE(doc->isDocumentEdited()) << "the mark is as before the edit";
            }
            const Snapshot kept = snapshot(doc->cache());
            doc->createCache();
            expectSameSeries(kept, snapshot(doc->cache()));
            if (c.how != How::StoreClosed) {
                EXPECT_DOUBLE_EQ(doc->valueForAccount(wallet, day(2009, 6, 30)), 990);
                EXPECT_DOUBLE_EQ(doc->valueForAccount(bank, day(2009, 6, 30)), 0);
            }
            QObject::disconnect(doc.get(), nullptr, nullptr, nullptr);
            if (c.how == How::FullDisk) {
                // Saved and read again, the book holds what it held; with room, the same edit stores each row once.
                EXPECT_TRUE(doc->writeToFile(saved, cv::Book::kTypeV2));
                QFile::remove(small + QStringLiteral("/filler"));
                cv::Book reopened;
                ASSERT_TRUE(reopened.initWithContentsOfFile(saved, cv::Book::kTypeV2));
                const auto read = reopened.store()->findExpenseByCategory(1005);
                EXPECT_EQ(read ? int(read->size()) : -1, before);
                storeRows(3000);
                EXPECT_EQ(alerts.asked.size(), 1u);
                EXPECT_EQ(storedEntries(), before + 3000);
            }
        };
        if (c.how != How::FullDisk) {
            row();
            continue;
        }
        const std::optional<bool> ran = runInChild(row, [&] { return smallDisk(small); });
        if (!ran) std::cout << "[  SKIPPED ] " << c.name << ": no disk of its own can be mounted here\n";
        EXPECT_TRUE(ran.value_or(true));
    }
}

// Another program that holds the store so that not even a read answers
// leaves the failed edit unread back: the book is read back once the store
// answers, before the next edit, which is not made either (its caller may
// hold what that replaced).
TEST_F(EditScopeTest, AStoreThatAnswersNoReadIsReadBackBeforeTheNextEdit)
{
    cv::SQLDatabase3::setBusyWaitForTests(std::chrono::milliseconds(20));
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(doc->store()->workingPath().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; DELETE FROM InfoTable WHERE id = 999;", nullptr, nullptr, nullptr),
              SQLITE_OK);
    ScriptedAlertPresenter alerts;
    doc->renameNode(food, QStringLiteral("Meals"));
    ASSERT_EQ(alerts.asked.size(), 1u);
    EXPECT_EQ(alerts.asked[0].message, cv::localizedString(QStringLiteral("Edit-Not-Written-Held")));
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    cv::SQLDatabase3::setBusyWaitForTests(std::chrono::seconds(10));

    SignalLog log(*doc);
    doc->renameNode(doc->findExpense(1005), QStringLiteral("Dining"));
    EXPECT_EQ(doc->findExpense(1005)->name(), QStringLiteral("C1005"));
    EXPECT_TRUE(log.last["actual"].reload);
    EXPECT_EQ(alerts.asked.size(), 2u);
    doc->renameNode(doc->findExpense(1005), QStringLiteral("Dining"));
    EXPECT_EQ(alerts.asked.size(), 2u);
    EXPECT_NE(doc->store()->getCategoryData().indexOf("Dining"), -1);
}

TEST_F(EditScopeTest, BalancesReadRightAfterAWriteEqualAFreshRebuild)
{
    // Each step writes without any follow-up call, then reads at once.
    const std::vector<std::function<void()>> steps = {
        [&] { expense(10, 200); },
        [&] { transfer(day(2009, 6, 1), 500, 10, 11); },
        [&] {
            auto e = expense(12, 70, 11);
            auto changed = e->clone();
            changed->setDate(day(2009, 5, 30));
            doc->updateExpense(changed, e);
        },
        [&] {
            auto trade = makeTrade(cv::TradeKind::Buy, day(2009, 6, 2), 12, security->ident(), 5, 100, 3);
            std::set<cv::SecurityPtr> securities;
            doc->applyTrade(trade, invest, {}, securities, false);
        },
        [&] { doc->updateIncome(makeEntry(cv::EntryKind::Income, day(2009, 6, 15), 1000, 2001, 12), nullptr); },
    };
    const cv::NodePtr accounts[] = {wallet, bank, invest->childAt(0), invest->childAt(1)};
    const QDate dates[] = {day(2009, 5, 31), day(2009, 6, 1), day(2009, 6, 10), day(2009, 7, 1)};
    auto readAll = [&] {
        std::vector<double> values;
        for (const auto &a : accounts)
            for (const QDate &d : dates) values.push_back(a ? doc->rawValueForAccount(a, d) : 0);
        return values;
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        steps[i]();
        const std::vector<double> read = readAll();
        const Snapshot incremental = snapshot(doc->cache());
        doc->createCache();
        expectSameSeries(incremental, snapshot(doc->cache()));
        EXPECT_EQ(read, readAll());
    }
}

TEST_F(EditScopeTest, NestedScopesCommitOnceAtTheOutermostEnd)
{
    SignalLog log(*doc);
    const int before = storedEntries();
    {
        cv::EditScope outer(*doc);
        {
            cv::EditScope inner(*doc);
            expense(3, 10);
            EXPECT_TRUE(doc->isEditing());
        }
        EXPECT_EQ(log.total(), 0) << "an inner scope neither commits nor emits";
        // A read inside the edit already sees the write.
        EXPECT_DOUBLE_EQ(doc->valueForAccount(wallet, day(2009, 6, 30)), 990);
        expense(4, 20);
        outer.fail();
    }
    EXPECT_FALSE(doc->isEditing());
    EXPECT_EQ(storedEntries(), before) << "the inner scope's write went back with the outer edit";
    EXPECT_EQ(log.total(), 0);

    {
        cv::EditScope outer(*doc);
        {
            cv::EditScope inner(*doc);
            expense(3, 10);
        }
        expense(4, 20);
    }
    EXPECT_EQ(storedEntries(), before + 2);
    EXPECT_EQ(log.count["entries"], 1);
    EXPECT_EQ(log.last["entries"].entries.size(), 2u);
}

TEST(LongOperationsTest, EnterAndExitReachEveryListenerAndBalance)
{
    auto &hub = cv::LongOperations::instance();
    QObject source;
    std::vector<std::pair<bool, const QObject *>> seen;
    const auto a = QObject::connect(&hub, &cv::LongOperations::enterLongOp, [&](const QObject *s) {
        seen.push_back({true, s});
    });
    const auto b = QObject::connect(&hub, &cv::LongOperations::exitLongOp, [&](const QObject *s) {
        seen.push_back({false, s});
    });
    {
        cv::LongOperation op(&source);
        EXPECT_EQ(hub.depth(), 1);
    }
    EXPECT_EQ(hub.depth(), 0);
    const std::vector<std::pair<bool, const QObject *>> expected = {{true, &source}, {false, &source}};
    EXPECT_EQ(seen, expected);
    QObject::disconnect(a);
    QObject::disconnect(b);
}

TEST_F(EditScopeTest, ATreeCommitReportsValuesOnlyWhenNoNodeWasAddedRemovedOrMoved)
{
    using cv::TreeChange;
    doc->commitAccountTrees();
    doc->commitCategoryTrees();
    const cv::NodePtr assets = doc->accountTrees()->asset();
    struct Case {
        const char *name;
        std::function<void()> change;
        bool categories; // the category tree is committed, else the account tree
        TreeChange expected;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"a renamed account", [&] { wallet->setName(QStringLiteral("Purse")); }, false, TreeChange::Values},
        {"nothing changed", [] {}, false, TreeChange::Values},
        {"an added account", [&] { addAccount(assets, 13, 31, 0); }, false, TreeChange::Structure},
        {"a removed account", [&] { assets->removeChild(assets->childAt(assets->countChild() - 1)); }, false,
         TreeChange::Structure},
        {"accounts in another order", [&] { assets->insertChild(bank, 0); }, false, TreeChange::Structure},
        {"an account put in its own place again", [&] {
             auto copy = bank->deepCopy();
             const int at = bank->index();
             assets->removeChild(bank);
             assets->insertChild(copy, at);
             bank = copy;
         }, false, TreeChange::Structure},
        {"a renamed category", [&] { food->setName(QStringLiteral("Meals")); }, true, TreeChange::Values},
        {"a new subcategory", [&] { addCategory(food, 1006); }, true, TreeChange::Structure},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SignalLog log(*doc);
        c.change();
        c.categories ? doc->commitCategoryTrees() : doc->commitAccountTrees();
        const char *signal = c.categories ? "actual" : "account";
        ASSERT_EQ(log.count[signal], 1);
        const cv::ChangeSet &changes = log.last[signal];
        EXPECT_EQ(c.categories ? changes.categoryTree : changes.accountTree, c.expected);
        QObject::disconnect(doc.get(), nullptr, nullptr, nullptr);
    }

    // A restructured tree whose edit failed is read back from the store and
    // announced as such: committed again, it reports values only.
    {
        ScriptedAlertPresenter alerts;
        cv::EditScope edit(*doc);
        addAccount(assets, 14, 31, 0);
        doc->commitAccountTrees();
        edit.fail();
    }
    EXPECT_EQ(doc->findAccount(14), nullptr);
    SignalLog log(*doc);
    doc->commitAccountTrees();
    EXPECT_EQ(log.last["account"].accountTree, TreeChange::Values);
    // A caller's own notice cannot say what changed.
    cv::BookTestAccess::postNotification(*doc, cv::Book::AccountChanged);
    EXPECT_EQ(log.last["account"].accountTree, TreeChange::Structure);
}
