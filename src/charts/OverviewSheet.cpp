#include "charts/OverviewSheet.h"

#include "controls/DateField.h"
#include "document/Book.h"
#include "platform/Localization.h"
#include "platform/widgets/ReportTextStyles.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace cv {

namespace {

constexpr int kMaxLevel = 9;
constexpr int kRows[] = {9, 3, 3, 5, 5};
constexpr int kColumns[] = {4, 4, 4, 2, 4};

QTableWidget *makeTable(int table, QWidget *parent)
{
    auto *view = new QTableWidget(kRows[table], kColumns[table], parent);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    view->setFocusPolicy(Qt::NoFocus);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return view;
}

// Labels as wide as they are, amounts sharing the rest; the table never so
// narrow that a text is cut.
void fitColumns(QTableWidget *view, std::initializer_list<int> labels)
{
    QHeaderView *head = view->horizontalHeader();
    for (int c : labels) head->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    const QAbstractItemView &cells = *view; // where the content's width is public
    int fixed = 2 * view->frameWidth();
    int widest = 0;
    int shared = 0;
    for (int c = 0; c < view->columnCount(); ++c) {
        const int need = std::max(cells.sizeHintForColumn(c), head->isHidden() ? 0 : head->sectionSizeHint(c));
        if (head->sectionResizeMode(c) == QHeaderView::Stretch) {
            widest = std::max(widest, need);
            ++shared;
        } else {
            fixed += need;
        }
    }
    view->setMinimumWidth(fixed + widest * shared);
}

// Every row shows: the tables are short and fixed.
void fitRows(QTableWidget *view)
{
    const int head = view->horizontalHeader()->isHidden() ? 0 : view->horizontalHeader()->sizeHint().height();
    view->setFixedHeight(head + view->rowCount() * view->verticalHeader()->defaultSectionSize() +
                         2 * view->frameWidth());
}

} // namespace

