#pragma once
// One open household book without its window: the models and ordered lists,
// the store, the balance cache and the lookups by ident. What only reads it
// needs is cv::ReadOnlyBook (ReadOnlyBook.h); include this header only to
// edit the book or hear its signals. Every edit reaches
// the store through the write path here, which keeps the cache current.
// Windows listen to the change signals. Edits run in a cv::EditScope
// (document/EditScope.h); each write-path operation opens one when the caller
// has none.
//
// Files: Book.cpp (fields, edits, commits and signals),
// Book_Cache.cpp (balance cache and valuation), Book_Store.cpp
// (write path, lookups, lists), Book_Format.cpp (amount text),
// Book_Lifecycle.cpp (new, open, save), Book_Backup.cpp,
// Book_XMLWriter/Reader/Forms.cpp (XML form); data members in
// BookPrivate.h.

#include "document/ReadOnlyBook.h"
#include "document/ChangeSet.h"
#include "document/BookChanges.h"
#include "model/LoanPayment.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class QUndoStack;

namespace cv {

class BookStore;
class EditScope;
class Trade;

// Final, so that calls through Book itself need no virtual dispatch.
class Book final : public QObject, public BookChanges, public ReadOnlyBook {
    Q_OBJECT
public:
    // Notification codes; bit n of cacheStatus() is set when code n is posted.
    enum Notification { AccountChanged = 0, CategoryChanged = 1, CurrencyChanged = 2, SecurityChanged = 3 };

    explicit Book(QObject *parent = nullptr);
    ~Book() override;

    // ---- fields
    // The store: the document's own files write it, tests set books up in it.
    BookStore *store() const;
    // What windows read of the stored records.
    const cv::BookReads &reads() const override;
    const SettingsPtr &settings() const override;
    void setSettings(SettingsPtr settings);
    const AccountTreesPtr &accountTrees() const override;
    const CategoryTreesPtr &categoryTrees() const override;
    const CurrencyList &currencyList() const override;
    const SecurityList &securityList() const override;
    void setSecurityList(SecurityList list);
    const GroupList &groupList() const override;
    void setGroupList(GroupList list);
    const BalanceCache &cache() const override;
    const NodePtr &autoCashIn() const override;
    const NodePtr &autoCashOut() const override;
    // The one undo history of the book's windows; panels and sheets push
    // their commands here and clear them when they commit or end.
    QUndoStack *undoStack() const;

    // ================= amounts to text and back (Book_Format.cpp)
    // The one way amounts are formatted; amount editors, formatters and
    // printing work on it directly. The texts below are its common forms.
    const cv::AmountText &amountText() const override;
    cv::AmountText &amountText() override;

    QString stringForValue(double value, int currency, bool truncateEmptyEnding) const override;
    QString stringWithPrefixForValue(double value, int currency, bool truncateEmptyEnding = false) const override;
    QString stringForValueAccount(double value, int account) const override;
    QString stringForTradingNumberOfUnits(long long units) const override;
    QString stringForFundValue(double value, int currency, bool wantPrefix, bool padZeroes,
                               int decimals) const override;
    QString stringWithPrefixForFundValue(double value, int currency) const override;

    std::optional<double> numberForString(const QString &text, int currency) const override;
    // An empty or null text is 0.
    std::optional<double> numberForStringAccount(const QString &text, int account) const override;

    // ---- change mark
    void updateChangeCount(ChangeKind change) override;
    bool isDocumentEdited() const override;

    // Whether an edit scope (cv::EditScope) is open.
    bool isEditing() const override;
    // Whether the last outermost edit was taken back: nothing of it was stored.
    bool lastEditFailed() const;

    // ================= balance cache and valuation (Book_Cache.cpp)
    double currencyRate(const CurrencyPtr &currency, const QDate &date) const override;
    double securityPrice(const SecurityPtr &security, const QDate &date) const override;
    double securityValue(const SecurityPtr &security, const QDate &date) const override;
    int getCurrency(int ident) const override;
    double defaultCurrencyValue(double amount, int currency, const QDate &date) const override;
    double convert(int targetCurrency, double amount, int valueCurrency, const QDate &date) const override;
    // Either output may be null.
    void getTransferValues(const Entry &entry, double *converted, double *defValue) const override;

    // The whole cache again from the store. Edits keep the balances current
    // by themselves; windows ask for it only as the Recalculate command.
    void createCache();
    void recalculate();
    // Rebuilds once when rates changed since the last rebuild: category totals
    // hold amounts converted at the day's rate.
    void recalculateIfStale();
    // Accumulates the running balances the edit left (every edit does at its end).
    void accumulateAccount(const NodePtr &node = nullptr);
    void applySecurities(const std::set<SecurityPtr> &securities);
    bool hasCache(const NodePtr &node) const override;

