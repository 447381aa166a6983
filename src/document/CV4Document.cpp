#include "document/CV4Document.h"
#include "document/CV4DocumentPrivate.h"

#include "document/CV4DocumentUI.h"
#include "document/EditScope.h"

#include "model/CV4Actual.h"
#include "model/CV4Trade.h"
#include "platform/CV4Alert.h"
#include "platform/KeyedArchiver.h"
#include "platform/Localization.h"
#include "platform/LongOperations.h"
#include "platform/Logging.h"

namespace {

CVUnitModelPtr makeCacheItem(const char *key)
{
    auto node = std::make_shared<CVUnitModel>();
    node->setKind(cv::NodeKind::SystemItem);
    node->setName(cv::localizedString(key));
    return node;
}

template <class T> QByteArray archiveList(const std::vector<std::shared_ptr<T>> &list)
{
    return cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue::arrayOf(list));
}

} // namespace

CV4Document::Private::Private(CV4Document &document)
    : m_document(document)
    , m_dataModel(std::make_unique<CV4DataModel>(&document))
    , m_settings(std::make_shared<CV4Settings>())
    , m_accountModel(std::make_shared<CV4AccountModel>())
    , m_actualModel(std::make_shared<CV4ActualModel>())
    , m_autoCacheIn(makeCacheItem("SYS:Cache-In"))
    , m_autoCacheOut(makeCacheItem("SYS:Cache-Out"))
    , m_amountText([&document](int ident) { return document.findCurrency(ident); })
{
}

CV4Document::CV4Document(QObject *parent) : QObject(parent), m_d(std::make_unique<Private>(*this))
{
    registerDocumentArchiveClasses();
    qRegisterMetaType<cv::ChangeSet>();
    m_d->m_undoStack = new QUndoStack(this);
}

CV4Document::~CV4Document() = default;

// ---- fields

QUndoStack *CV4Document::undoStack() const
{
    return m_d->m_undoStack;
}

quint32 CV4Document::cacheStatus() const
{
    return m_d->m_cacheStatus;
}

bool CV4Document::isEditing() const
{
    return m_d->m_edit.depth > 0;
}

bool CV4Document::readCancelled() const
{
    return m_d->m_readCancelled;
}

void CV4Document::setFileName(const QString &path)
{
    m_d->m_fileName = path;
}

void CV4Document::setFileType(const QString &type)
{
    m_d->m_fileType = type;
}

int CV4Document::backupStatus() const
{
    return m_d->m_backupStatus;
}

bool CV4Document::hasCache(const CVUnitModelPtr &node) const
{
    return node && m_d->m_cache.hasKey(node.get());
}

CV4DataModel *CV4Document::dataModel() const
{
    return m_d->m_dataModel.get();
}

const cv::BookReads &CV4Document::reads() const
{
    return m_d->m_reads;
}

const CV4SettingsPtr &CV4Document::settings() const
{
    return m_d->m_settings;
}

const CV4AccountModelPtr &CV4Document::accountModel() const
{
    return m_d->m_accountModel;
}

const CV4ActualModelPtr &CV4Document::actualModel() const
{
    return m_d->m_actualModel;
}

const CV4Document::CurrencyList &CV4Document::currencyList() const
{
    return m_d->m_currencyList;
}

const CV4Document::BrandList &CV4Document::brandList() const
{
    return m_d->m_brandList;
}

const CV4Document::GroupList &CV4Document::groupList() const
{
    return m_d->m_groupList;
}

const CV4Cache &CV4Document::cache() const
{
    return m_d->m_cache;
}

const CVUnitModelPtr &CV4Document::autoCacheIn() const
{
    return m_d->m_autoCacheIn;
}

const CVUnitModelPtr &CV4Document::autoCacheOut() const
{
    return m_d->m_autoCacheOut;
}

const cv::AmountText &CV4Document::amountText() const
{
    return m_d->m_amountText;
}

cv::AmountText &CV4Document::amountText()
{
    return m_d->m_amountText;
}

const QString &CV4Document::fileName() const
{
    return m_d->m_fileName;
}

const QString &CV4Document::fileType() const
{
    return m_d->m_fileType;
}

const QString &CV4Document::suggestedFileName() const
{
    return m_d->m_suggestedFileName;
}

const CVPrintInfoPtr &CV4Document::printInfo() const
{
    return m_d->m_printInfo;
}

void CV4Document::setSettings(CV4SettingsPtr settings)
{
    m_d->m_settings = settings ? std::move(settings) : std::make_shared<CV4Settings>();
}

void CV4Document::setAccountModel(CV4AccountModelPtr model)
{
    m_d->m_accountModel = model ? std::move(model) : std::make_shared<CV4AccountModel>();
    m_d->m_accountShape.clear();
    clearLookups();
}

void CV4Document::setActualModel(CV4ActualModelPtr model)
{
    m_d->m_actualModel = model ? std::move(model) : std::make_shared<CV4ActualModel>();
    m_d->m_actualShape.clear();
    clearLookups();
}

void CV4Document::setCurrencyList(CurrencyList list)
{
    m_d->m_currencyList = std::move(list);
    m_d->m_currencyCacheValid = false;
}

void CV4Document::setBrandList(BrandList list)
{
    m_d->m_brandList = std::move(list);
    m_d->m_brandCache.clear();
}

void CV4Document::setGroupList(GroupList list)
{
    m_d->m_groupList = std::move(list);
}

