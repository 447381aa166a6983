// The document file, the working copy, saving and day numbers.
#include "document/BookTestAccess.h"
#include "document/LifecycleTestSupport.h"
#include "document/store/StoreTestSupport.h"
#include "document/BookBackup.h"
#include "document/OpenBooks.h"
#include "document/store/DocumentContainer.h"
#include "document/store/Leftovers.h"
#include "platform/ScriptedAlertPresenter.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QLocale>
#include <QProcess>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <csignal>
#include <iostream>
#include <sched.h>
#include <sys/resource.h>
#include <zlib.h>

namespace {

QByteArray gunzip(const QString &file)
{
    QByteArray out;
    gzFile in = gzopen(QFile::encodeName(file).constData(), "rb");
    if (!in) return out;
    char buffer[8192];
    int n = 0;
    while ((n = gzread(in, buffer, sizeof buffer)) > 0) out.append(buffer, n);
    gzclose(in);
    return out;
}

void writeGzip(const QString &file, const QByteArray &content, const char *mode = "wb")
{
    gzFile out = gzopen(QFile::encodeName(file).constData(), mode);
    ASSERT_TRUE(out);
    ASSERT_EQ(gzwrite(out, content.constData(), unsigned(content.size())), int(content.size()));
    ASSERT_EQ(gzclose(out), Z_OK);
}

void writeFile(const QString &file, const QByteArray &content)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(content), content.size());
}

// Files in a folder and below it.
QStringList filesIn(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    files.sort();
    return files;
}

const char *kChildBook = "CV_SAVE_CHILD_BOOK";
const char *kChildUnnamed = "CV_SAVE_CHILD_UNNAMED";
const char *kChildThroughLog = "CV_SAVE_CHILD_THROUGH_LOG";

// Runs only as the second process started below: opens the book and saves it
// over itself under a file-size limit below the packed size, so the kernel
// kills it with SIGXFSZ in the middle of writing the pack, or, with an edit
// in a log the save cannot fold, of the copy it packs instead.
TEST(SavingChild, KilledMidPack)
{
    const QString book = qEnvironmentVariable(kChildBook);
    if (book.isEmpty()) GTEST_SKIP() << "runs only as a second process";
    cv::work::setWorkFolder(QFileInfo(book).absolutePath() + QStringLiteral("/ChildWork"));
    cv::ReplacingFile::setUnnamedTemporaries(qEnvironmentVariable(kChildUnnamed) == QLatin1String("1"));
    cv::BookStore store;
    ASSERT_TRUE(store.open(book));
    if (qEnvironmentVariable(kChildThroughLog) == QLatin1String("1")) {
        ASSERT_TRUE(store.database()->setSnapshotReads(true));
        ASSERT_TRUE(store.database()->performQuery(QStringLiteral("UPDATE ActualTable SET memo = 'edited';")));
        cv::SQLDatabase3::setFoldRefusedForTests(true);
        ::umask(022); // a file made with the default mode would be readable by all
    }
    const struct rlimit noCore {
        0, 0
    };
    setrlimit(RLIMIT_CORE, &noCore);
    struct rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(QFileInfo(book).size() / 4);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    std::signal(SIGXFSZ, SIG_DFL);
    store.save(book);
}

class ContainerTest : public StoreTest {
protected:
    // Memos that do not compress, so the book packs to `entries` times 500 bytes or so.
    void putRandomMemos(int entries)
    {
        QRandomGenerator random(7);
        ASSERT_TRUE(store->beginTransaction());
        for (int i = 0; i < entries; ++i) {
            QString memo;
            for (int word = 0; word < 60; ++word) memo += QString::number(random.generate64(), 36);
            ASSERT_TRUE(store->putExpense(
                entry(0, QDate(2008, 1, 1).addDays(i % 700), random.bounded(100000) / 4.0, 1001, 2001, memo)));
        }
        ASSERT_TRUE(store->commitTransaction());
    }
    // The hidden files beside the books.
    QStringList hiddenFiles() const
    {
        return QDir(tmp.path()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System);
    }

