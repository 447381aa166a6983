#include "panels/entry/TradeTotalColumn.h"

#include "controls/EditingTable.h"
#include "panels/entry/TradePanel.h"

namespace cv {

TradeTotalColumn::TradeTotalColumn(int cid, QString title, int width)
    : cv::TableColumn(cid, std::move(title), width, cv::CellKind::Plain)
{
}

cv::PreparedCell TradeTotalColumn::dataCellForRow(const EditingTable *table, int row) const
{
    cv::PreparedCell cell = TableColumn::dataCellForRow(table, row);
    const auto *panel = table ? dynamic_cast<const TradePanel *>(table->client()) : nullptr;
    const TradePtr trade = panel && row >= 0 ? panel->tradeForRow(row) : nullptr;
    if (trade && trade->kind() == cv::TradeKind::TransferUnits) {
        cell.kind = cv::CellKind::Chooser;
        cell.showsButtons = true;
    } else {
        cell.showsButtons = false;
    }
    return cell;
}

} // namespace cv
