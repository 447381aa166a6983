#include "controls/EditingTable.h"

#include "controls/PopupFieldEditor.h"
#include "controls/StyledText.h"
#include "controls/TableCell.h"
#include "controls/TableCellDelegate.h"
#include "controls/TableModelAdapter.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QMouseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QHelpEvent>
#include <QToolTip>

#include <cmath>

namespace cv {

namespace {

constexpr int kStartFontSize = 13;
constexpr int kSmallestFontSize = 6; // refused, as is the largest
constexpr int kLargestFontSize = 32;
constexpr int kTextInset = 4;           // as the cells inset their text
constexpr int kLineEditInnerMargin = 2; // QLineEdit's own horizontal margin

} // namespace

EditingTable::EditingTable(QWidget *parent) : SelectionSafeTableView(parent), m_model(new cv::TableModelAdapter(this))
{
    setModel(m_model);
    setItemDelegate(new cv::TableCellDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    viewport()->setMouseTracking(true);
    QPalette pal = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    setPalette(pal);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { placeEditor(); });
    QFont font = this->font();
    // Japanese text in Noto Sans CJK, whatever the interface font lacks. The
    // interface font by the family it resolves to: a generic name ("Sans
    // Serif") heads no list, and the CJK font would draw the Latin text.
    font.setFamilies({QFontInfo(font).family(), QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(kStartFontSize);
    setTableFont(font);
}

EditingTable::~EditingTable()
{
    // The shared editor outlives every table: take it off before it would be
    // deleted with the viewport.
    PopupFieldEditor *editor = ExistingPopupFieldEditor();
    if (!editor) return;
    if (editor->parentWidget() == viewport()) {
        m_ignoreEndEditing = true;
        editor->hide();
        editor->setParent(nullptr);
    }
    if (editor->editingView() == this) editor->clearEditingView();
}

void EditingTable::setClient(cv::TableClient *client)
{
    m_client = client;
    m_clientObject = dynamic_cast<QObject *>(client);
    m_clientIsObject = m_clientObject != nullptr;
    resetModel();
}

cv::TableClient *EditingTable::client() const
{
    if (m_clientIsObject && !m_clientObject) return nullptr;
    return m_client;
}

void EditingTable::addColumn(std::unique_ptr<cv::TableColumn> column)
{
    m_columns.push_back(std::move(column));
    resetModel();
}

void EditingTable::removeColumnsFrom(int column)
{
    if (column < 0 || column >= numberOfColumns()) return;
    m_columns.erase(m_columns.begin() + column, m_columns.end());
    resetModel();
}

void EditingTable::refreshColumnHeaders()
{
    if (numberOfColumns() > 0) Q_EMIT m_model->headerDataChanged(Qt::Horizontal, 0, numberOfColumns() - 1);
}

void EditingTable::resetModel()
{
    forceEndFieldEditing(false);
    m_model->columnsChanged();
    // A model reset forgets the widths: give every column its own again.
    for (int i = 0; i < numberOfColumns(); ++i) setColumnWidth(i, m_columns[size_t(i)]->width());
}

int EditingTable::numberOfRows() const
{
    return m_model->rowCount();
}

const cv::TableColumn *EditingTable::tableColumn(int column) const
{
    return column >= 0 && column < numberOfColumns() ? m_columns[size_t(column)].get() : nullptr;
}

cv::TableColumn *EditingTable::tableColumn(int column)
{
    return column >= 0 && column < numberOfColumns() ? m_columns[size_t(column)].get() : nullptr;
}

int EditingTable::columnWithIdentifier(int cid) const
{
    // Positions equal ids in most tables: look there first.
    if (cid >= 0 && cid < numberOfColumns() && m_columns[size_t(cid)]->cid() == cid) return cid;
    for (int i = 0; i < numberOfColumns(); ++i) {
        if (m_columns[size_t(i)]->cid() == cid) return i;
    }
    return -1;
}

int EditingTable::cidOfColumn(int column) const
{
    const cv::TableColumn *c = tableColumn(column);
    return c ? c->cid() : -1;
}

void EditingTable::reloadData()
{
    m_model->syncRowCount();
    m_model->refreshValues();
    if (isEditing() && m_editedRow >= numberOfRows()) forceEndFieldEditing(false);
    fitColumns();
}

QString EditingTable::shownText(int column, int row) const
{
    const cv::TableClient *owner = client();
    const cv::PreparedCell cell = preparedCell(column, row);
    if (!owner || cell.kind == cv::CellKind::Empty) return {};
    const QVariant value = m_model->index(row, column).data(cv::TableModelAdapter::CellValueRole);
    return cell.formatter ? cell.formatter(value) : cv::cellText(value, owner->dateFormat());
}

QString EditingTable::cutText(int column, int row) const
{
    const QString text = shownText(column, row);
    const cv::PreparedCell cell = preparedCell(column, row);
    const QRect room = cv::TableCell::forKind(cell.kind).textRect(cellFrame(column, row), cell);
    // Asked of the painter's own elision: a width rounded to whole pixels misses a cut by a fraction.
    return cv::TableCell::shownPart(text, m_font, room.width()) != text ? text : QString();
}

void EditingTable::setColumnFitsContent(int cid)
{
    const int column = columnWithIdentifier(cid);
    if (column < 0) return;
    m_fittedColumns.emplace_back(cid, columnWidth(column));
    fitColumns();
}

// Only the rows on screen are measured: a long book is never read whole for it.
void EditingTable::fitColumns()
{
    const int rows = numberOfRows();
    if (m_fittedColumns.empty() || rows == 0 || !client()) return;
    int first = rowAt(0);
    int last = rowAt(viewport()->height() - 1);
    if (first < 0) first = 0;
    if (last < 0) last = std::min(rows - 1, first + viewport()->height() / std::max(1, rowHeight(0)) + 1);
    const QFontMetricsF metrics(m_font);
    for (const auto &[cid, made] : m_fittedColumns) {
        const int column = columnWithIdentifier(cid);
        if (column < 0) continue;
        // What the other columns leave, a stretching last one at the width it was made with:
        // widening never pushes a column out of sight.
        int others = 0;
        for (int c = 0; c < numberOfColumns(); ++c) {
            const bool stretched = c == numberOfColumns() - 1 && horizontalHeader()->stretchLastSection();
            if (c != column) others += stretched && tableColumn(c) ? tableColumn(c)->width() : columnWidth(c);
        }
        const int cap = std::min(viewport()->width() / 3, viewport()->width() - others);
        int wanted = made;
        for (int row = first; row <= last; ++row) {
            const cv::PreparedCell cell = preparedCell(column, row);
            const QRect frame(0, 0, 1000, rowHeight(row));
            const int padding = frame.width() - cv::TableCell::forKind(cell.kind).textRect(frame, cell).width();
            // Rounded up: a text a fraction of a pixel wider than its room is cut.
            const int text = int(std::ceil(metrics.horizontalAdvance(shownText(column, row))));
            wanted = std::max(wanted, text + padding + 1);
        }
        const int width = std::max(made, std::min(std::max(wanted, columnWidth(column)), cap));
        if (width != columnWidth(column)) setColumnWidth(column, width);
    }
}

bool EditingTable::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = index.isValid() ? cutText(index.column(), index.row()) : QString();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        return true;
    }
    return SelectionSafeTableView::viewportEvent(event);
}

void EditingTable::noteNumberOfRowsChanged()
{
    m_model->syncRowCount();
}

cv::PreparedCell EditingTable::preparedCell(int column, int row) const
{
    const cv::TableColumn *c = tableColumn(column);
    if (!c) {
        cv::PreparedCell none;
        none.kind = cv::CellKind::Empty;
        none.showsButtons = false;
        return none;
    }
    cv::PreparedCell cell = c->dataCellForRow(this, row);
    if (const cv::TableClient *owner = client(); owner && cell.kind != cv::CellKind::Empty)
        owner->prepareCell(this, cell, c->cid(), row);
    return cell;
}

QRect EditingTable::cellFrame(int column, int row) const
{
    return visualRect(m_model->index(row, column));
}

bool EditingTable::validCell(int column, int row) const
{
    return column >= 0 && column < numberOfColumns() && row >= 0 && row < numberOfRows();
}

void EditingTable::editColumn(int column, int row, const QMouseEvent *event, bool select)
{
    if (!client() || !validCell(column, row)) return;
    const cv::PreparedCell cell = preparedCell(column, row);
    const cv::TableCell &painter = cv::TableCell::forKind(cell.kind);
    if (!painter.isEditable()) return;
    // Also for the same cell (a click on its button): what was typed is
    // stored before the cell's value is read again.
    if (isEditing()) endFieldEditing();

    PopupFieldEditor *editor = GetPopupFieldEditor();
    m_editedColumn = column;
    m_editedRow = row;
    scrollTo(m_model->index(row, column));
    const QVariant value = client()->objectValue(this, cidOfColumn(column), row);
    const QString text = cell.formatter ? cell.formatter(value) : cv::cellText(value, client()->dateFormat());
    {
        // Showing the editor must not count as the end of the last edit.
        const QSignalBlocker blocker(editor);
        if (editor->parentWidget() != viewport()) editor->setParent(viewport());
        editor->setFont(m_font);
        editor->setText(text);
        editor->setPlaceholderText(cell.placeholder);
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
        if (value.metaType() == QMetaType::fromType<cv::StyledText>())
            alignment = value.value<cv::StyledText>().alignment | Qt::AlignVCenter;
        editor->setAlignment(alignment);
    }
    painter.setUpFieldEditor(editor, this, cell);
    placeEditor();
    editor->show();
    editor->raise();
    editor->setFocus(Qt::OtherFocusReason);
    if (select || cell.kind == cv::CellKind::Chooser) {
        editor->selectText();
    } else if (event) {
        editor->setCursorPosition(editor->cursorPositionAt(editor->mapFrom(viewport(), event->position().toPoint())));
    }
}

void EditingTable::placeEditor()
{
    PopupFieldEditor *editor = ExistingPopupFieldEditor();
    if (!isEditing() || !editor || editor->parentWidget() != viewport()) return;
    const QRect frame = cellFrame(m_editedColumn, m_editedRow);
    const cv::PreparedCell cell = preparedCell(m_editedColumn, m_editedRow);
    // The editor covers the cell up to its buttons, grid line excluded, and
    // its text margins put the text where the cell paints it.
    const QRect text = cv::TableCell::forKind(cell.kind).textRect(frame, cell);
    QRect rect = frame.adjusted(0, 0, -1, -1);
    rect.setLeft(text.left() - kTextInset);
    rect.setRight(qMin(rect.right(), text.right() + kTextInset));
    const int margin = kTextInset - kLineEditInnerMargin;
    editor->setTextMargins(margin, 0, margin, 0);
    editor->setGeometry(rect);
}

bool EditingTable::storeEditedText(int column, int row)
{
    cv::TableClient *owner = client();
    if (!owner || !validCell(column, row)) return true;
    const QString text = GetPopupFieldEditor()->enteredText();
    if (const QString refusal = owner->refusalOf(text, cidOfColumn(column), row); !refusal.isEmpty()) {
        QApplication::beep();
        GetPopupFieldEditor()->markRefused(refusal);
        return false;
    }
    owner->setObjectValue(this, text, cidOfColumn(column), row);
    return true;
}

void EditingTable::closeEditor()
{
    PopupFieldEditor *editor = GetPopupFieldEditor();
    const bool hadFocus = editor->hasFocus();
    m_editedColumn = -1;
    m_editedRow = -1;
    if (editor->parentWidget() == viewport()) {
        const bool ignoring = m_ignoreEndEditing;
        m_ignoreEndEditing = true;
        editor->hide();
        m_ignoreEndEditing = ignoring;
    }
    editor->clearEditingView();
    if (hadFocus) setFocus(Qt::OtherFocusReason);
}

void EditingTable::endFieldEditing()
{
    if (!isEditing()) return;
    PopupFieldEditor *editor = GetPopupFieldEditor();
    if (editor->isModified()) storeEditedText(m_editedColumn, m_editedRow);
    closeEditor();
}

void EditingTable::forceEndFieldEditing(bool saveData)
{
    if (!isEditing()) return;
    m_ignoreEndEditing = !saveData;
    PopupFieldEditor *editor = GetPopupFieldEditor();
    if (saveData && editor->isModified()) storeEditedText(m_editedColumn, m_editedRow);
    m_ignoreEndEditing = true;
    closeEditor();
    m_ignoreEndEditing = false;
}

void EditingTable::textDidEndEditing()
{
    if (m_ignoreEndEditing || m_endingPopupEdit || !isEditing()) return;
    endFieldEditing();
}

bool EditingTable::validateCommand(cv::TableCommand command, const QAction *action) const
{
    const cv::TableClient *owner = client();
    if (!owner) return false;
    if (action) {
        if (const std::optional<bool> answer = owner->validateMenuItem(this, action)) return *answer;
    }
    const int rows = numberOfRows();
    switch (command) {
    case cv::TableCommand::Delete: {
        if (!owner->answersDelete() || rows == 0) return false;
        const QModelIndexList selected = selectionModel()->selectedRows();
        if (selected.isEmpty()) return true;
        return owner->canDeleteRow(selected.first().row()).value_or(true);
    }
    case cv::TableCommand::SelectAll: return rows > 0;
    case cv::TableCommand::ToggleRowDeleted:
    case cv::TableCommand::Other: return false;
    }
    return false;
}

void EditingTable::deleteRows()
{
    if (cv::TableClient *owner = client(); owner && owner->answersDelete()) owner->deleteRows(this);
}

void EditingTable::toggleRowDeleted(int tag)
{
    if (cv::TableClient *owner = client()) owner->toggleRowDeletedFlag(tag);
}

void EditingTable::setTableFont(const QFont &font)
{
    m_font = font;
    setFont(font);
    horizontalHeader()->setFont(font);
    const int height = QFontMetrics(font).lineSpacing() + 2;
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
    if (PopupFieldEditor *editor = ExistingPopupFieldEditor(); editor && isEditing()) editor->setFont(font);
    placeEditor();
    viewport()->update();
}

void EditingTable::setFontSize(int pixelSize)
{
    QFont font = m_font;
    font.setPixelSize(pixelSize);
    setTableFont(font);
}

void EditingTable::changeFontSize(int step)
{
    const int size = m_font.pixelSize() + step;
    if (size > kSmallestFontSize && size < kLargestFontSize) setFontSize(size);
}

void EditingTable::scrollContentsBy(int dx, int dy)
{
    SelectionSafeTableView::scrollContentsBy(dx, dy);
    if (dy != 0) fitColumns();
    placeEditor();
}

void EditingTable::resizeEvent(QResizeEvent *event)
{
    SelectionSafeTableView::resizeEvent(event);
    fitColumns();
    placeEditor();
}

} // namespace cv
