#include "panels/search/SearchPagePanel.h"

#include "controls/EditingTable.h"
#include "controls/OpenSheet.h"
#include "document/Book.h"
#include "document/CurrencyPrintingScope.h"
#include "panels/search/SearchDialog.h"
#include "panels/search/SearchResultsPanel.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace cv {

SearchPagePanel::SearchPagePanel(Book *doc, QWidget *parent)
    : QWidget(parent), m_doc(doc), m_results(new SearchResultsPanel(doc, this)), m_sheet(new SearchDialog(doc, this)),
      m_countField(new QLabel(this)), m_searchButton(new QPushButton(cv::localizedString("Search-Button"), this))
{
    m_sheet->setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *head = new QHBoxLayout;
    // The results table keeps the style's margins; the bar above it lines up with it.
    head->setContentsMargins(style()->pixelMetric(QStyle::PM_LayoutLeftMargin),
                             style()->pixelMetric(QStyle::PM_LayoutTopMargin),
                             style()->pixelMetric(QStyle::PM_LayoutRightMargin), 0);
    head->addWidget(m_searchButton);
    head->addStretch(1);
    head->addWidget(m_countField);
    layout->addLayout(head);
    layout->addWidget(m_results, 1);
    connect(m_searchButton, &QPushButton::clicked, this, &SearchPagePanel::searchButtonPushed);
    connect(m_sheet, &QDialog::finished, this, &SearchPagePanel::searchSheetDidEnd);
    connect(m_results, &SearchResultsPanel::searchListShouldClear, this, &SearchPagePanel::clearSearchList);
    QHeaderView *header = m_results->tableView()->horizontalHeader();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int section) { columnHeaderClicked(section, QApplication::keyboardModifiers()); });
    setSearchUI();
}

void SearchPagePanel::columnHeaderClicked(int column, Qt::KeyboardModifiers modifiers)
{
    EditingTable *table = m_results->tableView();
    if (column < 0 || column >= table->numberOfColumns()) return;
    const int cid = table->cidOfColumn(column);
    if (modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::MetaModifier)) {
        if (!m_exportColumns.removeOne(cid)) m_exportColumns << cid;
    } else {
        // A second click on the one selected column selects none: all are exported again.
        m_exportColumns = m_exportColumns == QList<int>{cid} ? QList<int>() : QList<int>{cid};
    }
    const QPalette palette = table->palette();
    for (int c = 0; c < table->numberOfColumns(); ++c) {
        const bool selected = m_exportColumns.contains(table->cidOfColumn(c));
        table->tableColumn(c)->setHeaderColors(selected ? palette.color(QPalette::HighlightedText) : QColor(),
                                               selected ? palette.color(QPalette::Highlight) : QColor());
    }
    table->refreshColumnHeaders();
}

SearchPagePanel::~SearchPagePanel() = default;

int SearchPagePanel::resultCount() const
{
    return m_results->count();
}

void SearchPagePanel::setResults(const std::vector<SearchRecord> &results)
{
    m_results->setResults(results);
    setSearchUI();
}

void SearchPagePanel::noteDocumentChanged(bool pageShown)
{
    if (!pageShown) m_dirty = true;
}

void SearchPagePanel::enterSearchView()
{
    if (m_dirty) {
        clearSearchList();
        m_dirty = false;
    }
    m_sheet->updateList();
    setSearchUI();
}

void SearchPagePanel::clearSearchList()
{
    if (m_results->count() > 0) setResults({});
    m_sheet->clearList();
    setSearchUI();
}

void SearchPagePanel::setSearchUI()
{
    m_countField->setText(cv::formatString(cv::localizedString("Search Result@"), {resultCount()}));
}

