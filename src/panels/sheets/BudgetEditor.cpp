#include "panels/sheets/BudgetEditor.h"

#include "controls/EditingTable.h"
#include "controls/TrackedDialog.h"
#include "controls/OpenSheet.h"
#include "controls/StyledText.h"
#include "controls/TableColumn.h"
#include "document/Book.h"
#include "model/Budget.h"
#include "model/Currency.h"
#include "panels/sheets/BudgetEditorSections.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace cv {

namespace {

enum Column { MonthColumn = 0, CategoryColumn = 1, ValueColumn = 2 };
const QColor kChangedColor = QColor::fromRgbF(0, 0, 1);
const QColor kOddMonthColor = QColor::fromRgbF(0.929, 0.953, 0.996);

void addSubtree(std::vector<RowPanel::RowPtr> &rows, const NodePtr &node)
{
    if (!node) return;
    rows.push_back(node);
    for (const NodePtr &child : node->children()) addSubtree(rows, child);
}

int depthOf(const Node &node)
{
    int depth = 0;
    for (const Node *p = node.parent(); p; p = p->parent()) ++depth;
    return depth;
}

// The second press of the double-click that opened the sheet lands on the
// window below, and some window systems then make that window active: typing
// would go to a blocked window. The sheet takes the keyboard back.
class KeyboardKeeper : public QObject {
public:
    KeyboardKeeper(QWidget *below, QDialog *sheet) : QObject(sheet), m_sheet(sheet) { below->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate && m_sheet->isVisible())
            QTimer::singleShot(0, m_sheet, [sheet = m_sheet] { sheet->activateWindow(); });
        return false;
    }

private:
    QDialog *m_sheet; // the parent
};

} // namespace

BudgetEditor::BudgetEditor(Book *doc, NodePtr item, const QDate &date, int months, QWidget *parent)
    : RowPanel(doc, std::move(item), date, date, parent), m_months(std::clamp(months, 1, 12)),
      m_titleField(new QLabel(this)), m_dateField(new QLabel(this)),
      m_cancelButton(new QPushButton(cv::localizedString(QStringLiteral("Cancel")), this))
{
    setEditOnly(true);
    buildColumns({{MonthColumn, "Budget-Editor-Month", 48, cv::CellKind::Plain},
                  {CategoryColumn, "Budget-Editor-Category", 220, cv::CellKind::Plain},
                  {ValueColumn, "Budget-Editor-Budget", 120, cv::CellKind::Plain}});
    tableView()->setColumnWidth(MonthColumn, 48);
    new cv::BudgetEditorSections(
        tableView(), [this](int row) { return backgroundColorForRow(row); }, [this] { return rowsPerSection(); });

    m_titleField->setObjectName(QStringLiteral("titleField"));
    m_dateField->setObjectName(QStringLiteral("dateField"));
    m_titleField->setText(this->item() ? doc->displayName(*this->item()) : QString());
    m_dateField->setText(QString::number(firstDay().year()));
    auto *layout = new QVBoxLayout(this);
    auto *head = new QHBoxLayout;
    QFont bold = m_titleField->font();
    bold.setBold(true);
    m_titleField->setFont(bold);
    head->addWidget(m_titleField);
    head->addStretch(1);
    head->addWidget(m_dateField);
    layout->addLayout(head);
    layout->addWidget(tableView(), 1);
    auto *foot = new QHBoxLayout;
    foot->addStretch(1);
    foot->addWidget(m_cancelButton);
    foot->addWidget(okButton());
    layout->addLayout(foot);

    // OK, Ctrl+Return and the button all end here.
    disconnect(okButton(), nullptr, this, nullptr);
    connect(okButton(), &QPushButton::clicked, this, &BudgetEditor::okPushed);
    connect(this, &RowPanel::closeMaximizedPanelRequested, this, &BudgetEditor::okPushed);
    connect(m_cancelButton, &QPushButton::clicked, this, &BudgetEditor::cancelPushed);

    readRows();
    reloadTable();
    okButton()->setEnabled(false);
}

