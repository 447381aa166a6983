#include "document/Book.h"
#include "document/BookPrivate.h"

#include "document/BookUI.h"
#include "document/EditScope.h"
#include "document/store/DocumentContainer.h"

#include "model/Entry.h"
#include "model/Trade.h"
#include "platform/Alert.h"
#include "platform/KeyedArchiver.h"
#include "platform/Localization.h"
#include "platform/LongOperations.h"
#include "platform/Logging.h"

namespace cv {

namespace {

NodePtr makeCacheItem(const char *key)
{
    auto node = std::make_shared<Node>();
    node->setKind(cv::NodeKind::SystemItem);
    node->setName(cv::localizedString(key));
    return node;
}

} // namespace

Book::Private::Private(Book &document)
    : m_document(document), m_store(std::make_unique<BookStore>(&document)), m_settings(std::make_shared<Settings>()),
      m_accountTrees(std::make_shared<AccountTrees>()), m_categoryTrees(std::make_shared<CategoryTrees>()),
      m_autoCashIn(makeCacheItem("SYS:Cache-In")), m_autoCashOut(makeCacheItem("SYS:Cache-Out")),
      m_amountText([&document](int ident) { return document.findCurrency(ident); })
{
}

Book::Book(QObject *parent) : QObject(parent), m_d(std::make_unique<Private>(*this))
{
    registerDocumentArchiveClasses();
    qRegisterMetaType<cv::ChangeSet>();
    m_d->m_undoStack = new QUndoStack(this);
    m_d->watchSettings();
}

Book::~Book()
{
    // The settings may outlive the book.
    if (m_d->m_settings) m_d->m_settings->setChangeListener(nullptr);
}

// ---- fields

QUndoStack *Book::undoStack() const
{
    return m_d->m_undoStack;
}

quint32 Book::cacheStatus() const
{
    return m_d->m_cacheStatus;
}

bool Book::isEditing() const
{
    return m_d->m_edit.depth > 0;
}

bool Book::lastEditFailed() const
{
    return m_d->m_lastEditFailed;
}

bool Book::readCancelled() const
{
    return m_d->m_readCancelled;
}

const QString &Book::failure() const
{
    return m_d->m_failure;
}

void Book::setFileName(const QString &path)
{
    m_d->m_fileName = path;
}

void Book::setFileType(const QString &type)
{
    m_d->m_fileType = type;
}

int Book::backupStatus() const
{
    return m_d->m_backupStatus;
}

bool Book::hasCache(const NodePtr &node) const
{
    return node && m_d->m_cache.hasKey(node.get());
}

BookStore *Book::store() const
{
    return m_d->m_store.get();
}

const cv::BookReads &Book::reads() const
{
    return m_d->m_reads;
}

const SettingsPtr &Book::settings() const
{
    return m_d->m_settings;
}

const AccountTreesPtr &Book::accountTrees() const
{
    return m_d->m_accountTrees;
}

const CategoryTreesPtr &Book::categoryTrees() const
{
    return m_d->m_categoryTrees;
}

const Book::CurrencyList &Book::currencyList() const
{
    return m_d->m_currencyList;
}

const Book::SecurityList &Book::securityList() const
{
    return m_d->m_securityList;
}

const Book::GroupList &Book::groupList() const
{
    return m_d->m_groupList;
}

const BalanceCache &Book::cache() const
{
    return m_d->m_cache;
}

const NodePtr &Book::autoCashIn() const
{
    return m_d->m_autoCashIn;
}

const NodePtr &Book::autoCashOut() const
{
    return m_d->m_autoCashOut;
}

const cv::AmountText &Book::amountText() const
{
    return m_d->m_amountText;
}

cv::AmountText &Book::amountText()
{
    return m_d->m_amountText;
}

const QString &Book::fileName() const
{
    return m_d->m_fileName;
}

const QString &Book::fileType() const
{
    return m_d->m_fileType;
}

const QString &Book::suggestedFileName() const
{
    return m_d->m_suggestedFileName;
}

const PrintSettingsPtr &Book::printSettings() const
{
    return m_d->m_printSettings;
}

void Book::setSettings(SettingsPtr settings)
{
    m_d->m_settings = settings ? std::move(settings) : std::make_shared<Settings>();
    m_d->watchSettings();
}

void Book::setAccountTrees(AccountTreesPtr model)
{
    m_d->m_accountTrees = model ? std::move(model) : std::make_shared<AccountTrees>();
    m_d->m_accountShape.clear();
    clearLookups();
}

void Book::setCategoryTrees(CategoryTreesPtr model)
{
    m_d->m_categoryTrees = model ? std::move(model) : std::make_shared<CategoryTrees>();
    m_d->m_categoryShape.clear();
    clearLookups();
}

void Book::setCurrencyList(CurrencyList list)
{
    m_d->m_currencyList = std::move(list);
    m_d->m_currencyCacheValid = false;
}

void Book::setSecurityList(SecurityList list)
{
    m_d->m_securityList = std::move(list);
    m_d->m_securityCache.clear();
}

void Book::setGroupList(GroupList list)
{
    m_d->m_groupList = std::move(list);
}

void Book::clearLookups()
{
    m_d->m_accountCache.clear();
    m_d->m_securityCache.clear();
    m_d->m_incomeCache.clear();
    m_d->m_expenseCache.clear();
    m_d->m_currencyCacheValid = false;
}

void Book::updateChangeCount(ChangeKind change)
{
    // The mark is state and changes at once; the notice waits for the edit's end.
    if (change == ChangeDone) {
        if (isEditing())
            m_d->m_edited = true;
        else
            m_d->setEdited(true);
    } else {
        m_d->setEdited(false);
    }
}

void Book::Private::setEdited(bool edited)
{
    m_edited = edited;
    announceEdited();
}

void Book::Private::announceEdited()
{
    const bool edited = m_document.isDocumentEdited();
    if (m_edit.depth > 0 || edited == m_announcedEdited) return;
    m_announcedEdited = edited;
    Q_EMIT m_document.modificationChanged(edited);
}

void Book::Private::watchSettings()
{
    if (const SettingsPtr old = m_watchedSettings.lock(); old && old != m_settings) old->setChangeListener(nullptr);
    m_watchedSettings = m_settings;
    if (m_settings) m_settings->setChangeListener([this] { announceEdited(); });
}

bool Book::isDocumentEdited() const
{
    return m_d->m_edited || (m_d->m_settings && m_d->m_settings->changed());
}

// ---- edits and failed store writes

void Book::Private::beginEdit(bool transaction)
{
    if (m_edit.depth > 0) {
        ++m_edit.depth;
        // An inner edit of several writes inside one that opened no transaction opens it now.
        if (transaction && !m_edit.inTransaction) m_edit.inTransaction = m_store->beginTransaction();
        return;
    }
    // The book may still show a failed edit the store could not be read after:
    // read back first. An edit whose caller may hold what that replaced, or
    // that meets a store still held, is not made either.
    const bool stale = m_readBackPending && !m_store->inTransaction() && readBackAgain() != ReadBack::Same;
    m_edit.depth = 1;
    m_edit.failed = stale;
    m_edit.changes = cv::ChangeSet();
    m_edit.touched.clear();
    m_edit.editedAtStart = m_edited;
    m_store->clearWriteFailure();
    // Even a lone write is taken back then.
    m_edit.inTransaction = (transaction || stale) && m_store->beginTransaction();
}

void Book::Private::failEdit()
{
    Q_ASSERT(m_edit.depth > 0);
    m_edit.failed = true;
}

void Book::Private::endEdit()
{
    Q_ASSERT(m_edit.depth > 0);
    if (m_edit.depth == 0 || --m_edit.depth > 0) return;
    bool failed = m_edit.failed;
    if (m_edit.inTransaction) {
        if (failed)
            m_store->rollbackTransaction();
        else if (!m_store->commitTransaction())
            failed = true;
    }
    const bool editedAtStart = m_edit.editedAtStart;
    const cv::ChangeSet changes = std::move(m_edit.changes);
    const auto touched = std::move(m_edit.touched);
    auto accountShape = std::move(m_edit.accountShape);
    auto categoryShape = std::move(m_edit.categoryShape);
    m_edit = Private::Edit();
    m_lastEditFailed = failed;
    // Waited for once the edit is whole: the wait runs the window's events.
    const bool awaitStoreCheck = watchStoreLog(failed);
    if (failed) {
        qCWarning(lcDocument) << "edit rolled back";
        // The store is as it was, and so is the mark.
        m_edited = editedAtStart;
        announceEdited();
        // Inside an open or a new book's making, that one reads the book and says what failed.
        const bool alone = !m_store->inTransaction();
        std::vector<std::shared_ptr<const void>> retired;
        const ReadBack readBack = alone ? readBackInfoRows(retired) : ReadBack::Same;
        m_readBackPending = readBack == ReadBack::Unreadable;
        // The cache already holds what the store refused; show what the file will hold
        // (a store that answers no read cannot tell: it is rebuilt once it answers).
        if (!m_readBackPending) m_document.createCache();
        if (readBack == ReadBack::Replaced) announceReload();
        retired.clear();
        if (alone) warnNotWritten();
        // The program holding the store may have let go meanwhile.
        if (m_readBackPending) readBackAgain();
        if (awaitStoreCheck) takeStoreCheck();
        return;
    }
    if (accountShape) m_accountShape = std::move(*accountShape);
    if (categoryShape) m_categoryShape = std::move(*categoryShape);
    for (const auto &[key, node] : touched) m_cache.accumulateForKey(key, node->assetInitialDate());
    Book &d = m_document;
    announceEdited();
    if (changes.accountTree != cv::TreeChange::None) Q_EMIT d.accountChanged(changes);
    if (changes.categoryTree != cv::TreeChange::None) Q_EMIT d.categoryChanged(changes);
    if (changes.currencyList || !changes.currencies.empty()) Q_EMIT d.currencyChanged(changes);
    if (changes.securityList || !changes.securities.empty()) Q_EMIT d.securityChanged(changes);
    if (!changes.entries.empty()) Q_EMIT d.entriesChanged(changes);
    if (!changes.trades.empty()) Q_EMIT d.tradesChanged(changes);
    if (!changes.accounts.empty()) Q_EMIT d.balancesChanged(changes);
    if (changes.settings || changes.fiscalStart) Q_EMIT d.settingsChanged(changes);
    if (awaitStoreCheck) takeStoreCheck();
}

void Book::Private::announceReload()
{
    cv::ChangeSet changes;
    changes.reload = true;
    changes.accountTree = changes.categoryTree = cv::TreeChange::Structure;
    changes.currencyList = changes.securityList = true;
    changes.currencies = changes.securities = {0};
    Book &d = m_document;
    Q_EMIT d.accountChanged(changes);
    Q_EMIT d.categoryChanged(changes);
    Q_EMIT d.currencyChanged(changes);
    Q_EMIT d.securityChanged(changes);
    Q_EMIT d.entriesChanged(changes);
    Q_EMIT d.tradesChanged(changes);
    Q_EMIT d.balancesChanged(changes);
}

void Book::Private::warnNotWritten()
{
    QString text;
    switch (m_store->writeFailure()) {
    case BookStore::WriteFailure::NoRoom:
        text = cv::formatString(cv::localizedString(QStringLiteral("Edit-Not-Written-No-Room")),
                                {DocumentContainer::workingDiskFolder(m_store->workingPath(), m_fileName)});
        break;
    case BookStore::WriteFailure::Held: text = cv::localizedString(QStringLiteral("Edit-Not-Written-Held")); break;
    case BookStore::WriteFailure::None:
    case BookStore::WriteFailure::Other: text = cv::localizedString(QStringLiteral("Edit-Not-Written")); break;
    }
    Alert::warn(text);
}

void Book::Private::storeWrite(bool ok)
{
    if (ok) return;
    // A lone write is an edit of its own.
    cv::EditScope edit(m_document, cv::EditScope::Writes::AtMostOne);
    // Once is enough: the store refuses the edit's later writes.
    if (!m_edit.failed) qCWarning(lcDocument) << "store write failed";
    m_edit.failed = true;
}

void Book::Private::addDaily(double value, const NodePtr &node, const QDate &date)
{
    if (!node) return;
    m_cache.addValue(value, node, date);
    const Node *account = node->ident() > 0 || !node->parent() ? node.get() : node->parent();
    if (!m_document.isEditing()) {
        m_unaccumulated = true; // a rebuild, which accumulates everything at its end
        return;
    }
    m_edit.touched.try_emplace(node.get(), node);
    m_edit.changes.accounts.insert(account->ident());
    m_edit.changes.touchDate(date);
}

void Book::Private::noteCategory(const Node &node, const QDate &date)
{
    if (!m_document.isEditing()) return;
    m_edit.changes.categories.insert(node.ident());
    m_edit.changes.touchDate(date);
}

// ---- commits and notifications

bool Book::commitSettings()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    const bool ok = m_d->m_store->putSettingsData(cv::KeyedArchiver::archivedDataWithRootObject(m_d->m_settings));
    m_d->storeWrite(ok);
    m_d->m_edit.changes.settings = true;
    return ok;
}

