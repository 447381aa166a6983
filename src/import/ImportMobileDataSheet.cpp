#include "import/ImportMobileDataSheet.h"

#include "controls/AccountChooserModel.h"
#include "controls/CategoryChooserModel.h"
#include "controls/DialogButtons.h"
#include "document/Book.h"
#include "import/ImportFile.h"
#include "import/MobileEntryReader.h"
#include "import/PendingRows.h"
#include "import/TransferImportDialog.h"
#include "model/CategoryTrees.h"
#include "platform/Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace cv {

using cv::localizedString;

ImportMobileDataSheet::ImportMobileDataSheet(Book *document, QWidget *parent)
    : EntryImportSheet(document, parent, {cv::MobileCategoryMapping, cv::MobileAccountMapping})
{
    buildWindow();
    updateButtons();
}

void ImportMobileDataSheet::buildWindow()
{
    setWindowTitle(localizedString("Import Mobile Title"));
    auto *layout = new QVBoxLayout(this);
    addFileRow(layout, localizedString("Import Mobile File Types"));

    cv::ImportRowsModel::Client client;
    client.rightAligned = [](int column) { return column == IncomeColumn || column == ExpenseColumn; };
    client.tick = [this](int column, int row) {
        return column == DateColumn ? std::optional<bool>(m_rows[size_t(row)].tick) : std::nullopt;
    };
    addReviewTable(layout,
                   {"OFX Column Date", "Import Mobile Column Name", "OFX Column Category",
                    "Import Mobile Column Account Name", "OFX Column Account", "ImportText Column Income",
                    "ImportText Column Expense", "OFX Column Memo"},
                   std::move(client), {110, 125, 150, 125, 110, 90, 90, 160}, MemoColumn);

    auto *applyRow = new QHBoxLayout;
    m_applyButton = new QPushButton(localizedString("OFX Apply"), this);
    m_applyButton->setAutoDefault(false);
    applyRow->addWidget(m_applyButton);
    applyRow->addWidget(new QLabel(localizedString("OFX Apply Message"), this), 1);
    layout->addLayout(applyRow);
    auto *hint = new QLabel(localizedString("Import Mobile Transfer Message"), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    m_okButton = cv::addOkCancelButtons(this, layout).ok;

    addMenu({{MenuTransfer, "Import Mobile Menu Transfer"},
             {MenuCategory, "OFX Menu Category"},
             {MenuAccount, "OFX Menu Account"},
             {MenuReject, "OFX Menu Reject"},
             {MenuAccept, "OFX Menu Accept"}},
            MenuReject);
    m_transferPanel = new TransferImportDialog(this);

    connect(m_applyButton, &QPushButton::clicked, this, &ImportMobileDataSheet::applyPushed);
    resize(1000, 560);
}

// ---------------------------------------------------------------- reading

bool ImportMobileDataSheet::loadFile(const QString &path)
{
    m_pathField->setText(path);
    m_rows.clear();
    const cv::ImportFile file = cv::readImportFile(path);
    if (file.status == cv::ImportFileStatus::Read)
        for (cv::MobileEntry &read : cv::readMobileEntries(file.data))
            m_rows.push_back({false, std::move(read.categoryName), std::move(read.accountName), std::move(read.entry)});
    m_model->reset();
    updateButtons();
    if (file.status != cv::ImportFileStatus::Read)
        cv::alertImportFile(file.status, path, this);
    else if (m_rows.empty())
        alertNoRows("Import-No-Rows", path);
    return file.status == cv::ImportFileStatus::Read && !m_rows.empty();
}

// ---------------------------------------------------------------- rows

bool ImportMobileDataSheet::isValid(const Entry &entry) const
{
    if (entry.account() < 1) return false;
    if (entry.kind() == cv::EntryKind::Transfer)
        return entry.destination() >= 1 && entry.destination() != entry.account();
    return entry.category() >= 1;
}

int ImportMobileDataSheet::completeDataCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(),
                             [](const Row &row) { return row.tick && !(row.entry->flags() & cv::PendingRejected); }));
}

QString ImportMobileDataSheet::cellText(int column, int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size() || !m_document) return QString();
    const Row &line = m_rows[size_t(row)];
    const Entry &entry = *line.entry;
    switch (column) {
    case DateColumn: return cv::formatProgramDate(entry.date());
    case NameColumn: return line.categoryName;
    case CategoryColumn:
        if (entry.kind() == cv::EntryKind::Transfer)
            return cv::formatString(QStringLiteral("%@ → %@"),
                                    {localizedString("BankBook-CacheOut"), accountName(entry.destination())});
        return categoryName(entry);
    case AccountNameColumn: return line.accountName;
    case AccountColumn: return accountName(entry.account());
    case IncomeColumn:
    case ExpenseColumn:
        return amountText(entry, entry.kind() != cv::EntryKind::Income, column == ExpenseColumn, entry.account());
    case MemoColumn: return entry.memo();
    default: return QString();
    }
}

void ImportMobileDataSheet::updateButtons()
{
    m_okButton->setEnabled(completeDataCount() > 0);
    m_applyButton->setEnabled(!m_rows.empty() && hasLearned());
}

void ImportMobileDataSheet::applyPushed()
{
    int changes = 0;
    for (Row &row : m_rows) {
        Entry &entry = *row.entry;
        if (entry.category() == 0 && entry.kind() != cv::EntryKind::Transfer && !row.categoryName.isEmpty())
            changes += applyLearnedTarget(entry, mapping(cv::MobileCategoryMapping).value(row.categoryName));
        if (entry.account() == 0 && !row.accountName.isEmpty())
            changes += applyLearnedAccount(entry, mapping(cv::MobileAccountMapping).value(row.accountName));
        if (isValid(entry)) row.tick = true;
    }
    if (changes > 0) reload();
}

