#include "panels/entry/CV4PricePanelController.h"

#include "platform/Assert.h"
#include "platform/CV4Alert.h"

#include "controls/CV4TableView.h"
#include "controls/OpenSheet.h"
#include "document/AmountText.h"
#include "document/CV4Document.h"
#include "model/CV4EditFlags.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>


namespace {

CV4PriceTimePtr price(const InputPanelController::RowPtr &row)
{
    return row.price();
}

// The sheet around the list: Esc and the close box are the list's Cancel.
class PriceSheet : public QDialog {
public:
    using QDialog::QDialog;
    QPointer<CV4PricePanelController> panel;
    void reject() override
    {
        if (panel)
            panel->cancelPushed();
        else
            QDialog::reject();
    }
};

} // namespace

CV4PricePanelController::CV4PricePanelController(CV4Document *doc, CV4BrandPtr brand, const QDate &topDate,
                                                 QWidget *parent)
    : InputPanelController(doc, nullptr, topDate, topDate, parent), m_brand(std::move(brand)),
      m_currencyID(m_brand ? m_brand->currency() : 0), m_topDate(topDate)
{
    Q_ASSERT(m_brand);
    build();
}

CV4PricePanelController::CV4PricePanelController(CV4Document *doc, CV4CurrencyPtr currency, const QDate &topDate,
                                                 QWidget *parent)
    : InputPanelController(doc, nullptr, topDate, topDate, parent), m_currency(std::move(currency)),
      m_currencyID(m_currency ? m_currency->ident() : 0), m_topDate(topDate)
{
    Q_ASSERT(m_currency);
    build();
}

CV4PricePanelController::~CV4PricePanelController()
{
    detachFromTable();
}

void CV4PricePanelController::build()
{
    buildColumns({{DateColumn, "Price-Column-Date", 120, cv::CellKind::Date},
                  {PriceColumn, isBrand() ? "Price-Column-Price" : "Price-Column-Rate", 160, cv::CellKind::Plain}});
    const QString name = m_brand ? m_brand->name() : m_currency ? m_currency->name() : QString();
    setWindowTitle(cv::formatString(cv::localizedString(isBrand() ? "Price-Title-Brand" : "Price-Title-Currency"), {name}));
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

    connect(m_newButton, &QPushButton::clicked, this, &CV4PricePanelController::newPushed);
    connect(m_cancelButton, &QPushButton::clicked, this, &CV4PricePanelController::cancelPushed);
    // OK and Ctrl+Return in the table.
    connect(this, &InputPanelController::closeMaximizedPanelRequested, this, &CV4PricePanelController::okPushed);
    // Undoing a deletion brings the row back: OK follows.
    connect(doc()->undoStack(), &QUndoStack::indexChanged, this, [this] { setButtonStatus(); });

    collectData();
    addItem();
    okButton()->setEnabled(hasChanged());
}

