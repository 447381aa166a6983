#include "mainwindow/viewer/ViewerPage.h"

#include "print/ViewerPrint.h"
#include "print/ViewerPrintRow.h"
#include "controls/DateField.h"
#include "controls/CalendarPopup.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "document/Preference.h"
#include "mainwindow/viewer/AccountGrid.h"
#include "mainwindow/viewer/CategoryGrid.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/viewer/PeriodBar.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "mainwindow/viewer/NameColumnWidth.h"
#include "model/Settings.h"
#include "model/Node.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace cv {

namespace {
constexpr int kAccountNameWidth = 150;
constexpr int kKindWidth = 20;
constexpr int kCarryWidth = 100;
constexpr int kDefaultCellWidth = 88;
constexpr int kMinCellWidth = 30;
constexpr int kMaxCellWidth = 200;
constexpr int kUnits = 6;
constexpr int kLargeHeaderFont = 17;
constexpr int kCellMargins = 8;

void addPrintRows(std::vector<ViewerPrintParam> &rows, const ViewerGrid &grid, const QModelIndex &parent, int level,
                  int kind)
{
    const QAbstractItemModel *model = grid.model();
    const auto *viewer = qobject_cast<const ViewerModel *>(model);
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        rows.emplace_back(level, viewer->nodeAt(index), kind);
        if (grid.isExpanded(index)) addPrintRows(rows, grid, index, level + 1, kind);
    }
}
} // namespace

int ViewerPage::fontSizeForIndex(int index)
{
    return kFontSizes[index >= 1 && index <= 5 ? index : kDefaultFontIndex];
}

ViewerPage::ViewerPage(BookWindow *window, Book *document, QWidget *parent)
    : WindowPage(QStringLiteral("TB01"), document, parent), m_window(window), m_values(*document, m_columns),
      m_resizeTimer(new QTimer(this))
{
    Q_ASSERT(document);
    Settings *settings = document->settings().get();
    m_columns.setSettings(settings);
    m_columns.setUnit(settings ? std::clamp(settings->viewerUnit(), 0, kUnits - 1) : 2);
    m_columns.setTopDate(window ? window->topDate() : QDate::currentDate());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *bar = new QWidget(this);
    buildBar(bar);
    layout->addWidget(bar);

    m_accountModel = new ViewerModel(ViewerModel::Accounts, *document, m_values, m_columns, this);
    m_categoryModel = new ViewerModel(ViewerModel::Categories, *document, m_values, m_columns, this);
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_accountView = new AccountGrid(window, this, m_splitter);
    m_categoryView = new CategoryGrid(window, this, m_splitter);
    m_accountView->setObjectName(QStringLiteral("accountView"));
    m_categoryView->setObjectName(QStringLiteral("actualView"));
    m_accountView->setModel(m_accountModel);
    m_categoryView->setModel(m_categoryModel);
    m_accountView->setPartner(m_categoryView);
    m_categoryView->setPartner(m_accountView);
    for (ViewerGrid *grid : {static_cast<ViewerGrid *>(m_accountView), static_cast<ViewerGrid *>(m_categoryView)}) {
        grid->header()->setSectionResizeMode(QHeaderView::Fixed);
        // A date too long for its column loses its head, never its day.
        grid->header()->setTextElideMode(Qt::ElideLeft);
        grid->header()->setMinimumSectionSize(0);
    }
    m_splitter->addWidget(m_accountView);
    m_splitter->addWidget(m_categoryView);
    m_splitter->setChildrenCollapsible(false);
    layout->addWidget(m_splitter, 1);

    // Live resizes only move widths; the grids are laid out once it settles.
    m_resizeTimer->setSingleShot(true);
    m_resizeTimer->setInterval(kResizeDelayMs);
    connect(m_resizeTimer, &QTimer::timeout, this, [this] {
        m_accountModel->refreshValues();
        m_categoryModel->refreshValues();
    });

    for (auto signal : {&Book::entriesChanged, &Book::tradesChanged, &Book::balancesChanged, &Book::currencyChanged,
                        &Book::securityChanged, &Book::accountChanged, &Book::categoryChanged, &Book::settingsChanged})
        connect(document, signal, this, &ViewerPage::documentChanged);

    for (ViewerGrid *grid : {static_cast<ViewerGrid *>(m_accountView), static_cast<ViewerGrid *>(m_categoryView)}) {
        connect(grid, &QTreeView::expanded, this, [this] { m_expansionChanged = true; });
        connect(grid, &QTreeView::collapsed, this, [this] { m_expansionChanged = true; });
    }
    applyFont();
    syncBar();
    m_built = true;
    setupColumns();
    restoreExpansionStatus();
    // Today's column is selected once the window has its real width.
    QTimer::singleShot(0, this, [this] {
        if (!m_built) return;
        setupColumns();
        m_accountView->selectColumnAtIndexValue(columnIndexOfTodayInView(m_accountView));
    });
}

