#include "import/ImportTextPanelController.h"

#include "controls/AccountDataSource.h"
#include "controls/ActualDataSource.h"
#include "controls/CustomPopup.h"
#include "controls/DialogButtons.h"
#include "document/CV4Document.h"
#include "document/EditScope.h"
#include "import/ImportFile.h"
#include "import/ImportRowsModel.h"
#include "import/PendingRows.h"
#include "import/TextStatementReader.h"
#include "model/CV4ActualModel.h"
#include "controls/OpenSheet.h"
#include "platform/CV4Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
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
constexpr int kImportAccountKinds = 91;   // cash, bank, other asset, card, other debt
constexpr int kAllAccountKinds = 255;
}

ImportTextPanelController::ImportTextPanelController(CV4Document *document, QWidget *parent)
    : QDialog(parent), m_document(document), m_accounts(std::make_unique<cv::AccountDataSource>())
{
    Q_ASSERT(document);
    if (m_document) m_mapping = cv::LearnedMapping::read(*m_document, cv::TextMapping);
    buildWindow();
    updateButtons();
}

ImportTextPanelController::~ImportTextPanelController()
{
    if (cv::CustomPopup *popup = cv::CustomPopup::existing(); popup && popup->targetView() == m_table)
        popup->mustClose();
}

ImportTextPanelController *ImportTextPanelController::openImportPanel(CV4Document *document, QWidget *parent,
                                                                      std::function<void(int)> done)
{
    if (!document) return nullptr;
    return cv::openSheet<ImportTextPanelController>(new ImportTextPanelController(document, parent), parent,
                                                    [done = std::move(done)](int code, ImportTextPanelController *) {
                                                        if (done) done(code);
                                                    });
}

void ImportTextPanelController::buildWindow()
{
    setWindowTitle(localizedString("ImportText Title"));
    auto *layout = new QVBoxLayout(this);
    auto *fileRow = new QHBoxLayout;
    auto *fileButton = new QPushButton(localizedString("OFX File"), this);
    fileButton->setAutoDefault(false);
    m_pathField = new QLineEdit(this);
    m_pathField->setReadOnly(true);
    m_encodingBox = new QComboBox(this);
    const std::pair<cv::TextEncoding, const char *> encodings[] = {
        {cv::TextEncoding::Utf8, "ImportText Encoding UTF8"}, {cv::TextEncoding::ShiftJis, "ImportText Encoding SJIS"},
        {cv::TextEncoding::EucJp, "ImportText Encoding EUC"}, {cv::TextEncoding::Windows1252, "ImportText Encoding Latin"}};
    for (const auto &[encoding, key] : encodings) m_encodingBox->addItem(localizedString(key), int(encoding));
    fileRow->addWidget(fileButton);
    fileRow->addWidget(m_pathField, 1);
    fileRow->addWidget(new QLabel(localizedString("ImportText Encoding"), this));
    fileRow->addWidget(m_encodingBox);
    layout->addLayout(fileRow);

    auto *accountRow = new QHBoxLayout;
    m_accountBox = new QComboBox(this);
    m_accountBox->setEditable(true);
    m_accountBox->setInsertPolicy(QComboBox::NoInsert);
    m_accountBox->completer()->setCompletionMode(QCompleter::PopupCompletion);
    m_accountBox->completer()->setFilterMode(Qt::MatchContains);
    m_accountBox->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    m_accounts->setDocument(m_document, kImportAccountKinds, true);
    for (const cv::ChooserItem &item : m_accounts->objects())
        if (item.node()) m_accountBox->addItem(m_document->displayName(*item.node()), item.ident());
    m_accountBox->setCurrentIndex(-1);
    m_accountBox->setMinimumWidth(200);
    m_accountBox->installEventFilter(this);
    accountRow->addWidget(new QLabel(localizedString("ImportText Account"), this));
    accountRow->addWidget(m_accountBox);
    accountRow->addStretch(1);
    layout->addLayout(accountRow);
    auto *hint = new QLabel(localizedString("OFX Read CSVFile Message"), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    const char *const headers[ColumnCount] = {"OFX Column Date",     "OFX Column Memo",     "ImportText Column Income",
                                              "ImportText Column Expense", "OFX Column Category", "OFX Column Transfer",
                                              "ImportText Column Text"};
    QStringList titles;
    for (const char *key : headers) titles << localizedString(key);
    cv::ImportRowsModel::Client client;
    client.rowCount = [this] { return int(m_rows.size()); };
    client.text = [this](int column, int row) { return cellText(column, row); };
    client.colour = [this](int row) {
        const CV4Actual &entry = *m_rows[size_t(row)];
        if (entry.flags() & cv::PendingRejected) return QColor(Qt::red);
        return isValid(entry) ? QColor() : QColor(Qt::gray);
    };
    client.rightAligned = [](int column) { return column == IncomeColumn || column == ExpenseColumn; };
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
    const int widths[ColumnCount] = {90, 200, 100, 100, 130, 130, 110};
    for (int c = 0; c < ColumnCount; ++c) m_table->setColumnWidth(c, widths[c]);
    m_table->horizontalHeader()->setSectionResizeMode(MemoColumn, QHeaderView::Stretch);
    layout->addWidget(m_table, 1);
    auto *transferLabel = new QLabel(localizedString("ImportText Transfer Message"), this);
    transferLabel->setWordWrap(true);
    layout->addWidget(transferLabel);
    m_okButton = cv::addOkCancelButtons(this, layout).ok;

    m_menu = new QMenu(this);
    const std::pair<int, const char *> items[] = {{MenuPartner, "OFX Menu Partner"}, {MenuCategory, "OFX Menu Category"},
                                                  {MenuReject, "OFX Menu Reject"}, {MenuAccept, "OFX Menu Accept"}};
    for (const auto &[tag, key] : items) {
        if (tag == MenuReject) m_menu->addSeparator();
        QAction *action = m_menu->addAction(localizedString(key));
        action->setData(tag);
        connect(action, &QAction::triggered, this, [this, tag = tag] { menuSelected(tag); });
    }
    connect(fileButton, &QPushButton::clicked, this, &ImportTextPanelController::filePushed);
    connect(m_accountBox, &QComboBox::activated, this, &ImportTextPanelController::accountPushed);
    connect(m_table, &QTableView::clicked, this, [this](const QModelIndex &i) { handleClick(i.column(), i.row()); });
    connect(m_table, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        const std::vector<int> rows = selectedRows();
        const bool open = rows.size() == 1 && !(m_rows[size_t(rows.front())]->flags() & cv::PendingRejected);
        for (QAction *action : m_menu->actions()) {
            const int tag = action->data().toInt();
            action->setEnabled(tag == MenuPartner || tag == MenuCategory ? open : !rows.empty());
        }
        m_menu->popup(m_table->viewport()->mapToGlobal(at));
    });
    resize(980, 560);
}

