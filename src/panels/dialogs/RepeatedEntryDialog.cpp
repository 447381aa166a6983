#include "panels/dialogs/RepeatedEntryDialog.h"

#include "controls/DateField.h"
#include "controls/PopupManager.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "model/EditFlags.h"
#include "model/Grouping.h"
#include "panels/dialogs/RepeatedEntryTarget.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace cv {

namespace {

// Accounts a repeated entry may use: cash, bank, other asset, card, other debt.
bool isRepeatAccountKind(cv::NodeKind kind)
{
    return kind == cv::NodeKind::Cash || kind == cv::NodeKind::Bank || kind == cv::NodeKind::GeneralAsset ||
           kind == cv::NodeKind::CreditCard || kind == cv::NodeKind::GeneralDebt;
}

void addNodes(QComboBox *box, const Book &doc, const NodePtr &node, bool (*wanted)(const Node &))
{
    if (!node) return;
    if (wanted(*node)) box->addItem(doc.displayName(*node), node->ident());
    for (const auto &child : node->children()) addNodes(box, doc, child, wanted);
}

QComboBox *dayPopUp(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    for (int day = 1; day <= 30; ++day) box->addItem(QString::number(day), day);
    box->addItem(cv::localizedString("Macro-Last-Day"), 31);
    box->setCurrentIndex(box->count() - 1);
    return box;
}

} // namespace

