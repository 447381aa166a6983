#include "panels/sheets/BudgetPanel.h"

#include "controls/OpenSheet.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "document/PatternFormatter.h"
#include "model/BalanceCache.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"
#include "platform/widgets/ReportTextStyles.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace cv {

BudgetPanel::BudgetPanel(Book *document, const QDate &date, NodePtr item, QWidget *parent)
    : TrackedDialog(parent), m_document(document), m_actual(std::move(item)), m_categoryField(new QLabel(this)),
      m_yearStepper(new QSpinBox(this)), m_tableView(new QTableWidget(kRows, 3, this)),
      m_budgetTextField(new QLineEdit(this)),
      m_applyButton(new QPushButton(cv::localizedString("Budget-Panel-Apply"), this)),
      m_okButton(new QPushButton(cv::localizedString("OK"), this)),
      m_cancelButton(new QPushButton(cv::localizedString("Cancel"), this))
{
    Q_ASSERT(document && m_actual);
    setObjectName(QStringLiteral("BudgetPanel"));
    setWindowTitle(cv::localizedString("Budget-Panel-Title"));
    const SettingsPtr &settings = document->settings();
    m_startMonth = (settings ? settings->fiscalMonthOfYear() : 0) % 12 + 1;
    // The fiscal year holding the date began in the year before when its first month is still to come.
    m_year = date.year() - (m_startMonth > date.month() ? 1 : 0);
    const auto *own = dynamic_cast<const Budget *>(m_actual->extra().get());
    m_budget = own ? own->clone() : std::make_shared<Budget>();

    m_categoryField->setObjectName(QStringLiteral("categoryField"));
    m_categoryField->setText(document->displayName(*m_actual));
    QFont bold = m_categoryField->font();
    bold.setBold(true);
    m_categoryField->setFont(bold);
    m_yearStepper->setObjectName(QStringLiteral("yearStepper"));
    m_yearStepper->setRange(1900, 2099);
    m_yearStepper->setValue(m_year);
    m_tableView->setObjectName(QStringLiteral("tableView"));
    m_tableView->setHorizontalHeaderLabels({cv::localizedString("Budget-Panel-Month"),
                                            cv::localizedString("Budget Column"),
                                            cv::localizedString("Actual Column")});
    m_tableView->verticalHeader()->hide();
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tableView->setColumnWidth(MonthColumn, 90);
    m_tableView->setColumnWidth(BudgetColumn, 110);
    m_tableView->horizontalHeader()->setStretchLastSection(true);
    m_tableView->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
    m_budgetTextField->setObjectName(QStringLiteral("budgetTextField"));
    m_budgetTextField->setAlignment(Qt::AlignRight);
    m_budgetTextField->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhFormattedNumbersOnly);
    m_applyButton->setObjectName(QStringLiteral("applyButton"));
    m_applyButton->setEnabled(false);
    m_applyButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);
    m_okButton->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    auto *head = new QHBoxLayout;
    head->addWidget(m_categoryField);
    head->addStretch(1);
    head->addWidget(new QLabel(cv::localizedString("Budget-Panel-Year"), this));
    head->addWidget(m_yearStepper);
    layout->addLayout(head);
    layout->addWidget(m_tableView, 1);
    auto *apply = new QHBoxLayout;
    apply->addWidget(new QLabel(cv::localizedString("Budget Column"), this));
    apply->addWidget(m_budgetTextField, 1);
    apply->addWidget(m_applyButton);
    layout->addLayout(apply);
    auto *foot = new QHBoxLayout;
    foot->addStretch(1);
    foot->addWidget(m_cancelButton);
    foot->addWidget(m_okButton);
    layout->addLayout(foot);

    connect(m_yearStepper, &QSpinBox::valueChanged, this, &BudgetPanel::setYear);
    connect(m_applyButton, &QPushButton::clicked, this, &BudgetPanel::applyPushed);
    // Return in the field applies, never ends the sheet.
    connect(m_budgetTextField, &QLineEdit::returnPressed, this, [this] {
        if (m_applyButton->isEnabled()) applyPushed();
    });
    connect(m_okButton, &QPushButton::clicked, this, &BudgetPanel::okPushed);
    connect(m_cancelButton, &QPushButton::clicked, this, &BudgetPanel::cancelPushed);
    connect(m_tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BudgetPanel::selectionChanged);
    reloadTable();
    resize(420, 440);
}

BudgetPanel::~BudgetPanel() = default;

