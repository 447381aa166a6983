// New documents from templates, save and reopen, the info rows, old types,
// the backup folder, dated backups and the document controller.

#include "document/LifecycleTestSupport.h"

#include "document/OpenBooks.h"
#include "document/store/DocumentContainer.h"
#include "document/store/DocumentLock.h"
#include "document/store/Leftovers.h"
#include "platform/ScriptedAlertPresenter.h"
#include "document/xml/BookXML.h"
#include "document/store/SQLDatabase3.h"
#include "document/store/StoreCheck.h"
#include "model/Entry.h"
#include "model/LoanPayment.h"
#include "model/DatedPrice.h"
#include "model/Trade.h"
#include "support/SampleBook.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QSaveFile>
#include <QSettings>
#include <QSysInfo>
#include <QThread>

#include <iostream>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QList<int> childIdents(const cv::NodePtr &node)
{
    QList<int> out;
    for (const auto &c : node->children()) out << c->ident();
    return out;
}

void collectIdents(const cv::NodePtr &node, std::multiset<int> &out)
{
    if (!node) return;
    for (const auto &c : node->children()) {
        out.insert(c->ident());
        collectIdents(c, out);
    }
}

QByteArray exported(cv::Book &d)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(cv::xml::exportTo(d, buffer));
    return buffer.data();
}

QList<int> infoRows(cv::Book &d)
{
    QList<int> rows;
    auto result = d.store()->database()->performQuery(QStringLiteral("SELECT id FROM InfoTable ORDER BY id;"));
    for (int r = 0; result && r < result->rowCount(); ++r) rows << result->rowAtIndex(r).description().toInt();
    return rows;
}

} // namespace

TEST_F(LifecycleTest, NewDocumentWithoutTemplateHasTheDefaultItems)
{
    ScriptedDocumentUI ui;
    EXPECT_EQ(cv::localizedString(QStringLiteral("Default Currency")), QStringLiteral("JPY Yen ¥ 0"));
    cv::Book doc;
    cv::BookTestAccess::createFromTemplate(doc, QStringLiteral("no-such-template"));

    ASSERT_EQ(doc.currencyList().size(), 1u);
    const cv::CurrencyPtr yen = doc.currencyList().front();
    EXPECT_EQ(yen->ident(), 1);
    EXPECT_EQ(yen->abbr(), QStringLiteral("JPY"));
    EXPECT_EQ(yen->name(), QStringLiteral("Yen"));
    EXPECT_EQ(yen->prefix(), QStringLiteral("¥"));
    EXPECT_EQ(yen->fraction(), 0);
    EXPECT_EQ(yen->rate(), 1.0);

    EXPECT_EQ(childIdents(doc.categoryTrees()->moneyFlow()), (QList<int>{10, 11, 12, 13}));
    const QList<int> expense = childIdents(doc.categoryTrees()->expense());
    EXPECT_EQ(QSet<int>(expense.begin(), expense.end()), (QSet<int>{30, 32, 33}));
    EXPECT_EQ(childIdents(doc.categoryTrees()->income()), QList<int>{31});
    ASSERT_EQ(doc.accountTrees()->asset()->countChild(), 1);
    const cv::NodePtr wallet = doc.accountTrees()->asset()->childAt(0);
    EXPECT_EQ(wallet->ident(), 10);
    EXPECT_EQ(wallet->kind(), 30);
    EXPECT_EQ(wallet->currency(), 1);
    EXPECT_EQ(doc.displayName(*wallet), QStringLiteral("Wallet"));

    EXPECT_EQ(infoRows(doc), (QList<int>{1, 2, 3, 4, 5, 100}));
    EXPECT_FALSE(doc.isDocumentEdited());
}

TEST_F(LifecycleTest, EveryShippedTemplateMakesABookWithoutDuplicates)
{
    for (const char *language : {"en", "ja"}) {
        cv::setLanguageOverride(QLatin1String(language));
        for (int index = 0; index <= 3; ++index) {
            SCOPED_TRACE(QStringLiteral("%1 template %2").arg(QLatin1String(language)).arg(index).toStdString());
            cv::BookTestAccess::setTemplateIndex(index);
            cv::Book doc;
            doc.createDefault();
            EXPECT_EQ(cv::BookTestAccess::templateIndex(), 0);
            EXPECT_GT(doc.categoryTrees()->expense()->countChild(), 3);
            EXPECT_GT(doc.categoryTrees()->income()->countChild(), 1);
            const auto &a = *doc.accountTrees();
            const auto &c = *doc.categoryTrees();
            // Accounts and categories are numbered apart (the wallet and a transfer item share 10).
            for (const auto &roots : {std::vector{a.asset(), a.debt(), a.summary()},
                                      std::vector{c.moneyFlow(), c.income(), c.expense(), c.summary()}}) {
                std::multiset<int> idents;
                for (const auto &r : roots) collectIdents(r, idents);
                for (int ident : idents) {
                    if (ident > 0) {
                        EXPECT_EQ(idents.count(ident), 1u) << ident;
                    }
                }
            }
            // Each item sits under a root of its own kind.
            for (const auto &tree : {c.income(), c.expense()}) {
                std::function<void(const cv::NodePtr &)> check = [&](const cv::NodePtr &node) {
                    for (const auto &ch : node->children()) {
                        EXPECT_TRUE(ch->kind() == cv::NodeKind::Group || ch->kind() == cv::NodeKind::Category)
                            << cv::raw(ch->kind());
                        EXPECT_TRUE(c.isIncomeOrExpense(ch.get()));
                        check(ch);
                    }
                };
                check(tree);
            }
            for (const auto &node : a.asset()->children())
                EXPECT_TRUE(node->kind() == cv::NodeKind::Group || node->isAsset());
            for (const auto &node : a.debt()->children())
                EXPECT_TRUE(node->kind() == cv::NodeKind::Group || node->isDebt());
            EXPECT_FALSE(doc.currencyList().empty());
            EXPECT_FALSE(doc.isDocumentEdited());
        }
    }
    // Template 3 then the next new book: "default", whose books differ.
    cv::setLanguageOverride(QStringLiteral("en"));
    cv::BookTestAccess::setTemplateIndex(3);
    cv::Book third;
    third.createDefault();
    cv::Book next;
    next.createDefault();
    cv::Book plain;
    cv::BookTestAccess::createFromTemplate(plain, QStringLiteral("default"));
    EXPECT_EQ(exported(next), exported(plain));
    EXPECT_NE(exported(third), exported(plain));
}

