#include "panels/entry/TradePanel.h"

#include "controls/AccountChooserModel.h"
#include "controls/SecurityChooserModel.h"
#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/PopupFieldEditor.h"
#include "controls/TradeOperationChooserModel.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "model/EditFlags.h"
#include "model/OpeningHolding.h"
#include "panels/dialogs/TradeFilterDialog.h"
#include "panels/entry/EntryPanel.h"
#include "panels/entry/TradeTotalColumn.h"
#include "platform/Assert.h"
#include "platform/Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace cv {

namespace {

constexpr int kFundDigits = 6;

int maskOf(const Trade &row)
{
    return Trade::validFieldsForKind(row.kind());
}

// Kinds whose amount is the unit price alone.
bool isAmountKind(cv::TradeKind kind)
{
    return kind == cv::TradeKind::OtherIncome || kind == cv::TradeKind::OtherExpense ||
           kind == cv::TradeKind::Interest || kind == cv::TradeKind::Distribution;
}

} // namespace

TradePanel::TradePanel(Book *doc, NodePtr item, const QDate &from, const QDate &to, QWidget *parent)
    : RowPanel(doc, std::move(item), from, to, parent), m_titleField(new QLabel(this)),
      m_accountChooser(std::make_unique<cv::AccountChooserModel>()),
      m_securityChooser(std::make_unique<cv::SecurityChooserModel>()),
      m_operationSource(std::make_unique<cv::TradeOperationChooserModel>())
{
    Q_ASSERT(this->item());
    readRows();
    layoutPanel(m_titleField, nullptr, nullptr);
    buildTable();
    buildContextMenu();
    m_titleField->setText(titleText());
    updateButtons();
    addItem();
}

TradePanel::~TradePanel()
{
    detachFromTable();
}

void TradePanel::buildTable()
{
    EditingTable *table = tableView();
    const struct {
        int cid;
        const char *title;
        int width;
        cv::CellKind kind;
    } columns[] = {
        {DateColumn, "Trade-Date", 112, cv::CellKind::Date},
        {SecurityColumn, "Trade-Brand", 150, cv::CellKind::Chooser},
        {KindColumn, "Trade-Kind", 110, cv::CellKind::Chooser},
        {CountColumn, "Trade-Count", 100, cv::CellKind::Plain},
        {UnitPriceColumn, "Trade-UnitPrice", 110, cv::CellKind::Plain},
        {TotalColumn, "Trade-Total", 120, cv::CellKind::Plain},
        {CommissionColumn, "Trade-Commission", 80, cv::CellKind::Plain},
        {MemoColumn, "Trade-Memo", 140, cv::CellKind::Plain},
        {HoldingColumn, "Trade-Holding", 100, cv::CellKind::Plain},
    };
    for (const auto &c : columns) {
        if (c.cid == TotalColumn)
            table->addColumn(std::make_unique<TradeTotalColumn>(c.cid, cv::localizedString(c.title), c.width));
        else
            table->addColumn(std::make_unique<cv::TableColumn>(c.cid, cv::localizedString(c.title), c.width, c.kind));
    }
    finishSetup();
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    // The memo takes the room left, so the units held stay beside the trade.
    table->horizontalHeader()->setSectionResizeMode(table->columnWithIdentifier(MemoColumn), QHeaderView::Stretch);
}

QString TradePanel::titleText() const
{
    const NodePtr &subject = item();
    if (!subject) return QString();
    QString title = doc()->displayName(*subject);
    if (subject->kind() == cv::NodeKind::Holding && subject->parent())
        title = cv::formatString(QStringLiteral("%@ (%@)"), {title, doc()->displayName(*subject->parent())});
    const CurrencyPtr currency = doc()->findCurrency(subject->currency());
    const CurrencyPtr home = doc()->defaultCurrency();
    if (currency && home && currency->ident() != home->ident())
        title = cv::formatString(QStringLiteral("%@ %@"), {currency->prefix(), title});
    return title;
}

int TradePanel::accountIdent() const
{
    const NodePtr &subject = item();
    if (!subject) return 0;
    if (subject->kind() == cv::NodeKind::Holding) return subject->parent() ? subject->parent()->ident() : 0;
    return subject->ident();
}

