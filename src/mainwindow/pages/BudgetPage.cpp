#include "mainwindow/pages/BudgetPage.h"

#include "print/BudgetPrint.h"
#include "controls/DateField.h"
#include "document/AmountText.h"
#include "document/ChangeSet.h"
#include "document/Book.h"
#include "document/Preference.h"
#include "document/PatternFormatter.h"
#include "mainwindow/pages/BorderedOutlineView.h"
#include "mainwindow/pages/BudgetModel.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/viewer/NameColumnWidth.h"
#include "mainwindow/viewer/PeriodBar.h"
#include "model/CategoryTrees.h"
#include "model/Settings.h"
#include "model/Node.h"
#include "panels/sheets/BudgetEditor.h"
#include "panels/sheets/BudgetPanel.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace cv {

namespace {

constexpr int kFirstUnit = 2;
constexpr int kLastUnit = 5;
// Rows of the week view from this day of the year on belong to January.
constexpr int kLastWeekDay = 363;
constexpr int kCellMargins = 8;
const QColor kOddRowColor(237, 243, 254);

int validUnit(int unit)
{
    return unit >= kFirstUnit && unit <= kLastUnit ? unit : kFirstUnit;
}

// Period cells alternate white and light blue by the row's place on screen;
// the other cells take the model's background.
class BudgetCellDelegate : public QStyledItemDelegate {
public:
    BudgetCellDelegate(BorderedOutlineView *view, const BudgetColumns &columns)
        : QStyledItemDelegate(view), m_view(view), m_columns(columns)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        QColor background = index.data(Qt::BackgroundRole).value<QColor>();
        const BudgetColumns::Kind kind = m_columns.kind(index.column());
        if (!background.isValid() && kind != BudgetColumns::Kind::Filler && kind != BudgetColumns::Kind::None) {
            background = shownRow(index) % 2 ? kOddRowColor : QColor(Qt::white);
        }
        if (background.isValid()) painter->fillRect(option.rect, background);
        opt.backgroundBrush = Qt::NoBrush;
        const QVariant colour = index.data(Qt::ForegroundRole);
        // A selected row reads in the selection's own text colour: blue budget
        // figures would vanish on the blue selection.
        if (colour.isValid()) opt.palette.setColor(QPalette::Text, colour.value<QColor>());
        QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_view->rowHeight()};
    }

private:
    // Rows are all of one height: the place on screen counts from the scroll position.
    int shownRow(const QModelIndex &index) const
    {
        const int height = m_view->rowHeight();
        if (height <= 0) return 0;
        const int scrolled = m_view->verticalScrollBar()->value();
        const int offset =
            m_view->verticalScrollMode() == QAbstractItemView::ScrollPerPixel ? scrolled : scrolled * height;
        return (m_view->visualRect(index).top() + offset) / height;
    }

    BorderedOutlineView *m_view;
    const BudgetColumns &m_columns;
};

void addPrintRows(std::vector<BudgetPrintParam> &rows, const QTreeView &view, const BudgetModel &model,
                  const QModelIndex &parent, int level)
{
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        const Node *node = model.nodeAt(index);
        if (!node) continue; // the header row is not printed
        rows.emplace_back(level, node);
        if (view.isExpanded(index)) addPrintRows(rows, view, model, index, level + 1);
    }
}

} // namespace

