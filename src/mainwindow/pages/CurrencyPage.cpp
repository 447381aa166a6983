#include "mainwindow/pages/CurrencyPage.h"

#include "controls/DateField.h"
#include "controls/PopupFieldEditor.h"
#include "document/Book.h"
#include "document/Preference.h"
#include "document/EditScope.h"
#include "import/ImportCSVSheet.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/pages/CurrencyTableView.h"
#include "mainwindow/viewer/PeriodBar.h"
#include "mainwindow/viewer/ViewerColumns.h"
#include "model/EditFlags.h"
#include "model/DatedPrice.h"
#include "panels/entry/PricePanel.h"
#include "platform/Alert.h"
#include "platform/Localization.h"
#include "platform/NumberText.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace cv {

namespace {
constexpr int kColumnWidths[CurrencyPage::kStartDataCells] = {150, 60, 60, 60, 90};
constexpr const char *kColumnTitles[CurrencyPage::kStartDataCells] = {
    "Report-Currency-Name", "Currency-Code", "Report-Currency-Prefix", "Report-Currency-Format",
    "Report-Currency-Default"};
constexpr int kSwitchedOff = 1; // bit 0 of a currency's flags
constexpr int kFixedIdent = 1;  // the currency that is never switched off

bool isOff(const Currency &currency)
{
    return currency.flags() & kSwitchedOff;
}
} // namespace

CurrencyPage::CurrencyPage(BookWindow *window, Book *document, QWidget *parent)
    : WindowPage(QStringLiteral("TB05"), document, parent), m_window(window), m_table(new CurrencyTableView(this)),
      m_dateField(new DateField(this)), m_todayButton(new QToolButton(this)), m_previousButton(new QToolButton(this)),
      m_nextButton(new QToolButton(this)), m_dataWidth(kColumnWidths[RateColumn])
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 0);
    m_todayButton->setText(cv::localizedString("Today"));
    m_todayButton->setObjectName(QStringLiteral("todayButtonCurrency"));
    PeriodBar::styleTodayButton(m_todayButton);
    m_dateField->setObjectName(QStringLiteral("topDateFieldCurrency"));
    m_previousButton->setText(cv::localizedString("Viewer Previous"));
    m_previousButton->setObjectName(QStringLiteral("prevButtonCurrency"));
    m_nextButton->setText(cv::localizedString("Viewer Next"));
    m_nextButton->setObjectName(QStringLiteral("nextButtonCurrency"));
    bar->addWidget(m_previousButton);
    bar->addWidget(m_todayButton);
    bar->addWidget(m_nextButton);
    bar->addWidget(m_dateField);
    bar->addStretch(1);
    layout->addLayout(bar);
    m_table->setObjectName(QStringLiteral("currencyView"));
    layout->addWidget(m_table, 1);

    for (int column = 0; column < kStartDataCells; ++column)
        m_table->addColumn(
            std::make_unique<TableColumn>(column, cv::localizedString(kColumnTitles[column]), kColumnWidths[column]));
    m_table->setClient(this);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The base rate column is the day columns' template: its width is theirs.
    m_table->horizontalHeader()->setSectionResizeMode(RateColumn, QHeaderView::Interactive);
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int width) {
        if (section != RateColumn || m_laying || width == m_dataWidth) return;
        m_dataWidth = std::max(width, kMinDataWidth);
        if (TableColumn *c = m_table->tableColumn(RateColumn)) c->setWidth(m_dataWidth);
        setupCurrencyColumns();
    });
    connect(m_previousButton, &QToolButton::clicked, this, [this] { stepDay(-1); });
    connect(m_nextButton, &QToolButton::clicked, this, [this] { stepDay(1); });
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_table->setCanDrag([this](int row) { return canDragRow(row); });
    m_table->setDropHandler([this](int from, int to) { return acceptDrop(from, to); });
    connect(m_table, &CurrencyTableView::cellDoubleClicked, this, &CurrencyPage::doubleClicked);

    connect(m_todayButton, &QToolButton::clicked, this, [this] {
        if (!m_window) return;
        m_window->todayTopDate(0);
        setupCurrencyColumns();
    });
    connect(m_dateField, &DateField::dateChanged, this, [this](DateField *field) {
        const std::optional<QDate> date = field->date();
        if (date && m_window && *date != m_window->topDate()) m_window->performInputDate(*date);
    });
    m_rateListOpener = [this](const CurrencyPtr &currency, QWidget *parent, std::function<void(int)> done) {
        const QDate top = m_window ? m_window->topDate() : QDate::currentDate();
        PricePanel::openPricePanel(this->document(), nullptr, currency, top, parent,
                                   [done](int code, PricePanel *) { done(code); });
    };
    m_rateImportOpener = [this](const CurrencyPtr &currency, QWidget *parent, std::function<void(int)> done) {
        ImportCSVSheet::openForCurrency(this->document(), currency->ident(), parent, std::move(done));
    };
    // The document goes before its window: nothing may read it afterwards.
    connect(document, &QObject::destroyed, this, [this] {
        m_shown = false;
        m_table->setClient(nullptr);
    });
    // Rates recorded elsewhere (the rate sheets, scripting) show at once.
    connect(document, &Book::currencyChanged, this, [this] {
        if (m_shown) reload();
    });
}