ViewerPage::~ViewerPage()
{
    // The grids and models read the columns and values, which go before the children would.
    delete m_splitter;
    delete m_accountModel;
    delete m_categoryModel;
}

const Preference &ViewerPage::preference() const
{
    static const Preference defaults;
    return m_window && m_window->preference() ? *m_window->preference() : defaults;
}

void ViewerPage::buildBar(QWidget *bar)
{
    m_miniSummaryCheckbox = new QCheckBox(cv::localizedString("Viewer Short Summary"), bar);
    m_miniSummaryCheckbox->setObjectName(QStringLiteral("miniSummaryCheckbox"));
    const PeriodBar b = PeriodBar::build(
        bar, {"periodicButton", "prevButton", "todayButtonMain", "nextButton", "topDateField", "viewerCellSlider"},
        {0, kUnits - 1, kMinCellWidth, kMaxCellWidth, {}, {m_miniSummaryCheckbox}});
    m_unitButton = b.unitButton;
    m_topDateField = b.dateField;
    m_cellSlider = b.cellSlider;
    QToolButton *prev = b.previous, *today = b.today, *next = b.next;

    connect(m_unitButton, &QComboBox::activated, this,
            [this](int index) { updatePeriod(m_unitButton->itemData(index).toInt()); });
    connect(prev, &QToolButton::clicked, this, [this] { moveDateForwardOrBackward(-1); });
    connect(next, &QToolButton::clicked, this, [this] { moveDateForwardOrBackward(1); });
    connect(today, &QToolButton::clicked, this, [this] { todayButtonPushed(); });
    connect(m_topDateField, &DateField::dateChanged, this, [this](DateField *field) {
        const std::optional<QDate> date = field->date();
        if (date && m_window && *date != m_window->topDate()) m_window->performInputDate(*date);
    });
    connect(m_miniSummaryCheckbox, &QCheckBox::toggled, this, &ViewerPage::setShortSummary);
    connect(m_cellSlider, &QSlider::valueChanged, this, &ViewerPage::setCellWidth);
}

void ViewerPage::syncBar()
{
    const Settings *settings = document()->settings().get();
    const QSignalBlocker b1(m_unitButton), b2(m_miniSummaryCheckbox), b3(m_cellSlider);
    m_unitButton->setCurrentIndex(m_unitButton->findData(m_columns.unit()));
    m_miniSummaryCheckbox->setChecked(settings && settings->viewerSummary() != 0);
    m_cellSlider->setValue(settings && settings->viewerCellWidth() != 0 ? settings->viewerCellWidth()
                                                                        : kDefaultCellWidth);
    if (m_window) m_topDateField->setDate(m_window->topDate());
}

void ViewerPage::applyFont()
{
    const Settings *settings = document()->settings().get();
    const int size = fontSizeForIndex(settings ? settings->viewerFontSize() : kDefaultFontIndex);
    m_accountView->setFontSize(size);
    m_categoryView->setFontSize(size);
    // The kind column holds "Ca " in the account grid's font, plus the cell's margins.
    m_kindWidth = std::max(kKindWidth,
                           QFontMetrics(m_accountView->font()).horizontalAdvance(QStringLiteral("Ca ")) + kCellMargins);
}

int ViewerPage::visibleWidth() const
{
    // The narrower grid (the one with a scroll bar) sets the width, so that
    // no summary column ends under its scroll bar.
    const int accounts = m_accountView->viewport()->width();
    const int categories = m_categoryView->viewport()->width();
    if (accounts > 0 && categories > 0) return std::min(accounts, categories);
    return accounts > 0 ? accounts : categories;
}

// ---------------------------------------------------------------- columns

void ViewerPage::setupColumns()
{
    if (!m_built) return;
    layoutColumns();
    m_accountModel->refreshValues();
    m_categoryModel->refreshValues();
}

