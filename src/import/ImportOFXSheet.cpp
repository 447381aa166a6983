#include "import/ImportOFXSheet.h"

#include "controls/AccountChooserModel.h"
#include "controls/CategoryChooserModel.h"
#include "controls/DialogButtons.h"
#include "document/Book.h"
#include "import/ImportFile.h"
#include "import/PendingRows.h"
#include "import/StatementReaders.h"
#include "model/CategoryTrees.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace cv {

using cv::localizedString;

ImportOFXSheet::ImportOFXSheet(Book *document, int dataType, QWidget *parent)
    : EntryImportSheet(document, parent, {cv::StatementMemoMapping, cv::StatementAccountMapping})
{
    Q_ASSERT(dataType == 0); // the delimited-text form belongs to the text import
    Q_UNUSED(dataType);
    buildWindow();
    updateButtons();
}

void ImportOFXSheet::buildWindow()
{
    setWindowTitle(localizedString("OFX Panel Title"));
    auto *layout = new QVBoxLayout(this);
    addFileRow(layout, localizedString("OFX File Types"));
    auto *hint = new QLabel(localizedString("OFX Read OFXFile Message"), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    addNotice(layout);

    cv::ImportRowsModel::Client client;
    client.rightAligned = [](int column) { return column == DepositColumn || column == WithdrawalColumn; };
    client.tick = [this](int column, int row) {
        return column == TickColumn ? std::optional<bool>(m_rows[size_t(row)]->checkFlags() == 2) : std::nullopt;
    };
    addReviewTable(layout,
                   {"OFX Column Date", "OFX Column Memo", "OFX Column Deposit", "OFX Column Withdrawal",
                    "OFX Column Category", "OFX Column Account", "OFX Column Transfer", "OFX Column Tick"},
                   std::move(client), {90, 220, 100, 100, 130, 130, 130, 32}, MemoColumn);
    m_table->horizontalHeader()->setHighlightSections(false);

    auto *applyRow = new QHBoxLayout;
    m_applyButton = new QPushButton(localizedString("OFX Apply"), this);
    m_applyButton->setAutoDefault(false);
    auto *applyLabel = new QLabel(localizedString("OFX Apply Message"), this);
    m_detailBox = new QCheckBox(localizedString("OFX Account Detail"), this);
    applyRow->addWidget(m_applyButton);
    applyRow->addWidget(applyLabel, 1);
    applyRow->addWidget(m_detailBox);
    layout->addLayout(applyRow);
    auto *transferLabel = new QLabel(localizedString("OFX Transfer Message"), this);
    transferLabel->setWordWrap(true);
    layout->addWidget(transferLabel);
    m_okButton = cv::addOkCancelButtons(this, layout).ok;

    addMenu({{MenuPartner, "OFX Menu Partner"},
             {MenuCategory, "OFX Menu Category"},
             {MenuAccount, "OFX Menu Account"},
             {MenuReject, "OFX Menu Reject"},
             {MenuAccept, "OFX Menu Accept"}},
            MenuReject);

    connect(m_applyButton, &QPushButton::clicked, this, &ImportOFXSheet::applyPushed);
    connect(m_detailBox, &QCheckBox::toggled, this, &ImportOFXSheet::reload);
    resize(960, 540);
}

// ---------------------------------------------------------------- reading

bool ImportOFXSheet::loadFile(const QString &path)
{
    m_pathField->setText(path);
    m_rows.clear();
    m_accounts.clear();
    const cv::ImportFile file = cv::readImportFile(path);
    cv::StatementRead read;
    if (file.status == cv::ImportFileStatus::Read) read = cv::readStatement(file.data);
    m_rows = std::move(read.rows);
    m_accounts = std::move(read.accounts);
    m_currencies = std::move(read.currencies);
    m_labelOverruled = read.labelOverruled;
    m_unread = std::move(read.unread);
    m_model->reset();
    findUnreadableRows();
    updateButtons();
    if (file.status != cv::ImportFileStatus::Read)
        cv::alertImportFile(file.status, path, this);
    else if (read.status == cv::StatementRead::Status::Damaged)
        cv::alertDamaged(path, this);
    else if (read.status == cv::StatementRead::Status::NotRecognised)
        cv::alertNotRecognised(path, this);
    else if (m_rows.empty() && m_unread.empty())
        alertNoRows("Import-No-Transactions", path);
    return file.status == cv::ImportFileStatus::Read && read.status == cv::StatementRead::Status::Read &&
           !m_rows.empty();
}

// The accounts chosen for rows whose currency is not their statement's
// (their amounts are stored as written, in the account's own currency), a
// header the text was not read by, and the transactions that gave no row.
QString ImportOFXSheet::notice() const
{
    if (!m_document) return QString();
    QStringList lines;
    std::vector<std::pair<int, QString>> seen;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Entry &row = *m_rows[i];
        const std::pair<int, QString> pair(storedAccount(row), m_currencies.value(qsizetype(i)));
        if ((row.flags() & cv::PendingRejected) || pair.second.isEmpty() || std::ranges::count(seen, pair)) continue;
        seen.push_back(pair);
        const CurrencyPtr currency =
            m_document->findCurrency(m_document->getCurrency(m_document->currencyOfAccount(pair.first)));
        if (!currency || currency->abbr().compare(pair.second, Qt::CaseInsensitive) == 0) continue;
        lines << cv::formatString(localizedString("OFX Currency Differs"),
                                  {pair.second, accountName(pair.first), currency->abbr()});
    }
    lines << fileNotices(m_labelOverruled, m_unread);
    return lines.join(QLatin1Char('\n'));
}

