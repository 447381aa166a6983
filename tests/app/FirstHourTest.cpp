// A household's first hour, in each language, through the real window: a
// book from a template, an income, an expense, a transfer and a row deleted
// and restored in the bank's book, saved, closed, opened again, and the
// balances are what was typed. scripts/first-hour.sh runs it on a real X
// server (Xvfb) with a fresh home folder; CTest runs it offscreen.
#include "mainwindow/MainWindowTestSupport.h"

#include "app/EntryPanels.h"
#include "controls/CV4TableView.h"
#include "controls/CustomPopup.h"
#include "controls/DateField.h"
#include "controls/MiniCalendarPanelController.h"
#include "controls/PasswordPanelController.h"
#include "controls/PopupFieldEditor.h"
#include "document/CV4Document.h"
#include "mainwindow/AccountOutlineView.h"
#include "mainwindow/BorderedOutlineView.h"
#include "mainwindow/BudgetPage.h"
#include "mainwindow/CurrencyPage.h"
#include "mainwindow/SearchPage.h"
#include "mainwindow/StartupCode.h"
#include "mainwindow/TemporaryPage.h"
#include "mainwindow/ViewerModel.h"
#include "mainwindow/ViewerPage.h"
#include "model/CV4AccountModel.h"
#include "model/CV4ActualModel.h"
#include "model/CV4EditFlags.h"
#include "model/DomainEnums.h"
#include "panels/AccountPanelController.h"
#include "panels/TransferFieldPanelController.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <functional>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

CVUnitModelPtr firstOfKind(const CVUnitModelPtr &root, cv::NodeKind kind)
{
    for (const CVUnitModelPtr &n : root->children())
        if (n->kind() == kind) return n;
    return nullptr;
}

CVUnitModelPtr firstLeaf(CVUnitModelPtr node)
{
    while (node && node->countChild() > 0) node = node->children().front();
    return node;
}

class FirstHour : public DelegateTest, public ::testing::WithParamInterface<const char *> {
protected:
    QString language() const override { return QString::fromLatin1(GetParam()); }

    // The row the user types into: the book's empty new row.
    int newRow() const
    {
        QCoreApplication::processEvents();  // the new row's deferred edit
        return int(book->items().size()) - 1;
    }
    void typeInto(int cid, int row, const QString &keys)
    {
        CV4TableView *table = book->tableView();
        table->editColumn(table->columnWithIdentifier(cid), row, nullptr, true);
        QTest::keyClicks(GetPopupFieldEditor(), keys);
        QTest::keyClick(GetPopupFieldEditor(), Qt::Key_Tab);
    }
    // The kind chooser's pick, as the chooser hands it over.
    void pickKind(int row, const CVUnitModelPtr &node)
    {
        CV4TableView *table = book->tableView();
        table->editColumn(table->columnWithIdentifier(AccountPanelController::KindColumn), row, nullptr, true);
        book->editColumn(table->columnWithIdentifier(AccountPanelController::KindColumn), row, nullptr);
        ASSERT_TRUE(cv::CustomPopup::get()->isVisible()) << "the chooser opens over the cell";
        cv::CustomPopup::get()->mustClose();
        book->endKindPopup(cv::ChooserItem::fromNode(node));
    }
    void chooseMenuItem(int row, const char *titleKey)
    {
        book->tableView()->QTableView::selectRow(row);
        std::unique_ptr<QMenu> menu(book->makeContextMenu(book));
        ASSERT_TRUE(menu);
        ASSERT_EQ(menu->actions().size(), 1);
        ASSERT_EQ(menu->actions().front()->text(), cv::localizedString(titleKey));
        menu->actions().front()->trigger();
    }
    double balance(CV4Document *doc, int ident) const
    {
        return doc->valueForAccount(doc->findAccount(ident), QDate::currentDate());
    }

    AccountPanelController *book = nullptr;
};

