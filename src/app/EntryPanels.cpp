#include "app/EntryPanels.h"

#include "mainwindow/CV4AccountView.h"
#include "mainwindow/CV4WindowController.h"
#include "panels/AccountPanelController.h"
#include "panels/ActualPanelController.h"
#include "panels/TransferPanelController.h"

namespace cv {

namespace {
template <class Panel>
QWidget *hooked(Panel *panel, CV4AccountView &grid)
{
    QObject::connect(panel, &InputPanelController::closeMaximizedPanelRequested, &grid,
                     &CV4AccountView::closeMaximizedPanel);
    if (CV4WindowController *window = grid.wc())
        QObject::connect(panel, &Panel::searchListShouldClear, window, &CV4WindowController::clearSearchList);
    return panel;
}
} // namespace

QWidget *makeEntryPanel(CV4AccountView &grid, CV4Document &document, const CVUnitModelPtr &node, const QDate &from,
                        const QDate &to, EntryPanelKind kind)
{
    if (!node) return nullptr;
    switch (kind) {
    case EntryPanelKind::Account: return hooked(new AccountPanelController(&document, node, from, to), grid);
    case EntryPanelKind::Actual: return hooked(new ActualPanelController(&document, node, from, to), grid);
    case EntryPanelKind::Transfer: return hooked(new TransferPanelController(&document, node, from, to), grid);
    case EntryPanelKind::Trading: return nullptr;  // the trade panel comes later
    }
    return nullptr;
}

} // namespace cv
