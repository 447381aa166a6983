#include "import/ImportMobileDataPanelController.h"

#include "controls/AccountDataSource.h"
#include "controls/ActualDataSource.h"
#include "controls/CustomPopup.h"
#include "controls/DialogButtons.h"
#include "document/CV4Document.h"
#include "document/EditScope.h"
#include "import/ImportFile.h"
#include "import/ImportRowsModel.h"
#include "import/MobileEntryReader.h"
#include "import/PendingRows.h"
#include "import/TransferImportPanelController.h"
#include "model/CV4ActualModel.h"
#include "controls/OpenSheet.h"
#include "platform/CV4Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

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

ImportMobileDataPanelController::ImportMobileDataPanelController(CV4Document *document, QWidget *parent)
    : QDialog(parent), m_document(document)
{
    Q_ASSERT(document);
    if (m_document) {
        m_categoryMapping = cv::LearnedMapping::read(*m_document, cv::MobileCategoryMapping);
        m_accountMapping = cv::LearnedMapping::read(*m_document, cv::MobileAccountMapping);
    }
    buildWindow();
    updateButtons();
}

ImportMobileDataPanelController::~ImportMobileDataPanelController()
{
    if (cv::CustomPopup *popup = cv::CustomPopup::existing(); popup && popup->targetView() == m_table)
        popup->mustClose();
}

ImportMobileDataPanelController *ImportMobileDataPanelController::openImportPanel(CV4Document *document, QWidget *parent,
                                                                                  std::function<void(int)> done)
{
    if (!document) return nullptr;
    return cv::openSheet<ImportMobileDataPanelController>(
        new ImportMobileDataPanelController(document, parent), parent,
        [done = std::move(done)](int code, ImportMobileDataPanelController *) {
            if (done) done(code);
        });
}

void ImportMobileDataPanelController::buildWindow()
{
    setWindowTitle(localizedString("Import Mobile Title"));
    auto *layout = new QVBoxLayout(this);
    auto *fileRow = new QHBoxLayout;
    auto *fileButton = new QPushButton(localizedString("OFX File"), this);
    fileButton->setAutoDefault(false);
    m_pathField = new QLineEdit(this);
    m_pathField->setReadOnly(true);
    fileRow->addWidget(fileButton);
    fileRow->addWidget(m_pathField, 1);
    layout->addLayout(fileRow);

    const char *const headers[ColumnCount] = {"OFX Column Date",     "Import Mobile Column Name", "OFX Column Category",
                                              "Import Mobile Column Account Name", "OFX Column Account",
                                              "ImportText Column Income", "ImportText Column Expense", "OFX Column Memo"};
    QStringList titles;
    for (const char *key : headers) titles << localizedString(key);
    cv::ImportRowsModel::Client client;
    client.rowCount = [this] { return int(m_rows.size()); };
    client.text = [this](int column, int row) { return cellText(column, row); };
    client.colour = [this](int row) {
        const CV4Actual &entry = *m_rows[size_t(row)].entry;
        if (entry.flags() & cv::PendingRejected) return QColor(Qt::red);
        return isValid(entry) ? QColor() : QColor(Qt::gray);
    };
    client.rightAligned = [](int column) { return column == IncomeColumn || column == ExpenseColumn; };
    client.tick = [this](int column, int row) {
        return column == DateColumn ? std::optional<bool>(m_rows[size_t(row)].tick) : std::nullopt;
    };
    m_model = new cv::ImportRowsModel(titles, std::move(client), this);
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setWordWrap(false);
    const int widths[ColumnCount] = {110, 125, 150, 125, 110, 90, 90, 160};
    for (int c = 0; c < ColumnCount; ++c) m_table->setColumnWidth(c, widths[c]);
    m_table->horizontalHeader()->setSectionResizeMode(MemoColumn, QHeaderView::Stretch);
    layout->addWidget(m_table, 1);

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

    m_menu = new QMenu(this);
    const std::pair<int, const char *> items[] = {{MenuTransfer, "Import Mobile Menu Transfer"},
                                                  {MenuCategory, "OFX Menu Category"},
                                                  {MenuAccount, "OFX Menu Account"},
                                                  {MenuReject, "OFX Menu Reject"},
                                                  {MenuAccept, "OFX Menu Accept"}};
    for (const auto &[tag, key] : items) {
        if (tag == MenuReject) m_menu->addSeparator();
        QAction *action = m_menu->addAction(localizedString(key));
        action->setData(tag);
        connect(action, &QAction::triggered, this, [this, tag = tag] { menuSelected(tag); });
    }
    m_transferPanel = new TransferImportPanelController(this);

    connect(fileButton, &QPushButton::clicked, this, &ImportMobileDataPanelController::filePushed);
    connect(m_applyButton, &QPushButton::clicked, this, &ImportMobileDataPanelController::applyPushed);
    connect(m_table, &QTableView::clicked, this, [this](const QModelIndex &i) { handleClick(i.column(), i.row()); });
    connect(m_table, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        const bool selected = !selectedRows().empty();
        for (QAction *action : m_menu->actions()) action->setEnabled(selected);
        m_menu->popup(m_table->viewport()->mapToGlobal(at));
    });
    resize(1000, 560);
}