TEST_F(LifecycleTest, SaveAndReopenKeepsTheWholeBook)
{
    ScriptedDocumentUI ui;
    const std::unique_ptr<cv::Book> rich = samplebook::makeRichBook();
    ASSERT_TRUE(rich);
    cv::Book &doc = *rich;
    // Accounts in the default currency, as a new book from a template has them.
    doc.accountTrees()->asset()->fixDefaultCurrency(1);
    cv::BookTestAccess::commitInfoRows(doc);
    doc.settings()->setFiscalMonthOfYear(3);
    auto print = std::make_shared<cv::PrintSettings>();
    print->setOrientation(cv::PrintSettings::Landscape);
    doc.setPrintSettings(print);
    ASSERT_TRUE(doc.isDocumentEdited());

    int aboutToSave = 0;
    QObject::connect(&doc, &cv::Book::aboutToSave, [&] { ++aboutToSave; });
    const QString path = book(QStringLiteral("Household.cvv2"));
    ASSERT_TRUE(doc.writeToFile(path, cv::Book::kTypeV2));
    EXPECT_EQ(aboutToSave, 1);
    EXPECT_FALSE(doc.isDocumentEdited());
    EXPECT_TRUE(gzipTestPasses(path));
    EXPECT_EQ(integrityOf(path), QStringLiteral("ok"));

    cv::Book reopened;
    ASSERT_TRUE(reopened.initWithContentsOfFile(path, cv::Book::kTypeV2));
    EXPECT_EQ(ui.busyTitles, QStringList{QStringLiteral("Loading Household.cvv2")});
    EXPECT_FALSE(reopened.isDocumentEdited());
    EXPECT_EQ(exported(reopened).toStdString(), exported(doc).toStdString());
    EXPECT_EQ(reopened.settings()->fiscalMonthOfYear(), 3);
    ASSERT_TRUE(reopened.printSettings());
    EXPECT_EQ(reopened.printSettings()->orientation(), cv::PrintSettings::Landscape);
    ASSERT_FALSE(doc.store()->getLoanData(1004).isEmpty());
    EXPECT_EQ(reopened.store()->getLoanData(1004), doc.store()->getLoanData(1004));
    EXPECT_EQ(reopened.store()->getRateListForCurrency(2)->size(), 2u);

    // The trees as read are the ones announced: a rename is a change of values.
    cv::TreeChange tree = cv::TreeChange::None;
    QObject::connect(&reopened, &cv::Book::accountChanged, [&](const cv::ChangeSet &c) { tree = c.accountTree; });
    reopened.accountTrees()->asset()->childAt(0)->setName(QStringLiteral("Renamed"));
    reopened.commitAccountTrees();
    EXPECT_EQ(tree, cv::TreeChange::Values);
}

TEST_F(LifecycleTest, InfoRowsDecideWhetherAFileOpens)
{
    ScriptedDocumentUI ui;
    cv::Book doc;
    const QString path = savedDefaultBook(doc, QStringLiteral("Household.cvv2"));

    auto changed = [&](const QString &sql, const QString &name) {
        cv::BookStore store;
        EXPECT_TRUE(store.open(path));
        EXPECT_TRUE(store.database()->performQuery(sql));
        const QString target = book(name);
        EXPECT_TRUE(store.save(target));
        return target;
    };
    auto without = [&](const QString &rows, const QString &name) {
        return changed(QStringLiteral("DELETE FROM InfoTable WHERE id IN (%1);").arg(rows), name);
    };
    {
        LogCapture log;
        cv::Book d;
        EXPECT_FALSE(
            d.initWithContentsOfFile(without(QStringLiteral("100"), QStringLiteral("a.cvv2")), cv::Book::kTypeV2));
        EXPECT_TRUE(log.contains(QStringLiteral("settings: 0")));
    }
    {
        cv::Book d;
        ASSERT_TRUE(
            d.initWithContentsOfFile(without(QStringLiteral("4, 5"), QStringLiteral("b.cvv2")), cv::Book::kTypeV2));
        EXPECT_TRUE(d.securityList().empty());
        EXPECT_TRUE(d.groupList().empty());
        EXPECT_EQ(d.currencyList().size(), 1u);
    }
    for (const char *row : {"1", "2", "3"}) {
        LogCapture log;
        cv::Book d;
        EXPECT_FALSE(
            d.initWithContentsOfFile(without(QLatin1String(row), QStringLiteral("c.cvv2")), cv::Book::kTypeV2));
        EXPECT_TRUE(log.contains(QStringLiteral("info row %1 missing or unreadable").arg(QLatin1String(row))));
    }
    // Securities and groupings may be missing, but text that is no Base64
    // is a damaged book, never an empty list.
    for (const char *row : {"4", "5"}) {
        LogCapture log;
        cv::Book d;
        EXPECT_FALSE(d.initWithContentsOfFile(
            changed(
                QStringLiteral("INSERT OR REPLACE INTO InfoTable VALUES(%1, 'not*base64');").arg(QLatin1String(row)),
                QStringLiteral("e.cvv2")),
            cv::Book::kTypeV2));
        EXPECT_TRUE(log.contains(QStringLiteral("info row %1 missing or unreadable").arg(QLatin1String(row))));
    }
    {
        // A print record that is not ours is left alone.
        cv::BookStore store;
        ASSERT_TRUE(store.open(path));
        ASSERT_TRUE(store.putPrintSettings(cv::KeyedArchiver::archivedDataWithRootObject(QStringLiteral("foreign"))));
        ASSERT_TRUE(store.save(book(QStringLiteral("d.cvv2"))));
        cv::Book d;
        ASSERT_TRUE(d.initWithContentsOfFile(book(QStringLiteral("d.cvv2")), cv::Book::kTypeV2));
        EXPECT_FALSE(d.printSettings());
        ASSERT_TRUE(d.writeToFile(book(QStringLiteral("d.cvv2")), cv::Book::kTypeV2));
        EXPECT_EQ(d.store()->getPrintSettings(), store.getPrintSettings());
    }
}

TEST_F(LifecycleTest, XmlFormOpensWithADefaultCurrencyAndSavesBack)
{
    ScriptedDocumentUI ui;
    const QString path = book(QStringLiteral("Plain.cvxf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?>\n<cvxf version=\"1.0\" date=\"2009.6.1\">\n</cvxf>\n");
    file.close();
    cv::Book doc;
    ASSERT_TRUE(doc.initWithContentsOfFile(path, cv::Book::kTypeXML));
    ASSERT_EQ(doc.currencyList().size(), 1u);
    EXPECT_EQ(doc.currencyList().front()->abbr(), QStringLiteral("JPY"));
    EXPECT_EQ(doc.fileName(), path);
    EXPECT_TRUE(doc.writeToFile(path, cv::Book::kTypeXML));
    EXPECT_TRUE(readAll(path).contains("<cvxf"));

    cv::setLanguageOverride(QStringLiteral("en"));
    LogCapture log;
    EXPECT_FALSE(doc.initWithContentsOfFile(book(QStringLiteral("missing.cvxf")), cv::Book::kTypeXML));
}

TEST_F(LifecycleTest, OldTypeOpensUnderTheCurrentNameUnlessThatFileExists)
{
    ScriptedDocumentUI ui;
    cv::Book doc;
    const QString old = savedDefaultBook(doc, QStringLiteral("Book.cvv1"));
    const QByteArray oldBytes = readAll(old);

    cv::OpenBooks controller(nullptr);
    cv::Book *opened = controller.openDocument(old);
    ASSERT_TRUE(opened);
    // Two books both saving to Book.cvv2 would overwrite each other's edits.
    EXPECT_EQ(controller.openDocument(old), opened);
    EXPECT_EQ(controller.documents().size(), 1u);
    EXPECT_EQ(opened->fileName(), book(QStringLiteral("Book.cvv2")));
    EXPECT_EQ(opened->fileType(), cv::Book::kTypeV2);
    ASSERT_TRUE(controller.saveDocument(opened));
    EXPECT_EQ(readAll(old), oldBytes);
    EXPECT_EQ(integrityOf(book(QStringLiteral("Book.cvv2"))), QStringLiteral("ok"));
    ASSERT_TRUE(controller.closeDocument(opened));

    // Book.cvv2 exists now: the old file opens untitled and Save asks.
    const QByteArray newer = readAll(book(QStringLiteral("Book.cvv2")));
    cv::Book *again = controller.openDocument(old);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->fileName().isEmpty());
    EXPECT_EQ(again->suggestedFileName(), book(QStringLiteral("Book.cvv2")));
    EXPECT_FALSE(controller.saveDocument(again));
    EXPECT_EQ(ui.suggestedPaths, QStringList{book(QStringLiteral("Book.cvv2"))});
    EXPECT_EQ(readAll(book(QStringLiteral("Book.cvv2"))), newer);
}

