#pragma once
// A friend of the document that reaches its private part.

#include "document/Book.h"
#include "document/BookPrivate.h"
#include "document/store/SQLDatabase3.h"

// What the document keeps to itself, for tests of its builders, lifecycle
// and bookkeeping.
namespace cv {

class BookTestAccess {
public:
    // The rebuild as the per-category finders read it, without the running balances.
    static void rebuildThroughFinders(Book &doc, const NodePtr &assets)
    {
        Book::Private &d = *doc.m_d;
        d.calcCurrencyCache();
        d.calcSecurityCache();
        d.calcCache(doc.categoryTrees()->income(), false);
        d.calcCache(doc.categoryTrees()->expense(), true);
        d.calcInvestmentCache(assets);
        d.calcTransferCache(doc.categoryTrees()->moneyFlow());
    }
    static void refreshCategoryGroupingCache(Book &doc, const NodePtr &node) { doc.refreshCategoryGroupingCache(node); }
    static void clearCache(Book &doc) { doc.m_d->m_cache.clear(); }
    static QString workingPath(const Book &doc) { return doc.m_d->m_store->workingPath(); }
    // A setting of the book's own connection as SQLite answers it; -1 when it does not.
    static int connectionSetting(const Book &doc, const QString &name)
    {
        const auto result = doc.m_d->m_store->database()->performQuery(QStringLiteral("PRAGMA %1;").arg(name));
        return result && result->rowCount() == 1 ? result->rowAtIndex(0).intForColumnAtIndex(0) : -1;
    }
    static quint32 cacheStatus(const Book &doc) { return doc.cacheStatus(); }
    static void postNotification(Book &doc, int code) { doc.postNotification(code); }
    static void commitInfoRows(Book &doc) { doc.commitInfoRows(); }
    static void setCategoryTrees(Book &doc, CategoryTreesPtr model) { doc.setCategoryTrees(std::move(model)); }
    static void setCurrencyList(Book &doc, Book::CurrencyList list) { doc.setCurrencyList(std::move(list)); }
    static NodePtr findTransfer(const Book &doc, int ident) { return doc.findTransfer(ident); }
    static NodePtr findFirstItem(const NodePtr &node, cv::NodeKind kind) { return Book::findFirstItem(node, kind); }
    static void updateTrade(Book &doc, const TradePtr &trade, const TradePtr &old) { doc.updateTrade(trade, old); }
    static NodePtr findAsset(const Book &doc, int ident) { return doc.findAsset(ident); }
    static NodePtr findDebt(const Book &doc, int ident) { return doc.findDebt(ident); }
    template <class T> static void changeElementOrder(std::vector<T> &list, int from, int to)
    {
        Book::changeElementOrder(list, from, to);
    }
    static void fillInvestmentAccountMenu(const Book &doc, MenuTarget &menu) { doc.fillInvestmentAccountMenu(menu); }
    static bool valueRangeForAccount(const Book &doc, const NodePtr &node, double *max, double *min, const QDate &from,
                                     const QDate &to)
    {
        return doc.valueRangeForAccount(node, max, min, from, to);
    }
    static int backupStatus(const Book &doc) { return doc.backupStatus(); }
    static bool manageBackup(Book &doc, const QString &path) { return doc.manageBackup(path); }
    static int templateIndex() { return Book::templateIndex(); }
    static void setTemplateIndex(int index) { Book::setTemplateIndex(index); }
    static void createFromTemplate(Book &doc, const QString &name) { doc.createFromTemplate(name); }
    static void cleanupItem(Book &doc, const NodePtr &node) { doc.cleanupItem(node); }
    static void postBusy(Book &doc) { doc.postBusy(); }
    static void postNoBusy(Book &doc) { doc.postNoBusy(); }
    static bool isBackupFile(const Book &doc, const QString &path) { return doc.isBackupFile(path); }
};

} // namespace cv
