#include "import/ImportOFXPanelController.h"

#include "controls/AccountDataSource.h"
#include "controls/ActualDataSource.h"
#include "controls/CustomPopup.h"
#include "controls/DialogButtons.h"
#include "document/CV4Document.h"
#include "document/EditScope.h"
#include "import/ImportFile.h"
#include "import/PendingRows.h"
#include "import/StatementReaders.h"
#include "model/CV4ActualModel.h"
#include "controls/OpenSheet.h"
#include "platform/CV4Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using cv::localizedString;

namespace {

// Texts, colours and ticks of the pending rows; the sheet owns the rows.
class ImportOFXTableModel : public QAbstractTableModel {
public:
    explicit ImportOFXTableModel(ImportOFXPanelController *sheet) : QAbstractTableModel(sheet), m_sheet(sheet) {}

    // New rows are announced with a reset; the same rows with changed
    // values keep the selection the user is working on.
    void reload()
    {
        const int count = int(m_sheet->rows().size());
        if (count == m_count && count > 0) {
            Q_EMIT dataChanged(index(0, 0), index(count - 1, ImportOFXPanelController::ColumnCount - 1));
            return;
        }
        beginResetModel();
        m_count = count;
        endResetModel();
    }
    // A new file always resets, even one with as many rows as the last.
    void reset()
    {
        m_count = -1;
        reload();
    }
    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : m_count;
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : ImportOFXPanelController::ColumnCount;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const int row = index.row();
        if (!index.isValid() || row < 0 || row >= rowCount({}) || size_t(row) >= m_sheet->rows().size()) return {};
        const CV4Actual &entry = *m_sheet->rows()[size_t(row)];
        switch (role) {
        case Qt::DisplayRole:
            return index.column() == ImportOFXPanelController::TickColumn ? QVariant()
                                                                           : QVariant(m_sheet->cellText(index.column(), row));
        case Qt::CheckStateRole:
            if (index.column() != ImportOFXPanelController::TickColumn) return {};
            return entry.checkFlags() == 2 ? Qt::Checked : Qt::Unchecked;
        case Qt::TextAlignmentRole:
            if (index.column() == ImportOFXPanelController::DepositColumn ||
                index.column() == ImportOFXPanelController::WithdrawalColumn)
                return int(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        case Qt::ForegroundRole:
            // Selected rows are drawn in the selection's own colours.
            if (entry.flags() & cv::PendingRejected) return QColor(Qt::red);
            if (!m_sheet->isValid(entry)) return QColor(Qt::gray);
            return {};
        default: return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        static const char *const keys[] = {"OFX Column Date",     "OFX Column Memo",    "OFX Column Deposit",
                                           "OFX Column Withdrawal", "OFX Column Category", "OFX Column Account",
                                           "OFX Column Transfer", "OFX Column Tick"};
        return section >= 0 && section < ImportOFXPanelController::ColumnCount ? localizedString(keys[section])
                                                                                 : QString();
    }

private:
    ImportOFXPanelController *m_sheet;   // owns the model and the rows
    int m_count = 0;                     // the rows the view knows of
};

} // namespace

ImportOFXPanelController::ImportOFXPanelController(CV4Document *document, int dataType, QWidget *parent)
    : QDialog(parent), m_document(document)
{
    Q_ASSERT(document);
    Q_ASSERT(dataType == 0);   // the delimited-text form belongs to the text import
    Q_UNUSED(dataType);
    if (m_document) {
        m_memoMapping = cv::LearnedMapping::read(*m_document, cv::StatementMemoMapping);
        m_accountMapping = cv::LearnedMapping::read(*m_document, cv::StatementAccountMapping);
    }
    buildWindow();
    updateButtons();
}

ImportOFXPanelController::~ImportOFXPanelController()
{
    // The chooser's list goes with the sheet: close a chooser still showing it.
    if (cv::CustomPopup *popup = cv::CustomPopup::existing(); popup && popup->targetView() == m_table)
        popup->mustClose();
}

ImportOFXPanelController *ImportOFXPanelController::openImportPanel(CV4Document *document, QWidget *parent,
                                                                    std::function<void(int)> done)
{
    if (!document) return nullptr;
    return cv::openSheet<ImportOFXPanelController>(
        new ImportOFXPanelController(document, 0, parent), parent,
        [done = std::move(done)](int code, ImportOFXPanelController *) {
            if (done) done(code);
        });
}

void ImportOFXPanelController::buildWindow()
{
    setWindowTitle(localizedString("OFX Panel Title"));
    auto *layout = new QVBoxLayout(this);

    auto *fileRow = new QHBoxLayout;
    m_fileButton = new QPushButton(localizedString("OFX File"), this);
    m_fileButton->setAutoDefault(false);
    m_pathField = new QLineEdit(this);
    m_pathField->setReadOnly(true);
    fileRow->addWidget(m_fileButton);
    fileRow->addWidget(m_pathField, 1);
    layout->addLayout(fileRow);
    auto *hint = new QLabel(localizedString("OFX Read OFXFile Message"), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    m_model = new ImportOFXTableModel(this);
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->setWordWrap(false);
    const int widths[ColumnCount] = {90, 220, 100, 100, 130, 130, 130, 32};
    for (int c = 0; c < ColumnCount; ++c) m_table->setColumnWidth(c, widths[c]);
    m_table->horizontalHeader()->setSectionResizeMode(MemoColumn, QHeaderView::Stretch);
    layout->addWidget(m_table, 1);

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

    m_menu = new QMenu(this);
    const std::pair<int, const char *> items[] = {{MenuPartner, "OFX Menu Partner"}, {MenuCategory, "OFX Menu Category"},
                                                  {MenuAccount, "OFX Menu Account"}, {MenuReject, "OFX Menu Reject"},
                                                  {MenuAccept, "OFX Menu Accept"}};
    for (const auto &[tag, key] : items) {
        if (tag == MenuReject) m_menu->addSeparator();
        QAction *action = m_menu->addAction(localizedString(key));
        action->setData(tag);
        connect(action, &QAction::triggered, this, [this, tag = tag] { menuSelected(tag); });
    }

    connect(m_fileButton, &QPushButton::clicked, this, &ImportOFXPanelController::filePushed);
    connect(m_applyButton, &QPushButton::clicked, this, &ImportOFXPanelController::applyPushed);
    connect(m_detailBox, &QCheckBox::toggled, this, &ImportOFXPanelController::reload);
    connect(m_table, &QTableView::clicked, this,
            [this](const QModelIndex &index) { handleClick(index.column(), index.row()); });
    connect(m_table, &QWidget::customContextMenuRequested, this, &ImportOFXPanelController::showContextMenu);
    resize(960, 540);
}

// ---------------------------------------------------------------- reading

void ImportOFXPanelController::filePushed()
{
    const QString path = QFileDialog::getOpenFileName(this, localizedString("OFX Panel Title"));
    if (!path.isEmpty()) loadFile(path);
}

bool ImportOFXPanelController::loadFile(const QString &path)
{
    m_pathField->setText(path);
    m_rows.clear();
    m_accounts.clear();
    const cv::ImportFile file = cv::readImportFile(path);
    cv::StatementRead read;
    if (file.status == cv::ImportFileStatus::Read) read = cv::readStatement(file.data);
    m_rows = std::move(read.rows);
    m_accounts = std::move(read.accounts);
    static_cast<ImportOFXTableModel *>(m_model)->reset();
    updateButtons();
    if (file.status != cv::ImportFileStatus::Read)
        cv::alertImportFile(file.status, path, this);
    else if (read.status == cv::StatementRead::Status::Damaged)
        cv::alertDamaged(path, this);
    else if (read.status == cv::StatementRead::Status::NotRecognised)
        cv::alertNotRecognised(path, this);
    return file.status == cv::ImportFileStatus::Read && read.status == cv::StatementRead::Status::Read;
}

// ---------------------------------------------------------------- rows

QString ImportOFXPanelController::tempAccountName(int ident) const
{
    if (ident == 0 || !m_document) return QString();
    if (ident < 0) {
        const qsizetype at = -qsizetype(ident) - 1;
        return at < m_accounts.size() ? m_accounts[at] : QString();
    }
    const CVUnitModelPtr account = m_document->findAccount(ident);
    return account ? m_document->displayName(*account) : QString();
}

QString ImportOFXPanelController::cellText(int column, int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size() || !m_document) return QString();
    const CV4Actual &entry = *m_rows[size_t(row)];
    const bool outgoing = entry.flags() & cv::PendingOutgoing;
    switch (column) {
    case DateColumn: return cv::formatProgramDate(entry.date());
    case MemoColumn: return entry.memo();
    case DepositColumn:
    case WithdrawalColumn:
        if (outgoing != (column == WithdrawalColumn)) return QString();
        return m_document->stringForValueAccount(entry.amount(), std::max(entry.account(), 0));
    case CategoryColumn: {
        if (entry.kind() == CV4Actual::Transfer || entry.category() == 0) return QString();
        const CVUnitModelPtr node = entry.kind() == CV4Actual::Income ? m_document->findIncome(entry.category())
                                                                      : m_document->findExpense(entry.category());
        return node ? m_document->displayName(*node) : QString();
    }
    case AccountColumn:
        if (entry.account() < 0 && !m_detailBox->isChecked())
            return cv::formatString(localizedString("OFX Temp Account"), {-entry.account()});
        return tempAccountName(entry.account());
    case TransferColumn:
        return entry.kind() == CV4Actual::Transfer ? tempAccountName(entry.destination()) : QString();
    default: return QString();
    }
}

bool ImportOFXPanelController::isValid(CV4Actual &row, bool applyDefault) const
{
    if (row.account() < 1) {
        if (!applyDefault) return false;
        row.setAccount(kDefaultAccount);
    }
    // Compared after the default: a wallet row whose partner is the wallet
    // would move money from an account to itself.
    if (row.kind() == CV4Actual::Transfer) return row.destination() >= 1 && row.destination() != row.account();
    if (row.category() == 0) {
        if (!applyDefault) return false;
        row.setCategory(row.kind() == CV4Actual::Income ? CV4ActualModel::IncomeMisc : CV4ActualModel::ExpenseMisc);
    }
    return true;
}

bool ImportOFXPanelController::isValid(const CV4Actual &row) const
{
    CV4Actual copy(row);
    return isValid(copy, false);
}

int ImportOFXPanelController::completeDataCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const CV4ActualPtr &row) {
        if (row->kind() == CV4Actual::Transfer) return row->destination() != 0 && row->account() > 0;
        return row->category() != 0 && row->account() >= 1;
    }));
}