TEST_P(FirstHour, ABookFromATemplateKeepsWhatWasTypedThroughSaveQuitAndReopen)
{
    delegate->setEntryPanelMaker(cv::makeEntryPanel);
    panelCodes.push_back(cv::StartupCode::encode(cv::StartupCode::CreateNew, false, 1));
    delegate->actionNamed(QStringLiteral("newFromTemplate"))->trigger();
    ASSERT_EQ(documentCount(), 1u);
    CV4Document *doc = delegate->documentController().documents().front().get();
    CV4WindowController *w = window();
    w->resize(1200, 760);
    w->show();
    QApplication::setActiveWindow(w);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    const CVUnitModelPtr bank = firstOfKind(doc->accountModel()->asset(), cv::NodeKind::Bank);
    const CVUnitModelPtr wallet = firstOfKind(doc->accountModel()->asset(), cv::NodeKind::Cash);
    const CVUnitModelPtr salary = firstLeaf(doc->actualModel()->income());
    const CVUnitModelPtr food = firstLeaf(doc->actualModel()->expense());
    ASSERT_TRUE(bank && wallet && salary && food);
    const double bankBefore = balance(doc, bank->ident());
    const double walletBefore = balance(doc, wallet->ident());

    // The bank's cell of this month opens its book.
    cv::ViewerPage *viewer = w->viewerPage();
    viewer->updatePeriod(2);
    w->performInputDate(QDate::currentDate());
    QTest::qWait(cv::ViewerPage::kResizeDelayMs + 50);
    const QModelIndex cell = viewer->accountModel()->indexOfNode(bank.get(), cv::ViewerColumns::kStartDataCells);
    viewer->accountView()->scrollTo(cell);
    QTest::mouseDClick(viewer->accountView()->viewport(), Qt::LeftButton, {},
                       viewer->accountView()->visualRect(cell).center());
    book = qobject_cast<AccountPanelController *>(w->temporaryPage() ? w->temporaryPage()->panel() : nullptr);
    ASSERT_NE(book, nullptr);

    const struct {
        CVUnitModelPtr kind;  // none: the transfer row
        int cid;
        const char *amount;
    } rows[] = {
        {salary, AccountPanelController::InColumn, "300000"},
        {food, AccountPanelController::OutColumn, "12000"},
        {nullptr, 0, "5000"},
        {food, AccountPanelController::OutColumn, "700"},
    };
    for (const auto &r : rows) {
        const int row = newRow();
        if (!r.kind) {
            CVUnitModelPtr transferRow = std::make_shared<CVUnitModel>();
            transferRow->setIdent(1);
            pickKind(row, transferRow);
            TransferFieldPanelController *popup = book->transferFieldController();
            ASSERT_TRUE(popup->isVisible());
            popup->destinationButton()->setCurrentIndex(popup->destinationButton()->findData(wallet->ident()));
            Q_EMIT popup->destinationButton()->activated(popup->destinationButton()->currentIndex());
            popup->accountField()->setText(QString::fromLatin1(r.amount));
            ASSERT_TRUE(popup->okButton()->isEnabled());
            QTest::mouseClick(popup->okButton(), Qt::LeftButton);
        } else {
            pickKind(row, r.kind);
            typeInto(r.cid, row, QString::fromLatin1(r.amount));
        }
        book->tableView()->forceEndFieldEditing(true);
        book->addItem();
    }

    // The last row: deleted, then restored through the book's menu; Edit >
    // Delete is on for the focused table.
    const int last = int(book->items().size()) - 2;
    QApplication::setActiveWindow(w);  // the transfer popup had it
    book->tableView()->setFocus();
    book->tableView()->QTableView::selectRow(last);
    delegate->validateMenus();
    EXPECT_TRUE(delegate->actionNamed(QStringLiteral("del"))->isEnabled());
    chooseMenuItem(last, "Delete");
    EXPECT_TRUE(book->actualAt(last)->flags() & cv::EditDeleted);
    chooseMenuItem(last, "Undelete");
    EXPECT_FALSE(book->actualAt(last)->flags() & cv::EditDeleted);
    const QString shownBalance = [&] {
        const QVariant v = book->objectValue(book->tableView(), AccountPanelController::BalanceColumn, last);
        return v.canConvert<cv::StyledText>() ? v.value<cv::StyledText>().text : v.toString();
    }();
    const double bankAfter = bankBefore + 300000 - 12000 - 5000 - 700;
    EXPECT_EQ(shownBalance, doc->stringWithPrefixForValue(bankAfter, doc->currencyOfAccount(bank->ident())))
        << "the typed rows' running balance";

    // Save, quit, reopen.
    const QString file = path(QStringLiteral("first-hour.cvv2"));
    ASSERT_TRUE(delegate->documentController().saveDocumentAs(doc, file));
    delegate->documentController().closeDocument(doc, false);
    ASSERT_EQ(documentCount(), 0u);
    delegate->openFiles({file});
    ASSERT_EQ(documentCount(), 1u);
    CV4Document *reopened = delegate->documentController().documents().front().get();
    EXPECT_DOUBLE_EQ(balance(reopened, bank->ident()), bankAfter);
    EXPECT_DOUBLE_EQ(balance(reopened, wallet->ident()), walletBefore + 5000);
    EXPECT_FALSE(reopened->isDocumentEdited());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, FirstHour, ::testing::Values("en", "ja"),
                         [](const auto &info) { return std::string(info.param); });

