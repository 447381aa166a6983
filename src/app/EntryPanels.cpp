#include "app/EntryPanels.h"

#include "document/Preference.h"
#include "mainwindow/viewer/ViewerGrid.h"
#include "mainwindow/BookWindow.h"
#include "model/DomainEnums.h"
#include "panels/entry/AccountBookPanel.h"
#include "panels/entry/IncomeExpensePanel.h"
#include "panels/entry/TradePanel.h"
#include "panels/entry/TransferPanel.h"

namespace cv {

namespace {
template <class Panel> QWidget *hooked(Panel *panel, ViewerGrid &grid)
{
    QObject::connect(panel, &RowPanel::closeMaximizedPanelRequested, &grid, &ViewerGrid::closeMaximizedPanel);
    if (BookWindow *window = grid.wc())
        QObject::connect(panel, &Panel::searchListShouldClear, window, &BookWindow::clearSearchList);
    return panel;
}
} // namespace

QWidget *makeEntryPanel(ViewerGrid &grid, Book &document, const NodePtr &node, const QDate &from, const QDate &to,
                        EntryPanelKind kind)
{
    if (!node) return nullptr;
    switch (kind) {
    case EntryPanelKind::Account: return hooked(new AccountBookPanel(&document, node, from, to), grid);
    case EntryPanelKind::IncomeExpense: return hooked(new IncomeExpensePanel(&document, node, from, to), grid);
    case EntryPanelKind::Transfer: return hooked(new TransferPanel(&document, node, from, to), grid);
    case EntryPanelKind::Trading: {
        // The cash part of an investment account stands for the account.
        NodePtr subject = node;
        if (subject->kind() == NodeKind::CashPart && subject->parent()) subject = subject->parent()->shared_from_this();
        if (subject->kind() != NodeKind::Investment && subject->kind() != NodeKind::Holding) return nullptr;
        auto *panel = new TradePanel(&document, subject, from, to);
        if (const BookWindow *window = grid.wc(); window && window->preference())
            panel->setAutoPriceUpdate(window->preference()->autoPriceUpdate());
        return hooked(panel, grid);
    }
    }
    return nullptr;
}

} // namespace cv