// ---------------------------------------------------------------- reading

void ImportMobileDataPanelController::filePushed()
{
    const QString path = QFileDialog::getOpenFileName(this, localizedString("Import Mobile Title"));
    if (!path.isEmpty()) loadFile(path);
}

bool ImportMobileDataPanelController::loadFile(const QString &path)
{
    m_pathField->setText(path);
    m_rows.clear();
    const cv::ImportFile file = cv::readImportFile(path);
    if (file.status == cv::ImportFileStatus::Read)
        for (cv::MobileEntry &read : cv::readMobileEntries(file.data))
            m_rows.push_back({false, std::move(read.categoryName), std::move(read.accountName), std::move(read.entry)});
    m_model->reset();
    updateButtons();
    cv::alertImportFile(file.status, path, this);
    return file.status == cv::ImportFileStatus::Read;
}

// ---------------------------------------------------------------- rows

bool ImportMobileDataPanelController::isValid(const CV4Actual &entry) const
{
    if (entry.account() < 1) return false;
    if (entry.kind() == CV4Actual::Transfer) return entry.destination() >= 1 && entry.destination() != entry.account();
    return entry.category() >= 1;
}

int ImportMobileDataPanelController::completeDataCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const Row &row) {
        return row.tick && !(row.entry->flags() & cv::PendingRejected);
    }));
}

QString ImportMobileDataPanelController::cellText(int column, int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size() || !m_document) return QString();
    const Row &line = m_rows[size_t(row)];
    const CV4Actual &entry = *line.entry;
    auto accountName = [this](int ident) {
        const CVUnitModelPtr node = ident > 0 ? m_document->findAccount(ident) : nullptr;
        return node ? m_document->displayName(*node) : QString();
    };
    switch (column) {
    case DateColumn: return cv::formatProgramDate(entry.date());
    case NameColumn: return line.categoryName;
    case CategoryColumn: {
        if (entry.kind() == CV4Actual::Transfer)
            return cv::formatString(QStringLiteral("%@ → %@"),
                                    {localizedString("BankBook-CacheOut"), accountName(entry.destination())});
        if (entry.category() == 0) return QString();
        const CVUnitModelPtr node = entry.kind() == CV4Actual::Income ? m_document->findIncome(entry.category())
                                                                      : m_document->findExpense(entry.category());
        return node ? m_document->displayName(*node) : QString();
    }
    case AccountNameColumn: return line.accountName;
    case AccountColumn: return accountName(entry.account());
    case IncomeColumn:
    case ExpenseColumn:
        if ((entry.kind() == CV4Actual::Income) != (column == IncomeColumn)) return QString();
        return m_document->stringForValueAccount(entry.amount(), std::max(entry.account(), 0));
    case MemoColumn: return entry.memo();
    default: return QString();
    }
}

void ImportMobileDataPanelController::reload()
{
    m_model->reload();
    updateButtons();
}