TEST_F(LifecycleTest, DatedBackupsKeepTheNewestOfTheBook)
{
    ScriptedDocumentUI ui;
    backupCount = 2;
    QDir().mkpath(backupFolder());
    auto touch = [&](const QString &name) {
        QFile f(backupFolder() + QLatin1Char('/') + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(name.toUtf8());
    };
    for (const char *name : {"Household.09-06-05.cvv2", "Household.09-06-06.cvv2", "Other.09-06-05.cvv2",
                             "Household.09-06-05.cvxf", "Household.notes.cvv2", "Household2.09-06-01.cvv2"})
        touch(QLatin1String(name));

    const QString path = book(QStringLiteral("Household.cvv2"));
    {
        cv::Book doc;
        cv::BookTestAccess::createFromTemplate(doc, QStringLiteral("default"));
        ASSERT_TRUE(doc.writeToFile(path, cv::Book::kTypeV2));
        EXPECT_EQ(cv::BookTestAccess::backupStatus(doc), 0); // a new book is backed up only once opened from a file
    }
    EXPECT_EQ(QDir(backupFolder()).entryList(QDir::Files).size(), 6);

    cv::Book doc;
    ASSERT_TRUE(doc.initWithContentsOfFile(path, cv::Book::kTypeV2));
    EXPECT_EQ(cv::BookTestAccess::backupStatus(doc), 1);
    doc.settings()->setViewerUnit(2);
    ASSERT_TRUE(doc.writeToFile(path, cv::Book::kTypeV2));
    EXPECT_EQ(cv::BookTestAccess::backupStatus(doc), 0);
    EXPECT_EQ(QDir(backupFolder()).entryList(QDir::Files),
              (QStringList{QStringLiteral("Household.09-06-05.cvxf"), QStringLiteral("Household.09-06-06.cvv2"),
                           QStringLiteral("Household.09-06-07.cvv2"), QStringLiteral("Household.notes.cvv2"),
                           QStringLiteral("Household2.09-06-01.cvv2"), QStringLiteral("Other.09-06-05.cvv2")}));
    const QString today = backupFolder() + QStringLiteral("/Household.09-06-07.cvv2");
    EXPECT_EQ(readAll(today), readAll(path));

    // A second save of the same opening makes no copy.
    const QByteArray first = readAll(today);
    doc.settings()->setViewerUnit(3);
    ASSERT_TRUE(doc.writeToFile(path, cv::Book::kTypeV2));
    EXPECT_EQ(readAll(today), first);
    EXPECT_NE(readAll(path), first);

    // A file opened from the backup folder is untitled and never backed up there.
    cv::Book fromBackup;
    ASSERT_TRUE(fromBackup.initWithContentsOfFile(today, cv::Book::kTypeV2));
    EXPECT_TRUE(fromBackup.fileName().isEmpty());
    EXPECT_EQ(cv::BookTestAccess::backupStatus(fromBackup), 0);
    EXPECT_TRUE(
        cv::BookTestAccess::isBackupFile(fromBackup, backupFolder() + QStringLiteral("/../Corvane Backup/x.cvv2")));
}

TEST_F(LifecycleTest, BackupCountRules)
{
    cv::Book doc;
    const QString path = savedDefaultBook(doc, QStringLiteral("Household.cvv2"));
    const QString today = backupFolder() + QStringLiteral("/Household.09-06-07.cvv2");

    // No backups wanted: no copy, and the existing ones stay.
    QDir().mkpath(backupFolder());
    for (int i = 1; i <= 55; ++i) {
        QFile f(backupFolder() + QStringLiteral("/Household.08-01-%1.cvv2").arg(i, 2, 10, QLatin1Char('0')));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    for (const int none : {0, -1}) {
        backupCount = none;
        EXPECT_TRUE(cv::BookTestAccess::manageBackup(doc, path));
        EXPECT_FALSE(QFile::exists(today));
        EXPECT_EQ(QDir(backupFolder()).entryList(QDir::Files).size(), 55);
    }

    // Keeping one: today's copy stays, every older one goes.
    const QString keepOne = tmp.filePath(QStringLiteral("KeepOne"));
    cv::backup::setFolders(keepOne, tmp.filePath(QStringLiteral("OldSupport")));
    QDir().mkpath(keepOne);
    QFile(keepOne + QStringLiteral("/Household.09-06-01.cvv2")).open(QIODevice::WriteOnly);
    backupCount = 1;
    EXPECT_TRUE(cv::BookTestAccess::manageBackup(doc, path));
    EXPECT_EQ(QDir(keepOne).entryList(QDir::Files), QStringList{QStringLiteral("Household.09-06-07.cvv2")});
    cv::backup::setFolders(tmp.filePath(QStringLiteral("Support/Corvane Backup")),
                           tmp.filePath(QStringLiteral("OldSupport")));

    backupCount = 60;
    EXPECT_TRUE(cv::BookTestAccess::manageBackup(doc, path));
    const QStringList kept = QDir(backupFolder()).entryList(QDir::Files);
    EXPECT_EQ(kept.size(), 50);
    EXPECT_TRUE(kept.contains(QStringLiteral("Household.09-06-07.cvv2")));
    EXPECT_FALSE(kept.contains(QStringLiteral("Household.08-01-06.cvv2")));
    EXPECT_TRUE(kept.contains(QStringLiteral("Household.08-01-07.cvv2")));

    // A copy that cannot be made leaves the day's earlier backup as it was.
    const QByteArray before = readAll(today);
    EXPECT_FALSE(cv::BookTestAccess::manageBackup(doc, book(QStringLiteral("gone.cvv2"))));
    EXPECT_EQ(readAll(today), before);

    EXPECT_TRUE(cv::backup::isBackupOf(QStringLiteral("A.b.--.cvv2"), QStringLiteral("A.b"), QStringLiteral("cvv2")));
    EXPECT_FALSE(
        cv::backup::isBackupOf(QStringLiteral("A.09-06-07x.cvv2"), QStringLiteral("A"), QStringLiteral("cvv2")));
}

// Names up to the 255 bytes a file name takes save and keep a dated backup
// of their own; a backup folder that takes no copy is named to the user once.
TEST_F(LifecycleTest, EveryNameKeepsItsOwnBackupsAndAFailingFolderIsNamedOnce)
{
    ScriptedDocumentUI ui;
    ScriptedAlertPresenter alerts;
    backupCount = 1;
    // Whole characters of three bytes, then ASCII to the byte count with ".cvv2".
    const auto named = [](int bytes, const char *tail) -> QString {
        const int rest = bytes - 5 - int(strlen(tail));
        return QString(rest / 3, QChar(0x5BB6)) + QString(rest % 3, QLatin1Char('a')) + QLatin1String(tail) +
               QStringLiteral(".cvv2");
    };
    const QString names[] = {named(172, ""), named(200, ""), named(255, "1"), named(255, "2")};
    cv::OpenBooks controller(nullptr);
    for (const QString &name : names) {
        SCOPED_TRACE(name.toUtf8().size());
        {
            cv::Book made;
            savedDefaultBook(made, name);
        }
        cv::Book *doc = controller.openDocument(book(name));
        ASSERT_TRUE(doc);
        doc->settings()->setViewerUnit(3);
        EXPECT_TRUE(controller.saveDocument(doc));
        const QString base = QFileInfo(name).completeBaseName();
        const QStringList kept = QDir(backupFolder()).entryList(QDir::Files);
        EXPECT_EQ(
            std::count_if(kept.begin(), kept.end(),
                          [&](const QString &f) { return cv::backup::isBackupOf(f, base, QStringLiteral("cvv2")); }),
            1);
        EXPECT_TRUE(controller.closeDocument(doc, false));
    }
    // Both long names, cut alike, keep a backup each.
    EXPECT_EQ(QDir(backupFolder()).entryList(QDir::Files).size(), 4);
    EXPECT_TRUE(alerts.asked.empty());

    // Where the day's copies go, folders stand: no copy can be made.
    for (const QString &name : {names[0], names[1]}) {
        const QString day = cv::backup::fileName(QFileInfo(name).completeBaseName(), cv::backup::today(), "cvv2");
        QFile::remove(backupFolder() + QLatin1Char('/') + day);
        ASSERT_TRUE(QDir(backupFolder()).mkdir(day));
    }
    for (const QString &name : {names[0], names[1]}) {
        cv::Book *doc = controller.openDocument(book(name));
        ASSERT_TRUE(doc);
        doc->settings()->setViewerUnit(4);
        EXPECT_TRUE(controller.saveDocument(doc));
        EXPECT_TRUE(controller.closeDocument(doc, false));
    }
    ASSERT_EQ(alerts.asked.size(), 1u);
    EXPECT_TRUE(alerts.asked[0].message.contains(backupFolder()));

    // A file, or a link to nothing, where the backup folder goes: three saves, one alert naming the folder.
    for (const char *there : {"FileThere", "LinkThere"}) {
        const QString folder = tmp.filePath(QLatin1String(there) + QStringLiteral("/Corvane Backup"));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(folder).path()));
        ASSERT_TRUE(there[0] == 'L' ? QFile::link(tmp.filePath(QStringLiteral("nowhere")), folder)
                                    : QFile(folder).open(QIODevice::WriteOnly));
        cv::backup::setFolders(folder, tmp.filePath(QStringLiteral("OldSupport")));
        alerts.asked.clear();
        cv::Book *doc = controller.openDocument(book(names[0]));
        for (int unit = 2; doc && unit <= 4; ++unit) {
            doc->settings()->setViewerUnit(unit);
            EXPECT_TRUE(controller.saveDocument(doc));
        }
        EXPECT_TRUE(doc && controller.closeDocument(doc, false));
        EXPECT_TRUE(alerts.asked.size() == 1 && alerts.asked[0].message.contains(folder)) << alerts.asked.size();
    }
}

