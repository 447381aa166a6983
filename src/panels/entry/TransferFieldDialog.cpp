#include "panels/entry/TransferFieldDialog.h"

#include "controls/AccountChooserModel.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "panels/entry/AccountBookPanel.h"
#include "platform/Localization.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <charconv>
#include <cmath>

namespace cv {

namespace {
constexpr int kAccountKindsNoLoans = 223;
}

TransferFieldDialog::TransferFieldDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog), m_accountButton(new QComboBox(this)), m_destinationButton(new QComboBox(this)),
      m_accountField(new QLineEdit(this)), m_destinationField(new QLineEdit(this)),
      m_destinationArrow(new QLabel(QStringLiteral("→"), this)), m_accountSignLabel(new QLabel(this)),
      m_destinationSignLabel(new QLabel(this)),
      m_okButton(new QPushButton(cv::localizedString(QStringLiteral("OK")), this)),
      m_cancelButton(new QPushButton(cv::localizedString(QStringLiteral("Cancel")), this)),
      m_ds(std::make_unique<cv::AccountChooserModel>())
{
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(cv::localizedString(QStringLiteral("SYS:Transfer")));
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(cv::localizedString(QStringLiteral("Transfer-From")), this), 0, 0, 1, 2);
    grid->addWidget(new QLabel(cv::localizedString(QStringLiteral("Transfer-To")), this), 0, 3, 1, 2);
    grid->addWidget(m_accountButton, 1, 0, 1, 2);
    grid->addWidget(m_destinationButton, 1, 3, 1, 2);
    grid->addWidget(m_accountSignLabel, 2, 0);
    grid->addWidget(m_accountField, 2, 1);
    grid->addWidget(m_destinationArrow, 2, 2);
    grid->addWidget(m_destinationSignLabel, 2, 3);
    grid->addWidget(m_destinationField, 2, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_okButton);
    grid->addLayout(buttons, 3, 0, 1, 5);
    // A focused button would otherwise take Return for itself: a Cancel that kept
    // the focus from an earlier run threw the typed transfer away.
    m_okButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);
    m_okButton->setDefault(true);
    for (QLineEdit *field : {m_accountField, m_destinationField}) {
        field->setAlignment(Qt::AlignRight);
        field->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhFormattedNumbersOnly);
        field->setMinimumWidth(110);
    }
    for (QComboBox *box : {m_accountButton, m_destinationButton}) box->setMinimumWidth(150);

    connect(m_accountButton, &QComboBox::activated, this, [this](int index) { changedChoice(Source, index); });
    connect(m_destinationButton, &QComboBox::activated, this, [this](int index) { changedChoice(Destination, index); });
    for (QLineEdit *amount : {m_accountField, m_destinationField}) GetCurrencyFieldEditor()->attach(amount);
    connect(m_accountField, &QLineEdit::textChanged, this, [this] { updateOKButton(); });
    connect(m_destinationField, &QLineEdit::textChanged, this, [this] { updateOKButton(); });
    connect(m_accountField, &QLineEdit::editingFinished, this, [this] { fieldEdited(Source); });
    connect(m_destinationField, &QLineEdit::editingFinished, this, [this] { fieldEdited(Destination); });
    connect(m_okButton, &QPushButton::clicked, this, &TransferFieldDialog::ok);
    connect(m_cancelButton, &QPushButton::clicked, this, &TransferFieldDialog::cancel);
    // Esc (QDialog's reject) and the close box settle the outcome without changes.
    connect(this, &QDialog::rejected, this, [this] { m_okPushed = true; });
}

TransferFieldDialog::~TransferFieldDialog() = default;

const cv::AmountText *TransferFieldDialog::amountText() const
{
    return m_doc ? &m_doc->amountText() : nullptr;
}

int TransferFieldDialog::currencyOf(int account) const
{
    return m_doc && account > 0 ? m_doc->currencyOfAccount(account) : 0;
}

