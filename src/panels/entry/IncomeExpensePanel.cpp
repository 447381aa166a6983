#include "panels/entry/IncomeExpensePanel.h"

#include "controls/CategoryChooserModel.h"
#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/TableColumn.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "model/EditFlags.h"
#include "panels/entry/CurrencyRounding.h"
#include "panels/dialogs/RepeatedEntryDialog.h"
#include "platform/Localization.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace cv {

namespace {

// The first leaf reached by going down the first child.
int firstLeafIdent(const NodePtr &node)
{
    NodePtr n = node;
    while (n && !n->children().empty()) n = n->children().front();
    return n ? n->ident() : 0;
}
} // namespace

IncomeExpensePanel::IncomeExpensePanel(Book *doc, NodePtr node, const QDate &from, const QDate &to, QWidget *parent)
    : EntryListPanel(doc, std::move(node), from, to, parent), m_titleField(new QLabel(this)),
      m_totalField(new QLabel(this))
{
    m_lastGroup = 0;
    readRows();

    m_totalField->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layoutPanel(m_titleField, new QLabel(cv::localizedString("Actual-Total"), this), m_totalField);

    buildTable();
    m_titleField->setText(item() ? doc->displayName(*item()) : QString());
    // Deletions, restorations, typing and undo all end in a reload: the total follows.
    QAbstractItemModel *model = tableView()->model();
    connect(model, &QAbstractItemModel::dataChanged, this, &IncomeExpensePanel::updateTotal);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &IncomeExpensePanel::updateTotal);
    connect(model, &QAbstractItemModel::rowsInserted, this, &IncomeExpensePanel::updateTotal);
    connect(model, &QAbstractItemModel::modelReset, this, &IncomeExpensePanel::updateTotal);
    updateTotal();
    updateButtons();
    addItem();
}

IncomeExpensePanel::~IncomeExpensePanel()
{
    closeRepeatDialog();
    detachFromTable();
}

void IncomeExpensePanel::buildTable()
{
    buildColumns({
        {DateColumn, "Actual-Date", 112, cv::CellKind::Date},
        {AmountColumn, "Actual-Amount", 110, cv::CellKind::Plain},
        {GroupColumn, "Actual-Group", 110, cv::CellKind::Chooser},
        {MemoColumn, "Actual-Memo", 180, cv::CellKind::Plain},
        {CategoryColumn, "Actual-Category", 140, cv::CellKind::Chooser},
        {AccountColumn, "Actual-Account", 140, cv::CellKind::Chooser},
    });
}

// ---- rows

void IncomeExpensePanel::readRows()
{
    std::optional<cv::EntryList> found;
    if (item() && item()->isCategory()) {
        found = doc()->reads().findEntriesFrom(firstDay(), lastDay(), item()->ident());
    } else if (item()) {
        const std::vector<int> categories = item()->enumerateCategories();
        found = doc()->reads().findEntriesFrom(firstDay(), lastDay(), QList<int>(categories.begin(), categories.end()));
    }
    setItems(found);
    if (!m_defaultsSet) setDefaults();
}

NodePtr IncomeExpensePanel::findItem() const
{
    // A root is found by its ident as well.
    return m_isExpense ? doc()->findExpense(item()->ident()) : doc()->findIncome(item()->ident());
}

void IncomeExpensePanel::setDefaults()
{
    m_defaultsSet = true;
    const auto model = doc()->categoryTrees();
    const NodePtr expense = model ? model->expense() : nullptr;
    m_isExpense = item() && expense && item()->hasAncestor(expense.get());
    m_lastKind = m_isExpense ? cv::EntryKind::Expense : cv::EntryKind::Income;
    if (const EntryPtr lastRow = entryAt(rowCount() - 1)) {
        const Entry &last = *lastRow;
        m_lastAccount = last.account();
        m_lastCategory = last.category();
    } else {
        m_lastAccount = RepeatedEntryDialog::defaultAccount(*doc());
        m_lastCategory = firstLeafIdent(item());
    }
}

RowPanel::RowPtr IncomeExpensePanel::newRow()
{
    auto row = std::make_shared<Entry>();
    row->setKind(m_isExpense ? cv::EntryKind::Expense : cv::EntryKind::Income);
    row->setCategory(m_lastCategory);
    row->setAccount(m_lastAccount);
    row->setGroup(m_lastGroup);
    return row;
}

