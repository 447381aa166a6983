#include "panels/dialogs/TradeFilterDialog.h"

#include "controls/DateField.h"
#include "controls/DialogButtons.h"
#include "model/Trade.h"
#include "platform/Localization.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cv {

namespace {

// Every named trade kind, in the order of the kind table.
constexpr cv::TradeKind kKinds[] = {
    cv::TradeKind::Buy,          cv::TradeKind::Sale,         cv::TradeKind::TransferUnits, cv::TradeKind::OtherIncome,
    cv::TradeKind::OtherExpense, cv::TradeKind::Dividend,     cv::TradeKind::Interest,      cv::TradeKind::Distribution,
    cv::TradeKind::Split,        cv::TradeKind::Merge,        cv::TradeKind::Increase,      cv::TradeKind::Decrease,
    cv::TradeKind::MarginSale,   cv::TradeKind::BuyBack,      cv::TradeKind::MarginBuy,     cv::TradeKind::SellBack,
    cv::TradeKind::CashIn,       cv::TradeKind::Reinvestment,
};
constexpr int kKindColumns = 3;

} // namespace

TradeFilterDialog::TradeFilterDialog(const QDate &start, const QDate &end, QWidget *parent)
    : QDialog(parent), m_startField(new cv::DateField(this)), m_endField(new cv::DateField(this)),
      m_typeCheckbox(new QCheckBox(cv::localizedString("TradeFilter-Kinds"), this))
{
    setWindowTitle(cv::localizedString("TradeFilter-Title"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(cv::localizedString("TradeFilter-Start"), m_startField);
    form->addRow(cv::localizedString("TradeFilter-End"), m_endField);
    layout->addLayout(form);
    if (start.isValid()) m_startField->setDate(start);
    if (end.isValid()) m_endField->setDate(end);

    layout->addWidget(m_typeCheckbox);
    auto *kinds = new QGroupBox(this);
    auto *grid = new QGridLayout(kinds);
    int index = 0;
    for (cv::TradeKind kind : kKinds) {
        auto *box = new QCheckBox(Trade::operationNameForKey(kind), kinds);
        m_kindBoxes[kind] = box;
        grid->addWidget(box, index / kKindColumns, index % kKindColumns);
        ++index;
        connect(box, &QCheckBox::toggled, this, [this] { stateChanged(); });
    }
    layout->addWidget(kinds);
    connect(m_typeCheckbox, &QCheckBox::toggled, this, [this] { stateChanged(); });
    for (cv::DateField *field : {m_startField, m_endField})
        connect(field, &cv::DateField::textChanged, this, [this] { setButtons(); });

    const cv::DialogButtons buttons = cv::addOkCancelButtons(this, layout);
    m_okButton = buttons.ok;
    m_cancelButton = buttons.cancel;
    setButtons();
}

QCheckBox *TradeFilterDialog::kindBox(cv::TradeKind kind) const
{
    const auto it = m_kindBoxes.find(kind);
    return it == m_kindBoxes.end() ? nullptr : it->second;
}

std::optional<QDate> TradeFilterDialog::date(int index) const
{
    return dateField(index)->date();
}

quint32 TradeFilterDialog::flags() const
{
    return m_typeCheckbox->isChecked() ? m_flags : 0;
}

void TradeFilterDialog::stateChanged()
{
    m_flags = 0;
    for (const auto &[kind, box] : m_kindBoxes)
        if (box->isChecked()) m_flags |= quint32(1) << cv::raw(kind);
    setButtons();
}

void TradeFilterDialog::setButtons()
{
    const std::optional<QDate> start = date(0);
    const std::optional<QDate> end = date(1);
    bool ok = start && end && *start <= *end;
    const bool filtering = m_typeCheckbox->isChecked();
    for (const auto &entry : m_kindBoxes) entry.second->setEnabled(filtering);
    if (filtering) ok = ok && m_flags != 0;
    m_okButton->setEnabled(ok);
}

void TradeFilterDialog::done(int code)
{
    // OK needs what the OK button needs, however it is reached.
    if (code == Accepted && !m_okButton->isEnabled()) return;
    m_ending = true;
    QDialog::done(code);
    m_ending = false;
}

void TradeFilterDialog::closeEvent(QCloseEvent *event)
{
    if (!m_ending && isVisible()) {
        // The close box is OK while OK may be pressed, else Cancel.
        done(m_okButton->isEnabled() ? Accepted : Rejected);
        event->accept();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace cv