CV4PricePanelController *CV4PricePanelController::openPricePanel(CV4Document *doc, const CV4BrandPtr &brand,
                                                                 const CV4CurrencyPtr &currency,
                                                                 const QDate &topDate, QWidget *parent,
                                                                 EndHandler done)
{
    if (!doc || (!brand && !currency)) return nullptr;
    auto *sheet = new PriceSheet(parent);
    auto *panel = brand ? new CV4PricePanelController(doc, brand, topDate, sheet)
                        : new CV4PricePanelController(doc, currency, topDate, sheet);
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

void CV4PricePanelController::okPushed()
{
    if (m_ended) return;
    setReturnCode(0);
    apply();
    endSheet(returnCode());
}

void CV4PricePanelController::cancelPushed()
{
    if (m_ended) return;
    endSheet(0);
}

bool CV4PricePanelController::handleEscape()
{
    cancelPushed();
    return true;
}

void CV4PricePanelController::endSheet(int code)
{
    m_ended = true;
    tableView()->forceEndFieldEditing(false);
    // The deletion steps refer to rows that end with the sheet.
    doc()->undoStack()->clear();
    Q_EMIT sheetEnded(code);
    if (auto *sheet = qobject_cast<QDialog *>(window()); sheet && sheet != static_cast<QWidget *>(this))
        sheet->done(code);
}

void CV4PricePanelController::commitRows()
{
    setReturnCode(1);
    // Every removal first: a row that takes another row's old date must not
    // have its new record removed as that row's old one.
    std::vector<CV4PriceTimePtr> removals;
    std::vector<CV4PriceTimePtr> puts;
    for (const RowPtr &row : pendingRows()) {
        const CV4PriceTimePtr p = price(row);
        const int flags = p->flags();
        if (flags & cv::EditNew) {
            if (!(flags & cv::EditDeleted) && p->price() != 0) puts.push_back(p);
            continue;
        }
        if (flags & (cv::EditDeleted | kDateChanged)) {
            const auto old = m_oldValues.find(p);
            CV4PriceTimePtr stored = p->clone();
            if ((flags & kDateChanged) && old != m_oldValues.end()) stored->setDate(old->second->date());
            removals.push_back(stored);
        }
        if (!(flags & cv::EditDeleted) && (flags & cv::EditChanged)) puts.push_back(p);
    }
    if (removals.empty() && puts.empty()) return;

    if (isBrand())
        doc()->writePrices(m_brand, removals, puts);
    else
        doc()->writeRates(m_currency, removals, puts);
}

// ---------------------------------------------------------------- rows

void CV4PricePanelController::collectData()
{
    const int ident = m_brand ? m_brand->ident() : m_currencyID;
    const auto list = isBrand() ? doc()->reads().getPriceListForBrand(ident)
                                : doc()->reads().getXchgRateListForCurrency(ident);
    std::vector<RowPtr> rows;
    if (list)
        for (const CV4PriceTimePtr &p : *list) rows.push_back(p);
    setItems(std::move(rows));
    m_oldValues.clear();
}

InputPanelController::RowPtr CV4PricePanelController::makeItem()
{
    auto row = std::make_shared<CV4PriceTime>();
    row->setBrand(m_brand ? m_brand->ident() : m_currencyID);
    return row;
}

void CV4PricePanelController::addItem(CV4TableView *)
{
    const RowPtr row = makeItem();
    setRowFlags(row, cv::EditNew);
    setRowDate(row, m_topDate);
    appendRow(row);
    if (!isBrand()) dataChanged();
    reloadAndEditLastRow();
}

void CV4PricePanelController::newPushed()
{
    tableView()->forceEndFieldEditing(true);
    addItem();
}

void CV4PricePanelController::setChanged(const RowPtr &row)
{
    const CV4PriceTimePtr p = price(row);
    if (!(p->flags() & (cv::EditNew | cv::EditChanged))) p->setFlags(p->flags() | cv::EditChanged);
    dataChanged();
}

void CV4PricePanelController::changeDate(const CV4PriceTimePtr &row, const QDate &date)
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

void CV4PricePanelController::changePrice(const CV4PriceTimePtr &row, double value)
{
    if (!(row->flags() & (cv::EditNew | cv::EditChanged))) row->setFlags(row->flags() | cv::EditChanged);
    row->setPrice(value);
    dataChanged();
}

void CV4PricePanelController::dataChanged()
{
    markChanged();
    okButton()->setEnabled(true);
}

void CV4PricePanelController::setButtonStatus()
{
    if (!deletedItems().empty()) dataChanged();
    okButton()->setEnabled(hasChanged());
}

bool CV4PricePanelController::rowGoesBefore(const RowPtr &a, const RowPtr &b) const
{
    const bool newA = price(a)->flags() & cv::EditNew;
    const bool newB = price(b)->flags() & cv::EditNew;
    if (newA != newB) return newB;
    return price(a)->date() < price(b)->date();
}

QVariant CV4PricePanelController::fieldValue(const RowPtr &row, int field) const
{
    const CV4PriceTimePtr p = price(row);
    CV_ASSERT_OR(p, return {});
    return Field(field) == Field::Date ? QVariant(p->date()) : QVariant(p->price());
}

void CV4PricePanelController::setFieldValue(const RowPtr &row, int field, const QVariant &value)
{
    const CV4PriceTimePtr p = price(row);
    CV_ASSERT_OR(p, return);
    if (Field(field) == Field::Date)
        p->setDate(value.toDate());
    else
        p->setPrice(value.toDouble());
}

CV4PriceTimePtr CV4PricePanelController::priceAt(int row) const
{
    const RowPtr r = rowAt(row);
    return r ? price(r) : nullptr;
}

// ---------------------------------------------------------------- display

QString CV4PricePanelController::cellText(int cid, int row) const
{
    const CV4PriceTimePtr p = priceAt(row);
    if (!p) return {};
    if (cid == DateColumn) return cv::formatProgramDate(p->date());
    if (cid != PriceColumn) return {};
    if ((p->flags() & cv::EditNew) && !(p->flags() & cv::EditDeleted) && p->price() == 0) return {};
    if (!isBrand()) return doc()->stringForFundValue(p->price(), m_currencyID, false, true, 6);
    if (isStock()) return doc()->stringWithPrefixForValue(p->price(), m_currencyID, false);
    return doc()->stringWithPrefixForFundValue(p->price(), m_currencyID);
}

cv::CellValue CV4PricePanelController::objectValue(const CV4TableView *, int cid, int row) const
{
    if (cid != PriceColumn) return cellText(cid, row);
    cv::StyledText styled;
    styled.text = cellText(cid, row);
    styled.alignment = Qt::AlignRight | Qt::AlignVCenter;
    return QVariant::fromValue(styled);
}

void CV4PricePanelController::prepareCell(const CV4TableView *table, cv::PreparedCell &cell, int, int row) const
{
    const CV4PriceTimePtr p = priceAt(row);
    if (!p) return;
    const bool selected = table && table->selectionModel() && table->selectionModel()->isRowSelected(row, QModelIndex());
    if (selected)
        cell.color = QColor(Qt::black);
    else if (p->flags() & cv::EditDeleted)
        cell.color = QColor(Qt::red);
    else if (p->flags() & (cv::EditNew | cv::EditChanged))
        cell.color = QColor(Qt::blue);
    else
        cell.color = QColor(Qt::black);
}

int CV4PricePanelController::valueFraction() const
{
    if (!isStock()) return 6;
    const CV4CurrencyPtr c = doc()->findCurrency(m_currencyID);
    return c ? c->fraction() : 0;
}

std::optional<cv::CellCurrency> CV4PricePanelController::currencyForColumn(int cid, int) const
{
    if (cid != PriceColumn) return std::nullopt;
    // A rate is a plain number of the default currency's units.
    return cv::CellCurrency{isBrand() ? m_currencyID : 0, valueFraction()};
}

std::optional<QString> CV4PricePanelController::proposedString(PopupFieldEditor *editor, const QString &oldText,
                                                               cv::TextSelection oldSelection,
                                                               const QString &newText, int currency,
                                                               int fractionLength)
{
    std::optional<QString> proposal =
        InputPanelController::proposedString(editor, oldText, oldSelection, newText, currency, fractionLength);
    if (proposal && !isBrand()) {
        const CV4CurrencyPtr c = doc()->findCurrency(currency);
        if (c && !c->prefix().isEmpty() && proposal->startsWith(c->prefix())) proposal->remove(0, c->prefix().size());
    }
    dataChanged();
    return proposal;
}

int CV4PricePanelController::firstUnfinishedColumnForRow(int row) const
{
    const CV4PriceTimePtr p = priceAt(row);
    return p && p->price() == 0 ? PriceColumn : -1;
}

// ---------------------------------------------------------------- typing

double CV4PricePanelController::valueForText(const QString &typed) const
{
    // The values' currency or the book's own may lead the number.
    for (int ident : {m_currencyID, 0}) {
        const std::optional<double> value = doc()->amountText().typedAmountIn(typed, ident, valueFraction());
        if (value) return *value > 0 ? *value : 0;
    }
    return 0;
}

void CV4PricePanelController::setObjectValue(CV4TableView *, const QString &typed, int cid, int row)
{
    const CV4PriceTimePtr p = priceAt(row);
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
        CV4Alert::warn(cv::localizedString("Rate-Above-Bound"));
        return;
    }
    changePrice(p, value);
    reloadTable();
}

void CV4PricePanelController::performInputDate(const QDate &date)
{
    const QModelIndexList selected = tableView()->selectionModel()->selectedRows();
    if (selected.isEmpty() || !date.isValid()) return;
    const CV4PriceTimePtr p = priceAt(selected.first().row());
    if (!p || p->date() == date) return;
    changeDate(p, date);
    reloadTable();
}
