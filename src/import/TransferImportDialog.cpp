#include "import/TransferImportDialog.h"

#include "controls/AccountChooserModel.h"
#include "document/Book.h"
#include "panels/entry/TransferFieldDialog.h"
#include "platform/Localization.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace cv {

using cv::localizedString;

namespace {
constexpr int kAccountKindsNoLoans = 223;
}

TransferImportDialog::TransferImportDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog), m_arrow(new QLabel(QStringLiteral("→"), this)),
      m_okButton(new QPushButton(localizedString("OK"), this)), m_ds(std::make_unique<cv::AccountChooserModel>())
{
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(localizedString("SYS:Transfer"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(localizedString("Transfer-From"), this), 0, 0, 1, 2);
    grid->addWidget(new QLabel(localizedString("Transfer-To"), this), 0, 3, 1, 2);
    for (int side : {Source, Destination}) {
        m_boxes[side] = new QComboBox(this);
        m_boxes[side]->setMinimumWidth(150);
        m_fields[side] = new QLineEdit(this);
        m_fields[side]->setAlignment(Qt::AlignRight);
        m_fields[side]->setMinimumWidth(110);
        m_signs[side] = new QLabel(this);
        grid->addWidget(m_boxes[side], 1, side * 3, 1, 2);
        grid->addWidget(m_signs[side], 2, side * 3);
        grid->addWidget(m_fields[side], 2, side * 3 + 1);
        connect(m_boxes[side], &QComboBox::activated, this,
                [this, side](int index) { changedChoice(Side(side), index); });
        connect(m_fields[side], &QLineEdit::textChanged, this, [this] { updateOKButton(); });
        connect(m_fields[side], &QLineEdit::editingFinished, this, [this, side] { fieldEdited(Side(side)); });
    }
    grid->addWidget(m_arrow, 2, 2);
    auto *cancelButton = new QPushButton(localizedString("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    buttons->addWidget(m_okButton);
    grid->addLayout(buttons, 3, 0, 1, 5);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &TransferImportDialog::ok);
    connect(cancelButton, &QPushButton::clicked, this, &TransferImportDialog::cancel);
    // Esc (QDialog's reject) settles the outcome without changes.
    connect(this, &QDialog::rejected, this, [this] { forget(); });
}

TransferImportDialog::~TransferImportDialog() = default;

void TransferImportDialog::runWithDocument(Book *document, std::function<void()> finished,
                                           std::vector<EntryPtr> entries, const QPoint &origin)
{
    if (!document || entries.empty()) return;
    m_document = document;
    m_finished = std::move(finished);
    m_entries = std::move(entries);
    m_origin = origin;
    const Entry &first = *m_entries.front();
    m_account = m_entries.size() == 1 ? std::max(first.account(), 0) : 0;
    m_destination = m_entries.size() == 1 ? std::max(first.destination(), 0) : 0;
    m_ds->setDocument(m_document, kAccountKindsNoLoans, true);
    fillControls();
    if (m_account > 0 && m_destination > 0 && first.kind() == cv::EntryKind::Transfer) {
        m_fields[Source]->setText(m_document->stringForValueAccount(first.amount(), m_account));
        m_fields[Destination]->setText(
            first.converted() != 0 ? m_document->stringForValueAccount(first.converted(), m_destination) : QString());
        updateOKButton();
    }
    TransferFieldDialog::fitListsToScreen({m_boxes[Source], m_boxes[Destination]}, origin, fontMetrics().height() + 4);
    m_done = false;
    adjustSize();
    TransferFieldDialog::placeOnScreen(this, m_origin);
    show();
    raise();
    activateWindow();
}

void TransferImportDialog::fillControls()
{
    for (QComboBox *box : m_boxes) box->clear();
    for (const cv::ChooserItem &item : m_ds->objects()) {
        if (!item.node()) continue;
        for (QComboBox *box : m_boxes) box->addItem(m_document->displayName(*item.node()), item.ident());
    }
    m_fields[Source]->setText(m_document->stringForValueAccount(m_entries.front()->amount(), 0));
    m_fields[Destination]->clear();
    select(Source);
    select(Destination);
    updateFields();
}

void TransferImportDialog::select(Side side)
{
    const int ident = side == Source ? m_account : m_destination;
    m_boxes[side]->setCurrentIndex(ident > 0 ? m_boxes[side]->findData(ident) : -1);
}

void TransferImportDialog::updateFields()
{
    m_signs[Source]->setText(TransferFieldDialog::currencyPrefix(m_document, m_account));
    m_signs[Destination]->setText(TransferFieldDialog::currencyPrefix(m_document, m_destination));
    // Several entries convert each at its own date: one typed amount cannot serve them all.
    const bool hidden =
        m_destination <= 0 || m_entries.size() > 1 || !m_document->accountNeedsExchange(m_account, m_destination);
    m_arrow->setHidden(hidden);
    m_fields[Destination]->setHidden(hidden);
    m_signs[Destination]->setHidden(hidden);
    updateOKButton();
}

double TransferImportDialog::numberIn(Side side) const
{
    const int account = side == Source ? m_account : m_destination;
    const QString text = m_fields[side]->text().trimmed();
    if (!m_document || text.isEmpty()) return 0;
    return m_document->numberForString(text, account > 0 ? m_document->currencyOfAccount(account) : 0).value_or(0);
}

void TransferImportDialog::updateOKButton()
{
    if (!m_document) return;
    const bool source = m_account > 0 && numberIn(Source) != 0;
    const bool destination = m_destination > 0 && (m_fields[Destination]->isHidden() || numberIn(Destination) != 0);
    m_okButton->setEnabled(source && destination);
}

void TransferImportDialog::changedChoice(Side side, int index)
{
    int &mine = side == Source ? m_account : m_destination;
    const Side otherSide = side == Source ? Destination : Source;
    int &other = side == Source ? m_destination : m_account;
    if (index < 0) {
        select(side);
        return;
    }
    const int picked = m_boxes[side]->itemData(index).toInt();
    if (picked == mine) return;
    const int earlierSource = m_account;
    mine = picked;
    if (earlierSource != picked && earlierSource != other) {
        // The other box shows what its side now holds, or nothing.
        other = earlierSource;
        select(otherSide);
    } else if (picked == other) {
        other = 0;
        select(otherSide);
    }
    updateFields();
    if (m_fields[Destination]->isHidden()) m_fields[Destination]->clear();
    select(side);
    updateOKButton();
}

void TransferImportDialog::fieldEdited(Side side)
{
    const int account = side == Source ? m_account : m_destination;
    if (!m_document || m_fields[side]->text().trimmed().isEmpty()) return;
    TransferFieldDialog::retypeAmount(*m_document, m_fields[side], account);
    updateOKButton();
}

void TransferImportDialog::ok()
{
    if (m_done) return;
    const bool write = m_okButton->isEnabled();
    const double converted =
        m_document->accountNeedsExchange(m_account, m_destination) && !m_fields[Destination]->isHidden()
            ? numberIn(Destination)
            : 0;
    settle();
    if (write) {
        for (const EntryPtr &entry : m_entries) {
            entry->setKind(cv::EntryKind::Transfer);
            entry->setAccount(m_account);
            entry->setDestination(m_destination);
            entry->setConverted(converted);
        }
        if (m_finished) m_finished();
    }
    m_entries.clear();
    hide();
}

void TransferImportDialog::cancel()
{
    forget();
    hide();
}

void TransferImportDialog::settle()
{
    m_done = true;
}

void TransferImportDialog::forget()
{
    settle();
    m_entries.clear();
}

void TransferImportDialog::closeEvent(QCloseEvent *event)
{
    forget();
    QDialog::closeEvent(event);
}

void TransferImportDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    TransferFieldDialog::placeOnScreen(this, m_origin);
}

} // namespace cv
