#include "import/ImportTextSheet.h"

#include "controls/AccountChooserModel.h"
#include "controls/CategoryChooserModel.h"
#include "controls/DialogButtons.h"
#include "document/Book.h"
#include "import/EncodingGuess.h"
#include "import/ImportFile.h"
#include "import/PendingRows.h"
#include "import/StatementValues.h"
#include "import/TextDecoder.h"
#include "import/TextStatementReader.h"
#include "model/CategoryTrees.h"
#include "platform/Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace cv {

using cv::localizedString;

namespace {
constexpr int kImportAccountKinds = 91; // cash, bank, other asset, card, other debt
constexpr int kAllAccountKinds = 255;

} // namespace

ImportTextSheet::ImportTextSheet(Book *document, QWidget *parent)
    : EntryImportSheet(document, parent, {cv::TextMapping})
{
    buildWindow();
    updateButtons();
}

void ImportTextSheet::buildWindow()
{
    setWindowTitle(localizedString("ImportText Title"));
    auto *layout = new QVBoxLayout(this);
    QHBoxLayout *fileRow = addFileRow(layout, localizedString("ImportText File Types"));
    m_encodingBox = new QComboBox(this);
    for (cv::TextEncoding encoding :
         {cv::TextEncoding::Utf8, cv::TextEncoding::ShiftJis, cv::TextEncoding::EucJp, cv::TextEncoding::Windows1252})
        m_encodingBox->addItem(encodingName(encoding), int(encoding));
    fileRow->addWidget(new QLabel(localizedString("ImportText Encoding"), this));
    fileRow->addWidget(m_encodingBox);
    connect(m_encodingBox, &QComboBox::activated, this, &ImportTextSheet::encodingChosen);

    auto *accountRow = new QHBoxLayout;
    m_accountBox = new QComboBox(this);
    m_accountBox->setEditable(true);
    m_accountBox->setInsertPolicy(QComboBox::NoInsert);
    m_accountBox->completer()->setCompletionMode(QCompleter::PopupCompletion);
    m_accountBox->completer()->setFilterMode(Qt::MatchContains);
    m_accountBox->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    cv::AccountChooserModel accounts;
    accounts.setDocument(m_document, kImportAccountKinds, true);
    for (const cv::ChooserItem &item : accounts.objects())
        if (item.node()) m_accountBox->addItem(m_document->displayName(*item.node()), item.ident());
    m_accountBox->setCurrentIndex(-1);
    m_accountBox->setMinimumWidth(200);
    m_accountBox->installEventFilter(this);
    m_accountBox->lineEdit()->installEventFilter(this);
    accountRow->addWidget(new QLabel(localizedString("ImportText Account"), this));
    accountRow->addWidget(m_accountBox);
    accountRow->addStretch(1);
    layout->addLayout(accountRow);
    auto *hint = new QLabel(localizedString("OFX Read CSVFile Message"), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    addNotice(layout);

    cv::ImportRowsModel::Client client;
    client.rightAligned = [](int column) { return column == IncomeColumn || column == ExpenseColumn; };
    addReviewTable(layout,
                   {"OFX Column Date", "OFX Column Memo", "ImportText Column Income", "ImportText Column Expense",
                    "OFX Column Category", "OFX Column Transfer", "ImportText Column Text"},
                   std::move(client), {90, 200, 100, 100, 130, 130, 110}, MemoColumn);
    auto *transferLabel = new QLabel(localizedString("ImportText Transfer Message"), this);
    transferLabel->setWordWrap(true);
    layout->addWidget(transferLabel);
    m_okButton = cv::addOkCancelButtons(this, layout).ok;

    addMenu({{MenuPartner, "OFX Menu Partner"},
             {MenuCategory, "OFX Menu Category"},
             {MenuReject, "OFX Menu Reject"},
             {MenuAccept, "OFX Menu Accept"}},
            MenuReject);
    connect(m_accountBox, &QComboBox::activated, this, &ImportTextSheet::accountPushed);
    resize(980, 560);
}

void ImportTextSheet::updateMenu()
{
    const bool open = firstOpenRow() >= 0;
    const std::vector<int> rows = selectedRows();
    for (QAction *action : m_menu->actions()) {
        const int tag = action->data().toInt();
        action->setEnabled(tag == MenuPartner || tag == MenuCategory ? open : !rows.empty());
    }
}

// Return in the account box picks the account; it must not also press OK.
// A click on its field opens the list, as on its arrow: the field is for
// finding an account by typing, never for a new one. The list opens when
// the button comes up: opened on the press, it would take the release that
// follows, outside its rows, as a click away and close at once.
bool ImportTextSheet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_accountBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true; // the box has taken it
    }
    if (watched == m_accountBox->lineEdit() && event->type() == QEvent::MouseButtonRelease) {
        const auto *click = static_cast<QMouseEvent *>(event);
        if (click->button() == Qt::LeftButton && m_accountBox->lineEdit()->rect().contains(click->position().toPoint()))
            m_accountBox->showPopup();
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------- reading

bool ImportTextSheet::loadFile(const QString &path)
{
    m_pathField->setText(path);
    cv::ImportFile file = cv::readImportFile(path);
    m_data = std::move(file.data);
    if (file.status == cv::ImportFileStatus::Read) {
        const int guessed = m_encodingBox->findData(int(cv::guessEncoding(m_data)));
        if (guessed >= 0) m_encodingBox->setCurrentIndex(guessed);
    }
    const bool read = readRows();
    if (file.status != cv::ImportFileStatus::Read)
        cv::alertImportFile(file.status, path, this);
    else if (!read)
        alertNoRows("Import-No-Rows", path);
    return read;
}

void ImportTextSheet::encodingChosen()
{
    if (m_pathField->text().isEmpty() || m_data.isEmpty()) return;
    if (!readRows()) alertNoRows("Import-No-Rows", m_pathField->text());
}

// The picked file's rows in the popup's encoding; false when it gave none.
bool ImportTextSheet::readRows()
{
    const auto encoding = cv::TextEncoding(m_encodingBox->currentData().toInt());
    cv::TextStatementRead read = cv::readTextStatement(m_data, encoding);
    m_rows = std::move(read.rows);
    m_texts = std::move(read.categoryTexts);
    initializeMapping();
    findUnreadableRows();
    setNotice(fileNotices(read).join(QLatin1Char('\n')));
    m_model->reset();
    updateButtons();
    return !m_rows.empty();
}

QStringList ImportTextSheet::fileNotices(const TextStatementRead &read)
{
    QStringList notice;
    notice << cv::textHeadsNotices(read);
    if (!read.summaryLines.empty())
        notice << cv::formatString(localizedString("ImportText Summary Not Read"),
                                   {int(read.summaryLines.size()), numberList(read.summaryLines)});
    // No line is passed over without a word.
    if (!read.unreadLines.empty())
        notice << cv::formatString(localizedString("ImportText Lines Not Read"),
                                   {int(read.unreadLines.size()), numberList(read.unreadLines)});
    return notice;
}

void ImportTextSheet::initializeMapping()
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const QStringList key = mappingKey(int(i));
        if (!key.isEmpty()) applyLearnedTarget(*m_rows[i], mapping(cv::TextMapping).value(key));
    }
}