// Return in the account box picks the account; it must not also press OK.
bool ImportTextPanelController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_accountBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;   // the box has taken it
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------- reading

void ImportTextPanelController::filePushed()
{
    const QString path = QFileDialog::getOpenFileName(this, localizedString("ImportText Title"));
    if (!path.isEmpty()) loadFile(path);
}

bool ImportTextPanelController::loadFile(const QString &path)
{
    m_pathField->setText(path);
    m_rows.clear();
    m_texts.clear();
    const cv::ImportFile file = cv::readImportFile(path);
    if (file.status == cv::ImportFileStatus::Read) {
        cv::TextStatementRead read =
            cv::readTextStatement(file.data, cv::TextEncoding(m_encodingBox->currentData().toInt()));
        m_rows = std::move(read.rows);
        m_texts = std::move(read.categoryTexts);
        initializeMapping();
    }
    m_model->reset();
    updateButtons();
    cv::alertImportFile(file.status, path, this);
    return file.status == cv::ImportFileStatus::Read;
}

void ImportTextPanelController::initializeMapping()
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        CV4Actual &row = *m_rows[i];
        const QStringList key = mappingKey(int(i));
        if (key.isEmpty()) continue;
        const std::optional<int> value = m_mapping.value(key);
        if (!value) continue;
        const bool outgoing = row.flags() & cv::PendingOutgoing;
        const cv::MappedTarget target = cv::checkedTarget(*m_document, *value, outgoing);
        if (target.category) {
            row.setCategory(target.category);
        } else if (target.partner) {
            row.setKind(CV4Actual::Transfer);
            outgoing ? row.setDestination(target.partner) : row.setAccount(target.partner);
        }
    }
}

void ImportTextPanelController::accountPushed(int index)
{
    if (index < 0) return;
    m_importAccount = m_accountBox->itemData(index).toInt();
    reload();
}

// ---------------------------------------------------------------- rows

int ImportTextPanelController::partnerOf(const CV4Actual &row) const
{
    return (row.flags() & cv::PendingOutgoing) ? row.destination() : row.account();
}

// The record-104 key of a row: its category text, else its memo; none when both are empty.
QStringList ImportTextPanelController::mappingKey(int row) const
{
    const CV4Actual &entry = *m_rows[size_t(row)];
    const QString text = m_texts.value(row);
    const QString direction = QLatin1String((entry.flags() & cv::PendingOutgoing) ? "expense" : "income");
    if (!text.isEmpty()) return {text, QStringLiteral("palm"), direction};
    if (!entry.memo().isEmpty()) return {entry.memo(), QStringLiteral("memo"), direction};
    return {};
}

