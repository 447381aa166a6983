#include "controls/TableModelAdapter.h"

#include "controls/EditingTable.h"
#include "controls/StyledText.h"
#include "platform/DateFormat.h"

namespace cv {

QString cellText(const QVariant &value, const QString &dateFormat)
{
    if (value.metaType() == QMetaType::fromType<StyledText>()) return value.value<StyledText>().text;
    if (value.metaType().id() == QMetaType::QDate) return formatDate(value.toDate(), dateFormat);
    if (!value.isValid() || value.isNull()) return {};
    return value.toString();
}

TableModelAdapter::TableModelAdapter(EditingTable *table) : QAbstractTableModel(table), m_table(table) {}

int TableModelAdapter::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TableModelAdapter::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table->numberOfColumns();
}

QVariant TableModelAdapter::data(const QModelIndex &index, int role) const
{
    const TableClient *client = m_table->client();
    if (!client || !index.isValid() || index.row() >= m_rows) return {};
    if (role != Qt::DisplayRole && role != CellValueRole) return {};
    const QVariant value = client->objectValue(m_table, m_table->cidOfColumn(index.column()), index.row());
    if (role == CellValueRole) return value;
    const PreparedCell cell = m_table->preparedCell(index.column(), index.row());
    if (cell.kind == CellKind::Empty) return {};
    return cell.formatter ? cell.formatter(value) : cellText(value, client->dateFormat());
}

QVariant TableModelAdapter::headerData(int section, Qt::Orientation orientation, int role) const
{
    const TableColumn *column = orientation == Qt::Horizontal ? m_table->tableColumn(section) : nullptr;
    if (!column) return {};
    switch (role) {
    case Qt::DisplayRole: return column->title();
    case Qt::ForegroundRole:
        return column->headerTextColor().isValid() ? QVariant(column->headerTextColor()) : QVariant();
    case Qt::BackgroundRole:
        return column->headerBackground().isValid() ? QVariant(column->headerBackground()) : QVariant();
    default: return {};
    }
}

Qt::ItemFlags TableModelAdapter::flags(const QModelIndex &index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    // No ItemIsEditable: the table runs its own editing.
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_table->isDraggable()) flags |= Qt::ItemIsDragEnabled;
    return flags;
}

void TableModelAdapter::syncRowCount()
{
    const TableClient *client = m_table->client();
    const int rows = client ? qMax(0, client->numberOfRows(m_table)) : 0;
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
}

void TableModelAdapter::columnsChanged()
{
    beginResetModel();
    const TableClient *client = m_table->client();
    m_rows = client ? qMax(0, client->numberOfRows(m_table)) : 0;
    endResetModel();
}

void TableModelAdapter::refreshValues()
{
    if (m_rows > 0 && columnCount() > 0) Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
}

} // namespace cv