void TransferFieldDialog::runForPanel(AccountBookPanel *controller, const EntryPtr &entry, const QPoint &origin)
{
    if (!controller || !entry) return;
    m_origin = origin;
    m_controller = controller;
    m_entry = entry;
    m_doc = controller->doc();
    m_account = entry->account() > 0 ? entry->account() : controller->accountIdent();
    m_destination = entry->destination();
    m_ds->setDocument(m_doc, kAccountKindsNoLoans, true);
    fillControls();
    if (m_account > 0 && m_destination > 0 && entry->kind() == cv::EntryKind::Transfer) {
        m_accountField->setText(fullPrecisionText(entry->amount(), m_account));
        if (entry->converted() != 0) m_destinationField->setText(fullPrecisionText(entry->converted(), m_destination));
    } else {
        updateFields();
        m_destinationButton->setCurrentIndex(-1);
    }
    fitListsToScreen({m_accountButton, m_destinationButton}, origin, m_accountButton->fontMetrics().height() + 4);
    updateOKButton();
    m_okPushed = false;
    adjustSize();
    placeOnScreen(this, m_origin);
    show();
    raise();
    activateWindow();
    m_accountField->setFocus();
    m_accountField->selectAll();
}

void TransferFieldDialog::fillControls()
{
    m_filling = true;
    m_accountButton->clear();
    m_destinationButton->clear();
    m_accountField->clear();
    m_destinationField->clear();
    for (const cv::ChooserItem &item : m_ds->objects()) {
        if (!item.node()) continue;
        const QString name = m_doc->displayName(*item.node());
        m_accountButton->addItem(name, item.ident());
        m_destinationButton->addItem(name, item.ident());
    }
    selectIdent(m_accountButton, m_account);
    selectIdent(m_destinationButton, m_destination);
    m_filling = false;
    updateFields();
}

void TransferFieldDialog::selectIdent(QComboBox *box, int ident)
{
    box->setCurrentIndex(ident > 0 ? box->findData(ident) : -1);
}

void TransferFieldDialog::updateFields()
{
    m_accountSignLabel->setText(currencyPrefix(m_doc, m_account));
    m_destinationSignLabel->setText(currencyPrefix(m_doc, m_destination));
    const bool oneCurrency = m_destination <= 0 || !m_doc->accountNeedsExchange(m_account, m_destination);
    m_destinationArrow->setVisible(!oneCurrency);
    m_destinationField->setVisible(!oneCurrency);
    m_destinationSignLabel->setVisible(!oneCurrency);
    updateOKButton();
}

double TransferFieldDialog::numberIn(QLineEdit *field, int account) const
{
    if (!m_doc || field->text().trimmed().isEmpty()) return 0;
    return m_doc->numberForString(field->text(), currencyOf(account)).value_or(0);
}

void TransferFieldDialog::updateOKButton()
{
    if (!m_doc || m_filling) return;
    const bool source = m_account > 0 && numberIn(m_accountField, m_account) != 0;
    const bool destination =
        m_destination > 0 && (m_destinationField->isHidden() || numberIn(m_destinationField, m_destination) != 0);
    m_okButton->setEnabled(source && destination);
}

void TransferFieldDialog::changedChoice(Side side, int index)
{
    QComboBox *box = side == Source ? m_accountButton : m_destinationButton;
    QComboBox *otherBox = side == Source ? m_destinationButton : m_accountButton;
    int &mine = side == Source ? m_account : m_destination;
    int &other = side == Source ? m_destination : m_account;
    if (index < 0) {
        selectIdent(box, mine);
        updateFields();
        return;
    }
    const int picked = box->itemData(index).toInt();
    if (picked == mine) {
        selectIdent(box, mine);
        return;
    }
    mine = picked;
    const int own = m_controller ? m_controller->accountIdent() : 0;
    if (picked != own && other != own) {
        other = own;
        selectIdent(otherBox, other);
    } else if (picked == other) {
        other = 0;
        otherBox->setCurrentIndex(-1);
    }
    updateFields();
    if (m_destinationField->isHidden()) m_destinationField->clear();
    for (const auto &[field, account] : {std::pair{m_accountField, m_account}, {m_destinationField, m_destination}}) {
        if (field->text().isEmpty() || account <= 0) continue;
        const CurrencyPtr currency = m_doc->findCurrency(currencyOf(account));
        const int fraction = currency ? currency->fraction() : 0;
        field->setText(Book::stringForRoundValue(
            cv::AmountText::typedAmount(field->text(), QString(), fraction).value_or(0), fraction));
    }
    selectIdent(box, mine);
    updateOKButton();
}

