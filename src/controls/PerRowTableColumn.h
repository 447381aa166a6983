#pragma once
// A column whose cell depends on the row: where the owner says the column
// may not be selected in a row, that row shows the empty, non-editable cell.

#include "controls/TableColumn.h"

namespace cv {

class PerRowTableColumn : public cv::TableColumn {
public:
    using cv::TableColumn::TableColumn;
    cv::PreparedCell dataCellForRow(const EditingTable *table, int row) const override;
};

} // namespace cv