CurrencyPage::~CurrencyPage() = default;

CurrencyPtr CurrencyPage::currencyAt(int row) const
{
    const auto &list = document()->currencyList();
    return row >= 0 && size_t(row) < list.size() ? list[size_t(row)] : nullptr;
}

void CurrencyPage::reload()
{
    m_table->reloadData();
}

void CurrencyPage::editRow(int column, int row)
{
    if (row < 0 || row >= m_table->numberOfRows()) return;
    m_table->editColumn(column, row, nullptr, true);
}

// ---------------------------------------------------------------- page protocol

void CurrencyPage::enter(bool)
{
    m_shown = true;
    m_currencyChanged = false;
    setupCurrencyColumns();
    reload();
    // Row 0 is the default currency, never edited; a book of one currency has nothing to edit.
    editRow(NameColumn, 1);
    cv::changeTextInputSource(GetPopupFieldEditor(), true);
}

void CurrencyPage::leave()
{
    commitPendingInput();
    m_shown = false;
    if (m_currencyChanged) {
        // Category totals were converted at the old rates; typing rate after rate rebuilds once.
        document()->recalculateIfStale();
        m_currencyChanged = false;
    }
    cv::changeTextInputSource(GetPopupFieldEditor(), false);
}

void CurrencyPage::commitPendingInput()
{
    if (m_table->isEditing()) m_table->forceEndFieldEditing(true);
}

void CurrencyPage::dateChosen(const QDate &)
{
    setupCurrencyColumns();
    reload();
}

void CurrencyPage::resizeEvent(QResizeEvent *event)
{
    WindowPage::resizeEvent(event);
    setupCurrencyColumns();
}

// ---------------------------------------------------------------- day columns

QDate CurrencyPage::dateOfColumn(int column) const
{
    if (!isDataColumn(column) || !m_window) return {};
    const auto [months, days] = ViewerColumns::cellIncrement(0);
    const int step = column - kStartDataCells;
    return m_window->topDate().addMonths(months * step).addDays(qint64(days) * step);
}

void CurrencyPage::stepDay(int direction)
{
    if (!m_window) return;
    // The cell being edited is stored, and edited again on the new days.
    const int column = m_table->editedColumn();
    const int row = m_table->editedRow();
    commitPendingInput();
    m_window->moveDateWithMode(0, direction);
    setupCurrencyColumns();
    if (column >= 0 && row >= 0) editRow(column, row);
}

void CurrencyPage::setupCurrencyColumns()
{
    if (!m_table->client()) return;
    const QScopedValueRollback<bool> laying(m_laying, true);
    if (m_window) {
        const QSignalBlocker blocker(m_dateField);
        m_dateField->setDate(m_window->topDate());
    }
    const int width = m_dataWidth;
    int dataStart = 0;
    for (int column = 0; column < kStartDataCells; ++column) dataStart += m_table->columnWidth(column);
    // Too narrow for one day column: columns 0-4 stay.
    const int count = std::max(0, (m_table->viewport()->width() - dataStart) / width - 1);
    const QDate today = QDate::currentDate();
    const QColor future = m_window && m_window->preference() ? m_window->preference()->futureColor() : QColor();
    const QPalette palette = QApplication::palette();

    // A change of columns resets the table's model: the edited text is stored first.
    if (count != m_numDataCells) commitPendingInput();
    if (m_table->numberOfColumns() > kStartDataCells + count) m_table->removeColumnsFrom(kStartDataCells + count);
    m_numDataCells = count;
    m_todayColumn = kTodayNotShown;
    for (int column = kStartDataCells; column < kStartDataCells + count; ++column) {
        const QDate day = dateOfColumn(column);
        const QString title = ViewerColumns::periodTitle(day, 0);
        if (column >= m_table->numberOfColumns())
            m_table->addColumn(std::make_unique<TableColumn>(column, title, width));
        TableColumn *c = m_table->tableColumn(column);
        c->setTitle(title);
        if (c->width() != width) {
            c->setWidth(width);
            m_table->setColumnWidth(column, width);
        }
        if (day == today) {
            m_todayColumn = column;
            c->setHeaderColors(palette.color(QPalette::HighlightedText), palette.color(QPalette::Highlight));
        } else {
            c->setHeaderColors(day > today ? future : QColor(), QColor());
        }
    }
    if (m_window && m_window->topDate() > today) m_todayColumn = kStartDataCells - 1;
    m_table->refreshColumnHeaders();
    reload();
}