void ImportMobileDataPanelController::updateButtons()
{
    m_okButton->setEnabled(completeDataCount() > 0);
    m_applyButton->setEnabled(!m_rows.empty() && !(m_categoryMapping.isEmpty() && m_accountMapping.isEmpty()));
}

std::vector<int> ImportMobileDataPanelController::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ImportMobileDataPanelController::setRejectStatus(bool rejected)
{
    for (int row : selectedRows()) {
        CV4Actual &entry = *m_rows[size_t(row)].entry;
        entry.setFlags(rejected ? entry.flags() | cv::PendingRejected : entry.flags() & ~cv::PendingRejected);
    }
    reload();
}

void ImportMobileDataPanelController::applyPushed()
{
    int changes = 0;
    for (Row &row : m_rows) {
        CV4Actual &entry = *row.entry;
        if (entry.category() == 0 && entry.kind() != CV4Actual::Transfer && !row.categoryName.isEmpty()) {
            if (const std::optional<int> value = m_categoryMapping.value(row.categoryName)) {
                const cv::MappedTarget target =
                    cv::checkedTarget(*m_document, *value, entry.flags() & cv::PendingOutgoing);
                if (target.category) {
                    entry.setCategory(target.category);
                    ++changes;
                } else if (target.partner) {
                    entry.setKind(CV4Actual::Transfer);
                    entry.setDestination(target.partner);
                    ++changes;
                }
            }
        }
        if (entry.account() == 0 && !row.accountName.isEmpty()) {
            if (const std::optional<int> value = m_accountMapping.value(row.accountName)) {
                if (const int account = cv::checkedAccount(*m_document, *value)) {
                    entry.setAccount(account);
                    ++changes;
                }
            }
        }
        if (isValid(entry)) row.tick = true;
    }
    if (changes > 0) reload();
}

// ---------------------------------------------------------------- choosers and transfers

void ImportMobileDataPanelController::handleClick(int column, int row)
{
    if (row < 0 || size_t(row) >= m_rows.size()) return;
    if (column == CategoryColumn) changeCategory(row);
    if (column == AccountColumn) changeAccount(row);
}

void ImportMobileDataPanelController::menuSelected(int tag)
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

void ImportMobileDataPanelController::openTransfer(const std::vector<int> &rows)
{
    std::vector<CV4ActualPtr> entries;
    for (int row : rows) entries.push_back(m_rows[size_t(row)].entry);
    const QRect cell = m_table->visualRect(m_model->index(0, NameColumn));
    QPointer<ImportMobileDataPanelController> self(this);
    m_transferPanel->runWithDocument(m_document, [self] { if (self) self->finishedTransferEditing(); },
                                     std::move(entries), m_table->viewport()->mapToGlobal(cell.topLeft()));
}

void ImportMobileDataPanelController::finishedTransferEditing()
{
    for (int row : selectedRows()) {
        Row &line = m_rows[size_t(row)];
        const CV4Actual &entry = *line.entry;
        if (isValid(entry)) line.tick = true;
        // An empty name would later fill every unnamed row.
        if (!line.categoryName.isEmpty() && entry.destination() > 0)
            m_mappingChanged |= m_categoryMapping.learn(line.categoryName, -entry.destination());
        if (!line.accountName.isEmpty() && entry.account() > 0)
            m_mappingChanged |= m_accountMapping.learn(line.accountName, entry.account());
    }
    reload();
}

