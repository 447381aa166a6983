#include "panels/entry/TransferPanel.h"

#include "controls/EditingTable.h"
#include "controls/TableColumn.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "model/EditFlags.h"
#include "panels/entry/CurrencyRounding.h"
#include "platform/Localization.h"

#include <QHeaderView>
#include <QLabel>

namespace cv {

namespace {
constexpr int kMaxTransferCategories = 101; // the store's list holds at most this many
} // namespace

TransferPanel::TransferPanel(Book *doc, NodePtr node, const QDate &from, const QDate &to, QWidget *parent)
    : EntryListPanel(doc, std::move(node), from, to, parent), m_titleField(new QLabel(this))
{
    readRows();
    layoutPanel(m_titleField, nullptr, nullptr);
    buildTable();
    m_titleField->setText(item() ? doc->displayName(*item()) : QString());
    updateButtons();
    addItem();
}

TransferPanel::TransferPanel(Book *doc, QWidget *parent) : EntryListPanel(doc, nullptr, QDate(), QDate(), parent) {}

TransferPanel::~TransferPanel()
{
    closeRepeatDialog();
    detachFromTable();
}

void TransferPanel::buildTable()
{
    buildColumns({
        {DateColumn, "Transfer-Date", 112, cv::CellKind::Date},
        {AmountColumn, "Transfer-Amount", 110, cv::CellKind::Plain},
        {GroupColumn, "Transfer-Group", 100, cv::CellKind::Chooser},
        {MemoColumn, "Transfer-Memo", 150, cv::CellKind::Plain},
        {SourceColumn, "Transfer-From", 130, cv::CellKind::Chooser},
        {DestinationColumn, "Transfer-To", 130, cv::CellKind::Chooser},
        {ConvertedColumn, "Transfer-Converted", 110, cv::CellKind::Plain},
    });
}

// ---- rows

void TransferPanel::readRows()
{
    std::optional<cv::EntryList> found;
    if (item() && !item()->children().empty()) {
        QList<int> categories;
        for (const auto &child : item()->children())
            if (child && categories.size() < kMaxTransferCategories) categories << child->ident();
        found = doc()->reads().findEntriesFrom(firstDay(), lastDay(), categories);
    } else if (item()) {
        found = doc()->reads().findEntriesFrom(firstDay(), lastDay(), item()->ident());
    }
    setItems(found);
}

NodePtr TransferPanel::findItem() const
{
    const CategoryTreesPtr &trees = doc()->categoryTrees();
    return trees && trees->moneyFlow() ? trees->moneyFlow()->findMemberWithIdent(item()->ident()) : nullptr;
}

RowPanel::RowPtr TransferPanel::newRow()
{
    auto row = std::make_shared<Entry>();
    row->setKind(cv::EntryKind::Transfer);
    return row;
}

bool TransferPanel::needsExchange(const Entry &row) const
{
    return row.account() > 0 && row.destination() > 0 && doc()->accountNeedsExchange(row.account(), row.destination());
}

// ---- display

std::optional<TransferPanel::Field> TransferPanel::amountFieldForColumn(int cid) const
{
    if (cid == ConvertedColumn) return Field::Converted;
    return cid == AmountColumn ? std::optional(Field::Amount) : std::nullopt;
}

std::optional<TransferPanel::Field> TransferPanel::accountFieldForColumn(int cid, const Entry &row) const
{
    // An amount without a source has no currency.
    if (cid == AmountColumn) return row.account() > 0 ? std::optional(Field::Account) : std::nullopt;
    if (cid == ConvertedColumn && needsExchange(row)) return Field::Destination;
    return std::nullopt;
}

cv::CellValue TransferPanel::uniqueContentForItem(const Entry &row, int cid, const NodePtr &account) const
{
    switch (cid) {
    case SourceColumn: return account ? doc()->displayName(*account) : QString();
    case DestinationColumn: {
        const NodePtr destination = row.destination() > 0 ? doc()->findAccount(row.destination()) : nullptr;
        return destination ? doc()->displayName(*destination) : QString();
    }
    case ConvertedColumn:
        if (row.converted() == 0) return QString();
        return amountValue(row.converted(), doc()->currencyOfAccount(row.destination()));
    default: return QString();
    }
}

std::optional<cv::CellCurrency> TransferPanel::currencyForColumn(int cid, int row) const
{
    if (cid != ConvertedColumn) return EntryPanel::currencyForColumn(cid, row);
    const EntryPtr e = entryAt(row);
    if (!e) return std::nullopt;
    const CurrencyPtr currency = doc()->findCurrency(doc()->currencyOfAccount(e->destination()));
    if (!currency) return std::nullopt;
    return cv::CellCurrency{currency->ident(), currency->fraction()};
}

// ---- editing decisions

void TransferPanel::uniqueSetObjectValue(const QString &text, const EntryPtr &row, int cid, int)
{
    if (cid != ConvertedColumn) return;
    const double value = amountForText(text, doc()->currencyOfAccount(row->destination())).value_or(0);
    if (value == row->converted()) return;
    setChanged(row);
    row->setConverted(value);
}

int TransferPanel::firstUnfinishedColumnForRow(int row) const
{
    cv::changeTextInputSource(tableView(), false);
    const EntryPtr e = entryAt(row);
    if (!e) return -1;
    if (e->account() <= 0) return SourceColumn;
    if (e->destination() <= 0) return DestinationColumn;
    return e->amount() == 0 ? AmountColumn : -1;
}

bool TransferPanel::isColumnSelectable(const EditingTable *, int cid, int row) const
{
    if (row < 0 || row >= rowCount() || isLoan(row)) return false;
    const EntryPtr e = entryAt(row);
    if (cid == AmountColumn) return e->account() > 0;
    if (cid == ConvertedColumn) return needsExchange(*e);
    return true;
}

int TransferPanel::transferColumnSearch(int column, int row, cv::Movement movement) const
{
    const int count = tableView()->numberOfColumns();
    const bool clickOnConverted =
        tableView()->cidOfColumn(column) == ConvertedColumn && movement == cv::Movement::Click;
    if (clickOnConverted)
        movement = isColumnSelectable(tableView(), AmountColumn, row) ? cv::Movement::Forward : cv::Movement::Backward;
    if (row < 0) return column;
    auto search = [&](int from, bool backward) {
        for (int c = from; backward ? c > 0 : c < count; c += backward ? -1 : 1)
            if (isColumnSelectable(tableView(), tableView()->cidOfColumn(c), row)) return c;
        return backward ? 0 : count;
    };
    const bool backward = movement == cv::Movement::Backward;
    int answer = search(column, backward);
    if (!backward && answer >= count && clickOnConverted && column > 0) answer = search(column - 1, true);
    return answer < 0 || answer >= count ? 0 : answer;
}

int TransferPanel::verifyEditableColumn(int column, int row, cv::Movement movement)
{
    return transferColumnSearch(column, row, movement);
}

// ---- the account chooser

void TransferPanel::editSpecialPopupForColumn(int column, int row)
{
    const EntryPtr e = entryAt(row);
    if (!e) return;
    const int cid = tableView()->cidOfColumn(column);
    if (cid == SourceColumn) runAccountPopup(column, row, Field::Account, e->destination());
    if (cid == DestinationColumn) runAccountPopup(column, row, Field::Destination, e->account());
}

void TransferPanel::endAccountPopup(const cv::ChooserItem &result)
{
    const EntryPtr e = entryAt(m_popupRow);
    if (!e || !result) {
        EntryPanel::endAccountPopup(result);
        return;
    }
    const bool sourceSide = m_popupField == Field::Account;
    const int oldSource = e->account();
    const int oldDestination = e->destination();
    EntryPanel::endAccountPopup(result);
    if (indexOfRow(e) < 0) return;
    // What follows adjusts the row to the pick directly, outside the undo steps.
    if (oldSource >= 0 && oldDestination >= 0) {
        if (sourceSide && e->account() != oldSource) {
            if (oldSource > 0) e->setAmount(cv::amountForAccountMove(*doc(), e->amount(), oldSource, e->account()));
            if (e->destination() > 0 && !doc()->accountNeedsExchange(e->account(), e->destination()))
                e->setConverted(0);
        } else if (!sourceSide && e->destination() != oldDestination && oldDestination > 0) {
            e->setConverted(cv::amountForAccountMove(*doc(), e->converted(), oldDestination, e->destination()));
        }
    }
    if (e->account() > 0 && e->account() == e->destination()) {
        setChanged(e);
        if (sourceSide)
            e->setDestination(0);
        else
            e->setAccount(0);
        e->setConverted(0);
    } else if (!sourceSide && e->destination() != oldDestination && !needsExchange(*e)) {
        setChanged(e);
        e->setConverted(0);
    }
    reloadTable();
}

// ---- commit

void TransferPanel::commitRows()
{
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
            if (isNew && row->amount() == 0) continue;
            // Only what the user entered or changed is judged unfinished; a
            // stored row read as it is stays.
            if (touched && (row->amount() == 0 || row->destination() <= 0 || row->account() <= 0))
                row->setFlags(row->flags() | cv::EditDeleted);
            if (row->flags() & cv::EditDeleted) {
                if (isNew) continue;
                writeEntry(nullptr, copy ? copy : row);
                ++rc;
                continue;
            }
            if (!touched) continue;
            dropDeletedGroupings(*row);
            doc()->fixupTransferCategory(*row);
            writeEntry(row, copy);
            ++rc;
        }
        doc()->commitCategoryTrees();
    }
    setReturnCode(rc);
    if (rc > 0) Q_EMIT searchListShouldClear();
}

} // namespace cv
