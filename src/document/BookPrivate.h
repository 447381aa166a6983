#pragma once
// The data members and internal helpers of Book, out of its public
// header so that a window including the document does not recompile with
// every internal change. Only the document's own files (and tests of its
// builders) include this.

#include "document/AmountText.h"
#include "document/store/BookStore.h"
#include "document/Book.h"
#include "document/PrintSettings.h"
#include "document/store/StoreCheck.h"
#include "model/BalanceCache.h"
#include "model/ExtraInterfaces.h"
#include "platform/IntHash.h"
#include "platform/KeyedArchiver.h"

#include <QUndoStack>

#include <functional>
#include <optional>
#include <unordered_map>
#include <unordered_set>

// Members a const document still changes are memos: the lookups by ident and
// the lazily accumulated balances. They change no answer.
namespace cv {

struct Book::Private {
    explicit Private(Book &document);

    // ---- the edit scope's work (EditScope.h; Book.cpp)
    void beginEdit(bool transaction = true);
    void endEdit();
    void failEdit();
    void setEdited(bool edited);
    // Announces isDocumentEdited (the mark Quit asks about) when it differs
    // from what was announced last; outside an edit only.
    void announceEdited();
    // The settings report their first change to announceEdited.
    void watchSettings();
    // A refused store write fails the edit, which rolls back at its end.
    void storeWrite(bool ok);
    // After a failed edit the trees and lists in memory may hold what the
    // store never took (the sheets change nodes before any edit begins):
    // each that differs from its stored row is read from the store again,
    // as the open reads it. The objects it replaced are handed to `retired`,
    // so that no window meets a freed node before it hears of the reload.
    enum class ReadBack { Same, Replaced, Unreadable };
    ReadBack readBackInfoRows(std::vector<std::shared_ptr<const void>> &retired);
    // A read-back the store did not answer is tried again; once it answers,
    // the cache is rebuilt and a reload announced.
    ReadBack readBackAgain();
    // One change, marked as a reload, on every signal a window reads.
    void announceReload();
    // Tells the user that the edit was not made, and why where that helps.
    void warnNotWritten();
    // A tree's shape: each node in preorder with its number of children (a
    // missing root: none, -1). Held weakly, so a node gone since never
    // compares equal to one made later at its address.
    using TreeShape = std::vector<std::pair<std::weak_ptr<Node>, int>>;
    static TreeShape shapeOf(std::initializer_list<NodePtr> roots);
    TreeShape accountShape() const;
    TreeShape categoryShape() const;
    // A committed tree (AccountChanged or CategoryChanged) changed only values
    // when its shape is the one last announced.
    void noteTreeCommit(Notification code);

    // Prices or rates removed and put as one edit; `record` notes what changed once all went.
    using DatedWrite = bool (BookStore::*)(const DatedPricePtr &);
    bool writeDated(const PriceList &removals, const PriceList &puts, DatedWrite remove, DatedWrite put,
                    const std::function<void()> &record);

    // ---- write path (Book_Store.cpp)
    void updateEntry(cv::EntryKind kind, const EntryPtr &entry, const EntryPtr &old, bool commit);

    // ---- lifecycle (Book_Lifecycle.cpp)
    bool readInfoRows();
    void addDefaultCurrencyIfNone();

    // ---- balance cache (Book_Cache.cpp): the steps of a rebuild and of one edit
    void calcCache(const NodePtr &node, bool expense);
    void calcOneCache(const NodePtr &node, bool expense);
    void addToCache(int category);
    void calcInvestmentCache(const NodePtr &node);
    void rebuildSeries();
    void calcTransferCache(const NodePtr &transferRoot);
    void calcCache(const NodePtr &category, const Entry &entry, bool expense, bool remove);
    // The accounts and series a rebuild found once, for addCategoryRows.
    struct RowSeries;
    // calcCache(category, entry, expense, false) for every row of the category.
    void addCategoryRows(const NodePtr &category, BalanceCacheRowRange rows, bool expense, RowSeries &found);
    void calcTransferCache(const NodePtr &item, const Entry &entry, bool remove);
    void calcCache(const NodePtr &holding, const Trade &trade, const SecurityPtr &security, bool remove);
    void calcCurrencyCache();
    void clearCurrencyCache();
    void calcSecurityCache();
    void removeSecurityCache();
    void clearGroupCache(const NodePtr &node);
    void addGroupCache(const NodePtr &node);
    void addFolderEntries(const NodePtr &folder);
    double categoryValue(double amount, const Node *account, const QDate &date) const;
    void treeRecalcMonthlyCache(const NodePtr &node, int firstDay);
    // A daily addition to an account-side series, remembered for accumulation at the edit's end.
    void addDaily(double value, const NodePtr &node, const QDate &date);
    void noteCategory(const Node &node, const QDate &date);
    const BalanceCache &balanceSeries(const NodePtr &node) const;
    NodePtr cashPartOf(const NodePtr &account) const;
    bool isCashSide(const NodePtr &account) const;
    NodePtr holdingOf(const NodePtr &account, int security) const;
    void addMonthly(double value, const NodePtr &node, const QDate &date);
    double convertedValue(double value, int fromCurrency, const CurrencyPtr &target, const QDate &date) const;
    double nodeValue(const NodePtr &node, const QDate &date, const CurrencyPtr &currency, bool raw) const;
    double summaryValue(const NodePtr &node, const std::function<double(const NodePtr &)> &value) const;
    void accumulateNode(const NodePtr &node, std::unordered_set<const Node *> &visited);
    int fiscalDay() const;

