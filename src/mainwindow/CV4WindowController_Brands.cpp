// The document window's side of the securities: its securities window, the
// new-security command of the choosers and the opening-holding sheet.

#include "mainwindow/CV4WindowController.h"
#include "mainwindow/CV4WindowControllerPrivate.h"

#include "controls/AccountDataSource.h"
#include "controls/BrandDataSource.h"
#include "controls/ChooserItem.h"
#include "controls/CommandUnitModel.h"
#include "document/CV4Document.h"
#include "mainwindow/BrandWindow.h"
#include "mainwindow/ViewerPage.h"
#include "model/DomainEnums.h"
#include "panels/sheets/InvestBrandPanelController.h"
#include "platform/Localization.h"

#include <QApplication>

namespace {

CV4WindowController *windowOf(const CV4Document &document)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<CV4WindowController *>(widget);
        if (window && window->document() == &document) return window;
    }
    return nullptr;
}

} // namespace

cv::BrandWindow *CV4WindowController::brandWindow() const
{
    return d->m_brandWindow;
}

cv::BrandWindow *CV4WindowController::Private::ensureBrandWindow()
{
    if (!m_brandWindow && m_document) m_brandWindow = new cv::BrandWindow(&q, m_document);
    return m_brandWindow;
}

void CV4WindowController::showBrandWindow()
{
    cv::BrandWindow *window = d->ensureBrandWindow();
    if (!window) return;
    updateTitle();
    window->enterBrandView();
    window->show();
    window->raise();
    window->activateWindow();
}

QTableView *CV4WindowController::brandView()
{
    cv::BrandWindow *window = d->ensureBrandWindow();
    return window ? window->brandView() : nullptr;
}

bool CV4WindowController::isBrandWindowKey() const
{
    return d->m_brandWindow && d->m_brandWindow->isActiveWindow();
}

void CV4WindowController::brandNewForCommand(const std::shared_ptr<cv::CommandUnitModel> &row)
{
    showBrandWindow();
    cv::BrandWindow *window = d->m_brandWindow;
    if (!window) return;
    window->brandNewWithHandler(
        [window = QPointer<cv::BrandWindow>(window), row](const CV4BrandPtr &brand) {
            if (window) window->close();
            if (row && brand) row->returnItem(cv::ChooserItem::fromBrand(brand));
        },
        true);
}

void CV4WindowController::registerChooserCommands()
{
    cv::AccountDataSource::setNewAccountAction([](CV4Document &document, cv::CommandUnitModel &row, cv::NodeKind kind) {
        CV4WindowController *window = windowOf(document);
        // Only investment accounts are asked for by a chooser; the sheet hands the account back.
        if (window && kind == cv::NodeKind::Investment) return window->d->m_commands.addInvestAccountCommand(row);
        return cv::ChooserItem();
    });
    cv::BrandDataSource::setNewBrandAction([](CV4Document &document, cv::CommandUnitModel &row) {
        if (CV4WindowController *window = windowOf(document))
            window->brandNewForCommand(std::static_pointer_cast<cv::CommandUnitModel>(row.shared_from_this()));
        // The sheet hands the security back when it ends.
        return cv::ChooserItem();
    });
}

bool CV4WindowController::maybeDeleteBrand(const CV4BrandPtr &brand, const CVUnitModelPtr &account)
{
    cv::BrandWindow *window = d->ensureBrandWindow();
    return window && window->maybeDeleteBrand(brand, account);
}

InvestBrandPanelController *CV4WindowController::editHolding(const CVUnitModelPtr &node, const CVUnitModelPtr &account)
{
    if (!node || !d->m_document || isShowingSheet()) return nullptr;
    CVUnitModelPtr parent = node->parent() ? node->parent()->shared_from_this() : account;
    QPointer<CV4WindowController> self(this);
    auto *sheet = InvestBrandPanelController::openInvestBrandPanel(
        d->m_document, node, parent, this, [self, node, account](int code, InvestBrandPanelController *) {
            if (self) self->investBrandSheetDidEnd(code, node, account);
        });
    if (sheet)
        sheet->setEditBrandAction([self](int brand) {
            if (!self || !self->d->m_document) return;
            self->showBrandWindow();
            const auto &list = self->d->m_document->brandList();
            for (size_t i = 0; i < list.size(); ++i)
                if (list[i] && list[i]->ident() == brand) self->d->m_brandWindow->selectRow(int(i));
        });
    return sheet;
}

void CV4WindowController::investBrandSheetDidEnd(int code, const CVUnitModelPtr &node, const CVUnitModelPtr &account)
{
    if (code <= 0 || !node || !d->m_document) return;
    if (!node->parent()) {
        if (!account || account->kind() != cv::NodeKind::Investment) return;
        node->setIdent(0);
        d->m_document->addNode(node, account);
    }
    // The opening units are part of every balance from their day on.
    d->m_document->updateAccount(node, true);
}