// ---------------------------------------------------------------- cells

QString CurrencyPage::formatText(int fraction)
{
    if (fraction == 0) return QStringLiteral("0");
    if (fraction == 2) return QStringLiteral("0.00");
    return QString(std::clamp(fraction, 0, kMaxFractionZeros), u'0');
}

std::optional<double> CurrencyPage::rateForText(const QString &typed)
{
    // Full-width digits and marks from an input method read as ASCII.
    QString t = typed.normalized(QString::NormalizationForm_KC).trimmed();
    t.remove(u',');
    const std::optional<double> value = parseDouble(t);
    if (!value || !std::isfinite(*value) || !(*value > 0)) return std::nullopt;
    if (!cv::isRecordableRate(*value)) {
        Alert::warn(cv::localizedString("Rate-Above-Bound"));
        return std::nullopt;
    }
    return value;
}

QString CurrencyPage::cellText(int column, int row) const
{
    const CurrencyPtr c = currencyAt(row);
    if (!c) return {};
    Book &doc = *document();
    switch (column) {
    case NameColumn: return c->name();
    case CodeColumn: return c->abbr();
    case PrefixColumn: return c->prefix();
    case FormatColumn: return formatText(c->fraction());
    case RateColumn: {
        if (isOff(*c)) return QStringLiteral("---");
        const CurrencyPtr def = doc.defaultCurrency();
        if (def && def->fraction() == 0) return doc.stringForValue(c->rate(), c->ident());
        return doc.stringForFundValue(c->rate(), c->ident(), false, true);
    }
    default: break;
    }
    if (!isDataColumn(column)) return {};
    if (isOff(*c)) return QStringLiteral("---");
    return doc.stringForFundValue(doc.currencyRate(c, dateOfColumn(column)), c->ident(), false, true);
}

void CurrencyPage::toggleCurrencyFormat(const CurrencyPtr &currency)
{
    if (!currency) return;
    currency->setFraction(currency->fraction() != 0 ? 0 : 2);
    document()->commitCurrencyList();
    reload();
}

void CurrencyPage::storeDayRate(const CurrencyPtr &currency, const QDate &date, double rate)
{
    Book &doc = *document();
    auto price = std::make_shared<DatedPrice>();
    price->setSecurity(currency->ident());
    price->setPrice(rate);
    price->setFlags(cv::EditNew);
    price->setDate(date);
    {
        cv::EditScope edit(doc);
        if (!doc.putRate(price)) return;
        m_currencyChanged = true;
        doc.commitCurrencyList();
    }
    reload();
}

int CurrencyPage::numberOfRows(const EditingTable *) const
{
    return int(document()->currencyList().size());
}

CellValue CurrencyPage::objectValue(const EditingTable *, int cid, int row) const
{
    return cellText(cid, row);
}