    // Valuation: reads only; the balances they read are always accumulated.
    double valueForAccount(const NodePtr &node, const QDate &date, const CurrencyPtr &currency) const override;
    double valueForAccount(const NodePtr &node, const QDate &date) const override;
    double rawValueForAccount(const NodePtr &node, const QDate &date) const override;
    // What the stored entries after `after` up to `through` added to the
    // account's balance, in its currency (where an account book's weeks start).
    double accountBalanceMovement(const NodePtr &node, const QDate &after, const QDate &through) const override;
    double tradingAccount(int account, int security, const QDate &date) const override;
    double valueForCategory(const NodePtr &node, const QDate &date) const override;
    double summaryForCategoryDays(const NodePtr &node, const QDate &date, int days) const override;
    double summaryForCategoryMonths(const NodePtr &node, const QDate &date, int months) const override;

    // ================= write path, lookups and lists (Book_Store.cpp)
    using EntryPtr = std::shared_ptr<Entry>;
    using TradePtr = std::shared_ptr<Trade>;
    void updateIncome(const EntryPtr &entry, const EntryPtr &old, bool commit = true);
    void updateExpense(const EntryPtr &entry, const EntryPtr &old, bool commit = true);
    void updateTransfer(const EntryPtr &entry, const EntryPtr &old);
    void fixupTransferCategory(Entry &entry);
    void applyTrade(const TradePtr &trade, const NodePtr &subject, const std::map<TradePtr, TradePtr> &oldItems,
                    std::set<SecurityPtr> &securitySet, bool autoUpdate);
    bool addSecurityNodeIfNeeded(const NodePtr &account, int security);

    // Loans: the schedule is kept in the store, and the loan's entries are
    // regenerated from its terms and schedule.
    void putLoan(const NodePtr &loan, const LoanSchedule &rows);
    std::optional<LoanSchedule> getLoan(int ident);

    bool moveItem(const NodePtr &node, int target);

    bool commitSettings();
    void commitAccountTrees();
    void commitCategoryTrees();
    void commitCurrencyList();
    void commitSecurityList();
    void commitGroupList();
    // The grouping with the ident left the list: rows that carry it show none.
    void postGroupDeleted(int ident);

    NodePtr findAccount(int ident) const override;
    NodePtr findIncome(int ident) const override;
    NodePtr findExpense(int ident) const override;
    SecurityPtr findSecurity(int ident) const override;
    CurrencyPtr findCurrency(int ident) const override;
    GroupingPtr findGrouping(int ident) const override;
    NodePtr findAccountOfKind(cv::NodeKind kind) const override;
    // Forgets every remembered lookup; call when a node leaves a tree.
    void clearLookups();

    // False, nothing added, where the new item would need an ident past the
    // type's limit (a book from outside may hold the greatest one).
    bool addCurrency(const CurrencyPtr &currency);
    bool addSecurity(const SecurityPtr &security);
    // The idents the three would give (a currency keeps `wanted` where it is
    // free); none past the limit, so that a command can say so before it asks.
    std::optional<int> newCurrencyIdent(int wanted) const;
    std::optional<int> newSecurityIdent() const;
    std::optional<int> newGroupingIdent() const;
    bool addGrouping(const GroupingPtr &grouping);
    void removeSecurity(const SecurityPtr &security);
    void removeGrouping(int index);
    void changeCurrencyOrder(int from, int to);
    void changeSecurityOrder(int from, int to);
    void changeGroupingOrder(int from, int to);

    void fillCurrencyMenu(MenuTarget &menu) const override;

    CurrencyPtr defaultCurrency() const override;
    CurrencyPtr displayCurrencyOfItem(const Node &node) const override;
    bool isForeignCurrency(int ident) const override;
    bool accountNeedsExchange(int account, int destination) const override;
    void reinitializeCurrencyData();
    QString displayName(const Node &node) const override;