void Book::commitAccountTrees()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_store->putAccountData(cv::KeyedArchiver::archivedDataWithRootObject(m_d->m_accountTrees)));
    m_d->noteTreeCommit(AccountChanged);
}

void Book::commitCategoryTrees()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_store->putCategoryData(cv::KeyedArchiver::archivedDataWithRootObject(m_d->m_categoryTrees)));
    m_d->noteTreeCommit(CategoryChanged);
}

void Book::commitCurrencyList()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_store->putCurrencyData(archiveList(m_d->m_currencyList)));
    m_d->m_edit.changes.currencyList = true;
    postNotification(CurrencyChanged);
}

void Book::commitSecurityList()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_store->putSecurityData(archiveList(m_d->m_securityList)));
    m_d->m_edit.changes.securityList = true;
    postNotification(SecurityChanged);
}

void Book::commitGroupList()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_store->putGroupData(archiveList(m_d->m_groupList)));
}

void Book::postGroupDeleted(int ident)
{
    Q_EMIT groupDeleted({ident});
}

void Book::commitInfoRows()
{
    cv::EditScope edit(*this);
    commitSettings();
    commitAccountTrees();
    commitCategoryTrees();
    commitCurrencyList();
    commitSecurityList();
    commitGroupList();
}

// A caller's own notice reports a tree as restructured: the document cannot
// tell what the caller changed in it, and a view that reloads is never wrong.
void Book::postNotification(int code)
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    if (code >= 0 && code < 32) m_d->m_cacheStatus |= 1u << code;
    cv::ChangeSet &changes = m_d->m_edit.changes;
    switch (code) {
    case AccountChanged: changes.accountTree = cv::TreeChange::Structure; break;
    case CategoryChanged: changes.categoryTree = cv::TreeChange::Structure; break;
    case CurrencyChanged: changes.currencies.insert(0); break;
    case SecurityChanged: changes.securities.insert(0); break;
    default: break;
    }
}