TEST_F(LifecycleTest, OldBackupFolderIsCopiedOnce)
{
    const QString old = tmp.filePath(QStringLiteral("OldSupport/Corvane Backup"));
    QDir().mkpath(old);
    QFile f(old + QStringLiteral("/Household.08-01-01.cvv2"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(cv::PrepareBackupFolder(), backupFolder());
    EXPECT_TRUE(QFile::exists(backupFolder() + QStringLiteral("/Household.08-01-01.cvv2")));
    QFile::remove(backupFolder() + QStringLiteral("/Household.08-01-01.cvv2"));
    EXPECT_EQ(cv::PrepareBackupFolder(), backupFolder());
    EXPECT_FALSE(QFile::exists(backupFolder() + QStringLiteral("/Household.08-01-01.cvv2")));
}

// A new book whose rows never reached the working copy (its disk is full)
// must not be saved: the file would open nowhere, and an old book of that name
// would be lost.
TEST_F(LifecycleTest, NewBookOnAFullWorkingDiskIsNeverSaved)
{
    const QString path = book(QStringLiteral("Household.cvv2"));
    {
        cv::Book earlier;
        savedDefaultBook(earlier, QStringLiteral("Household.cvv2"));
    }
    const QByteArray before = readAll(path);
    ASSERT_FALSE(before.isEmpty());

    cv::Book doc;
    {
        FileSizeLimit full(8192);
        cv::BookTestAccess::createFromTemplate(doc, QStringLiteral("default"));
    }
    EXPECT_FALSE(doc.writeToFile(path, cv::Book::kTypeV2));
    EXPECT_EQ(readAll(path), before);
    EXPECT_FALSE(doc.writeToFile(book(QStringLiteral("Fresh.cvv2")), cv::Book::kTypeV2));
    EXPECT_FALSE(QFile::exists(book(QStringLiteral("Fresh.cvv2"))));
}

TEST_F(LifecycleTest, ControllerOpensEachFileOnceAndRemembersIt)
{
    ScriptedDocumentUI ui;
    QSettings settings(tmp.filePath(QStringLiteral("recent.ini")), QSettings::IniFormat);
    cv::OpenBooks controller(&settings);
    cv::Book *made = controller.makeUntitledDocument(2);
    ASSERT_TRUE(made);
    EXPECT_EQ(cv::BookTestAccess::templateIndex(), 0);
    EXPECT_EQ(made->accountTrees()->asset()->status(), 1);
    ui.savePath = book(QStringLiteral("Household.cvv2"));
    ASSERT_TRUE(controller.saveDocument(made));
    EXPECT_EQ(made->fileName(), ui.savePath);

    EXPECT_EQ(controller.openDocument(book(QStringLiteral("../Books/./Household.cvv2"))), made);
    QFile::link(book(QStringLiteral("Household.cvv2")), book(QStringLiteral("Link.cvv2")));
    EXPECT_EQ(controller.openDocument(book(QStringLiteral("Link.cvv2"))), made);
    EXPECT_EQ(controller.documents().size(), 1u);
    EXPECT_EQ(controller.recentDocuments().value(0), QFileInfo(ui.savePath).canonicalFilePath());

    // Revert answers a fresh document in the same place.
    made->settings()->setViewerUnit(5);
    cv::Book *reverted = controller.revertDocument(made, false);
    ASSERT_TRUE(reverted);
    EXPECT_FALSE(reverted->isDocumentEdited());
    EXPECT_EQ(controller.documents().size(), 1u);
    EXPECT_NE(reverted->settings()->viewerUnit(), 5);

    EXPECT_FALSE(controller.openDocument(book(QStringLiteral("nothing.cvv2"))));
    EXPECT_EQ(controller.documents().size(), 1u);
}

// Two programs on one book: a lock file says who has it open, and a save
// over a file changed elsewhere asks first.
TEST_F(LifecycleTest, TwoProgramsOnOneBook)
{
    ScriptedDocumentUI ui;
    ScriptedAlertPresenter alerts;
    QSettings settings(tmp.filePath(QStringLiteral("recent.ini")), QSettings::IniFormat);
    cv::OpenBooks controller(&settings);
    const QString path = book(QStringLiteral("Household.cvv2"));
    const QString lock = cv::DocumentLock::lockPathFor(path);
    cv::Book *doc = controller.makeUntitledDocument();
    ASSERT_TRUE(controller.saveDocumentAs(doc, path));
    EXPECT_TRUE(QFile::exists(lock));
    EXPECT_FALSE(cv::DocumentLock::liveHolder(path)); // our own lock

    auto otherProgramSaves = [&](const QByteArray &bytes) {
        QSaveFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        ASSERT_TRUE(f.commit());
    };
    otherProgramSaves("theirs");
    doc->settings()->setViewerUnit(2);
    alerts.answers = {cv::AlertButton::Alternate};
    EXPECT_FALSE(controller.saveDocument(doc));
    ASSERT_EQ(alerts.asked.size(), 1u);
    EXPECT_TRUE(alerts.asked[0].title.contains(QStringLiteral("changed by another program")));
    EXPECT_EQ(readAll(path), QByteArray("theirs"));
    EXPECT_TRUE(doc->isDocumentEdited());
    alerts.answers = {cv::AlertButton::Default};
    EXPECT_TRUE(controller.saveDocument(doc));
    EXPECT_NE(readAll(path), QByteArray("theirs"));
    doc->settings()->setViewerUnit(3);
    EXPECT_TRUE(controller.saveDocument(doc));
    EXPECT_EQ(alerts.asked.size(), 2u); // our own saves change nothing to ask about
    EXPECT_TRUE(controller.closeDocument(doc, false));
    EXPECT_FALSE(QFile::exists(lock));

    auto lockedBy = [&](const QString &host, qint64 pid) {
        QFile f(lock);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("someone\n%1\n%2\n").arg(host).arg(pid).toUtf8());
    };
    const struct {
        QString host;
        qint64 pid;
        bool live;
    } locks[] = {
        {QStringLiteral("elsewhere.example"), 4242, true},      // another machine
        {QSysInfo::machineHostName(), qint64(getppid()), true}, // a live process here
        {QSysInfo::machineHostName(), 2147483000, false},       // a process that is gone
    };
    for (const auto &l : locks) {
        SCOPED_TRACE(l.host.toStdString());
        lockedBy(l.host, l.pid);
        alerts.asked.clear();
        alerts.answers = {cv::AlertButton::Alternate};
        cv::Book *opened = controller.openDocument(path);
        EXPECT_EQ(alerts.asked.size(), l.live ? 1u : 0u);
        EXPECT_EQ(opened == nullptr, l.live);
        if (!opened) {
            alerts.answers = {cv::AlertButton::Default};
            opened = controller.openDocument(path);
            ASSERT_TRUE(opened);
            EXPECT_TRUE(alerts.asked.back().message.contains(QStringLiteral("someone")));
        }
        // Taken over, still naming a holder that is alive.
        EXPECT_EQ(cv::DocumentLock::liveHolder(path).has_value(), l.live);
        EXPECT_TRUE(controller.closeDocument(opened, false));
        // Whoever still has it open is named again for the next program.
        const auto after = cv::DocumentLock::liveHolder(path);
        EXPECT_EQ(after.has_value(), l.live);
        if (after) {
            EXPECT_EQ(after->pid, l.pid);
        }
        EXPECT_EQ(QFile::exists(lock), l.live);
        QFile::remove(lock);
    }

    // A holder that this user may not signal is alive all the same: pid 1, as any other user sees it.
    lockedBy(QSysInfo::machineHostName(), 1);
    const auto readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(tmp.path(), readable), QFile::setPermissions(book(QString()), readable);
    const std::optional<bool> ran = runAsNobody([&] { EXPECT_TRUE(cv::DocumentLock::liveHolder(path)); });
    if (!ran) std::cout << "[  SKIPPED ] a lock of pid 1: needs root to check it as another user\n";
    EXPECT_TRUE(ran.value_or(true));
}

// The save writes the file the book was opened from, resolved once, and
// nothing else, never wider open than the book was: a place it may not write
// is refused, and a save that fails says why, naming the file as the user
// knows it and offering Save As. The rows that need another user run as nobody.
TEST_F(LifecycleTest, TheSaveWritesOnlyTheBooksOwnFile)
{
    backupCount = 0;
    const QString folder = tmp.filePath(QStringLiteral("Family")), rescue = tmp.filePath(QStringLiteral("Rescue"));
    const QString victim = tmp.filePath(QStringLiteral("Home/victim.cvv2"));
    QDir().mkpath(folder), QDir().mkpath(rescue), QDir().mkpath(QFileInfo(victim).path());
    const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto readWrite = readOnly | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    for (const QString &f : {tmp.path(), folder, rescue}) QFile::setPermissions(f, everyone);
    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly) && v.write("victim's own") > 0);
    v.close();
    const QString real = folder + QStringLiteral("/Household.cvv2"), link = folder + QStringLiteral("/Link.cvv2"),
                  theirs = folder + QStringLiteral("/Theirs.cvv2"), other = folder + QStringLiteral("/Other.cvv2");
    {
        cv::Book made;
        savedDefaultBook(made, QStringLiteral("Household.cvv2"));
        ASSERT_TRUE(made.writeToFile(book(QStringLiteral("Household.cvxf")), cv::Book::kTypeXML));
    }
    const QString realXml = folder + QStringLiteral("/Household.cvxf"), theirsXml = folder + QStringLiteral("/T.cvxf");
    const QByteArray original = readAll(book(QStringLiteral("Household.cvv2")));
    const passwd *nobody = ::getpwnam("nobody");
    const auto own = [&](const QString &file, bool byNobody) { // as root only: nobody's, or root's again
        if (nobody && ::geteuid() == 0) {
            EXPECT_EQ(::chown(QFile::encodeName(file).constData(), byNobody ? nobody->pw_uid : 0, nobody->pw_gid), 0);
        }
    };
    const auto copied = [&](const QString &to, QFileDevice::Permissions mode) {
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(book(QStringLiteral("Household.") + QFileInfo(to).suffix()), to) &&
                    QFile::setPermissions(to, mode));
    };
    const QString folderShown = QDir::toNativeSeparators(folder);
    const auto workFolder = [&]() -> QString {
        return rescue + QStringLiteral("/Work-") + QString::number(::getpid());
    };
    enum class Ends { Saved, Refused };
    const struct {
        const char *what;
        bool otherUser;
        bool throughLink;
        QFileDevice::Permissions mode;
        std::function<void()> before;    // by the other member (root), before the program runs
        std::function<void()> sinceOpen; // while the book is open
        Ends ends;
        QString why;           // the one alert's text; none for a save that asks nothing
        QString saveAs = {};   // a Save As onto this file instead of a Save
        bool diskFull = false; // the save finds no room
        // A saved book's mode, where not its own.
        QFileDevice::Permissions modeAfter = {};
        bool xml = false; // the book is in the XML form
        // Run as root in the other user's process before it becomes that user.
        std::function<bool()> asRootFirst = {};
        // An edit beside the held store check, in a log the save cannot fold: the save packs a copy.
        bool throughLog = false;
    } rows[] = {
        {"a link planted since the open", false, false, everyone, [] {},
         [&] { QFile::remove(real), QFile::link(victim, real); }, Ends::Refused,
         cv::localizedString(QStringLiteral("Save-Refused-Not-A-File"))},
        {"a book opened through a link", false, true, everyone, [] {}, [] {}, Ends::Saved, QString()},
        {"a read-only book opened through a link", true, true, readOnly, [] {}, [] {}, Ends::Refused,
         cv::localizedString(QStringLiteral("Save-Refused-Read-Only"))},
        {"another member's book", true, false, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther, [] {}, [] {},
         Ends::Refused, cv::localizedString(QStringLiteral("Save-Refused-Read-Only"))},
        {"a folder that takes no new file", true, false, everyone, [] {},
         [&] {
             QFile::setPermissions(folder, everyone & ~(QFile::WriteOther | QFile::WriteGroup | QFile::WriteOwner));
         },
         Ends::Refused, cv::formatString(cv::localizedString(QStringLiteral("Save-Refused-Folder")), {folderShown})},
        {"a private book replaced by another member's open file", true, false, QFile::ReadOwner | QFile::WriteOwner,
         [&] { own(real, true), copied(theirs, readWrite); }, [&] { QFile::remove(real), QFile::rename(theirs, real); },
         Ends::Saved,
         cv::localizedString("Saving replaces the changes made there. Cancel to keep editing without saving.")},
        {"a book replaced by its owner's own private copy", true, false, readOnly | QFile::WriteOwner,
         [&] { own(real, true), copied(theirs, QFile::ReadOwner | QFile::WriteOwner), own(theirs, true); },
         [&] { QFile::remove(real), QFile::rename(theirs, real); }, Ends::Saved,
         cv::localizedString("Saving replaces the changes made there. Cancel to keep editing without saving."),
         QString(), false, QFile::ReadOwner | QFile::WriteOwner},
        {"an XML book replaced by its owner's own private copy", true, false, readOnly | QFile::WriteOwner,
         [&] { own(realXml, true), copied(theirsXml, QFile::ReadOwner | QFile::WriteOwner), own(theirsXml, true); },
         [&] { QFile::remove(realXml), QFile::rename(theirsXml, realXml); }, Ends::Saved,
         cv::localizedString("Saving replaces the changes made there. Cancel to keep editing without saving."),
         QString(), false, QFile::ReadOwner | QFile::WriteOwner, true},
        {"another member's open book in a sticky family folder", true, false, readWrite,
         [&] { own(folder, false), ::chmod(QFile::encodeName(folder).constData(), 01777); }, [] {}, Ends::Refused,
         cv::formatString(cv::localizedString(QStringLiteral("Save-Refused-Others-File")),
                          {QStringLiteral("Household.cvv2"), folderShown})},
        {"a book without a write bit, saved by root", false, false, readOnly, [] {}, [] {}, Ends::Refused,
         cv::localizedString(QStringLiteral("Save-Refused-Read-Only"))},
        {"Save As onto a read-only file that is not the book", false, false, everyone, [&] { copied(other, readOnly); },
         [] {}, Ends::Refused,
         cv::formatString(cv::localizedString(QStringLiteral("Save-Refused-File-Read-Only")), {"Other.cvv2"}), other},
        {"a disk with no room for the save", false, false, everyone, [] {}, [] {}, Ends::Refused,
         cv::formatString(cv::localizedString(QStringLiteral("Save-Failed-No-Room")), {folderShown}), QString(), true},
        {.what = "a link at the copy's name in a sticky family folder, the log not folded",
         .otherUser = true,
         .throughLink = false,
         .mode = readWrite,
         .before = [&] { own(real, true), own(folder, false), ::chmod(QFile::encodeName(folder).constData(), 01777); },
         .sinceOpen = [] {},
         .ends = Ends::Refused,
         .why = cv::formatString(cv::localizedString(QStringLiteral("Save-Log-Copy-Not-Made")),
                                 {folderShown, folderShown, QString::fromLocal8Bit(strerror(EEXIST))}),
         .asRootFirst = [&] { return QFile::link(victim, cv::ReplacingFile::scratchPathFor(real)); },
         .throughLog = true},
        {.what = "a really full working disk, the log not folded: the book's own disk takes the copy",
         .otherUser = true,
         .throughLink = false,
         .mode = readWrite,
         .before = [] {},
         .sinceOpen = [&] { EXPECT_TRUE(fillDisk(workFolder())); },
         .ends = Ends::Saved,
         .why = QString(),
         .asRootFirst = [&] { return smallDisk(workFolder()); },
         .throughLog = true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const QString &target = row.xml ? realXml : real;
        for (const QString &f :
             {target, link, theirs, theirsXml, other, QString(rescue + QStringLiteral("/Rescued.cvv2"))})
            QFile::remove(f);
        ::chmod(QFile::encodeName(folder).constData(), 0777);
        copied(target, row.mode);
        QFile::link(target, link);
        // The family's folder is the saving member's; the book is the other's (root's) unless a row says.
        if (row.otherUser) own(folder, true);
        row.before();
        const auto saveOnce = [&] {
            cv::work::setWorkFolder(workFolder());
            ScriptedDocumentUI ui;
            ScriptedAlertPresenter alerts;
            cv::OpenBooks controller(nullptr);
            std::atomic<bool> held = row.throughLog;
            if (row.throughLog) cv::StoreCheck::setGateForTests([&] { return held.load(); });
            cv::Book *doc = controller.openDocument(row.throughLink ? link : target);
            cv::StoreCheck::setGateForTests(nullptr);
            ASSERT_TRUE(doc);
            cv::SQLDatabase3::setFoldRefusedForTests(row.throughLog);
            if (row.throughLog) {
                doc->updateExpense(samplebook::entry(cv::EntryKind::Expense, QDate(2009, 6, 8), 4321, 3002, 1001),
                                   nullptr);
                held = false;
            }
            // The lock is where the book is, wherever it was opened from.
            EXPECT_TRUE(QFileInfo::exists(cv::DocumentLock::lockPathFor(target)));
            EXPECT_FALSE(QFileInfo::exists(cv::DocumentLock::lockPathFor(link)));
            row.sinceOpen();
            // Without an edit nothing goes to the working copy before the file is written.
            std::optional<FileSizeLimit> full;
            if (row.diskFull)
                full.emplace(4096);
            else if (!row.throughLog)
                doc->settings()->setViewerUnit(3);
            ui.whileAsked = [&] { full.reset(); };
            ui.savePath = rescue + QStringLiteral("/Rescued.cvv2");
            alerts.answers = {cv::AlertButton::Default}; // Save As, or Overwrite
            EXPECT_TRUE(row.saveAs.isEmpty() ? controller.saveDocument(doc)
                                             : controller.saveDocumentAs(doc, row.saveAs));
            full.reset();
            cv::SQLDatabase3::setFoldRefusedForTests(false);
            EXPECT_EQ(QFileInfo::exists(ui.savePath), row.ends == Ends::Refused);
            ASSERT_EQ(alerts.asked.size(), row.why.isEmpty() ? 0u : 1u);
            if (!row.why.isEmpty()) {
                EXPECT_EQ(alerts.asked[0].message, row.why);
            }
            if (row.ends == Ends::Refused) {
                const QString shown =
                    QFileInfo(row.saveAs.isEmpty() ? row.throughLink ? link : target : row.saveAs).fileName();
                EXPECT_TRUE(alerts.asked[0].title.contains(shown)) << alerts.asked[0].title.toStdString();
                EXPECT_EQ(alerts.asked[0].defaultButton, cv::localizedString(QStringLiteral("Save As…")));
                EXPECT_EQ(doc->fileName(), ui.savePath);
            } else {
                EXPECT_NE(readAll(target), original);
                EXPECT_EQ((QFileInfo(target).permissions() & 0x7077).toInt(),
                          ((row.modeAfter ? row.modeAfter : row.mode) & 0x7077).toInt());
            }
            controller.closeDocument(doc, false);
        };
        if (row.otherUser) {
            const std::optional<bool> ran = runAsNobody(saveOnce, row.asRootFirst);
            if (!ran) std::cout << "[  SKIPPED ] " << row.what << ": needs root to run it as another user\n";
            EXPECT_TRUE(ran.value_or(true));
        } else {
            saveOnce();
        }
        EXPECT_EQ(readAll(victim), QByteArray("victim's own"));
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        if (row.ends == Ends::Refused && QFileInfo(target).isFile() && !QFileInfo(target).isSymLink()) {
            EXPECT_EQ(readAll(target), original);
        }
    }
    QFile::setPermissions(folder, everyone);
}