    // A saved document with a few entries; answers its path.
    QString savedDocument(const QString &name)
    {
        store->putExpense(entry(1, QDate(2008, 3, 5), 1234.5, 1001, 2001, QStringLiteral("lunch")));
        store->putIncome(entry(0, QDate(2008, 3, 25), 300000, 1002));
        const QString file = path(name);
        EXPECT_TRUE(store->save(file));
        return file;
    }
    int entryCount(cv::BookStore &s)
    {
        return rowsOf(s, QStringLiteral("SELECT count(*) FROM ActualTable;")).value(0).toInt();
    }
};

TEST_F(ContainerTest, SavedFileIsMagicAndDatabaseWithTheSchemaInOrder)
{
    const QString file = savedDocument(QStringLiteral("t.cvv2"));
    const QByteArray content = gunzip(file);
    ASSERT_GT(content.size(), 24);
    EXPECT_EQ(content.left(8), QByteArray("KAVRICV4"));
    EXPECT_EQ(content.mid(8, 16), QByteArray("SQLite format 3\0", 16));
    // clang-format off
    EXPECT_EQ(rows(QStringLiteral("SELECT type, name FROM sqlite_master ORDER BY rowid;")),
              QStringList({"table | InfoTable", "table | LoanTable", "table | ActualTable",
                           "index | date_income", "index | category_income", "index | category_group",
                           "table | PriceTable", "index | sqlite_autoindex_PriceTable_1", "index | brand_price",
                           "index | date_price", "table | TradeTable", "index | brand_trade", "index | date_trade",
                           "table | ExchangeTable", "index | sqlite_autoindex_ExchangeTable_1",
                           "index | currency_exchange", "index | date_exchange"}));
    // clang-format on
    EXPECT_TRUE(changes.lastCleared());
}

TEST_F(ContainerTest, SaveAndOpenGiveBackTheSameDatabase)
{
    const QString file = savedDocument(QStringLiteral("same.cvv2"));
    const QByteArray image = readAll(store->workingPath());
    ChangeRecorder otherChanges;
    cv::BookStore other(&otherChanges);
    bool upgraded = true;
    ASSERT_TRUE(other.open(file, &upgraded));
    EXPECT_FALSE(upgraded);
    EXPECT_TRUE(other.isOpen());
    EXPECT_TRUE(otherChanges.lastCleared());
    EXPECT_NE(other.workingPath(), store->workingPath());
    EXPECT_EQ(readAll(other.workingPath()), image);
    EXPECT_EQ(entryCount(other), 2);

    // The image without its gzip wrapping opens as well.
    const QString plain = path(QStringLiteral("uncompressed.cvv2"));
    writeFile(plain, gunzip(file));
    cv::BookStore unpacked;
    ASSERT_TRUE(unpacked.open(plain));
    EXPECT_EQ(readAll(unpacked.workingPath()), image);
}

