#pragma once
// A friend of the document that reaches its private part.

#include "document/CV4Document.h"
#include "document/CV4DocumentPrivate.h"

// What the document keeps to itself, for tests of its builders, lifecycle
// and bookkeeping.
class CV4DocumentTestAccess {
public:
    // The rebuild as the per-category finders read it, without the running balances.
    static void rebuildThroughFinders(CV4Document &doc, const CVUnitModelPtr &assets)
    {
        CV4Document::Private &d = *doc.m_d;
        d.calcCurrencyCache();
        d.calcBrandCache();
        d.calcCache(doc.actualModel()->income(), false);
        d.calcCache(doc.actualModel()->expense(), true);
        d.calcInvestCache(assets);
        d.calcTransferCache(doc.actualModel()->moneyFlow());
    }
    static void refreshActualGroupCache(CV4Document &doc, const CVUnitModelPtr &node) { doc.refreshActualGroupCache(node); }
    static void clearCache(CV4Document &doc) { doc.m_d->m_cache.clear(); }
    static QString workingPath(const CV4Document &doc) { return doc.m_d->m_dataModel->workingPath(); }
    static quint32 cacheStatus(const CV4Document &doc) { return doc.cacheStatus(); }
    static void postNotification(CV4Document &doc, int code) { doc.postNotification(code); }
    static void commitInfoRows(CV4Document &doc) { doc.commitInfoRows(); }
    static void setActualModel(CV4Document &doc, CV4ActualModelPtr model) { doc.setActualModel(std::move(model)); }
    static void setCurrencyList(CV4Document &doc, CV4Document::CurrencyList list) { doc.setCurrencyList(std::move(list)); }
    static CVUnitModelPtr findTransfer(const CV4Document &doc, int ident) { return doc.findTransfer(ident); }
    static CVUnitModelPtr findFirstItem(const CVUnitModelPtr &node, cv::NodeKind kind)
    {
        return CV4Document::findFirstItem(node, kind);
    }
    static void updateTrade(CV4Document &doc, const CV4TradePtr &trade, const CV4TradePtr &old) { doc.updateTrade(trade, old); }
    static CVUnitModelPtr findAsset(const CV4Document &doc, int ident) { return doc.findAsset(ident); }
    static CVUnitModelPtr findDebt(const CV4Document &doc, int ident) { return doc.findDebt(ident); }
    template <class T> static void changeElementOrder(std::vector<T> &list, int from, int to)
    {
        CV4Document::changeElementOrder(list, from, to);
    }
    static void setupInvestAccountPopUpButton(const CV4Document &doc, CV4MenuTarget &menu)
    {
        doc.setupInvestAccountPopUpButton(menu);
    }
    static bool valueRangeForAccount(const CV4Document &doc, const CVUnitModelPtr &node, double *max, double *min,
                                     const QDate &from, const QDate &to)
    {
        return doc.valueRangeForAccount(node, max, min, from, to);
    }
    static int backupStatus(const CV4Document &doc) { return doc.backupStatus(); }
    static bool manageBackup(CV4Document &doc, const QString &path) { return doc.manageBackup(path); }
    static int templateIndex() { return CV4Document::templateIndex(); }
    static void setTemplateIndex(int index) { CV4Document::setTemplateIndex(index); }
    static void createFromTemplate(CV4Document &doc, const QString &name) { doc.createFromTemplate(name); }
    static void cleanupItem(CV4Document &doc, const CVUnitModelPtr &node) { doc.cleanupItem(node); }
    static void postBusy(CV4Document &doc) { doc.postBusy(); }
    static void postNoBusy(CV4Document &doc) { doc.postNoBusy(); }
    static bool isBackupFile(const CV4Document &doc, const QString &path) { return doc.isBackupFile(path); }
};
