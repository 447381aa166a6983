#include "panels/dialogs/GroupDialog.h"

#include "controls/DialogButtons.h"
#include "document/Book.h"
#include "document/BookUI.h"
#include "model/EditFlags.h"
#include "panels/dialogs/GroupTableView.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

// The names as one column; edits, drags and drops go to the dialog.
namespace cv {

class GroupDialog::Model : public QAbstractTableModel {
public:
    explicit Model(GroupDialog *dialog) : QAbstractTableModel(dialog), m_dialog(dialog) {}

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_dialog->m_items.size());
    }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount({})) return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole) return m_dialog->m_items[size_t(index.row())]->name();
        return {};
    }
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::EditRole || !index.isValid()) return false;
        // Leaving an editor untouched stores its text again: not a rename.
        if (value.toString() == data(index, Qt::EditRole).toString()) return false;
        m_dialog->rename(index.row(), value.toString());
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (!index.isValid()) return Qt::ItemIsDropEnabled;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override { return {QLatin1String(kDragType)}; }
    QMimeData *mimeData(const QModelIndexList &indexes) const override
    {
        int last = -1;
        for (const QModelIndex &index : indexes) last = std::max(last, index.row());
        return m_dialog->dragData(last);
    }
    // A drop onto a row goes above it.
    static int targetRow(int row, const QModelIndex &parent)
    {
        return row >= 0 ? row : parent.isValid() ? parent.row() : -1;
    }
    static int sourceRow(const QMimeData *data)
    {
        bool ok = false;
        const int row = data ? data->data(QLatin1String(kDragType)).toInt(&ok) : -1;
        return ok ? row : -1;
    }
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                         const QModelIndex &parent) const override
    {
        const int target = targetRow(row, parent);
        return action == Qt::MoveAction && sourceRow(data) >= 0 && target >= 0 && target <= rowCount({});
    }
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override
    {
        // The rows are moved here; the view must not remove any afterwards.
        if (!canDropMimeData(data, action, row, column, parent)) return false;
        m_dialog->acceptDrop(sourceRow(data), targetRow(row, parent));
        return false;
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    GroupDialog *m_dialog;
};