// Files written by earlier builds, and other gzip tools, read the saved file
// with plain zlib: it must be one standard member, its checks intact, nothing
// after it, whether one or two free cores pack it in one call or more pack it
// in pieces (long memos make several).
TEST_F(ContainerTest, SavedFileIsOneGzipMemberPlainZlibReads)
{
    putRandomMemos(3000);
    ASSERT_GT(QFileInfo(store->workingPath()).size(), 2 << 20);
    cpu_set_t all, some;
    ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
    for (int cores : {1, 2, 4}) {
        SCOPED_TRACE(cores);
        // One and two as taskset leaves them; four whatever else runs.
        CPU_ZERO(&some);
        for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && taken < cores; ++cpu)
            if (CPU_ISSET(cpu, &all)) CPU_SET(cpu, &some), ++taken;
        const bool pinned = cores < 4 && sched_setaffinity(0, sizeof some, &some) == 0;
        ASSERT_TRUE(pinned || cores == 4);
        cv::DocumentContainer::setCoresForTests(pinned ? 0 : cores);
        const QString file = path(QStringLiteral("plain-zlib-%1.cvv2").arg(cores));
        const bool saved = store->save(file);
        sched_setaffinity(0, sizeof all, &all);
        cv::DocumentContainer::setCoresForTests(0);
        ASSERT_TRUE(saved);
        const QByteArray packed = readAll(file);
        ASSERT_GT(packed.size(), 18);
        EXPECT_EQ(quint8(packed[0]), 0x1f);
        EXPECT_EQ(quint8(packed[1]), 0x8b);
        EXPECT_EQ(quint8(packed[2]), 8); // deflate

        z_stream z{};
        ASSERT_EQ(inflateInit2(&z, 16 + MAX_WBITS), Z_OK);
        QByteArray plain(readAll(store->workingPath()).size() + 8 + 1, '\0');
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.constData()));
        z.avail_in = uInt(packed.size());
        z.next_out = reinterpret_cast<Bytef *>(plain.data());
        z.avail_out = uInt(plain.size());
        EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END); // checks the CRC and the size
        EXPECT_EQ(z.avail_in, 0u);
        plain.truncate(qsizetype(z.total_out));
        inflateEnd(&z);
        EXPECT_EQ(plain, QByteArray("KAVRICV4") + readAll(store->workingPath()));
    }
    // The pieces' file is the larger: both ways were taken.
    EXPECT_GT(QFileInfo(path(QStringLiteral("plain-zlib-4.cvv2"))).size(),
              QFileInfo(path(QStringLiteral("plain-zlib-1.cvv2"))).size());
    EXPECT_EQ(hiddenFiles(), QStringList());
}

// A save killed in the middle leaves the old book byte for byte; what it wrote
// on the way is gone once the book is opened again, also where the file system
// has no unnamed temporaries and the new file has its name from the start. A
// running process's temporary and another host's stay; a stopped backup
// copy's goes with the next backup.
TEST_F(ContainerTest, WhatAKilledSaveLeftGoesWhenTheBookIsOpenedAgain)
{
    putRandomMemos(400);
    const QString book = path(QStringLiteral("killed.cvv2"));
    ASSERT_TRUE(store->save(book));
    const QByteArray old = readAll(book);
    ASSERT_GT(old.size(), 128 * 1024);
    QString host; // as a stopped save of this machine writes it
    const auto leftover = [&](const QString &target, qint64 pid, const QString &on = QString()) {
        return QStringLiteral(".%1.saving-%2-%3").arg(target, on.isEmpty() ? host : on).arg(pid);
    };
    qint64 deadPid = 0;
    for (const auto &[unnamed, throughLog] : {std::pair(false, false), {true, false}, {false, true}}) {
        SCOPED_TRACE(unnamed);
        SCOPED_TRACE(throughLog);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildBook), book);
        env.insert(QString::fromLatin1(kChildUnnamed), QString::number(unnamed));
        env.insert(QString::fromLatin1(kChildThroughLog), QString::number(throughLog));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=SavingChild.*")});
        ASSERT_TRUE(child.waitForStarted(10000));
        deadPid = child.processId();
        ASSERT_TRUE(child.waitForFinished(60000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit);
        if (!unnamed && !throughLog) {
            host = hiddenFiles().value(0).section(QLatin1Char('-'), 1, -2);
            ASSERT_EQ(hiddenFiles(), QStringList{leftover(QStringLiteral("killed.cvv2"), deadPid)});
        }
        // The whole store, unpacked: its owner's alone, as the working copy.
        if (throughLog) {
            ASSERT_EQ(hiddenFiles(), QStringList{leftover(QStringLiteral("killed.cvv2.copy"), deadPid)});
            EXPECT_EQ(QFileInfo(path(hiddenFiles()[0])).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        }
        // init runs as long as the machine.
        QStringList kept{leftover(QStringLiteral("killed.cvv2"), 1),
                         leftover(QStringLiteral("killed.cvv2"), deadPid, QStringLiteral("elsewhere"))};
        kept.sort();
        for (const QString &name : kept) writeFile(path(name), "x");

        EXPECT_EQ(readAll(book), old);
        cv::BookStore reopened;
        ASSERT_TRUE(reopened.open(book));
        EXPECT_EQ(entryCount(reopened), 400);
        cv::leftovers::sweep(tmp.path()); // as the opened book's window does
        EXPECT_EQ(hiddenFiles(), kept);
        for (const QString &name : kept) QFile::remove(path(name));
    }

    // The backup folder: a copy stopped on an earlier day, and one a running process makes.
    const QString backups = path(QStringLiteral("Backup"));
    cv::backup::setFolders(backups, path(QStringLiteral("OldSupport")));
    cv::backup::setClock([] { return QDate(2009, 6, 7); });
    cv::backup::setCountSource([] { return 5; });
    ASSERT_TRUE(QDir().mkpath(backups));
    const QString household = path(QStringLiteral("Household.cvv2"));
    {
        cv::Book made;
        cv::BookTestAccess::createFromTemplate(made, QStringLiteral("default"));
        ASSERT_TRUE(made.writeToFile(household, cv::Book::kTypeV2));
    }
    const QString running = leftover(QStringLiteral("Household.09-06-07.cvv2"), 1);
    writeFile(backups + QLatin1Char('/') + leftover(QStringLiteral("Household.09-06-01.cvv2"), deadPid), "x");
    writeFile(backups + QLatin1Char('/') + running, "x");
    cv::Book doc;
    ASSERT_TRUE(doc.initWithContentsOfFile(household, cv::Book::kTypeV2));
    const bool saved = doc.writeToFile(household, cv::Book::kTypeV2);
    cv::backup::setFolders(QString());
    cv::backup::setClock(nullptr);
    cv::backup::setCountSource(nullptr);
    ASSERT_TRUE(saved);
    EXPECT_EQ(QDir(backups).entryList(QDir::Files | QDir::Hidden),
              QStringList({running, QStringLiteral("Household.09-06-07.cvv2")}));
}