    // ================= the windows' errands (Book_Edits.cpp)
    // Each is one edit (joining the caller's scope) that does its own cache
    // work and names what it changed; false when the store refused and the
    // edit was rolled back.
    using PriceList = std::vector<DatedPricePtr>;
    // Removals first: a row that takes another row's old date loses nothing.
    bool writePrices(const SecurityPtr &security, const PriceList &removals, const PriceList &puts);
    bool writeRates(const CurrencyPtr &currency, const PriceList &removals, const PriceList &puts);
    bool putPrice(const DatedPricePtr &price); // the price's security() is the security
    bool putRate(const DatedPricePtr &rate);   // the rate's security() is the currency
    // A security leaves the book: its holdings, prices, trades and list entry.
    bool deleteSecurity(const SecurityPtr &security);
    // One investment account's holdings of the security and their trades.
    bool removeHolding(const NodePtr &account, int security);
    // A learned import mapping (info rows 102-106).
    bool putImportMapping(const QByteArray &archive, int record);
    // The fiscal year's start; a changed first day cuts the monthly totals again.
    bool setFiscalStart(int monthOfYear, int weekday, int dayOfMonth);

    // Tree edits; each commits the node's tree. Idents are the caller's.
    // At `index` among the parent's children, or last.
    void addNode(const NodePtr &node, const NodePtr &parent, int index = -1);
    // An account's terms changed: its balances, or with `everything` (a new
    // currency, a loan's schedule) the whole cache, are built again.
    void updateAccount(const NodePtr &node, bool everything);
    // Nodes of one tree to `target` at `index`, in order; a folder left empty
    // turns back into a category. False (nothing moved) when a node is no child.
    bool moveNodes(const std::vector<NodePtr> &nodes, const NodePtr &target, int index);
    // Removes the node with its entries and trades and every summary's
    // reference to it; a folder's children take its place.
    void deleteNode(const NodePtr &node);
    void renameNode(const NodePtr &node, const QString &name);

    // ================= lifecycle (Book_Lifecycle.cpp)
    // Document types and their file extensions.
    static const QString kTypeV2;  // "cvv2", the current format
    static const QString kTypeV1;  // "cvv1", read only
    static const QString kTypeXML; // "cvxf"
    // None for an extension no type has.
    static QString typeForExtension(const QString &extension);

    // Fills a new document from the template of the template index and resets the index.
    void createDefault();
    // Reads a file of the type into this fresh document, then brings an older
    // type to the current one. False when nothing could be opened.
    bool initWithContentsOfFile(const QString &path, const QString &type);
    // Saves under the path as the type, then takes the day's backup once per
    // opening. The new file takes `mode` where given, else the replaced file's.
    bool writeToFile(const QString &path, const QString &type, std::optional<unsigned> mode = std::nullopt);
    void compactDB();
    // The store's own consistency check on a thread of its own, started once
    // the window shows; a damaged store is reported as soon as it is found.
    void checkStoreInBackground();
    // Whether the check after the open has not been heard yet.
    bool storeCheckPending() const;

    // The file the document saves to; none while untitled.
    const QString &fileName() const override;
    const QString &fileType() const override;
    // Where an untitled document that came from a file proposes to be saved.
    const QString &suggestedFileName() const;

    // None until set; the printing side supplies its default then.
    const PrintSettingsPtr &printSettings() const override;
    void setPrintSettings(PrintSettingsPtr info);

    // ================= whole document as XML (Book_XML.cpp)
    // Writes the whole book; the file is replaced only when every write
    // succeeded, with `mode` where given, else the replaced file's.
    bool export_(const QString &path, std::optional<unsigned> mode = std::nullopt);
    // Adds what the file holds to the models, lists and store. `isTemplate`
    // tells whether the root marks the file as a template; `why` gets the
    // user's words for a refused file.
    bool import(const QString &path, bool *isTemplate = nullptr, QString *why = nullptr);