void ImportMobileDataPanelController::runChooser(int column, int row, const cv::ChooserItem &value,
                                                 std::function<void(int)> picked)
{
    const QRect cell = m_table->visualRect(m_model->index(row, column));
    const QRect anchor(m_table->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    QPointer<ImportMobileDataPanelController> self(this);
    cv::CustomPopup::get()->run(m_table, anchor, cv::CustomPopup::Anchor::Cell, m_chooserSource.get(), value,
                                [self, picked = std::move(picked)](const cv::ChooserItem &item) {
                                    if (self && item.node()) picked(item.node()->ident());
                                });
}

void ImportMobileDataPanelController::changeCategory(int row)
{
    auto source = std::make_unique<cv::ActualDataSource>();
    source->setDocument(m_document, 16);
    m_chooserSource = std::move(source);
    runChooser(CategoryColumn, row, m_chooserSource->objectWithIdentifier(m_rows[size_t(row)].entry->category()),
               [this](int ident) { endActualPopup(ident); });
}

void ImportMobileDataPanelController::changeAccount(int row)
{
    auto source = std::make_unique<cv::AccountDataSource>();
    source->setDocument(m_document, 255);
    m_chooserSource = std::move(source);
    runChooser(AccountColumn, row, m_chooserSource->objectWithIdentifier(m_rows[size_t(row)].entry->account()),
               [this](int ident) { endAccountPopup(ident); });
}

void ImportMobileDataPanelController::endActualPopup(int ident)
{
    if (ident <= 0) {
        updateButtons();
        return;
    }
    for (int row : selectedRows()) {
        Row &line = m_rows[size_t(row)];
        CV4Actual &entry = *line.entry;
        if (ident == kTransferItem) {
            openTransfer({row});
            return;
        }
        if (entry.kind() == CV4Actual::Transfer) {
            entry.setKind((entry.flags() & cv::PendingOutgoing) ? CV4Actual::Expense : CV4Actual::Income);
            entry.setDestination(0);
        }
        const bool fits = entry.kind() == CV4Actual::Income ? m_document->findIncome(ident) != nullptr
                                                            : m_document->findExpense(ident) != nullptr;
        if (!fits) {
            entry.setCategory(0);
            line.tick = false;
            reload();
            return;
        }
        entry.setCategory(ident);
        if (isValid(entry)) line.tick = true;
        if (!line.categoryName.isEmpty()) m_mappingChanged |= m_categoryMapping.learn(line.categoryName, ident);
    }
    reload();
}

void ImportMobileDataPanelController::endAccountPopup(int ident)
{
    if (ident > 0) {
        for (int row : selectedRows()) {
            Row &line = m_rows[size_t(row)];
            line.entry->setAccount(ident);
            line.tick = isValid(*line.entry);
            if (!line.accountName.isEmpty()) m_mappingChanged |= m_accountMapping.learn(line.accountName, ident);
        }
        m_model->reload();
    }
    updateButtons();
}

// ---------------------------------------------------------------- commit

void ImportMobileDataPanelController::okPushed()
{
    if (!m_document || completeDataCount() == 0) return;
    if (!CV4Alert::confirm(localizedString("Import Mobile Confirm Title"), localizedString("Import Mobile Confirm Message"),
                           localizedString("OFX default"), localizedString("Cancel")))
        return;
    if (commitRows()) done(1);
}

bool ImportMobileDataPanelController::commitRows()
{
    bool stored = false;
    const QMetaObject::Connection noted =
        connect(m_document, &CV4Document::entriesChanged, this, [&stored] { stored = true; });
    int written = 0;
    {
        cv::EditScope edit(*m_document);
        for (const Row &row : m_rows) {
            if (!row.tick || (row.entry->flags() & cv::PendingRejected)) continue;
            const auto entry = std::make_shared<CV4Actual>(*row.entry);
            // A tick may be older than the row's last change: the account is checked again.
            if (entry->account() < 1 || !m_document->findAccount(entry->account())) continue;
            if (entry->kind() == CV4Actual::Transfer) {
                if (entry->destination() == entry->account() || !m_document->findAccount(entry->destination())) continue;
            } else {
                entry->setDestination(0);
                if (!isValid(*entry))
                    entry->setCategory(entry->kind() == CV4Actual::Income ? CV4ActualModel::IncomeMisc
                                                                          : CV4ActualModel::ExpenseMisc);
            }
            cv::storePendingRow(*m_document, entry);
            ++written;
        }
        if (m_mappingChanged && !(m_categoryMapping.write(*m_document, cv::MobileCategoryMapping) &&
                                  m_accountMapping.write(*m_document, cv::MobileAccountMapping)))
            edit.fail();
    }
    disconnect(noted);
    // The write path keeps every balance current: no rebuild after it.
    return written == 0 || stored;
}