TEST_F(ContainerTest, BadFilesFailAndLeaveNoWorkingFile)
{
    const QString file = savedDocument(QStringLiteral("good.cvv2"));
    const QByteArray content = gunzip(file);
    const QStringList before = filesIn(cv::work::workFolder());

    const QString wrongMagic = path(QStringLiteral("v5.cvv2"));
    writeGzip(wrongMagic, QByteArray("KAVRICV5") + content.mid(8));

    const QString cut = path(QStringLiteral("cut.cvv2"));
    writeFile(cut, readAll(file).chopped(100));

    const QString notDatabase = path(QStringLiteral("junk.cvv2"));
    writeGzip(notDatabase, QByteArray("KAVRICV4") + QByteArray(5000, 'x'));

    const QString shortFile = path(QStringLiteral("short.cvv2"));
    writeGzip(shortFile, QByteArray("KAVR"));

    const QString corrupt = path(QStringLiteral("corrupt.cvv2"));
    QByteArray flipped = readAll(file);
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x55);
    writeFile(corrupt, flipped);

    // Bombs, made small by a lowered bound: zeros where a store should be, a
    // header stating a store beyond the bound, an older store without end.
    constexpr qint64 kBound = 1 << 20;
    const QString zeros = path(QStringLiteral("zeros.cvv2")), stated = path(QStringLiteral("stated.cvv2")),
                  oldBomb = path(QStringLiteral("old.cvv2"));
    writeGzip(zeros, QByteArray("KAVRICV4") + QByteArray(2 * kBound, '\0'));
    QByteArray huge = content;
    qToBigEndian<quint32>(quint32(2 * kBound / 1024), huge.data() + 8 + 28);
    writeGzip(stated, huge);
    writeGzip(oldBomb, "KAVRICV4** This file contains an SQLite 2.1 database **" + QByteArray(2 * kBound, 'x'));

    cv::DocumentContainer::setExpansionBoundForTests(kBound);
    for (const QString &bad :
         {wrongMagic, cut, notDatabase, shortFile, corrupt, path(QStringLiteral("missing")), zeros, stated, oldBomb}) {
        SCOPED_TRACE(bad.toStdString());
        ChangeRecorder marks;
        cv::BookStore other(&marks);
        LogCapture log;
        EXPECT_FALSE(other.open(bad));
        // Refused while expanding, the file named: never after gigabytes of it.
        if (bad == zeros || bad == stated || bad == oldBomb) {
            EXPECT_TRUE(log.contains(bad + QStringLiteral(" is damaged")));
        }
        EXPECT_FALSE(other.isOpen());
        EXPECT_FALSE(QFile::exists(other.workingPath()));
        EXPECT_TRUE(marks.changes.empty());
    }
    EXPECT_EQ(filesIn(cv::work::workFolder()), before);
    EXPECT_FALSE(cv::BookStore().open(QString()));

    // A whole store followed by more opens from the store alone.
    const QString followed = path(QStringLiteral("followed.cvv2"));
    writeGzip(followed, content + QByteArray(2 * kBound, '\0'));
    cv::BookStore whole;
    EXPECT_TRUE(whole.open(followed));
    EXPECT_EQ(QFileInfo(whole.workingPath()).size(), content.size() - 8);

    // Opened in the program: a book fits where the working disk has room for its store and a modest margin for its
    // journal, a store of unstated size in at most half the free space; each refusal says why, naming the disk by
    // the book's folder, and only a damaged file is called damaged. A compaction asks for twice the store first.
    cv::DocumentContainer::setExpansionBoundForTests(0);
    const QString room = path(QStringLiteral("Room.cvv2")), loan = path(QStringLiteral("Loan.cvxf")),
                  big = path(QStringLiteral("Big.cvv2")), unstated = path(QStringLiteral("Unstated.cvv2"));
    cv::Book made;
    cv::BookTestAccess::createFromTemplate(made, QStringLiteral("default"));
    ASSERT_TRUE(made.writeToFile(room, cv::Book::kTypeV2));
    writeFile(loan,
              "<?xml version=\"1.0\"?>\n<cvxf version=\"1.0\"> <debt><node_loan id=\"1001\" count=\"1\"><title>Car"
              "</title><repayment kind=\"0\" date=\"2008.1.27\" principal=\"1e13\"/></node_loan></debt></cvxf>\n");
    const qint64 store = gunzip(room).size() - 8, bigStore = 105'046'016, mib = 1 << 20;
    { // Most of it free pages, as a book that once held far more leaves it.
        cv::BookStore padded;
        const auto sql = [&](const QString &text) { return rowsOf(padded, text).value(0).toLongLong(); };
        ASSERT_TRUE(padded.open(room));
        sql(QStringLiteral("CREATE TABLE Pad(b); INSERT INTO Pad VALUES(zeroblob(%1));").arg(bigStore - store - mib));
        while (sql(QStringLiteral("PRAGMA page_count;")) * 4096 < bigStore)
            sql(QStringLiteral("INSERT INTO Pad VALUES(zeroblob(3000));"));
        ASSERT_EQ(sql(QStringLiteral("DROP TABLE Pad; PRAGMA page_count;")) * 4096, bigStore);
        ASSERT_TRUE(padded.save(big));
    }
    // The same store with a header that states no size (an older writer's).
    QByteArray bigContent = gunzip(big);
    qToBigEndian<quint32>(qFromBigEndian<quint32>(bigContent.constData() + 8 + 92) + 1, bigContent.data() + 8 + 92);
    writeGzip(unstated, bigContent, "wb1");
    bigContent.clear();
    const QString folder = QDir::toNativeSeparators(tmp.path());
    const auto size = [](qint64 n) { return QLocale::c().formattedDataSize(n, 1, QLocale::DataSizeTraditionalFormat); };
    const auto noRoom = [&](const char *key, qint64 needed, qint64 free, const QString &where = QString()) {
        return cv::formatString(cv::localizedString(key), {where.isEmpty() ? folder : where, size(needed), size(free)});
    };
    // A book on another disk than the working copy's: the disk is named by the program's data folder, which the
    // user knows, never by the working folder inside it.
    QTemporaryDir elsewhere(QStringLiteral("/dev/shm/CorvaneTests-XXXXXX"));
    const QString away = elsewhere.filePath(QStringLiteral("Away.cvv2"));
    const bool otherDisk = elsewhere.isValid() && QFile::copy(room, away) &&
                           QStorageInfo(elsewhere.path()).device() != QStorageInfo(tmp.path()).device();
    if (!otherDisk) std::cout << "[  SKIPPED ] a book on another disk: /dev/shm is not one here\n";
    const QString dataFolder = QDir::toNativeSeparators(QFileInfo(cv::work::workFolder()).absolutePath());
    const struct {
        QString file;
        qint64 free;             // negative: the disk's own
        QString why;             // empty: opens
        QString compacting = {}; // an opened book's compaction: empty when it compacts
    } opens[] = {
        {room, store + 4 * mib, QString()},
        {room, store + 4 * mib - 1, noRoom("Open-No-Room", store + 4 * mib, store + 4 * mib - 1)},
        {otherDisk ? away : room, store + 4 * mib - 1,
         noRoom("Open-No-Room", store + 4 * mib, store + 4 * mib - 1, otherDisk ? dataFolder : folder)},
        {big, 180 * mib, QString(), noRoom("Compact-No-Room", 2 * bigStore, 180 * mib)},
        {big, 200 * mib, QString(), noRoom("Compact-No-Room", 2 * bigStore, 200 * mib)},
        {big, 2 * bigStore, QString()},
        {unstated, 180 * mib, noRoom("Open-No-Room", 2 * bigStore, 180 * mib)},
        {stated, -1, cv::localizedString("Open-Damaged")},
        {loan, -1, cv::formatString(cv::localizedString("Open-Loan-Out-Of-Range"), {"Car"})},
    };
    ScriptedDocumentUI ui;
    ScriptedAlertPresenter alerts;
    cv::OpenBooks controller(nullptr);
    for (const auto &row : opens) {
        SCOPED_TRACE(QStringLiteral("%1 with %2 free").arg(QFileInfo(row.file).fileName()).arg(row.free).toStdString());
        cv::DocumentContainer::setFreeSpaceForTests(row.free);
        LogCapture log;
        alerts.asked.clear();
        cv::Book *doc = controller.openDocument(row.file);
        EXPECT_EQ(doc != nullptr, row.why.isEmpty());
        EXPECT_EQ(alerts.asked.empty() ? QString() : alerts.asked[0].message, row.why);
        EXPECT_EQ(log.contains(QStringLiteral("damaged")), row.file == stated);
        if (doc) {
            const QString working = cv::BookTestAccess::workingPath(*doc);
            const qint64 before = QFileInfo(working).size();
            doc->compactDB();
            EXPECT_EQ(alerts.asked.empty() ? QString() : alerts.asked[0].message, row.compacting);
            // Refused, nothing changed; done, the free pages are gone.
            EXPECT_EQ(QFileInfo(working).size() == before, row.file == room || !row.compacting.isEmpty());
            controller.closeDocument(doc, false);
        }
        cv::DocumentContainer::setFreeSpaceForTests(-1);
    }
}