int TradePanel::subjectSecurity() const
{
    const NodePtr &subject = item();
    if (!subject || subject->kind() != cv::NodeKind::Holding) return -1;
    const auto *unit = dynamic_cast<const SecurityExtra *>(subject->extra().get());
    return unit ? unit->security() : -1;
}

TradePtr TradePanel::copyOf(const TradePtr &row) const
{
    const auto it = m_oldValues.find(row);
    return it == m_oldValues.end() ? nullptr : it->second;
}

bool TradePanel::rowIsEmptyAndNew(int row) const
{
    const TradePtr t = tradeForRow(row);
    return t && (t->flags() & cv::EditNew) && t->count() == 0;
}

bool TradePanel::selectTrade(int ident)
{
    if (ident < 0) return false;
    for (const RowPtr &row : items()) {
        if (trade(row)->ident() == ident) {
            selectItem(row);
            return true;
        }
    }
    return false;
}

// ---- rows

RowPanel::RowPtr TradePanel::newRow()
{
    auto row = std::make_shared<Trade>();
    row->setAccount(accountIdent());
    row->setSecurity(subjectSecurity());
    return row;
}

void TradePanel::addItem(EditingTable *table)
{
    RowPanel::addItem(table);
    // A trade is never stored without its day.
    if (const TradePtr last = trade(rowAt(rowCount() - 1)); last && !last->date().isValid())
        last->setDate(QDate::currentDate());
}

void TradePanel::readRows()
{
    const auto found = doc()->reads().findTradeFrom(firstDay(), lastDay(), accountIdent(), subjectSecurity(), m_flags);
    setItems(found);
}

NodePtr TradePanel::findItem() const
{
    const NodePtr account = doc()->findAccount(accountIdent());
    if (!account || item()->kind() != cv::NodeKind::Holding) return account;
    // Holdings carry no ident of their own: the account's holding of the security.
    for (const NodePtr &child : account->children()) {
        const auto *unit = dynamic_cast<const SecurityExtra *>(child->extra().get());
        if (child->kind() == cv::NodeKind::Holding && unit && unit->security() == subjectSecurity()) return child;
    }
    return nullptr;
}

void TradePanel::setChanged(const RowPtr &row)
{
    const TradePtr t = trade(row);
    if (!(t->flags() & (cv::EditChanged | cv::EditNew))) m_oldValues[t] = t->clone();
    t->setFlags(t->flags() | cv::EditChanged);
    doc()->updateChangeCount(BookChanges::ChangeDone);
    markChanged();
    updateButtons();
}

void TradePanel::updateButtons()
{
    okButton()->setEnabled(hasChanged());
}

void TradePanel::settleAfterCommit()
{
    m_oldValues.clear();
    RowPanel::settleAfterCommit();
}

bool TradePanel::rowGoesBefore(const RowPtr &a, const RowPtr &b) const
{
    return Trade::rowOrder(trade(a), trade(b));
}

QVariant TradePanel::fieldValue(const RowPtr &row, int field) const
{
    const TradePtr trade = row.trade();
    CV_ASSERT_OR(trade, return {});
    const Trade &t = *trade;
    switch (Field(field)) {
    case Field::Date: return t.date();
    case Field::Kind: return cv::raw(t.kind());
    case Field::Security: return t.security();
    case Field::Transfer: return t.transfer();
    case Field::Count: return t.count();
    case Field::UnitPrice: return t.unitPrice();
    case Field::Commission: return t.commission();
    case Field::Memo: return t.memo();
    }
    Q_ASSERT(false);
    return {};
}

void TradePanel::setFieldValue(const RowPtr &row, int field, const QVariant &value)
{
    const TradePtr trade = row.trade();
    CV_ASSERT_OR(trade, return );
    Trade &t = *trade;
    switch (Field(field)) {
    case Field::Date: t.setDate(value.toDate()); return;
    case Field::Kind: t.setKind(cv::TradeKind(value.toInt())); return;
    case Field::Security: t.setSecurity(value.toInt()); return;
    case Field::Transfer: t.setTransfer(value.toInt()); return;
    case Field::Count: t.setCount(value.toDouble()); return;
    case Field::UnitPrice: t.setUnitPrice(value.toDouble()); return;
    case Field::Commission: t.setCommission(value.toDouble()); return;
    case Field::Memo: t.setMemo(value.toString()); return;
    }
    Q_ASSERT(false);
}

