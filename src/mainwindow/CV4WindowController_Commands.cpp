// The grids' selection, their expanding, the new item wizard, and the
// account and category commands handed on to cv::BookCommands.
#include "mainwindow/CV4WindowController.h"
#include "mainwindow/CV4WindowControllerPrivate.h"

#include "document/CV4Document.h"
#include "mainwindow/AccountOutlineView.h"
#include "mainwindow/ActualOutlineView.h"
#include "controls/Tags.h"
#include "mainwindow/ViewerModel.h"
#include "mainwindow/ViewerPage.h"
#include "mainwindow/WizardDialogController.h"

#include <QItemSelectionModel>

using cv::NodeKind;

namespace {

CVUnitModelPtr selectedNode(CV4AccountView *grid)
{
    const cv::ViewerModel *model = grid ? grid->viewerModel() : nullptr;
    CVUnitModel *node = model ? model->nodeAt(grid->selectedRow()) : nullptr;
    return node ? node->shared_from_this() : nullptr;
}

} // namespace

// ---------------------------------------------------------------- handed on to the commands

void CV4WindowController::setAccountSheetOpener(AccountSheetOpener opener) { d->m_commands.setAccountSheetOpener(std::move(opener)); }
void CV4WindowController::setBrandSheetOpener(BrandSheetOpener opener) { d->m_commands.setBrandSheetOpener(std::move(opener)); }
void CV4WindowController::setMergeChooser(MergeChooser chooser) { d->m_commands.setMergeChooser(std::move(chooser)); }
cv::TreeSelection CV4WindowController::accountSelection() const { return d->m_commands.accountSelection(); }
cv::TreeSelection CV4WindowController::actualSelection() const { return d->m_commands.actualSelection(); }
bool CV4WindowController::gridCommandAllowed(int tag) const { return d->m_commands.commandAllowed(tag); }
void CV4WindowController::execGridCommand(int tag) { d->m_commands.exec(tag); }
void CV4WindowController::editAccount(const CVUnitModelPtr &account) { d->m_commands.editAccount(account); }
void CV4WindowController::editActualSummary(const CVUnitModelPtr &summary) { d->m_commands.editActualSummary(summary); }

// ---------------------------------------------------------------- the grids


CVUnitModelPtr CV4WindowController::selectedAccountNode() const
{
    const cv::ViewerPage *viewer = viewerPage();
    return viewer ? selectedNode(viewer->accountView()) : nullptr;
}

CVUnitModelPtr CV4WindowController::selectedActualNode() const
{
    const cv::ViewerPage *viewer = viewerPage();
    return viewer ? selectedNode(viewer->actualView()) : nullptr;
}

void CV4WindowController::expandMe(const CVUnitModelPtr &node)
{
    cv::ViewerPage *viewer = viewerPage();
    if (!node || !viewer || !d->m_document) return;
    const CV4AccountModelPtr &tree = d->m_document->accountModel();
    const CVUnitModel *root = node->root();
    const bool accounts = tree && root &&
                          (root == tree->asset().get() || root == tree->debt().get() || root == tree->summary().get());
    CV4AccountView *grid = accounts ? static_cast<CV4AccountView *>(viewer->accountView())
                                    : static_cast<CV4AccountView *>(viewer->actualView());
    cv::ViewerModel *model = grid->viewerModel();
    if (!model) return;
    for (CVUnitModel *up = node->parent(); up; up = up->parent()) {
        up->setCollapsed(false);
        grid->expand(model->indexOfNode(up));
    }
    const QModelIndex row = model->indexOfNode(node.get());
    if (!row.isValid()) return;
    grid->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid->scrollTo(row);
}

void CV4WindowController::wizardAction(int menuId)
{
    if (!d->m_document) return;
    const int code = d->m_wizardRunner ? d->m_wizardRunner(d->m_document, menuId, this)
                                    : WizardDialogController::runWizard(d->m_document, menuId, this);
    if (code == 0) return;
    if (code == cv::tag::NewSecurity) {
        // A security alone: no holding anywhere.
        d->m_commands.openBrandSheet([](const CV4BrandPtr &) {});
        return;
    }
    if (selectedTabIdentifier() != QLatin1String("TB01")) selectTabWithIdentifier(QStringLiteral("TB01"));
    if (!viewerPage()) return;
    if ((code >= cv::tag::NewCash && code <= cv::tag::NewOtherAsset) ||
        (code >= cv::tag::NewLoan && code <= cv::tag::NewOtherDebt)) {
        const CV4AccountModelPtr &accounts = d->m_document->accountModel();
        if (!accounts) return;
        expandMe(code <= cv::tag::NewOtherAsset ? accounts->asset() : accounts->debt());
        d->m_commands.addAccount(code);
    } else if (code == cv::tag::NewCategory) {
        const CV4ActualModelPtr &categories = d->m_document->actualModel();
        if (!categories) return;
        expandMe(menuId == cv::tag::WizardIncome ? categories->income() : categories->expense());
        d->m_commands.newActual();
    } else if (code == cv::tag::AddSecurity) {
        CVUnitModelPtr account = d->m_commands.selectedInvestAccount();
        if (!account) account = d->m_document->findAccountOfKind(NodeKind::Investment);
        if (!account) return;
        expandMe(account);
        d->m_commands.addBrand();
    }
}