RepeatedEntryDialog *RepeatedEntryDialog::runWithDocument(Book *doc, NodePtr currentItem, const QDate &initialDate,
                                                          QWidget *target)
{
    auto *dialog =
        new RepeatedEntryDialog(doc, std::move(currentItem), initialDate, target, target ? target->window() : nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<RepeatedEntryDialog> guard(dialog);
    cv::PopupManager::Options options;
    options.controllerClose = [guard] {
        if (guard) guard->cancelPushed();
    };
    cv::PopupManager::popupManager()->begin(dialog, options);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

int RepeatedEntryDialog::defaultAccount(const Book &doc)
{
    if (doc.findAccount(kWalletAccount)) return kWalletAccount;
    for (const cv::NodeKind kind : {cv::NodeKind::Cash, cv::NodeKind::Bank})
        if (const NodePtr node = doc.findAccountOfKind(kind)) return node->ident();
    return 0;
}

bool RepeatedEntryDialog::isBlankRow(const Entry &row)
{
    return row.flags() == cv::EditNew && row.amount() == 0 && row.group() == 0 && row.converted() == 0 &&
           row.memo().isEmpty();
}

RepeatedEntryDialog::RepeatedEntryDialog(Book *doc, NodePtr currentItem, const QDate &initialDate, QWidget *target,
                                         QWidget *parent)
    : QDialog(parent, Qt::Tool), m_doc(doc), m_currentItem(std::move(currentItem)), m_target(target)
{
    Q_ASSERT(doc);
    m_isTransfer = this->target() && this->target()->isTransferTarget();
    const QString name =
        doc->fileName().isEmpty() ? doc->suggestedFileName() : QFileInfo(doc->fileName()).completeBaseName();
    // An untitled book has no name to put first.
    const QString title = cv::localizedString("Macro Window Title");
    setWindowTitle(name.isEmpty() ? title : cv::formatString(QStringLiteral("%@ - %@"), {name, title}));

    auto *layout = new QVBoxLayout(this);
    m_tabView = new QTabWidget(this);
    auto addTab = [this](QWidget *page, const char *title, int rule) {
        const int index = m_tabView->addTab(page, cv::localizedString(title));
        m_tabView->tabBar()->setTabData(index, rule);
    };
    auto *daysPage = new QWidget;
    auto *daysForm = new QFormLayout(daysPage);
    m_interval = new QSpinBox(daysPage);
    m_interval->setRange(1, 365);
    m_interval->setValue(7);
    daysForm->addRow(cv::localizedString("Macro-Interval"), m_interval);
    addTab(daysPage, "Macro-Tab-Days", cv::RepeatRule::EveryDays);
    auto *monthlyPage = new QWidget;
    auto *monthlyForm = new QFormLayout(monthlyPage);
    m_monthlyDay = dayPopUp(monthlyPage);
    monthlyForm->addRow(cv::localizedString("Macro-Day"), m_monthlyDay);
    addTab(monthlyPage, "Macro-Tab-Monthly", cv::RepeatRule::Monthly);
    auto *twoMonthlyPage = new QWidget;
    auto *twoMonthlyForm = new QFormLayout(twoMonthlyPage);
    m_twoMonthlyDay = dayPopUp(twoMonthlyPage);
    twoMonthlyForm->addRow(cv::localizedString("Macro-Day"), m_twoMonthlyDay);
    addTab(twoMonthlyPage, "Macro-Tab-TwoMonthly", cv::RepeatRule::TwoMonthly);
    addTab(new QWidget, "Macro-Tab-Yearly", cv::RepeatRule::Yearly);
    addTab(new QWidget, "Macro-Tab-Same", cv::RepeatRule::SameDate);
    m_tabView->setUsesScrollButtons(false); // every rule in sight
    m_tabView->setCurrentIndex(1);
    layout->addWidget(m_tabView);

    auto *form = new QFormLayout;
    m_date = new cv::DateField(this);
    m_date->setDate(initialDate.isValid() ? initialDate : QDate::currentDate());
    form->addRow(cv::localizedString("Macro-Start"), m_date);
    m_valueTitle = new QLabel(this);
    m_value = new QLineEdit(this);
    m_value->setAlignment(Qt::AlignRight);
    GetCurrencyFieldEditor()->attach(m_value);
    form->addRow(m_valueTitle, m_value);
    m_count = new QSpinBox(this);
    m_count->setRange(1, 999);
    m_count->setValue(12);
    m_count->setAlignment(Qt::AlignRight);
    form->addRow(cv::localizedString("Macro-Count"), m_count);

    auto *accounts = new QHBoxLayout;
    m_account = new QComboBox(this);
    m_transferArrow = new QLabel(QStringLiteral("→"), this);
    m_destination = new QComboBox(this);
    accounts->addWidget(m_account, 1);
    accounts->addWidget(m_transferArrow);
    accounts->addWidget(m_destination, 1);
    form->addRow(cv::localizedString("Macro-Account"), accounts);
    m_category = new QComboBox(this);
    form->addRow(cv::localizedString("Macro-Category"), m_category);
    m_group = new QComboBox(this);
    form->addRow(cv::localizedString("Macro-Grouping"), m_group);

    auto *holidays = new QHBoxLayout;
    m_holiday = new QButtonGroup(this);
    const char *holidayTitles[] = {"Macro-Holiday-Next", "Macro-Holiday-Previous", "Macro-Holiday-None"};
    for (int tag = 0; tag < 3; ++tag) {
        auto *button = new QToolButton(this);
        button->setText(cv::localizedString(holidayTitles[tag]));
        button->setCheckable(true);
        button->setAutoRaise(false);
        m_holiday->addButton(button, tag);
        holidays->addWidget(button);
    }
    m_holiday->button(cv::RepeatRule::NoShift)->setChecked(true);
    holidays->addStretch();
    form->addRow(cv::localizedString("Macro-Holiday"), holidays);
    m_memo = new QLineEdit(this);
    form->addRow(cv::localizedString("Macro-Memo"), m_memo);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(cv::localizedString("OK"), QDialogButtonBox::AcceptRole);
    QPushButton *cancel = buttons->addButton(cv::localizedString("Cancel"), QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    layout->addWidget(buttons);

    buildChoosers();
    connect(m_ok, &QPushButton::clicked, this, &RepeatedEntryDialog::okPushed);
    connect(cancel, &QPushButton::clicked, this, &RepeatedEntryDialog::cancelPushed);
    connect(m_value, &QLineEdit::editingFinished, this, &RepeatedEntryDialog::valueChanged);
    connect(m_value, &QLineEdit::textChanged, this, &RepeatedEntryDialog::updateOKButton);
    connect(m_date, &cv::DateField::textChanged, this, &RepeatedEntryDialog::updateOKButton);
    connect(m_category, &QComboBox::currentIndexChanged, this, &RepeatedEntryDialog::updateOKButton);
    connect(m_account, &QComboBox::currentIndexChanged, this, [this] { accountChanged(m_account, m_destination); });
    connect(m_destination, &QComboBox::currentIndexChanged, this, [this] { accountChanged(m_destination, m_account); });
    accountChanged(m_account, m_destination);
}

RepeatedEntryDialog::~RepeatedEntryDialog()
{
    // The amount field loses the focus as it goes, after this part of the dialog.
    disconnect(m_value, nullptr, this, nullptr);
}

RepeatedEntryTarget *RepeatedEntryDialog::target() const
{
    return m_target ? dynamic_cast<RepeatedEntryTarget *>(m_target.data()) : nullptr;
}

void RepeatedEntryDialog::buildChoosers()
{
    const auto accountTrees = m_doc->accountTrees();
    for (QComboBox *box : {m_account, m_destination}) {
        if (box == m_destination) box->addItem(QString(), 0);
        if (accountTrees) {
            auto wanted = [](const Node &n) { return isRepeatAccountKind(n.kind()); };
            addNodes(box, *m_doc, accountTrees->asset(), wanted);
            addNodes(box, *m_doc, accountTrees->debt(), wanted);
        }
    }
    selectIdent(m_account, defaultAccount(*m_doc));
    m_destination->setVisible(m_isTransfer);
    m_transferArrow->setVisible(m_isTransfer);

    const auto categoryTrees = m_doc->categoryTrees();
    if (m_isTransfer) {
        m_category->addItem(cv::localizedString("SYS:Transfer"), 0);
        m_category->setEnabled(false);
    } else if (categoryTrees) {
        auto wanted = [](const Node &n) { return n.isCategory(); };
        const NodePtr income = categoryTrees->income(), expense = categoryTrees->expense();
        const bool underExpense = m_currentItem && expense && m_currentItem->hasAncestor(expense.get());
        const bool underIncome = m_currentItem && income && m_currentItem->hasAncestor(income.get());
        if (!underExpense) addNodes(m_category, *m_doc, income, wanted);
        if (!underIncome) addNodes(m_category, *m_doc, expense, wanted);
        // The first category at or below the panel's node.
        if (m_currentItem) {
            const std::vector<int> below = m_currentItem->enumerateCategories();
            if (!below.empty()) selectIdent(m_category, below.front());
        }
    }
    m_group->addItem(cv::localizedString("No Grouping"), 0);
    for (const auto &group : m_doc->groupList())
        if (group) m_group->addItem(group->name(), group->ident());
}

bool RepeatedEntryDialog::selectIdent(QComboBox *box, int ident)
{
    const int index = box->findData(ident);
    if (index < 0) return false;
    box->setCurrentIndex(index);
    return true;
}

int RepeatedEntryDialog::currencyOfAccount() const
{
    return m_doc->currencyOfAccount(m_account->currentData().toInt());
}

void RepeatedEntryDialog::accountChanged(QComboBox *changed, QComboBox *other)
{
    if (m_isTransfer) {
        const int picked = changed->currentData().toInt();
        const int across = other->currentData().toInt();
        if (picked > 0 && across > 0) {
            const bool exchange = m_doc->accountNeedsExchange(picked, across);
            if (exchange) Alert::warn(cv::localizedString("Macro-Currency-Differs-Warning"));
            if (picked == across || exchange) selectIdent(other, 0);
        }
    }
    // The title of the amount follows the account's currency.
    const int currency = currencyOfAccount();
    const CurrencyPtr c = m_doc->findCurrency(currency);
    const CurrencyPtr def = m_doc->defaultCurrency();
    const QString prefix = c && (!def || c->ident() != def->ident()) ? c->prefix() : QString();
    m_valueTitle->setText(cv::formatString(QStringLiteral("%@:%@"), {cv::localizedString("Macro-Amount"), prefix}));
    valueChanged();
}

// The field's label shows the prefix, so the typed text carries none.
std::optional<double> RepeatedEntryDialog::typedValue(const QString &text) const
{
    const CurrencyPtr c = m_doc->findCurrency(currencyOfAccount());
    return cv::AmountText::typedAmount(text, QString(), c ? c->fraction() : 0);
}

double RepeatedEntryDialog::amount() const
{
    return typedValue(m_value->text()).value_or(0);
}

const cv::AmountText *RepeatedEntryDialog::amountText() const
{
    return &m_doc->amountText();
}

void RepeatedEntryDialog::performInputValue(const QString &value)
{
    if (const std::optional<double> number = typedValue(value)) setAmount(*number);
}

void RepeatedEntryDialog::performInputDate(const QDate &date)
{
    if (date.isValid()) m_date->setDate(date);
    updateOKButton();
}

void RepeatedEntryDialog::setAmount(double value)
{
    m_value->setText(m_doc->stringForValue(value, currencyOfAccount(), false));
    updateOKButton();
}

void RepeatedEntryDialog::valueChanged()
{
    if (!m_value->text().trimmed().isEmpty()) setAmount(amount());
    updateOKButton();
}

bool RepeatedEntryDialog::canFinish() const
{
    if (amount() == 0 || !m_date->date()) return false;
    if (m_account->currentData().toInt() <= 0) return false;
    if (m_isTransfer) return m_destination->currentData().toInt() > 0;
    return m_category->currentData().toInt() > 0;
}

void RepeatedEntryDialog::updateOKButton()
{
    m_ok->setEnabled(canFinish());
}

cv::RepeatRule RepeatedEntryDialog::dateRule() const
{
    cv::RepeatRule rule;
    rule.rule = m_tabView->tabBar()->tabData(m_tabView->currentIndex()).toInt();
    rule.interval = m_interval->value();
    rule.day = (rule.rule == cv::RepeatRule::TwoMonthly ? m_twoMonthlyDay : m_monthlyDay)->currentData().toInt();
    rule.shift = std::max(0, m_holiday->checkedId());
    return rule;
}

std::vector<EntryPtr> RepeatedEntryDialog::makeRows() const
{
    std::vector<EntryPtr> rows;
    const std::optional<QDate> start = m_date->date();
    if (!start || !canFinish()) return rows;
    const int category = m_category->currentData().toInt();
    cv::EntryKind kind = cv::EntryKind::Transfer;
    if (!m_isTransfer) kind = m_doc->findIncome(category) ? cv::EntryKind::Income : cv::EntryKind::Expense;
    for (const QDate &date : dateRule().dates(*start, m_count->value())) {
        auto row = std::make_shared<Entry>();
        row->setKind(kind);
        row->setAccount(m_account->currentData().toInt());
        if (m_isTransfer)
            row->setDestination(m_destination->currentData().toInt());
        else
            row->setCategory(category);
        row->setDate(date);
        row->setAmount(amount());
        row->setGroup(m_group->currentData().toInt());
        row->setMemo(m_memo->text());
        row->setFlags(cv::EditNew);
        rows.push_back(std::move(row));
    }
    return rows;
}

void RepeatedEntryDialog::okPushed()
{
    valueChanged();
    if (!canFinish()) return;
    RepeatedEntryTarget *panel = target();
    if (panel) {
        panel->appendRepeatedRows(makeRows());
        m_finished = true;
        panel->repeatFinished(1);
    }
    m_finished = true;
    close();
}

void RepeatedEntryDialog::cancelPushed()
{
    if (!m_finished) {
        m_finished = true;
        if (RepeatedEntryTarget *panel = target()) panel->repeatFinished(-1);
    }
    close();
}

void RepeatedEntryDialog::abandon()
{
    m_finished = true;
    m_target = nullptr;
    close();
}

void RepeatedEntryDialog::closeEvent(QCloseEvent *event)
{
    cv::changeTextInputSource(this, false);
    // Closed by its title bar: the panel hears of it as a cancel.
    if (!m_finished) {
        m_finished = true;
        if (RepeatedEntryTarget *panel = target()) panel->repeatFinished(-1);
    }
    QDialog::closeEvent(event);
}

} // namespace cv