void CV4Document::clearLookups()
{
    m_d->m_accountCache.clear();
    m_d->m_brandCache.clear();
    m_d->m_incomeCache.clear();
    m_d->m_expenseCache.clear();
    m_d->m_currencyCacheValid = false;
}

void CV4Document::updateChangeCount(ChangeKind change)
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

void CV4Document::Private::setEdited(bool edited)
{
    const bool before = m_edited;
    m_edited = edited;
    if (edited != before) Q_EMIT m_document.modificationChanged(edited);
}

bool CV4Document::isDocumentEdited() const
{
    return m_d->m_edited || (m_d->m_settings && m_d->m_settings->changed());
}

// ---- edits and failed store writes

void CV4Document::Private::beginEdit(bool transaction)
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

void CV4Document::Private::failEdit()
{
    Q_ASSERT(m_edit.depth > 0);
    m_edit.failed = true;
}

void CV4Document::Private::endEdit()
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
        CV4Alert::warn(cv::localizedString(QStringLiteral("Document Write Failed")));
        return;
    }
    if (accountShape) m_accountShape = std::move(*accountShape);
    if (actualShape) m_actualShape = std::move(*actualShape);
    for (const auto &[key, node] : touched) m_cache.accumulateForKey(key, node->assetInitialDate());
    CV4Document &d = m_document;
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

void CV4Document::Private::storeWrite(bool ok)
{
    if (ok) return;
    qCWarning(lcDocument) << "store write failed";
    // A lone write is an edit of its own.
    cv::EditScope edit(m_document, cv::EditScope::Writes::AtMostOne);
    m_edit.failed = true;
}

void CV4Document::Private::addDaily(double value, const CVUnitModelPtr &node, const QDate &date)
{
    if (!node) return;
    m_cache.addValue(value, node, date);
    const CVUnitModel *account = node->ident() > 0 || !node->parent() ? node.get() : node->parent();
    if (!m_document.isEditing()) {
        m_unaccumulated = true;   // a rebuild, which accumulates everything at its end
        return;
    }
    m_edit.touched.try_emplace(node.get(), node);
    m_edit.changes.accounts.insert(account->ident());
    m_edit.changes.touchDate(date);
}

void CV4Document::Private::noteCategory(const CVUnitModel &node, const QDate &date)
{
    if (!m_document.isEditing()) return;
    m_edit.changes.categories.insert(node.ident());
    m_edit.changes.touchDate(date);
}

// ---- commits and notifications

bool CV4Document::commitSettings()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    const bool ok = m_d->m_dataModel->putSettingsData(cv::KeyedArchiver::archivedDataWithRootObject(m_d->m_settings));
    m_d->storeWrite(ok);
    m_d->m_edit.changes.settings = true;
    return ok;
}

void CV4Document::commitAccountModel()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_dataModel->putAccountData(cv::KeyedArchiver::archivedDataWithRootObject(m_d->m_accountModel)));
    m_d->noteTreeCommit(AccountChanged);
}

void CV4Document::commitActualModel()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_dataModel->putActualData(cv::KeyedArchiver::archivedDataWithRootObject(m_d->m_actualModel)));
    m_d->noteTreeCommit(ActualChanged);
}

void CV4Document::commitCurrencyList()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_dataModel->putCurrencyData(archiveList(m_d->m_currencyList)));
    m_d->m_edit.changes.currencyList = true;
    postNotification(CurrencyChanged);
}

void CV4Document::commitBrandList()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_dataModel->putBrandData(archiveList(m_d->m_brandList)));
    m_d->m_edit.changes.brandList = true;
    postNotification(BrandChanged);
}

void CV4Document::commitGroupList()
{
    cv::EditScope edit(*this, cv::EditScope::Writes::AtMostOne);
    m_d->storeWrite(m_d->m_dataModel->putGroupData(archiveList(m_d->m_groupList)));
}

void CV4Document::postGroupDeleted(int ident)
{
    Q_EMIT groupDeleted({ident});
}

void CV4Document::commitInfoRows()
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
void CV4Document::postNotification(int code)
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

CV4Document::Private::TreeShape CV4Document::Private::shapeOf(std::initializer_list<CVUnitModelPtr> roots)
{
    TreeShape shape;
    std::vector<const CVUnitModelPtr *> pending;
    for (auto it = std::rbegin(roots); it != std::rend(roots); ++it) pending.push_back(&*it);
    while (!pending.empty()) {
        const CVUnitModelPtr &node = *pending.back();
        pending.pop_back();
        if (!node) {
            shape.emplace_back(std::weak_ptr<CVUnitModel>(), -1);
            continue;
        }
        const auto &children = node->children();
        shape.emplace_back(node, int(children.size()));
        for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(&*it);
    }
    return shape;
}

CV4Document::Private::TreeShape CV4Document::Private::accountShape() const
{
    const CV4AccountModel &m = *m_accountModel;
    return shapeOf({m.asset(), m.debt(), m.summary()});
}

CV4Document::Private::TreeShape CV4Document::Private::actualShape() const
{
    const CV4ActualModel &m = *m_actualModel;
    return shapeOf({m.moneyFlow(), m.income(), m.expense(), m.summary()});
}

void CV4Document::Private::noteTreeCommit(Notification code)
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

void CV4Document::postBusy()
{
    cv::LongOperations::instance().enter(this);
}

void CV4Document::postNoBusy()
{
    cv::LongOperations::instance().exit(this);
}
