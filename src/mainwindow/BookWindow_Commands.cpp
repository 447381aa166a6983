// The grids' selection, their expanding, the new item wizard, and the
// account and category commands handed on to cv::BookCommands.
#include "mainwindow/BookWindow.h"
#include "mainwindow/BookWindowPrivate.h"

#include "document/Book.h"
#include "mainwindow/viewer/AccountGrid.h"
#include "mainwindow/viewer/CategoryGrid.h"
#include "controls/Tags.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "mainwindow/WizardDialog.h"

#include <QItemSelectionModel>

namespace cv {

using cv::NodeKind;

namespace {

NodePtr selectedNode(ViewerGrid *grid)
{
    const cv::ViewerModel *model = grid ? grid->viewerModel() : nullptr;
    Node *node = model ? model->nodeAt(grid->selectedRow()) : nullptr;
    return node ? node->shared_from_this() : nullptr;
}

} // namespace

// ---------------------------------------------------------------- handed on to the commands

void BookWindow::setAccountSheetOpener(AccountSheetOpener opener)
{
    d->m_commands.setAccountSheetOpener(std::move(opener));
}
void BookWindow::setSecuritySheetOpener(SecuritySheetOpener opener)
{
    d->m_commands.setSecuritySheetOpener(std::move(opener));
}
void BookWindow::setMergeChooser(MergeChooser chooser)
{
    d->m_commands.setMergeChooser(std::move(chooser));
}
cv::TreeSelection BookWindow::accountSelection() const
{
    return d->m_commands.accountSelection();
}
cv::TreeSelection BookWindow::categorySelection() const
{
    return d->m_commands.categorySelection();
}
bool BookWindow::gridCommandAllowed(int tag) const
{
    return d->m_commands.commandAllowed(tag);
}
void BookWindow::execGridCommand(int tag)
{
    d->m_commands.exec(tag);
}
void BookWindow::editAccount(const NodePtr &account)
{
    d->m_commands.editAccount(account);
}
void BookWindow::editCategorySummary(const NodePtr &summary)
{
    d->m_commands.editCategorySummary(summary);
}

// ---------------------------------------------------------------- the grids

NodePtr BookWindow::selectedAccountNode() const
{
    const cv::ViewerPage *viewer = viewerPage();
    return viewer ? selectedNode(viewer->accountView()) : nullptr;
}

NodePtr BookWindow::selectedCategoryNode() const
{
    const cv::ViewerPage *viewer = viewerPage();
    return viewer ? selectedNode(viewer->categoryView()) : nullptr;
}

void BookWindow::expandMe(const NodePtr &node)
{
    cv::ViewerPage *viewer = viewerPage();
    if (!node || !viewer || !d->m_document) return;
    const AccountTreesPtr &tree = d->m_document->accountTrees();
    const CategoryTreesPtr &categories = d->m_document->categoryTrees();
    const bool accounts = tree && tree->holds(*node);
    // A node the book no longer holds (its edit was taken back) has no row.
    const bool transferRow = node == d->m_document->autoCashIn() || node == d->m_document->autoCashOut();
    if (!accounts && !transferRow && !(categories && categories->holds(*node))) return;
    ViewerGrid *grid =
        accounts ? static_cast<ViewerGrid *>(viewer->accountView()) : static_cast<ViewerGrid *>(viewer->categoryView());
    cv::ViewerModel *model = grid->viewerModel();
    if (!model) return;
    for (Node *up = node->parent(); up; up = up->parent()) {
        up->setCollapsed(false);
        grid->expand(model->indexOfNode(up));
    }
    const QModelIndex row = model->indexOfNode(node.get());
    if (!row.isValid()) return;
    grid->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid->scrollTo(row);
}

void BookWindow::wizardAction(int menuId)
{
    if (!d->m_document) return;
    const int code = d->m_wizardRunner ? d->m_wizardRunner(d->m_document, menuId, this)
                                       : WizardDialog::runWizard(d->m_document, menuId, this);
    if (code == 0) return;
    if (code == cv::tag::NewSecurity) {
        // A security alone: no holding anywhere.
        d->m_commands.openSecuritySheet([](const SecurityPtr &) {});
        return;
    }
    if (selectedTabIdentifier() != QLatin1String("TB01")) selectTabWithIdentifier(QStringLiteral("TB01"));
    if (!viewerPage()) return;
    if ((code >= cv::tag::NewCash && code <= cv::tag::NewOtherAsset) ||
        (code >= cv::tag::NewLoan && code <= cv::tag::NewOtherDebt)) {
        const AccountTreesPtr &accounts = d->m_document->accountTrees();
        if (!accounts) return;
        expandMe(code <= cv::tag::NewOtherAsset ? accounts->asset() : accounts->debt());
        d->m_commands.addAccount(code);
    } else if (code == cv::tag::NewCategory) {
        const CategoryTreesPtr &categories = d->m_document->categoryTrees();
        if (!categories) return;
        expandMe(menuId == cv::tag::WizardIncome ? categories->income() : categories->expense());
        d->m_commands.newCategory();
    } else if (code == cv::tag::AddSecurity) {
        NodePtr account = d->m_commands.selectedInvestAccount();
        if (!account) account = d->m_document->findAccountOfKind(NodeKind::Investment);
        if (!account) return;
        expandMe(account);
        d->m_commands.addSecurity();
    }
}

} // namespace cv
