#include "panels/search/SearchDialog.h"

#include "controls/TickTree.h"
#include "controls/DateField.h"
#include "document/Book.h"
#include "model/Grouping.h"
#include "platform/Localization.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <limits>

namespace cv {

namespace {
QList<int> identsOf(const std::vector<NodePtr> &nodes)
{
    QList<int> out;
    for (const auto &node : nodes)
        if (node) out << node->ident();
    return out;
}
} // namespace

SearchDialog::SearchDialog(Book *doc, QWidget *parent) : QDialog(parent), m_doc(doc)
{
    setWindowTitle(cv::localizedString(QStringLiteral("Search-Panel-Title")));
    auto *layout = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    layout->addLayout(grid);

    m_useDate = new QCheckBox(cv::localizedString(QStringLiteral("Search-Panel-Period")), this);
    grid->addWidget(m_useDate, 0, 0);
    for (int i = 0; i < 2; ++i) {
        m_dateFields[i] = new cv::DateField(this);
        grid->addWidget(m_dateFields[i], 0, 1 + i);
    }
    m_useValue = new QCheckBox(cv::localizedString(QStringLiteral("Search-Panel-Amount")), this);
    grid->addWidget(m_useValue, 1, 0);
    for (int i = 0; i < 2; ++i) {
        m_valueCells[i] = new QLineEdit(this);
        m_valueCells[i]->setAlignment(Qt::AlignRight);
        grid->addWidget(m_valueCells[i], 1, 1 + i);
    }
    m_useGroup = new QCheckBox(cv::localizedString(QStringLiteral("Search-Panel-Grouping")), this);
    grid->addWidget(m_useGroup, 2, 0);
    m_groupingPopUp = new QComboBox(this);
    grid->addWidget(m_groupingPopUp, 2, 1, 1, 2);
    m_useMemo = new QCheckBox(cv::localizedString(QStringLiteral("Search-Panel-Memo")), this);
    grid->addWidget(m_useMemo, 3, 0);
    auto *memoBox = new QHBoxLayout;
    for (int i = 0; i < kMemoCells; ++i) {
        m_memoCells[i] = new QLineEdit(this);
        memoBox->addWidget(m_memoCells[i]);
    }
    grid->addLayout(memoBox, 3, 1, 1, 2);
    m_orButton = new QRadioButton(cv::localizedString(QStringLiteral("Search-Panel-Any")), this);
    m_andButton = new QRadioButton(cv::localizedString(QStringLiteral("Search-Panel-All")), this);
    auto *andOr = new QButtonGroup(this);
    andOr->addButton(m_orButton, 0);
    andOr->addButton(m_andButton, 1);
    m_orButton->setChecked(true);
    auto *andOrBox = new QHBoxLayout;
    andOrBox->addWidget(m_orButton);
    andOrBox->addWidget(m_andButton);
    andOrBox->addStretch();
    grid->addLayout(andOrBox, 4, 1, 1, 2);

    auto *outlines = new QHBoxLayout;
    m_accountView = new cv::TickTree(this);
    m_categoryView = new cv::TickTree(this);
    outlines->addWidget(m_accountView);
    outlines->addWidget(m_categoryView);
    layout->addLayout(outlines, 1);

    auto *buttons = new QDialogButtonBox(this);
    auto *clear =
        buttons->addButton(cv::localizedString(QStringLiteral("Search-Panel-Clear")), QDialogButtonBox::ResetRole);
    auto *ok = buttons->addButton(cv::localizedString(QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    auto *cancel = buttons->addButton(cv::localizedString(QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    layout->addWidget(buttons);
    connect(clear, &QPushButton::clicked, this, &SearchDialog::clearPushed);
    connect(ok, &QPushButton::clicked, this, &SearchDialog::okPushed);
    connect(cancel, &QPushButton::clicked, this, &SearchDialog::cancelPushed);
    for (QCheckBox *box : {m_useDate, m_useValue, m_useGroup, m_useMemo})
        connect(box, &QCheckBox::toggled, this, &SearchDialog::checkToggled);

    // This month, first day to last.
    const QDate today = QDate::currentDate();
    const QDate from(today.year(), today.month(), 1);
    m_dateFields[0]->setDate(from);
    m_dateFields[1]->setDate(from.addMonths(1).addDays(-1));
    checkToggled();
    updateList();
    if (m_doc) {
        m_accountView->setDocument(m_doc, true);
        m_categoryView->setDocument(m_doc, false);
    }
}

SearchDialog::~SearchDialog() = default;

int SearchDialog::currentFlags() const
{
    int flags = 0;
    if (m_useDate->isChecked()) flags |= UseDate;
    if (m_useValue->isChecked()) flags |= UseValue;
    if (!m_accountView->selectedNodes().empty()) flags |= UseAccount;
    if (!m_categoryView->selectedNodes().empty()) flags |= UseCategory;
    if (m_useGroup->isChecked()) flags |= UseGroup;
    if (m_useMemo->isChecked()) {
        for (const QLineEdit *cell : m_memoCells) {
            if (!cell->text().isEmpty()) {
                flags |= UseMemo;
                break;
            }
        }
    }
    if ((flags & UseMemo) && m_andButton->isChecked()) flags |= MemoAnd;
    return flags;
}

std::pair<QDate, QDate> SearchDialog::getPeriod() const
{
    return {m_dateFields[0]->date().value_or(QDate(1900, 1, 1)), m_dateFields[1]->date().value_or(QDate(2099, 1, 1))};
}

double SearchDialog::getValue(int index) const
{
    const bool lower = index == 0;
    const QString text = valueCell(index)->text().trimmed();
    const double open = lower ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    if (text.isEmpty()) return open;
    QString plain = text;
    plain.remove(QLatin1Char(','));
    if (m_doc) {
        if (const auto value = m_doc->numberForString(plain, 0)) return *value;
    }
    bool ok = false;
    const double value = plain.toDouble(&ok);
    // Unreadable text bounds nothing rather than everything.
    return ok ? value : open;
}

int SearchDialog::getGrouping() const
{
    const int index = m_groupingPopUp->currentIndex();
    if (index < 1) return index < 0 ? 0 : index;
    return m_groupingPopUp->currentData().toInt();
}

QStringList SearchDialog::validMemoList() const
{
    QStringList words;
    if (!(m_useFlags & UseMemo)) return words;
    for (const QLineEdit *cell : m_memoCells)
        if (!cell->text().isEmpty()) words << cell->text();
    return words;
}

std::vector<NodePtr> SearchDialog::selectedTickedAccounts() const
{
    return m_accountView->selectedTickedAccounts();
}

std::vector<NodePtr> SearchDialog::selectedTradeAccounts() const
{
    return m_accountView->selectedTradeAccounts();
}

std::vector<NodePtr> SearchDialog::selectedCategories() const
{
    return m_categoryView->selectedNodes();
}

SearchConditions SearchDialog::conditions() const
{
    SearchConditions c;
    if (m_useFlags & UseDate) {
        const auto [from, to] = getPeriod();
        c.date = {from, to};
    }
    if (m_useFlags & UseValue) {
        const auto [low, high] = getValueRange();
        c.value = {low, high};
    }
    if (m_useFlags & UseCategory) c.category = identsOf(selectedCategories());
    if (m_useFlags & UseAccount) {
        c.account = identsOf(selectedTickedAccounts());
        c.tradeAccount = identsOf(selectedTradeAccounts());
    }
    if (m_useFlags & UseGroup) c.group = {getGrouping()};
    if (m_useFlags & UseMemo) {
        c.memo = validMemoList();
        c.memoAnd = (m_useFlags & MemoAnd) != 0;
    }
    return c;
}

void SearchDialog::updateList()
{
    const int index = m_groupingPopUp->currentIndex();
    m_groupingPopUp->clear();
    m_groupingPopUp->addItem(cv::localizedString(QStringLiteral("No Grouping")), 0);
    if (m_doc) {
        for (const auto &group : m_doc->groupList())
            if (group) m_groupingPopUp->addItem(group->name(), group->ident());
    }
    // A shorter list than before: the first item rather than none.
    m_groupingPopUp->setCurrentIndex(index >= 0 && index < m_groupingPopUp->count() ? index : 0);
}

void SearchDialog::clearList()
{
    if (!m_doc) return;
    m_accountView->setDocument(m_doc, true);
    m_categoryView->setDocument(m_doc, false);
}

void SearchDialog::okPushed()
{
    cv::changeTextInputSource(this, false);
    m_useFlags = currentFlags();
    done(1);
}

void SearchDialog::cancelPushed()
{
    cv::changeTextInputSource(this, false);
    m_useFlags = 0;
    done(0);
}

void SearchDialog::clearPushed()
{
    for (QCheckBox *box : {m_useDate, m_useValue, m_useGroup, m_useMemo}) box->setChecked(false);
    m_accountView->deselectAllNodes();
    m_categoryView->deselectAllNodes();
    for (QLineEdit *cell : m_valueCells) cell->clear();
    for (QLineEdit *cell : m_memoCells) cell->clear();
}

void SearchDialog::checkToggled()
{
    for (cv::DateField *field : m_dateFields) field->setEnabled(m_useDate->isChecked());
    for (QLineEdit *cell : m_valueCells) cell->setEnabled(m_useValue->isChecked());
    m_groupingPopUp->setEnabled(m_useGroup->isChecked());
    for (QLineEdit *cell : m_memoCells) cell->setEnabled(m_useMemo->isChecked());
    m_orButton->setEnabled(m_useMemo->isChecked());
    m_andButton->setEnabled(m_useMemo->isChecked());
}

} // namespace cv
