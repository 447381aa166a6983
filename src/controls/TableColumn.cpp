#include "controls/TableColumn.h"

namespace cv {

PreparedCell TableColumn::dataCellForRow(const EditingTable *table, int row) const
{
    Q_UNUSED(table);
    Q_UNUSED(row);
    PreparedCell cell;
    cell.kind = m_kind;
    cell.showsButtons = m_showsButtons;
    return cell;
}

} // namespace cv