void TradePanel::setField(const TradePtr &row, Field field, const QVariant &value)
{
    if (!row || fieldValue(row, int(field)) == value) return;
    setChanged(row);
    setFieldValue(row, int(field), value);
    reloadTable();
}

// ---- security, currency, numbers

cv::SecurityKind TradePanel::securityKindOfRow(const Trade &row) const
{
    const SecurityPtr security = row.security() > 0 ? doc()->findSecurity(row.security()) : nullptr;
    return security ? security->kind() : cv::SecurityKind::Stock;
}

int TradePanel::accountCurrency(const Trade &row) const
{
    return doc()->getCurrency(doc()->currencyOfAccount(row.account()));
}

int TradePanel::fractionOfCurrency(int currency) const
{
    const CurrencyPtr c = doc()->findCurrency(currency);
    return c ? c->fraction() : 0;
}

std::optional<double> TradePanel::typedNumber(const QString &text, const Trade &row, int digits) const
{
    return doc()->amountText().typedAmountIn(text, accountCurrency(row), digits);
}

double TradePanel::roundedCount(double count, const Trade &row) const
{
    // Stocks trade in whole units; trusts and bonds keep six decimals.
    const int digits = isStockRow(row) ? 0 : kFundDigits;
    return Book::numberForRoundString(Book::stringForRoundValue(count, digits), digits);
}

bool TradePanel::currencyValidForRow(int row, int cid) const
{
    if (row < 0 || cid == SecurityColumn) return true;
    const TradePtr t = tradeForRow(row);
    if (!t || t->security() < 1) return true;
    const SecurityPtr security = doc()->findSecurity(t->security());
    if (!security || doc()->getCurrency(security->currency()) == accountCurrency(*t)) return true;
    Alert::alert(cv::localizedString("TradeCurrencyWarningTitle"), cv::localizedString("TradeCurrencyWarningText"));
    return false;
}

// ---- display

cv::CellValue TradePanel::amountCell(const QString &text) const
{
    cv::StyledText styled;
    styled.text = text;
    styled.alignment = Qt::AlignRight | Qt::AlignVCenter;
    return QVariant::fromValue(styled);
}

QString TradePanel::totalText(const Trade &row) const
{
    if (row.kind() == cv::TradeKind::TransferUnits) {
        const NodePtr destination = row.transfer() > 0 ? doc()->findAccount(row.transfer()) : nullptr;
        return destination ? doc()->displayName(*destination) : QString();
    }
    const int mask = maskOf(row);
    if (!(mask & (Trade::UnitPriceField | Trade::TotalField))) return QString();
    double total = row.unitPrice() * row.count();
    if (isAmountKind(row.kind())) total = row.unitPrice();
    // A dividend without units carries its amount alone, as its cash effect does.
    if (row.kind() == cv::TradeKind::Dividend && row.count() <= 0) total = row.unitPrice();
    if ((row.flags() & cv::EditNew) && total == 0) return QString();
    return row.value(total, *doc(), true);
}

QString TradePanel::holdingText(const Trade &row) const
{
    if (row.security() <= 0) return QString();
    double units = doc()->tradingAccount(accountIdent(), row.security(), row.date());
    // The cache knows stored trades only: pending rows count as typed, their stored form no more.
    const auto unitsBy = [&](const Trade &t) {
        double u = 0;
        if (t.security() == row.security() && t.date() <= row.date()) t.changesForAccount(accountIdent(), &u, nullptr);
        return u;
    };
    const auto pending = [&](const RowPtr &r) {
        const TradePtr t = trade(r);
        if (!t || !(t->flags() & (cv::EditChanged | cv::EditNew | cv::EditDeleted))) return;
        if (!(t->flags() & cv::EditDeleted)) units += unitsBy(*t);
        if (const TradePtr stored = copyOf(t))
            units -= unitsBy(*stored);
        else if (!(t->flags() & cv::EditNew))
            units -= unitsBy(*t);
    };
    for (const RowPtr &r : items()) pending(r);
    for (const RowPtr &r : deletedItems()) pending(r);
    if (isStockRow(row)) return doc()->stringForTradingNumberOfUnits(static_cast<long long>(std::trunc(units)));
    return doc()->stringForFundValue(units, 0, false, true);
}

