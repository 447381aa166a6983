#include "panels/sheets/AccountSheet.h"

#include "controls/DialogButtons.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "panels/sheets/InputTextField.h"
#include "platform/Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace cv {

namespace {
constexpr int kMemoRow = 100; // below any row a sheet adds
} // namespace

AccountSheet::AccountSheet(Book *document, NodePtr account, QWidget *parent)
    : UndoableSheet(parent), m_document(document), m_currentItem(std::move(account)),
      m_nameField(new InputTextField(0, this)), m_currencyButton(new QComboBox(this)),
      m_memoField(new InputTextField(0, this)), m_grid(new QGridLayout)
{
    Q_ASSERT(document && m_currentItem);
    if (document) setUndoStack(document->undoStack());
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_grid);
    m_grid->addWidget(new QLabel(localizedString(QStringLiteral("Sheet-Name")), this), 0, 0);
    m_grid->addWidget(m_nameField, 0, 1);
    m_grid->addWidget(new QLabel(localizedString(QStringLiteral("Sheet-Currency")), this), 1, 0);
    m_grid->addWidget(m_currencyButton, 1, 1);
    m_grid->addWidget(new QLabel(localizedString(QStringLiteral("Sheet-Memo")), this), kMemoRow, 0);
    m_grid->addWidget(m_memoField, kMemoRow, 1);
    m_grid->setColumnStretch(1, 1);
    layout->addStretch(1);
    m_missingField = new QLabel(this);
    m_missingField->setWordWrap(true);
    layout->addWidget(m_missingField);
    m_okButton = addOkCancelButtons(this, layout).ok;
    for (QLineEdit *field : {static_cast<QLineEdit *>(m_nameField), static_cast<QLineEdit *>(m_memoField)})
        connect(field, &QLineEdit::textEdited, this, [this, field] { commonChanged(field); });
    connect(m_currencyButton, &QComboBox::currentIndexChanged, this, [this] { commonChanged(m_currencyButton); });
    if (m_currentItem && !m_currentItem->name().isNull()) m_nameField->setText(m_currentItem->name());
    setMinimumWidth(420);
}

void AccountSheet::fillCurrencyPopup(bool atFirst)
{
    m_currencyButton->clear();
    if (!m_document) return;
    for (const CurrencyPtr &c : m_document->currencyList())
        if (c && !(c->flags() & 1)) m_currencyButton->addItem(c->name(), c->ident());
    const int index = m_currencyButton->findData(m_currentItem->currency());
    if (index > 0 || (atFirst && index == 0)) m_currencyButton->setCurrentIndex(index);
    m_shownCurrency = currency();
}

QLineEdit *AccountSheet::makeAmountField()
{
    auto *field = new InputTextField(1, this);
    field->setAlignment(Qt::AlignRight);
    GetCurrencyFieldEditor()->attach(field);
    return field;
}

void AccountSheet::finishOpening()
{
    m_opening = false;
    m_hasChanged = false;
    updateButtons();
}

void AccountSheet::setMemoFieldString(const QString &text)
{
    if (!text.isNull()) m_memoField->setText(text);
}

bool AccountSheet::isOkEnabled() const
{
    return m_okButton->isEnabled();
}

void AccountSheet::updateButtons()
{
    const bool ok = !m_nameField->text().isEmpty() && detailReady();
    m_okButton->setEnabled(ok);
    QString missing;
    if (!ok) missing = m_nameField->text().isEmpty() ? localizedString(QStringLiteral("Sheet-Name")) : missingDetail();
    if (missing.endsWith(u':') || missing.endsWith(u'：')) missing.chop(1);
    m_missingField->setText(missing.isEmpty()
                                ? QString()
                                : formatString(localizedString(QStringLiteral("Sheet-Missing-Field")), {missing}));
}

QString AccountSheet::missingFieldText() const
{
    return m_missingField->text();
}

void AccountSheet::commonChanged(QObject *control)
{
    if (m_opening) return;
    m_hasChanged = true;
    if (control == m_currencyButton) currencyChanged();
    updateButtons();
}

void AccountSheet::currencyChanged()
{
    // What the fields show is read in the old currency and shown in the new.
    const int shown = m_shownCurrency;
    m_shownCurrency = currency();
    if (shown == m_shownCurrency || !m_document) return;
    for (QLineEdit *field : amountFields()) {
        const std::optional<double> value = m_document->numberForString(field->text(), shown);
        if (value && !field->text().trimmed().isEmpty()) field->setText(amountString(*value));
    }
}

std::optional<QDate> AccountSheet::readDate(const QString &text)
{
    const std::optional<QDate> date = parseProgramDate(text);
    if (!date || date->year() < kFirstYear || date->year() > kLastYear) return std::nullopt;
    return date;
}

std::optional<double> AccountSheet::readAmount(const QLineEdit *field) const
{
    if (!field || field->text().trimmed().isEmpty()) return 0.0;
    if (!m_document) return std::nullopt;
    const std::optional<double> value = m_document->numberForString(field->text(), m_shownCurrency);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

QString AccountSheet::amountString(double value) const
{
    return m_document ? m_document->stringForValue(value, m_shownCurrency, false) : QString::number(value);
}

const AmountText *AccountSheet::amountText() const
{
    return m_document ? &m_document->amountText() : nullptr;
}

int AccountSheet::currency() const
{
    return m_currencyButton->currentIndex() >= 0 ? m_currencyButton->currentData().toInt() : m_currentItem->currency();
}

void AccountSheet::okPushed()
{
    if (!m_hasChanged) {
        terminateModalSessionWithCode(0);
        return;
    }
    updateButtons();
    if (!m_okButton->isEnabled()) return; // never writes what does not read
    const int oldCurrency = m_currentItem->currency();
    m_currentItem->setName(m_nameField->text());
    if (!currencyLocked()) m_currentItem->setCurrency(currency());
    writeDetail();
    terminateModalSessionWithCode(m_currentItem->currency() != oldCurrency ? 2 : 1);
}

void AccountSheet::cancelPushed()
{
    const bool asks = m_hasChanged && (m_currentItem->ident() > 0 || asksDiscardForNewNode());
    if (asks && !Alert::discardChanges()) return;
    terminateModalSessionWithCode(0);
}

} // namespace cv
