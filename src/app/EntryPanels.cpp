#include "app/EntryPanels.h"

#include "document/CV4Preference.h"
#include "mainwindow/CV4AccountView.h"
#include "mainwindow/CV4WindowController.h"
#include "model/DomainEnums.h"
#include "panels/entry/AccountPanelController.h"
#include "panels/entry/ActualPanelController.h"
#include "panels/entry/TradingPanelController.h"
#include "panels/entry/TransferPanelController.h"

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
    case EntryPanelKind::Trading: {
        // The cash part of an investment account stands for the account.
        CVUnitModelPtr subject = node;
        if (subject->kind() == NodeKind::CashPart && subject->parent())
            subject = subject->parent()->shared_from_this();
        if (subject->kind() != NodeKind::Investment && subject->kind() != NodeKind::Holding) return nullptr;
        auto *panel = new TradingPanelController(&document, subject, from, to);
        if (const CV4WindowController *window = grid.wc(); window && window->preference())
            panel->setAutoPriceUpdate(window->preference()->autoPriceUpdate());
        return hooked(panel, grid);
    }
    }
    return nullptr;
}

} // namespace cv