OverviewSheet::OverviewSheet(Book *document, QWidget *parent)
    : QDialog(parent), m_doc(document), m_tabView(new QTabWidget(this)), m_dateField(new cv::DateField(this)),
      m_yearOption(new QRadioButton(cv::localizedString("InfP-By-Year"), this)),
      m_monthOption(new QRadioButton(cv::localizedString("InfP-By-Month"), this)), m_levelStepper(new QSpinBox(this)),
      m_okButton(new QPushButton(cv::localizedString("OK"), this))
{
    setWindowTitle(cv::localizedString("InfP-Window-Title"));
    for (int t = 0; t < 5; ++t) m_tables[size_t(t)] = makeTable(t, this);
    tableView(BalanceSheet)->horizontalHeader()->hide();
    tableView(ProfitLoss)
        ->setHorizontalHeaderLabels({QString(), cv::localizedString("InfP-Current"), QString(), QString()});
    tableView(CashFlow)->setHorizontalHeaderLabels(
        {QString(), cv::localizedString("InfP-Current"), QString(), QString()});
    tableView(TopExpenses)
        ->setHorizontalHeaderLabels(
            {cv::localizedString("InfP-Column-Category"), cv::localizedString("InfP-Column-Amount")});
    tableView(OverBudget)
        ->setHorizontalHeaderLabels(
            {cv::localizedString("InfP-Column-Category"), cv::localizedString("InfP-Column-Actual"),
             cv::localizedString("InfP-Column-Budget"), cv::localizedString("InfP-Column-Rate")});
    for (QTableWidget *view : m_tables) fitRows(view);

    auto page = [this](std::initializer_list<std::pair<const char *, QWidget *>> parts, QWidget *head = nullptr) {
        auto *widget = new QWidget;
        auto *layout = new QVBoxLayout(widget);
        if (head) layout->addWidget(head);
        for (const auto &[title, part] : parts) {
            if (title) layout->addWidget(new QLabel(cv::localizedString(title), widget));
            layout->addWidget(part);
        }
        layout->addStretch(1);
        return widget;
    };
    m_tabView->addTab(page({{nullptr, tableView(BalanceSheet)}}), cv::localizedString("InfP-Tab-Balance"));
    m_tabView->addTab(
        page({{"InfP-Head-ProfitLoss", tableView(ProfitLoss)}, {"InfP-Head-CashFlow", tableView(CashFlow)}}),
        cv::localizedString("InfP-Tab-Flow"));
    auto *levelRow = new QWidget;
    auto *levelLayout = new QHBoxLayout(levelRow);
    levelLayout->setContentsMargins(0, 0, 0, 0);
    levelLayout->addWidget(new QLabel(cv::localizedString("InfP-Level"), levelRow));
    levelLayout->addWidget(m_levelStepper);
    levelLayout->addStretch(1);
    m_tabView->addTab(
        page({{"InfP-Head-TopExpenses", tableView(TopExpenses)}, {"InfP-Head-OverBudget", tableView(OverBudget)}},
             levelRow),
        cv::localizedString("InfP-Tab-Ranking"));

    // Depth 0 would rank the expense root itself: the whole expense.
    m_levelStepper->setRange(1, kMaxLevel);
    m_levelStepper->setValue(1);
    auto *options = new QButtonGroup(this);
    options->addButton(m_yearOption, 0);
    options->addButton(m_monthOption, 1);
    m_yearOption->setChecked(true);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(cv::localizedString("InfP-Date"), this));
    top->addWidget(m_dateField, 1);
    top->addWidget(m_yearOption);
    top->addWidget(m_monthOption);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_okButton, QDialogButtonBox::AcceptRole);
    m_okButton->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_tabView, 1);
    layout->addWidget(buttons);

    m_dateField->setDate(QDate::currentDate());
    m_level = m_levelStepper->value();
    calcOverview();
    updateColumns();
    reloadTables(true);

    connect(m_okButton, &QPushButton::clicked, this, [this] { done(0); });
    connect(m_dateField, &cv::DateField::dateChanged, this, [this] { updateOverview(); });
    connect(options, &QButtonGroup::idClicked, this, [this] {
        updateColumns();
        updateOverview();
    });
    connect(m_levelStepper, &QSpinBox::valueChanged, this, [this] { updateStep(); });
    resize(600, sizeHint().height());
}

bool OverviewSheet::monthMode() const
{
    return m_monthOption->isChecked();
}

void OverviewSheet::updateOverview()
{
    calcOverview();
    reloadTables(true);
}

void OverviewSheet::updateStep()
{
    m_level = m_levelStepper->value();
    calcDiag();
    reloadTables(false);
}

void OverviewSheet::updateColumns()
{
    const bool months = monthMode();
    const QString second = cv::localizedString(months ? "InfP-Month-1" : "InfP-Year-1");
    const QString third = cv::localizedString(months ? "InfP-Month-2" : "InfP-Year-2");
    for (Table t : {ProfitLoss, CashFlow}) {
        tableView(t)->setHorizontalHeaderItem(2, new QTableWidgetItem(second));
        tableView(t)->setHorizontalHeaderItem(3, new QTableWidgetItem(third));
    }
}

void OverviewSheet::reloadTables(bool all)
{
    for (int t = all ? 0 : int(TopExpenses); t < 5; ++t) {
        QTableWidget *view = m_tables[size_t(t)];
        for (int r = 0; r < view->rowCount(); ++r) {
            for (int c = 0; c < view->columnCount(); ++c) {
                const Cell shown = cell(Table(t), r, c);
                auto *item = new QTableWidgetItem(shown.text);
                if (shown.negative) item->setForeground(cv::negativeColor());
                // Amounts right-aligned; the labels of the balance sheet and the names left.
                const bool label = c == 0 || (t == BalanceSheet && c == 2);
                item->setTextAlignment(Qt::AlignVCenter | (label ? Qt::AlignLeft : Qt::AlignRight));
                view->setItem(r, c, item);
            }
        }
        static const std::initializer_list<int> labelColumns[] = {{0, 2}, {0}, {0}, {1}, {1, 2, 3}};
        fitColumns(view, labelColumns[t]);
    }
}