BudgetEditor::~BudgetEditor()
{
    detachFromTable();
}

QDialog *BudgetEditor::openBudgetEditor(Book *doc, const NodePtr &item, const QDate &date, int months, QWidget *parent,
                                        std::function<void(int)> done)
{
    if (!doc || !item || !date.isValid()) return nullptr;
    auto *sheet = new TrackedDialog(parent);
    sheet->setObjectName(QStringLiteral("BudgetEditor"));
    sheet->setWindowTitle(cv::localizedString(QStringLiteral("Budget-Editor-Title")));
    auto *editor = new BudgetEditor(doc, item, date, months, sheet);
    auto *layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(editor);
    connect(editor, &BudgetEditor::ended, sheet, &QDialog::done);
    // Esc and the close box are Cancel.
    connect(sheet, &QDialog::rejected, editor, [editor] { editor->tableView()->forceEndFieldEditing(false); });

    // Every row shows when the screen has room; never taller than the room below the top.
    EditingTable *table = editor->tableView();
    const int rowsHeight = table->verticalHeader()->defaultSectionSize() * editor->numberOfRows(table);
    const int wanted = rowsHeight + table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth() + 90;
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().height() - 60 : wanted;
    sheet->resize(440, std::clamp(wanted, 200, std::max(room, 200)));
    // Smaller would hide rows the size was chosen to show.
    sheet->setMinimumSize(sheet->size());
    cv::openSheet(sheet, parent, [done = std::move(done)](int code, TrackedDialog *) {
        if (done) done(code);
    });
    if (editor->numberOfRows(table) > 0) table->editColumn(ValueColumn, 0, nullptr, true);
    if (parent) new KeyboardKeeper(parent->window(), sheet);
    return sheet;
}

// ---------------------------------------------------------------- rows

void BudgetEditor::readRows()
{
    std::vector<RowPtr> rows;
    addSubtree(rows, item());
    setItems(std::move(rows));
}

int BudgetEditor::numberOfRows(const EditingTable *) const
{
    return rowsPerSection() * m_months;
}

Node *BudgetEditor::categoryOfRow(int row) const
{
    const int n = rowsPerSection();
    if (row < 0 || n == 0 || row >= n * m_months) return nullptr;
    return rowAt(row % n).category().get();
}

int BudgetEditor::monthOfRow(int row) const
{
    const int n = rowsPerSection();
    return n == 0 ? firstDay().month() : firstDay().month() + row / n;
}

double BudgetEditor::storedBudget(const Node &category, int month) const
{
    const auto *budget = dynamic_cast<const Budget *>(category.extra().get());
    // A month number past 12 is a month of the following year: the key counts on.
    return budget ? budget->budgetAt(firstDay().year(), month) : 0;
}

std::optional<double> BudgetEditor::changeForItem(const Node &category, int month) const
{
    const auto it = m_changedItems.find(&category);
    if (it == m_changedItems.end()) return std::nullopt;
    const auto value = it->second.find(month);
    if (value == it->second.end()) return std::nullopt;
    return value->second;
}

double BudgetEditor::budgetForItem(const Node &category, int month) const
{
    return changeForItem(category, month).value_or(storedBudget(category, month));
}

void BudgetEditor::change(Node &category, int month, double value)
{
    m_changedItems[&category][month] = value;
    markChanged();
    updateButtons();
}

QColor BudgetEditor::backgroundColorForRow(int row) const
{
    return monthOfRow(row) % 2 == 0 ? QColor(Qt::white) : kOddMonthColor;
}

// ---------------------------------------------------------------- table

