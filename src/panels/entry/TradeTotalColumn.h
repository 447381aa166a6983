#pragma once
// The total column of the trade panel: on a transfer of units its cell is the
// destination account's chooser, on every other row a plain amount.

#include "controls/TableColumn.h"

namespace cv {

class TradeTotalColumn : public cv::TableColumn {
public:
    TradeTotalColumn(int cid, QString title, int width);
    cv::PreparedCell dataCellForRow(const EditingTable *table, int row) const override;
};

} // namespace cv