void ImportOFXPanelController::reload()
{
    static_cast<ImportOFXTableModel *>(m_model)->reload();
    updateButtons();
}

void ImportOFXPanelController::updateButtons()
{
    const bool hasRows = !m_rows.empty();
    m_okButton->setEnabled(hasRows && completeDataCount() > 0);
    m_applyButton->setEnabled(hasRows && !(m_memoMapping.isEmpty() && m_accountMapping.isEmpty()));
}

std::vector<int> ImportOFXPanelController::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ImportOFXPanelController::performInputDate(const QDate &date)
{
    if (!date.isValid()) return;
    bool changed = false;
    for (int row : selectedRows()) {
        CV4Actual &entry = *m_rows[size_t(row)];
        changed |= entry.date() != date;
        entry.setDate(date);
    }
    if (changed) reload();
}

void ImportOFXPanelController::setRejectStatus(bool rejected)
{
    for (int row : selectedRows()) {
        CV4Actual &entry = *m_rows[size_t(row)];
        entry.setFlags(rejected ? entry.flags() | cv::PendingRejected : entry.flags() & ~cv::PendingRejected);
    }
    reload();
}

// ---------------------------------------------------------------- clicks and choosers

void ImportOFXPanelController::handleClick(int column, int row)
{
    if (row < 0 || size_t(row) >= m_rows.size()) return;
    switch (column) {
    case TickColumn: {
        CV4Actual &entry = *m_rows[size_t(row)];
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

void ImportOFXPanelController::showContextMenu(const QPoint &position)
{
    const bool selected = !selectedRows().empty();
    for (QAction *action : m_menu->actions()) action->setEnabled(selected);
    m_menu->popup(m_table->viewport()->mapToGlobal(position));
}

void ImportOFXPanelController::menuSelected(int tag)
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

void ImportOFXPanelController::runChooser(int column, int row, const cv::ChooserItem &value,
                                          std::function<void(int)> picked)
{
    const QRect cell = m_table->visualRect(m_model->index(row, column));
    const QRect anchor(m_table->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    QPointer<ImportOFXPanelController> self(this);
    cv::CustomPopup::get()->run(m_table, anchor, cv::CustomPopup::Anchor::Cell, m_chooserSource.get(), value,
                                [self, picked = std::move(picked)](const cv::ChooserItem &item) {
                                    if (self && item.node()) picked(item.node()->ident());
                                });
}

void ImportOFXPanelController::changeCategory(int row)
{
    const CV4Actual &entry = *m_rows[size_t(row)];
    auto source = std::make_unique<cv::ActualDataSource>();
    source->setDocument(m_document, (entry.flags() & cv::PendingOutgoing) ? 2 : 1);
    m_chooserSource = std::move(source);
    runChooser(CategoryColumn, row, m_chooserSource->objectWithIdentifier(entry.category()),
               [this](int ident) { endActualPopup(ident); });
}

void ImportOFXPanelController::changeAccount(int row, int mode)
{
    const CV4Actual &entry = *m_rows[size_t(row)];
    m_chooserMode = mode;
    auto source = std::make_unique<cv::AccountDataSource>();
    source->setDocument(m_document, 255);
    m_chooserSource = std::move(source);
    runChooser(mode == 0 ? AccountColumn : TransferColumn, row,
               m_chooserSource->objectWithIdentifier(mode == 0 ? entry.account() : entry.destination()),
               [this](int ident) { endAccountPopup(ident); });
}

void ImportOFXPanelController::endActualPopup(int ident)
{
    if (ident <= 0) return;
    const bool expense = m_document->findExpense(ident) != nullptr;
    for (int row : selectedRows()) {
        CV4Actual &entry = *m_rows[size_t(row)];
        // A category of the other direction would turn money in into money out.
        if (bool(entry.flags() & cv::PendingOutgoing) != expense) continue;
        if (entry.kind() == CV4Actual::Transfer) {
            entry.setKind(expense ? CV4Actual::Expense : CV4Actual::Income);
            entry.setDestination(0);
        }
        entry.setCategory(ident);
        if (!entry.memo().isEmpty()) m_mappingChanged |= m_memoMapping.learn(entry.memo(), ident);
    }
    reload();
}

void ImportOFXPanelController::endAccountPopup(int ident)
{
    if (ident <= 0) return;
    for (int row : selectedRows()) {
        CV4Actual &entry = *m_rows[size_t(row)];
        if (m_chooserMode == 1) {
            entry.setKind(CV4Actual::Transfer);
            entry.setDestination(ident);
            if (!entry.memo().isEmpty()) m_mappingChanged |= m_memoMapping.learn(entry.memo(), -ident);
        } else {
            const int previous = entry.account();
            entry.setAccount(ident);
            const QString id = previous < 0 ? tempAccountName(previous) : QString();
            if (!id.isEmpty()) m_mappingChanged |= m_accountMapping.learn(id, ident);
        }
    }
    reload();
}

// ---------------------------------------------------------------- learned mappings

void ImportOFXPanelController::applyPushed()
{
    int changes = 0;
    for (const CV4ActualPtr &row : m_rows) {
        CV4Actual &entry = *row;
        if (entry.category() == 0 && !entry.memo().isEmpty()) {
            if (const std::optional<int> value = m_memoMapping.value(entry.memo())) {
                const cv::MappedTarget target =
                    cv::checkedTarget(*m_document, *value, entry.flags() & cv::PendingOutgoing);
                if (target.category) {
                    if (entry.kind() == CV4Actual::Transfer) {
                        entry.setKind((entry.flags() & cv::PendingOutgoing) ? CV4Actual::Expense : CV4Actual::Income);
                        entry.setDestination(0);
                    }
                    entry.setCategory(target.category);
                    ++changes;
                } else if (target.partner) {
                    entry.setKind(CV4Actual::Transfer);
                    entry.setDestination(target.partner);
                    ++changes;
                }
            }
        }
        if (entry.account() < 0) {
            if (const std::optional<int> value = m_accountMapping.value(tempAccountName(entry.account()))) {
                if (const int account = cv::checkedAccount(*m_document, *value)) {
                    entry.setAccount(account);
                    ++changes;
                }
            }
        }
    }
    if (changes > 0) reload();
}

// ---------------------------------------------------------------- commit

void ImportOFXPanelController::okPushed()
{
    const int complete = completeDataCount();
    if (complete == 0 || !m_document) return;
    bool applyDefaults = true;
    if (complete < int(m_rows.size())) {
        const int answer = CV4Alert::confirm3(
            localizedString("OFX Incomlete Title"), localizedString("OFX Incomlete"),
            {localizedString("OFX default"), localizedString("OFX ignore"), localizedString("Cancel")});
        if (answer < 0) return;
        applyDefaults = answer == 1;
    }
    if (commitRows(applyDefaults)) done(1);
}

bool ImportOFXPanelController::commitRows(bool applyDefaults)
{
    // The pending rows stay as they are until the edit has succeeded, so a
    // refused write leaves the sheet as the user left it.
    bool stored = false;
    const QMetaObject::Connection noted =
        connect(m_document, &CV4Document::entriesChanged, this, [&stored] { stored = true; });
    int written = 0;
    {
        cv::EditScope edit(*m_document);
        for (const CV4ActualPtr &row : m_rows) {
            if (row->flags() & cv::PendingRejected) continue;
            const auto entry = std::make_shared<CV4Actual>(*row);
            if (!isValid(*entry, applyDefaults)) continue;
            entry->setDestination(entry->kind() == CV4Actual::Transfer ? entry->destination() : 0);
            // Incoming transfers run from the partner into the statement account.
            if (entry->kind() == CV4Actual::Transfer && !(entry->flags() & cv::PendingOutgoing)) {
                const int account = entry->account();
                entry->setAccount(entry->destination());
                entry->setDestination(account);
            }
            cv::storePendingRow(*m_document, entry);
            ++written;
        }
        if (m_mappingChanged && !(m_memoMapping.write(*m_document, cv::StatementMemoMapping) &&
                                  m_accountMapping.write(*m_document, cv::StatementAccountMapping)))
            edit.fail();
    }
    disconnect(noted);
    if (written > 0 && !stored) return false;
    return true;
}