cv::CellValue BudgetEditor::objectValue(const EditingTable *, int cid, int row) const
{
    const Node *category = categoryOfRow(row);
    if (!category) return {};
    const int month = monthOfRow(row);
    cv::StyledText text;
    if (changeForItem(*category, month)) text.color = kChangedColor;
    switch (cid) {
    case MonthColumn:
        text.text = QString::number(month > 12 ? month - 12 : month);
        text.alignment = Qt::AlignRight | Qt::AlignVCenter;
        break;
    case CategoryColumn: text.text = QString(2 * depthOf(*category), u' ') + doc()->displayName(*category); break;
    case ValueColumn: {
        const double value = budgetForItem(*category, month);
        if (value != 0) text.text = doc()->stringForValue(value, 0, false);
        text.alignment = Qt::AlignRight | Qt::AlignVCenter;
        break;
    }
    default: return {};
    }
    return QVariant::fromValue(text);
}

void BudgetEditor::setObjectValue(EditingTable *, const QString &text, int cid, int row)
{
    Node *category = categoryOfRow(row);
    if (cid != ValueColumn || !category) return;
    std::optional<double> value = doc()->numberForString(text, 0);
    if (text.trimmed().isEmpty()) value = 0;
    // Text that is no amount leaves the month as it was.
    if (value) {
        const int month = monthOfRow(row);
        if (changeForItem(*category, month) || *value != storedBudget(*category, month))
            change(*category, month, *value);
    }
    reloadTable();
}

int BudgetEditor::verifyEditableColumn(int, int, cv::Movement)
{
    return ValueColumn;
}

bool BudgetEditor::isColumnSelectable(const EditingTable *, int cid, int) const
{
    return cid == ValueColumn;
}

bool BudgetEditor::shouldEditColumn(const EditingTable *, int cid, int) const
{
    return cid == ValueColumn;
}

void BudgetEditor::prepareCell(const EditingTable *, cv::PreparedCell &cell, int, int) const
{
    cell.kind = cv::CellKind::Plain;
}

bool BudgetEditor::handleEscape()
{
    cancelPushed();
    return true;
}

std::optional<cv::CellCurrency> BudgetEditor::currencyForColumn(int cid, int) const
{
    if (cid != ValueColumn) return std::nullopt;
    const CurrencyPtr currency = doc()->defaultCurrency();
    return cv::CellCurrency{currency ? currency->ident() : 0, currency ? currency->fraction() : 0};
}

std::optional<QString> BudgetEditor::proposedString(PopupFieldEditor *editor, const QString &oldText,
                                                    cv::TextSelection oldSelection, const QString &newText,
                                                    int currency, int fractionLength)
{
    // Typing is a change: OK ends the edit and stores it.
    markChanged();
    okButton()->setEnabled(true);
    return RowPanel::proposedString(editor, oldText, oldSelection, newText, currency, fractionLength);
}

void BudgetEditor::updateButtons()
{
    okButton()->setEnabled(hasChanged());
}

// ---------------------------------------------------------------- ending

void BudgetEditor::okPushed()
{
    tableView()->forceEndFieldEditing(true);
    setReturnCode(m_changedItems.empty() ? 0 : 1);
    if (returnCode() == 1) applyChanges();
    Q_EMIT ended(returnCode());
}

void BudgetEditor::cancelPushed()
{
    tableView()->forceEndFieldEditing(false);
    m_changedItems.clear();
    setReturnCode(0);
    Q_EMIT ended(0);
}

void BudgetEditor::applyChanges()
{
    const int year = firstDay().year();
    for (int index = 0; index < rowsPerSection(); ++index) {
        const NodePtr &category = rowAt(index).category();
        const auto it = m_changedItems.find(category.get());
        if (it == m_changedItems.end()) continue;
        // A failed edit elsewhere may have read the book back while the sheet was up.
        NodePtr held = doc()->findExpense(category->ident());
        if (!held) held = doc()->findIncome(category->ident());
        for (const auto &[month, value] : it->second) (held ? held : category)->setBudgetAt(year, month, value);
    }
    m_changedItems.clear();
}

} // namespace cv
