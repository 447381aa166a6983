#include "panels/entry/PricePanel.h"

#include "platform/Assert.h"
#include "platform/Alert.h"

#include "controls/EditingTable.h"
#include "controls/OpenSheet.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "model/EditFlags.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>

namespace cv {

namespace {

DatedPricePtr price(const RowPanel::RowPtr &row)
{
    return row.price();
}

// The sheet around the list: Esc and the close box are the list's Cancel.
class PriceSheet : public QDialog {
public:
    using QDialog::QDialog;
    QPointer<PricePanel> panel;
    void reject() override
    {
        if (panel)
            panel->cancelPushed();
        else
            QDialog::reject();
    }
};

} // namespace

PricePanel::PricePanel(Book *doc, SecurityPtr security, const QDate &topDate, QWidget *parent)
    : RowPanel(doc, nullptr, topDate, topDate, parent), m_security(std::move(security)),
      m_currencyID(m_security ? m_security->currency() : 0), m_topDate(topDate)
{
    Q_ASSERT(m_security);
    build();
}

PricePanel::PricePanel(Book *doc, CurrencyPtr currency, const QDate &topDate, QWidget *parent)
    : RowPanel(doc, nullptr, topDate, topDate, parent), m_currency(std::move(currency)),
      m_currencyID(m_currency ? m_currency->ident() : 0), m_topDate(topDate)
{
    Q_ASSERT(m_currency);
    build();
}

PricePanel::~PricePanel()
{
    detachFromTable();
}

void PricePanel::build()
{
    buildColumns({{DateColumn, "Price-Column-Date", 120, cv::CellKind::Date},
                  {PriceColumn, isSecurity() ? "Price-Column-Price" : "Price-Column-Rate", 160, cv::CellKind::Plain}});
    const QString name = m_security ? m_security->name() : m_currency ? m_currency->name() : QString();
    setWindowTitle(
        cv::formatString(cv::localizedString(isSecurity() ? "Price-Title-Brand" : "Price-Title-Currency"), {name}));
    m_titleField = new QLabel(name, this);
    QFont bold = m_titleField->font();
    bold.setBold(true);
    m_titleField->setFont(bold);
    m_newButton = new QPushButton(cv::localizedString("Price-New"), this);
    m_importButton = new QPushButton(cv::localizedString("Price-Import"), this);
    // The price-list import comes with the imports.
    m_importButton->setEnabled(false);
    m_cancelButton = new QPushButton(cv::localizedString("Cancel"), this);
    for (QPushButton *button : {m_newButton, m_importButton, m_cancelButton}) button->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_titleField);
    layout->addWidget(tableView(), 1);
    auto *foot = new QHBoxLayout;
    foot->addWidget(m_newButton);
    foot->addWidget(m_importButton);
    foot->addStretch(1);
    foot->addWidget(m_cancelButton);
    foot->addWidget(okButton());
    layout->addLayout(foot);
    resize(360, 420);

    connect(m_newButton, &QPushButton::clicked, this, &PricePanel::newPushed);
    connect(m_cancelButton, &QPushButton::clicked, this, &PricePanel::cancelPushed);
    // OK and Ctrl+Return in the table.
    connect(this, &RowPanel::closeMaximizedPanelRequested, this, &PricePanel::okPushed);
    // Undoing a deletion brings the row back: OK follows.
    connect(doc()->undoStack(), &QUndoStack::indexChanged, this, [this] { updateButtons(); });
    // A failed edit read the book back: the list's security or currency is
    // found again by its ident (the price cache knows the book's own), or the sheet goes.
    connect(doc(), isSecurity() ? &Book::securityChanged : &Book::currencyChanged, this,
            [this](const ChangeSet &changes) {
                if (!changes.reload || m_ended) return;
                const SecurityPtr security = m_security ? doc()->findSecurity(m_security->ident()) : nullptr;
                const CurrencyPtr currency = m_currency ? doc()->findCurrency(m_currencyID) : nullptr;
                if (!security && !currency) return endSheet(0);
                if (m_security)
                    m_security = security;
                else
                    m_currency = currency;
            });

    readRows();
    addItem();
    okButton()->setEnabled(hasChanged());
}

PricePanel *PricePanel::openPricePanel(Book *doc, const SecurityPtr &security, const CurrencyPtr &currency,
                                       const QDate &topDate, QWidget *parent, EndHandler done)
{
    if (!doc || (!security && !currency)) return nullptr;
    auto *sheet = new PriceSheet(parent);
    auto *panel =
        security ? new PricePanel(doc, security, topDate, sheet) : new PricePanel(doc, currency, topDate, sheet);
    sheet->panel = panel;
    sheet->setWindowTitle(panel->windowTitle());
    auto *layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);
    sheet->resize(panel->size());
    cv::openSheet(sheet, parent, [panel, done = std::move(done)](int code, PriceSheet *) {
        if (done) done(code, panel);
    });
    return panel;
}

// ---------------------------------------------------------------- ending

