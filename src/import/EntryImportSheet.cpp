#include "import/EntryImportSheet.h"

#include "controls/ChooserPopup.h"
#include "controls/ChooserModel.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "import/PendingRows.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace cv {

EntryImportSheet::EntryImportSheet(Book *document, QWidget *parent, std::initializer_list<int> mappingRecords)
    : ImportSheet(document, parent)
{
    for (int record : mappingRecords)
        m_mappings.emplace_back(record, m_document ? LearnedMapping::read(*m_document, record) : LearnedMapping());
}

EntryImportSheet::~EntryImportSheet()
{
    // The chooser's list goes with the sheet: close a chooser still showing it.
    if (ChooserPopup *popup = ChooserPopup::existing(); popup && popup->targetView() == m_table) popup->mustClose();
}

void EntryImportSheet::addReviewTable(QVBoxLayout *layout, std::initializer_list<const char *> headerKeys,
                                      ImportRowsModel::Client client, std::initializer_list<int> widths,
                                      int stretchColumn)
{
    QStringList headers;
    for (const char *key : headerKeys) headers << localizedString(key);
    client.rowCount = [this] { return pendingCount(); };
    client.text = [this](int column, int row) { return cellText(column, row); };
    client.colour = [this](int row) {
        const Entry &entry = pendingEntry(row);
        if (entry.flags() & PendingRejected) return QColor(Qt::red);
        return isValid(entry) ? QColor() : QColor(Qt::gray);
    };
    addTable(layout, headers, std::move(client));
    m_table->setWordWrap(false);
    int column = 0;
    for (int width : widths) m_table->setColumnWidth(column++, width);
    m_table->horizontalHeader()->setSectionResizeMode(stretchColumn, QHeaderView::Stretch);
    connect(m_table, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (index.row() >= 0 && index.row() < pendingCount()) handleClick(index.column(), index.row());
    });
}

void EntryImportSheet::addNotice(QVBoxLayout *layout)
{
    m_notice = new QLabel(this);
    m_notice->setWordWrap(true);
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->setStyleSheet(QStringLiteral("color: #b00000"));
    m_notice->hide();
    layout->addWidget(m_notice);
}

void EntryImportSheet::setNotice(const QString &text)
{
    if (!m_notice) return;
    // A name that did not decode is never stored without a word.
    QStringList lines;
    if (!text.isEmpty()) lines << text;
    if (!m_unreadableRows.empty())
        lines << formatString(localizedString("Import Unreadable Rows"),
                              {int(m_unreadableRows.size()), numberList(m_unreadableRows)});
    m_notice->setText(lines.join(QLatin1Char('\n')));
    m_notice->setVisible(!lines.isEmpty());
}

// Once a file is read: its texts do not change while the rows are reviewed.
void EntryImportSheet::findUnreadableRows()
{
    m_unreadableRows.clear();
    for (int row = 0; row < pendingCount(); ++row)
        for (int column = 0; column < m_model->columnCount({}); ++column)
            if (cellText(column, row).contains(QChar::ReplacementCharacter)) {
                m_unreadableRows.push_back(row + 1);
                break;
            }
}

QString EntryImportSheet::numberList(const std::vector<int> &numbers)
{
    constexpr size_t kShown = 10; // the rest are found by the first ones
    QStringList texts;
    for (size_t i = 0; i < numbers.size() && i < kShown; ++i) texts << QString::number(numbers[i]);
    if (numbers.size() > kShown) texts << QStringLiteral("…");
    return texts.join(localizedString("ImportText Head Separator"));
}

QString EntryImportSheet::encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8: return localizedString("ImportText Encoding UTF8");
    case TextEncoding::ShiftJis: return localizedString("ImportText Encoding SJIS");
    case TextEncoding::EucJp: return localizedString("ImportText Encoding EUC");
    case TextEncoding::Windows1252: return localizedString("ImportText Encoding Latin");
    }
    return QString();
}

QString EntryImportSheet::labelOverruledNotice(TextEncoding encoding)
{
    return formatString(localizedString("Import Label Overruled"), {encodingName(encoding)});
}

void EntryImportSheet::alertNoRows(const char *key, const QString &path)
{
    Alert::alert(localizedString("Import-Alert-Title"),
                 formatString(localizedString(key), {QFileInfo(path).fileName()}), this);
}

QString EntryImportSheet::categoryName(const Entry &row) const
{
    if (row.kind() == cv::EntryKind::Transfer || row.category() == 0 || !m_document) return QString();
    const NodePtr node = row.kind() == cv::EntryKind::Income ? m_document->findIncome(row.category())
                                                             : m_document->findExpense(row.category());
    return node ? m_document->displayName(*node) : QString();
}

QString EntryImportSheet::accountName(int ident) const
{
    const NodePtr node = ident > 0 && m_document ? m_document->findAccount(ident) : nullptr;
    return node ? m_document->displayName(*node) : QString();
}

