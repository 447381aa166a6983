#include "panels/entry/TradingTotalTableColumn.h"

#include "controls/CV4TableView.h"
#include "panels/entry/TradingPanelController.h"

TradingTotalTableColumn::TradingTotalTableColumn(int cid, QString title, int width)
    : cv::TableColumn(cid, std::move(title), width, cv::CellKind::Plain)
{
}

cv::PreparedCell TradingTotalTableColumn::dataCellForRow(const CV4TableView *table, int row) const
{
    cv::PreparedCell cell = TableColumn::dataCellForRow(table, row);
    const auto *panel = table ? dynamic_cast<const TradingPanelController *>(table->client()) : nullptr;
    const CV4TradePtr trade = panel && row >= 0 ? panel->tradeForRow(row) : nullptr;
    if (trade && trade->kind() == cv::TradeKind::TransferUnits) {
        cell.kind = cv::CellKind::Chooser;
        cell.showsButtons = true;
    } else {
        cell.showsButtons = false;
    }
    return cell;
}
