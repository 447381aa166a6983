#pragma once
// A fresh working folder, backup folder and clock per test, a scripted
// document UI and a capture of the document log.

#include "document/Book.h"
#include "document/BookBackup.h"
#include "document/BookUI.h"
#include "document/BookTestAccess.h"
#include "document/store/SQLDatabase3.h"
#include "document/store/WorkingFolder.h"
#include "platform/Localization.h"
#include "support/SampleBook.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <deque>
#include <functional>

#include <optional>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>
#include <zlib.h>

class ScriptedDocumentUI : public cv::BookUI {
public:
    ScriptedDocumentUI() : m_previous(cv::setDocumentUI(this)) {}
    ~ScriptedDocumentUI() override { cv::setDocumentUI(m_previous); }

    void beginBusy(const QString &title) override { busyTitles << title; }
    int askPassword(const cv::Settings &settings, const QString &, bool) override
    {
        ++passwordRuns;
        if (passwords.empty()) return -1;
        const QString entry = passwords.front();
        passwords.pop_front();
        return settings.verifyPassword(entry) ? 1 : 0;
    }
    QString askSavePath(cv::Book &, const QString &suggested) override
    {
        suggestedPaths << suggested;
        if (whileAsked) whileAsked();
        return savePath;
    }

    QStringList busyTitles;
    std::deque<QString> passwords;
    int passwordRuns = 0;
    QStringList suggestedPaths;
    QString savePath;
    std::function<void()> whileAsked; // what the user does meanwhile

private:
    cv::BookUI *m_previous;
};

// Files written while it lives cannot grow past the limit: a full disk for
// whatever is written, with the write failing instead of the signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_previous{};
    void (*m_handler)(int) = nullptr;
};

// Collects the document's log lines while it lives.
class LogCapture {
public:
    LogCapture()
    {
        s_lines.clear();
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    bool contains(const QString &text) const
    {
        return std::any_of(s_lines.begin(), s_lines.end(), [&](const QString &l) { return l.contains(text); });
    }
    static inline QStringList s_lines;

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &message) { s_lines << message; }
    QtMessageHandler m_previous;
};

// Runs `row` in a child process and answers whether it ran without a
// failure; none when `first`, run in the child before it, answers false (the
// row is then skipped).
inline std::optional<bool> runInChild(const std::function<void()> &row, const std::function<bool()> &first = {})
{
    const bool failedBefore = ::testing::Test::HasFailure();
    const pid_t child = ::fork();
    if (child == 0) {
        if (first && !first()) ::_exit(3);
        row();
        ::_exit(!failedBefore && ::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return false;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) return std::nullopt;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Guards against other users are seen only by one: root passes every
// permission. Runs `row` in a child process as the user nobody, as
// `runInChild` does; none also when the tests do not run as root.
inline std::optional<bool> runAsNobody(const std::function<void()> &row, const std::function<bool()> &asRootFirst = {})
{
    const passwd *nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || !nobody) return std::nullopt;
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    return runInChild(
        [&] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) ::_exit(2);
            row();
        },
        asRootFirst);
}

// A small disk of its own mounted at `folder`, for this process alone (a
// child's mount namespace); false where the system allows none.
inline bool smallDisk(const QString &folder)
{
    return QDir().mkpath(folder) && ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=8m,mode=0777") == 0;
}

