#include "controls/TableCellDelegate.h"

#include "controls/EditingTable.h"
#include "controls/StyledText.h"
#include "controls/TableCell.h"
#include "controls/TableModelAdapter.h"

#include <QHeaderView>
#include <QPainter>

namespace cv {

TableCellDelegate::TableCellDelegate(EditingTable *table) : QStyledItemDelegate(table), m_table(table) {}

void TableCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const TableClient *client = m_table->client();
    if (!client) return;
    CellPaint what;
    what.prepared = m_table->preparedCell(index.column(), index.row());
    what.selected = option.state & QStyle::State_Selected;
    if (what.selected) {
        // The active highlight also in an inactive window: the row being
        // entered stays plain to see while a chooser has the focus.
        painter->fillRect(option.rect, option.palette.color(QPalette::Active, QPalette::Highlight));
    }
    if (what.prepared.kind != CellKind::Empty) {
        const QVariant value = index.data(TableModelAdapter::CellValueRole);
        what.text = what.prepared.formatter ? what.prepared.formatter(value) : cellText(value, client->dateFormat());
        if (value.metaType() == QMetaType::fromType<StyledText>()) {
            const StyledText styled = value.value<StyledText>();
            what.color = styled.color;
            what.alignment = styled.alignment;
        }
        if (what.prepared.color.isValid()) what.color = what.prepared.color;
    }
    TableCell::forKind(what.prepared.kind).paint(painter, option.rect, what, option.palette, m_table->tableFont());
}

QSize TableCellDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    Q_UNUSED(index);
    // Fixed row heights: no value is asked to size a row.
    return QSize(option.rect.width(), m_table->verticalHeader()->defaultSectionSize());
}

} // namespace cv