// ---- total

void IncomeExpensePanel::updateTotal()
{
    const CurrencyPtr def = doc()->defaultCurrency();
    const int target = def ? def->ident() : 0;
    double total = 0;
    // Deleted rows have left the list.
    for (const RowPtr &ptr : items()) {
        const Entry &row = *entryOf(ptr);
        if (row.flags() & cv::EditDeleted) continue;
        total += doc()->convert(target, row.amount(), doc()->currencyOfAccount(row.account()), row.date());
    }
    const QString text = doc()->stringForValue(std::fabs(total), target, false);
    m_totalField->setText(total < 0 ? QLatin1Char('-') + text : text);
}

QString IncomeExpensePanel::totalText() const
{
    return m_totalField->text();
}

// ---- display and editing

cv::CellValue IncomeExpensePanel::uniqueContentForItem(const Entry &row, int cid, const NodePtr &account) const
{
    if (cid == CategoryColumn) {
        const NodePtr category = m_isExpense ? doc()->findExpense(row.category()) : doc()->findIncome(row.category());
        return category ? doc()->displayName(*category) : QString();
    }
    if (cid == AccountColumn) return account ? doc()->displayName(*account) : QString();
    return QString();
}

bool IncomeExpensePanel::isColumnEditable(int cid, int row) const
{
    // A loan repayment may still move to another category.
    return cid == CategoryColumn || EntryPanel::isColumnEditable(cid, row);
}

int IncomeExpensePanel::firstUnfinishedColumnForRow(int row) const
{
    const EntryPtr e = entryAt(row);
    if (!e) return -1;
    if (e->account() <= 0) return AccountColumn;
    return e->amount() == 0 ? AmountColumn : -1;
}

void IncomeExpensePanel::editSpecialPopupForColumn(int column, int row)
{
    const int cid = tableView()->cidOfColumn(column);
    if (cid == AccountColumn) {
        runAccountPopup(column, row, Field::Account, 0);
        return;
    }
    if (cid != CategoryColumn) return;
    const EntryPtr e = entryAt(row);
    if (!e) return;
    runCategoryPopup(column, row, m_isExpense ? 2 : 1, e->category());
}

void IncomeExpensePanel::endAccountPopup(const cv::ChooserItem &result)
{
    const EntryPtr e = entryAt(m_popupRow);
    if (!e || !result || result.ident() <= 0 || result.ident() == e->account()) {
        EntryPanel::endAccountPopup(result);
        return;
    }
    const double amount = cv::amountForAccountMove(*doc(), e->amount(), e->account(), result.ident());
    const QString title = changeTitle(Field::Account);
    beginBatchChangeWithTitle(title);
    change(e, Field::Amount, amount, title);
    m_lastAccount = result.ident();
    change(e, Field::Account, result.ident(), title);
    endBatchChange();
}

// ---- commit

void IncomeExpensePanel::commitRows()
{
    // Rows appended after this commit would never be written.
    closeRepeatDialog();
    int rc = 0;
    {
        cv::EditScope edit(*doc());
        for (const RowPtr &ptr : pendingRows()) {
            const EntryPtr row = entryOf(ptr);
            const EntryPtr copy = copyOf(row);
            const int flags = row->flags();
            const bool isNew = flags & cv::EditNew;
            const bool touched = flags & (cv::EditChanged | cv::EditNew);
            // Zero means "delete" only for what the user entered or changed;
            // stored zero entries (imports, XML) stay.
            if (touched && row->amount() == 0) {
                if (isNew) continue;
                row->setFlags(flags | cv::EditDeleted);
            }
            const bool deleted = row->flags() & cv::EditDeleted;
            if (deleted && isNew) continue;
            if (!deleted) {
                // Without an account the entry is unfinished: nothing to book it on.
                if (!touched || row->account() <= 0) continue;
                dropDeletedGroupings(*row);
            }
            const EntryPtr entry = deleted ? nullptr : row;
            const EntryPtr old = deleted ? (copy ? copy : row) : copy;
            writeEntry(entry, old);
            ++rc;
        }
    }
    setReturnCode(rc);
    if (rc > 0) Q_EMIT searchListShouldClear();
}

} // namespace cv