// Fills the disk of `folder` as another program would, then gives back
// `room` bytes; answers whether it was full.
inline bool fillDisk(const QString &folder, off_t room = 0)
{
    const int fd =
        ::open(QFile::encodeName(folder + QStringLiteral("/filler")).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const QByteArray block(1 << 16, 'x');
    while (fd >= 0 && ::write(fd, block.constData(), size_t(block.size())) > 0) continue;
    const bool full = errno == ENOSPC;
    const off_t size = fd >= 0 ? ::lseek(fd, 0, SEEK_END) : 0;
    if (room > 0 && size > room && ::ftruncate(fd, size - room) != 0) return false;
    if (fd >= 0) ::close(fd);
    return full;
}

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        cv::setLanguageOverride(QStringLiteral("en"));
        cv::work::setWorkFolder(tmp.filePath(QStringLiteral("Work")));
        cv::backup::setFolders(tmp.filePath(QStringLiteral("Support/Corvane Backup")),
                               tmp.filePath(QStringLiteral("OldSupport")));
        cv::backup::setClock([] { return QDate(2009, 6, 7); });
        cv::backup::setCountSource([this] { return backupCount; });
        QDir().mkpath(tmp.filePath(QStringLiteral("Books")));
        cv::BookTestAccess::setTemplateIndex(0);
    }
    void TearDown() override
    {
        cv::backup::setFolders(QString());
        cv::backup::setClock(nullptr);
        cv::backup::setCountSource(nullptr);
        cv::work::setWorkFolder(QString());
    }

    QString book(const QString &name) const { return tmp.filePath(QStringLiteral("Books/") + name); }
    QString backupFolder() const { return cv::backup::folderPath(); }
    // A new book from the default template, saved under Books/`name`.
    QString savedDefaultBook(cv::Book &doc, const QString &name)
    {
        cv::BookTestAccess::createFromTemplate(doc, QStringLiteral("default"));
        const QString path = book(name);
        EXPECT_TRUE(doc.writeToFile(path, cv::Book::kTypeV2));
        return path;
    }

    // The rich sample book as a file, and a copy of it with `sql` run on its store.
    QString richBook()
    {
        const QString path = book(QStringLiteral("Rich.cvv2"));
        const std::unique_ptr<cv::Book> rich = samplebook::makeRichBook();
        EXPECT_TRUE(rich && (cv::BookTestAccess::commitInfoRows(*rich), rich->writeToFile(path, cv::Book::kTypeV2)));
        return path;
    }
    QString damagedCopy(const QString &path, const char *sql)
    {
        cv::BookStore store;
        EXPECT_TRUE(store.open(path) && store.database()->performQuery(QString::fromLatin1(sql)) &&
                    store.save(book(QStringLiteral("Damaged.cvv2"))));
        return book(QStringLiteral("Damaged.cvv2"));
    }

    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The database image inside a document file.
    static QByteArray decompressed(const QString &path)
    {
        QByteArray out;
        gzFile in = gzopen(QFile::encodeName(path).constData(), "rb");
        if (!in) return out;
        char buffer[8192];
        for (int n; (n = gzread(in, buffer, sizeof buffer)) > 0;) out.append(buffer, n);
        gzclose(in);
        return out;
    }

    static bool gzipTestPasses(const QString &path)
    {
        if (QStandardPaths::findExecutable(QStringLiteral("gzip")).isEmpty()) return true;
        return QProcess::execute(QStringLiteral("gzip"), {QStringLiteral("-t"), path}) == 0;
    }

    // "ok" when the database inside the file passes SQLite's own check.
    QString integrityOf(const QString &path) const
    {
        const QByteArray image = decompressed(path);
        if (!image.startsWith("KAVRICV4")) return QStringLiteral("no magic");
        const QString dbPath = tmp.filePath(QStringLiteral("check.sqlite"));
        QFile db(dbPath);
        if (!db.open(QIODevice::WriteOnly | QIODevice::Truncate)) return QStringLiteral("cannot write");
        db.write(image.mid(8));
        db.close();
        sqlite3 *handle = nullptr;
        QString answer = QStringLiteral("cannot open");
        if (sqlite3_open(QFile::encodeName(dbPath).constData(), &handle) == SQLITE_OK) {
            sqlite3_stmt *statement = nullptr;
            if (sqlite3_prepare_v2(handle, "PRAGMA integrity_check;", -1, &statement, nullptr) == SQLITE_OK &&
                sqlite3_step(statement) == SQLITE_ROW)
                answer = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
            sqlite3_finalize(statement);
        }
        sqlite3_close(handle);
        return answer;
    }

    QTemporaryDir tmp;
    int backupCount = 5;
};