    Book &m_document; // the document this is the private part of
    std::unique_ptr<BookStore> m_store;
    cv::BookReads m_reads{*m_store};
    QUndoStack *m_undoStack = nullptr; // the windows' undo history; a child of the document
    SettingsPtr m_settings;
    AccountTreesPtr m_accountTrees;
    CategoryTreesPtr m_categoryTrees;
    CurrencyList m_currencyList;
    SecurityList m_securityList;
    GroupList m_groupList;
    NodePtr m_autoCashIn;
    NodePtr m_autoCashOut;
    mutable BalanceCache m_cache; // balances accumulate lazily inside an edit, even for const readers
    quint32 m_cacheStatus = 0;
    bool m_updateAccountOnly = false;
    bool m_edited = false;
    bool m_announcedEdited = false;
    std::weak_ptr<Settings> m_watchedSettings;
    bool m_unaccumulated = false; // series got daily additions outside an edit (a rebuild under way)
    IntHash<Node> m_accountCache;
    IntHash<Security> m_securityCache;
    IntHash<Node> m_incomeCache;
    IntHash<Node> m_expenseCache;
    int m_currencyCacheIdent = 0;
    std::weak_ptr<Currency> m_currencyCacheRef;
    bool m_currencyCacheValid = false;
    cv::AmountText m_amountText;
    // The open edit scope; depth 0 when none is open.
    struct Edit {
        int depth = 0;              // nested scopes; the outermost commits
        bool failed = false;        // a store write failed or the edit was failed
        bool inTransaction = false; // the outermost scope opened a store transaction
        bool editedAtStart = false; // the change mark when the edit began
        cv::ChangeSet changes;      // what the edit changed so far
        // Series with daily additions, each kept alive until accumulated.
        std::unordered_map<const Node *, NodePtr> touched;
        // The shapes of trees committed in the edit, kept once it is announced.
        std::optional<TreeShape> accountShape;
        std::optional<TreeShape> categoryShape;
    };
    Edit m_edit;
    bool m_lastEditFailed = false;  // the last outermost edit was rolled back
    bool m_readBackPending = false; // a failed edit's read-back found the store unreadable
    TreeShape m_accountShape;       // the account tree as last announced; empty when not known
    TreeShape m_categoryShape;      // the category tree as last announced; empty when not known
    PrintSettingsPtr m_printSettings;
    QString m_fileName;
    QString m_fileType;
    QString m_suggestedFileName;
    int m_backupStatus = 0;
    bool m_upgraded = false;
    bool m_readCancelled = false;
    QString m_failure; // why the last open or save failed, for the user
    // The store check after the open: its answer is taken once, and a wait
    // for it shows the busy window.
    void takeStoreCheck();
    void startStoreCheck();
    // After an edit: a log grown past its bound, or an edit that failed
    // beside it, has the log folded; a check still reading gives way and
    // begins again. True when, having begun again once already, the check is
    // to be waited for (`takeStoreCheck`) once the edit has ended.
    bool watchStoreLog(bool editFailed);
    // Whether the check under way gave way once, and over what it began again.
    enum class StoreCheckAgain { No, OverFreshLog, OverStandingLog };
    StoreCheckAgain m_storeCheckAgain = StoreCheckAgain::No;
    bool m_storeDamaged = false;
    bool m_storeDamageAccepted = false;
    bool m_storeCheckOnSnapshot = false; // the store keeps its write log for the check
    bool m_takingStoreCheck = false;
    qint64 m_storeLogBound = 0;     // bytes the log may take on disk
    int m_storeCheckGeneration = 0; // the check whose answer is awaited
    // Last, so that it stops before anything it reads goes.
    std::unique_ptr<cv::StoreCheck> m_storeCheck;
};

// The security a holding node holds; 0 for any other node.
inline int holdingSecurity(const Node &node)
{
    const auto *b = dynamic_cast<const SecurityExtra *>(node.extra().get());
    return b ? b->security() : 0;
}

template <class T> QByteArray archiveList(const std::vector<std::shared_ptr<T>> &list)
{
    return cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue::arrayOf(list));
}

// A keyed archive whose root is an array of T; none when it is anything else
// or any element is not a T.
template <class T> std::optional<std::vector<std::shared_ptr<T>>> listFromArchive(const QByteArray &data)
{
    const auto root = KeyedUnarchiver::unarchiveObjectWithData(data);
    const ArchiveArray *array = root ? root->array() : nullptr;
    if (!array) return std::nullopt;
    std::vector<std::shared_ptr<T>> list;
    list.reserve(array->size());
    for (const auto &element : *array) {
        auto object = element.objectAs<T>();
        if (!object) return std::nullopt;
        list.push_back(std::move(object));
    }
    return list;
}

} // namespace cv