void CurrencyPage::setObjectValue(EditingTable *, const QString &typed, int cid, int row)
{
    if (row == 0) return;
    const CurrencyPtr c = currencyAt(row);
    if (!c) return;
    Book &doc = *document();
    switch (cid) {
    case NameColumn:
    case CodeColumn:
    case PrefixColumn: {
        const QString now = cid == NameColumn ? c->name() : cid == CodeColumn ? c->abbr() : c->prefix();
        if (typed == now) return;
        if (cid == NameColumn)
            c->setName(typed);
        else if (cid == CodeColumn)
            c->setAbbr(typed);
        else
            c->setPrefix(typed);
        doc.commitCurrencyList();
        return;
    }
    case FormatColumn: {
        // A set, not a toggle: storing the same text twice changes nothing more.
        const int fraction = typed.trimmed() == QLatin1String("0") ? 0 : 2;
        if (fraction == c->fraction()) return;
        c->setFraction(fraction);
        doc.commitCurrencyList();
        return;
    }
    case RateColumn: {
        const std::optional<double> rate = rateForText(typed);
        if (!rate || *rate == c->rate()) return;
        c->setRate(*rate);
        m_currencyChanged = true;
        doc.commitCurrencyList();
        return;
    }
    default: break;
    }
    if (!isDataColumn(cid)) return;
    // Only a rate above 0 is a rate; anything else stores nothing.
    const std::optional<double> rate = rateForText(typed);
    if (!rate) return;
    const QDate day = dateOfColumn(cid);
    // The rate already in force that day: nothing to record.
    if (doc.currencyRate(c, day) == *rate) return;
    storeDayRate(c, day, *rate);
}

bool CurrencyPage::isColumnSelectable(const EditingTable *, int, int row) const
{
    return row != 0;
}

bool CurrencyPage::shouldEditColumn(const EditingTable *, int cid, int row) const
{
    return row > 0 && row < int(document()->currencyList().size()) && (cid < kStartDataCells || isDataColumn(cid));
}

