#include "panels/entry/RowPanel.h"

#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/TableColumn.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "model/EditFlags.h"
#include "platform/Localization.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

// A row step holds the panel weakly: once the panel is gone, or while its
// steps are taken off the stack, it does nothing.
namespace cv {

class PanelStep : public QUndoCommand {
public:
    PanelStep(RowPanel *panel, const QString &title)
        : QUndoCommand(title), m_panel(panel), m_generation(panel->m_stepGeneration)
    {
    }
    bool belongsTo(const RowPanel *panel) const { return m_panel == panel; }

protected:
    RowPanel *live() const
    {
        const bool current = m_panel && !m_panel->m_unwinding && m_panel->m_stepGeneration == m_generation;
        return current ? m_panel.data() : nullptr;
    }

private:
    QPointer<RowPanel> m_panel;
    int m_generation;
};

namespace {

// One of the panel's row steps, or a macro of them.
bool isRowStepOf(const QUndoCommand *command, const RowPanel *panel)
{
    if (const auto *single = dynamic_cast<const PanelStep *>(command)) return single->belongsTo(panel);
    bool ours = command->childCount() > 0;
    for (int c = 0; ours && c < command->childCount(); ++c) ours = isRowStepOf(command->child(c), panel);
    return ours;
}

} // namespace

class PanelChangeCommand : public PanelStep {
public:
    PanelChangeCommand(RowPanel *panel, RowPanel::RowPtr row, int field, QVariant oldValue, QVariant newValue,
                       const QString &title)
        : PanelStep(panel, title), m_row(std::move(row)), m_field(field), m_old(std::move(oldValue)),
          m_new(std::move(newValue))
    {
    }
    void redo() override
    {
        if (RowPanel *panel = live()) panel->applyChange(m_row, m_field, m_new);
    }
    void undo() override
    {
        if (RowPanel *panel = live()) panel->applyChange(m_row, m_field, m_old);
    }

private:
    RowPanel::RowPtr m_row;
    int m_field;
    QVariant m_old;
    QVariant m_new;
};

class PanelToggleDeletedCommand : public PanelStep {
public:
    PanelToggleDeletedCommand(RowPanel *panel, RowPanel::RowPtr row, bool inPlace)
        : PanelStep(panel, cv::localizedString(QStringLiteral("Delete"))), m_row(std::move(row)), m_inPlace(inPlace)
    {
    }
    void redo() override { flip(); }
    void undo() override { flip(); }

private:
    void flip()
    {
        RowPanel *panel = live();
        if (!panel) return;
        if (m_inPlace)
            panel->flipDeletedInPlace(m_row);
        else
            panel->flipDeleted(m_row);
    }
    RowPanel::RowPtr m_row;
    bool m_inPlace;
};

RowPanel::RowPanel(Book *doc, NodePtr item, const QDate &from, const QDate &to, QWidget *parent)
    : QWidget(parent), m_doc(doc), m_item(std::move(item)), m_from(from), m_to(to), m_tableView(new EditingTable(this)),
      m_okButton(new BackButton(cv::localizedString(QStringLiteral("OK")), this))
{
    Q_ASSERT(m_doc);
    m_undoBase = m_doc->undoStack()->index();
    m_lastIndex = m_undoBase;
    // The stack is asked, not the document: it also speaks while the document goes.
    QUndoStack *stack = m_doc->undoStack();
    connect(stack, &QUndoStack::indexChanged, this, [this, stack](int index) { followBookSteps(stack, index); });
    connect(m_okButton, &QPushButton::clicked, this, [this] { Q_EMIT closeMaximizedPanelRequested(); });
}

RowPanel::~RowPanel()
{
    detachFromTable();
}

void RowPanel::keyPressEvent(QKeyEvent *event)
{
    if (m_okButton->isVisible() && m_okButton->performKeyEquivalent(event)) return;
    QWidget::keyPressEvent(event);
}

void RowPanel::detachFromTable()
{
    if (!m_tableView->client()) return;
    if (cv::ChooserPopup *popup = cv::ChooserPopup::existing(); popup && popup->targetView() == m_tableView)
        popup->mustClose();
    m_tableView->forceEndFieldEditing(false);
    m_tableView->setClient(nullptr);
}

QMenu *RowPanel::makeContextMenu(QWidget *parent)
{
    const std::vector<PanelMenuEntry> entries = panelMenuEntries();
    if (entries.empty()) return nullptr;
    auto *menu = new QMenu(parent);
    for (const PanelMenuEntry &entry : entries) {
        QAction *action = menu->addAction(entry.title);
        action->setData(entry.tag);
        action->setEnabled(validateMenuItem(m_tableView, action).value_or(false));
        const int tag = entry.tag;
        connect(action, &QAction::triggered, this, [this, tag] { panelMenuSelected(tag); });
    }
    return menu;
}

void RowPanel::finishSetup()
{
    m_tableView->setClient(this);
    if (!panelMenuEntries().empty()) {
        m_tableView->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(m_tableView, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
            std::unique_ptr<QMenu> menu(makeContextMenu(nullptr)); // no parent: the panel may go while it shows
            if (menu) menu->exec(m_tableView->viewport()->mapToGlobal(at));
        });
    }
    // The date column: a full date beside the calendar button.
    const QFontMetrics metrics(m_tableView->tableFont());
    m_tableView->setColumnWidth(0, std::max(112, metrics.horizontalAdvance(QStringLiteral("0000/00/00")) + 36));
}

