#include "document/CV4DocumentController.h"

#include "document/CV4DocumentUI.h"
#include "platform/CV4Alert.h"
#include "platform/Localization.h"
#include "platform/Logging.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kRecentKey = QStringLiteral("RecentDocuments");

} // namespace

CV4DocumentController::CV4DocumentController(QSettings *settings, QObject *parent)
    : QObject(parent), m_settings(settings)
{
}

CV4DocumentController::~CV4DocumentController()
{
    // Windows go before their documents.
    while (!m_documents.empty()) closeDocument(m_documents.back().get(), false);
}

QSettings &CV4DocumentController::settings() const
{
    if (m_settings) return *m_settings;
    auto *self = const_cast<CV4DocumentController *>(this);
    if (!self->m_ownSettings) self->m_ownSettings = std::make_unique<QSettings>();
    return *self->m_ownSettings;
}

QString CV4DocumentController::canonical(const QString &path)
{
    const QFileInfo info(path);
    const QString c = info.canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : c;
}

QString CV4DocumentController::displayName(const CV4Document &document)
{
    if (!document.fileName().isEmpty()) return QFileInfo(document.fileName()).fileName();
    if (!document.suggestedFileName().isEmpty()) return QFileInfo(document.suggestedFileName()).fileName();
    return cv::localizedString("Untitled");
}

bool CV4DocumentController::mayOpenDespiteLock(const QString &path)
{
    const std::optional<cv::DocumentLock::Holder> holder = cv::DocumentLock::liveHolder(path);
    if (!holder) return true;
    return CV4Alert::confirm(
        cv::formatString(cv::localizedString("The document “%@” is open in another program."), {QFileInfo(path).fileName()}),
        cv::formatString(cv::localizedString("%@ has it open on %@. When both save, the later save replaces the other's changes."),
                         {holder->user, holder->host}),
        cv::localizedString("Open Anyway"), QString());
}

bool CV4DocumentController::mayOverwrite(const CV4Document *document, const QString &path) const
{
    const auto it = m_watches.find(document);
    if (it == m_watches.end() || canonical(path) != canonical(document->fileName())) return true;
    if (cv::FileIdentity::of(path) == it->second.identity) return true;
    return CV4Alert::confirm(
        cv::formatString(cv::localizedString("The document “%@” was changed by another program."), {QFileInfo(path).fileName()}),
        cv::localizedString("Saving replaces the changes made there. Cancel to keep editing without saving."), cv::localizedString("Overwrite"),
        QString());
}

// The damaged book's file and its dated backups are the last good copies.
bool CV4DocumentController::mayReplaceDamaged(CV4Document *document, const QString &path)
{
    if (document->fileName().isEmpty() || canonical(path) != canonical(document->fileName()) ||
        !document->saveNeedsDamageConfirmation())
        return true;
    if (!CV4Alert::confirm(cv::formatString(cv::localizedString("Store-Damaged-Save"), {QFileInfo(path).fileName()}),
                           cv::localizedString("Store-Damaged-Save-Detail"), cv::localizedString("Save Anyway"), QString()))
        return false;
    document->acceptStoreDamage();
    return true;
}

void CV4DocumentController::watch(const CV4Document *document)
{
    const QString path = document->fileName();
    if (path.isEmpty()) {
        m_watches.erase(document);
        return;
    }
    Watch &w = m_watches[document];
    if (!w.lock || canonical(w.lock->documentPath()) != canonical(path)) {
        w.lock.reset();
        w.lock = std::make_unique<cv::DocumentLock>(path);
        if (w.lock->isBlocked())
            CV4Alert::alert(cv::formatString(cv::localizedString("Lock-Blocked-Title"), {QFileInfo(path).fileName()}),
                            cv::localizedString("Lock-Blocked-Message"));
    }
    w.identity = cv::FileIdentity::of(path);
}

CV4Document *CV4DocumentController::documentForFileName(const QString &path) const
{
    if (path.isEmpty()) return nullptr;
    const QString wanted = canonical(path);
    for (const auto &document : m_documents) {
        if (!document->fileName().isEmpty() && canonical(document->fileName()) == wanted) return document.get();
    }
    return nullptr;
}