OverviewSheet::Cell OverviewSheet::currencyString(double value) const
{
    return {m_doc ? m_doc->stringForValue(value, 0) : QString(), value < 0};
}

QString OverviewSheet::objectValue(Table table, int row, int column) const
{
    return cell(table, row, column).text;
}

OverviewSheet::Cell OverviewSheet::cell(Table table, int row, int column) const
{
    const auto label = [](const char *key) { return cv::localizedString(key); };
    switch (table) {
    case BalanceSheet: {
        static const char *const assetLabels[] = {"InfP-Asset-1", "InfP-Asset-2", "InfP-Asset-3", "InfP-Asset-4"};
        static const char *const debtLabels[] = {"InfP-Debt-1", "InfP-Debt-2", "InfP-Debt-3"};
        const double worth = m_asset[4] - m_debt[3];
        const bool months = monthMode();
        switch (row) {
        case 0: return column == 0 ? label("InfP-Asset-Head") : column == 2 ? label("InfP-Debt-Head") : QString();
        case 1:
        case 2:
        case 3:
        case 4:
            switch (column) {
            case 0: return label(assetLabels[row - 1]);
            case 1: return currencyString(m_asset[size_t(row - 1)]);
            case 2: return row < 4 ? label(debtLabels[row - 1]) : QString();
            default: return row < 4 ? currencyString(m_debt[size_t(row - 1)]) : QString();
            }
        case 5:
            switch (column) {
            case 0:
            case 2: return label("InfP-Total");
            case 1: return currencyString(m_asset[4]);
            default: return currencyString(m_debt[3]);
            }
        case 6: return column == 0 ? label("InfP-Asset-Debt") : column == 1 ? currencyString(worth) : QString();
        case 7:
        case 8:
            if (column == 0)
                return label(row == 7 ? (months ? "InfP-Cmp-Month-1" : "InfP-Cmp-Year-1")
                                      : (months ? "InfP-Cmp-Month-2" : "InfP-Cmp-Year-2"));
            return column == 1 ? currencyString(worth - m_cmp[size_t(row - 7)]) : QString();
        default: return QString();
        }
    }
    case ProfitLoss:
    case CashFlow: {
        const bool pl = table == ProfitLoss;
        if (column == 0) {
            static const char *const plLabels[] = {"InfP-Income", "InfP-Expense", "InfP-Total"};
            static const char *const cfLabels[] = {"InfP-Cache-In", "InfP-Cache-Out", "InfP-Total"};
            return row >= 0 && row < 3 ? label((pl ? plLabels : cfLabels)[row]) : QString();
        }
        if (column < 1 || column > 3 || row < 0 || row > 2) return QString();
        const size_t p = size_t(column - 1);
        const double in = pl ? m_income[p] : m_cashIn[p];
        const double out = pl ? m_expense[p] : m_cashOut[p];
        return currencyString(row == 0 ? in : row == 1 ? out : in - out);
    }
    case TopExpenses:
    case OverBudget: {
        if (row < 0 || row >= kRanked) return QString();
        const Ranked &slot = (table == TopExpenses ? m_topExp : m_topOvb)[size_t(row)];
        if (slot.name.isEmpty()) return QString();
        switch (column) {
        case 0: return slot.name;
        case 1: return currencyString(slot.actual);
        case 2: return table == OverBudget ? currencyString(slot.budget) : QString();
        case 3: return table == OverBudget ? QString::asprintf("%.2f", slot.actual / slot.budget * 100) : QString();
        default: return QString();
        }
    }
    }
    return {};
}

} // namespace cv
