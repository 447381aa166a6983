// New documents from templates, opening, saving and the change count.
#include "document/Book.h"
#include "document/BookPrivate.h"
#include "document/BookBackup.h"
#include "document/BookUI.h"
#include "document/store/DocumentContainer.h"
#include "document/store/SQLDatabase3.h"
#include "model/ExtraInterfaces.h"
#include "platform/Alert.h"
#include "platform/KeyedArchiver.h"
#include "platform/Localization.h"
#include "platform/Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <functional>
#include <map>
#include <tuple>

#include <sys/stat.h>

namespace cv {

namespace {

int g_templateIndex = 0;

// "code name prefix digits"; none unless all four words are there.
CurrencyPtr currencyFromText(const QString &text)
{
    const QStringList words = text.split(QLatin1Char(' '));
    if (words.size() != 4 || words[0].isEmpty() || words[1].isEmpty()) return nullptr;
    bool ok = false;
    const int fraction = words[3].toInt(&ok);
    if (!ok || fraction < 0 || fraction > 6) return nullptr;
    return Currency::currencyWith(words[1], words[0], words[2], fraction);
}

} // namespace

const QString Book::kTypeV2 = QStringLiteral("Corvane Document V2");
const QString Book::kTypeV1 = QStringLiteral("Corvane Document");
const QString Book::kTypeXML = QStringLiteral("Corvane XML Document");

cv::DocumentType Book::documentType(const QString &type)
{
    if (type == kTypeV2) return cv::DocumentType::Current;
    if (type == kTypeV1) return cv::DocumentType::Version1;
    if (type == kTypeXML) return cv::DocumentType::XML;
    return cv::DocumentType::None;
}

QString Book::typeName(cv::DocumentType type)
{
    switch (type) {
    case cv::DocumentType::Current: return kTypeV2;
    case cv::DocumentType::Version1: return kTypeV1;
    case cv::DocumentType::XML: return kTypeXML;
    case cv::DocumentType::None: break;
    }
    return QString();
}

QString Book::typeForExtension(const QString &extension)
{
    return typeName(cv::documentTypeForExtension(extension));
}

void Book::setTemplateIndex(int index)
{
    g_templateIndex = index;
}

int Book::templateIndex()
{
    return g_templateIndex;
}

void Book::setPrintSettings(PrintSettingsPtr info)
{
    m_d->m_printSettings = std::move(info);
    updateChangeCount(ChangeDone);
}

// ---------------------------------------------------------------- new

void Book::createDefault()
{
    const QString name = g_templateIndex == 0 ? QStringLiteral("default")
                                              : cv::formatString(QStringLiteral("template-%d"), {g_templateIndex});
    createFromTemplate(name);
    g_templateIndex = 0;
}

void Book::Private::addDefaultCurrencyIfNone()
{
    if (!m_currencyList.empty()) return;
    const QString text = cv::localizedString(QStringLiteral("Default Currency"));
    CurrencyPtr currency = currencyFromText(text);
    if (!currency) {
        qCWarning(lcDocument) << "Default Currency text unreadable, using yen:" << text;
        currency = Currency::currencyWith(QStringLiteral("Yen"), QStringLiteral("JPY"), QStringLiteral("¥"), 0);
    }
    currency->setRate(1.0);
    if (!m_document.addCurrency(currency)) qCWarning(lcDocument) << "no ident left for the default currency";
}

void Book::createFromTemplate(const QString &name)
{
    m_d->m_settings = std::make_shared<Settings>();
    m_d->watchSettings();
    m_d->m_accountTrees = std::make_shared<AccountTrees>();
    m_d->m_categoryTrees = std::make_shared<CategoryTrees>();
    m_d->m_currencyList.clear();
    m_d->m_securityList.clear();
    m_d->m_groupList.clear();
    clearLookups();

    bool stored = m_d->m_store->create();
    if (!stored) qCWarning(lcDocument) << "new document: the database could not be made";
    // The template's rows and the first commits go in as one transaction.
    stored = m_d->m_store->beginTransaction() && stored;
    m_d->m_accountTrees->setDefault();
    m_d->m_categoryTrees->setDefault();
    const QString folder = cv::isJapanese() ? QStringLiteral("ja") : QStringLiteral("en");
    const QString resource = QStringLiteral(":/templates/%1/%2.cvxf").arg(folder, name);
    if (QFile::exists(resource)) {
        bool isTemplate = false;
        if (!import(resource, &isTemplate)) qCWarning(lcDocument) << "template" << resource << "not fully read";
    }
    m_d->m_accountTrees->setSystemItems();
    m_d->m_categoryTrees->setSystemItems();
    m_d->addDefaultCurrencyIfNone();
    if (const CurrencyPtr def = defaultCurrency()) {
        if (m_d->m_accountTrees->asset()) m_d->m_accountTrees->asset()->fixDefaultCurrency(def->ident());
        if (m_d->m_accountTrees->debt()) m_d->m_accountTrees->debt()->fixDefaultCurrency(def->ident());
    }
    commitInfoRows();
    stored = m_d->m_store->commitTransaction() && stored;
    if (!stored) {
        // A store without the book's rows (a full working disk) would save as
        // a file nobody can open: closed, every later write and save fails.
        qCWarning(lcDocument) << "new document: its rows could not be stored";
        m_d->m_store->close();
        Alert::warn(cv::localizedString(QStringLiteral("Document Write Failed")));
    }
    createCache();
    m_d->m_settings->clearChanged();
    m_d->m_store->setChanged(false);
}

// ---------------------------------------------------------------- open

bool Book::initWithContentsOfFile(const QString &path, const QString &type)
{
    m_d->m_fileName = path;
    m_d->m_fileType = type;
    if (!readFromFile(path, type)) {
        m_d->m_fileName.clear();
        return false;
    }
    if (const CurrencyPtr def = defaultCurrency()) {
        if (m_d->m_accountTrees->asset()) m_d->m_accountTrees->asset()->fixDefaultCurrency(def->ident());
        if (m_d->m_accountTrees->debt()) m_d->m_accountTrees->debt()->fixDefaultCurrency(def->ident());
    }
    const bool wasUpgraded = m_d->m_upgraded;
    if (m_d->m_upgraded || m_d->m_fileType == kTypeV1) {
        m_d->m_fileType = kTypeV2;
        if (!m_d->m_fileName.isEmpty()) {
            const QString current = cv::currentTypePathFor(m_d->m_fileName);
            // Never let the first Save overwrite a newer book of that name;
            // an upgraded book already of the current type is that book.
            if (current != m_d->m_fileName && QFileInfo::exists(current)) {
                m_d->m_suggestedFileName = current;
                m_d->m_fileName.clear();
            } else {
                m_d->m_fileName = current;
            }
        }
    }
    if (wasUpgraded) {
        m_d->m_upgraded = false;
        QStringList names;
        if (const NodePtr asset = m_d->m_accountTrees->asset()) {
            for (const NodePtr &child : asset->children()) {
                if (child && child->kind() == cv::NodeKind::Investment &&
                    investmentAccountHoldsSecurityInOtherCurrency(child))
                    names << child->name();
            }
        }
        if (!names.isEmpty())
            Alert::warn(cv::formatString(cv::localizedString(QStringLiteral("UpgradeTradeCurrencyWarning")),
                                         {names.join(QStringLiteral(", "))}));
    }
    return true;
}

// The archived models of an opened database. Settings and the account,
// category and currency rows must be there and readable; the security and
// grouping rows may be missing but must be readable when present.
bool Book::Private::readInfoRows()
{
    const QByteArray settingsData = m_store->getSettingsData();
    qCInfo(lcDocument, "settings: %d", settingsData.isNull() ? 0 : 1);
    if (settingsData.isNull()) return false;
    auto settings = cv::KeyedUnarchiver::unarchiveObjectOfClass<Settings>(settingsData);
    if (!settings) {
        qCWarning(lcDocument) << "info row" << int(BookStore::InfoSettings) << "unreadable";
        return false;
    }

    const QByteArray printData = m_store->getPrintSettings();
    PrintSettingsPtr printSettings;
    if (!printData.isNull()) {
        printSettings = cv::KeyedUnarchiver::unarchiveObjectOfClass<PrintSettings>(printData);
        // Another program's print record: ours stays unset and the row untouched.
        if (!printSettings) qCInfo(lcDocument) << "print settings of another kind ignored";
    }

    auto failed = [](int row) {
        qCWarning(lcDocument) << "info row" << row << "missing or unreadable";
        return false;
    };
    auto accounts = cv::KeyedUnarchiver::unarchiveObjectOfClass<AccountTrees>(m_store->getAccountData());
    if (!accounts) return failed(BookStore::InfoAccount);
    auto categories = cv::KeyedUnarchiver::unarchiveObjectOfClass<CategoryTrees>(m_store->getCategoryData());
    if (!categories) return failed(BookStore::InfoCategory);
    auto currencies = cv::listFromArchive<Currency>(m_store->getCurrencyData());
    if (!currencies) return failed(BookStore::InfoCurrency);
    SecurityList securities;
    if (const QByteArray data = m_store->getSecurityData(); !data.isNull()) {
        auto list = cv::listFromArchive<Security>(data);
        if (!list) return failed(BookStore::InfoSecurity);
        securities = std::move(*list);
    }
    GroupList groups;
    if (const QByteArray data = m_store->getGroupData(); !data.isNull()) {
        auto list = cv::listFromArchive<Grouping>(data);
        if (!list) return failed(BookStore::InfoGroup);
        groups = std::move(*list);
    }

    // A schedule that does not decode would open as none and the loan lose
    // its repayments at its next rewrite.
    const std::optional<QList<int>> loans = m_store->loanIdents();
    if (!loans) return false;
    for (const int loan : *loans) {
        const QByteArray data = m_store->getLoanData(loan);
        if (!data.isNull() && !cv::listFromArchive<LoanPayment>(data)) {
            qCWarning(lcDocument) << "loan row" << loan << "unreadable";
            return false;
        }
    }

    m_settings = std::move(settings);
    watchSettings();
    m_printSettings = std::move(printSettings);
    m_document.setAccountTrees(std::move(accounts));
    m_document.setCategoryTrees(std::move(categories));
    m_document.setCurrencyList(std::move(*currencies));
    m_document.setSecurityList(std::move(securities));
    m_document.setGroupList(std::move(groups));
    // The trees as stored: a commit that only renames reports values.
    m_accountShape = accountShape();
    m_categoryShape = categoryShape();
    return true;
}

namespace {

// The view state the windows keep in tree nodes (outline expansion, report
// ticks) is stored only with the next save: a tree read back keeps it, and
// it alone never has a tree read back.
struct ViewState {
    int status;
    bool collapsed;
};
// Holdings and cash parts have ident 0: their account and security tell them apart.
using NodeKey = std::tuple<int, int, int, int>;

NodeKey keyOf(const Node &node)
{
    const Node *parent = node.parent();
    const int parentIdent = node.ident() == 0 && parent ? parent->ident() : 0;
    return {node.ident(), cv::raw(node.kind()), parentIdent, holdingSecurity(node)};
}

void forEachNode(const NodePtr &node, const std::function<void(Node &)> &visit)
{
    if (!node) return;
    visit(*node);
    for (const NodePtr &child : node->children()) forEachNode(child, visit);
}

void keepViewState(std::initializer_list<NodePtr> shown, std::initializer_list<NodePtr> read)
{
    std::map<NodeKey, ViewState> states;
    for (const NodePtr &root : shown)
        forEachNode(root, [&](Node &n) { states.emplace(keyOf(n), ViewState{n.status(), n.collapsed()}); });
    for (const NodePtr &root : read) {
        forEachNode(root, [&](Node &n) {
            const auto it = states.find(keyOf(n));
            if (it == states.end()) return;
            n.setStatus(it->second.status);
            n.setCollapsed(it->second.collapsed);
        });
    }
}

} // namespace

Book::Private::ReadBack Book::Private::readBackInfoRows(std::vector<std::shared_ptr<const void>> &retired)
{
    if (!m_store->isOpen()) return ReadBack::Same;
    if (!m_store->isReadable()) {
        qCWarning(lcDocument) << "the book could not be read again from its store";
        return ReadBack::Unreadable;
    }
    bool replaced = false;
    // Lists first: the trees' fix-ups read the default currency.
    const auto readList = [&](auto &shown, const QByteArray &data, auto set) {
        using Element = typename std::decay_t<decltype(shown)>::value_type::element_type;
        // A missing security or grouping row reads as an empty list, as at the open.
        auto stored = data.isNull() ? std::optional<std::vector<std::shared_ptr<Element>>>(std::in_place)
                                    : cv::listFromArchive<Element>(data);
        if (!stored || archiveList(*stored) == archiveList(shown)) return;
        for (const auto &element : shown) retired.push_back(element);
        (m_document.*set)(std::move(*stored));
        replaced = true;
    };
    // Every book has its currency row; a store made without its rows has nothing to read back.
    const QByteArray currencies = m_store->getCurrencyData();
    if (currencies.isNull()) return ReadBack::Same;
    readList(m_currencyList, currencies, &Book::setCurrencyList);
    readList(m_securityList, m_store->getSecurityData(), &Book::setSecurityList);
    readList(m_groupList, m_store->getGroupData(), &Book::setGroupList);

    // What the open mends, on both sides: a tree shown differs only in what the store lacks.
    const CurrencyPtr def = m_document.defaultCurrency();
    const auto mendAccounts = [&](const AccountTrees &trees) {
        if (trees.asset()) m_document.fixHoldingSecurityIds(trees.asset());
        for (const NodePtr &root : {trees.asset(), trees.debt()})
            if (root && def) root->fixDefaultCurrency(def->ident());
    };
    auto accounts = cv::KeyedUnarchiver::unarchiveObjectOfClass<AccountTrees>(m_store->getAccountData());
    if (accounts) {
        const AccountTrees &shown = *m_accountTrees;
        mendAccounts(shown);
        mendAccounts(*accounts);
        keepViewState({shown.asset(), shown.debt(), shown.summary()},
                      {accounts->asset(), accounts->debt(), accounts->summary()});
        if (KeyedArchiver::archivedDataWithRootObject(accounts) !=
            KeyedArchiver::archivedDataWithRootObject(m_accountTrees)) {
            retired.push_back(m_accountTrees);
            m_document.setAccountTrees(std::move(accounts));
            replaced = true;
        }
    }
    auto categories = cv::KeyedUnarchiver::unarchiveObjectOfClass<CategoryTrees>(m_store->getCategoryData());
    if (categories) {
        CategoryTrees &shown = *m_categoryTrees;
        shown.setSystemItems();
        categories->setSystemItems();
        keepViewState({shown.moneyFlow(), shown.income(), shown.expense(), shown.summary()},
                      {categories->moneyFlow(), categories->income(), categories->expense(), categories->summary()});
        if (KeyedArchiver::archivedDataWithRootObject(categories) !=
            KeyedArchiver::archivedDataWithRootObject(m_categoryTrees)) {
            retired.push_back(m_categoryTrees);
            m_document.setCategoryTrees(std::move(categories));
            replaced = true;
        }
    }
    if (!replaced) return ReadBack::Same;
    qCWarning(lcDocument) << "the book was read again from its store";
    m_document.clearLookups();
    // Announced as a reload: the trees as stored.
    m_accountShape = accountShape();
    m_categoryShape = categoryShape();
    return ReadBack::Replaced;
}

Book::Private::ReadBack Book::Private::readBackAgain()
{
    std::vector<std::shared_ptr<const void>> retired;
    const ReadBack read = readBackInfoRows(retired);
    if (read == ReadBack::Unreadable) return read;
    m_readBackPending = false;
    // The cache was left as the failed edit left it.
    m_document.createCache();
    announceReload();
    return read;
}

bool Book::readFromFile(const QString &path, const QString &type)
{
    m_d->m_readCancelled = false;
    m_d->m_failure.clear();
    const cv::DocumentType docType = documentType(type);
    BookUI &ui = cv::documentUI();
    ui.beginBusy(cv::formatString(cv::localizedString(QStringLiteral("Loading %@")), {QFileInfo(path).fileName()}));

    bool ok = false;
    if (docType == cv::DocumentType::XML) {
        if (m_d->m_store->create()) {
            bool isTemplate = false;
            m_d->m_store->beginTransaction();
            ok = import(path, &isTemplate, &m_d->m_failure);
            if (ok) {
                m_d->addDefaultCurrencyIfNone();
                commitInfoRows();
            }
            if (!m_d->m_store->commitTransaction()) ok = false;
            if (ok && isTemplate) {
                // A template opens as a new untitled book.
                m_d->m_fileName.clear();
                m_d->m_fileType = kTypeV2;
            }
        }
        if (!ok) {
            m_d->m_store->close();
            if (m_d->m_failure.isEmpty()) m_d->m_failure = cv::localizedString(QStringLiteral("Open-Store-Failed"));
        }
    } else if (docType == cv::DocumentType::Version1 || docType == cv::DocumentType::Current) {
        bool upgraded = false;
        ok = m_d->m_store->open(path, &upgraded);
        m_d->m_upgraded = upgraded;
        m_d->m_failure = m_d->m_store->failure();
        if (ok && !m_d->readInfoRows()) {
            ok = false;
            m_d->m_store->close();
            m_d->m_failure = cv::localizedString(QStringLiteral("Open-Damaged"));
        }
    }
    ui.endBusy();
    if (!ok) return false;

    if (m_d->m_settings->hasPassword()) {
        int code = 0;
        for (int tries = 0; tries < 3; ++tries) {
            code = ui.askPassword(*m_d->m_settings, QFileInfo(path).fileName(), tries > 0);
            if (code != 0) break;
            ui.beep();
        }
        if (code < 1) {
            m_d->m_readCancelled = code < 0;
            m_d->m_store->close();
            return false;
        }
        // Older versions kept the password itself in the row; the next save
        // must carry only the verifier.
        commitSettings();
    }

    if (m_d->m_accountTrees->asset()) fixHoldingSecurityIds(m_d->m_accountTrees->asset());
    m_d->m_categoryTrees->setSystemItems();
    createCache();
    m_d->m_store->setChanged(false);
    m_d->m_settings->clearChanged();

    if (isBackupFile(path)) {
        // Saving asks for a new place instead of writing into the backups.
        m_d->m_fileName.clear();
    } else {
        m_d->m_backupStatus = 1;
    }
    return true;
}

void Book::fixHoldingSecurityIds(const NodePtr &node)
{
    if (!node) return;
    for (const NodePtr &child : node->children()) {
        if (!child) continue;
        if (child->kind() == cv::NodeKind::Holding || child->kind() == cv::NodeKind::CashPart)
            child->setIdent(0);
        else
            fixHoldingSecurityIds(child);
    }
}

bool Book::investmentAccountHoldsSecurityInOtherCurrency(const NodePtr &account)
{
    if (!account) return false;
    const auto &children = account->children();
    for (size_t i = children.size(); i > 1; --i) {
        const NodePtr &child = children[i - 1];
        if (!child) continue;
        // The holding names its security in its record: the open has set
        // every holding's ident to 0.
        const auto *holding = dynamic_cast<const SecurityExtra *>(child->extra().get());
        const SecurityPtr security = holding ? findSecurity(holding->security()) : nullptr;
        if (security && security->currency() != account->currency()) return true;
    }
    return false;
}

// A compaction writes a new copy of the store and journals the old one: the
// room is asked first, so that a full disk is told before a long wait.
void Book::compactDB()
{
    const QString title = cv::localizedString(QStringLiteral("Compact-Failed"));
    if (const QString why = cv::DocumentContainer::noRoomToCompact(m_d->m_store->workingPath(), m_d->m_fileName);
        !why.isEmpty()) {
        Alert::alert(title, why);
        return;
    }
    m_d->takeStoreCheck();
    postBusy();
    const bool compacted = m_d->m_store->vacuum();
    postNoBusy();
    // SQLite undoes a compaction that fails: the book is as it was.
    if (!compacted) Alert::alert(title, cv::localizedString(QStringLiteral("Compact-Failed-Detail")));
}

// ---------------------------------------------------------------- store check

void Book::checkStoreInBackground()
{
    m_d->m_storeCheckAgain = Private::StoreCheckAgain::No;
    m_d->startStoreCheck();
}

void Book::Private::startStoreCheck()
{
    if (m_storeCheck || !m_store->isOpen()) return;
    // Over a log of the book's writes the check reads the store as it was:
    // no edit stops it, so it answers in its own time however the book is used.
    // A log that could not be folded still stands, and is read over as it is.
    if (!m_storeCheckOnSnapshot) {
        m_storeCheckOnSnapshot = cv::StoreCheck::snapshotsAllowed() && m_store->database()->setSnapshotReads(true);
        // Folding the log may grow the store by all it holds: half the margin the
        // open asked keeps that within the room.
        if (m_storeCheckOnSnapshot)
            m_storeLogBound = cv::DocumentContainer::marginFor(QFileInfo(m_store->workingPath()).size()) / 2;
    }
    const int generation = ++m_storeCheckGeneration;
    m_storeCheck = std::make_unique<cv::StoreCheck>(m_store->workingPath(), [this, generation] {
        QMetaObject::invokeMethod(
            &m_document,
            [this, generation] {
                // A check that gave way answers to nobody.
                if (generation == m_storeCheckGeneration) takeStoreCheck();
            },
            Qt::QueuedConnection);
    });
    if (!m_storeCheckOnSnapshot) m_store->database()->setBusyYield(m_storeCheck->writerYield());
}

namespace {

qint64 bytesOnDisk(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return 0;
    return std::max<qint64>(st.st_size, qint64(st.st_blocks) * 512);
}

} // namespace

bool Book::Private::watchStoreLog(bool editFailed)
{
    if (!m_storeCheckOnSnapshot || m_takingStoreCheck || m_store->database()->transactionDepth() > 0) return false;
    if (!editFailed && bytesOnDisk(m_store->workingPath() + QStringLiteral("-wal")) <= m_storeLogBound) return false;
    const char *cause = editFailed ? "an edit beside it failed" : "it reached its bound";
    if (m_storeCheck && !m_storeCheck->finishWithin(std::chrono::milliseconds(0))) {
        if (m_storeCheckAgain == StoreCheckAgain::OverStandingLog) {
            // The fold failed just before this check began: it is tried again
            // once the check answers, or at the save.
            return false;
        }
        if (m_storeCheckAgain == StoreCheckAgain::OverFreshLog) {
            // Restarted at every such edit, a check would never answer while
            // the user imports: the second time it is waited for, as a save
            // waits, and taking its answer folds the log.
            qCInfo(lcDocument) << "the store's log is folded once the check answers:" << cause;
            return true;
        }
        qCInfo(lcDocument) << "the store's log is folded now, the check begun again:" << cause;
        m_storeCheck.reset();
        m_store->database()->setBusyYield(nullptr);
        // Whatever the fold does, the check begins again at once: a save must
        // still hear of damage. Over a fresh log it answers in its own time
        // however the book is used; a log the fold left reads on as it is.
        const bool folded = m_store->database()->setSnapshotReads(false);
        if (folded) m_storeCheckOnSnapshot = false;
        startStoreCheck();
        m_storeCheckAgain = folded ? StoreCheckAgain::OverFreshLog : StoreCheckAgain::OverStandingLog;
        return false;
    }
    qCInfo(lcDocument) << "the store's log is folded now:" << cause;
    takeStoreCheck();
    // A fold that fails leaves log and store as they are; the next edit past
    // the bound, or the save, tries again.
    if (m_storeCheckOnSnapshot && m_store->database()->setSnapshotReads(false)) m_storeCheckOnSnapshot = false;
    return false;
}

bool Book::storeCheckPending() const
{
    return m_d->m_storeCheck != nullptr;
}

void Book::Private::takeStoreCheck()
{
    // A wait below runs events, among them this check's own call.
    if (!m_storeCheck || m_takingStoreCheck) return;
    m_takingStoreCheck = true;
    constexpr auto kFrame = std::chrono::milliseconds(16);
    if (!m_storeCheck->finishWithin(std::chrono::milliseconds(0))) {
        const QString name = QFileInfo(m_fileName.isEmpty() ? m_suggestedFileName : m_fileName).fileName();
        cv::documentUI().beginBusy(cv::formatString(cv::localizedString(QStringLiteral("Store-Check-Wait")), {name}));
        m_document.postBusy();
        while (!m_storeCheck->finishWithin(kFrame)) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_document.postNoBusy();
        cv::documentUI().endBusy();
    }
    const cv::StoreCheck::Answer answer = m_storeCheck->answer();
    m_storeCheck.reset();
    m_store->database()->setBusyYield(nullptr);
    // The file alone must hold the store again before it is packed; a save refuses while it does not.
    if (m_storeCheckOnSnapshot && m_store->database()->setSnapshotReads(false)) m_storeCheckOnSnapshot = false;
    m_takingStoreCheck = false;
    if (!answer || *answer == QStringList{QStringLiteral("ok")}) return;
    m_storeDamaged = true;
    qCWarning(lcDocument).noquote() << "store check of" << m_fileName
                                    << "found damage:" << answer->join(QStringLiteral("; "));
    const QString name = QFileInfo(m_fileName.isEmpty() ? m_suggestedFileName : m_fileName).fileName();
    Alert::alert(cv::formatString(cv::localizedString(QStringLiteral("Store-Damaged")), {name}),
                 cv::localizedString(QStringLiteral("Store-Damaged-Detail")));
}

bool Book::saveNeedsDamageConfirmation()
{
    m_d->takeStoreCheck();
    return m_d->m_storeDamaged && !m_d->m_storeDamageAccepted;
}

void Book::acceptStoreDamage()
{
    m_d->m_storeDamageAccepted = true;
}

// ---------------------------------------------------------------- save

namespace {

// Folders whose failing backups the user has heard of in this run.
QSet<QString> g_toldBackupFolders;

} // namespace

// Every later save would fail the same way: once a run is enough.
void Book::tellThatBackupsFail()
{
    const QString folder = cv::backup::folderPath();
    if (g_toldBackupFolders.contains(folder)) return;
    g_toldBackupFolders.insert(folder);
    // A file or a dangling link where the folder goes: no folder to fill.
    const QString why =
        QFileInfo(folder).isDir() ? QStringLiteral("Backup-Failed-Detail") : QStringLiteral("Backup-Failed-No-Folder");
    Alert::alert(cv::localizedString(QStringLiteral("Backup-Failed")),
                 cv::formatString(cv::localizedString(why), {QDir::toNativeSeparators(folder)}));
}

bool Book::writeToFile(const QString &path, const QString &type, std::optional<unsigned> mode)
{
    m_d->m_failure.clear();
    const QString extension = cv::extensionForDocumentType(cv::savedDocumentType(documentType(type)));
    const bool ok = writeToFileWorker(path, extension, mode);
    if (ok && m_d->m_backupStatus == 1 && !path.isEmpty()) {
        if (manageBackup(path))
            m_d->m_backupStatus = 0;
        else
            tellThatBackupsFail();
    }
    return ok;
}

bool Book::writeToFileWorker(const QString &path, const QString &extension, std::optional<unsigned> mode)
{
    const cv::DocumentType docType = cv::documentTypeForExtension(extension);
    if (docType == cv::DocumentType::XML) {
        if (!export_(path, mode)) return false;
        // The settings just written must still reach a later save in the database form.
        if (m_d->m_settings->changed()) {
            commitSettings();
            m_d->m_settings->clearChanged();
        }
        updateChangeCount(ChangeCleared);
        return true;
    }
    if (docType != cv::DocumentType::Current) return false;

    // The check reading beside a write log ends first: the save folds the log.
    m_d->takeStoreCheck();
    Q_EMIT aboutToSave();
    if (m_d->m_printSettings) {
        if (!m_d->m_store->putPrintSettings(cv::KeyedArchiver::archivedDataWithRootObject(m_d->m_printSettings)))
            qCWarning(lcDocument) << "print settings not stored";
    }
    if (m_d->m_settings->changed()) {
        // The window's split position travels in the settings, stored on aboutToSave.
        if (!commitSettings()) {
            updateChangeCount(ChangeDone);
            m_d->m_failure = cv::localizedString(QStringLiteral("Open-Store-Failed"));
            return false;
        }
        m_d->m_settings->clearChanged();
    }
    const bool ok = m_d->m_store->save(path, mode);
    if (!ok) m_d->m_failure = m_d->m_store->failure();
    // A log the save could not fold stays, and stays watched.
    m_d->m_storeCheckOnSnapshot = cv::SQLDatabase3::headerSaysLog(m_d->m_store->workingPath());
    // A failed save leaves the book marked as edited: nothing in it is on disk yet.
    updateChangeCount(ok ? ChangeCleared : ChangeDone);
    return ok;
}

} // namespace cv
