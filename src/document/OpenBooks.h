#pragma once
// The open documents of the program, in opening order: new, open, save,
// save as, revert and close with the usual questions, and the list of recent
// documents. Windows are reached through the installed BookUI.
// A book opened from a file carries a lock file beside it while open, and a
// save asks first when another program changed the file since.

#include "document/store/DocumentLock.h"
#include "document/FileIdentity.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class QSettings;

namespace cv {

class Book;

class OpenBooks : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRecentDocuments = 10;

    // The recent-documents list lives in `settings` (not owned), else in the
    // application's own settings.
    explicit OpenBooks(QSettings *settings = nullptr, QObject *parent = nullptr);
    ~OpenBooks() override;

    const std::vector<std::unique_ptr<Book>> &documents() const { return m_documents; }
    // The open document of that file (compared canonically), or null.
    Book *documentForFileName(const QString &path) const;

    // A new document from the template (0 "default", n "template-n"), displayed.
    Book *makeUntitledDocument(int templateIndex = 0);
    // The already open document of that file, else the file opened; null when
    // it could not be opened (the user has been told unless they cancelled).
    Book *openDocument(const QString &path, bool display = true);
    // Saves to the document's file, asking for a place when it has none.
    bool saveDocument(Book *document);
    // Saves under a new path, as the type of its extension; the document then lives there.
    bool saveDocumentAs(Book *document, const QString &path);
    // Replaces the document by its file as last saved, after asking; the
    // document answered in its place, or null when nothing changed.
    Book *revertDocument(Book *document, bool ask = true);
    // Closes the document, asking to save unsaved changes; false when the
    // user cancelled or the save failed (the document stays open).
    bool closeDocument(Book *document, bool ask = true);
    bool closeAll();

    QStringList recentDocuments() const;
    void noteNewRecentDocument(const QString &path);
    void clearRecentDocuments();

    // The document's name for messages and titles.
    static QString displayName(const Book &document);

Q_SIGNALS:
    void documentAdded(Book *document);
    void documentRemoved(Book *document);

private:
    QSettings &settings() const;
    void add(std::unique_ptr<Book> document, bool display);
    std::unique_ptr<Book> readDocument(const QString &path, const QString &type, bool alertOnFailure);
    static QString canonical(const QString &path);
    // Whether the open may go on although another program holds the book's lock.
    static bool mayOpenDespiteLock(const QString &path);
    // The file a save of the document writes: its own as resolved once, else `path` resolved now.
    QString targetFor(const Book *document, const QString &path) const;
    // Whether the save writes the document's own file.
    bool isOwnFile(const Book *document, const QString &target) const;
    // Whether a save may replace the book's file although its store was found damaged: asks.
    bool mayReplaceDamaged(Book *document, const QString &target) const;
    // Whether a save may replace the file: asks when another program changed it.
    bool mayOverwrite(const Book *document, const QString &target) const;
    // The mode a save over the book's own file gives it when another file was
    // put in its place since: the book's as last read or written, never the
    // newcomer's. None keeps the mode of the file replaced.
    std::optional<unsigned> keptMode(const Book *document, const QString &target) const;
    // A place no save may write (a link or other put there, a read-only book
    // or folder, another user's file in a sticky folder): the user is told
    // and offered Save As, whose outcome is answered. `shown` is the name the
    // user knows the file by.
    std::optional<bool> refusedSave(Book *document, const QString &target, const QString &shown, bool offerSaveAs);
    // Tells why a save did not happen and, with `offerSaveAs`, offers Save As;
    // answers whether the book was saved after all.
    bool tellUnsaved(Book *document, const QString &title, const QString &why, const QString &suggested,
                     bool offerSaveAs);
    bool writeAs(Book *document, const QString &path, bool offerSaveAs);
    // Locks the document's file and notes its state as this program left it.
    void watch(const Book *document, const QString &target = QString());

    // What this program knows of an open document's file.
    struct Watch {
        std::unique_ptr<cv::DocumentLock> lock; // while the document is open at that path
        cv::FileIdentity identity;              // the file as last read or written here
        QString fileName;                       // the document's name for the file
        QString target;                         // the file itself, links followed when it was opened
        unsigned mode = 0;                      // its permission bits as last read or written here
    };

    std::vector<std::unique_ptr<Book>> m_documents;
    std::unordered_map<const Book *, Watch> m_watches; // documents that have a file
    QSettings *m_settings;
    std::unique_ptr<QSettings> m_ownSettings;
};

} // namespace cv
