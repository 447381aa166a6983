#include "document/OpenBooks.h"

#include "document/Book.h"
#include "document/BookUI.h"
#include "document/store/DocumentContainer.h"
#include "document/store/Leftovers.h"
#include "platform/Alert.h"
#include "platform/Localization.h"
#include "platform/Logging.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <sys/stat.h>

namespace cv {

namespace {

const QString kRecentKey = QStringLiteral("RecentDocuments");

// What a killed save left beside a file saved outside the opened book's
// folder (a Save As elsewhere) goes as it goes beside an opened book.
void sweepAfterSave(const QString &target)
{
    cv::leftovers::sweepOnce(QFileInfo(target).absolutePath());
}

} // namespace

OpenBooks::OpenBooks(QSettings *settings, QObject *parent) : QObject(parent), m_settings(settings) {}

OpenBooks::~OpenBooks()
{
    // Windows go before their documents.
    while (!m_documents.empty()) closeDocument(m_documents.back().get(), false);
}

QSettings &OpenBooks::settings() const
{
    if (m_settings) return *m_settings;
    auto *self = const_cast<OpenBooks *>(this);
    if (!self->m_ownSettings) self->m_ownSettings = std::make_unique<QSettings>();
    return *self->m_ownSettings;
}

QString OpenBooks::canonical(const QString &path)
{
    const QFileInfo info(path);
    const QString c = info.canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : c;
}

QString OpenBooks::displayName(const Book &document)
{
    if (!document.fileName().isEmpty()) return QFileInfo(document.fileName()).fileName();
    if (!document.suggestedFileName().isEmpty()) return QFileInfo(document.suggestedFileName()).fileName();
    return cv::localizedString("Untitled");
}

bool OpenBooks::mayOpenDespiteLock(const QString &path)
{
    const std::optional<cv::DocumentLock::Holder> holder =
        cv::DocumentLock::liveHolder(cv::ReplacingFile::resolvedPath(path));
    if (!holder) return true;
    return Alert::confirm(
        cv::formatString(cv::localizedString("The document “%@” is open in another program."),
                         {QFileInfo(path).fileName()}),
        cv::formatString(
            cv::localizedString("%@ has it open on %@. When both save, the later save replaces the other's changes."),
            {holder->user, holder->host}),
        cv::localizedString("Open Anyway"), QString());
}

QString OpenBooks::targetFor(const Book *document, const QString &path) const
{
    const auto it = m_watches.find(document);
    if (it != m_watches.end() && it->second.fileName == path) return it->second.target;
    return cv::ReplacingFile::resolvedPath(path);
}

bool OpenBooks::isOwnFile(const Book *document, const QString &target) const
{
    const auto it = m_watches.find(document);
    return it != m_watches.end() && it->second.target == target;
}

bool OpenBooks::mayOverwrite(const Book *document, const QString &target) const
{
    if (!isOwnFile(document, target)) return true;
    if (cv::FileIdentity::of(target) == m_watches.at(document).identity) return true;
    return Alert::confirm(
        cv::formatString(cv::localizedString("The document “%@” was changed by another program."),
                         {displayName(*document)}),
        cv::localizedString("Saving replaces the changes made there. Cancel to keep editing without saving."),
        cv::localizedString("Overwrite"), QString());
}

// The damaged book's file and its dated backups are the last good copies. A
// copy elsewhere leaves them, and asks only when the damage is news to the user.
bool OpenBooks::mayReplaceDamaged(Book *document, const QString &target) const
{
    const bool own = isOwnFile(document, target), heard = !document->storeCheckPending();
    if (!document->saveNeedsDamageConfirmation() || (!own && heard)) return true;
    if (!Alert::confirm(cv::formatString(cv::localizedString(own ? "Store-Damaged-Save" : "Store-Damaged-Save-Copy"),
                                         {displayName(*document)}),
                        cv::localizedString(own ? "Store-Damaged-Save-Detail" : "Store-Damaged-Save-Copy-Detail"),
                        cv::localizedString("Save Anyway"), QString()))
        return false;
    if (own) document->acceptStoreDamage();
    return true;
}

std::optional<unsigned> OpenBooks::keptMode(const Book *document, const QString &target) const
{
    if (!isOwnFile(document, target)) return std::nullopt;
    const Watch &w = m_watches.at(document);
    if (!w.identity.exists || cv::FileIdentity::of(target) == w.identity) return std::nullopt;
    return w.mode;
}

std::optional<bool> OpenBooks::refusedSave(Book *document, const QString &target, const QString &shown,
                                           bool offerSaveAs)
{
    using Refusal = cv::ReplacingFile::Refusal;
    const Refusal refusal = cv::ReplacingFile::refusalFor(target);
    if (refusal == Refusal::None) return std::nullopt;
    const QString folder = QDir::toNativeSeparators(QFileInfo(target).absolutePath());
    QString why;
    switch (refusal) {
    case Refusal::None: break;
    case Refusal::NotAFile: why = cv::localizedString(QStringLiteral("Save-Refused-Not-A-File")); break;
    case Refusal::ReadOnly:
        why = isOwnFile(document, target)
                  ? cv::localizedString(QStringLiteral("Save-Refused-Read-Only"))
                  : cv::formatString(cv::localizedString(QStringLiteral("Save-Refused-File-Read-Only")), {shown});
        break;
    case Refusal::FolderReadOnly:
        why = cv::formatString(cv::localizedString(QStringLiteral("Save-Refused-Folder")), {folder});
        break;
    case Refusal::OthersFile:
        why = cv::formatString(cv::localizedString(QStringLiteral("Save-Refused-Others-File")), {shown, folder});
        break;
    }
    qCWarning(lcDocument) << "save refused:" << target << int(refusal);
    return tellUnsaved(document, cv::formatString(cv::localizedString(QStringLiteral("Save-Refused")), {shown}), why,
                       shown, offerSaveAs);
}

bool OpenBooks::tellUnsaved(Book *document, const QString &title, const QString &why, const QString &suggested,
                            bool offerSaveAs)
{
    if (!offerSaveAs) {
        Alert::alert(title, why);
        return false;
    }
    if (!Alert::confirm(title, why, cv::localizedString(QStringLiteral("Save As…")), QString())) return false;
    const QString path = cv::documentUI().askSavePath(*document, suggested);
    // A place chosen there and refused again is not offered a second time.
    return !path.isEmpty() && writeAs(document, path, false);
}

void OpenBooks::watch(const Book *document, const QString &target)
{
    const QString path = document->fileName();
    if (path.isEmpty()) {
        m_watches.erase(document);
        return;
    }
    Watch &w = m_watches[document];
    const QString file = !target.isEmpty()    ? target
                         : w.fileName == path ? w.target
                                              : cv::ReplacingFile::resolvedPath(path);
    w.fileName = path;
    w.target = file;
    struct stat st {};
    w.mode = ::stat(QFile::encodeName(file).constData(), &st) == 0 ? unsigned(st.st_mode & 07777) : 0;
    if (!w.lock || w.lock->documentPath() != file) {
        w.lock.reset();
        w.lock = std::make_unique<cv::DocumentLock>(file);
        if (w.lock->isBlocked())
            Alert::alert(cv::formatString(cv::localizedString("Lock-Blocked-Title"), {QFileInfo(path).fileName()}),
                         cv::localizedString("Lock-Blocked-Message"));
    }
    w.identity = cv::FileIdentity::of(file);
}

Book *OpenBooks::documentForFileName(const QString &path) const
{
    if (path.isEmpty()) return nullptr;
    const QString wanted = canonical(path);
    for (const auto &document : m_documents) {
        if (!document->fileName().isEmpty() && canonical(document->fileName()) == wanted) return document.get();
    }
    return nullptr;
}

void OpenBooks::add(std::unique_ptr<Book> document, bool display)
{
    Book *raw = document.get();
    m_documents.push_back(std::move(document));
    BookUI &ui = cv::documentUI();
    ui.makeWindows(*raw);
    if (display) ui.showWindows(*raw);
    Q_EMIT documentAdded(raw);
}

Book *OpenBooks::makeUntitledDocument(int templateIndex)
{
    if (templateIndex != 0) Book::setTemplateIndex(templateIndex);
    auto document = std::make_unique<Book>();
    document->setFileType(Book::kTypeV2);
    document->createDefault();
    for (const NodePtr &root : {document->accountTrees()->asset(), document->categoryTrees()->income(),
                                document->categoryTrees()->expense()}) {
        if (root) root->setStatus(1);
    }
    Book *raw = document.get();
    add(std::move(document), true);
    return raw;
}

std::unique_ptr<Book> OpenBooks::readDocument(const QString &path, const QString &type, bool alertOnFailure)
{
    auto document = std::make_unique<Book>();
    if (document->initWithContentsOfFile(path, type)) return document;
    if (alertOnFailure && !document->readCancelled())
        Alert::alert(cv::formatString(cv::localizedString("The document “%@” could not be opened."),
                                      {QFileInfo(path).fileName()}),
                     document->failure());
    return nullptr;
}

Book *OpenBooks::openDocument(const QString &path, bool display)
{
    if (Book *open = documentForFileName(path)) {
        if (display) cv::documentUI().showWindows(*open);
        return open;
    }
    const QString type = Book::typeForExtension(QFileInfo(path).suffix());
    if (type.isEmpty() || !QFileInfo(path).isFile()) {
        qCWarning(lcDocument) << "cannot open" << path;
        Alert::alert(cv::formatString(cv::localizedString("The document “%@” could not be opened."),
                                      {QFileInfo(path).fileName()}),
                     QString());
        return nullptr;
    }
    if (type == Book::kTypeV1) {
        // An old file opens under its current-type name while that file does
        // not exist yet; a book already open under it came from this file.
        const QString current = cv::currentTypePathFor(path);
        Book *open = QFileInfo::exists(current) ? nullptr : documentForFileName(current);
        if (open) {
            if (display) cv::documentUI().showWindows(*open);
            return open;
        }
    }
    if (!mayOpenDespiteLock(path)) return nullptr;
    std::unique_ptr<Book> document = readDocument(path, type, true);
    if (!document) return nullptr;
    noteNewRecentDocument(path);
    Book *raw = document.get();
    watch(raw);
    add(std::move(document), display);
    raw->checkStoreInBackground();
    // After the window shows: a folder of many files takes a while to read.
    // A book opened untitled (a backup, a template) has no watch: the folder is the opened file's.
    const auto watched = m_watches.find(raw);
    const QString file = watched != m_watches.end() ? watched->second.target : cv::ReplacingFile::resolvedPath(path);
    QMetaObject::invokeMethod(
        this, [folder = QFileInfo(file).absolutePath()] { cv::leftovers::sweepOnce(folder); }, Qt::QueuedConnection);
    return raw;
}

bool OpenBooks::saveDocument(Book *document)
{
    if (!document) return false;
    if (!document->fileName().isEmpty()) {
        const QString target = targetFor(document, document->fileName());
        if (const std::optional<bool> refused = refusedSave(document, target, displayName(*document), true))
            return *refused;
        if (!mayReplaceDamaged(document, target) || !mayOverwrite(document, target)) return false;
        const bool written = document->writeToFile(target, document->fileType(), keptMode(document, target));
        sweepAfterSave(target);
        if (!written)
            return tellUnsaved(document,
                               cv::formatString(cv::localizedString("The document “%@” could not be saved."),
                                                {displayName(*document)}),
                               document->failure(), displayName(*document), true);
        watch(document, target);
        return true;
    }
    QString suggested = document->suggestedFileName();
    if (suggested.isEmpty())
        suggested = displayName(*document) + QLatin1Char('.') + cv::extensionForDocumentType(cv::DocumentType::Current);
    const QString path = cv::documentUI().askSavePath(*document, suggested);
    if (path.isEmpty()) return false;
    return saveDocumentAs(document, path);
}

bool OpenBooks::saveDocumentAs(Book *document, const QString &path)
{
    return writeAs(document, path, true);
}

bool OpenBooks::writeAs(Book *document, const QString &path, bool offerSaveAs)
{
    if (!document || path.isEmpty()) return false;
    const QString type = Book::typeForExtension(QFileInfo(path).suffix());
    if (type.isEmpty() || type == Book::kTypeV1) {
        Alert::alert(cv::formatString(cv::localizedString("The document “%@” could not be saved."),
                                      {QFileInfo(path).fileName()}),
                     cv::localizedString("Documents are saved as .cvv2 or .cvxf files."));
        return false;
    }
    Book *other = documentForFileName(path);
    if (other && other != document) {
        Alert::alert(cv::formatString(cv::localizedString("The document “%@” could not be saved."),
                                      {QFileInfo(path).fileName()}),
                     cv::localizedString("Another open document uses this file."));
        return false;
    }
    const QString target = cv::ReplacingFile::resolvedPath(path);
    const QString shown = QFileInfo(path).fileName();
    if (const std::optional<bool> refused = refusedSave(document, target, shown, offerSaveAs)) return *refused;
    if (!mayReplaceDamaged(document, target) || !mayOverwrite(document, target)) return false;
    const bool written = document->writeToFile(target, type, keptMode(document, target));
    sweepAfterSave(target);
    if (!written)
        return tellUnsaved(document,
                           cv::formatString(cv::localizedString("The document “%@” could not be saved."), {shown}),
                           document->failure(), shown, offerSaveAs);
    // A damaged book saved elsewhere leaves its last good copy behind: nothing more to ask.
    if (!isOwnFile(document, target)) document->acceptStoreDamage();
    document->setFileName(path);
    document->setFileType(type);
    watch(document, target);
    noteNewRecentDocument(path);
    return true;
}

Book *OpenBooks::revertDocument(Book *document, bool ask)
{
    if (!document || document->fileName().isEmpty()) return nullptr;
    if (ask &&
        !Alert::confirm(
            cv::formatString(cv::localizedString("Do you want to revert to the most recently saved version of the "
                                                 "document “%@”?"),
                             {displayName(*document)}),
            cv::localizedString("Your current changes will be lost."), cv::localizedString("Revert"), QString()))
        return nullptr;
    auto it = std::find_if(m_documents.begin(), m_documents.end(), [&](const auto &d) { return d.get() == document; });
    if (it == m_documents.end()) return nullptr;
    // Read first: when the file cannot be read the open document stays.
    std::unique_ptr<Book> fresh = readDocument(document->fileName(), document->fileType(), true);
    if (!fresh) return nullptr;
    const auto position = it - m_documents.begin();
    closeDocument(document, false);
    Book *raw = fresh.get();
    watch(raw);
    m_documents.insert(m_documents.begin() + position, std::move(fresh));
    cv::documentUI().makeWindows(*raw);
    cv::documentUI().showWindows(*raw);
    Q_EMIT documentAdded(raw);
    raw->checkStoreInBackground();
    return raw;
}

bool OpenBooks::closeDocument(Book *document, bool ask)
{
    auto it = std::find_if(m_documents.begin(), m_documents.end(), [&](const auto &d) { return d.get() == document; });
    if (it == m_documents.end()) return false;
    if (ask && document->isDocumentEdited()) {
        const int answer = Alert::confirm3(
            cv::formatString(cv::localizedString("Do you want to save the changes made to the document “%@”?"),
                             {displayName(*document)}),
            cv::localizedString("Your changes will be lost if you don't save them."),
            {cv::localizedString("Save"), cv::localizedString("Cancel"), cv::localizedString("Don't Save")});
        if (answer == 0) return false;
        if (answer == 1 && !saveDocument(document)) return false;
    }
    std::unique_ptr<Book> closing = std::move(*it);
    m_documents.erase(it);
    m_watches.erase(closing.get());
    cv::documentUI().closeWindows(*closing);
    Q_EMIT documentRemoved(closing.get());
    return true;
}

bool OpenBooks::closeAll()
{
    while (!m_documents.empty()) {
        if (!closeDocument(m_documents.back().get())) return false;
    }
    return true;
}

QStringList OpenBooks::recentDocuments() const
{
    return settings().value(kRecentKey).toStringList();
}

void OpenBooks::noteNewRecentDocument(const QString &path)
{
    const QString full = canonical(path);
    QStringList list = recentDocuments();
    list.removeIf([&](const QString &p) { return canonical(p) == full; });
    list.prepend(full);
    while (list.size() > kMaxRecentDocuments) list.removeLast();
    settings().setValue(kRecentKey, list);
}

void OpenBooks::clearRecentDocuments()
{
    settings().remove(kRecentKey);
}

} // namespace cv
