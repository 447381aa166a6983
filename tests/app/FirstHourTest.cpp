// A household's first hour, in each language, through the real window: a
// book from a template, an income, an expense, a transfer and a row deleted
// and restored in the bank's book, saved, closed, opened again, and the
// balances are what was typed. scripts/first-hour.sh runs it on a real X
// server (Xvfb) with a fresh home folder; CTest runs it offscreen.
#include "mainwindow/MainWindowTestSupport.h"
#include "support/WindowPage.h"

#include "app/EntryPanels.h"
#include "platform/DateFormat.h"
#include "charts/ChartSheet.h"
#include "controls/TickTree.h"
#include "panels/sheets/LoanDialog.h"
#include "reports/ReportSheet.h"
#include "reports/ReportOutlineModel.h"
#include "controls/ToggleOutlineView.h"
#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/PasswordSheet.h"
#include "controls/PopupFieldEditor.h"
#include "mainwindow/viewer/AccountGrid.h"
#include "mainwindow/StartupCode.h"
#include "mainwindow/pages/TemporaryPage.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "model/EditFlags.h"
#include "panels/entry/AccountBookPanel.h"
#include "panels/entry/TransferFieldDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

cv::NodePtr firstLeaf(cv::NodePtr node, cv::NodeKind kind = cv::NodeKind::Category)
{
    for (const cv::NodePtr &n : node->children())
        if (n->kind() == kind || kind == cv::NodeKind::Category) return firstLeaf(n, cv::NodeKind::Category);
    return node->countChild() == 0 ? node : nullptr;
}

class FirstHour : public DelegateTest, public ::testing::WithParamInterface<const char *> {
protected:
    QString language() const override { return QString::fromLatin1(GetParam()); }
    // File > New from Template, the first template; its window, none when none came.
    cv::BookWindow *bookFromTemplate()
    {
        delegate->setEntryPanelMaker(cv::makeEntryPanel);
        panelCodes.push_back(cv::StartupCode::encode(cv::StartupCode::CreateNew, false, 1));
        delegate->actionNamed(QStringLiteral("newFromTemplate"))->trigger();
        return documentCount() == 1 ? window() : nullptr;
    }
};

TEST_P(FirstHour, ABookFromATemplateKeepsWhatWasTypedThroughSaveQuitAndReopen)
{
    cv::BookWindow *w = bookFromTemplate();
    ASSERT_NE(w, nullptr);
    cv::Book *doc = w->document();
    cvtest::page::showOnMonth(w, QDate::currentDate(), 760);
    QApplication::setActiveWindow(w);
    const cv::NodePtr bank = firstLeaf(doc->accountTrees()->asset(), cv::NodeKind::Bank);
    const cv::NodePtr wallet = firstLeaf(doc->accountTrees()->asset(), cv::NodeKind::Cash);
    const cv::NodePtr salary = firstLeaf(doc->categoryTrees()->income());
    const cv::NodePtr food = firstLeaf(doc->categoryTrees()->expense());
    ASSERT_TRUE(bank && wallet && salary && food);
    const QDate today = QDate::currentDate();
    const double bankAfter = doc->valueForAccount(bank, today) + 300000 - 12000 - 5000 - 700;
    const double walletAfter = doc->valueForAccount(wallet, today) + 5000;

    // The bank's cell of this month opens its book.
    auto *book = qobject_cast<cv::AccountBookPanel *>(cvtest::page::Viewer(w->viewerPage()).open(bank.get()).panel());
    ASSERT_NE(book, nullptr);
    cv::EditingTable *table = book->tableView();

    auto transferRow = std::make_shared<cv::Node>();
    transferRow->setIdent(1);
    const struct {
        cv::NodePtr kind;
        int cid;
        const char *amount;
    } rows[] = {{salary, cv::AccountBookPanel::InColumn, "300000"},
                {food, cv::AccountBookPanel::OutColumn, "12000"},
                {transferRow, 0, "5000"},
                {food, cv::AccountBookPanel::OutColumn, "700"}};
    for (const auto &r : rows) {
        QCoreApplication::processEvents(); // the new row's deferred edit
        const int row = book->rowCount() - 1;
        // The kind chooser opens over the cell and hands the pick over.
        table->editColumn(table->columnWithIdentifier(cv::AccountBookPanel::KindColumn), row, nullptr, true);
        book->editColumn(table->columnWithIdentifier(cv::AccountBookPanel::KindColumn), row, nullptr);
        ASSERT_TRUE(cv::ChooserPopup::get()->isVisible());
        cv::ChooserPopup::get()->mustClose();
        book->endKindPopup(cv::ChooserItem::fromNode(r.kind));
        if (r.kind == transferRow) {
            cv::TransferFieldDialog *popup = book->transferFieldDialog();
            popup->destinationButton()->setCurrentIndex(popup->destinationButton()->findData(wallet->ident()));
            Q_EMIT popup->destinationButton()->activated(popup->destinationButton()->currentIndex());
            popup->accountField()->setText(QString::fromLatin1(r.amount));
            QTest::mouseClick(popup->okButton(), Qt::LeftButton);
        } else {
            table->editColumn(table->columnWithIdentifier(r.cid), row, nullptr, true);
            QTest::keyClicks(cv::GetPopupFieldEditor(), QString::fromLatin1(r.amount));
            QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Tab);
        }
        table->forceEndFieldEditing(true);
        book->addItem();
    }

    // The last typed row: Edit > Delete is on for the focused table, the
    // book's menu deletes and restores it; Select All in a cell takes the rows.
    const int last = book->rowCount() - 2;
    QApplication::setActiveWindow(w); // the transfer popup had it
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
    EXPECT_FALSE(book->entryAt(last)->flags() & cv::EditDeleted);
    EXPECT_EQ(book->objectValue(table, cv::AccountBookPanel::BalanceColumn, last).value<cv::StyledText>().text,
              doc->stringWithPrefixForValue(bankAfter, doc->currencyOfAccount(bank->ident())));
    table->editColumn(table->columnWithIdentifier(cv::AccountBookPanel::MemoColumn), 0, nullptr, true);
    delegate->actionNamed(QStringLiteral("selectAll"))->trigger();
    EXPECT_EQ(table->selectionModel()->selectedRows().size(), book->rowCount());

    // The book comes back in the frame its window had when saved.
    const QRect frame(40, 50, 700, 520);
    w->setGeometry(frame);
    const QString file = path(QStringLiteral("first-hour.cvv2"));
    ASSERT_TRUE(delegate->openBooks().saveDocumentAs(doc, file));
    delegate->openBooks().closeDocument(doc, false);
    ASSERT_EQ(documentCount(), 0u);
    delegate->openFiles({file});
    ASSERT_EQ(documentCount(), 1u);
    EXPECT_EQ(window()->geometry(), frame);
    cv::Book *reopened = delegate->openBooks().documents().front().get();
    EXPECT_DOUBLE_EQ(reopened->valueForAccount(reopened->findAccount(bank->ident()), today), bankAfter);
    EXPECT_DOUBLE_EQ(reopened->valueForAccount(reopened->findAccount(wallet->ident()), today), walletAfter);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, FirstHour, ::testing::Values("en", "ja"),
                         [](const auto &info) { return std::string(info.param); });