// The day numbers themselves are the platform's; here, that every stored row carries its own.
TEST_F(ContainerTest, DayNumbers)
{
    for (const QDate &d : {QDate(2001, 1, 1), QDate(2001, 1, 2), QDate(2000, 12, 31), QDate(2008, 3, 5)})
        ASSERT_TRUE(store->putExpense(entry(1, d, 10)));
    EXPECT_EQ(rows(QStringLiteral("SELECT date FROM ActualTable ORDER BY id;")), QStringList({"0", "1", "-1", "2620"}));
}

TEST_F(ContainerTest, SaveIntoAMissingFolderFailsAndKeepsWorking)
{
    ASSERT_TRUE(store->putExpense(entry(1, QDate(2008, 3, 5), 100)));
    changes.reset();
    EXPECT_FALSE(store->save(path(QStringLiteral("no/such/folder/t.cvv2"))));
    EXPECT_FALSE(changes.lastCleared());
    // The working copy is open and takes further edits.
    ASSERT_TRUE(store->putExpense(entry(1, QDate(2008, 3, 6), 200)));
    const QString file = path(QStringLiteral("later.cvv2"));
    ASSERT_TRUE(store->save(file));
    cv::BookStore other;
    ASSERT_TRUE(other.open(file));
    EXPECT_EQ(entryCount(other), 2);
}

