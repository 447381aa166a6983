#include "document/Book.h"
#include "document/BookPrivate.h"

#include "document/BookUI.h"
#include "document/EditScope.h"

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

template <class T> QByteArray archiveList(const std::vector<std::shared_ptr<T>> &list)
{
    return cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue::arrayOf(list));
}

} // namespace

Book::Private::Private(Book &document)
    : m_document(document), m_dataModel(std::make_unique<BookStore>(&document)),
      m_settings(std::make_shared<Settings>()), m_accountModel(std::make_shared<AccountTrees>()),
      m_actualModel(std::make_shared<CategoryTrees>()), m_autoCacheIn(makeCacheItem("SYS:Cache-In")),
      m_autoCacheOut(makeCacheItem("SYS:Cache-Out")),
      m_amountText([&document](int ident) { return document.findCurrency(ident); })
{
}

Book::Book(QObject *parent) : QObject(parent), m_d(std::make_unique<Private>(*this))
{
    registerDocumentArchiveClasses();
    qRegisterMetaType<cv::ChangeSet>();
    m_d->m_undoStack = new QUndoStack(this);
}

Book::~Book() = default;

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

bool Book::readCancelled() const
{
    return m_d->m_readCancelled;
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

BookStore *Book::dataModel() const
{
    return m_d->m_dataModel.get();
}

const cv::BookReads &Book::reads() const
{
    return m_d->m_reads;
}

const SettingsPtr &Book::settings() const
{
    return m_d->m_settings;
}

const AccountTreesPtr &Book::accountModel() const
{
    return m_d->m_accountModel;
}

const CategoryTreesPtr &Book::actualModel() const
{
    return m_d->m_actualModel;
}

const Book::CurrencyList &Book::currencyList() const
{
    return m_d->m_currencyList;
}

const Book::BrandList &Book::brandList() const
{
    return m_d->m_brandList;
}

const Book::GroupList &Book::groupList() const
{
    return m_d->m_groupList;
}

const BalanceCache &Book::cache() const
{
    return m_d->m_cache;
}

const NodePtr &Book::autoCacheIn() const
{
    return m_d->m_autoCacheIn;
}

const NodePtr &Book::autoCacheOut() const
{
    return m_d->m_autoCacheOut;
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

const PrintInfoPtr &Book::printInfo() const
{
    return m_d->m_printInfo;
}

void Book::setSettings(SettingsPtr settings)
{
    m_d->m_settings = settings ? std::move(settings) : std::make_shared<Settings>();
}

void Book::setAccountModel(AccountTreesPtr model)
{
    m_d->m_accountModel = model ? std::move(model) : std::make_shared<AccountTrees>();
    m_d->m_accountShape.clear();
    clearLookups();
}

void Book::setActualModel(CategoryTreesPtr model)
{
    m_d->m_actualModel = model ? std::move(model) : std::make_shared<CategoryTrees>();
    m_d->m_actualShape.clear();
    clearLookups();
}

void Book::setCurrencyList(CurrencyList list)
{
    m_d->m_currencyList = std::move(list);
    m_d->m_currencyCacheValid = false;
}

void Book::setBrandList(BrandList list)
{
    m_d->m_brandList = std::move(list);
    m_d->m_brandCache.clear();
}

void Book::setGroupList(GroupList list)
{
    m_d->m_groupList = std::move(list);
}

void Book::clearLookups()
{
    m_d->m_accountCache.clear();
    m_d->m_brandCache.clear();
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
    const bool before = m_edited;
    m_edited = edited;
    if (edited != before) Q_EMIT m_document.modificationChanged(edited);
}

bool Book::isDocumentEdited() const
{
    return m_d->m_edited || (m_d->m_settings && m_d->m_settings->changed());
}

// ---- edits and failed store writes

void Book::Private::beginEdit(bool transaction)
{
    if (m_edit.depth++ > 0) {
        // An inner edit of several writes inside one that opened no transaction opens it now.
        if (transaction && !m_edit.inTransaction) m_edit.inTransaction = m_dataModel->beginTransaction();
        return;
    }
    m_edit.failed = false;
    m_edit.changes = cv::ChangeSet();
    m_edit.touched.clear();
    m_edit.editedAtStart = m_edited;
    m_edit.inTransaction = transaction && m_dataModel->beginTransaction();
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
            m_dataModel->rollbackTransaction();
        else if (!m_dataModel->commitTransaction())
            failed = true;
    }
    const bool editedAtStart = m_edit.editedAtStart;
    const cv::ChangeSet changes = std::move(m_edit.changes);
    const auto touched = std::move(m_edit.touched);
    auto accountShape = std::move(m_edit.accountShape);
    auto actualShape = std::move(m_edit.actualShape);
    m_edit = Private::Edit();
    if (failed) {
        qCWarning(lcDocument) << "edit rolled back";
        // The store is as it was, and so is the mark; nothing is announced.
        m_edited = editedAtStart;
        // The cache already holds what the store refused; show what the file will hold.
        m_document.createCache();
        Alert::warn(cv::localizedString(QStringLiteral("Document Write Failed")));
        return;
    }
    if (accountShape) m_accountShape = std::move(*accountShape);
    if (actualShape) m_actualShape = std::move(*actualShape);
    for (const auto &[key, node] : touched) m_cache.accumulateForKey(key, node->assetInitialDate());
    Book &d = m_document;
    if (m_edited != editedAtStart) Q_EMIT d.modificationChanged(m_edited);
    if (changes.accountTree != cv::TreeChange::None) Q_EMIT d.accountChanged(changes);
    if (changes.actualTree != cv::TreeChange::None) Q_EMIT d.actualChanged(changes);
    if (changes.currencyList || !changes.currencies.empty()) Q_EMIT d.currencyChanged(changes);
    if (changes.brandList || !changes.brands.empty()) Q_EMIT d.brandChanged(changes);
    if (!changes.entries.empty()) Q_EMIT d.entriesChanged(changes);
    if (!changes.trades.empty()) Q_EMIT d.tradesChanged(changes);
    if (!changes.accounts.empty()) Q_EMIT d.balancesChanged(changes);
    if (changes.settings || changes.fiscalStart) Q_EMIT d.settingsChanged(changes);
}

void Book::Private::storeWrite(bool ok)
{
    if (ok) return;
    qCWarning(lcDocument) << "store write failed";
    // A lone write is an edit of its own.
    cv::EditScope edit(m_document, cv::EditScope::Writes::AtMostOne);
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
    const bool ok = m_d->m_dataModel->putSettingsData(cv::KeyedArchiver::archivedDataWithRootObject(m_d->m_settings));
    m_d->storeWrite(ok);
    m_d->m_edit.changes.settings = true;
    return ok;
}

void Book::commitAccountModel()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(
        m_d->m_dataModel->putAccountData(cv::KeyedArchiver::archivedDataWithRootObject(m_d->m_accountModel)));
    m_d->noteTreeCommit(AccountChanged);
}

