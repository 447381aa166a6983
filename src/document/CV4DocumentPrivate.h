#pragma once
// The data members and internal helpers of CV4Document, out of its public
// header so that a window including the document does not recompile with
// every internal change. Only the document's own files (and tests of its
// builders) include this.

#include "document/AmountText.h"
#include "document/CV4DataModel.h"
#include "document/CV4Document.h"
#include "document/CV4PrintInfo.h"
#include "document/StoreCheck.h"
#include "model/CV4Cache.h"
#include "model/CVExtraInterfaces.h"
#include "platform/CV4IntHash.h"
#include "platform/KeyedArchiver.h"

#include <QUndoStack>

#include <functional>
#include <optional>
#include <unordered_map>
#include <unordered_set>

// Members a const document still changes are memos: the lookups by ident and
// the lazily accumulated balances. They change no answer.
struct CV4Document::Private {
    explicit Private(CV4Document &document);

    // ---- the edit scope's work (EditScope.h; CV4Document.cpp)
    void beginEdit(bool transaction = true);
    void endEdit();
    void failEdit();
    void setEdited(bool edited);
    // A refused store write fails the edit, which rolls back at its end.
    void storeWrite(bool ok);
    // A tree's shape: each node in preorder with its number of children (a
    // missing root: none, -1). Held weakly, so a node gone since never
    // compares equal to one made later at its address.
    using TreeShape = std::vector<std::pair<std::weak_ptr<CVUnitModel>, int>>;
    static TreeShape shapeOf(std::initializer_list<CVUnitModelPtr> roots);
    TreeShape accountShape() const;
    TreeShape actualShape() const;
    // A committed tree (AccountChanged or ActualChanged) changed only values
    // when its shape is the one last announced.
    void noteTreeCommit(Notification code);

    // ---- write path (CV4Document_DataModel.cpp)
    void updateActual(cv::EntryKind kind, const ActualPtr &entry, const ActualPtr &old, bool commit);

    // ---- lifecycle (CV4Document_Lifecycle.cpp)
    bool readInfoRows();
    void addDefaultCurrencyIfNone();

    // ---- balance cache (CV4Document_Cache.cpp): the steps of a rebuild and of one edit
    void calcCache(const CVUnitModelPtr &node, bool expense);
    void calcOneCache(const CVUnitModelPtr &node, bool expense);
    void addToCache(int category);
    void calcInvestCache(const CVUnitModelPtr &node);
    void rebuildSeries();
    void calcTransferCache(const CVUnitModelPtr &transferRoot);
    void calcCache(const CVUnitModelPtr &category, const CV4Actual &entry, bool expense, bool remove);
    // The accounts and series a rebuild found once, for addCategoryRows.
    struct RowSeries;
    // calcCache(category, entry, expense, false) for every row of the category.
    void addCategoryRows(const CVUnitModelPtr &category, CV4CacheRowRange rows, bool expense, RowSeries &found);
    void calcTransferCache(const CVUnitModelPtr &item, const CV4Actual &entry, bool remove);
    void calcCache(const CVUnitModelPtr &holding, const CV4Trade &trade, const CV4BrandPtr &brand, bool remove);
    void calcCurrencyCache();
    void clearCurrencyCache();
    void calcBrandCache();
    void removeBrandCache();
    void clearGroupCache(const CVUnitModelPtr &node);
    void addGroupCache(const CVUnitModelPtr &node);
    void treeRecalcMonthlyCache(const CVUnitModelPtr &node, int firstDay);
    // A daily addition to an account-side series, remembered for accumulation at the edit's end.
    void addDaily(double value, const CVUnitModelPtr &node, const QDate &date);
    void noteCategory(const CVUnitModel &node, const QDate &date);
    const CV4Cache &balanceSeries(const CVUnitModelPtr &node) const;
    CVUnitModelPtr cashPartOf(const CVUnitModelPtr &account) const;
    bool isCashSide(const CVUnitModelPtr &account) const;
    CVUnitModelPtr holdingOf(const CVUnitModelPtr &account, int brand) const;
    void addMonthly(double value, const CVUnitModelPtr &node, const QDate &date);
    double convertedValue(double value, int fromCurrency, const CV4CurrencyPtr &target, const QDate &date) const;
    double nodeValue(const CVUnitModelPtr &node, const QDate &date, const CV4CurrencyPtr &currency, bool raw) const;
    double summaryValue(const CVUnitModelPtr &node, const std::function<double(const CVUnitModelPtr &)> &value) const;
    void accumulateNode(const CVUnitModelPtr &node, std::unordered_set<const CVUnitModel *> &visited);
    int fiscalDay() const;

    CV4Document &m_document;   // the document this is the private part of
    std::unique_ptr<CV4DataModel> m_dataModel;
    cv::BookReads m_reads{*m_dataModel};
    QUndoStack *m_undoStack = nullptr;   // the windows' undo history; a child of the document
    CV4SettingsPtr m_settings;
    CV4AccountModelPtr m_accountModel;
    CV4ActualModelPtr m_actualModel;
    CurrencyList m_currencyList;
    BrandList m_brandList;
    GroupList m_groupList;
    CVUnitModelPtr m_autoCacheIn;
    CVUnitModelPtr m_autoCacheOut;
    mutable CV4Cache m_cache;   // balances accumulate lazily inside an edit, even for const readers
    quint32 m_cacheStatus = 0;
    bool m_updateAccountOnly = false;
    bool m_edited = false;
    bool m_unaccumulated = false;   // series got daily additions outside an edit (a rebuild under way)
    CV4IntHash<CVUnitModel> m_accountCache;
    CV4IntHash<CV4Brand> m_brandCache;
    CV4IntHash<CVUnitModel> m_incomeCache;
    CV4IntHash<CVUnitModel> m_expenseCache;
    int m_currencyCacheIdent = 0;
    std::weak_ptr<CV4Currency> m_currencyCacheRef;
    bool m_currencyCacheValid = false;
    cv::AmountText m_amountText;
    // The open edit scope; depth 0 when none is open.
    struct Edit {
        int depth = 0;               // nested scopes; the outermost commits
        bool failed = false;         // a store write failed or the edit was failed
        bool inTransaction = false;  // the outermost scope opened a store transaction
        bool editedAtStart = false;  // the change mark when the edit began
        cv::ChangeSet changes;       // what the edit changed so far
        // Series with daily additions, each kept alive until accumulated.
        std::unordered_map<const CVUnitModel *, CVUnitModelPtr> touched;
        // The shapes of trees committed in the edit, kept once it is announced.
        std::optional<TreeShape> accountShape;
        std::optional<TreeShape> actualShape;
    };
    Edit m_edit;
    TreeShape m_accountShape;   // the account tree as last announced; empty when not known
    TreeShape m_actualShape;    // the category tree as last announced; empty when not known
    CVPrintInfoPtr m_printInfo;
    QString m_fileName;
    QString m_fileType;
    QString m_suggestedFileName;
    int m_backupStatus = 0;
    bool m_upgraded = false;
    bool m_readCancelled = false;
    // The store check after the open: its answer is taken once.
    void takeStoreCheck();
    bool m_storeDamaged = false;
    bool m_storeDamageAccepted = false;
    // Last, so that it stops before anything it reads goes.
    std::unique_ptr<cv::StoreCheck> m_storeCheck;
};

namespace cv {

// The security a holding node holds; 0 for any other node.
inline int holdingBrand(const CVUnitModel &node)
{
    const auto *b = dynamic_cast<const CVBrandExtra *>(node.extra().get());
    return b ? b->brand() : 0;
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