// A disk that fills up while saving: the file-size limit makes writes beyond it
// fail as they would on a full disk, also for root.
TEST_F(ContainerTest, SaveOntoAFullDiskKeepsTheOldFileAndEveryEdit)
{
    const QString file = savedDocument(QStringLiteral("full.cvv2"));
    const QByteArray old = readAll(file);

    // Edits that do not compress, so the new file is larger than the limit.
    QRandomGenerator random(7);
    ASSERT_TRUE(store->beginTransaction());
    for (int i = 0; i < 200; ++i) {
        QString memo;
        for (int c = 0; c < 200; ++c) memo += QChar(u'a' + random.bounded(26));
        ASSERT_TRUE(store->putExpense(entry(1, QDate(2009, 1, 1).addDays(i), i, 1001, 2001, memo)));
    }
    ASSERT_TRUE(store->commitTransaction());
    changes.reset();

    // A failed save leaves no temporary, named from the start or not; nor does a cancelled one.
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed);
        cv::ReplacingFile::setUnnamedTemporaries(unnamed);
        struct rlimit saved {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved;
        limited.rlim_cur = 16 * 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool saved1 = store->save(file);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        {
            cv::ReplacingFile cancelled(file);
            ASSERT_TRUE(cancelled.open() && cancelled.write("x", 1));
        }
        {
            // Written whole, but a folder has taken the file's place meanwhile: the rename fails.
            const QString taken = path(QStringLiteral("full-taken.cvv2"));
            cv::ReplacingFile renamed(taken);
            ASSERT_TRUE(renamed.open() && renamed.write("x", 1) && QDir().mkpath(taken + QStringLiteral("/inside")));
            EXPECT_FALSE(renamed.commit());
            QDir(taken).removeRecursively();
        }
        cv::ReplacingFile::setUnnamedTemporaries(true);

        EXPECT_FALSE(saved1);
        EXPECT_FALSE(changes.lastCleared());
        EXPECT_EQ(readAll(file), old);
        EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("full")),
                  QStringList({"full.cvv2"}));
    }

    ASSERT_TRUE(store->putExpense(entry(1, QDate(2010, 1, 1), 1)));
    const QString elsewhere = path(QStringLiteral("elsewhere.cvv2"));
    ASSERT_TRUE(store->save(elsewhere));
    cv::BookStore other;
    ASSERT_TRUE(other.open(elsewhere));
    EXPECT_EQ(entryCount(other), 2 + 200 + 1);
}