BudgetPage::BudgetPage(Book *document, QWidget *parent)
    : WindowPage(QStringLiteral("TB03"), document, parent), m_window(nullptr)
{
    Q_ASSERT(document);
    for (QObject *p = parent; p && !m_window; p = p->parent()) m_window = qobject_cast<BookWindow *>(p);
    m_localTopDate = QDate::currentDate();
    m_columns.setSettings(document->settings().get());
    m_columns.setUnit(validUnit(document->settings() ? document->settings()->budgetUnit() : kFirstUnit));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *bar = new QWidget(this);
    buildBar(bar);
    layout->addWidget(bar);

    m_model = new BudgetModel(*document, m_columns, this);
    m_view = new BorderedOutlineView(this);
    m_view->setObjectName(QStringLiteral("budgetView"));
    m_view->setModel(m_model);
    m_view->setItemDelegate(new BudgetCellDelegate(m_view, m_columns));
    m_view->setClickClient(this);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setDragEnabled(false);
    m_view->setIndentation(12);
    m_view->header()->setStretchLastSection(false);
    m_view->header()->setSectionsMovable(false);
    m_view->header()->setMinimumSectionSize(0);
    m_view->header()->setSectionResizeMode(QHeaderView::Interactive);
    layout->addWidget(m_view, 1);

    // A column resized by hand gives its width to every budget and actual
    // column once the drag ends (the name column keeps its own). The press
    // and release reach the header's viewport.
    QHeaderView *header = m_view->header();
    connect(header, &QHeaderView::sectionResized, this, [this](int section, int, int width) {
        if (m_dragging && section > 0) m_chosenWidth = width;
    });
    m_headerViewport = header->viewport();
    header->viewport()->installEventFilter(this);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &BudgetPage::selectionChanged);
    connect(document, &Book::categoryChanged, this, &BudgetPage::treeChanged);
    for (auto signal : {&Book::entriesChanged, &Book::balancesChanged, &Book::currencyChanged})
        connect(document, signal, this, &BudgetPage::valuesChanged);
    // A new fiscal start cuts the shown periods anew; a hidden page does when entered.
    connect(document, &Book::settingsChanged, this, [this] {
        if (isCurrentPage()) updateBudgetPeriod(m_columns.unit());
    });
    m_view->restoreExpansionState();
    syncBar();
    selectionChanged();
}

BudgetPage::~BudgetPage()
{
    // The grid reads the columns, which go before the children would.
    delete m_view;
    delete m_model;
}

const Preference &BudgetPage::preference() const
{
    static const Preference defaults;
    return m_window && m_window->preference() ? *m_window->preference() : defaults;
}

QDate BudgetPage::topDate() const
{
    return m_window ? m_window->topDate() : m_localTopDate;
}

void BudgetPage::buildBar(QWidget *bar)
{
    m_batchButton = new QPushButton(cv::localizedString("Budget Batch"), bar);
    m_batchButton->setObjectName(QStringLiteral("budgetBatchButton"));
    m_batchButton->setAutoDefault(false);
    const PeriodBar b = PeriodBar::build(bar,
                                         {"budgetPeriodButton", "prevBudgetButton", "todayButtonBudget",
                                          "nextBudgetButton", "budgetDateField", "budgetCellSlider"},
                                         {kFirstUnit, kLastUnit, kMinCellWidth, kMaxCellWidth, {m_batchButton}, {}});
    m_periodButton = b.unitButton;
    m_dateField = b.dateField;
    m_cellSlider = b.cellSlider;
    QToolButton *prev = b.previous, *today = b.today, *next = b.next;

    connect(m_periodButton, &QComboBox::activated, this,
            [this](int index) { updateBudgetPeriod(m_periodButton->itemData(index).toInt()); });
    connect(prev, &QToolButton::clicked, this, [this] { moveDateForwardOrBackward(-1); });
    connect(next, &QToolButton::clicked, this, [this] { moveDateForwardOrBackward(1); });
    connect(today, &QToolButton::clicked, this, [this] { todayButtonPushed(); });
    connect(m_dateField, &DateField::dateChanged, this, [this](DateField *field) {
        const std::optional<QDate> date = field->date();
        if (!date || *date == topDate()) return;
        if (m_window) {
            m_window->performInputDate(*date);
        } else {
            m_localTopDate = *date;
            dateChosen(*date);
        }
    });
    connect(m_batchButton, &QPushButton::clicked, this, &BudgetPage::budgetBatchInput);
    connect(m_cellSlider, &QSlider::valueChanged, this, &BudgetPage::setCellWidth);
}

void BudgetPage::syncBar()
{
    const Settings *settings = document()->settings().get();
    const QSignalBlocker b1(m_periodButton), b2(m_cellSlider);
    m_periodButton->setCurrentIndex(m_periodButton->findData(m_columns.unit()));
    m_cellSlider->setValue(settings && settings->budgetCellWidth() != 0 ? settings->budgetCellWidth()
                                                                        : kDefaultCellWidth);
    m_dateField->setDate(topDate());
}

