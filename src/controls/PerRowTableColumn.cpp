#include "controls/PerRowTableColumn.h"

#include "controls/EditingTable.h"
#include "controls/TableClient.h"

namespace cv {

cv::PreparedCell PerRowTableColumn::dataCellForRow(const EditingTable *table, int row) const
{
    cv::PreparedCell cell = TableColumn::dataCellForRow(table, row);
    const cv::TableClient *client = table ? table->client() : nullptr;
    if (row >= 0 && client && !client->isColumnSelectable(table, cid(), row)) {
        cell.kind = cv::CellKind::Empty;
        cell.showsButtons = false;
    }
    return cell;
}

} // namespace cv