// Cancelling the password sheet changes nothing and so marks nothing; a new
// password is stored and marks the book.
TEST_F(DelegateTest, OnlyANewPasswordMarksTheBookEdited)
{
    for (const bool ok : {false, true}) {
        CV4Document *doc = nullptr;
        CV4WindowController *w = openNewWindow(doc, 900, 600);
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(delegate->documentController().saveDocumentAs(doc, path(QStringLiteral("p.cvv2"))));
        ASSERT_FALSE(doc->isDocumentEdited());
        w->openPasswordPanel();
        auto *sheet = w->findChild<PasswordPanelController *>();
        ASSERT_NE(sheet, nullptr);
        if (ok) {
            sheet->newPasswordField1()->setText(QStringLiteral("secret"));
            sheet->newPasswordField2()->setText(QStringLiteral("secret"));
            QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
        } else {
            QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(doc->isDocumentEdited(), ok) << (ok ? "OK" : "Cancel");
        delegate->documentController().closeDocument(doc, false);
    }
}

} // namespace

namespace {

// Ctrl+1..5 and Ctrl+W act wherever the focus is in the window: the budget
// grid, the search page, a date field, an edited cell, the open calendar.
TEST_F(DelegateTest, PageShortcutsActWhereverTheFocusIs)
{
    CV4Document *doc = nullptr;
    CV4WindowController *w = openNewWindow(doc, 1000, 700);
    ASSERT_NE(w, nullptr);
    QApplication::setActiveWindow(w);
    const struct {
        const char *page;  // shown first
        std::function<QWidget *()> focus;
    } cases[] = {
        {"TB03", [&] { return static_cast<QWidget *>(w->findChild<cv::BudgetPage *>()->budgetView()); }},
        {"TB02", [&] { return static_cast<QWidget *>(w->searchPage()); }},
        {"TB01", [&] { return static_cast<QWidget *>(w->findChild<cv::DateField *>()->textField()); }},
        {"TB05", [&] {
             auto *table = w->findChild<cv::CurrencyPage *>()->findChild<CV4TableView *>();
             table->performClickAtColumn(0, 0, nullptr);
             return QApplication::focusWidget();
         }},
        {"TB01", [&] {
             cv::MiniCalendarPanelController::get()->toggleRelativeToPoint(QPoint(10, 10), w, QDate::currentDate());
             return static_cast<QWidget *>(cv::MiniCalendarPanelController::get());
         }},
    };
    for (const auto &c : cases) {
        w->selectTabWithIdentifier(QString::fromLatin1(c.page));
        QWidget *focus = c.focus();
        ASSERT_NE(focus, nullptr) << c.page;
        focus->setFocus();
        const bool onViewer = QLatin1String(c.page) == QLatin1String("TB01");
        QTest::keyClick(focus, onViewer ? Qt::Key_4 : Qt::Key_1, Qt::ControlModifier);
        EXPECT_EQ(w->selectedTabIdentifier(), onViewer ? QStringLiteral("TB05") : QStringLiteral("TB01")) << c.page;
    }
    w->selectTabWithIdentifier(QStringLiteral("TB03"));
    QTest::keyClick(w->findChild<cv::BudgetPage *>()->budgetView(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(documentCount(), 0u) << "Ctrl+W closed the book";
}

} // namespace