QString EntryImportSheet::amountText(const Entry &row, bool outgoing, bool outgoingColumn, int account) const
{
    if (outgoing != outgoingColumn || !m_document) return QString();
    // Shown as it will be stored: rounded down to the account's digits.
    const double amount = account > 0 ? roundedForAccount(*m_document, row.amount(), account) : row.amount();
    return m_document->stringForValueAccount(amount, std::max(account, 0));
}

void EntryImportSheet::assignCategory(Entry &row, int category) const
{
    if (row.kind() == cv::EntryKind::Transfer) {
        row.setKind((row.flags() & PendingOutgoing) ? cv::EntryKind::Expense : cv::EntryKind::Income);
        row.setDestination(0);
    }
    row.setCategory(category);
}

void EntryImportSheet::assignPartner(Entry &row, int partner) const
{
    row.setKind(cv::EntryKind::Transfer);
    row.setDestination(partner);
}

// ---------------------------------------------------------------- rows and choosers

void EntryImportSheet::runChooser(int column, int row, std::unique_ptr<ChooserModel> list, int current,
                                  std::function<void(int)> picked)
{
    m_chooserSource = std::move(list);
    const QRect cell = m_table->visualRect(m_model->index(row, column));
    const QRect anchor(m_table->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    QPointer<EntryImportSheet> self(this);
    ChooserPopup::get()->run(m_table, anchor, ChooserPopup::Anchor::Cell, m_chooserSource.get(),
                             m_chooserSource->objectWithIdentifier(current),
                             [self, picked = std::move(picked)](const ChooserItem &item) {
                                 if (self && item.node()) picked(item.node()->ident());
                             });
}

void EntryImportSheet::setRejectStatus(bool rejected)
{
    for (int row : selectedRows()) {
        Entry &entry = pendingEntry(row);
        entry.setFlags(rejected ? entry.flags() | PendingRejected : entry.flags() & ~PendingRejected);
    }
    reload();
}

void EntryImportSheet::setSelectedDates(const QDate &date)
{
    if (!date.isValid()) return;
    bool changed = false;
    for (int row : selectedRows()) {
        Entry &entry = pendingEntry(row);
        changed |= entry.date() != date;
        entry.setDate(date);
    }
    if (changed) reload();
}

// ---------------------------------------------------------------- learned mappings

LearnedMapping &EntryImportSheet::mappingFor(int record)
{
    for (auto &[number, values] : m_mappings)
        if (number == record) return values;
    Q_ASSERT(false); // a record the sheet did not read
    static LearnedMapping none;
    none = LearnedMapping();
    return none;
}

const LearnedMapping &EntryImportSheet::mapping(int record) const
{
    return const_cast<EntryImportSheet *>(this)->mappingFor(record);
}

bool EntryImportSheet::hasLearned() const
{
    return std::any_of(m_mappings.begin(), m_mappings.end(), [](const auto &entry) { return !entry.second.isEmpty(); });
}

bool EntryImportSheet::applyLearnedTarget(Entry &row, std::optional<int> value) const
{
    if (!value) return false;
    const MappedTarget target = checkedTarget(*m_document, *value, row.flags() & PendingOutgoing);
    if (target.category)
        assignCategory(row, target.category);
    else if (target.partner)
        assignPartner(row, target.partner);
    return !target.isNone();
}

bool EntryImportSheet::applyLearnedAccount(Entry &row, std::optional<int> value) const
{
    const int account = value ? checkedAccount(*m_document, *value) : 0;
    if (account) row.setAccount(account);
    return account != 0;
}

// ---------------------------------------------------------------- commit

std::optional<bool> EntryImportSheet::askDefaults(const char *titleKey, const char *messageKey) const
{
    const int answer =
        Alert::confirm3(localizedString(titleKey), localizedString(messageKey),
                        {localizedString("OFX default"), localizedString("OFX ignore"), localizedString("Cancel")});
    if (answer < 0) return std::nullopt;
    return answer == 1;
}

bool EntryImportSheet::storeEntries(const std::vector<EntryPtr> &entries)
{
    bool stored = false;
    // A failed edit that read the book back announces a reload: nothing was stored.
    const QMetaObject::Connection noted = connect(m_document, &Book::entriesChanged, this,
                                                  [&stored](const ChangeSet &changes) { stored = !changes.reload; });
    {
        EditScope edit(*m_document);
        for (const EntryPtr &entry : entries) storePendingRow(*m_document, entry);
        if (m_mappingChanged) {
            for (const auto &[record, values] : m_mappings) {
                if (values.write(*m_document, record)) continue;
                edit.fail();
                break;
            }
        }
    }
    disconnect(noted);
    return entries.empty() || stored;
}

} // namespace cv