void ViewerPage::layoutColumns()
{
    if (!m_built) return;
    const Settings *settings = document()->settings().get();
    ViewerColumns::Metrics metrics;
    // The layout counts a kind column of 20; a wider font's takes the difference.
    metrics.visibleWidth = visibleWidth() - (m_kindWidth - kKindWidth);
    metrics.spacing = 0;
    metrics.cellWidth = m_cellSlider->value();
    const QFont headerFont = m_accountView->header()->font();
    metrics.ratioWidth = QFontMetricsF(headerFont).horizontalAdvance(QStringLiteral("100.00")) * 1.1;
    metrics.largeHeaderFont = headerFont.pixelSize() >= kLargeHeaderFont;
    metrics.shortSummary = settings && settings->viewerSummary() != 0;
    // The category grid's name column is the account grid's plus the carry-over column.
    const int names = std::max(nameColumnWidth(*m_accountView), nameColumnWidth(*m_categoryView) - kCarryWidth);
    metrics.nameWidth = std::min(names, std::max(kAccountNameWidth, metrics.visibleWidth / 3));
    if (!m_preserveSelectedColumn) {
        m_accountView->setSelectedColumnId(0);
        m_categoryView->setSelectedColumnId(0);
    }
    if (m_window) m_columns.setTopDate(m_window->topDate());
    m_columns.layout(metrics);

    m_accountModel->setColumnCountTo(m_columns.accountColumnCount());
    m_categoryModel->setColumnCountTo(m_columns.categoryColumnCount());
    QHeaderView *accounts = m_accountView->header();
    QHeaderView *categories = m_categoryView->header();
    for (int column = 0; column < m_columns.accountColumnCount(); ++column) {
        int width = m_columns.accountWidth(column);
        if (column == 1) width = m_kindWidth;
        accounts->resizeSection(column, width);
    }
    // The category grid's name column lines its data columns up with the accounts'.
    categories->resizeSection(0, m_columns.accountWidth(0) + kCarryWidth);
    categories->resizeSection(1, m_kindWidth);
    for (int column = 2; column < m_columns.categoryColumnCount(); ++column)
        categories->resizeSection(column, m_columns.accountWidth(ViewerColumns::accountColumnOf(column)));
    // The layout follows the narrower grid; the other's filler also takes
    // the width of the scroll bar it lacks, so both reach their edge.
    if (m_columns.accountColumnCount() > m_columns.lastAccountColumn() + 1) {
        const int filler = m_columns.accountColumnCount() - 1;
        const int width = m_columns.accountWidth(filler);
        const int shared = visibleWidth();
        accounts->resizeSection(filler, width + std::max(0, m_accountView->viewport()->width() - shared));
        categories->resizeSection(ViewerColumns::categoryColumnOf(filler),
                                  width + std::max(0, m_categoryView->viewport()->width() - shared));
    }
    setupColumnHeader();
    if (m_window) m_topDateField->setDate(m_window->topDate());
}

void ViewerPage::setupColumnHeader()
{
    m_values.invalidateSums();
    m_values.setFutureColor(preference().futureColor());
    const QDate today = QDate::currentDate();
    const PeriodOfToday period = cv::periodOfToday(*document()->settings(), today);
    m_todayColumn = m_columns.todayColumn(today, period.begin, period.end);
    m_values.setTodayColumn(m_todayColumn);
    const QPalette palette = QApplication::palette();
    for (int column = 0; column < m_columns.accountColumnCount(); ++column) {
        const int categoryColumn = ViewerColumns::categoryColumnOf(column);
        QString title;
        QString categoryTitle;
        QColor textColor;
        QColor background;
        if (column == 2) {
            title = cv::localizedString("Report-View-Carry");
        } else if (m_columns.isDataColumn(column)) {
            const QDate d = m_columns.columnFirstDate(column);
            title = ViewerColumns::periodTitle(d, m_columns.unit());
            if (column == m_todayColumn) {
                background = palette.color(QPalette::Highlight);
                textColor = palette.color(QPalette::HighlightedText);
            } else if (period.end < d) {
                textColor = preference().futureColor();
            }
        } else if (const ViewerColumns::SummaryColumn *summary = m_columns.summaryAt(column)) {
            title = cv::localizedString(summary->accountKey);
            categoryTitle = cv::localizedString(summary->categoryKey);
        }
        m_accountModel->setHeader(column, title, textColor, background);
        if (column != 2)
            m_categoryModel->setHeader(categoryColumn, m_columns.summaryAt(column) ? categoryTitle : QString(), {},
                                       background);
    }
}