int SearchPagePanel::execSearchForAccount(const std::vector<NodePtr> &accounts, const QDate &from, const QDate &to)
{
    m_dirty = false;
    SearchConditions conditions;
    conditions.date = {from, to};
    for (const auto &node : accounts)
        if (node) conditions.account << node->ident();
    std::vector<SearchRecord> records;
    if (const auto found = m_doc->reads().findEntry(conditions)) {
        records.reserve(found->size());
        for (const EntryPtr &entry : *found) records.push_back(SearchRecord{entry, nullptr});
    }
    setResults(records);
    return resultCount();
}

void SearchPagePanel::searchButtonPushed()
{
    m_sheet->updateList();
    cv::openSheet(m_sheet, this, {}, cv::SheetLife::KeptByOwner);
}

void SearchPagePanel::searchSheetDidEnd(int returnCode)
{
    if (returnCode != 1 || m_sheet->useFlags() == 0) return;
    setResults(m_doc->reads().findAccounts(m_sheet->conditions()));
}

bool SearchPagePanel::validateMenu(int tag, bool pageShown) const
{
    switch (tag) {
    case SearchTag: return pageShown;
    case RemoveRowTag: return m_results->tableView()->selectionModel()->hasSelection();
    case ClearTag:
    case ExportTag: return resultCount() > 0;
    default: return false;
    }
}

void SearchPagePanel::execMenu(int tag)
{
    switch (tag) {
    case SearchTag: searchButtonPushed(); break;
    case RemoveRowTag: {
        const QModelIndexList selected = m_results->tableView()->selectionModel()->selectedRows();
        if (selected.isEmpty()) return;
        m_results->removeRow(selected.first().row());
        setSearchUI();
        break;
    }
    case ClearTag: setResults({}); break;
    case ExportTag: {
        if (resultCount() == 0) return;
        const QString path = QFileDialog::getSaveFileName(window(), cv::localizedString("Search-Export-Title"),
                                                          QString(), cv::localizedString("Search-Export-Filter"));
        if (!path.isEmpty()) exportSearchResults(path);
        break;
    }
    default: break;
    }
}

std::vector<QStringList> SearchPagePanel::exportRows() const
{
    QList<int> columns = m_exportColumns;
    const EditingTable *table = m_results->tableView();
    if (columns.isEmpty()) {
        for (int c = 0; c < table->numberOfColumns(); ++c) columns << table->cidOfColumn(c);
    } else {
        // Table order, whatever order they were given in.
        QList<int> ordered;
        for (int c = 0; c < table->numberOfColumns(); ++c)
            if (columns.contains(table->cidOfColumn(c))) ordered << table->cidOfColumn(c);
        columns = ordered;
    }
    std::vector<QStringList> rows;
    rows.reserve(size_t(resultCount()));
    // Amounts as in print.
    cv::CurrencyPrintingScope printing(*m_doc);
    for (int row = 0; row < resultCount(); ++row) {
        QStringList cells;
        for (int cid : columns) cells << m_results->textOfColumnId(cid, row);
        rows.push_back(cells);
    }
    return rows;
}

cv::SearchResultsExporter::Result SearchPagePanel::exportSearchResults(const QString &path)
{
    const cv::SearchResultsExporter::Result result = cv::SearchResultsExporter::write(path, exportRows());
    if (!result.ok) {
        Alert::alert(cv::localizedString("Search-Export-Failed"), result.errorString);
    } else if (result.unmappable > 0) {
        Alert::alert(cv::localizedString("Search-Export-Replaced"),
                     cv::formatString(cv::localizedString("Search-Export-Replaced@"), {result.unmappable}));
    }
    return result;
}

std::vector<std::pair<int, int>> SearchPagePanel::printRows() const
{
    std::vector<std::pair<int, int>> rows;
    if (resultCount() == 0) return rows;
    rows.reserve(size_t(resultCount()) + 1);
    rows.emplace_back(SearchResultsPanel::kHeaderLevel, 0);
    for (int i = 0; i < resultCount(); ++i) rows.emplace_back(0, i);
    return rows;
}

} // namespace cv
