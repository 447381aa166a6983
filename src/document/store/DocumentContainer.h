#pragma once
// The document file's form: a gzip stream of the magic "KAVRICV4" followed by
// the bytes of an SQLite 3 database. The store unpacks it into its working
// copy on open and packs the working copy back on save.

#include <QString>

#include <functional>
#include <optional>

namespace cv {

class DocumentContainer {
public:
    enum class Expanded {
        Done,
        Unreadable, // the file does not open: the working copy is untouched
        Damaged,    // a wrong magic, a broken stream or a store no book has: the working copy is removed
        NoRoom,     // the working disk cannot take the store and a margin: the working copy is removed
    };

    // Writes the database in the file at `path` to `workingPath`, never more
    // than the store its header describes, nor more than the largest book
    // this program writes, nor more than fits beside a margin for its
    // journal (a store of unstated size: half the free space at most).
    // A refusal removes what was written; `why` gets the user's words.
    static Expanded expand(const QString &path, const QString &workingPath, QString *why = nullptr);
    // Writes the document file at `path` from the database at `workingPath`,
    // with `mode` where given, never wider than the mode of the file it
    // replaces, else that file's mode. The file is replaced only when the new
    // one is complete; false (logged, and the user's words in `why`) leaves
    // the old file untouched.
    static bool write(const QString &workingPath, const QString &path, std::optional<unsigned> mode = std::nullopt,
                      QString *why = nullptr);

    // The user's words when the disk of the working copy at `workingPath`
    // lacks the room a compaction may take (a new copy and a journal as large);
    // empty when it has it. The disk is named by the book's folder at
    // `bookPath` where that is on it.
    static QString noRoomToCompact(const QString &workingPath, const QString &bookPath);
    // The room an open asks beyond a store of `store` bytes, for its journal
    // and its growth.
    static qint64 marginFor(qint64 store);
    // The folder the user knows on the disk of the working copy at
    // `workingPath`: the book's at `bookPath` where it shares that disk, else
    // the program's data folder.
    static QString workingDiskFolder(const QString &workingPath, const QString &bookPath);

    // Tests: packs as if `cores` were free (0: those the machine leaves free).
    static void setCoresForTests(int cores);
    // Tests: takes no store above `bytes` as a book (0: the formats' own limits).
    static void setExpansionBoundForTests(qint64 bytes);
    // Tests: as if the working disk had `bytes` free (negative: what it has).
    static void setFreeSpaceForTests(qint64 bytes);
};

// A file replaced only once its new content is complete and on disk. The new
// content goes to a temporary beside the target whose name tells it is ours:
// ".<name>.saving-<host>-<pid>" (unnamed until the commit where the file
// system allows), so what a killed save leaves behind can be found again.
class ReplacingFile {
public:
    // Why a file may not be written where it is now.
    enum class Refusal {
        None,
        NotAFile,       // a link, a folder, a pipe or a device stands there
        ReadOnly,       // the user may not change the file, or its mode has no write bit
        FolderReadOnly, // the folder takes no new file (its mode, or a read-only disk)
        OthersFile,     // another user's file in a folder that lets only a file's owner replace it
    };
    static Refusal refusalFor(const QString &path);
    // The file a path names, links followed once: a save goes on writing that
    // file, whatever is put in the path's place later.
    static QString resolvedPath(const QString &path);
    // A scratch file beside `path`, named as a temporary of this process, so
    // that what a killed save leaves is swept like its temporaries.
    static QString scratchPathFor(const QString &path);

    // Writes `path` itself: a link standing there is never followed.
    explicit ReplacingFile(const QString &path);
    ~ReplacingFile(); // cancels an open, uncommitted file
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // A new file takes the target's mode, or the umask's for a new target.
    bool open();
    // Never wider than the mode of the file replaced: another file put in
    // the target's place keeps what its owner closed.
    bool setMode(unsigned mode);
    bool write(const void *data, size_t size);
    // Syncs, names and renames the temporary over the target.
    bool commit();
    void cancel();
    QString errorString() const { return m_error; }
    // The system's error number of the last failure; 0 for none or a refusal.
    int error() const { return m_errno; }

    // Removes the temporaries in `folder` of processes of this host that no
    // longer run, of every target name `whose` accepts; a running one's stay.
    static void removeLeftovers(const QString &folder, const std::function<bool(const QString &)> &whose);
    // The name's stem of a temporary of a stopped process of this host; none
    // for another name.
    static std::optional<QString> stoppedTemporary(const QString &name);
    // A name cut to at most `bytes` of UTF-8, whole characters kept.
    static QString cutName(const QString &name, qsizetype bytes);
    // The name itself when it fits in `bytes`, else cut and marked by a
    // digest of the whole name, so two long names cut alike stay apart.
    static QString fittedName(const QString &name, qsizetype bytes);

    // Tests: false makes every save take the named temporary from the start,
    // as on file systems without unnamed ones.
    static void setUnnamedTemporaries(bool allowed);

private:
    bool fail(const char *what);

    QString m_target;
    QString m_temporary;
    int m_fd = -1;
    bool m_named = false; // the temporary has its name already
    std::optional<unsigned> m_replacedMode;
    QString m_error;
    int m_errno = 0;
};

} // namespace cv