void CV4DocumentController::add(std::unique_ptr<CV4Document> document, bool display)
{
    CV4Document *raw = document.get();
    m_documents.push_back(std::move(document));
    CV4DocumentUI &ui = cv::documentUI();
    ui.makeWindowControllers(*raw);
    if (display) ui.showWindows(*raw);
    Q_EMIT documentAdded(raw);
}

CV4Document *CV4DocumentController::makeUntitledDocument(int templateIndex)
{
    if (templateIndex != 0) CV4Document::setTemplateIndex(templateIndex);
    auto document = std::make_unique<CV4Document>();
    document->setFileType(CV4Document::kTypeV2);
    document->createDefault();
    for (const CVUnitModelPtr &root :
         {document->accountModel()->asset(), document->actualModel()->income(), document->actualModel()->expense()}) {
        if (root) root->setStatus(1);
    }
    CV4Document *raw = document.get();
    add(std::move(document), true);
    return raw;
}

std::unique_ptr<CV4Document> CV4DocumentController::readDocument(const QString &path, const QString &type,
                                                                 bool alertOnFailure)
{
    auto document = std::make_unique<CV4Document>();
    if (document->initWithContentsOfFile(path, type)) return document;
    if (alertOnFailure && !document->readCancelled())
        CV4Alert::alert(cv::formatString(cv::localizedString("The document “%@” could not be opened."), {QFileInfo(path).fileName()}),
                        QString());
    return nullptr;
}

CV4Document *CV4DocumentController::openDocument(const QString &path, bool display)
{
    if (CV4Document *open = documentForFileName(path)) {
        if (display) cv::documentUI().showWindows(*open);
        return open;
    }
    const QString type = CV4Document::typeForExtension(QFileInfo(path).suffix());
    if (type.isEmpty() || !QFileInfo(path).isFile()) {
        qCWarning(lcDocument) << "cannot open" << path;
        CV4Alert::alert(cv::formatString(cv::localizedString("The document “%@” could not be opened."), {QFileInfo(path).fileName()}),
                        QString());
        return nullptr;
    }
    if (type == CV4Document::kTypeV1) {
        // An old file opens under its current-type name while that file does
        // not exist yet; a book already open under it came from this file.
        const QString current = cv::currentTypePathFor(path);
        CV4Document *open = QFileInfo::exists(current) ? nullptr : documentForFileName(current);
        if (open) {
            if (display) cv::documentUI().showWindows(*open);
            return open;
        }
    }
    if (!mayOpenDespiteLock(path)) return nullptr;
    std::unique_ptr<CV4Document> document = readDocument(path, type, true);
    if (!document) return nullptr;
    noteNewRecentDocument(path);
    CV4Document *raw = document.get();
    watch(raw);
    add(std::move(document), display);
    raw->checkStoreInBackground();
    return raw;
}

bool CV4DocumentController::saveDocument(CV4Document *document)
{
    if (!document) return false;
    if (!document->fileName().isEmpty()) {
        if (!mayReplaceDamaged(document, document->fileName()) || !mayOverwrite(document, document->fileName())) return false;
        const bool ok = document->writeToFile(document->fileName(), document->fileType());
        if (!ok)
            CV4Alert::alert(cv::formatString(cv::localizedString("The document “%@” could not be saved."), {displayName(*document)}),
                            QString());
        else
            watch(document);
        return ok;
    }
    QString suggested = document->suggestedFileName();
    if (suggested.isEmpty()) suggested = displayName(*document) + QLatin1Char('.') + cv::extensionForDocumentType(cv::DocumentType::Current);
    const QString path = cv::documentUI().askSavePath(*document, suggested);
    if (path.isEmpty()) return false;
    return saveDocumentAs(document, path);
}

