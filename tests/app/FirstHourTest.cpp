// A household's first hour, in each language, through the real window: a
// book from a template, an income, an expense, a transfer and a row deleted
// and restored in the bank's book, saved, closed, opened again, and the
// balances are what was typed. scripts/first-hour.sh runs it on a real X
// server (Xvfb) with a fresh home folder; CTest runs it offscreen.
#include "mainwindow/MainWindowTestSupport.h"
#include "support/WindowPage.h"

#include "app/EntryPanels.h"
#include "controls/CV4TableView.h"
#include "controls/CustomPopup.h"
#include "controls/PasswordPanelController.h"
#include "controls/PopupFieldEditor.h"
#include "mainwindow/AccountOutlineView.h"
#include "mainwindow/StartupCode.h"
#include "mainwindow/TemporaryPage.h"
#include "mainwindow/ViewerModel.h"
#include "mainwindow/ViewerPage.h"
#include "model/CV4AccountModel.h"
#include "model/CV4ActualModel.h"
#include "model/CV4EditFlags.h"
#include "panels/entry/AccountPanelController.h"
#include "panels/dialogs/TransferFieldPanelController.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

CVUnitModelPtr firstLeaf(CVUnitModelPtr node, cv::NodeKind kind = cv::NodeKind::Category)
{
    for (const CVUnitModelPtr &n : node->children())
        if (n->kind() == kind || kind == cv::NodeKind::Category) return firstLeaf(n, cv::NodeKind::Category);
    return node->countChild() == 0 ? node : nullptr;
}

class FirstHour : public DelegateTest, public ::testing::WithParamInterface<const char *> {
protected:
    QString language() const override { return QString::fromLatin1(GetParam()); }
};