void Book::commitActualModel()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_dataModel->putActualData(cv::KeyedArchiver::archivedDataWithRootObject(m_d->m_actualModel)));
    m_d->noteTreeCommit(ActualChanged);
}

void Book::commitCurrencyList()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_dataModel->putCurrencyData(archiveList(m_d->m_currencyList)));
    m_d->m_edit.changes.currencyList = true;
    postNotification(CurrencyChanged);
}

void Book::commitBrandList()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_dataModel->putBrandData(archiveList(m_d->m_brandList)));
    m_d->m_edit.changes.brandList = true;
    postNotification(BrandChanged);
}

void Book::commitGroupList()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_dataModel->putGroupData(archiveList(m_d->m_groupList)));
}

void Book::postGroupDeleted(int ident)
{
    Q_EMIT groupDeleted({ident});
}

void Book::commitInfoRows()
{
    cv::EditScope edit(*this);
    commitSettings();
    commitAccountModel();
    commitActualModel();
    commitCurrencyList();
    commitBrandList();
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
    case ActualChanged: changes.actualTree = cv::TreeChange::Structure; break;
    case CurrencyChanged: changes.currencies.insert(0); break;
    case BrandChanged: changes.brands.insert(0); break;
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
    const AccountTrees &m = *m_accountModel;
    return shapeOf({m.asset(), m.debt(), m.summary()});
}

Book::Private::TreeShape Book::Private::actualShape() const
{
    const CategoryTrees &m = *m_actualModel;
    return shapeOf({m.moneyFlow(), m.income(), m.expense(), m.summary()});
}

void Book::Private::noteTreeCommit(Notification code)
{
    Q_ASSERT(m_edit.depth > 0 && (code == AccountChanged || code == ActualChanged));
    const bool accounts = code == AccountChanged;
    TreeShape shape = accounts ? accountShape() : actualShape();
    const TreeShape &announced = accounts ? m_accountShape : m_actualShape;
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
    cv::TreeChange &tree = accounts ? m_edit.changes.accountTree : m_edit.changes.actualTree;
    tree = cv::ChangeSet::wider(tree, change);
    (accounts ? m_edit.accountShape : m_edit.actualShape) = std::move(shape);
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
