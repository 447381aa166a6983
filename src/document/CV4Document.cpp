#include "document/CV4Document.h"

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
    node->setKind(cv::raw(cv::NodeKind::SystemItem));
    node->setName(cv::localizedString(QLatin1String(key)));
    return node;
}

template <class T> QByteArray archiveList(const std::vector<std::shared_ptr<T>> &list)
{
    return cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue::arrayOf(list));
}

} // namespace

CV4Document::CV4Document(QObject *parent)
    : QObject(parent)
    , m_dataModel(std::make_unique<CV4DataModel>(this))
    , m_settings(std::make_shared<CV4Settings>())
    , m_accountModel(std::make_shared<CV4AccountModel>())
    , m_actualModel(std::make_shared<CV4ActualModel>())
    , m_autoCacheIn(makeCacheItem("SYS:Cache-In"))
    , m_autoCacheOut(makeCacheItem("SYS:Cache-Out"))
    , m_amountText([this](int ident) { return findCurrency(ident); })
{
    registerDocumentArchiveClasses();
    qRegisterMetaType<cv::ChangeSet>();
}

CV4Document::~CV4Document() = default;

void CV4Document::setSettings(CV4SettingsPtr settings)
{
    m_settings = settings ? std::move(settings) : std::make_shared<CV4Settings>();
}

void CV4Document::setAccountModel(CV4AccountModelPtr model)
{
    m_accountModel = model ? std::move(model) : std::make_shared<CV4AccountModel>();
    clearLookups();
}

void CV4Document::setActualModel(CV4ActualModelPtr model)
{
    m_actualModel = model ? std::move(model) : std::make_shared<CV4ActualModel>();
    clearLookups();
}

void CV4Document::setCurrencyList(CurrencyList list)
{
    m_currencyList = std::move(list);
    m_currencyCacheValid = false;
}

void CV4Document::setBrandList(BrandList list)
{
    m_brandList = std::move(list);
    m_brandCache.clear();
}

void CV4Document::setGroupList(GroupList list)
{
    m_groupList = std::move(list);
}

void CV4Document::clearLookups()
{
    m_accountCache.clear();
    m_brandCache.clear();
    m_incomeCache.clear();
    m_expenseCache.clear();
    m_currencyCacheValid = false;
}

void CV4Document::updateChangeCount(ChangeKind change)
{
    // The mark is state and changes at once; the notice waits for the edit's end.
    if (change == ChangeDone) {
        if (isEditing())
            m_edited = true;
        else
            setEdited(true);
    } else {
        setEdited(false);
    }
}

void CV4Document::setEdited(bool edited)
{
    const bool before = m_edited;
    m_edited = edited;
    if (edited != before) Q_EMIT modificationChanged(edited);
}

bool CV4Document::isDocumentEdited() const
{
    return m_edited || (m_settings && m_settings->changed());
}

// ---- edits and failed store writes

void CV4Document::beginWriteBatch()
{
    beginEdit();
}

void CV4Document::endWriteBatch()
{
    endEdit();
}

void CV4Document::beginEdit()
{
    if (m_edit.depth++ > 0) return;
    m_edit.failed = false;
    m_edit.changes = cv::ChangeSet();
    m_edit.touched.clear();
    m_edit.editedAtStart = m_edited;
    m_edit.inTransaction = m_dataModel->beginTransaction();
}

void CV4Document::failEdit()
{
    Q_ASSERT(isEditing());
    m_edit.failed = true;
}