// ---------------------------------------------------------------- columns

void BudgetPage::setupBudgetColumns(bool onResize)
{
    if (!m_initialized) return;
    BudgetColumns::Metrics metrics;
    metrics.visibleWidth = m_view->contentsRect().width();
    metrics.cellWidth = m_cellSlider->value();
    metrics.percentWidth = QFontMetrics(m_view->font()).horizontalAdvance(QStringLiteral("1234.00%")) + kCellMargins;
    metrics.spacing = 0;
    metrics.scrollerWidth = m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view);
    metrics.nameWidth =
        std::min(nameColumnWidth(*m_view), std::max(int(BudgetColumns::kNameWidth), metrics.visibleWidth / 3));
    m_columns.setTopDate(topDate());
    if (!m_columns.layout(metrics, onResize)) return;
    m_model->setColumnCountTo(m_columns.columnCount());
    QHeaderView *header = m_view->header();
    for (int column = 0; column < m_columns.columnCount(); ++column)
        header->resizeSection(column, m_columns.width(column));
    setupBudgetColumnHeader();
    m_model->refreshValues();
}

void BudgetPage::setupBudgetColumnHeader()
{
    const QDate top = topDate();
    m_dateField->setDate(top);
    const int unit = m_columns.unit();
    const QString format = unit == 5 ? cv::localizedString("YYYY") : cv::localizedString("YYYY/MM");
    const QDate today = QDate::currentDate();
    const QColor now = QApplication::palette().color(QPalette::Highlight);
    m_model->setHeader(0, QString());
    m_view->setColumnBorder(0, BorderedOutlineView::RightBorder);
    for (int column = 1; column <= m_columns.numBudgetCells(); column += 3) {
        const QDate start = m_columns.dateForColumn(column).first;
        const QColor background = m_columns.isCurrentPeriod(start, today) ? now : QColor();
        m_model->setHeader(column, formatDate(start, format), {}, background);
        m_model->setHeader(column + 1, QString(), {}, background);
        m_model->setHeader(column + 2, QString(), {}, background);
        m_view->setColumnBorder(column, BorderedOutlineView::LeftBorder);
        m_view->setColumnBorder(column + 1, 0);
        m_view->setColumnBorder(column + 2, BorderedOutlineView::RightBorder);
    }
    const int summary = m_columns.startEndBudgetCells();
    if (m_columns.hasFiller()) {
        m_model->setHeader(summary - 1, QString());
        m_view->setColumnBorder(summary - 1, BorderedOutlineView::RightBorder);
    }
    m_model->setHeader(summary, QString());
    m_model->setHeader(summary + 1, cv::localizedString("Summary Column"));
    m_model->setHeader(summary + 2, QString());
    m_view->setColumnBorder(summary, BorderedOutlineView::LeftBorder);
    m_view->setColumnBorder(summary + 1, 0);
    m_view->setColumnBorder(summary + 2, 0);
}

void BudgetPage::setCellWidth(int width)
{
    {
        const QSignalBlocker blocker(m_cellSlider);
        m_cellSlider->setValue(width);
    }
    if (Settings *settings = document()->settings().get(); settings && settings->budgetCellWidth() != width) {
        // The width alone does not make the book edited; the next save keeps it.
        const bool wasChanged = settings->changed();
        settings->setBudgetCellWidth(width);
        if (!wasChanged) settings->clearChanged();
    }
    setupBudgetColumns();
}

// ---------------------------------------------------------------- periods

void BudgetPage::updateBudgetPeriod(int unit)
{
    unit = validUnit(unit);
    Settings *settings = document()->settings().get();
    // Entering the page sets the unit it already has: that is no edit of the book.
    if (settings && settings->budgetUnit() != unit) settings->setBudgetUnit(unit);
    m_columns.setUnit(unit);
    const QDate top = topDate();
    QDate start = top;
    if (settings && settings->viewerUnit() == 1 && top.dayOfYear() > kLastWeekDay) start = QDate(top.year() + 1, 1, 1);
    start = settings ? settings->fiscalDate(start, unit) : start;
    if (m_window)
        m_window->moveTopDate(start);
    else
        m_localTopDate = start;
    syncBar();
    setupBudgetColumns();
}

