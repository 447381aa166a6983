#pragma once
// The open documents of the program, in opening order: new, open, save,
// save as, revert and close with the usual questions, and the list of recent
// documents. Windows are reached through the installed CV4DocumentUI.
// A book opened from a file carries a lock file beside it while open, and a
// save asks first when another program changed the file since.

#include "document/CV4Document.h"
#include "document/DocumentLock.h"
#include "document/FileIdentity.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <unordered_map>
#include <vector>

class QSettings;

class CV4DocumentController : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRecentDocuments = 10;

    // The recent-documents list lives in `settings` (not owned), else in the
    // application's own settings.
    explicit CV4DocumentController(QSettings *settings = nullptr, QObject *parent = nullptr);
    ~CV4DocumentController() override;

    const std::vector<std::unique_ptr<CV4Document>> &documents() const { return m_documents; }
    // The open document of that file (compared canonically), or null.
    CV4Document *documentForFileName(const QString &path) const;

    // A new document from the template (0 "default", n "template-n"), displayed.
    CV4Document *makeUntitledDocument(int templateIndex = 0);
    // The already open document of that file, else the file opened; null when
    // it could not be opened (the user has been told unless they cancelled).
    CV4Document *openDocument(const QString &path, bool display = true);
    // Saves to the document's file, asking for a place when it has none.
    bool saveDocument(CV4Document *document);
    // Saves under a new path, as the type of its extension; the document then lives there.
    bool saveDocumentAs(CV4Document *document, const QString &path);
    // Replaces the document by its file as last saved, after asking; the
    // document answered in its place, or null when nothing changed.
    CV4Document *revertDocument(CV4Document *document, bool ask = true);
    // Closes the document, asking to save unsaved changes; false when the
    // user cancelled or the save failed (the document stays open).
    bool closeDocument(CV4Document *document, bool ask = true);
    bool closeAll();

    QStringList recentDocuments() const;
    void noteNewRecentDocument(const QString &path);
    void clearRecentDocuments();

    // The document's name for messages and titles.
    static QString displayName(const CV4Document &document);

Q_SIGNALS:
    void documentAdded(CV4Document *document);
    void documentRemoved(CV4Document *document);

private:
    QSettings &settings() const;
    void add(std::unique_ptr<CV4Document> document, bool display);
    std::unique_ptr<CV4Document> readDocument(const QString &path, const QString &type, bool alertOnFailure);
    static QString canonical(const QString &path);
    // Whether the open may go on although another program holds the book's lock.
    static bool mayOpenDespiteLock(const QString &path);
    // Whether a save may replace the book's file although its store was found damaged: asks.
    static bool mayReplaceDamaged(CV4Document *document, const QString &path);
    // Whether a save may replace the file: asks when another program changed it.
    bool mayOverwrite(const CV4Document *document, const QString &path) const;
    // Locks the document's file and notes its state as this program left it.
    void watch(const CV4Document *document);

    // What this program knows of an open document's file.
    struct Watch {
        std::unique_ptr<cv::DocumentLock> lock; // while the document is open at that path
        cv::FileIdentity identity;              // the file as last read or written here
    };

    std::vector<std::unique_ptr<CV4Document>> m_documents;
    std::unordered_map<const CV4Document *, Watch> m_watches; // documents that have a file
    QSettings *m_settings;
    std::unique_ptr<QSettings> m_ownSettings;
};