cv::CellValue TradePanel::objectValue(const EditingTable *, int cid, int row) const
{
    const TradePtr t = tradeForRow(row);
    if (!t) return QString();
    const bool isNew = t->flags() & cv::EditNew;
    switch (cid) {
    case DateColumn: return cv::formatProgramDate(t->date());
    case SecurityColumn: {
        const SecurityPtr security = t->security() > 0 ? doc()->findSecurity(t->security()) : nullptr;
        return security ? security->name() : QString();
    }
    case KindColumn: return t->operationName();
    case CountColumn:
        if (t->kind() == cv::TradeKind::Dividend) return QString();
        if (t->count() <= 0 && !(maskOf(*t) & Trade::CountField)) return QString();
        if (isNew && t->count() == 0) return QString();
        if (isStockRow(*t)) return amountCell(doc()->stringForValueAccount(t->count(), t->account()));
        return amountCell(doc()->stringForFundValue(t->count(), accountCurrency(*t), false, true));
    case UnitPriceColumn:
        if (t->kind() == cv::TradeKind::TransferUnits || t->kind() == cv::TradeKind::Dividend ||
            isAmountKind(t->kind()))
            return QString();
        if (isNew && t->unitPrice() == 0) return QString();
        if (!(maskOf(*t) & Trade::UnitPriceField) && t->unitPrice() == 0) return QString();
        return amountCell(t->value(t->unitPrice(), *doc(), false));
    case TotalColumn:
        if (t->kind() == cv::TradeKind::TransferUnits) return totalText(*t);
        return amountCell(totalText(*t));
    case CommissionColumn:
        if (t->commission() == 0 && (isNew || !(maskOf(*t) & Trade::CommissionField))) return QString();
        return amountCell(t->value(t->commission(), *doc(), true));
    case MemoColumn: return t->memo();
    case HoldingColumn: return amountCell(holdingText(*t));
    default: return QString();
    }
}

void TradePanel::prepareCell(const EditingTable *table, cv::PreparedCell &cell, int, int row) const
{
    const TradePtr t = tradeForRow(row);
    if (!t) return;
    const bool selected = table && table->selectionModel()->isRowSelected(row, QModelIndex());
    if (t->flags() & cv::EditDeleted)
        cell.color = QColor(Qt::red);
    else if ((t->flags() & (cv::EditChanged | cv::EditNew)) && !selected)
        cell.color = QColor(Qt::blue);
}

// ---- which cells can be edited

bool TradePanel::isColumnSelectable(const EditingTable *, int cid, int row) const
{
    switch (cid) {
    case DateColumn:
    case SecurityColumn:
    case KindColumn:
    case MemoColumn: return true;
    case CountColumn:
    case UnitPriceColumn:
    case TotalColumn:
    case CommissionColumn: {
        const TradePtr t = tradeForRow(row);
        return t && (maskOf(*t) & (1 << cid));
    }
    case HoldingColumn: return false;
    default: return true;
    }
}

bool TradePanel::shouldEditColumn(const EditingTable *table, int cid, int row) const
{
    if (!currencyValidForRow(row, cid)) return false;
    if (!isColumnSelectable(table, cid, row)) return false;
    m_lastEditedCid = cid;
    return true;
}

int TradePanel::verifyEditableColumn(int column, int row, cv::Movement movement)
{
    if (row < 0) return column;
    const int count = tableView()->numberOfColumns();
    bool examined = false;
    while (column >= 1 && column < count) {
        const int cid = tableView()->cidOfColumn(column);
        examined = true;
        if (isColumnSelectable(tableView(), cid, row)) break;
        column += movement == cv::Movement::Backward ? -1 : 1;
    }
    if (examined && column >= 1 && column < count && !currencyValidForRow(row, tableView()->cidOfColumn(column)))
        return tableView()->columnWithIdentifier(SecurityColumn);
    // Past the last column moving forward: the row has no further column.
    if (column >= count) return movement == cv::Movement::Backward ? count - 1 : 0;
    return std::max(column, 0);
}

