// The search page in the document window (its dirty rule, commit on leaving,
// menu commands, trade hand-off and print view), the calculator and
// preferences commands, posts from the calculator into the front window, and
// a screenshot of the page with results.
#include "mainwindow/MainWindowTestSupport.h"
#include "support/Screenshots.h"

#include "print/SearchPrint.h"
#include "controls/EditingTable.h"
#include "document/Book.h"
#include "mainwindow/pages/SearchPage.h"
#include "panels/entry/AccountBookPanel.h"
#include "panels/dialogs/CalculatorWindow.h"
#include "panels/dialogs/FrontWindow.h"
#include "panels/dialogs/PreferencesDialog.h"
#include "panels/search/SearchPagePanel.h"
#include "panels/search/SearchResultsPanel.h"
#include "platform/print/RecordingCanvas.h"
#include "support/SampleBook.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kBank = 9001;
constexpr int kFood = 9002;

cv::EntryPtr spend(cv::Book &doc, const QDate &date, double amount, const char *memo)
{
    auto e = samplebook::entry(cv::EntryKind::Expense, date, amount, kFood, kBank);
    e->setMemo(QString::fromUtf8(memo));
    doc.updateExpense(e, nullptr);
    return e;
}

class SearchWindowTest : public DelegateTest {
protected:
    // A new book with a bank account, a food category and three expenses in February 2009.
    cv::BookWindow *openBook()
    {
        cv::Book *doc = delegate->newDocument();
        auto bank = std::make_shared<cv::BankDetail>();
        bank->setDate(QDate(2009, 1, 1));
        samplebook::node(doc->accountTrees()->asset(), kBank, 31, QStringLiteral("Bank"), bank);
        samplebook::node(doc->categoryTrees()->expense(), kFood, 21, QStringLiteral("Food"));
        doc->createCache();
        spend(*doc, QDate(2009, 2, 3), 3280, "スーパー 食料品");
        spend(*doc, QDate(2009, 2, 10), 1500, "lunch");
        spend(*doc, QDate(2009, 2, 14), 800, "coffee beans");
        document = doc;
        return window();
    }
    int search(cv::BookWindow *w)
    {
        return w->searchPage()->execSearchForAccount({document->findAccount(kBank)}, QDate(2009, 2, 1),
                                                     QDate(2009, 2, 28));
    }
    QAction *action(const char *name) const { return delegate->actionNamed(QLatin1String(name)); }
    cv::Book *document = nullptr;
};

} // namespace

TEST_F(SearchWindowTest, TheListIsClearedAtTheNextEntryAfterAChangeElsewhereNeverWhileShown)
{
    cv::BookWindow *w = openBook();
    cv::SearchPage *page = w->searchPage();
    ASSERT_TRUE(page && page->controller());
    EXPECT_EQ(page->controller()->parentWidget(), page);
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    ASSERT_EQ(search(w), 3);

    spend(*document, QDate(2009, 2, 20), 100, "shown");
    EXPECT_EQ(page->resultCount(), 3);
    w->selectTabWithIdentifier(QStringLiteral("TB01"));
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    EXPECT_EQ(page->resultCount(), 3) << "a change while shown";

    w->selectTabWithIdentifier(QStringLiteral("TB03"));
    spend(*document, QDate(2009, 2, 21), 100, "hidden");
    EXPECT_EQ(page->resultCount(), 3) << "cleared at the entry, not before";
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    EXPECT_EQ(page->resultCount(), 0);
    EXPECT_EQ(page->controller()->countField()->text(), QStringLiteral("0 found"));

    // A search from the account grid while hidden is not dropped at the next entry.
    w->selectTabWithIdentifier(QStringLiteral("TB01"));
    EXPECT_EQ(search(w), 5);
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    EXPECT_EQ(page->resultCount(), 5);
}

TEST_F(SearchWindowTest, SavingAndLeavingThePageCommitTheEditedResults)
{
    cv::BookWindow *w = openBook();
    cv::SearchPage *page = w->searchPage();
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    ASSERT_EQ(search(w), 3);
    cv::SearchResultsPanel *results = page->controller()->resultsPanel();
    EXPECT_EQ(page->resultsPanel(), results);
    const int ident = results->entryAt(1)->ident();
    auto storedMemo = [&] {
        cv::SearchConditions all;
        all.account << kBank;
        const auto stored = document->store()->findEntry(all);
        for (const auto &e : stored ? *stored : cv::BookStore::EntryList{})
            if (e->ident() == ident) return e->memo();
        return QStringLiteral("missing");
    };
    // clang-format off
    const struct {
        const char *what;
        QString memo;
        std::function<void()> act;
    } steps[] = {
        {"save", QStringLiteral("dinner"), [&] { delegate->openBooks().saveDocumentAs(document, path("a.cvv2")); }},
        {"leave", QStringLiteral("supper"), [&] { w->selectTabWithIdentifier(QStringLiteral("TB05")); }},
    };
    // clang-format on
    for (const auto &step : steps) {
        // Written results leave the list, as after any entry panel's commit.
        ASSERT_EQ(search(w), 3) << step.what;
        results->change(results->entryAt(1), cv::SearchResultsPanel::Field::Memo, step.memo,
                        QStringLiteral("Change Memo"));
        step.act();
        EXPECT_FALSE(results->hasChanged()) << step.what;
        EXPECT_EQ(storedMemo(), step.memo) << step.what;
    }
}