// What stopped programs of this host left beside books goes once per folder
// and run, after the window shows; a running program's and another host's
// stay, and neither the open nor the save reads the folder for them.
TEST_F(LifecycleTest, LeftoversOfStoppedProgramsGoOncePerFolderAfterTheWindowShows)
{
    ScriptedDocumentUI ui;
    cv::leftovers::waitAndForgetForTests();
    cv::OpenBooks controller(nullptr);
    const QString path = richBook(), host = QSysInfo::machineHostName();
    const qint64 dead = 2147483000;
    const auto plant = [&](const QString &name, const QString &on, qint64 pid, const QString &in = QString()) {
        QFile f(in.isEmpty() ? book(name) : in + QLatin1Char('/') + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("someone\n%1\n%2\n").arg(on).arg(pid).toUtf8());
        return name;
    };
    const QString stopped = plant(QStringLiteral(".Rich.cvv2.lock-%1-1f2e").arg(dead), host, dead);
    const QStringList kept{plant(QStringLiteral(".Rich.cvv2.lock-%1-77").arg(::getppid()), host, ::getppid()),
                           plant(QStringLiteral(".Rich.cvv2.lock-%1-9a").arg(dead), QStringLiteral("elsewhere"), dead)};
    cv::Book *doc = controller.openDocument(path);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(QFileInfo::exists(book(stopped))); // not while opening
    QCoreApplication::processEvents();
    // Waited for, not forgotten: the folder stays swept for the run.
    for (int i = 0; i < 2000 && QFileInfo::exists(book(stopped)); ++i) QThread::msleep(5);
    EXPECT_FALSE(QFileInfo::exists(book(stopped)));
    for (const QString &name : kept) EXPECT_TRUE(QFileInfo::exists(book(name))) << name.toStdString();

    // Swept once: a later open or save of a book there leaves the folder alone.
    plant(stopped, host, dead);
    EXPECT_TRUE(controller.closeDocument(doc, false));
    doc = controller.openDocument(path);
    ASSERT_TRUE(doc);
    doc->settings()->setViewerUnit(3);
    EXPECT_TRUE(controller.saveDocument(doc));
    QCoreApplication::processEvents();
    EXPECT_TRUE(QFileInfo::exists(book(stopped)));

    // A save elsewhere sweeps the folder it saves in: a copy through the log a killed Save As left there.
    const QString elsewhere = tmp.filePath(QStringLiteral("Elsewhere")),
                  moved = elsewhere + QStringLiteral("/Moved.cvv2");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString scratch = cv::ReplacingFile::scratchPathFor(moved).section(u'-', 0, -2) + QLatin1Char('-');
    const QString stoppedCopy = plant(QFileInfo(scratch).fileName() + QString::number(dead), host, dead, elsewhere),
                  runningCopy = plant(QFileInfo(scratch).fileName() + QString::number(::getppid()), host, 0, elsewhere);
    EXPECT_TRUE(controller.saveDocumentAs(doc, moved));
    EXPECT_TRUE(controller.closeDocument(doc, false));
    cv::leftovers::waitAndForgetForTests();
    EXPECT_FALSE(QFileInfo::exists(elsewhere + QLatin1Char('/') + stoppedCopy));
    EXPECT_TRUE(QFileInfo::exists(elsewhere + QLatin1Char('/') + runningCopy));

    // A dated backup opens untitled: the folder swept is the backup's, never the program's current folder.
    const QString current = tmp.filePath(QStringLiteral("Current")), previous = QDir::currentPath();
    const QString dated = backupFolder() + QStringLiteral("/Rich.09-06-01.cvv2");
    ASSERT_TRUE(QDir().mkpath(current) && QDir().mkpath(backupFolder()) && QFile::copy(path, dated));
    const QString lock = plant(QStringLiteral(".Rich.09-06-01.cvv2.lock-%1-1f2e").arg(dead), host, dead, current);
    plant(lock, host, dead, backupFolder());
    QDir::setCurrent(current);
    doc = controller.openDocument(dated);
    QCoreApplication::processEvents();
    cv::leftovers::waitAndForgetForTests();
    QDir::setCurrent(previous);
    EXPECT_TRUE(doc && doc->fileName().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(current + QLatin1Char('/') + lock));
    EXPECT_FALSE(QFileInfo::exists(backupFolder() + QLatin1Char('/') + lock));
}