int TradePanel::firstUnfinishedColumnForRow(int row) const
{
    const TradePtr t = tradeForRow(row);
    if (!t) return -1;
    if (t->security() < 1) return SecurityColumn;
    const int mask = maskOf(*t);
    if ((mask & Trade::CountField) && t->count() == 0) return CountColumn;
    if ((mask & Trade::UnitPriceField) && t->unitPrice() == 0) return UnitPriceColumn;
    if ((mask & Trade::TotalField) && totalText(*t).isEmpty()) return TotalColumn;
    return -1;
}

std::optional<cv::CellCurrency> TradePanel::currencyForColumn(int cid, int row) const
{
    const TradePtr t = tradeForRow(row);
    if (!t || cid < UnitPriceColumn || cid > CommissionColumn) return std::nullopt;
    if (cid == TotalColumn && t->kind() == cv::TradeKind::TransferUnits) return std::nullopt;
    const int currency = accountCurrency(*t);
    const int fraction = cid == UnitPriceColumn && !isStockRow(*t) ? kFundDigits : fractionOfCurrency(currency);
    return cv::CellCurrency{currency, fraction};
}

bool TradePanel::columnAllowsNegativeInput(int cid, int) const
{
    return cid < CountColumn || cid > CommissionColumn;
}

bool TradePanel::textInputOn(cv::InputSourceMoment moment, int cid, int) const
{
    return moment != cv::InputSourceMoment::Wrap && cid == MemoColumn;
}

// ---- typing

void TradePanel::setObjectValue(EditingTable *, const QString &text, int cid, int row)
{
    const TradePtr t = tradeForRow(row);
    if (!t) return;
    m_lastEditedCid = cid;
    switch (cid) {
    case DateColumn: {
        const std::optional<QDate> date = cv::parseProgramDate(text);
        if (!date || !EntryPanel::isAcceptableDate(*date)) return;
        setField(t, Field::Date, *date);
        return;
    }
    case CountColumn: {
        const int digits = isStockRow(*t) ? 0 : kFundDigits;
        setField(t, Field::Count, typedNumber(text, *t, digits).value_or(0));
        return;
    }
    case UnitPriceColumn:
    case CommissionColumn: {
        const bool fund = cid == UnitPriceColumn && !isStockRow(*t);
        const int digits = fund ? kFundDigits : fractionOfCurrency(accountCurrency(*t));
        const double value = typedNumber(text, *t, digits).value_or(0);
        setField(t, cid == UnitPriceColumn ? Field::UnitPrice : Field::Commission, value);
        return;
    }
    case TotalColumn: {
        if (t->kind() == cv::TradeKind::TransferUnits || !(maskOf(*t) & Trade::TotalField)) return;
        if (text.trimmed().isEmpty()) return;
        const std::optional<double> typed = typedNumber(text, *t, fractionOfCurrency(accountCurrency(*t)));
        if (!typed) return;
        const double amount = *typed;
        // A dividend counts once; the other amount kinds carry no units.
        const double units = t->kind() == cv::TradeKind::Dividend ? 1 : 0;
        if (t->count() == units && t->unitPrice() == amount) return;
        setChanged(t);
        t->setCount(units);
        t->setUnitPrice(amount);
        reloadTable();
        return;
    }
    case MemoColumn: setField(t, Field::Memo, text); return;
    default: return;
    }
}

// ---- choosers

void TradePanel::editColumn(int column, int row, PopupFieldEditor *)
{
    m_popupColumn = column;
    m_popupRow = row;
    switch (tableView()->cidOfColumn(column)) {
    case SecurityColumn: runSecurityPopup(column, row); break;
    case KindColumn: runOperationPopup(column, row); break;
    case TotalColumn: runTransferAccountPopup(column, row); break;
    default: break;
    }
}

void TradePanel::runSecurityPopup(int column, int row)
{
    const TradePtr t = tradeForRow(row);
    if (!t) return;
    m_securityChooser->setDocument(doc(), 0);
    runPopup(column, row, m_securityChooser.get(), m_securityChooser->objectWithIdentifier(t->security()),
             &TradePanel::endSecurityPopup);
}