// The first month: saved under a name typed without an extension, a loan
// through the loan editor with every total right at once, rows typed out of
// date order with their balances in date order, and a report and a chart printed.
TEST_P(FirstHour, TheFirstMonthKeepsItsTotalsAndPrints)
{
    cv::BookWindow *w = bookFromTemplate();
    ASSERT_NE(w, nullptr);
    cv::Book *doc = w->document();
    // Last month, so that every row typed lies in the past and shows its balance.
    const QDate month = QDate(QDate::currentDate().year(), QDate::currentDate().month(), 1).addMonths(-1);
    cvtest::page::showOnMonth(w, month, 760);
    QApplication::setActiveWindow(w);
    const cvtest::page::Window page(*delegate, w);
    const cvtest::page::Viewer viewer = page.viewer();
    const cv::NodePtr bank = firstLeaf(doc->accountTrees()->asset(), cv::NodeKind::Bank);
    const cv::NodePtr food = firstLeaf(doc->categoryTrees()->expense());
    ASSERT_TRUE(bank && food);

    // Save: the name goes without an extension, the book is saved as .cvv2.
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(path(QStringLiteral("household")));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    delegate->actionNamed(QStringLiteral("save"))->trigger();
    EXPECT_EQ(doc->fileName(), path(QStringLiteral("household.cvv2")));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("household.cvv2"))));

    // A loan from the loan editor: every total of the viewer is right at once.
    ASSERT_TRUE(viewer.click(doc->accountTrees()->debt().get()));
    page.command(cv::tag::NewLoan);
    auto *loan = w->findChild<cv::LoanDialog *>();
    ASSERT_NE(loan, nullptr);
    const auto fill = [](QLineEdit *field, const QString &text) {
        field->selectAll();
        QTest::keyClicks(field, text);
    };
    fill(loan->nameField(), QStringLiteral("Car"));
    fill(loan->dateField(), cv::formatProgramDate(month));
    fill(loan->valueField(), QStringLiteral("1,200,000"));
    fill(loan->timesField(), QStringLiteral("24"));
    fill(loan->rateField(), QStringLiteral("3"));
    QTest::mouseClick(loan->repaymentButton(), Qt::LeftButton);
    ASSERT_TRUE(cvtest::page::pick(cv::ChooserItem::fromNode(bank)));
    loan->showPage(1);
    QTest::mouseClick(loan->okButton(), Qt::LeftButton);
    ASSERT_EQ(doc->accountTrees()->debt()->children().back()->name(), QStringLiteral("Car"));
    QApplication::processEvents();
    const std::string texts = viewer.texts();
    w->viewerPage()->refreshMainView();
    EXPECT_EQ(texts, viewer.texts());

    // Rows typed out of date order on the month's first and last days and the
    // days beside: the month's column takes its own, the next month's all.
    using A = cv::AccountBookPanel;
    const int currency = doc->currencyOfAccount(bank->ident());
    const auto number = [&](const QString &text) {
        return doc->amountText().numberForString(text, currency).value_or(0);
    };
    const auto shown = [&](int column) { return number(viewer.cell(bank.get(), column)); };
    const double before[] = {shown(0), shown(1)};
    const QDate monthEnd = month.addMonths(1).addDays(-1);
    {
        const cvtest::page::Entries book = viewer.open(bank.get());
        ASSERT_TRUE(book);
        for (const auto &[date, amount] :
             {std::pair{monthEnd, "300"}, {month.addDays(-1), "1"}, {month, "20"}, {monthEnd.addDays(1), "4000"}}) {
            const int row = book.newRow();
            book.type(A::DateColumn, row, cv::formatProgramDate(date));
            ASSERT_TRUE(book.choose(A::KindColumn, row, food));
            book.type(A::OutColumn, row, QLatin1String(amount));
            book.nextRow();
        }
        book.ok();
    }
    EXPECT_EQ(shown(0), before[0] - 321);
    EXPECT_EQ(shown(1), before[1] - 4321);
    // Reopened, the month's rows alone stand in date order, each balance running on from the last.
    const cvtest::page::Entries reopened = viewer.open(bank.get());
    ASSERT_TRUE(reopened);
    double running = doc->valueForAccount(bank, month.addDays(-1));
    QDate last = month;
    for (int row = 0; row < reopened.rows(); ++row) {
        const std::optional<QDate> date = cv::parseProgramDate(reopened.cell(A::DateColumn, row));
        if (!date || reopened.cell(A::BalanceColumn, row).isEmpty()) continue;
        EXPECT_TRUE(*date >= last && *date <= monthEnd) << row;
        last = *date;
        running += number(reopened.cell(A::InColumn, row)) - number(reopened.cell(A::OutColumn, row));
        EXPECT_EQ(reopened.cell(A::BalanceColumn, row), doc->stringWithPrefixForValue(running, currency)) << row;
    }
    EXPECT_EQ(last, monthEnd);
    reopened.ok();

    // A report and a chart of the month, printed.
    page.command(cv::tag::ReportPanel);
    auto *report = w->findChild<cv::ReportSheet *>();
    ASSERT_NE(report, nullptr);
    const cv::ReportSheet::Tab &tab = report->tab(report->kind());
    const QModelIndex bankRow = tab.treeModel->indexOfNode(bank.get());
    ASSERT_TRUE(bankRow.isValid());
    tab.tree->scrollTo(bankRow);
    QTest::mouseClick(tab.tree->viewport(), Qt::LeftButton, {}, tab.tree->visualRect(bankRow).center());
    ASSERT_TRUE(report->reportButton()->isEnabled());
    EXPECT_TRUE(report->runReport(cv::PrintRunner::Mode::Pdf, path(QStringLiteral("report.pdf"))));
    report->reject();
    page.command(cv::tag::ChartPanel);
    auto *chart = w->findChild<cv::ChartSheet *>();
    ASSERT_NE(chart, nullptr);
    const QModelIndex chartRow = chart->accView()->indexOfNode(bank.get());
    ASSERT_TRUE(chartRow.isValid());
    chart->accView()->scrollTo(chartRow);
    QTest::mouseClick(chart->accView()->viewport(), Qt::LeftButton, {},
                      chart->accView()->visualRect(chartRow).center());
    chart->paramButton()->setCurrentIndex(cv::ChartSheet::Pie);
    ASSERT_TRUE(chart->drawButton()->isEnabled());
    EXPECT_TRUE(chart->print(cv::PrintRunner::Mode::Pdf, path(QStringLiteral("chart.pdf"))));
    chart->closePushed();
    for (const char *pdf : {"report.pdf", "chart.pdf"})
        EXPECT_GT(QFileInfo(path(QLatin1String(pdf))).size(), 1000) << pdf;
}

TEST_F(DelegateTest, OnlyANewPasswordMarksTheBookEdited)
{
    for (const bool ok : {false, true}) {
        cv::Book *doc = nullptr;
        cv::BookWindow *w = openNewWindow(doc, 900, 600);
        ASSERT_TRUE(delegate->openBooks().saveDocumentAs(doc, path(QStringLiteral("p.cvv2"))));
        w->openPasswordPanel();
        auto *sheet = w->findChild<cv::PasswordSheet *>();
        ASSERT_NE(sheet, nullptr);
        sheet->newPasswordField1()->setText(QStringLiteral("secret"));
        sheet->newPasswordField2()->setText(QStringLiteral("secret"));
        QTest::mouseClick(ok ? sheet->okButton() : sheet->cancelButton(), Qt::LeftButton);
        EXPECT_EQ(doc->isDocumentEdited(), ok) << (ok ? "OK" : "Cancel");
        delegate->openBooks().closeDocument(doc, false);
    }
}

} // namespace