// Whatever another user plants under the lock's name is left as it is and the
// book opens read-write, unlocked, saying so. A pipe or an endless device read
// as a lock would hold the open up for good: the test would not end.
TEST_F(LifecycleTest, PlantedLocksAreLeftAloneAndTheBookOpensUnlocked)
{
    ScriptedDocumentUI ui;
    ScriptedAlertPresenter alerts;
    cv::OpenBooks controller(nullptr);
    const QString path = richBook(), lock = cv::DocumentLock::lockPathFor(path),
                  victim = book(QStringLiteral("Mine.cvv2"));
    ASSERT_TRUE(QFile::copy(path, victim));
    const QByteArray lockName = QFile::encodeName(lock), victimBytes = readAll(victim);
    const std::pair<const char *, std::function<bool()>> planted[] = {
        {"a link to another book", [&] { return QFile::link(victim, lock); }},
        {"a named pipe", [&] { return ::mkfifo(lockName.constData(), 0666) == 0; }},
        {"a link to an endless device", [&] { return QFile::link(QStringLiteral("/dev/zero"), lock); }},
        {"a folder", [&] { return QDir().mkdir(lock); }},
        {"a file too large for a lock", [&] { return QFile::copy(victim, lock); }},
    };
    for (const auto &[what, plant] : planted) {
        SCOPED_TRACE(what);
        struct stat before {
        }, after{};
        ASSERT_TRUE(plant() && ::lstat(lockName.constData(), &before) == 0);
        alerts.asked.clear();
        cv::Book *opened = controller.openDocument(path);
        ASSERT_TRUE(opened);
        EXPECT_TRUE(controller.saveDocument(opened) && controller.closeDocument(opened, false));
        EXPECT_TRUE(alerts.asked.size() == 1 && alerts.asked[0].title.contains(QStringLiteral("cannot be locked")));
        EXPECT_TRUE(::lstat(lockName.constData(), &after) == 0 && after.st_mode == before.st_mode &&
                    after.st_ino == before.st_ino && after.st_size == before.st_size);
        EXPECT_EQ(readAll(victim), victimBytes);
        EXPECT_TRUE(QDir().rmdir(lock) || QFile::remove(lock));
    }
}