void TradePanel::runPopup(int column, int row, cv::ChooserModel *source, const cv::ChooserItem &current,
                          void (TradePanel::*end)(const cv::ChooserItem &))
{
    QPointer<TradePanel> self(this);
    cv::ChooserPopup::get()->runForCell(tableView(), column, row, source, current,
                                        [self, end](const cv::ChooserItem &item) {
                                            if (self) (self.data()->*end)(item);
                                        });
}

void TradePanel::endSecurityPopup(const cv::ChooserItem &item)
{
    const TradePtr t = tradeForRow(m_popupRow);
    const SecurityPtr picked = item.security();
    if (!t || !picked) {
        reeditPopupCell();
        return;
    }
    if (doc()->getCurrency(picked->currency()) != accountCurrency(*t)) {
        Alert::alert(cv::localizedString("TradeCurrencyWarningTitle"), cv::localizedString("TradeCurrencyWarningText"));
        reeditPopupCell();
        return;
    }
    if (!isStockRow(*t) && picked->kind() == cv::SecurityKind::Stock) {
        // From fund units and prices to whole shares and the account's money.
        const int digits = fractionOfCurrency(accountCurrency(*t));
        setField(t, Field::UnitPrice,
                 Book::numberForRoundString(Book::stringForRoundValue(t->unitPrice(), digits), digits));
        setField(t, Field::Count, Book::numberForRoundString(Book::stringForRoundValue(t->count(), 0), 0));
    }
    endPopupWithResult(item, Field::Security);
}

void TradePanel::runOperationPopup(int column, int row)
{
    const TradePtr t = tradeForRow(row);
    if (!t) return;
    m_operationSource->setDocument(doc(), securityKindOfRow(*t));
    runPopup(column, row, m_operationSource.get(), m_operationSource->objectWithIdentifier(cv::raw(t->kind())),
             &TradePanel::endOperationPopup);
}

void TradePanel::endOperationPopup(const cv::ChooserItem &item)
{
    endPopupWithResult(item.tradeKind() ? item : cv::ChooserItem(), Field::Kind);
}

void TradePanel::runTransferAccountPopup(int column, int row)
{
    const TradePtr t = tradeForRow(row);
    if (!t || t->kind() != cv::TradeKind::TransferUnits) return;
    m_accountChooser->setDocument(doc(), 4, true);
    m_accountChooser->appendNewAccountCommand(cv::NodeKind::Investment);
    if (t->account() >= 0) {
        if (const NodePtr own = doc()->findAccount(t->account())) m_accountChooser->exclude(own);
        // Units move only between accounts of one currency (no currency is the book's own).
        Node *account = item().get();
        while (account && account->kind() != cv::NodeKind::Investment) account = account->parent();
        const int currency = account ? doc()->getCurrency(account->currency()) : 0;
        const std::vector<cv::ChooserItem> listed = m_accountChooser->objects();
        for (const cv::ChooserItem &entry : listed)
            if (account && entry.node() && !entry.command() && doc()->getCurrency(entry.node()->currency()) != currency)
                m_accountChooser->exclude(entry.node());
    }
    if (m_accountChooser->objects().empty()) return;
    const NodePtr current = t->transfer() > 0 ? doc()->findAccount(t->transfer()) : nullptr;
    runPopup(column, row, m_accountChooser.get(),
             current ? m_accountChooser->objectWithIdentifier(current->ident()) : cv::ChooserItem(),
             &TradePanel::endTransferAccountPopup);
}

void TradePanel::endTransferAccountPopup(const cv::ChooserItem &item)
{
    const NodePtr node = item.node();
    const bool investment = node && !item.command() && node->kind() == cv::NodeKind::Investment;
    endPopupWithResult(investment ? item : cv::ChooserItem(), Field::Transfer);
}

void TradePanel::endPopupWithResult(const cv::ChooserItem &item, Field field)
{
    if (item && item.ident() >= 0) setField(tradeForRow(m_popupRow), field, item.ident());
    reeditPopupCell();
}

void TradePanel::reeditPopupCell()
{
    if (m_popupRow < 0 || m_popupRow >= rowCount()) return;
    tableView()->QTableView::selectRow(m_popupRow);
    tableView()->editColumn(std::max(m_popupColumn, 0), m_popupRow, nullptr, true);
}

} // namespace cv
