// The window's side of opening a trade from the search results: the trade
// panel of the trade's account over the results' days, in the temporary
// page, with the trade's row selected.
#include "mainwindow/BookWindow.h"
#include "mainwindow/BookWindowPrivate.h"

#include "document/Book.h"
#include "mainwindow/viewer/AccountGrid.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "panels/entry/TradePanel.h"

namespace cv {

void BookWindow::openTradePanel(int account, const QDate &from, const QDate &to, int tradeIdent)
{
    if (!d->m_document) return;
    const NodePtr node = d->m_document->findAccount(account);
    cv::ViewerPage *viewer = viewerPage();
    if (!node || !viewer || !viewer->accountView()) return;
    AccountGrid *grid = viewer->accountView();
    QWidget *panel = grid->editItem(node, from, to);
    if (!panel) return;
    grid->maximizeInputPanel(panel);
    if (auto *trades = qobject_cast<TradePanel *>(panel)) trades->selectTrade(tradeIdent);
}

} // namespace cv