void BudgetPage::moveDateForwardOrBackward(int direction)
{
    if (m_window) {
        m_window->moveDateWithMode(m_columns.unit(), direction);
    } else {
        m_localTopDate = m_localTopDate.addMonths(direction * BudgetColumns::monthsForUnit(m_columns.unit()));
    }
    setupBudgetColumns();
}

void BudgetPage::todayButtonPushed(const QDate &today)
{
    if (m_window) {
        m_window->todayTopDate(m_columns.unit(), today);
    } else {
        const Settings *settings = document()->settings().get();
        m_localTopDate = settings ? settings->fiscalDate(today, m_columns.unit()) : today;
    }
    setupBudgetColumns();
}

void BudgetPage::dateChosen(const QDate &)
{
    updateBudgetPeriod(m_columns.unit());
}

// ---------------------------------------------------------------- page protocol

void BudgetPage::enter(bool dirty)
{
    // The window's preferences come after the page is made.
    m_model->setPreference(&preference());
    m_view->setTitleColor(preference().titleColor());
    if (!m_initialized) {
        m_initialized = true;
        m_view->restoreExpansionState();
    }
    if (dirty) {
        document()->recalculateIfStale();
        m_model->refreshValues();
    }
    const QDate kept = topDate();
    const Settings *settings = document()->settings().get();
    updateBudgetPeriod(settings ? settings->budgetUnit() : kFirstUnit);
    selectionChanged();
    if (m_window) m_window->setPreBudgetDate(kept);
}

bool BudgetPage::eventFilter(QObject *watched, QEvent *event)
{
    // The header may be going away: only its address is compared.
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress && watched == m_headerViewport) {
        m_dragging = true;
        m_chosenWidth = 0;
    } else if (type == QEvent::MouseButtonRelease && watched == m_headerViewport) {
        m_dragging = false;
        // After the header has ended its own drag.
        QTimer::singleShot(0, this, [this] {
            if (const int width = std::exchange(m_chosenWidth, 0); width > 0) m_cellSlider->setValue(width);
        });
    }
    return WindowPage::eventFilter(watched, event);
}

void BudgetPage::resizeEvent(QResizeEvent *event)
{
    WindowPage::resizeEvent(event);
    setupBudgetColumns(true);
}

void BudgetPage::showEvent(QShowEvent *event)
{
    WindowPage::showEvent(event);
    // The first layout needs the grid's real width.
    setupBudgetColumns(true);
}

void BudgetPage::treeChanged(const ChangeSet &changes)
{
    if (changes.categoryTree == TreeChange::Values) {
        valuesChanged();
        return;
    }
    // Rows hold the tree's nodes: a new shape (or a new tree) is read again.
    m_model->reloadRows();
    m_view->restoreExpansionState();
    selectionChanged();
}

void BudgetPage::valuesChanged()
{
    if (isCurrentPage()) m_model->refreshValues();
}

// ---------------------------------------------------------------- clicks and sheets

bool BudgetPage::isColumnSelectable(int, int row)
{
    return row > 0;
}

std::optional<bool> BudgetPage::handleClick(int cid, int)
{
    const QModelIndex index = m_view->currentIndex();
    const Node *node = m_model->nodeAt(index);
    if (cid < 1 || !node || !m_columns.isPeriodBudgetColumn(cid)) return false;
    // The editor opens on the next turn, after the click has ended.
    const NodePtr item = std::const_pointer_cast<Node>(node->shared_from_this());
    QTimer::singleShot(0, this, [this, item, cid] { budgetEditItem(item, cid); });
    return true;
}

NodePtr BudgetPage::selectedNode() const
{
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    const Node *node = rows.isEmpty() ? nullptr : m_model->nodeAt(rows.first());
    return node ? std::const_pointer_cast<Node>(node->shared_from_this()) : nullptr;
}