TEST_F(SearchWindowTest, SearchMenuCommandsFollowThePageAndItsList)
{
    cv::BookWindow *w = openBook();
    cv::SearchPage *page = w->searchPage();
    cv::EditingTable *table = page->controller()->resultsPanel()->tableView();
    struct Case {
        const char *what;
        std::function<void()> setUp;
        bool conditions, removeRow, clear, exportResults;
    } cases[] = {
        {"viewer, no list", [&] { w->selectTabWithIdentifier(QStringLiteral("TB01")); }, true, false, false, false},
        {"viewer, a list", [&] { search(w); }, true, false, true, true},
        {"search page", [&] { w->selectTabWithIdentifier(QStringLiteral("TB02")); }, true, false, true, true},
        {"a row selected", [&] { table->selectRow(1, 0, nullptr); }, true, true, true, true},
    };
    for (const Case &c : cases) {
        c.setUp();
        delegate->validateMenus();
        EXPECT_EQ(action("searchConditions")->isEnabled(), c.conditions) << c.what;
        EXPECT_EQ(action("searchRemoveRow")->isEnabled(), c.removeRow) << c.what;
        EXPECT_EQ(action("searchClear")->isEnabled(), c.clear) << c.what;
        EXPECT_EQ(action("searchExport")->isEnabled(), c.exportResults) << c.what;
        for (int tag : {30043, 30044, 30045}) EXPECT_FALSE(w->validateMenuItem(tag)) << c.what << " " << tag;
        EXPECT_EQ(w->validateMenuItem(cv::SearchPagePanel::ClearTag), c.clear) << c.what;
    }
    EXPECT_EQ(delegate->actionForTag(cv::SearchPagePanel::ExportTag), action("searchExport"));

    action("searchRemoveRow")->trigger();
    EXPECT_EQ(page->resultCount(), 2);
    EXPECT_EQ(page->controller()->countField()->text(), QStringLiteral("2 found"));
    action("searchClear")->trigger();
    EXPECT_EQ(page->resultCount(), 0);
    EXPECT_EQ(page->controller()->countField()->text(), QStringLiteral("0 found"));
    // A shortcut with a stale enabled state does nothing on an empty list.
    action("searchRemoveRow")->setEnabled(true);
    action("searchRemoveRow")->trigger();
    EXPECT_EQ(page->resultCount(), 0);
    // A new search from another page shows the search page and its conditions.
    w->selectTabWithIdentifier(QStringLiteral("TB03"));
    action("searchConditions")->trigger();
    EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB02"));
    EXPECT_TRUE(w->isShowingSheet());
    for (QDialog *sheet : w->findChildren<QDialog *>()) sheet->reject();
}

TEST_F(SearchWindowTest, ATradeCellGoesToTheFirstPageAndThePrintViewHoldsTheResults)
{
    cv::BookWindow *w = openBook();
    cv::SearchPage *page = w->searchPage();
    cv::PageSetup setup;
    EXPECT_EQ(page->makePrintView(setup), nullptr) << "nothing to print";
    EXPECT_FALSE(page->hasPrintableContent());
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    EXPECT_FALSE(w->canPrint());

    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    ASSERT_EQ(search(w), 3);
    EXPECT_TRUE(page->hasPrintableContent());
    std::unique_ptr<cv::PrintedPages> view = page->makePrintView(setup);
    ASSERT_NE(dynamic_cast<cv::SearchPrint *>(view.get()), nullptr);
    ASSERT_EQ(view->sheetCount(), 1);
    cv::RecordingCanvas canvas;
    view->drawSheet(1, canvas);
    const QStringList drawn = canvas.texts();
    for (const QString &title : cv::SearchResultsPanel::reportHeaderTitles())
        EXPECT_TRUE(drawn.contains(title)) << title.toStdString();
    for (const char *memo : {"lunch", "coffee beans"}) EXPECT_TRUE(drawn.contains(QLatin1String(memo))) << memo;
    // File > Print runs the same view.
    ASSERT_TRUE(w->canPrint());
    EXPECT_TRUE(w->printView(delegate->preference(), cv::PrintRunner::Mode::Pdf, path("search.pdf")).printed);
    EXPECT_GT(QFileInfo(path("search.pdf")).size(), 0);

    QSignalSpy asked(page, &cv::SearchPage::openTradeRequested);
    Q_EMIT page->controller()->resultsPanel()->openTradeRequested(kBank, QDate(2009, 2, 1), QDate(2009, 2, 28), 7);
    EXPECT_EQ(w->pageSwitcher().currentIndex(), cv::BookWindow::ViewerIndex);
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.front().at(3).toInt(), 7);
}

