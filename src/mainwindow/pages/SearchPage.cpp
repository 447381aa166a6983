#include "mainwindow/pages/SearchPage.h"

#include "print/SearchPrint.h"
#include "document/Book.h"
#include "mainwindow/BookWindow.h"
#include "panels/search/SearchPagePanel.h"
#include "controls/EditingTable.h"
#include "panels/search/SearchResultsPanel.h"

#include <QStackedWidget>
#include <QVBoxLayout>

namespace cv {

SearchPage::SearchPage(Book *document, QWidget *parent)
    : WindowPage(QStringLiteral("TB02"), document, parent), m_controller(new SearchPagePanel(document, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_controller);
    if (document) {
        for (auto signal : {&Book::accountChanged, &Book::categoryChanged, &Book::entriesChanged, &Book::tradesChanged,
                            &Book::securityChanged})
            connect(document, signal, this, &SearchPage::documentChanged);
    }
    connect(m_controller->resultsPanel(), &SearchResultsPanel::openTradeRequested, this, &SearchPage::tradeRequested);
}

QObject *SearchPage::resultsPanel() const
{
    return m_controller->resultsPanel();
}

int SearchPage::resultCount() const
{
    return m_controller->resultCount();
}

bool SearchPage::isShown() const
{
    const auto *stack = qobject_cast<const QStackedWidget *>(parentWidget());
    return stack && stack->currentWidget() == this;
}

// Results are copies of entries and trades: written ones, or nodes gone,
// empty the list when next entered. Names and prices only repaint it.
void SearchPage::documentChanged(const ChangeSet &changes)
{
    const bool rows = !changes.entries.empty() || !changes.trades.empty() || changes.securityList ||
                      changes.accountTree == TreeChange::Structure || changes.categoryTree == TreeChange::Structure;
    if (rows) {
        m_controller->noteDocumentChanged(isShown());
        // A reload may give names back: the rows shown are still the store's.
        if (changes.reload && isShown()) m_controller->resultsPanel()->tableView()->reloadData();
        return;
    }
    if (isShown()) m_controller->resultsPanel()->tableView()->reloadData();
}

int SearchPage::execSearchForAccount(const std::vector<std::shared_ptr<Node>> &accounts, const QDate &from,
                                     const QDate &to)
{
    return m_controller->execSearchForAccount(accounts, from, to);
}

bool SearchPage::validateMenu(int tag) const
{
    return m_controller->validateMenu(tag, isShown());
}

void SearchPage::execMenu(int tag)
{
    if (validateMenu(tag)) m_controller->execMenu(tag);
}

void SearchPage::groupsDeleted(const QList<int> &idents)
{
    if (SearchResultsPanel *results = m_controller->resultsPanel()) results->groupsDeleted(idents);
}

void SearchPage::commitPendingInput()
{
    if (SearchResultsPanel *results = m_controller->resultsPanel()) results->commitPanel();
}

void SearchPage::storePendingInput()
{
    if (SearchResultsPanel *results = m_controller->resultsPanel()) results->commitPendingInput();
}

void SearchPage::enter(bool)
{
    // The page keeps its own rule of what makes the list stale.
    m_controller->enterSearchView();
}

std::unique_ptr<PrintedPages> SearchPage::makePrintView(PageSetup &setup)
{
    const std::vector<std::pair<int, int>> printed = m_controller->printRows();
    if (printed.empty()) return nullptr;
    std::vector<SearchPrintParam> rows;
    rows.reserve(printed.size());
    for (const auto &[level, index] : printed) rows.emplace_back(level, index);
    const SearchResultsPanel *results = m_controller->resultsPanel();
    auto callback = [results](const SearchPrintParam &row) {
        return results->searchReportCallback(row.level(), row.index());
    };
    return std::make_unique<SearchPrint>(callback, std::move(rows), setup);
}

void SearchPage::tradeRequested(int account, const QDate &from, const QDate &to, int tradeIdent)
{
    // The trade panel opens from the first page.
    if (auto *owner = qobject_cast<BookWindow *>(window())) owner->selectTab(BookWindow::ViewerIndex);
    Q_EMIT openTradeRequested(account, from, to, tradeIdent);
}

} // namespace cv