BudgetPanel *BudgetPanel::openBudgetPanel(Book *document, const QDate &date, const NodePtr &item, QWidget *parent,
                                          std::function<void(int)> done)
{
    if (!document || !item || !date.isValid()) return nullptr;
    auto *panel = new BudgetPanel(document, date, item, parent);
    return cv::openSheet(panel, parent, [done = std::move(done)](int code, BudgetPanel *) {
        if (done) done(code);
    });
}

std::pair<int, int> BudgetPanel::monthOfRow(int row) const
{
    const int month = m_startMonth + row;
    return month > 12 ? std::pair{m_year + 1, month - 12} : std::pair{m_year, month};
}

QDate BudgetPanel::dateOfRow(int row) const
{
    const auto [year, month] = monthOfRow(row);
    const SettingsPtr &settings = m_document->settings();
    return QDate(year, month, (settings ? settings->fiscalDayOfMonth() : 0) + 1);
}

QString BudgetPanel::money(double value) const
{
    return m_document->amountText().formatterForCurrency(0).stringForObjectValue(value);
}

void BudgetPanel::setYear(int year)
{
    if (year == m_year) return;
    m_year = year;
    {
        const QSignalBlocker blocker(m_yearStepper);
        m_yearStepper->setValue(year);
    }
    reloadTable();
}

void BudgetPanel::reloadTable()
{
    const QString format = cv::localizedString(QStringLiteral("YYYY/MM"));
    const auto cell = [this](int row, int column, const QString &value, const QColor &color = {}) {
        auto *item = new QTableWidgetItem(value);
        item->setTextAlignment(column == MonthColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                     : Qt::AlignRight | Qt::AlignVCenter);
        if (color.isValid()) item->setForeground(color);
        m_tableView->setItem(row, column, item);
    };
    for (int row = 0; row < kRows; ++row) {
        const QDate date = dateOfRow(row);
        // The sign stays with the text: a refund month reads as one, in any colour.
        const double actual = m_document->cache().monthlyValueForKey(m_actual.get(), date);
        cell(row, MonthColumn, cv::formatDate(date, format));
        cell(row, BudgetColumn, money(m_budget->budgetAtDate(date)));
        cell(row, ActualColumn, money(actual), actual < 0 ? cv::negativeColor() : QColor());
    }
}

void BudgetPanel::selectionChanged()
{
    m_budgetTextField->clear();
    const QModelIndexList rows = m_tableView->selectionModel()->selectedRows();
    m_applyButton->setEnabled(!rows.isEmpty());
    if (rows.isEmpty()) return;
    const QModelIndex current = m_tableView->currentIndex();
    const int row = current.isValid() && m_tableView->selectionModel()->isRowSelected(current.row())
                        ? current.row()
                        : rows.first().row();
    m_budgetTextField->setText(money(m_budget->budgetAtDate(dateOfRow(row))));
}

void BudgetPanel::applyPushed()
{
    const QString typed = m_budgetTextField->text();
    const std::optional<double> value =
        typed.trimmed().isEmpty() ? std::optional<double>(0) : m_document->numberForString(typed, 0);
    // Text that is no amount changes nothing.
    if (value) applyValue(*value);
}

void BudgetPanel::applyValue(double value)
{
    const QModelIndexList rows = m_tableView->selectionModel()->selectedRows();
    for (const QModelIndex &index : rows) {
        const auto [year, month] = monthOfRow(index.row());
        m_budget->setBudgetAt(year, month, value);
    }
    reloadTable();
}

void BudgetPanel::performInputValue(const QString &value)
{
    if (m_tableView->selectionModel()->selectedRows().isEmpty()) return;
    if (const std::optional<double> number = m_document->numberForString(value, 0)) applyValue(*number);
}

void BudgetPanel::okPushed()
{
    // A failed edit elsewhere may have read the book back while the sheet was up.
    NodePtr held = m_document->findExpense(m_actual->ident());
    if (!held) held = m_document->findIncome(m_actual->ident());
    Node &actual = held ? *held : *m_actual;
    // A category carries no other record; one that does keeps it.
    const cv::ArchivablePtr &extra = actual.extra();
    Q_ASSERT(!extra || dynamic_cast<const Budget *>(extra.get()));
    if (!extra || dynamic_cast<const Budget *>(extra.get())) actual.setExtra(m_budget);
    done(1);
}

void BudgetPanel::cancelPushed()
{
    done(0);
}

} // namespace cv