TEST_F(ContainerTest, SaveWithoutPathOnlyReopens)
{
    ASSERT_TRUE(store->putExpense(entry(1, QDate(2008, 3, 4), 1)));
    ASSERT_EQ(store->readCacheRows()->size(), 1u); // keeps a prepared statement
    ASSERT_TRUE(store->save(QString()));
    EXPECT_TRUE(store->putExpense(entry(1, QDate(2008, 3, 5), 1)));
    // The reopened connection prepares its own.
    const auto rows = store->readCacheRows();
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->size(), 2u);
    store->close();
    EXPECT_FALSE(store->isOpen());
    EXPECT_FALSE(store->save(path(QStringLiteral("closed.cvv2"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("closed.cvv2"))));
}

TEST_F(ContainerTest, WorkingFilesAreNumberedOnceAndRemovedWithTheirStore)
{
    auto number = [](const QString &p) { return p.section(QLatin1Char('-'), -1).toInt(); };
    QString firstPath;
    int first = 0;
    {
        cv::BookStore a;
        ASSERT_TRUE(a.create());
        firstPath = a.workingPath();
        first = number(firstPath);
        ASSERT_TRUE(firstPath.contains(QStringLiteral("CVDATA-")));
        ASSERT_TRUE(QFile::exists(firstPath));
    }
    EXPECT_FALSE(QFile::exists(firstPath));
    cv::BookStore b;
    EXPECT_EQ(number(b.workingPath()), first + 1);
    EXPECT_TRUE(b.workingPath().startsWith(cv::work::instanceFolder()));
}

} // namespace