void TransferFieldDialog::fieldEdited(Side side)
{
    QLineEdit *field = side == Source ? m_accountField : m_destinationField;
    const int account = side == Source ? m_account : m_destination;
    if (!m_doc || field->text().trimmed().isEmpty()) return;
    retypeAmount(*m_doc, field, account);
    updateOKButton();
}

QString TransferFieldDialog::currencyPrefix(const Book *doc, int account)
{
    const CurrencyPtr currency = doc && account > 0 ? doc->findCurrency(doc->currencyOfAccount(account)) : nullptr;
    return currency ? currency->prefix() : QString();
}

void TransferFieldDialog::retypeAmount(const Book &doc, QLineEdit *field, int account)
{
    const int currency = account > 0 ? doc.currencyOfAccount(account) : 0;
    const CurrencyPtr c = doc.findCurrency(currency);
    const double value =
        cv::AmountText::typedAmount(field->text(), c ? c->prefix() : QString(), c ? c->fraction() : 0).value_or(0);
    field->setText(doc.stringForValue(value, currency, false));
}

QString TransferFieldDialog::fullPrecisionText(double value, int account) const
{
    if (!m_doc) return QString();
    const int currency = currencyOf(account);
    const CurrencyPtr c = m_doc->findCurrency(currency);
    // The shortest text that reads back as the stored value.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
    if (result.ec != std::errc()) return m_doc->stringForValue(value, currency, false);
    QString digits = QString::fromLatin1(buffer, int(result.ptr - buffer));
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    QString fraction = point < 0 ? QString() : digits.mid(point + 1);
    const int wanted = c ? c->fraction() : 0;
    while (fraction.size() < wanted) fraction += QLatin1Char('0');
    const QString whole = m_doc->stringForValue(std::trunc(std::fabs(value)), currency, true);
    QString grouped = whole.section(QLatin1Char('.'), 0, 0);
    QString text = fraction.isEmpty() ? grouped : grouped + QLatin1Char('.') + fraction;
    return value < 0 ? QLatin1Char('-') + text : text;
}

void TransferFieldDialog::ok()
{
    if (m_okPushed) return;
    m_okPushed = true;
    if (m_okButton->isEnabled() && m_controller && m_entry) {
        const double amount = numberIn(m_accountField, m_account);
        const double converted =
            m_doc->accountNeedsExchange(m_account, m_destination) ? numberIn(m_destinationField, m_destination) : 0;
        m_controller->finishedEditing(m_entry, m_account, m_destination, amount, converted);
    }
    m_entry.reset();
    hide();
}

void TransferFieldDialog::cancel()
{
    m_okPushed = true;
    m_entry.reset();
    hide();
}

void TransferFieldDialog::closeEvent(QCloseEvent *event)
{
    m_okPushed = true;
    m_entry.reset();
    QDialog::closeEvent(event);
}

void TransferFieldDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    placeOnScreen(this, m_origin);
}

void TransferFieldDialog::placeOnScreen(QWidget *popup, const QPoint &origin)
{
    const QScreen *screen = QGuiApplication::screenAt(origin);
    if (!screen) screen = QGuiApplication::primaryScreen();
    QRect frame(origin, popup->frameGeometry().size());
    if (screen) {
        const QRect area = screen->availableGeometry();
        if (frame.bottom() > area.bottom()) frame.moveBottom(area.bottom());
        if (frame.right() > area.right()) frame.moveRight(area.right());
        if (frame.top() < area.top()) frame.moveTop(area.top());
        if (frame.left() < area.left()) frame.moveLeft(area.left());
    }
    popup->move(frame.topLeft());
}

void TransferFieldDialog::fitListsToScreen(std::initializer_list<QComboBox *> lists, const QPoint &origin,
                                           int itemHeight)
{
    const QScreen *screen = QGuiApplication::screenAt(origin);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const int fit = screen ? std::max(1, screen->availableGeometry().height() / 2 / std::max(1, itemHeight) - 1) : 10;
    for (QComboBox *list : lists) list->setMaxVisibleItems(std::min(fit, std::max(1, list->count())));
}

} // namespace cv