void ImportTextSheet::accountPushed(int index)
{
    if (index < 0) return;
    m_importAccount = m_accountBox->itemData(index).toInt();
    reload();
}

// ---------------------------------------------------------------- rows

int ImportTextSheet::firstOpenRow() const
{
    for (int row : selectedRows())
        if (!(m_rows[size_t(row)]->flags() & cv::PendingRejected)) return row;
    return -1;
}

int ImportTextSheet::partnerOf(const Entry &row) const
{
    return (row.flags() & cv::PendingOutgoing) ? row.destination() : row.account();
}

void ImportTextSheet::assignCategory(Entry &row, int category) const
{
    row.setKind((row.flags() & cv::PendingOutgoing) ? cv::EntryKind::Expense : cv::EntryKind::Income);
    row.setAccount(0);
    row.setDestination(0);
    row.setCategory(category);
}

void ImportTextSheet::assignPartner(Entry &row, int partner) const
{
    row.setKind(cv::EntryKind::Transfer);
    (row.flags() & cv::PendingOutgoing) ? row.setDestination(partner) : row.setAccount(partner);
}

// The record-104 key of a row: its category text, else its memo; none when both are empty.
QStringList ImportTextSheet::mappingKey(int row) const
{
    const Entry &entry = *m_rows[size_t(row)];
    const QString text = m_texts.value(row);
    const QString direction = QLatin1String((entry.flags() & cv::PendingOutgoing) ? "expense" : "income");
    if (!text.isEmpty()) return {text, QStringLiteral("palm"), direction};
    if (!entry.memo().isEmpty()) return {entry.memo(), QStringLiteral("memo"), direction};
    return {};
}

bool ImportTextSheet::isValid(const Entry &row) const
{
    if (row.kind() == cv::EntryKind::Transfer) return partnerOf(row) >= 1 && partnerOf(row) != m_importAccount;
    return row.category() != 0;
}

QString ImportTextSheet::cellText(int column, int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size() || !m_document) return QString();
    const Entry &entry = *m_rows[size_t(row)];
    switch (column) {
    case DateColumn: return cv::formatProgramDate(entry.date());
    case MemoColumn: return entry.memo();
    case IncomeColumn:
    case ExpenseColumn:
        return amountText(entry, entry.flags() & cv::PendingOutgoing, column == ExpenseColumn, m_importAccount);
    case CategoryColumn: return categoryName(entry);
    case PartnerColumn: return entry.kind() == cv::EntryKind::Transfer ? accountName(partnerOf(entry)) : QString();
    case TextColumn: return m_texts.value(row);
    default: return QString();
    }
}