int ViewerPage::columnIndexOfTodayInView(const ViewerGrid *view) const
{
    return view == m_categoryView && m_todayColumn >= ViewerColumns::kStartDataCells ? m_todayColumn - 1
                                                                                     : m_todayColumn;
}

void ViewerPage::refreshMainView()
{
    setupColumns();
    dataChanged();
}

void ViewerPage::dataChanged()
{
    if (!m_built) return;
    accountViewInvalidate();
    m_categoryModel->refreshValues();
}

void ViewerPage::accountViewInvalidate()
{
    if (!m_built) return;
    m_values.invalidateSums();
    m_accountModel->refreshValues();
}

void ViewerPage::documentChanged(const ChangeSet &changes)
{
    if (!m_built) return;
    if (changes.reload) {
        // The trees are new objects: no row may keep the old nodes, shown or not.
        m_staleRows = false;
        readRows();
        return;
    }
    const bool structure =
        changes.accountTree == TreeChange::Structure || changes.categoryTree == TreeChange::Structure;
    if (structure && m_ignoreTreeChanges) return;
    if (!isCurrentPage()) {
        (structure ? m_staleRows : m_staleValues) = true;
        return;
    }
    if (changes.fiscalStart) {
        // The periods are cut anew: columns, headers and values.
        updatePeriod(m_columns.unit());
        return;
    }
    if (structure) {
        treesChanged();
        return;
    }
    // Balances move every account row above the one that changed, and rates
    // and prices any row that converts: a value-only repaint of the grid.
    const bool rates = !changes.currencies.empty() || !changes.securities.empty();
    if (rates || !changes.accounts.empty() || !changes.trades.empty() || changes.accountTree == TreeChange::Values)
        accountViewInvalidate();
    if (rates || !changes.categories.empty() || !changes.entries.empty() || changes.categoryTree == TreeChange::Values)
        m_categoryModel->refreshValues();
}

void ViewerPage::treesChanged()
{
    if (!m_built || m_ignoreTreeChanges) return;
    readRows();
}

void ViewerPage::readRows()
{
    // A new or removed account moves its root's total too.
    m_values.invalidateSums();
    m_accountModel->reloadRows();
    m_categoryModel->reloadRows();
    restoreExpansionStatus();
}

// ---------------------------------------------------------------- periods

void ViewerPage::updatePeriod(int unit)
{
    unit = std::clamp(unit, 0, kUnits - 1);
    if (Settings *settings = document()->settings().get()) settings->setViewerUnit(unit);
    m_columns.setUnit(unit);
    if (m_window) m_window->changeTopDateUnit(unit);
    syncBar();
    setupColumns();
}

void ViewerPage::moveDateForwardOrBackward(int direction)
{
    if (!m_window) return;
    m_window->moveDateWithMode(m_columns.unit(), direction);
    // Both grids keep their selected column across the step.
    m_preserveSelectedColumn = true;
    setupColumns();
    m_preserveSelectedColumn = false;
}

void ViewerPage::todayButtonPushed(const QDate &today)
{
    if (!m_window) return;
    auto *focused = qobject_cast<ViewerGrid *>(QApplication::focusWidget());
    m_window->todayTopDate(m_columns.unit(), today);
    setupColumns();
    if (focused && m_todayColumn < ViewerColumns::kStartDataCells + m_columns.numDataCells())
        focused->selectColumnAtIndexValue(columnIndexOfTodayInView(focused));
}

void ViewerPage::dateChosen(const QDate &)
{
    updatePeriod(m_columns.unit());
}

bool ViewerPage::changeFontSize(bool larger)
{
    Settings *settings = document()->settings().get();
    if (!settings) return false;
    const int index = settings->viewerFontSize();
    if (larger ? index > 4 : index < 2) return false;
    const int next = index + (larger ? 1 : -1);
    if (m_categoryView->fontSize() == fontSizeForIndex(next)) return false;
    settings->setViewerFontSize(next);
    applyFont();
    setupColumns();
    return true;
}

void ViewerPage::setShortSummary(bool on)
{
    if (Settings *settings = document()->settings().get()) settings->setViewerSummary(on ? 1 : 0);
    setupColumns();
}