void RowPanel::buildColumns(std::initializer_list<ColumnDef> columns)
{
    for (const ColumnDef &column : columns)
        m_tableView->addColumn(std::make_unique<cv::TableColumn>(
            column.cid, cv::localizedString(QString::fromLatin1(column.title)), column.width, column.kind));
    finishSetup();
    m_tableView->horizontalHeader()->setStretchLastSection(true);
}

void RowPanel::layoutPanel(QWidget *title, QWidget *totalTitle, QWidget *total)
{
    auto *layout = new QVBoxLayout(this);
    auto *head = new QHBoxLayout;
    if (title) {
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        head->addWidget(title);
    }
    head->addStretch(1);
    if (totalTitle) head->addWidget(totalTitle);
    if (total) head->addWidget(total);
    layout->addLayout(head);
    layout->addWidget(tableView(), 1);
    auto *foot = new QHBoxLayout;
    foot->addStretch(1);
    foot->addWidget(okButton());
    layout->addLayout(foot);
}

const cv::AmountText *RowPanel::amountText() const
{
    return &m_doc->amountText();
}

// ---- protocol

void RowPanel::apply()
{
    if (!m_hasChanged) return;
    m_tableView->forceEndFieldEditing(true);
    // The commit sees deleted rows with their flag among the others.
    for (RowPtr &row : m_deletedItems) m_items.push_back(std::move(row));
    m_deletedItems.clear();
    commitRows();
}

void RowPanel::commitPendingInput()
{
    m_tableView->forceEndFieldEditing(true);
    if (!m_hasChanged) return;
    const std::vector<RowPtr> deleted = m_deletedItems;
    apply();
    if (m_hasChanged && m_doc->lastEditFailed() && keepRowsOfFailedCommit()) {
        // The commit saw the deleted rows at the end of the others.
        for (size_t i = 0; i < deleted.size(); ++i) m_items.erase(m_items.size() - 1);
        m_deletedItems = deleted;
        reloadTable();
        return;
    }
    settleAfterCommit();
}

int RowPanel::commitPanel()
{
    commitPendingInput();
    didEnd();
    replaceRowSteps();
    return m_rc;
}