void CV4Document::endEdit()
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
    m_edit = Edit();
    if (failed) {
        qCWarning(lcDocument) << "edit rolled back";
        // The cache already holds what the store refused; show what the file will hold.
        createCache();
        CV4Alert::warn(cv::localizedString(QStringLiteral("Document Write Failed")));
        return;
    }
    for (const auto &[key, node] : touched) m_cache.accumulateForKey(key, node->assetInitialDate());
    if (m_edited != editedAtStart) Q_EMIT modificationChanged(m_edited);
    if (changes.accountTree != cv::TreeChange::None) Q_EMIT accountChanged(changes);
    if (changes.actualTree != cv::TreeChange::None) Q_EMIT actualChanged(changes);
    if (changes.currencyList || !changes.currencies.empty()) Q_EMIT currencyChanged(changes);
    if (changes.brandList || !changes.brands.empty()) Q_EMIT brandChanged(changes);
    if (!changes.entries.empty()) Q_EMIT entriesChanged(changes);
    if (!changes.trades.empty()) Q_EMIT tradesChanged(changes);
    if (!changes.accounts.empty()) Q_EMIT balancesChanged(changes);
}

void CV4Document::storeWrite(bool ok)
{
    if (ok) return;
    qCWarning(lcDocument) << "store write failed";
    // A lone write is an edit of its own.
    cv::EditScope edit(*this);
    m_edit.failed = true;
}

void CV4Document::addDaily(double value, const CVUnitModelPtr &node, const QDate &date)
{
    if (!node) return;
    m_cache.addValue(value, node, date);
    const CVUnitModel *account = node->ident() > 0 || !node->parent() ? node.get() : node->parent();
    if (!isEditing()) return;   // a rebuild accumulates everything at its end
    m_edit.touched.try_emplace(node.get(), node);
    m_edit.changes.accounts.insert(account->ident());
    m_edit.changes.touchDate(date);
}

void CV4Document::noteCategory(const CVUnitModel &node, const QDate &date)
{
    if (!isEditing()) return;
    m_edit.changes.categories.insert(node.ident());
    m_edit.changes.touchDate(date);
}

// ---- commits and notifications

void CV4Document::commitSettings()
{
    cv::EditScope edit(*this);
    storeWrite(m_dataModel->putSettingsData(cv::KeyedArchiver::archivedDataWithRootObject(m_settings)));
}

void CV4Document::commitAccountModel()
{
    cv::EditScope edit(*this);
    storeWrite(m_dataModel->putAccountData(cv::KeyedArchiver::archivedDataWithRootObject(m_accountModel)));
    postNotification(AccountChanged);
}

void CV4Document::commitActualModel()
{
    cv::EditScope edit(*this);
    storeWrite(m_dataModel->putActualData(cv::KeyedArchiver::archivedDataWithRootObject(m_actualModel)));
    postNotification(ActualChanged);
}

void CV4Document::commitCurrencyList()
{
    cv::EditScope edit(*this);
    storeWrite(m_dataModel->putCurrencyData(archiveList(m_currencyList)));
    m_edit.changes.currencyList = true;
    postNotification(CurrencyChanged);
}

void CV4Document::commitBrandList()
{
    cv::EditScope edit(*this);
    storeWrite(m_dataModel->putBrandData(archiveList(m_brandList)));
    m_edit.changes.brandList = true;
    postNotification(BrandChanged);
}

void CV4Document::commitGroupList()
{
    cv::EditScope edit(*this);
    storeWrite(m_dataModel->putGroupData(archiveList(m_groupList)));
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

// Commits report a tree as restructured: the document cannot tell what the
// caller changed in it, and a view that reloads is never wrong.
void CV4Document::postNotification(int code)
{
    cv::EditScope edit(*this);
    if (code >= 0 && code < 32) m_cacheStatus |= 1u << code;
    cv::ChangeSet &changes = m_edit.changes;
    switch (code) {
    case AccountChanged: changes.accountTree = cv::TreeChange::Structure; break;
    case ActualChanged: changes.actualTree = cv::TreeChange::Structure; break;
    case CurrencyChanged: changes.currencies.insert(0); break;
    case BrandChanged: changes.brands.insert(0); break;
    default: break;
    }
}

void CV4Document::postBusy()
{
    cv::LongOperations::instance().enter(this);
}

void CV4Document::postNoBusy()
{
    cv::LongOperations::instance().exit(this);
}