void ViewerPage::setCellWidth(int width)
{
    {
        const QSignalBlocker blocker(m_cellSlider);
        m_cellSlider->setValue(width);
    }
    if (Settings *settings = document()->settings().get()) {
        // The width alone does not make the book edited.
        const bool wasChanged = settings->changed();
        settings->setViewerCellWidth(width);
        if (!wasChanged) settings->clearChanged();
    }
    setupColumns();
}

// ---------------------------------------------------------------- page protocol

void ViewerPage::enter(bool dirty)
{
    if (dirty) document()->recalculateIfStale();
    if (m_staleRows) treesChanged();
    m_staleRows = m_staleValues = false;
    if (m_window) m_window->adjustTopDate(m_columns.unit());
    refreshMainView();
}

void ViewerPage::commitPendingInput()
{
    m_accountView->commitPendingPanelInput();
    m_categoryView->commitPendingPanelInput();
}

void ViewerPage::willClose()
{
    // The document goes now and the page later: nothing may reach it again.
    m_built = false;
    m_resizeTimer->stop();
    disconnect(document(), nullptr, this, nullptr);
    m_accountView->willClose();
    m_categoryView->willClose();
    m_accountView->setModel(nullptr);
    m_categoryView->setModel(nullptr);
}

void ViewerPage::resizeEvent(QResizeEvent *event)
{
    WindowPage::resizeEvent(event);
    // Columns follow the width at once; values are read again once the resize settles.
    layoutColumns();
    m_resizeTimer->start();
}

void ViewerPage::showEvent(QShowEvent *event)
{
    WindowPage::showEvent(event);
    // The first layout needs the grids' real width.
    setupColumns();
}

// ---------------------------------------------------------------- saving and opening

void ViewerPage::storeState()
{
    if (Settings *settings = document()->settings().get()) {
        const QRect frame = m_accountView->geometry();
        settings->setSplitX(frame.x());
        settings->setSplitY(frame.y());
        settings->setSplitWidth(frame.width());
        settings->setSplitHeight(frame.height());
    }
    // Expansion lives in the nodes' flags, which travel with the trees.
    if (m_expansionChanged) {
        m_ignoreTreeChanges = true;
        {
            EditScope edit(*document());
            document()->commitAccountTrees();
            document()->commitCategoryTrees();
        }
        m_ignoreTreeChanges = false;
        m_expansionChanged = false;
    }
}

void ViewerPage::restoreExpansionStatus()
{
    m_accountView->restoreExpansionState();
    m_categoryView->restoreExpansionState();
    const Settings *settings = document()->settings().get();
    if (settings && settings->splitHeight() != 0) {
        const int total = m_splitter->height();
        const int first = settings->splitHeight();
        if (total > first) m_splitter->setSizes({first, total - first});
    }
    m_expansionChanged = false;
}

// ---------------------------------------------------------------- printing

bool ViewerPage::hasPrintableContent() const
{
    return document() && document()->accountTrees() && document()->categoryTrees();
}

std::unique_ptr<PrintedPages> ViewerPage::makePrintView(PageSetup &setup)
{
    if (!hasPrintableContent()) return nullptr;
    Book *doc = document();
    std::vector<ViewerPrintParam> rows{
        ViewerPrintParam(PrintedPagesParam::Header, nullptr, ViewerPrintParam::Accounts)};
    addPrintRows(rows, *m_accountView, {}, 0, ViewerPrintParam::Accounts);
    rows.emplace_back(PrintedPagesParam::Header, nullptr, ViewerPrintParam::Categories);
    addPrintRows(rows, *m_categoryView, {}, 0, ViewerPrintParam::Categories);
    auto printed = std::make_shared<ViewerPrintRow>(m_window ? m_window->topDate() : QDate::currentDate());
    auto callback = [doc, printed](const ViewerPrintParam &row) {
        const bool accounts = row.kind() == ViewerPrintParam::Accounts;
        if (row.isHeader()) return accounts ? printed->accountHeader() : printed->categoryHeader();
        if (!row.ref()) return QStringList();
        return accounts ? printed->accountCells(*doc, *row.ref()) : printed->categoryCells(*doc, *row.ref());
    };
    return std::make_unique<ViewerPrint>(callback, std::move(rows), setup);
}

} // namespace cv