// Steps that refer to rows of before the commit no longer apply; the book
// keeps what the commit wrote, so that it can be undone after the panel went.
void RowPanel::replaceRowSteps()
{
    QUndoStack *stack = m_doc->undoStack();
    std::unique_ptr<QUndoCommand> step = takeCommitStep();
    bool ours = m_undoBase <= stack->index();
    for (int i = m_undoBase; ours && i < stack->count(); ++i) ours = isRowStepOf(stack->command(i), this);
    m_unwinding = true; // the stack's moves below are this panel's own
    const bool settling = std::exchange(s_settling, true);
    if (!ours) {
        stack->clear();
    } else if (step || stack->count() > m_undoBase) {
        stack->setIndex(m_undoBase);
        if (!step) {
            step = std::make_unique<QUndoCommand>();
            step->setObsolete(true); // pushed only to drop the row steps
        }
        stack->push(step.release()); // drops the row steps above it
    }
    s_settling = settling;
    m_unwinding = false;
    ++m_stepGeneration;
    m_undoBase = stack->index();
}

void RowPanel::followBookSteps(const QUndoStack *stack, int index)
{
    const int last = std::exchange(m_lastIndex, index);
    if (m_unwinding || m_rereading || s_settling) return;
    if (stack->count() == 0) { // cleared: the rows keep what was typed
        m_undoBase = 0;
        return;
    }
    const int moved = index < last ? index : index - 1; // the step undone, or redone
    const bool bookMoved =
        moved >= 0 && moved < stack->count() && dynamic_cast<const BookStep *>(stack->command(moved));
    if (!bookMoved && index >= m_undoBase) return;
    // The book's entries moved under the panel, whose own steps are all undone
    // by now (a redo of a book step finds none left): it shows the book as it stands.
    rereadRows(index);
}

void RowPanel::rereadRows(int undoIndex)
{
    ++m_stepGeneration;
    m_undoBase = undoIndex;
    m_tableView->forceEndFieldEditing(false);
    m_rereading = true;
    settleAfterCommit();
    m_rereading = false;
}

bool RowPanel::reloadItem()
{
    if (m_item) {
        NodePtr found = findItem();
        if (!found) {
            // Nothing typed may reach an item the book never held.
            m_tableView->forceEndFieldEditing(false);
            m_hasChanged = false;
            m_deletedItems.clear();
            return false;
        }
        m_item = std::move(found);
    }
    // A panel's own commit that failed reads its rows when it settles.
    if (m_hasChanged)
        reloadTable();
    else
        rereadRows(m_doc->undoStack()->index());
    return true;
}

void RowPanel::settleAfterCommit()
{
    m_hasChanged = false;
    m_deletedItems.clear();
    readRows();
    const bool hasNew = hasNewRow();
    if (!m_rereading) replaceRowSteps();
    if (!hasNew && !m_isEditOnly)
        addItem();
    else
        reloadTable();
    updateButtons();
}

// ---- rows

void RowPanel::setRowList(RowList rows)
{
    m_items = std::move(rows);
    rowsChanged();
}

void RowPanel::appendRow(const RowPtr &row)
{
    m_items.push_back(row);
    rowsChanged();
}

void RowPanel::insertRows(int before, const std::vector<RowPtr> &rows)
{
    readAllRows(); // a row between unread ones would take another's place
    Q_ASSERT(before >= 0 && before <= rowCount());
    before = std::clamp(before, 0, rowCount());
    m_items.insert(size_t(before), rows);
    rowsChanged();
}

void RowPanel::replaceRow(int index, const RowPtr &row)
{
    Q_ASSERT(index >= 0 && index < rowCount());
    if (index < 0 || index >= rowCount()) return;
    m_items.set(size_t(index), row);
    rowsChanged();
}

void RowPanel::removeRowAt(int index)
{
    Q_ASSERT(index >= 0 && index < rowCount());
    if (index < 0 || index >= rowCount()) return;
    rowRemovedAt(index);
    m_items.erase(size_t(index));
    rowsChanged();
}

RowPanel::RowPtr RowPanel::rowAt(int row) const
{
    if (row < 0 || row >= int(m_items.size())) return RowPtr();
    if (!m_items[size_t(row)]) readRowPage(row);
    return m_items[size_t(row)];
}