QStringList ImportOFXSheet::fileNotices(std::optional<TextEncoding> labelOverruled,
                                        const std::vector<UnreadTransaction> &unread)
{
    QStringList lines;
    if (labelOverruled) lines << labelOverruledNotice(*labelOverruled);
    if (!unread.empty()) {
        constexpr size_t kShown = 10; // the rest are found by the first ones
        QStringList named;
        for (size_t i = 0; i < unread.size() && i < kShown; ++i)
            named << cv::formatString(localizedString("OFX Unread Transaction"),
                                      {unread[i].place, unread[i].date, unread[i].name});
        if (unread.size() > kShown) named << QStringLiteral("…");
        lines << cv::formatString(localizedString("OFX Transactions Not Read"),
                                  {int(unread.size()), named.join(localizedString("ImportText Head Separator"))});
    }
    return lines;
}

// A row without an account of the book goes to the wallet by default.
int ImportOFXSheet::storedAccount(const Entry &row)
{
    return row.account() < 1 ? kDefaultAccount : row.account();
}

// ---------------------------------------------------------------- rows

QString ImportOFXSheet::tempAccountName(int ident) const
{
    if (ident == 0 || !m_document) return QString();
    if (ident < 0) {
        const qsizetype at = -qsizetype(ident) - 1;
        return at < m_accounts.size() ? m_accounts[at] : QString();
    }
    return accountName(ident);
}

QString ImportOFXSheet::cellText(int column, int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size() || !m_document) return QString();
    const Entry &entry = *m_rows[size_t(row)];
    switch (column) {
    case DateColumn: return cv::formatProgramDate(entry.date());
    case MemoColumn: return entry.memo();
    case DepositColumn:
    case WithdrawalColumn:
        return amountText(entry, entry.flags() & cv::PendingOutgoing, column == WithdrawalColumn, storedAccount(entry));
    case CategoryColumn: return categoryName(entry);
    case AccountColumn:
        if (entry.account() < 0 && !m_detailBox->isChecked())
            return cv::formatString(localizedString("OFX Temp Account"), {-entry.account()});
        return tempAccountName(entry.account());
    case TransferColumn:
        return entry.kind() == cv::EntryKind::Transfer ? tempAccountName(entry.destination()) : QString();
    default: return QString();
    }
}

bool ImportOFXSheet::isValid(Entry &row, bool applyDefault) const
{
    if (row.account() < 1) {
        if (!applyDefault) return false;
        row.setAccount(kDefaultAccount);
    }
    // Compared after the default: a wallet row whose partner is the wallet
    // would move money from an account to itself.
    if (row.kind() == cv::EntryKind::Transfer) return row.destination() >= 1 && row.destination() != row.account();
    if (row.category() == 0) {
        if (!applyDefault) return false;
        row.setCategory(row.kind() == cv::EntryKind::Income ? CategoryTrees::IncomeMisc : CategoryTrees::ExpenseMisc);
    }
    return true;
}

bool ImportOFXSheet::isValid(const Entry &row) const
{
    Entry copy(row);
    return isValid(copy, false);
}

int ImportOFXSheet::completeDataCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const EntryPtr &row) {
        if (row->kind() == cv::EntryKind::Transfer) return row->destination() != 0 && row->account() > 0;
        return row->category() != 0 && row->account() >= 1;
    }));
}

void ImportOFXSheet::updateButtons()
{
    const bool hasRows = !m_rows.empty();
    m_okButton->setEnabled(hasRows && completeDataCount() > 0);
    m_applyButton->setEnabled(hasRows && hasLearned());
    setNotice(notice());
}

// ---------------------------------------------------------------- clicks and choosers

void ImportOFXSheet::handleClick(int column, int row)
{
    switch (column) {
    case TickColumn: {
        Entry &entry = *m_rows[size_t(row)];
        entry.setCheckFlags(entry.checkFlags() == 2 ? 1 : 2);
        reload();
        return;
    }
    case CategoryColumn: changeCategory(row); return;
    case AccountColumn: changeAccount(row, 0); return;
    case TransferColumn: changeAccount(row, 1); return;
    default: return;
    }
}