void ImportTextSheet::updateButtons()
{
    const bool selfTransfer = std::any_of(m_rows.begin(), m_rows.end(), [this](const EntryPtr &row) {
        return row->kind() == cv::EntryKind::Transfer && partnerOf(*row) == m_importAccount;
    });
    m_okButton->setEnabled(!m_rows.empty() && !m_pathField->text().isEmpty() && !selfTransfer);
}

// ---------------------------------------------------------------- choosers

void ImportTextSheet::handleClick(int column, int row)
{
    if (column == CategoryColumn) changeCategory(row);
    if (column == PartnerColumn) changeAccount(row);
}

void ImportTextSheet::menuSelected(int tag)
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) return;
    switch (tag) {
    case MenuPartner:
        if (firstOpenRow() >= 0) changeAccount(firstOpenRow());
        break;
    case MenuCategory:
        if (firstOpenRow() >= 0) changeCategory(firstOpenRow());
        break;
    case MenuReject: setRejectStatus(true); break;
    case MenuAccept: setRejectStatus(false); break;
    default: break;
    }
}

void ImportTextSheet::changeCategory(int row)
{
    const Entry &entry = *m_rows[size_t(row)];
    auto source = std::make_unique<cv::CategoryChooserModel>();
    source->setDocument(m_document, (entry.flags() & cv::PendingOutgoing) ? 2 : 1);
    runChooser(CategoryColumn, row, std::move(source), entry.category(),
               [this, row](int ident) { endPopup(row, ident, false); });
}

void ImportTextSheet::changeAccount(int row)
{
    const Entry &entry = *m_rows[size_t(row)];
    auto source = std::make_unique<cv::AccountChooserModel>();
    source->setDocument(m_document, kAllAccountKinds);
    if (m_importAccount > 0) source->exclude(m_document->findAccount(m_importAccount));
    runChooser(PartnerColumn, row, std::move(source), partnerOf(entry),
               [this, row](int ident) { endPopup(row, ident, true); });
}

void ImportTextSheet::endPopup(int changed, int ident, bool partner)
{
    if (ident < 1 || size_t(changed) >= m_rows.size()) {
        updateButtons();
        return;
    }
    const Entry &model = *m_rows[size_t(changed)];
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
    if (others &&
        Alert::confirm(localizedString("ImportText Same Memo Title"),
                       localizedString(partner ? "ImportText Same Memo Account" : "ImportText Same Memo Category"))) {
        rows.clear();
        for (int row = 0; row < int(m_rows.size()); ++row)
            if (sameKey(row)) rows.push_back(row);
    }
    for (int row : rows) {
        Entry &entry = *m_rows[size_t(row)];
        // Money in never takes an expense category or pays a partner, and the reverse.
        if (bool(entry.flags() & cv::PendingOutgoing) != outgoing) continue;
        partner ? assignPartner(entry, ident) : assignCategory(entry, ident);
    }
    if (!key.isEmpty()) learn(cv::TextMapping, key, partner ? -ident : ident);
    reload();
}

// ---------------------------------------------------------------- commit

void ImportTextSheet::okPushed()
{
    if (!m_document || m_rows.empty()) return;
    if (m_importAccount < 1 || !m_document->findAccount(m_importAccount)) {
        Alert::alert(localizedString("ImportText No Select Account Title"),
                     localizedString("ImportText No Select Account"), this);
        return;
    }
    bool ignoring = false;
    bool asked = false;
    for (const EntryPtr &row : m_rows) {
        if ((row->flags() & cv::PendingRejected) || isValid(*row)) continue;
        if (!asked) {
            asked = true;
            const std::optional<bool> answer = askDefaults("ImportText Incomplete Title", "ImportText Incomplete");
            if (!answer) return;
            ignoring = !*answer;
        }
        if (ignoring) row->setFlags(row->flags() | cv::PendingRejected);
    }
    if (commitRows(!ignoring)) done(1);
}

bool ImportTextSheet::commitRows(bool applyDefaults)
{
    std::vector<EntryPtr> finished;
    for (const EntryPtr &row : m_rows) {
        if (row->flags() & cv::PendingRejected) continue;
        const bool valid = isValid(*row);
        if (!valid && !applyDefaults) continue;
        const auto entry = std::make_shared<Entry>(*row);
        // Read whatever the account; stored as its currency keeps amounts.
        entry->setAmount(cv::roundedForAccount(*m_document, row->amount(), m_importAccount));
        if (entry->kind() == cv::EntryKind::Transfer) {
            if (!valid) continue;
            (entry->flags() & cv::PendingOutgoing) ? entry->setAccount(m_importAccount)
                                                   : entry->setDestination(m_importAccount);
            cv::convertPendingTransfer(*m_document, *entry, m_importAccount);
        } else {
            entry->setAccount(m_importAccount);
            entry->setDestination(0);
            if (!valid)
                entry->setCategory(entry->kind() == cv::EntryKind::Income ? CategoryTrees::IncomeMisc
                                                                          : CategoryTrees::ExpenseMisc);
        }
        finished.push_back(entry);
    }
    // The write path keeps every balance current: no rebuild after it.
    return storeEntries(finished);
}

} // namespace cv
