// Working copies of several running instances, and of a crashed one.
#include "document/store/StoreTestSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

const char *kChildMode = "CV_STORE_CHILD_MODE";
const char *kChildFolder = "CV_STORE_CHILD_FOLDER";

// Runs only as the second process started by the tests below: makes a store in
// the given folder, reports its working file, then exits normally, dies
// without clean-up ("crash") or waits for its input to close ("hold").
TEST(WorkingFolderChild, Instance)
{
    const QByteArray mode = qgetenv(kChildMode);
    if (mode.isEmpty()) GTEST_SKIP() << "runs only as a second process";
    cv::work::setWorkFolder(QString::fromLocal8Bit(qgetenv(kChildFolder)));
    auto store = std::make_unique<cv::BookStore>();
    ASSERT_TRUE(store->create());
    std::printf("PATH:%s\n", store->workingPath().toLocal8Bit().constData());
    std::fflush(stdout);
    if (mode == "crash") std::_Exit(0);
    if (mode == "hold") {
        std::string line;
        std::getline(std::cin, line);
    }
}

class WorkingFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        folder = tmp.filePath(QStringLiteral("Work"));
        cv::work::setWorkFolder(folder);
    }
    void TearDown() override { cv::work::setWorkFolder(QString()); }

    // Starts a second process of this test program; answers its working file.
    QString startChild(QProcess &child, const char *mode)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildMode), QString::fromLatin1(mode));
        env.insert(QString::fromLatin1(kChildFolder), folder);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=WorkingFolderChild.Instance")});
        if (!child.waitForStarted(10000)) return QString();
        QByteArray output;
        while (!output.contains("PATH:") || !output.endsWith('\n')) {
            if (!child.waitForReadyRead(20000)) break;
            output += child.readAllStandardOutput();
        }
        const int at = output.indexOf("PATH:");
        if (at < 0) return QString();
        return QString::fromLocal8Bit(output.mid(at + 5).split('\n').first());
    }

    QTemporaryDir tmp;
    QString folder;
};

TEST_F(WorkingFolderTest, InstancesKeepEachOthersFilesAndCrashLeftoversGo)
{
    // A run that crashed leaves its working copy and a stale lock behind.
    QProcess crashed;
    const QString crashedFile = startChild(crashed, "crash");
    ASSERT_FALSE(crashedFile.isEmpty());
    ASSERT_TRUE(crashed.waitForFinished(20000));
    ASSERT_TRUE(QFile::exists(crashedFile));

    // Working files of an earlier version lay loose in the folder.
    const QString loose = folder + QStringLiteral("/org.corvane.CVDATA-3");
    {
        QFile f(loose);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    // A running instance: its start-up removes the leftovers.
    QProcess holding;
    const QString holdingFile = startChild(holding, "hold");
    ASSERT_FALSE(holdingFile.isEmpty());
    EXPECT_FALSE(QFile::exists(crashedFile));
    EXPECT_FALSE(QFile::exists(loose));
    EXPECT_TRUE(QFile::exists(holdingFile));

    // This process starts its own store: the running one's file stays.
    auto mine = std::make_unique<cv::BookStore>();
    ASSERT_TRUE(mine->create());
    EXPECT_TRUE(QFile::exists(holdingFile));

    // A third instance starts and ends: it leaves both alone, and its own
    // subfolder goes with it.
    QProcess third;
    const QString thirdFile = startChild(third, "exit");
    ASSERT_FALSE(thirdFile.isEmpty());
    ASSERT_TRUE(third.waitForFinished(20000));
    EXPECT_EQ(third.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(holdingFile));
    EXPECT_TRUE(QFile::exists(mine->workingPath()));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(thirdFile).path()));
    EXPECT_TRUE(mine->putExpense(entry(1, QDate(2008, 3, 5), 1)));

    holding.closeWriteChannel();
    ASSERT_TRUE(holding.waitForFinished(20000));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(holdingFile).path()));
}

} // namespace

// Earlier builds worked in another folder: a crashed run's copy there goes,
// a running one's stays, and the folder goes once it is empty.
TEST_F(WorkingFolderTest, WhatEarlierBuildsLeftInTheirFolderIsCleanedToo)
{
    const QString previous = folder = tmp.filePath(QStringLiteral("Corvane/Work")); // where the children work
    QProcess holding, crashed;
    const QString holdingFile = startChild(holding, "hold");
    const QString crashedFile = startChild(crashed, "crash");
    ASSERT_TRUE(crashed.waitForFinished(20000) && QFile::exists(crashedFile) && QFile::exists(holdingFile));
    for (bool holdingRuns : {true, false}) {
        if (!holdingRuns) holding.closeWriteChannel(), holding.waitForFinished(20000);
        cv::work::setWorkFolder(tmp.filePath(QStringLiteral("Work")), previous);
        cv::BookStore store;
        ASSERT_TRUE(store.create());
        EXPECT_FALSE(QFile::exists(crashedFile));
        EXPECT_EQ(std::pair(QFile::exists(holdingFile), QFileInfo(previous).isDir()),
                  std::pair(holdingRuns, holdingRuns));
    }
}