int RowPanel::indexOfRow(const RowPtr &row) const
{
    if (!row) return -1; // an unread row is null too
    return int(m_items.indexOf(row));
}

std::vector<RowPanel::RowPtr> RowPanel::pendingRows() const
{
    std::vector<RowPtr> rows;
    m_items.forEachRead([&](size_t, const RowPtr &row) {
        if (rowFlags(row) & (cv::EditChanged | cv::EditNew | cv::EditDeleted)) rows.push_back(row);
        return true;
    });
    rows.insert(rows.end(), m_deletedItems.begin(), m_deletedItems.end());
    return rows;
}

int RowPanel::numberOfRows(const EditingTable *) const
{
    return int(m_items.size());
}

void RowPanel::reloadTable()
{
    rowsChanged();
    m_tableView->reloadData();
}

void RowPanel::sortRows(std::vector<RowPtr> &rows) const
{
    std::stable_sort(rows.begin(), rows.end(),
                     [this](const RowPtr &a, const RowPtr &b) { return rowGoesBefore(a, b); });
}

void RowPanel::sortItems()
{
    std::vector<RowPtr> rows = m_items.toVector();
    sortRows(rows);
    m_items = RowList(rows);
}

void RowPanel::addItem(EditingTable *)
{
    if (appendNewRow()) reloadAndEditLastRow();
}

bool RowPanel::appendNewRow()
{
    if (m_isEditOnly) return false;
    RowPtr row = newRow();
    if (!row) return false;
    setRowFlags(row, cv::EditNew);
    const RowPtr last = rowAt(int(m_items.size()) - 1);
    setRowDate(row, last ? rowDate(last) : m_from);
    m_items.push_back(row);
    return true;
}

void RowPanel::reloadAndEditLastRow()
{
    reloadTable();
    const int last = int(m_items.size()) - 1;
    if (last < 0) return;
    m_tableView->QTableView::selectRow(last);
    m_tableView->scrollTo(m_tableView->model()->index(last, 0));
    // The table lays the new row out first; a later request for another row wins.
    const int generation = ++m_editGeneration;
    QTimer::singleShot(0, this, [this, last, generation] {
        if (generation == m_editGeneration && last < int(m_items.size())) editRow(last);
    });
}

void RowPanel::editRow(int row)
{
    if (row < 0 || row >= int(m_items.size())) return;
    ++m_editGeneration;
    m_tableView->QTableView::selectRow(row);
    m_tableView->editColumn(0, row, nullptr, true);
}

void RowPanel::selectItem(const RowPtr &row)
{
    const int index = indexOfRow(row);
    if (index >= 0) m_tableView->performClickAtColumn(0, index, nullptr);
}

void RowPanel::deleteRow()
{
    const QModelIndexList selected = m_tableView->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    if (const RowPtr row = rowAt(selected.first().row())) toggleItemDeleted(row);
}

// ---- undo

void RowPanel::changeField(const RowPtr &row, int field, const QVariant &value, const QString &title)
{
    if (!row) return;
    const QVariant current = fieldValue(row, field);
    if (current == value && current.metaType() == value.metaType()) return;
    m_doc->undoStack()->push(new PanelChangeCommand(this, row, field, current, value, title));
}

void RowPanel::applyChange(const RowPtr &row, int field, const QVariant &value)
{
    setChanged(row);
    setFieldValue(row, field, value);
    if (!m_batchChanging) reloadTable();
}

void RowPanel::beginBatchChangeWithTitle(const QString &title)
{
    m_doc->undoStack()->beginMacro(title);
    m_batchChanging = true;
}

void RowPanel::endBatchChange()
{
    m_doc->undoStack()->endMacro();
    m_batchChanging = false;
    reloadTable();
    if (m_popupRow >= 0 && m_popupRow < int(m_items.size())) {
        m_tableView->QTableView::selectRow(m_popupRow);
        m_tableView->editColumn(std::max(m_popupColumn, 0), m_popupRow, nullptr, true);
    }
}

