#include "import/ImportSheet.h"

#include "platform/Localization.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace cv {

ImportSheet::ImportSheet(Book *document, QWidget *parent) : QDialog(parent), m_document(document)
{
    Q_ASSERT(document);
}

void ImportSheet::filePushed()
{
    const QString path = QFileDialog::getOpenFileName(this, windowTitle(), QString(), m_fileTypes);
    if (!path.isEmpty()) loadFile(path);
}

QHBoxLayout *ImportSheet::addFileRow(QVBoxLayout *layout, const QString &fileTypes)
{
    m_fileTypes = fileTypes;
    auto *row = new QHBoxLayout;
    m_fileButton = new QPushButton(localizedString("OFX File"), this);
    m_fileButton->setAutoDefault(false);
    m_pathField = new QLineEdit(this);
    m_pathField->setReadOnly(true);
    row->addWidget(m_fileButton);
    row->addWidget(m_pathField, 1);
    layout->addLayout(row);
    connect(m_fileButton, &QPushButton::clicked, this, &ImportSheet::filePushed);
    return row;
}

void ImportSheet::addTable(QVBoxLayout *layout, const QStringList &headers, ImportRowsModel::Client client)
{
    m_model = new ImportRowsModel(headers, std::move(client), this);
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    layout->addWidget(m_table, 1);
    connect(m_table, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (!m_menu) return;
        updateMenu();
        m_menu->popup(m_table->viewport()->mapToGlobal(at));
    });
}

void ImportSheet::addMenu(std::initializer_list<std::pair<int, const char *>> items, int separatorBefore)
{
    m_menu = new QMenu(this);
    for (const auto &[tag, key] : items) {
        if (tag == separatorBefore) m_menu->addSeparator();
        QAction *action = m_menu->addAction(localizedString(key));
        action->setData(tag);
        connect(action, &QAction::triggered, this, [this, tag = tag] { menuSelected(tag); });
    }
}

void ImportSheet::updateMenu()
{
    const bool selected = !selectedRows().empty();
    for (QAction *action : m_menu->actions()) action->setEnabled(selected);
}

void ImportSheet::reload()
{
    m_model->reload();
    updateButtons();
}

std::vector<int> ImportSheet::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace cv