bool CV4DocumentController::saveDocumentAs(CV4Document *document, const QString &path)
{
    if (!document || path.isEmpty()) return false;
    const QString type = CV4Document::typeForExtension(QFileInfo(path).suffix());
    if (type.isEmpty() || type == CV4Document::kTypeV1) {
        CV4Alert::alert(cv::formatString(cv::localizedString("The document “%@” could not be saved."), {QFileInfo(path).fileName()}),
                        cv::localizedString("Documents are saved as .cvv2 or .cvxf files."));
        return false;
    }
    CV4Document *other = documentForFileName(path);
    if (other && other != document) {
        CV4Alert::alert(cv::formatString(cv::localizedString("The document “%@” could not be saved."), {QFileInfo(path).fileName()}),
                        cv::localizedString("Another open document uses this file."));
        return false;
    }
    if (!mayReplaceDamaged(document, path) || !mayOverwrite(document, path)) return false;
    if (!document->writeToFile(path, type)) {
        CV4Alert::alert(cv::formatString(cv::localizedString("The document “%@” could not be saved."), {QFileInfo(path).fileName()}),
                        QString());
        return false;
    }
    // A damaged book saved elsewhere leaves its last good copy behind: nothing more to ask.
    if (document->fileName().isEmpty() || canonical(path) != canonical(document->fileName())) document->acceptStoreDamage();
    document->setFileName(path);
    document->setFileType(type);
    watch(document);
    noteNewRecentDocument(path);
    return true;
}

CV4Document *CV4DocumentController::revertDocument(CV4Document *document, bool ask)
{
    if (!document || document->fileName().isEmpty()) return nullptr;
    if (ask && !CV4Alert::confirm(cv::formatString(cv::localizedString("Do you want to revert to the most recently saved version of the "
                                                      "document “%@”?"),
                                                   {displayName(*document)}),
                                  cv::localizedString("Your current changes will be lost."), cv::localizedString("Revert"), QString()))
        return nullptr;
    auto it = std::find_if(m_documents.begin(), m_documents.end(),
                           [&](const auto &d) { return d.get() == document; });
    if (it == m_documents.end()) return nullptr;
    // Read first: when the file cannot be read the open document stays.
    std::unique_ptr<CV4Document> fresh = readDocument(document->fileName(), document->fileType(), true);
    if (!fresh) return nullptr;
    const auto position = it - m_documents.begin();
    closeDocument(document, false);
    CV4Document *raw = fresh.get();
    watch(raw);
    m_documents.insert(m_documents.begin() + position, std::move(fresh));
    cv::documentUI().makeWindowControllers(*raw);
    cv::documentUI().showWindows(*raw);
    Q_EMIT documentAdded(raw);
    raw->checkStoreInBackground();
    return raw;
}

bool CV4DocumentController::closeDocument(CV4Document *document, bool ask)
{
    auto it = std::find_if(m_documents.begin(), m_documents.end(),
                           [&](const auto &d) { return d.get() == document; });
    if (it == m_documents.end()) return false;
    if (ask && document->isDocumentEdited()) {
        const int answer = CV4Alert::confirm3(
            cv::formatString(cv::localizedString("Do you want to save the changes made to the document “%@”?"), {displayName(*document)}),
            cv::localizedString("Your changes will be lost if you don't save them."),
            {cv::localizedString("Save"), cv::localizedString("Cancel"), cv::localizedString("Don't Save")});
        if (answer == 0) return false;
        if (answer == 1 && !saveDocument(document)) return false;
    }
    std::unique_ptr<CV4Document> closing = std::move(*it);
    m_documents.erase(it);
    m_watches.erase(closing.get());
    cv::documentUI().closeWindows(*closing);
    Q_EMIT documentRemoved(closing.get());
    return true;
}

bool CV4DocumentController::closeAll()
{
    while (!m_documents.empty()) {
        if (!closeDocument(m_documents.back().get())) return false;
    }
    return true;
}

QStringList CV4DocumentController::recentDocuments() const
{
    return settings().value(kRecentKey).toStringList();
}

void CV4DocumentController::noteNewRecentDocument(const QString &path)
{
    const QString full = canonical(path);
    QStringList list = recentDocuments();
    list.removeIf([&](const QString &p) { return canonical(p) == full; });
    list.prepend(full);
    while (list.size() > kMaxRecentDocuments) list.removeLast();
    settings().setValue(kRecentKey, list);
}

void CV4DocumentController::clearRecentDocuments()
{
    settings().remove(kRecentKey);
}