// ---------------------------------------------------------------- choosers and transfers

void ImportMobileDataSheet::handleClick(int column, int row)
{
    if (column == CategoryColumn) changeCategory(row);
    if (column == AccountColumn) changeAccount(row);
}

void ImportMobileDataSheet::menuSelected(int tag)
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) return;
    switch (tag) {
    case MenuTransfer: openTransfer(rows); break;
    case MenuCategory: changeCategory(rows.front()); break;
    case MenuAccount: changeAccount(rows.front()); break;
    case MenuReject: setRejectStatus(true); break;
    case MenuAccept: setRejectStatus(false); break;
    default: break;
    }
}

void ImportMobileDataSheet::openTransfer(const std::vector<int> &rows)
{
    std::vector<EntryPtr> entries;
    for (int row : rows) entries.push_back(m_rows[size_t(row)].entry);
    const QRect cell = m_table->visualRect(m_model->index(0, NameColumn));
    QPointer<ImportMobileDataSheet> self(this);
    m_transferPanel->runWithDocument(
        m_document,
        [self] {
            if (self) self->finishedTransferEditing();
        },
        std::move(entries), m_table->viewport()->mapToGlobal(cell.topLeft()));
}

void ImportMobileDataSheet::finishedTransferEditing()
{
    for (int row : selectedRows()) {
        Row &line = m_rows[size_t(row)];
        const Entry &entry = *line.entry;
        if (isValid(entry)) line.tick = true;
        // An empty name would later fill every unnamed row.
        if (!line.categoryName.isEmpty() && entry.destination() > 0)
            learn(cv::MobileCategoryMapping, line.categoryName, -entry.destination());
        if (!line.accountName.isEmpty() && entry.account() > 0)
            learn(cv::MobileAccountMapping, line.accountName, entry.account());
    }
    reload();
}

void ImportMobileDataSheet::changeCategory(int row)
{
    auto source = std::make_unique<cv::CategoryChooserModel>();
    source->setDocument(m_document, 16);
    runChooser(CategoryColumn, row, std::move(source), m_rows[size_t(row)].entry->category(),
               [this](int ident) { endCategoryPopup(ident); });
}

void ImportMobileDataSheet::changeAccount(int row)
{
    auto source = std::make_unique<cv::AccountChooserModel>();
    source->setDocument(m_document, 255);
    runChooser(AccountColumn, row, std::move(source), m_rows[size_t(row)].entry->account(),
               [this](int ident) { endAccountPopup(ident); });
}

void ImportMobileDataSheet::endCategoryPopup(int ident)
{
    if (ident <= 0) {
        updateButtons();
        return;
    }
    for (int row : selectedRows()) {
        Row &line = m_rows[size_t(row)];
        Entry &entry = *line.entry;
        if (ident == kTransferItem) {
            openTransfer({row});
            return;
        }
        assignCategory(entry, ident);
        const bool fits = entry.kind() == cv::EntryKind::Income ? m_document->findIncome(ident) != nullptr
                                                                : m_document->findExpense(ident) != nullptr;
        if (!fits) {
            entry.setCategory(0);
            line.tick = false;
            reload();
            return;
        }
        if (isValid(entry)) line.tick = true;
        if (!line.categoryName.isEmpty()) learn(cv::MobileCategoryMapping, line.categoryName, ident);
    }
    reload();
}

void ImportMobileDataSheet::endAccountPopup(int ident)
{
    if (ident > 0) {
        for (int row : selectedRows()) {
            Row &line = m_rows[size_t(row)];
            line.entry->setAccount(ident);
            line.tick = isValid(*line.entry);
            if (!line.accountName.isEmpty()) learn(cv::MobileAccountMapping, line.accountName, ident);
        }
        m_model->reload();
    }
    updateButtons();
}

// ---------------------------------------------------------------- commit

void ImportMobileDataSheet::okPushed()
{
    if (!m_document || completeDataCount() == 0) return;
    if (!Alert::confirm(localizedString("Import Mobile Confirm Title"),
                        localizedString("Import Mobile Confirm Message"), localizedString("OFX default"),
                        localizedString("Cancel")))
        return;
    if (commitRows()) done(1);
}

bool ImportMobileDataSheet::commitRows()
{
    std::vector<EntryPtr> finished;
    for (const Row &row : m_rows) {
        if (!row.tick || (row.entry->flags() & cv::PendingRejected)) continue;
        const auto entry = std::make_shared<Entry>(*row.entry);
        // A tick may be older than the row's last change: the account is checked again.
        if (entry->account() < 1 || !m_document->findAccount(entry->account())) continue;
        entry->setAmount(cv::roundedForAccount(*m_document, entry->amount(), entry->account()));
        if (entry->kind() == cv::EntryKind::Transfer) {
            if (entry->destination() == entry->account() || !m_document->findAccount(entry->destination())) continue;
            cv::convertPendingTransfer(*m_document, *entry, entry->account());
        } else {
            entry->setDestination(0);
            if (!isValid(*entry))
                entry->setCategory(entry->kind() == cv::EntryKind::Income ? CategoryTrees::IncomeMisc
                                                                          : CategoryTrees::ExpenseMisc);
        }
        finished.push_back(entry);
    }
    // The write path keeps every balance current: no rebuild after it.
    return storeEntries(finished);
}

} // namespace cv
