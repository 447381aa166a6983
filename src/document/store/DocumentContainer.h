#pragma once
// The document file's form: a gzip stream of the magic "KAVRICV4" followed by
// the bytes of an SQLite 3 database. The store unpacks it into its working
// copy on open and packs the working copy back on save.

#include <QString>

#include <functional>

namespace cv {

class DocumentContainer {
public:
    enum class Expanded {
        Done,
        Unreadable, // the file does not open: the working copy is untouched
        Damaged,    // a wrong magic or a broken stream: the working copy is incomplete
    };

    // Writes the database in the file at `path` to `workingPath`.
    static Expanded expand(const QString &path, const QString &workingPath);
    // Writes the document file at `path` from the database at `workingPath`.
    // The file is replaced only when the new one is complete; false (logged)
    // leaves the old file untouched.
    static bool write(const QString &workingPath, const QString &path);

    // Tests: packs as if `cores` were free (0: those the machine leaves free).
    static void setCoresForTests(int cores);
};

// A file replaced only once its new content is complete and on disk. The new
// content goes to a temporary beside the target whose name tells it is ours:
// ".<name>.saving-<host>-<pid>" (unnamed until the commit where the file
// system allows), so what a killed save leaves behind can be found again.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString &path);
    ~ReplacingFile(); // cancels an open, uncommitted file
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // A new file takes the target's mode, or the umask's for a new target.
    bool open();
    bool setMode(unsigned mode);
    bool write(const void *data, size_t size);
    // Syncs, names and renames the temporary over the target.
    bool commit();
    void cancel();
    QString errorString() const { return m_error; }

    // Removes the temporaries beside `path` of processes of this host that no
    // longer run; a running one's stay.
    static void removeLeftovers(const QString &path);
    // The same in `folder` for every target name `whose` accepts.
    static void removeLeftovers(const QString &folder, const std::function<bool(const QString &)> &whose);

    // Tests: false makes every save take the named temporary from the start,
    // as on file systems without unnamed ones.
    static void setUnnamedTemporaries(bool allowed);

private:
    bool fail(const char *what);

    QString m_target; // links resolved, as the user's file is the link's target
    QString m_temporary;
    int m_fd = -1;
    bool m_named = false; // the temporary has its name already
    QString m_error;
};

} // namespace cv