// Runs only as a second program started by the test below: opens the book
// (anyway: without a presenter the default button answers), closes it at the
// first line of its input and goes on running until the input closes.
TEST_F(LifecycleTest, LockHolderChild)
{
    const QString path = qEnvironmentVariable("CV_LOCK_CHILD_BOOK");
    if (path.isEmpty()) GTEST_SKIP() << "runs only as a second program";
    cv::OpenBooks controller(nullptr);
    cv::Book *doc = controller.openDocument(path);
    std::string line;
    for (const char *said : {"OPEN", "CLOSED"}) {
        std::cout << said << std::endl;
        std::getline(std::cin, line);
        controller.closeDocument(doc, false);
    }
}

// Three programs open one book and close it in another order, each going on
// running (other books open): none is named any more, and the lock goes.
TEST_F(LifecycleTest, HoldersClosingOutOfOrderLeaveNoHolder)
{
    const QString path = richBook();
    auto said = [](QProcess &p, const char *what) {
        QByteArray out;
        while (!out.contains(what) && p.waitForReadyRead(20000)) out += p.readAllStandardOutput();
        return out.contains(what);
    };
    QProcess holders[3];
    for (QProcess &p : holders) {
        p.setEnvironment(QProcess::systemEnvironment() << QStringLiteral("CV_LOCK_CHILD_BOOK=") + path);
        p.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=LifecycleTest.LockHolderChild")});
        ASSERT_TRUE(said(p, "OPEN"));
    }
    for (const auto &[closing, next] : {std::pair(1, 2), std::pair(2, 0), std::pair(0, -1)}) {
        holders[closing].write("\n");
        ASSERT_TRUE(said(holders[closing], "CLOSED"));
        const auto left = cv::DocumentLock::liveHolder(path);
        EXPECT_EQ(left ? left->pid : -1, next < 0 ? -1 : holders[next].processId());
    }
    EXPECT_FALSE(QFileInfo::exists(cv::DocumentLock::lockPathFor(path)));
    for (QProcess &p : holders) p.closeWriteChannel(), p.waitForFinished(20000);
}