void PricePanel::okPushed()
{
    if (m_ended) return;
    setReturnCode(0);
    if (hasChanged()) {
        tableView()->forceEndFieldEditing(true);
        commitRows();
    }
    // Nothing was stored (the book said why): the rows stay for another OK.
    if (returnCode() < 0 || m_ended) return;
    endSheet(returnCode());
}

void PricePanel::cancelPushed()
{
    if (m_ended) return;
    endSheet(0);
}

bool PricePanel::handleEscape()
{
    cancelPushed();
    return true;
}

void PricePanel::endSheet(int code)
{
    m_ended = true;
    tableView()->forceEndFieldEditing(false);
    // The deletion steps refer to rows that end with the sheet.
    doc()->undoStack()->clear();
    Q_EMIT sheetEnded(code);
    if (auto *sheet = qobject_cast<QDialog *>(window()); sheet && sheet != static_cast<QWidget *>(this))
        sheet->done(code);
}

void PricePanel::commitRows()
{
    setReturnCode(1);
    // Every removal first: a row that takes another row's old date must not
    // have its new record removed as that row's old one.
    std::vector<DatedPricePtr> removals;
    std::vector<DatedPricePtr> puts;
    for (const RowPtr &row : pendingRows()) {
        const DatedPricePtr p = price(row);
        const int flags = p->flags();
        if (flags & cv::EditNew) {
            if (!(flags & cv::EditDeleted) && p->price() != 0) puts.push_back(p);
            continue;
        }
        if (flags & (cv::EditDeleted | kDateChanged)) {
            const auto old = m_oldValues.find(p);
            DatedPricePtr stored = p->clone();
            if ((flags & kDateChanged) && old != m_oldValues.end()) stored->setDate(old->second->date());
            removals.push_back(stored);
        }
        if (!(flags & cv::EditDeleted) && (flags & cv::EditChanged)) puts.push_back(p);
    }
    if (removals.empty() && puts.empty()) return;

    const bool written =
        isSecurity() ? doc()->writePrices(m_security, removals, puts) : doc()->writeRates(m_currency, removals, puts);
    if (!written) setReturnCode(-1);
}

// ---------------------------------------------------------------- rows

void PricePanel::readRows()
{
    const int ident = m_security ? m_security->ident() : m_currencyID;
    const auto list =
        isSecurity() ? doc()->reads().getPriceListForSecurity(ident) : doc()->reads().getRateListForCurrency(ident);
    std::vector<RowPtr> rows;
    if (list)
        for (const DatedPricePtr &p : *list) rows.push_back(p);
    setItems(std::move(rows));
    m_oldValues.clear();
}

RowPanel::RowPtr PricePanel::newRow()
{
    auto row = std::make_shared<DatedPrice>();
    row->setSecurity(m_security ? m_security->ident() : m_currencyID);
    return row;
}

void PricePanel::addItem(EditingTable *)
{
    const RowPtr row = newRow();
    setRowFlags(row, cv::EditNew);
    setRowDate(row, m_topDate);
    appendRow(row);
    if (!isSecurity()) dataChanged();
    reloadAndEditLastRow();
}

void PricePanel::newPushed()
{
    tableView()->forceEndFieldEditing(true);
    addItem();
}

void PricePanel::setChanged(const RowPtr &row)
{
    const DatedPricePtr p = price(row);
    if (!(p->flags() & (cv::EditNew | cv::EditChanged))) p->setFlags(p->flags() | cv::EditChanged);
    dataChanged();
}

void PricePanel::changeDate(const DatedPricePtr &row, const QDate &date)
{
    int flags = row->flags();
    if (!(flags & cv::EditNew)) {
        flags |= cv::EditChanged;
        if (!(flags & kDateChanged)) {
            m_oldValues[row] = row->clone();
            flags |= kDateChanged;
        }
    }
    row->setFlags(flags);
    row->setDate(date);
    dataChanged();
}

void PricePanel::changePrice(const DatedPricePtr &row, double value)
{
    if (!(row->flags() & (cv::EditNew | cv::EditChanged))) row->setFlags(row->flags() | cv::EditChanged);
    row->setPrice(value);
    dataChanged();
}

void PricePanel::dataChanged()
{
    markChanged();
    okButton()->setEnabled(true);
}

void PricePanel::updateButtons()
{
    if (!deletedItems().empty()) dataChanged();
    okButton()->setEnabled(hasChanged());
}

bool PricePanel::rowGoesBefore(const RowPtr &a, const RowPtr &b) const
{
    const bool newA = price(a)->flags() & cv::EditNew;
    const bool newB = price(b)->flags() & cv::EditNew;
    if (newA != newB) return newB;
    return price(a)->date() < price(b)->date();
}

QVariant PricePanel::fieldValue(const RowPtr &row, int field) const
{
    const DatedPricePtr p = price(row);
    CV_ASSERT_OR(p, return {});
    return Field(field) == Field::Date ? QVariant(p->date()) : QVariant(p->price());
}

void PricePanel::setFieldValue(const RowPtr &row, int field, const QVariant &value)
{
    const DatedPricePtr p = price(row);
    CV_ASSERT_OR(p, return );
    if (Field(field) == Field::Date)
        p->setDate(value.toDate());
    else
        p->setPrice(value.toDouble());
}