void BudgetPage::selectionChanged()
{
    m_batchButton->setEnabled(selectedNode() != nullptr);
}

void BudgetPage::budgetEditItem(const NodePtr &node, int column)
{
    if (!node || m_sheet || !m_columns.isPeriodBudgetColumn(column)) return;
    const auto [date, months] = m_columns.dateForColumn(column);
    if (months <= 0) return;
    QWidget *parent = m_window ? static_cast<QWidget *>(m_window) : this;
    m_sheet = BudgetEditor::openBudgetEditor(document(), node, date, months, parent,
                                             [page = QPointer<BudgetPage>(this)](int code) {
                                                 if (page) page->sheetEnded(code);
                                             });
}

void BudgetPage::budgetBatchInput()
{
    const NodePtr node = selectedNode();
    if (!node || m_sheet) return;
    QWidget *parent = m_window ? static_cast<QWidget *>(m_window) : this;
    m_sheet = BudgetPanel::openBudgetPanel(document(), topDate(), node, parent,
                                           [page = QPointer<BudgetPage>(this)](int code) {
                                               if (page) page->sheetEnded(code);
                                           });
}

void BudgetPage::sheetEnded(int code)
{
    m_sheet = nullptr;
    // The budgets travel with the category tree.
    if (code == 1) document()->commitCategoryTrees();
    m_model->refreshValues();
}

// ---------------------------------------------------------------- printing

QStringList BudgetPage::budgetStringsForValue(const Book &document, double actual, double budget)
{
    if (actual == 0) return {QString(), QString(), QString()};
    const PatternFormatter &money = document.amountText().formatterForCurrency(0);
    static const PatternFormatter centi(QStringLiteral("#,##0.00;-#,##0.00"));
    if (budget == 0) return {money.stringForObjectValue(actual), QString(), QString()};
    return {money.stringForObjectValue(actual), money.stringForObjectValue(budget),
            centi.stringForObjectValue(actual / budget * 100) + QLatin1Char('%')};
}

bool BudgetPage::hasPrintableContent() const
{
    return document() && document()->categoryTrees();
}

std::unique_ptr<PrintedPages> BudgetPage::makePrintView(PageSetup &setup)
{
    if (!hasPrintableContent()) return nullptr;
    Book *doc = document();
    std::vector<BudgetPrintParam> rows{BudgetPrintParam(PrintedPagesParam::Header)};
    addPrintRows(rows, *m_view, *m_model, {}, 0);
    const QDate top = topDate();
    const QDate first(top.year(), top.month(), 1);
    auto callback = [doc, first](const BudgetPrintParam &row) -> QList<QStringList> {
        QList<QStringList> cells;
        if (row.isHeader()) {
            const QLocale locale(isJapanese() ? QLocale::Japanese : QLocale::English);
            cells.append({formatString(localizedString(QStringLiteral("Report-Budget-Year")), {first.year()})});
            for (int m = 0; m < 12; ++m)
                cells.append({locale.standaloneMonthName(first.addMonths(m).month(), QLocale::ShortFormat)});
            cells.append({localizedString(QStringLiteral("Report-View-Total"))});
            return cells;
        }
        const Node *node = row.ref();
        if (row.level() == PrintedPagesParam::NoTexts || !node) return cells;
        const NodePtr item = std::const_pointer_cast<Node>(node->shared_from_this());
        cells.append({doc->displayName(*node)});
        double actualSum = 0;
        double budgetSum = 0;
        for (int m = 0; m < 12; ++m) {
            const QDate month = first.addMonths(m);
            const double actual = doc->summaryForCategoryMonths(item, month, 1);
            const double budget = node->budgetAtDate(month);
            actualSum += actual;
            budgetSum += budget;
            cells.append(budgetStringsForValue(*doc, actual, budget));
        }
        cells.append(budgetStringsForValue(*doc, actualSum, budgetSum));
        return cells;
    };
    return std::make_unique<BudgetPrint>(callback, std::move(rows), setup);
}

} // namespace cv
