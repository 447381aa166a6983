#pragma once
// The search page's logic, for the main window to host: the result list and
// its count, the dirty rule (a change while another page is shown empties the
// list at the next entry), the condition sheet and its end, the searches from
// the account grid, the page's menu commands (tags 30041-30047), the export
// of the results as Shift JIS text and the rows of its print.

#include "controls/Tags.h"
#include "document/store/StoreRecords.h"
#include "model/Node.h"
#include "panels/search/SearchResultsExporter.h"

#include <QWidget>

#include <utility>
#include <vector>

class QLabel;
class QPushButton;

namespace cv {

class Book;
class SearchDialog;
class SearchResultsPanel;

class SearchPagePanel : public QWidget {
    Q_OBJECT

public:
    enum MenuTag {
        SearchTag = cv::tag::SearchMenu.first,
        RemoveRowTag = SearchTag + 1,
        ClearTag = SearchTag + 5,
        ExportTag = cv::tag::SearchMenu.last,
    };

    explicit SearchPagePanel(Book *doc, QWidget *parent = nullptr);
    ~SearchPagePanel() override;

    SearchResultsPanel *resultsPanel() const { return m_results; }
    SearchDialog *searchDialog() const { return m_sheet; }
    QLabel *countField() const { return m_countField; }
    int resultCount() const;
    bool isDirty() const { return m_dirty; }

    // The document's accounts, entries, trades or securities changed; while
    // the page is shown the list stays as it is.
    void noteDocumentChanged(bool pageShown);
    // The page is being entered.
    void enterSearchView();
    // Panels that wrote entries call it; so does entering after a change.
    void clearSearchList();
    void setSearchUI();
    // Every entry of the accounts in the period; answers the number found.
    int execSearchForAccount(const std::vector<NodePtr> &accounts, const QDate &from, const QDate &to);
    // Opens the condition sheet (window-modal over this page's window).
    void searchButtonPushed();
    void searchSheetDidEnd(int returnCode);

    bool validateMenu(int tag, bool pageShown) const;
    // Runs the command of the tag; 30047 asks for a file first.
    void execMenu(int tag);

    // Columns the export takes, by identifier; empty: every column in table order.
    void setExportColumns(const QList<int> &ids) { m_exportColumns = ids; }
    // A click on a column's title selects that column alone (again: none);
    // with Ctrl or Shift it adds or takes away the column.
    void columnHeaderClicked(int column, Qt::KeyboardModifiers modifiers);
    std::vector<QStringList> exportRows() const;
    // Writes the file and tells the user of a failure or of replaced characters.
    cv::SearchResultsExporter::Result exportSearchResults(const QString &path);

    // The rows of the print: the header (level, index) = (-10, 0), then
    // (0, i) for every result; empty when there is nothing to print.
    std::vector<std::pair<int, int>> printRows() const;

private:
    void setResults(const std::vector<SearchRecord> &results);

    Book *m_doc;                   // not owned; outlives the page
    SearchResultsPanel *m_results; // child
    SearchDialog *m_sheet;         // child; kept between searches
    QLabel *m_countField;          // child
    QPushButton *m_searchButton;   // child
    QList<int> m_exportColumns;
    bool m_dirty = false;
};

} // namespace cv