Book::Private::TreeShape Book::Private::shapeOf(std::initializer_list<NodePtr> roots)
{
    TreeShape shape;
    std::vector<const NodePtr *> pending;
    for (auto it = std::rbegin(roots); it != std::rend(roots); ++it) pending.push_back(&*it);
    while (!pending.empty()) {
        const NodePtr &node = *pending.back();
        pending.pop_back();
        if (!node) {
            shape.emplace_back(std::weak_ptr<Node>(), -1);
            continue;
        }
        const auto &children = node->children();
        shape.emplace_back(node, int(children.size()));
        for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(&*it);
    }
    return shape;
}

Book::Private::TreeShape Book::Private::accountShape() const
{
    const AccountTrees &m = *m_accountTrees;
    return shapeOf({m.asset(), m.debt(), m.summary()});
}

Book::Private::TreeShape Book::Private::categoryShape() const
{
    const CategoryTrees &m = *m_categoryTrees;
    return shapeOf({m.moneyFlow(), m.income(), m.expense(), m.summary()});
}

void Book::Private::noteTreeCommit(Notification code)
{
    Q_ASSERT(m_edit.depth > 0 && (code == AccountChanged || code == CategoryChanged));
    const bool accounts = code == AccountChanged;
    TreeShape shape = accounts ? accountShape() : categoryShape();
    const TreeShape &announced = accounts ? m_accountShape : m_categoryShape;
    auto same = [&] {
        if (announced.empty() || announced.size() != shape.size()) return false;
        for (size_t i = 0; i < shape.size(); ++i) {
            if (announced[i].second != shape[i].second) return false;
            if (announced[i].first.lock() != shape[i].first.lock()) return false;
        }
        return true;
    };
    const cv::TreeChange change = same() ? cv::TreeChange::Values : cv::TreeChange::Structure;
    m_cacheStatus |= 1u << code;
    cv::TreeChange &tree = accounts ? m_edit.changes.accountTree : m_edit.changes.categoryTree;
    tree = cv::ChangeSet::wider(tree, change);
    (accounts ? m_edit.accountShape : m_edit.categoryShape) = std::move(shape);
}

void Book::postBusy()
{
    cv::LongOperations::instance().enter(this);
}

void Book::postNoBusy()
{
    cv::LongOperations::instance().exit(this);
}

} // namespace cv