void ImportOFXSheet::menuSelected(int tag)
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) return;
    switch (tag) {
    case MenuPartner: changeAccount(rows.front(), 1); break;
    case MenuCategory: changeCategory(rows.front()); break;
    case MenuAccount: changeAccount(rows.front(), 0); break;
    case MenuReject: setRejectStatus(true); break;
    case MenuAccept: setRejectStatus(false); break;
    default: break;
    }
}

void ImportOFXSheet::changeCategory(int row)
{
    const Entry &entry = *m_rows[size_t(row)];
    auto source = std::make_unique<cv::CategoryChooserModel>();
    source->setDocument(m_document, (entry.flags() & cv::PendingOutgoing) ? 2 : 1);
    runChooser(CategoryColumn, row, std::move(source), entry.category(),
               [this](int ident) { endCategoryPopup(ident); });
}

void ImportOFXSheet::changeAccount(int row, int mode)
{
    const Entry &entry = *m_rows[size_t(row)];
    m_chooserMode = mode;
    auto source = std::make_unique<cv::AccountChooserModel>();
    source->setDocument(m_document, 255);
    runChooser(mode == 0 ? AccountColumn : TransferColumn, row, std::move(source),
               mode == 0 ? entry.account() : entry.destination(), [this](int ident) { endAccountPopup(ident); });
}

void ImportOFXSheet::endCategoryPopup(int ident)
{
    if (ident <= 0) return;
    const bool expense = m_document->findExpense(ident) != nullptr;
    for (int row : selectedRows()) {
        Entry &entry = *m_rows[size_t(row)];
        // A category of the other direction would turn money in into money out.
        if (bool(entry.flags() & cv::PendingOutgoing) != expense) continue;
        assignCategory(entry, ident);
        if (!entry.memo().isEmpty()) learn(cv::StatementMemoMapping, entry.memo(), ident);
    }
    reload();
}

void ImportOFXSheet::endAccountPopup(int ident)
{
    if (ident <= 0) return;
    for (int row : selectedRows()) {
        Entry &entry = *m_rows[size_t(row)];
        if (m_chooserMode == 1) {
            assignPartner(entry, ident);
            if (!entry.memo().isEmpty()) learn(cv::StatementMemoMapping, entry.memo(), -ident);
        } else {
            const int previous = entry.account();
            entry.setAccount(ident);
            const QString id = previous < 0 ? tempAccountName(previous) : QString();
            if (!id.isEmpty()) learn(cv::StatementAccountMapping, id, ident);
        }
    }
    reload();
}

// ---------------------------------------------------------------- learned mappings

void ImportOFXSheet::applyPushed()
{
    int changes = 0;
    for (const EntryPtr &row : m_rows) {
        Entry &entry = *row;
        if (entry.category() == 0 && !entry.memo().isEmpty())
            changes += applyLearnedTarget(entry, mapping(cv::StatementMemoMapping).value(entry.memo()));
        if (entry.account() < 0)
            changes += applyLearnedAccount(
                entry, mapping(cv::StatementAccountMapping).value(tempAccountName(entry.account())));
    }
    if (changes > 0) reload();
}

// ---------------------------------------------------------------- commit

void ImportOFXSheet::okPushed()
{
    const int complete = completeDataCount();
    if (complete == 0 || !m_document) return;
    bool applyDefaults = true;
    if (complete < int(m_rows.size())) {
        const std::optional<bool> answer = askDefaults("OFX Incomlete Title", "OFX Incomlete");
        if (!answer) return;
        applyDefaults = *answer;
    }
    if (commitRows(applyDefaults)) done(1);
}

bool ImportOFXSheet::commitRows(bool applyDefaults)
{
    std::vector<EntryPtr> finished;
    for (const EntryPtr &row : m_rows) {
        if (row->flags() & cv::PendingRejected) continue;
        const auto entry = std::make_shared<Entry>(*row);
        if (!isValid(*entry, applyDefaults)) continue;
        entry->setDestination(entry->kind() == cv::EntryKind::Transfer ? entry->destination() : 0);
        const int statementAccount = entry->account();
        entry->setAmount(cv::roundedForAccount(*m_document, entry->amount(), statementAccount));
        // Incoming transfers run from the partner into the statement account.
        if (entry->kind() == cv::EntryKind::Transfer && !(entry->flags() & cv::PendingOutgoing)) {
            entry->setAccount(entry->destination());
            entry->setDestination(statementAccount);
        }
        cv::convertPendingTransfer(*m_document, *entry, statementAccount);
        finished.push_back(entry);
    }
    // The write path keeps every balance current: no rebuild after it.
    return storeEntries(finished);
}

} // namespace cv
