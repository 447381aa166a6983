#pragma once
// The document window's page "TB02": the search and its results. The page
// hosts the search logic and follows the document: a change while another
// page is shown empties the list when the page is next entered.

#include "document/ChangeSet.h"
#include "mainwindow/WindowPage.h"

#include "print/PrintedPages.h"

#include <QDate>
#include <QList>

#include <memory>
#include <vector>

namespace cv {

class Node;
class SearchPagePanel;

class SearchPage : public WindowPage {
    Q_OBJECT
public:
    explicit SearchPage(Book *document, QWidget *parent = nullptr);

    SearchPagePanel *controller() const { return m_controller; }
    // The results table's panel (committed like an entry panel).
    QObject *resultsPanel() const;
    int resultCount() const;
    // Whether the page is the one its window shows.
    bool isShown() const;

    // The entries of the accounts within the days (both included); the
    // number found.
    int execSearchForAccount(const std::vector<std::shared_ptr<Node>> &accounts, const QDate &from, const QDate &to);
    // Menu tags 30041-30047.
    bool validateMenu(int tag) const;
    void execMenu(int tag);
    // Groupings were deleted: results that use them show none.
    void groupsDeleted(const QList<int> &idents);

    // Leaving the page stores edited results.
    void commitPendingInput() override;
    // Before a save: edited results are stored.
    void storePendingInput();
    void enter(bool dirty) override;
    bool hasPrintableContent() const override { return resultCount() > 0; }
    // The printed results: the header, then one row per result; none when
    // the list is empty.
    std::unique_ptr<PrintedPages> makePrintView(PageSetup &setup) override;

Q_SIGNALS:
    // A trade's cell asked for its trade panel; the window has gone to the
    // first page already.
    void openTradeRequested(int account, const QDate &from, const QDate &to, int tradeIdent);

private:
    void documentChanged(const ChangeSet &changes);
    void tradeRequested(int account, const QDate &from, const QDate &to, int tradeIdent);

    SearchPagePanel *m_controller; // child
};

} // namespace cv
