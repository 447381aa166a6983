#pragma once
// The document file's form: a gzip stream of the magic "KAVRICV4" followed by
// the bytes of an SQLite 3 database. The store unpacks it into its working
// copy on open and packs the working copy back on save.

#include <QString>

namespace cv {

class DocumentContainer {
public:
    enum class Expanded {
        Done,
        Unreadable,   // the file does not open: the working copy is untouched
        Damaged,      // a wrong magic or a broken stream: the working copy is incomplete
    };

    // Writes the database in the file at `path` to `workingPath`.
    static Expanded expand(const QString &path, const QString &workingPath);
    // Writes the document file at `path` from the database at `workingPath`.
    // The file is replaced only when the new one is complete; false (logged)
    // leaves the old file untouched.
    static bool write(const QString &workingPath, const QString &path);
};

} // namespace cv