bool ImportTextPanelController::isValid(const CV4Actual &row) const
{
    if (row.kind() == CV4Actual::Transfer) return partnerOf(row) >= 1 && partnerOf(row) != m_importAccount;
    return row.category() != 0;
}

QString ImportTextPanelController::cellText(int column, int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size() || !m_document) return QString();
    const CV4Actual &entry = *m_rows[size_t(row)];
    const bool outgoing = entry.flags() & cv::PendingOutgoing;
    switch (column) {
    case DateColumn: return cv::formatProgramDate(entry.date());
    case MemoColumn: return entry.memo();
    case IncomeColumn:
    case ExpenseColumn:
        if (outgoing != (column == ExpenseColumn)) return QString();
        return m_document->stringForValueAccount(entry.amount(), std::max(m_importAccount, 0));
    case CategoryColumn: {
        if (entry.kind() == CV4Actual::Transfer || entry.category() == 0) return QString();
        const CVUnitModelPtr node = entry.kind() == CV4Actual::Income ? m_document->findIncome(entry.category())
                                                                      : m_document->findExpense(entry.category());
        return node ? m_document->displayName(*node) : QString();
    }
    case PartnerColumn: {
        if (entry.kind() != CV4Actual::Transfer) return QString();
        const CVUnitModelPtr node = partnerOf(entry) > 0 ? m_document->findAccount(partnerOf(entry)) : nullptr;
        return node ? m_document->displayName(*node) : QString();
    }
    case TextColumn: return m_texts.value(row);
    default: return QString();
    }
}

void ImportTextPanelController::reload()
{
    m_model->reload();
    updateButtons();
}

void ImportTextPanelController::updateButtons()
{
    const bool selfTransfer = std::any_of(m_rows.begin(), m_rows.end(), [this](const CV4ActualPtr &row) {
        return row->kind() == CV4Actual::Transfer && partnerOf(*row) == m_importAccount;
    });
    m_okButton->setEnabled(!m_rows.empty() && !m_pathField->text().isEmpty() && !selfTransfer);
}

std::vector<int> ImportTextPanelController::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ImportTextPanelController::performInputDate(const QDate &date)
{
    if (!date.isValid()) return;
    for (int row : selectedRows()) m_rows[size_t(row)]->setDate(date);
    reload();
}

void ImportTextPanelController::setRejectStatus(bool rejected)
{
    for (int row : selectedRows()) {
        CV4Actual &entry = *m_rows[size_t(row)];
        entry.setFlags(rejected ? entry.flags() | cv::PendingRejected : entry.flags() & ~cv::PendingRejected);
    }
    reload();
}

// ---------------------------------------------------------------- choosers

void ImportTextPanelController::handleClick(int column, int row)
{
    if (row < 0 || size_t(row) >= m_rows.size()) return;
    if (column == CategoryColumn) changeCategory(row);
    if (column == PartnerColumn) changeAccount(row);
}

void ImportTextPanelController::menuSelected(int tag)
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) return;
    switch (tag) {
    case MenuPartner: changeAccount(rows.front()); break;
    case MenuCategory: changeCategory(rows.front()); break;
    case MenuReject: setRejectStatus(true); break;
    case MenuAccept: setRejectStatus(false); break;
    default: break;
    }
}

