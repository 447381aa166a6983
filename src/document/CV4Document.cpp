#include "document/CV4Document.h"

#include "document/CV4DocumentUI.h"

#include "model/CV4Actual.h"
#include "model/CV4Trade.h"
#include "platform/CV4Alert.h"
#include "platform/KeyedArchiver.h"
#include "platform/Localization.h"
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
    m_edited = change == ChangeDone;
    if (change == ChangeDone) cv::documentUI().setWindowEdited(*this, true);
}

bool CV4Document::isDocumentEdited() const
{
    return m_edited || (m_settings && m_settings->changed());
}

// ---- failed store writes

void CV4Document::beginWriteBatch()
{
    if (m_batchDepth++ == 0) m_batchFailed = false;
}

void CV4Document::endWriteBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0 || !m_batchFailed) return;
    m_batchFailed = false;
    // The cache already holds what the store refused; show what the file will hold.
    createCache();
    CV4Alert::warn(cv::localizedString(QStringLiteral("Document Write Failed")));
}

void CV4Document::storeWrite(bool ok)
{
    if (ok) return;
    qCWarning(lcDocument) << "store write failed";
    m_batchFailed = true;
    if (m_batchDepth == 0) {
        // A lone edit is its own batch.
        ++m_batchDepth;
        endWriteBatch();
    }
}

// ---- commits and notifications

void CV4Document::commitSettings()
{
    storeWrite(m_dataModel->putSettingsData(cv::KeyedArchiver::archivedDataWithRootObject(m_settings)));
}

void CV4Document::commitAccountModel()
{
    storeWrite(m_dataModel->putAccountData(cv::KeyedArchiver::archivedDataWithRootObject(m_accountModel)));
    postNotification(AccountChanged);
}

void CV4Document::commitActualModel()
{
    storeWrite(m_dataModel->putActualData(cv::KeyedArchiver::archivedDataWithRootObject(m_actualModel)));
    postNotification(ActualChanged);
}

void CV4Document::commitCurrencyList()
{
    storeWrite(m_dataModel->putCurrencyData(archiveList(m_currencyList)));
    postNotification(CurrencyChanged);
}

void CV4Document::commitBrandList()
{
    storeWrite(m_dataModel->putBrandData(archiveList(m_brandList)));
    postNotification(BrandChanged);
}

void CV4Document::commitGroupList()
{
    storeWrite(m_dataModel->putGroupData(archiveList(m_groupList)));
}

void CV4Document::commitInfoRows()
{
    commitSettings();
    commitAccountModel();
    commitActualModel();
    commitCurrencyList();
    commitBrandList();
    commitGroupList();
}

void CV4Document::postNotification(int code)
{
    if (code >= 0 && code < 32) m_cacheStatus |= 1u << code;
    switch (code) {
    case AccountChanged: Q_EMIT accountChanged(); break;
    case ActualChanged: Q_EMIT actualChanged(); break;
    case CurrencyChanged: Q_EMIT currencyChanged(); break;
    case BrandChanged: Q_EMIT brandChanged(); break;
    default: break;
    }
}

void CV4Document::postBusy()
{
    Q_EMIT enterLongOp();
}

void CV4Document::postNoBusy()
{
    Q_EMIT exitLongOp();
}