TEST_F(SearchWindowTest, CalculatorAndPreferencesCommandsAndPostsIntoTheFrontWindow)
{
    cv::BookWindow *w = openBook();
    delegate->preference().setTaxFracProcess(2);
    delegate->validateMenus();
    QAction *calculator = action("calculator");
    ASSERT_TRUE(calculator->isEnabled());
    EXPECT_TRUE(calculator->isCheckable());
    EXPECT_FALSE(calculator->isChecked());
    calculator->trigger();
    cv::CalculatorWindow *calc = cv::CalculatorWindow::existing();
    ASSERT_NE(calc, nullptr);
    EXPECT_TRUE(calc->isVisible());
    EXPECT_EQ(calc->taxFracProcess(), 2);
    EXPECT_TRUE(calculator->isChecked());
    calculator->trigger();
    EXPECT_FALSE(calc->isVisible());
    EXPECT_FALSE(calculator->isChecked());

    // The preferences run modally over the front window; always enabled.
    QString shown;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) return;
        shown = QString::fromLatin1(modal->metaObject()->className());
        modal->close();
    });
    EXPECT_TRUE(action("preferences")->isEnabled());
    action("preferences")->trigger();
    EXPECT_EQ(shown, QStringLiteral("cv::PreferencesDialog"));

    // Enter posts the value to the front window's entry panel; a date moves the viewer.
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    auto *book =
        new cv::AccountBookPanel(document, document->findAccount(kBank), QDate(2009, 2, 1), QDate(2009, 2, 28));
    w->addTemporaryTab(book);
    QApplication::processEvents();
    book->tableView()->selectRow(1, 0, nullptr);
    const cv::EntryPtr second = book->entryAt(1);
    ASSERT_TRUE(second);
    calc->clrKey(0);
    for (int key : {4, 2}) calc->numkey(key);
    calc->doEnter();
    EXPECT_EQ(second->amount(), 42);
    book->tableView()->selectionModel()->clearSelection();
    w->removeTemporaryTab();
    ASSERT_EQ(w->pageSwitcher().currentIndex(), cv::BookWindow::ViewerIndex);
    EXPECT_TRUE(cv::postInputDate(calc, QDate(2010, 5, 1)));
    EXPECT_EQ(w->topDate(), document->settings()->fiscalDate(QDate(2010, 5, 1), document->settings()->viewerUnit()));
    w->hide();
}

using SearchWindowShot = InLanguages<SearchWindowTest>;

TEST_P(SearchWindowShot, TheSearchPageWithResults)
{
    cv::BookWindow *w = openBook();
    w->resize(1000, 520);
    w->show();
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    ASSERT_EQ(search(w), 3);
    QApplication::processEvents();
    EXPECT_TRUE(cvtest::saveScreenshot(*w, language(), QStringLiteral("window-search-results")));
    w->hide();
}

INSTANTIATE_TEST_SUITE_P(Languages, SearchWindowShot, ::testing::Values("en", "ja"));

// A rename arrives while the list shows: its cells repaint at once, and
// names alone never empty the list, not even at the next entry.
TEST_F(SearchWindowTest, ARenameRepaintsTheShownListAndKeepsIt)
{
    cv::BookWindow *w = openBook();
    document->commitCategoryTrees();
    cv::SearchPage *page = w->searchPage();
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    ASSERT_EQ(search(w), 3);
    cv::SearchResultsPanel *results = page->controller()->resultsPanel();
    QSignalSpy repainted(results->tableView()->model(), &QAbstractItemModel::dataChanged);
    document->renameNode(document->findExpense(kFood), QStringLiteral("Groceries"));
    EXPECT_GT(repainted.count(), 0);
    EXPECT_EQ(results->textOfColumnId(cv::SearchResultsPanel::CategoryColumn, 0), QStringLiteral("Groceries"));

    w->selectTabWithIdentifier(QStringLiteral("TB01"));
    document->renameNode(document->findExpense(kFood), QStringLiteral("Food"));
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    EXPECT_EQ(page->resultCount(), 3);
}