void ImportTextPanelController::runChooser(int column, int row, const cv::ChooserItem &value,
                                           std::function<void(int)> picked)
{
    const QRect cell = m_table->visualRect(m_model->index(row, column));
    const QRect anchor(m_table->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    QPointer<ImportTextPanelController> self(this);
    cv::CustomPopup::get()->run(m_table, anchor, cv::CustomPopup::Anchor::Cell, m_chooserSource.get(), value,
                                [self, picked = std::move(picked)](const cv::ChooserItem &item) {
                                    if (self && item.node()) picked(item.node()->ident());
                                });
}

void ImportTextPanelController::changeCategory(int row)
{
    const CV4Actual &entry = *m_rows[size_t(row)];
    auto source = std::make_unique<cv::ActualDataSource>();
    source->setDocument(m_document, (entry.flags() & cv::PendingOutgoing) ? 2 : 1);
    m_chooserSource = std::move(source);
    runChooser(CategoryColumn, row, m_chooserSource->objectWithIdentifier(entry.category()),
               [this, row](int ident) { endPopup(row, ident, false); });
}

void ImportTextPanelController::changeAccount(int row)
{
    const CV4Actual &entry = *m_rows[size_t(row)];
    auto source = std::make_unique<cv::AccountDataSource>();
    source->setDocument(m_document, kAllAccountKinds);
    if (m_importAccount > 0) source->exclude(m_document->findAccount(m_importAccount));
    m_chooserSource = std::move(source);
    runChooser(PartnerColumn, row, m_chooserSource->objectWithIdentifier(partnerOf(entry)),
               [this, row](int ident) { endPopup(row, ident, true); });
}

void ImportTextPanelController::endPopup(int changed, int ident, bool partner)
{
    if (ident < 1 || size_t(changed) >= m_rows.size()) {
        updateButtons();
        return;
    }
    const CV4Actual &model = *m_rows[size_t(changed)];
    const bool outgoing = model.flags() & cv::PendingOutgoing;
    const QStringList key = mappingKey(changed);
    auto sameKey = [&](int row) {
        return !key.isEmpty() && bool(m_rows[size_t(row)]->flags() & cv::PendingOutgoing) == outgoing &&
               mappingKey(row) == key;
    };
    std::vector<int> rows = selectedRows();
    if (rows.empty()) rows.push_back(changed);
    bool others = false;
    for (int row = 0; row < int(m_rows.size()) && !others; ++row)
        others = !std::binary_search(rows.begin(), rows.end(), row) && sameKey(row);
    if (others && CV4Alert::confirm(localizedString("ImportText Same Memo Title"),
                                    localizedString(partner ? "ImportText Same Memo Account"
                                                            : "ImportText Same Memo Category"))) {
        rows.clear();
        for (int row = 0; row < int(m_rows.size()); ++row)
            if (sameKey(row)) rows.push_back(row);
    }
    for (int row : rows) {
        CV4Actual &entry = *m_rows[size_t(row)];
        // Money in never takes an expense category or pays a partner, and the reverse.
        if (bool(entry.flags() & cv::PendingOutgoing) != outgoing) continue;
        if (partner) {
            entry.setKind(CV4Actual::Transfer);
            outgoing ? entry.setDestination(ident) : entry.setAccount(ident);
        } else {
            entry.setKind(outgoing ? CV4Actual::Expense : CV4Actual::Income);
            entry.setAccount(0);
            entry.setDestination(0);
            entry.setCategory(ident);
        }
    }
    if (!key.isEmpty()) m_mappingChanged |= m_mapping.learn(key, partner ? -ident : ident);
    reload();
}

// ---------------------------------------------------------------- commit

void ImportTextPanelController::okPushed()
{
    if (!m_document || m_rows.empty()) return;
    if (m_importAccount < 1 || !m_document->findAccount(m_importAccount)) {
        CV4Alert::alert(localizedString("ImportText No Select Account Title"),
                        localizedString("ImportText No Select Account"), this);
        return;
    }
    bool ignoring = false;
    bool asked = false;
    for (const CV4ActualPtr &row : m_rows) {
        if ((row->flags() & cv::PendingRejected) || isValid(*row)) continue;
        if (!asked) {
            asked = true;
            const int answer = CV4Alert::confirm3(
                localizedString("ImportText Incomplete Title"), localizedString("ImportText Incomplete"),
                {localizedString("OFX default"), localizedString("OFX ignore"), localizedString("Cancel")});
            if (answer < 0) return;
            ignoring = answer == 0;
        }
        if (ignoring) row->setFlags(row->flags() | cv::PendingRejected);
    }
    if (commitRows(!ignoring)) done(1);
}

bool ImportTextPanelController::commitRows(bool applyDefaults)
{
    const CV4CurrencyPtr currency = m_document->findCurrency(m_document->currencyOfAccount(m_importAccount));
    const int digits = currency ? currency->fraction() : 0;
    bool stored = false;
    const QMetaObject::Connection noted =
        connect(m_document, &CV4Document::entriesChanged, this, [&stored] { stored = true; });
    int written = 0;
    {
        cv::EditScope edit(*m_document);
        for (const CV4ActualPtr &row : m_rows) {
            if (row->flags() & cv::PendingRejected) continue;
            const bool valid = isValid(*row);
            if (!valid && !applyDefaults) continue;
            const auto entry = std::make_shared<CV4Actual>(*row);
            // Read whatever the account; stored as its currency keeps amounts.
            entry->setAmount(CV4Document::numberForRoundString(QString::number(row->amount(), 'f', 9), digits));
            if (entry->kind() == CV4Actual::Transfer) {
                if (!valid) continue;
                (entry->flags() & cv::PendingOutgoing) ? entry->setAccount(m_importAccount)
                                                       : entry->setDestination(m_importAccount);
            } else {
                entry->setAccount(m_importAccount);
                entry->setDestination(0);
                if (!valid)
                    entry->setCategory(entry->kind() == CV4Actual::Income ? CV4ActualModel::IncomeMisc
                                                                          : CV4ActualModel::ExpenseMisc);
            }
            cv::storePendingRow(*m_document, entry);
            ++written;
        }
        if (m_mappingChanged && !m_mapping.write(*m_document, cv::TextMapping)) edit.fail();
    }
    disconnect(noted);
    // The write path keeps every balance current: no rebuild after it.
    return written == 0 || stored;
}