    // TradeFormatting
    int currencyOfAccount(int account) const override;
    QString stringForValue(double value, int currency) const override;
    QString stringForFundValue(double value, int currency, bool wantPrefix = false,
                               bool padZeroes = false) const override;

Q_SIGNALS:
    // Emitted once per edit, at the end of its outermost scope, never for a
    // rolled-back edit; each carries all that the edit changed.
    void accountChanged(const cv::ChangeSet &changes);  // the account tree was committed
    void categoryChanged(const cv::ChangeSet &changes); // the category tree was committed
    void currencyChanged(const cv::ChangeSet &changes); // the currency list or rates changed
    void securityChanged(const cv::ChangeSet &changes); // the security list or prices changed
    void entriesChanged(const cv::ChangeSet &changes);  // entries or transfers were written or removed
    void tradesChanged(const cv::ChangeSet &changes);   // trades were written or removed
    void balancesChanged(const cv::ChangeSet &changes); // account balances changed (`accounts`, from `earliest`)
    void groupDeleted(const QList<int> &idents);        // groupings left the list (one ident a notice)
    void aboutToSave();
    // The document went from saved to edited (true) or back (false).
    void modificationChanged(bool edited);
    void settingsChanged(const cv::ChangeSet &changes); // the settings were committed (`settings`, `fiscalStart`)

private:
    friend class OpenBooks; // names the file it read or saved, and the template of a new one
    void setFileName(const QString &path);
    void setFileType(const QString &type);
    // Whether the last failed read was cancelled by the user.
    bool readCancelled() const;
    // Why the last open or save failed, in the user's words; empty when not known.
    const QString &failure() const;
    // Whether a save over the book must ask first: its store was found damaged
    // and the user has not yet chosen to save it all the same. Waits for a
    // check under way.
    bool saveNeedsDamageConfirmation();
    void acceptStoreDamage();
    // The template the next new document is filled from: 0 "default", n "template-n".
    static void setTemplateIndex(int index);
    static int templateIndex();
    void createFromTemplate(const QString &name);
    // The schedule alone; putLoan also rewrites the loan's entries.
    void putLoanData(const NodePtr &loan, const LoanSchedule &rows);
    // Takes the node's entries, trades and summary references out of the book.
    void cleanupItem(const NodePtr &node);
    // Long operations, nested; windows show a busy indicator meanwhile.
    void postBusy();
    void postNoBusy();
    // Dated backups (Book_Backup.cpp).
    int backupStatus() const;
    bool manageBackup(const QString &path);
    static void tellThatBackupsFail();
    bool isBackupFile(const QString &path) const;
    bool readFromFile(const QString &path, const QString &type);
    bool writeToFileWorker(const QString &path, const QString &extension, std::optional<unsigned> mode);
    void fixHoldingSecurityIds(const NodePtr &node);
    bool investmentAccountHoldsSecurityInOtherCurrency(const NodePtr &account);
    static cv::DocumentType documentType(const QString &type);
    static QString typeName(cv::DocumentType type);

    void setAccountTrees(AccountTreesPtr model);
    void setCategoryTrees(CategoryTreesPtr model);
    void setCurrencyList(CurrencyList list);
    NodePtr findTransfer(int ident) const;
    static NodePtr findFirstItem(const NodePtr &node, cv::NodeKind kind);
    void updateTrade(const TradePtr &trade, const TradePtr &old);
    quint32 cacheStatus() const;
    void commitInfoRows();
    void postNotification(int code);
    NodePtr findAsset(int ident) const;
    NodePtr findDebt(int ident) const;
    bool addTransferDestinationIfNeeded(const Trade &trade);
    // Redirects what every loan refers to, and rewrites the loans that changed.
    void fixLoanAccount(int account, int category, int newValue);
    bool fixLoanSub(const NodePtr &node, int account, int category, int newValue);
    template <class T> static void changeElementOrder(std::vector<T> &list, int from, int to);
    static void fillMenu(MenuTarget &menu, const NodePtr &node, cv::NodeKind kind);
    void fillInvestmentAccountMenu(MenuTarget &menu) const;

    static int findIndex(const std::vector<DatedPricePtr> &list, const QDate &date);
    double netValue(double value, const CurrencyPtr &currency, const SecurityPtr &security, const QDate &date) const;
    bool valueRangeForAccount(const NodePtr &node, double *max, double *min, const QDate &from, const QDate &to) const;

    // Builders and refreshers: the errands above call them, windows never.
    void createCacheFor(const NodePtr &node);
    void clearCache(const NodePtr &node);
    void refreshCurrencyCache(const CurrencyPtr &currency);
    void refreshSecurityCache(const SecurityPtr &security);
    void refreshCategoryGroupingCache(const NodePtr &node);
    // A folder left without categories is a category again.
    void ungroupIfEmpty(Node *folder);
    void recalcMonthlyCache();
    void createCacheIfDirty();

    friend class BookTestAccess; // tests rebuild through the per-category builders
    friend class cv::EditScope;
    struct Private;
    std::unique_ptr<Private> m_d; // every data member (BookPrivate.h)
};

template <class T> void Book::changeElementOrder(std::vector<T> &list, int from, int to)
{
    const int count = int(list.size());
    if (from < 0 || from >= count || to < 0) return;
    const T element = list[size_t(from)];
    if (to >= count)
        list.push_back(element);
    else
        list.insert(list.begin() + to, element);
    list.erase(list.begin() + (from > to ? from + 1 : from));
}

// Says that the book has no ident left for a new item; the title's key names
// the kind ("Ident-Limit-Account", "-Category", "-Security", "-Currency", "-Group").
void tellNoIdentLeft(const QString &titleKey, QObject *window = nullptr);

} // namespace cv