DatedPricePtr PricePanel::priceAt(int row) const
{
    const RowPtr r = rowAt(row);
    return r ? price(r) : nullptr;
}

// ---------------------------------------------------------------- display

QString PricePanel::cellText(int cid, int row) const
{
    const DatedPricePtr p = priceAt(row);
    if (!p) return {};
    if (cid == DateColumn) return cv::formatProgramDate(p->date());
    if (cid != PriceColumn) return {};
    if ((p->flags() & cv::EditNew) && !(p->flags() & cv::EditDeleted) && p->price() == 0) return {};
    if (!isSecurity()) return doc()->stringForFundValue(p->price(), m_currencyID, false, true, 6);
    if (isStock()) return doc()->stringWithPrefixForValue(p->price(), m_currencyID, false);
    return doc()->stringWithPrefixForFundValue(p->price(), m_currencyID);
}

cv::CellValue PricePanel::objectValue(const EditingTable *, int cid, int row) const
{
    if (cid != PriceColumn) return cellText(cid, row);
    cv::StyledText styled;
    styled.text = cellText(cid, row);
    styled.alignment = Qt::AlignRight | Qt::AlignVCenter;
    return QVariant::fromValue(styled);
}

void PricePanel::prepareCell(const EditingTable *table, cv::PreparedCell &cell, int, int row) const
{
    const DatedPricePtr p = priceAt(row);
    if (!p) return;
    const bool selected =
        table && table->selectionModel() && table->selectionModel()->isRowSelected(row, QModelIndex());
    if (selected)
        cell.color = QColor(Qt::black);
    else if (p->flags() & cv::EditDeleted)
        cell.color = QColor(Qt::red);
    else if (p->flags() & (cv::EditNew | cv::EditChanged))
        cell.color = QColor(Qt::blue);
    else
        cell.color = QColor(Qt::black);
}

int PricePanel::valueFraction() const
{
    if (!isStock()) return 6;
    const CurrencyPtr c = doc()->findCurrency(m_currencyID);
    return c ? c->fraction() : 0;
}

std::optional<cv::CellCurrency> PricePanel::currencyForColumn(int cid, int) const
{
    if (cid != PriceColumn) return std::nullopt;
    // A rate is a plain number of the default currency's units.
    return cv::CellCurrency{isSecurity() ? m_currencyID : 0, valueFraction()};
}

std::optional<QString> PricePanel::proposedString(PopupFieldEditor *editor, const QString &oldText,
                                                  cv::TextSelection oldSelection, const QString &newText, int currency,
                                                  int fractionLength)
{
    std::optional<QString> proposal =
        RowPanel::proposedString(editor, oldText, oldSelection, newText, currency, fractionLength);
    if (proposal && !isSecurity()) {
        const CurrencyPtr c = doc()->findCurrency(currency);
        if (c && !c->prefix().isEmpty() && proposal->startsWith(c->prefix())) proposal->remove(0, c->prefix().size());
    }
    dataChanged();
    return proposal;
}

int PricePanel::firstUnfinishedColumnForRow(int row) const
{
    const DatedPricePtr p = priceAt(row);
    return p && p->price() == 0 ? PriceColumn : -1;
}

// ---------------------------------------------------------------- typing

double PricePanel::valueForText(const QString &typed) const
{
    // The values' currency or the book's own may lead the number.
    for (int ident : {m_currencyID, 0}) {
        const std::optional<double> value = doc()->amountText().typedAmountIn(typed, ident, valueFraction());
        if (value) return *value > 0 ? *value : 0;
    }
    return 0;
}

void PricePanel::setObjectValue(EditingTable *, const QString &typed, int cid, int row)
{
    const DatedPricePtr p = priceAt(row);
    if (!p || m_ended) return;
    if (cid == DateColumn) {
        const std::optional<QDate> date = cv::parseProgramDate(typed);
        if (!date || *date == p->date()) return;
        changeDate(p, *date);
        reloadTable();
        return;
    }
    if (cid != PriceColumn) return;
    if (typed.trimmed().isEmpty()) {
        // An emptied price deletes the row (undoably), never stores 0.
        if ((p->flags() & cv::EditNew) && p->price() == 0) return;
        toggleItemDeleted(p);
        dataChanged();
        return;
    }
    const double value = valueForText(typed);
    // 0 or text that is no number leaves the value as it was: a price or
    // rate of 0 would make every holding or amount in it worth nothing.
    if (value == 0 || value == p->price()) return;
    if (!cv::isRecordableRate(value)) {
        Alert::warn(cv::localizedString("Rate-Above-Bound"));
        return;
    }
    changePrice(p, value);
    reloadTable();
}

void PricePanel::performInputDate(const QDate &date)
{
    const QModelIndexList selected = tableView()->selectionModel()->selectedRows();
    if (selected.isEmpty() || !date.isValid()) return;
    const DatedPricePtr p = priceAt(selected.first().row());
    if (!p || p->date() == date) return;
    changeDate(p, date);
    reloadTable();
}

} // namespace cv