GroupDialog::GroupDialog(Book *document, int currentValue, QWidget *parent)
    : QDialog(parent), m_document(document), m_currentValue(currentValue), m_model(new Model(this)),
      m_listView(new GroupTableView(this)), m_addButton(new QPushButton(cv::localizedString("Group-Add"), this)),
      m_deleteButton(new QPushButton(cv::localizedString("Group-Delete"), this))
{
    Q_ASSERT(document);
    setWindowTitle(cv::localizedString("Group-Panel-Title"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_listView, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_deleteButton);
    buttons->addStretch(1);
    m_okButton = cv::addOkCancelButtons(this, buttons).ok;
    m_addButton->setAutoDefault(false);
    m_deleteButton->setAutoDefault(false);
    layout->addLayout(buttons);
    resize(320, 360);

    if (document) m_items = document->groupList();
    // Marks are the dialog's own: none may survive from an earlier run.
    for (const GroupingPtr &grouping : m_items) grouping->setFlags(0);
    m_listView->setModel(m_model);
    connect(m_listView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &GroupDialog::setButtons);
    connect(m_listView, &GroupTableView::deleteRequested, this, &GroupDialog::deletePushed);
    connect(m_addButton, &QPushButton::clicked, this, &GroupDialog::addPushed);
    connect(m_deleteButton, &QPushButton::clicked, this, &GroupDialog::deletePushed);
    // A failed edit (a drop's commit) read the book back: the groupings shown
    // are no longer the book's, and the dialog ends as the book holds them.
    connect(document, &Book::entriesChanged, this, [this](const ChangeSet &changes) {
        if (!changes.reload || m_ended) return;
        m_ended = true;
        done(QDialog::Rejected);
    });
    if (m_currentValue != 0) {
        const auto it = std::find_if(m_items.begin(), m_items.end(),
                                     [this](const GroupingPtr &g) { return g->ident() == m_currentValue; });
        if (it != m_items.end()) selectRow(int(it - m_items.begin()));
    }
    setButtons();
    m_deleteButton->setEnabled(!m_items.empty() && selectedRow() >= 0);
}

GroupDialog::~GroupDialog() = default;

bool GroupDialog::runGroupDialog(Book *document, int currentValue, QWidget *parent)
{
    if (!document) return false;
    GroupDialog dialog(document, currentValue, parent);
    return dialog.exec() == QDialog::Accepted;
}

int GroupDialog::selectedRow() const
{
    const QModelIndexList rows = m_listView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void GroupDialog::selectRow(int row)
{
    if (row < 0 || row >= int(m_items.size())) return;
    m_listView->selectRow(row);
    m_listView->setCurrentIndex(m_model->index(row, 0));
}

void GroupDialog::setButtons()
{
    m_okButton->setEnabled(true);
    m_deleteButton->setEnabled(selectedRow() >= 0);
}

void GroupDialog::reload()
{
    m_model->reset();
    setButtons();
}

bool GroupDialog::isUsing(const QString &name) const
{
    return std::any_of(m_items.begin(), m_items.end(), [&](const GroupingPtr &g) { return g->name() == name; });
}

bool GroupDialog::isUsedByEntries(const Grouping &grouping) const
{
    return m_document && m_document->reads().getDataCountForGroup({grouping.ident()}) != 0;
}

int GroupDialog::documentIndex(const Grouping &grouping) const
{
    if (!m_document || grouping.ident() <= 0) return -1;
    const auto &list = m_document->groupList();
    const auto it = std::find_if(list.begin(), list.end(),
                                 [&](const GroupingPtr &g) { return g && g->ident() == grouping.ident(); });
    return it == list.end() ? -1 : int(it - list.begin());
}

void GroupDialog::addPushed()
{
    // Said before the name is asked, so that nothing typed is lost.
    if (m_document && !m_document->newGroupingIdent()) {
        cv::tellNoIdentLeft(QStringLiteral("Ident-Limit-Group"), this);
        return;
    }
    const std::optional<QString> name =
        Alert::inputName(cv::localizedString("New Grouping"), cv::localizedString("New Grouping Title"), true);
    if (!name) return;
    if (isUsing(*name)) {
        cv::documentUI().beep();
        return;
    }
    auto grouping = std::make_shared<Grouping>();
    grouping->setName(*name);
    grouping->setFlags(cv::EditNew);
    m_items.push_back(grouping);
    reload();
    selectRow(int(m_items.size()) - 1);
}

void GroupDialog::rename(int row, const QString &name)
{
    if (m_ended || row < 0 || row >= int(m_items.size())) return;
    if (name.isEmpty()) {
        if (m_closing) {
            m_blockClose = true;
            Alert::warn(cv::localizedString("Group Delete Help"));
        }
        return;
    }
    if (isUsing(name)) {
        cv::documentUI().beep();
        return;
    }
    const GroupingPtr &grouping = m_items[size_t(row)];
    const bool known =
        std::any_of(m_renamed.begin(), m_renamed.end(), [&](const auto &r) { return r.first == grouping; });
    if (!known && documentIndex(*grouping) >= 0) m_renamed.emplace_back(grouping, grouping->name());
    grouping->setName(name);
    grouping->setFlags(grouping->flags() | cv::EditChanged);
}

void GroupDialog::deletePushed()
{
    const int row = selectedRow();
    if (row < 0 || row >= int(m_items.size())) return;
    const GroupingPtr grouping = m_items[size_t(row)];
    if (!(grouping->flags() & cv::EditNew)) {
        if (isUsedByEntries(*grouping)) {
            Alert::alert(cv::localizedString("Using Group Delete"), cv::localizedString("Confirm Cant Group Delete"),
                         this);
            return;
        }
        grouping->setFlags(grouping->flags() | cv::EditDeleted);
        m_deletedItems.push_back(grouping);
    }
    m_items.erase(m_items.begin() + row);
    reload();
}

QMimeData *GroupDialog::dragData(int row)
{
    if (row < 0 || row >= int(m_items.size())) return nullptr;
    if (std::any_of(m_items.begin(), m_items.end(), [](const GroupingPtr &g) { return g->ident() <= 0; })) {
        Alert::warn(cv::localizedString("Group-Cannot-Drag-With-New-Groups-Present"));
        return nullptr;
    }
    auto *data = new QMimeData;
    data->setData(QLatin1String(kDragType), QByteArray::number(row));
    return data;
}

bool GroupDialog::acceptDrop(int source, int target)
{
    const int count = int(m_items.size());
    if (source < 0 || source >= count || target < 0 || target > count) return false;
    if (target == source) return true;
    const GroupingPtr moved = m_items[size_t(source)];
    // The document's positions of the same two places, found by ident.
    const int from = documentIndex(*moved);
    const int to = target < count ? documentIndex(*m_items[size_t(target)]) : int(m_document->groupList().size());
    m_items.erase(m_items.begin() + source);
    m_items.insert(m_items.begin() + (target < source ? target : target - 1), moved);
    if (from >= 0 && to >= 0) {
        m_document->changeGroupingOrder(from, to);
        m_document->commitGroupList();
        m_dropCommitted = true;
    }
    reload();
    selectRow(target < source ? target : target - 1);
    return true;
}

bool GroupDialog::okPushed()
{
    m_closing = true;
    m_listView->commitEditing();
    m_closing = false;
    if (m_blockClose) {
        m_blockClose = false;
        return false;
    }
    m_ended = true;
    m_items.insert(m_items.end(), m_deletedItems.begin(), m_deletedItems.end());
    m_deletedItems.clear();
    bool toldInUse = false, toldNoIdent = false;
    std::vector<GroupingPtr> staying;
    for (const GroupingPtr &grouping : m_items) {
        if (grouping->name().isEmpty()) grouping->setFlags(grouping->flags() | cv::EditDeleted);
        const int flags = grouping->flags();
        if (flags & cv::EditDeleted) {
            const int index = documentIndex(*grouping);
            if (index < 0) continue; // new, never stored
            if (!isUsedByEntries(*grouping)) {
                m_document->removeGrouping(index);
                m_document->postGroupDeleted(grouping->ident());
                continue;
            }
            if (!toldInUse)
                Alert::alert(cv::localizedString("Using Group Delete"),
                             cv::localizedString("Confirm Cant Group Delete"), this);
            toldInUse = true;
        } else if ((flags & cv::EditNew) && !m_document->addGrouping(grouping)) {
            if (!std::exchange(toldNoIdent, true)) cv::tellNoIdentLeft(QStringLiteral("Ident-Limit-Group"), this);
            continue;
        }
        grouping->setFlags(0);
        staying.push_back(grouping);
    }
    m_items = std::move(staying);
    m_renamed.clear();
    m_document->commitGroupList();
    reload();
    done(QDialog::Accepted);
    return true;
}

void GroupDialog::cancelPushed()
{
    m_ended = true; // an editor closing with the dialog stores nothing now
    for (auto it = m_renamed.rbegin(); it != m_renamed.rend(); ++it) it->first->setName(it->second);
    if (m_dropCommitted && !m_renamed.empty()) m_document->commitGroupList();
    m_renamed.clear();
    for (const GroupingPtr &grouping : m_items) grouping->setFlags(0);
    for (const GroupingPtr &grouping : m_deletedItems) grouping->setFlags(0);
    done(QDialog::Rejected);
}

} // namespace cv