void CurrencyPage::prepareCell(const EditingTable *, PreparedCell &cell, int, int row) const
{
    if (row == 0) cell.color = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

bool CurrencyPage::handleTypedCharacter(EditingTable *table, QChar, PopupFieldEditor *, int cid, int row)
{
    if (cid != FormatColumn || row == 0) return false;
    const CurrencyPtr c = currencyAt(row);
    if (!c) return false;
    table->forceEndFieldEditing(false);
    toggleCurrencyFormat(c);
    editRow(FormatColumn, row);
    return true;
}

bool CurrencyPage::textInputOn(InputSourceMoment, int cid, int) const
{
    // Names may be Japanese; codes, symbols, formats and rates are typed in Latin.
    return cid == NameColumn;
}

void CurrencyPage::doubleClicked(int column, int row)
{
    if (row <= 0 || row >= m_table->numberOfRows() || column < 0 || column >= m_table->numberOfColumns()) return;
    if (column == FormatColumn) {
        if (m_table->isEditing()) m_table->forceEndFieldEditing(false);
        toggleCurrencyFormat(currencyAt(row));
        return;
    }
    editRow(column, row);
}

// ---------------------------------------------------------------- drag and drop

bool CurrencyPage::canDragRow(int row) const
{
    // The default currency leaves the top only when another is dropped there.
    return row > 0 && row < int(document()->currencyList().size());
}

bool CurrencyPage::acceptDrop(int from, int to)
{
    const int count = int(document()->currencyList().size());
    if (!canDragRow(from) || to < 0 || to > count) return false;
    if (to == from || to == from + 1) return false;
    const CurrencyPtr moving = currencyAt(from);
    if (to == 0 && !Alert::confirm(formatString(cv::localizedString("Confirm default curreny to %@"), {moving->name()}),
                                   cv::localizedString("Currency data will be lost")))
        return false;
    commitPendingInput();
    Book &doc = *document();
    {
        // The rates go only with the new order: one edit.
        EditScope edit(doc);
        doc.changeCurrencyOrder(from, to);
        if (to == 0) {
            doc.reinitializeCurrencyData();
            m_currencyChanged = true;
        }
        doc.commitCurrencyList();
    }
    reload();
    return true;
}

// ---------------------------------------------------------------- menu

CurrencyPtr CurrencyPage::selectedCurrency() const
{
    const QModelIndexList rows =
        m_table->selectionModel() ? m_table->selectionModel()->selectedRows() : QModelIndexList();
    if (!rows.isEmpty()) return currencyAt(rows.first().row());
    // An edited cell selects its row too.
    return m_table->isEditing() ? currencyAt(m_table->editedRow()) : nullptr;
}

std::optional<bool> CurrencyPage::validateMenuItem(const EditingTable *, const QAction *action) const
{
    const QString name = action ? action->objectName() : QString();
    if (name == QLatin1String("del") || name == QLatin1String("selectAll")) return false;
    return std::nullopt;
}

bool CurrencyPage::validateMenu(int tag) const
{
    const CurrencyPtr c = selectedCurrency();
    const CurrencyPtr def = document()->defaultCurrency();
    switch (tag) {
    case EditRatesTag: return m_shown && c && c != def && m_rateListOpener;
    case ImportRatesTag: return m_shown && c && c != def && m_rateImportOpener;
    case SwitchOffTag: return m_shown && c && c->ident() != kFixedIdent && c != def;
    case NewCurrencyTag: return true;
    default: return false;
    }
}

QString CurrencyPage::switchTitle() const
{
    const CurrencyPtr c = selectedCurrency();
    return cv::localizedString(c && isOff(*c) ? "Enable" : "Disable");
}

void CurrencyPage::execMenu(int tag)
{
    if (!validateMenu(tag)) return;
    const CurrencyPtr c = selectedCurrency();
    switch (tag) {
    case EditRatesTag: openRateSheet(m_rateListOpener, c); break;
    case ImportRatesTag: openRateSheet(m_rateImportOpener, c); break;
    case SwitchOffTag: switchCurrency(c); break;
    case NewCurrencyTag: newCurrency(); break;
    default: break;
    }
}

void CurrencyPage::switchCurrency(const CurrencyPtr &currency)
{
    commitPendingInput();
    currency->setFlags(currency->flags() ^ kSwitchedOff);
    document()->commitCurrencyList();
    reload();
}

void CurrencyPage::newCurrency()
{
    // Said before the name is asked, so that nothing typed is lost.
    if (!document()->newCurrencyIdent(Currency::presetIdent(QString()))) {
        cv::tellNoIdentLeft(QStringLiteral("Ident-Limit-Currency"), this);
        return;
    }
    const std::optional<QString> name =
        Alert::inputName(cv::localizedString("New Currency"), cv::localizedString("New Currency Title"));
    if (!name) return;
    commitPendingInput();
    if (!document()->addCurrency(Currency::currencyWith(*name, QString(), QStringLiteral("--"), 2))) {
        cv::tellNoIdentLeft(QStringLiteral("Ident-Limit-Currency"), this);
        return;
    }
    document()->commitCurrencyList();
    reload();
    if (m_shown) editRow(NameColumn, m_table->numberOfRows() - 1);
}

void CurrencyPage::openRateSheet(const RateSheetOpener &opener, const CurrencyPtr &currency)
{
    if (!opener || !currency) return;
    commitPendingInput();
    QPointer<CurrencyPage> page(this);
    opener(currency, window(), [page, currency](int code) {
        if (page) page->rateSheetDidEnd(currency, code);
    });
}

void CurrencyPage::rateSheetDidEnd(const CurrencyPtr &currency, int code)
{
    // The sheet wrote through the document, which announced the rates.
    if (code == 1 && currency) m_currencyChanged = true;
    reload();
}

// ---------------------------------------------------------------- printing

bool CurrencyPage::hasPrintableContent() const
{
    return !document()->currencyList().empty();
}

QStringList CurrencyPage::currencyReportCallback(const CurrenciesPrintParam &row) const
{
    if (row.isHeader()) return CurrenciesPrint::headerTitles();
    const CurrencyPtr c = currencyAt(row.index());
    if (!c) return {};
    const Book &doc = *document();
    QStringList out{c->name(), c->prefix(), c->fraction() != 0 ? QStringLiteral("0.00") : QStringLiteral("0")};
    if (isOff(*c)) return out << QStringLiteral("---") << QStringLiteral("---");
    const CurrencyPtr def = doc.defaultCurrency();
    out << formatFixed(c->rate(), def && def->fraction() == 0 ? 2 : 4);
    out << doc.stringForFundValue(doc.currencyRate(c, QDate::currentDate()), c->ident(), false, true);
    return out;
}

std::unique_ptr<PrintedPages> CurrencyPage::makePrintView(PageSetup &setup)
{
    if (!hasPrintableContent()) return nullptr;
    std::vector<CurrenciesPrintParam> rows{CurrenciesPrintParam(PrintedPagesParam::Header, -1)};
    for (int i = 0; i < int(document()->currencyList().size()); ++i) rows.emplace_back(0, i);
    QPointer<CurrencyPage> page(this);
    auto callback = [page](const CurrenciesPrintParam &row) {
        return page ? page->currencyReportCallback(row) : QStringList();
    };
    return std::make_unique<CurrenciesPrint>(callback, std::move(rows), setup);
}

} // namespace cv