TEST_P(FirstHour, ABookFromATemplateKeepsWhatWasTypedThroughSaveQuitAndReopen)
{
    delegate->setEntryPanelMaker(cv::makeEntryPanel);
    panelCodes.push_back(cv::StartupCode::encode(cv::StartupCode::CreateNew, false, 1));
    delegate->actionNamed(QStringLiteral("newFromTemplate"))->trigger();
    ASSERT_EQ(documentCount(), 1u);
    CV4Document *doc = delegate->documentController().documents().front().get();
    CV4WindowController *w = window();
    cvtest::page::showOnMonth(w, QDate::currentDate(), 760);
    QApplication::setActiveWindow(w);
    const CVUnitModelPtr bank = firstLeaf(doc->accountModel()->asset(), cv::NodeKind::Bank);
    const CVUnitModelPtr wallet = firstLeaf(doc->accountModel()->asset(), cv::NodeKind::Cash);
    const CVUnitModelPtr salary = firstLeaf(doc->actualModel()->income());
    const CVUnitModelPtr food = firstLeaf(doc->actualModel()->expense());
    ASSERT_TRUE(bank && wallet && salary && food);
    const QDate today = QDate::currentDate();
    const double bankAfter = doc->valueForAccount(bank, today) + 300000 - 12000 - 5000 - 700;
    const double walletAfter = doc->valueForAccount(wallet, today) + 5000;

    // The bank's cell of this month opens its book.
    auto *book = qobject_cast<AccountPanelController *>(cvtest::page::Viewer(w->viewerPage()).open(bank.get()).panel());
    ASSERT_NE(book, nullptr);
    CV4TableView *table = book->tableView();

    auto transferRow = std::make_shared<CVUnitModel>();
    transferRow->setIdent(1);
    const struct {
        CVUnitModelPtr kind;
        int cid;
        const char *amount;
    } rows[] = {{salary, AccountPanelController::InColumn, "300000"},
                {food, AccountPanelController::OutColumn, "12000"},
                {transferRow, 0, "5000"},
                {food, AccountPanelController::OutColumn, "700"}};
    for (const auto &r : rows) {
        QCoreApplication::processEvents();  // the new row's deferred edit
        const int row = book->rowCount() - 1;
        // The kind chooser opens over the cell and hands the pick over.
        table->editColumn(table->columnWithIdentifier(AccountPanelController::KindColumn), row, nullptr, true);
        book->editColumn(table->columnWithIdentifier(AccountPanelController::KindColumn), row, nullptr);
        ASSERT_TRUE(cv::CustomPopup::get()->isVisible());
        cv::CustomPopup::get()->mustClose();
        book->endKindPopup(cv::ChooserItem::fromNode(r.kind));
        if (r.kind == transferRow) {
            TransferFieldPanelController *popup = book->transferFieldController();
            popup->destinationButton()->setCurrentIndex(popup->destinationButton()->findData(wallet->ident()));
            Q_EMIT popup->destinationButton()->activated(popup->destinationButton()->currentIndex());
            popup->accountField()->setText(QString::fromLatin1(r.amount));
            QTest::mouseClick(popup->okButton(), Qt::LeftButton);
        } else {
            table->editColumn(table->columnWithIdentifier(r.cid), row, nullptr, true);
            QTest::keyClicks(GetPopupFieldEditor(), QString::fromLatin1(r.amount));
            QTest::keyClick(GetPopupFieldEditor(), Qt::Key_Tab);
        }
        table->forceEndFieldEditing(true);
        book->addItem();
    }

    // The last typed row: Edit > Delete is on for the focused table, the
    // book's menu deletes and restores it; Select All in a cell takes the rows.
    const int last = book->rowCount() - 2;
    QApplication::setActiveWindow(w);  // the transfer popup had it
    table->setFocus();
    table->QTableView::selectRow(last);
    delegate->validateMenus();
    EXPECT_TRUE(delegate->actionNamed(QStringLiteral("del"))->isEnabled());
    for (const char *item : {"Delete", "Undelete"}) {
        table->QTableView::selectRow(last);
        std::unique_ptr<QMenu> menu(book->makeContextMenu(book));
        ASSERT_EQ(menu->actions().front()->text(), cv::localizedString(item));
        menu->actions().front()->trigger();
    }
    EXPECT_FALSE(book->actualAt(last)->flags() & cv::EditDeleted);
    EXPECT_EQ(book->objectValue(table, AccountPanelController::BalanceColumn, last).value<cv::StyledText>().text,
              doc->stringWithPrefixForValue(bankAfter, doc->currencyOfAccount(bank->ident())));
    table->editColumn(table->columnWithIdentifier(AccountPanelController::MemoColumn), 0, nullptr, true);
    delegate->actionNamed(QStringLiteral("selectAll"))->trigger();
    EXPECT_EQ(table->selectionModel()->selectedRows().size(), book->rowCount());

    const QString file = path(QStringLiteral("first-hour.cvv2"));
    ASSERT_TRUE(delegate->documentController().saveDocumentAs(doc, file));
    delegate->documentController().closeDocument(doc, false);
    ASSERT_EQ(documentCount(), 0u);
    delegate->openFiles({file});
    ASSERT_EQ(documentCount(), 1u);
    CV4Document *reopened = delegate->documentController().documents().front().get();
    EXPECT_DOUBLE_EQ(reopened->valueForAccount(reopened->findAccount(bank->ident()), today), bankAfter);
    EXPECT_DOUBLE_EQ(reopened->valueForAccount(reopened->findAccount(wallet->ident()), today), walletAfter);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, FirstHour, ::testing::Values("en", "ja"),
                         [](const auto &info) { return std::string(info.param); });

TEST_F(DelegateTest, OnlyANewPasswordMarksTheBookEdited)
{
    for (const bool ok : {false, true}) {
        CV4Document *doc = nullptr;
        CV4WindowController *w = openNewWindow(doc, 900, 600);
        ASSERT_TRUE(delegate->documentController().saveDocumentAs(doc, path(QStringLiteral("p.cvv2"))));
        w->openPasswordPanel();
        auto *sheet = w->findChild<PasswordPanelController *>();
        ASSERT_NE(sheet, nullptr);
        sheet->newPasswordField1()->setText(QStringLiteral("secret"));
        sheet->newPasswordField2()->setText(QStringLiteral("secret"));
        QTest::mouseClick(ok ? sheet->okButton() : sheet->cancelButton(), Qt::LeftButton);
        EXPECT_EQ(doc->isDocumentEdited(), ok) << (ok ? "OK" : "Cancel");
        delegate->documentController().closeDocument(doc, false);
    }
}

} // namespace
