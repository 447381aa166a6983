// The document window's side of the securities: its securities window, the
// new-security command of the choosers and the opening-holding sheet.

#include "mainwindow/BookWindow.h"
#include "mainwindow/BookWindowPrivate.h"

#include "controls/AccountChooserModel.h"
#include "controls/SecurityChooserModel.h"
#include "controls/ChooserItem.h"
#include "controls/CommandRow.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "mainwindow/SecuritiesWindow.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "model/DomainEnums.h"
#include "panels/sheets/OpeningHoldingSheet.h"
#include "platform/Localization.h"

#include <QApplication>

namespace cv {

namespace {

BookWindow *windowOf(const Book &document)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<BookWindow *>(widget);
        if (window && window->document() == &document) return window;
    }
    return nullptr;
}

} // namespace

cv::SecuritiesWindow *BookWindow::securityWindow() const
{
    return d->m_securityWindow;
}

cv::SecuritiesWindow *BookWindow::Private::ensureSecuritiesWindow()
{
    if (!m_securityWindow && m_document) {
        m_securityWindow = new cv::SecuritiesWindow(&q, m_document);
        // Edit > Delete and the rest of the menu while the securities window is key.
        if (m_menuBarMaker) m_securityWindow->setMenuBar(m_menuBarMaker(m_securityWindow));
    }
    return m_securityWindow;
}

void BookWindow::setMenuBarMaker(MenuBarMaker maker)
{
    d->m_menuBarMaker = std::move(maker);
}

void BookWindow::showSecuritiesWindow()
{
    cv::SecuritiesWindow *window = d->ensureSecuritiesWindow();
    if (!window) return;
    updateTitle();
    window->enterSecurityView();
    window->show();
    window->raise();
    window->activateWindow();
}

QTableView *BookWindow::securityView()
{
    cv::SecuritiesWindow *window = d->ensureSecuritiesWindow();
    return window ? window->securityView() : nullptr;
}

bool BookWindow::isSecuritiesWindowKey() const
{
    return d->m_securityWindow && d->m_securityWindow->isActiveWindow();
}

void BookWindow::securityNewForCommand(const std::shared_ptr<cv::CommandRow> &row)
{
    showSecuritiesWindow();
    cv::SecuritiesWindow *window = d->m_securityWindow;
    if (!window) return;
    window->securityNewWithHandler(
        [window = QPointer<cv::SecuritiesWindow>(window), row](const SecurityPtr &security) {
            if (window) window->close();
            if (row && security) row->returnItem(cv::ChooserItem::fromSecurity(security));
        },
        true);
}

void BookWindow::registerChooserCommands()
{
    cv::AccountChooserModel::setNewAccountAction([](Book &document, cv::CommandRow &row, cv::NodeKind kind) {
        BookWindow *window = windowOf(document);
        // Only investment accounts are asked for by a chooser; the sheet hands the account back.
        if (window && kind == cv::NodeKind::Investment) return window->d->m_commands.addInvestAccountCommand(row);
        return cv::ChooserItem();
    });
    cv::SecurityChooserModel::setNewSecurityAction([](Book &document, cv::CommandRow &row) {
        if (BookWindow *window = windowOf(document))
            window->securityNewForCommand(std::static_pointer_cast<cv::CommandRow>(row.shared_from_this()));
        // The sheet hands the security back when it ends.
        return cv::ChooserItem();
    });
}

bool BookWindow::maybeDeleteSecurity(const SecurityPtr &security, const NodePtr &account)
{
    cv::SecuritiesWindow *window = d->ensureSecuritiesWindow();
    return window && window->maybeDeleteSecurity(security, account);
}

OpeningHoldingSheet *BookWindow::editHolding(const NodePtr &node, const NodePtr &account)
{
    if (!node || !d->m_document || isShowingSheet()) return nullptr;
    NodePtr parent = node->parent() ? node->parent()->shared_from_this() : account;
    QPointer<BookWindow> self(this);
    auto *sheet = OpeningHoldingSheet::openOpeningHoldingSheet(
        d->m_document, node, parent, this, [self, node, account](int code, OpeningHoldingSheet *) {
            if (self) self->openingHoldingSheetDidEnd(code, node, account);
        });
    if (sheet)
        sheet->setEditSecurityAction([self](int security) {
            if (!self || !self->d->m_document) return;
            self->showSecuritiesWindow();
            const auto &list = self->d->m_document->securityList();
            for (size_t i = 0; i < list.size(); ++i)
                if (list[i] && list[i]->ident() == security) self->d->m_securityWindow->selectRow(int(i));
        });
    return sheet;
}

void BookWindow::openingHoldingSheetDidEnd(int code, const NodePtr &node, const NodePtr &account)
{
    if (code <= 0 || !node || !d->m_document) return;
    cv::EditScope edit(*d->m_document);
    if (!node->parent()) {
        if (!account || account->kind() != cv::NodeKind::Investment) return;
        node->setIdent(0);
        d->m_document->addNode(node, account);
    }
    // The opening units are part of every balance from their day on.
    d->m_document->updateAccount(node, true);
}

} // namespace cv