void RowPanel::toggleItemDeleted(const RowPtr &row)
{
    if (!row) return;
    m_tableView->forceEndFieldEditing(false);
    m_doc->undoStack()->push(new PanelToggleDeletedCommand(this, row, false));
}

void RowPanel::insertSorted(const RowPtr &row)
{
    readAllRows();
    size_t at = 0;
    while (at < m_items.size() && !rowGoesBefore(row, m_items[at])) ++at;
    m_items.insert(at, {row});
}

bool RowPanel::hasNewRow() const
{
    bool found = false;
    m_items.forEachRead([&](size_t, const RowPtr &row) { return !(found = rowFlags(row) & cv::EditNew); });
    return found;
}

void RowPanel::flipDeleted(const RowPtr &row)
{
    m_tableView->forceEndFieldEditing(false);
    setRowFlags(row, rowFlags(row) ^ cv::EditDeleted);
    int restored = -1;
    if (rowFlags(row) & cv::EditDeleted) {
        m_deletedItems.push_back(row);
        for (int at = indexOfRow(row); at >= 0; at = indexOfRow(row)) {
            rowRemovedAt(at);
            m_items.erase(size_t(at));
        }
    } else {
        m_deletedItems.erase(std::remove(m_deletedItems.begin(), m_deletedItems.end(), row), m_deletedItems.end());
        if (indexOfRow(row) < 0) insertSorted(row);
        restored = indexOfRow(row);
    }
    reloadTable();
    if (restored >= 0)
        m_tableView->selectionModel()->select(m_tableView->model()->index(restored, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_hasChanged = true;
}

// Rows a panel keeps in the table while deleted: the flag flips back and the
// row takes its place in the order again; the store is not read, so pending
// edits of other rows stay.
void RowPanel::flipDeletedInPlace(const RowPtr &row)
{
    setChanged(row);
    setRowFlags(row, rowFlags(row) ^ cv::EditDeleted);
    m_hasChanged = true;
    sortItems();
    reloadTable();
}

void RowPanel::toggleDeletedInPlace(const RowPtr &row)
{
    if (!row) return;
    m_tableView->forceEndFieldEditing(false);
    m_doc->undoStack()->push(new PanelToggleDeletedCommand(this, row, true));
}

void RowPanel::deleteRows(EditingTable *)
{
    if (m_items.empty()) return;
    QModelIndexList selected = m_tableView->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    std::vector<int> rows;
    for (const QModelIndex &index : selected) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<RowPtr> chosen;
    for (int r : rows)
        if (RowPtr row = rowAt(r)) chosen.push_back(row);
    if (chosen.empty()) return;
    const bool restoring = rowFlags(chosen.front()) & cv::EditDeleted;

    m_tableView->forceEndFieldEditing(false);
    QUndoStack *stack = m_doc->undoStack();
    stack->beginMacro(cv::localizedString(QStringLiteral("Delete")));
    bool deletedNew = false;
    if (restoring) {
        m_tableView->clearSelection();
        for (auto it = chosen.rbegin(); it != chosen.rend(); ++it)
            if (rowFlags(*it) & cv::EditDeleted) stack->push(new PanelToggleDeletedCommand(this, *it, true));
    } else {
        for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) {
            const int flags = rowFlags(*it);
            if ((flags & cv::EditDeleted) || !canDeleteRow(indexOfRow(*it)).value_or(true)) continue;
            deletedNew = deletedNew || (flags & cv::EditNew);
            toggleItemDeleted(*it);
        }
    }
    stack->endMacro();

    if (restoring) {
        reloadTable();
        updateButtons();
        return;
    }
    const bool newLeft = hasNewRow();
    if (deletedNew && !newLeft) {
        addItem();
        return;
    }
    const int first = m_items.empty() ? -1 : std::min(rows.front(), int(m_items.size()) - 1);
    reloadTable();
    if (first >= 0) m_tableView->QTableView::selectRow(first);
    updateButtons();
}

} // namespace cv