TEST_F(LifecycleTest, OnlyASaveThatSucceedsLeavesTheBookUnedited)
{
    ScriptedDocumentUI ui;
    cv::Book doc;
    cv::BookTestAccess::createFromTemplate(doc, QStringLiteral("default"));
    doc.settings()->setViewerUnit(4);
    doc.updateChangeCount(cv::Book::ChangeDone);
    EXPECT_FALSE(doc.writeToFile(book(QStringLiteral("no/such/folder/x.cvv2")), cv::Book::kTypeV2));
    EXPECT_TRUE(doc.isDocumentEdited()); // a failed save keeps it
    const QString xml = book(QStringLiteral("Book.cvxf"));
    ASSERT_TRUE(doc.writeToFile(xml, cv::Book::kTypeXML));
    EXPECT_FALSE(doc.isDocumentEdited());

    // The settings saved in the XML form also reach a later save in the database form.
    const QString v2 = book(QStringLiteral("Book.cvv2"));
    ASSERT_TRUE(doc.writeToFile(v2, cv::Book::kTypeV2));
    cv::Book reopened;
    ASSERT_TRUE(reopened.initWithContentsOfFile(v2, cv::Book::kTypeV2));
    EXPECT_EQ(reopened.settings()->viewerUnit(), 4);
}

namespace {

// The settings record of older versions, which kept the password itself.
class LegacySettings : public cv::KeyedArchivable {
public:
    QString archiveClassName() const override { return QStringLiteral("CV4Settings"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override
    {
        coder.encodeObject(QStringLiteral("passwd"), QStringLiteral("legacy-secret"));
    }
    bool initWithCoder(cv::KeyedUnarchiver &) override { return true; }
};

} // namespace

TEST_F(LifecycleTest, LegacyPlainPasswordIsGoneAfterTheNextSave)
{
    ScriptedDocumentUI ui;
    cv::Book doc;
    const QString path = savedDefaultBook(doc, QStringLiteral("Old.cvv2"));
    {
        cv::BookStore store;
        ASSERT_TRUE(store.open(path));
        ASSERT_TRUE(
            store.putSettingsData(cv::KeyedArchiver::archivedDataWithRootObject(std::make_shared<LegacySettings>())));
        ASSERT_TRUE(store.save(path));
        ASSERT_TRUE(store.getSettingsData().contains("legacy-secret"));
    }
    const QByteArray legacyRow =
        cv::KeyedArchiver::archivedDataWithRootObject(std::make_shared<LegacySettings>()).toBase64();
    ASSERT_TRUE(decompressed(path).contains(legacyRow));

    ui.passwords = {QStringLiteral("legacy-secret")};
    cv::Book opened;
    ASSERT_TRUE(opened.initWithContentsOfFile(path, cv::Book::kTypeV2));
    EXPECT_EQ(ui.passwordRuns, 1);
    EXPECT_FALSE(opened.isDocumentEdited());
    ASSERT_TRUE(opened.writeToFile(path, cv::Book::kTypeV2));

    // Not even in the freed pages of the saved file.
    EXPECT_FALSE(decompressed(path).contains(legacyRow));
    cv::BookStore store;
    ASSERT_TRUE(store.open(path));
    EXPECT_FALSE(store.getSettingsData().contains("legacy-secret"));
    ui.passwords = {QStringLiteral("legacy-secret")};
    cv::Book again;
    EXPECT_TRUE(again.initWithContentsOfFile(path, cv::Book::kTypeV2));
}

// A list row lost to damage leaves prices, trades, holdings and entries
// naming its records: a new security or grouping never inherits them.
TEST_F(LifecycleTest, IdentsOfALostListAreNeverHandedOutAgain)
{
    ScriptedDocumentUI ui;
    const QString path = richBook();
    for (const char *sql :
         {"UPDATE InfoTable SET info = '' WHERE id IN (4, 5);",
          "DELETE FROM InfoTable WHERE id IN (4, 5); DELETE FROM PriceTable; DELETE FROM TradeTable;"}) {
        SCOPED_TRACE(sql);
        cv::Book doc;
        ASSERT_TRUE(doc.initWithContentsOfFile(damagedCopy(path, sql), cv::Book::kTypeV2));
        auto security = std::make_shared<cv::Security>();
        doc.addSecurity(security);
        EXPECT_GT(security->ident(), 2); // 1 and 2 are still held, priced and traded
        auto grouping = std::make_shared<cv::Grouping>();
        doc.addGrouping(grouping);
        EXPECT_EQ(doc.store()->getDataCountForGroup({grouping->ident()}), 0);
    }
}

// The day's backup and the working copy of a private book stay private.
TEST_F(LifecycleTest, BackupAndWorkingCopyKeepTheBooksPrivacy)
{
    ScriptedDocumentUI ui;
    const mode_t previous = ::umask(022);
    const auto modeOf = [](const QString &file) { return QFileInfo(file).permissions() & 0x0777; };
    const QString path = richBook();
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadUser | QFile::WriteUser));
    cv::Book opened;
    ASSERT_TRUE(opened.initWithContentsOfFile(path, cv::Book::kTypeV2));
    EXPECT_EQ(modeOf(opened.store()->workingPath()), modeOf(path));
    const QString folder = QFileInfo(opened.store()->workingPath()).absolutePath();
    EXPECT_EQ(modeOf(folder), QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    ASSERT_TRUE(opened.writeToFile(path, cv::Book::kTypeV2));
    EXPECT_EQ(modeOf(path), QFile::ReadUser | QFile::WriteUser); // the replaced book's mode kept
    EXPECT_EQ(modeOf(backupFolder() + QStringLiteral("/Rich.09-06-07.cvv2")), modeOf(path));
    // A first save takes the umask's mode: root would open a 0000 book, its user could not.
    ASSERT_TRUE(opened.writeToFile(book(QStringLiteral("First.cvv2")), cv::Book::kTypeV2));
    EXPECT_EQ(modeOf(book(QStringLiteral("First.cvv2"))),
              QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
    ::umask(previous);
}
