// The currency page in a document window: cells, typed edits, the day
// columns, the menu, dropping a currency at the top, and leaving the page.
#include "mainwindow/MainWindowTestSupport.h"
#include "support/Screenshots.h"

#include "controls/PopupFieldEditor.h"
#include "document/Book.h"
#include "document/BookTestAccess.h"
#include "import/ImportCSVSheet.h"
#include "mainwindow/pages/CurrencyPage.h"
#include "mainwindow/pages/CurrencyTableView.h"
#include "support/SampleBook.h"
#include "mainwindow/viewer/ViewerColumns.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "reports/ReportSheet.h"
#include "model/Entry.h"
#include "model/AccountDetail.h"
#include "model/DatedPrice.h"
#include "panels/entry/PricePanel.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTest>

using cv::CurrencyPage;

namespace {

class CurrencyPageTest : public DelegateTest {
protected:
    void SetUp() override
    {
        DelegateTest::SetUp();
        w = openNewWindow(document, 1000, 600);
        ASSERT_NE(w, nullptr);
        page = qobject_cast<CurrencyPage *>(w->page(cv::BookWindow::CurrencyIndex));
        ASSERT_NE(page, nullptr);
    }
    // JPY (default) and USD at 100 yen, with 98.5 from 1 May 2009.
    void yenAndDollar()
    {
        // A new book holds the yen alone.
        ASSERT_EQ(document->currencyList().size(), 1u);
        jpy = document->defaultCurrency();
        jpy->setName(QStringLiteral("JPY"));
        usd = samplebook::currency(*document, 2, QStringLiteral("USD"), 100, 2);
        ASSERT_TRUE(document->putRate(samplebook::priceTime(2, QDate(2009, 5, 1), 98.5)));
        document->commitCurrencyList();
    }
    void show()
    {
        w->selectTabWithIdentifier(QStringLiteral("TB05"));
        QApplication::processEvents();
    }
    QStringList row(int r, int from, int to) const
    {
        QStringList out;
        for (int c = from; c <= to; ++c) out << page->cellText(c, r);
        return out;
    }

    cv::Book *document = nullptr;
    cv::BookWindow *w = nullptr;
    CurrencyPage *page = nullptr;
    cv::CurrencyPtr jpy, usd;
};

TEST_F(CurrencyPageTest, CellsShowTheRateInForceEachDay)
{
    yenAndDollar();
    w->setTopDate(QDate(2009, 4, 30));
    show();
    ASSERT_GE(page->numDataCells(), 3);
    EXPECT_EQ(row(1, CurrencyPage::NameColumn, CurrencyPage::FormatColumn), (QStringList{"USD", "USD", "", "0.00"}));
    EXPECT_EQ(row(1, CurrencyPage::RateColumn, CurrencyPage::kStartDataCells + 2),
              (QStringList{"100.00", "100.00", "98.50", "98.50"}));
    EXPECT_EQ(page->dateOfColumn(CurrencyPage::kStartDataCells + 1), QDate(2009, 5, 1));
    EXPECT_EQ(page->cellText(CurrencyPage::kStartDataCells + page->numDataCells(), 1), "");

    // Switched off: every rate reads "---", but a typed rate is still stored.
    usd->setFlags(1);
    EXPECT_EQ(page->cellText(CurrencyPage::RateColumn, 1), "---");
    EXPECT_EQ(page->cellText(CurrencyPage::kStartDataCells, 1), "---");
    usd->setFlags(0);

    // Only a number above 0 is a rate, in the day cells and the base rate; grouping commas are read whole.
    // A refused text stores nothing: a 0 in the store would not even show in the rate in force.
    const int day = CurrencyPage::kStartDataCells;
    struct Typed {
        int column;
        const char *text;
        double stored; // the rate on 30 Apr afterwards
    } typed[] = {{day, "abc", 100},
                 {day, "0", 100},
                 {day, "-5", 100},
                 {day, "", 100},
                 {CurrencyPage::RateColumn, "0", 100},
                 {day, "1,234.5", 1234.5},
                 {day, "１０１", 101},
                 {day, "1e308", 101},
                 {day, "1,000,000,000,001", 101}}; // beyond 10^12: refused with the reason
    for (const Typed &t : typed) {
        cv::EditingTable *table = page->table();
        table->editColumn(table->columnWithIdentifier(t.column), 1, nullptr, true);
        const QString text = QString::fromUtf8(t.text);
        if (text.isEmpty()) {
            QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Backspace);
        } else if (text.front().unicode() < 0x80) {
            QTest::keyClicks(cv::GetPopupFieldEditor(), text);
        } else {
            QInputMethodEvent commit; // full-width digits come from the input method
            commit.setCommitString(text);
            QApplication::sendEvent(cv::GetPopupFieldEditor(), &commit);
        }
        table->forceEndFieldEditing(true);
        EXPECT_DOUBLE_EQ(document->currencyRate(usd, QDate(2009, 4, 30)), t.stored) << t.text;
        EXPECT_DOUBLE_EQ(usd->rate(), 100) << t.text;
        const auto stored = document->store()->getRateListForCurrency(2);
        ASSERT_TRUE(stored.has_value());
        for (const auto &rate : *stored) EXPECT_GT(rate->price(), 0) << t.text;
    }
    EXPECT_TRUE(page->currencyChanged());
    // Row 0 never changes.
    page->setObjectValue(page->table(), QStringLiteral("Yen"), CurrencyPage::NameColumn, 0);
    EXPECT_EQ(jpy->name(), "JPY");
}

// A rate typed here reaches the totals in the default currency of a viewer
// that shows meanwhile (a second window on the book), values only.
TEST_F(CurrencyPageTest, ATypedRateReachesAShownViewersConvertedTotals)
{
    yenAndDollar();
    auto record = std::make_shared<cv::AccountDetail>();
    record->setDate(QDate(2009, 1, 1));
    auto dollars = std::make_shared<cv::Node>();
    dollars->setIdent(*document->accountTrees()->uniqueId());
    dollars->setKind(cv::NodeKind::Cash);
    dollars->setCurrency(usd->ident());
    dollars->setName(QStringLiteral("Dollars"));
    dollars->setExtra(record);
    document->addNode(dollars, document->accountTrees()->asset());
    const cv::NodePtr salary =
        cv::BookTestAccess::findFirstItem(document->categoryTrees()->income(), cv::NodeKind::Category);
    ASSERT_TRUE(salary);
    document->updateIncome(
        samplebook::entry(cv::EntryKind::Income, QDate(2009, 4, 10), 10, salary->ident(), dollars->ident()), nullptr);
    document->updateIncome(
        samplebook::entry(cv::EntryKind::Income, QDate(2009, 4, 30), 10, salary->ident(), dollars->ident()), nullptr);

    w->setTopDate(QDate(2009, 4, 30));
    show();
    cv::BookWindow other(document);
    other.resize(1000, 600);
    other.show();
    cv::ViewerPage *viewer = other.viewerPage();
    ASSERT_NE(viewer, nullptr);
    viewer->updatePeriod(0);
    other.performInputDate(QDate(2009, 4, 30));
    QApplication::processEvents();
    const QModelIndex assets = viewer->accountModel()->index(0, cv::ViewerColumns::kStartDataCells);
    ASSERT_EQ(viewer->columns().columnFirstDate(cv::ViewerColumns::kStartDataCells), QDate(2009, 4, 30));
    ASSERT_EQ(assets.data().toString(), "2,000");
    QSignalSpy resets(viewer->accountModel(), &QAbstractItemModel::modelReset);
    QSignalSpy changed(viewer->accountModel(), &QAbstractItemModel::dataChanged);

    page->setObjectValue(page->table(), QStringLiteral("120"), CurrencyPage::kStartDataCells, 1);
    QApplication::processEvents();
    EXPECT_GT(changed.count(), 0);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(assets.data().toString(), "2,400");
    // Still on the page: the reports (and charts) take the category totals at the typed rate.
    w->selectTabWithIdentifier(QStringLiteral("TB04"));
    EXPECT_DOUBLE_EQ(document->summaryForCategoryDays(salary, QDate(2009, 4, 1), 30), 2200);
    auto *reports = w->findChild<cv::ReportSheet *>();
    ASSERT_TRUE(reports);
    reports->closeButton()->click();
    other.hide();
}

TEST_F(CurrencyPageTest, TypingIntoTheFormatCellTogglesIt)
{
    yenAndDollar();
    show();
    page->table()->editColumn(CurrencyPage::FormatColumn, 1, nullptr, true);
    ASSERT_TRUE(page->table()->isEditing());
    QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("x"));
    EXPECT_EQ(page->cellText(CurrencyPage::FormatColumn, 1), "0");
    EXPECT_EQ(usd->fraction(), 0);
    EXPECT_EQ(page->table()->editedColumn(), CurrencyPage::FormatColumn);
    QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("x"));
    EXPECT_EQ(page->cellText(CurrencyPage::FormatColumn, 1), "0.00");
    // Storing the shown text again changes nothing.
    page->setObjectValue(page->table(), QStringLiteral("0.00"), CurrencyPage::FormatColumn, 1);
    EXPECT_EQ(usd->fraction(), 2);
    EXPECT_EQ(CurrencyPage::formatText(3), "000");
}

TEST_F(CurrencyPageTest, MenuCommandsFollowTheSelectedCurrency)
{
    yenAndDollar();
    show();
    // The rate list is the price panel, as a sheet on the window.
    page->table()->selectRow(1, -1, nullptr);
    page->execMenu(CurrencyPage::EditRatesTag);
    auto *sheet = w->findChild<cv::PricePanel *>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->currency(), usd);
    EXPECT_TRUE(w->isShowingSheet());
    sheet->cancelPushed();
    QApplication::processEvents();
    EXPECT_FALSE(w->isShowingSheet());

    page->execMenu(CurrencyPage::ImportRatesTag); // the rate list import for the selected currency
    auto *rateImport = w->findChild<cv::ImportCSVSheet *>();
    ASSERT_NE(rateImport, nullptr);
    EXPECT_TRUE(w->isShowingSheet());
    rateImport->reject();
    QApplication::processEvents();
    EXPECT_FALSE(w->isShowingSheet());

    bool opened = false;
    page->setRateListOpener([&](const cv::CurrencyPtr &c, QWidget *, std::function<void(int)> done) {
        opened = c == usd;
        done(1);
    });
    struct Case {
        int row;
        bool rates, import, switchOff;
    } cases[] = {{0, false, false, false}, {1, true, true, true}};
    for (const Case &c : cases) {
        page->table()->selectRow(c.row, -1, nullptr);
        EXPECT_EQ(w->validateMenuItem(CurrencyPage::EditRatesTag), c.rates) << c.row;
        EXPECT_EQ(w->validateMenuItem(CurrencyPage::ImportRatesTag), c.import) << c.row;
        EXPECT_EQ(w->validateMenuItem(CurrencyPage::SwitchOffTag), c.switchOff) << c.row;
        EXPECT_TRUE(w->validateMenuItem(CurrencyPage::NewCurrencyTag));
        EXPECT_FALSE(w->validateMenuItem(30033));
    }
    page->execMenu(CurrencyPage::EditRatesTag);
    EXPECT_TRUE(opened);
    EXPECT_EQ(page->switchTitle(), cv::localizedString("Disable"));
    page->execMenu(CurrencyPage::SwitchOffTag);
    EXPECT_EQ(usd->flags() & 1, 1);
    EXPECT_EQ(page->switchTitle(), cv::localizedString("Enable"));

    alerts.names.push_back(std::nullopt);
    page->execMenu(CurrencyPage::NewCurrencyTag);
    EXPECT_EQ(document->currencyList().size(), 2u);
    alerts.names.push_back(QStringLiteral("Test"));
    page->execMenu(CurrencyPage::NewCurrencyTag);
    ASSERT_EQ(document->currencyList().size(), 3u);
    const cv::CurrencyPtr added = document->currencyList().back();
    EXPECT_EQ(row(2, 0, 3), (QStringList{"Test", "", "--", "0.00"}));
    EXPECT_EQ(page->table()->editedRow(), 2);
    EXPECT_EQ(page->table()->editedColumn(), CurrencyPage::NameColumn);
    EXPECT_NE(added->ident(), 1);

    // Edit > Delete and Select All stay off in this table, in a cell's editor or not.
    QApplication::setActiveWindow(w);
    for (const bool editing : {true, false}) {
        if (!editing) page->table()->forceEndFieldEditing(true);
        if (!editing) page->table()->setFocus();
        ASSERT_EQ(qobject_cast<cv::PopupFieldEditor *>(QApplication::focusWidget()) != nullptr, editing);
        delegate->validateMenus();
        EXPECT_FALSE(delegate->actionNamed(QStringLiteral("selectAll"))->isEnabled()) << editing;
        EXPECT_FALSE(delegate->actionNamed(QStringLiteral("del"))->isEnabled()) << editing;
    }
}

TEST_F(CurrencyPageTest, DroppingACurrencyAtTheTopMakesItTheDefaultAfterTheQuestion)
{
    yenAndDollar();
    show();
    EXPECT_FALSE(page->canDragRow(0));
    // Drops fall between rows: the lower half of a row goes below it.
    cv::CurrencyTableView *table = page->table();
    const int y = table->rowViewportPosition(1);
    EXPECT_EQ(table->dropRowAt(QPoint(5, y + 2)), 1);
    EXPECT_EQ(table->dropRowAt(QPoint(5, y + table->rowHeight(1) - 2)), 2);
    EXPECT_EQ(table->dropRowAt(QPoint(5, table->viewport()->height() - 2)), 2);
    EXPECT_FALSE(page->acceptDrop(1, 1));
    EXPECT_FALSE(page->acceptDrop(1, 2)) << "just below itself is where it is";
    EXPECT_FALSE(page->acceptDrop(0, 2)) << "the default currency is never dragged";

    alerts.answers.push_back(cv::AlertButton::Alternate); // declined
    EXPECT_FALSE(page->acceptDrop(1, 0));
    EXPECT_EQ(document->defaultCurrency(), jpy);
    EXPECT_DOUBLE_EQ(document->currencyRate(usd, QDate(2009, 6, 1)), 98.5);

    alerts.answers.push_back(cv::AlertButton::Default);
    EXPECT_TRUE(page->acceptDrop(1, 0));
    EXPECT_EQ(document->defaultCurrency(), usd);
    EXPECT_DOUBLE_EQ(usd->rate(), 1);
    EXPECT_DOUBLE_EQ(jpy->rate(), 0.01);
    EXPECT_DOUBLE_EQ(document->currencyRate(usd, QDate(2009, 6, 1)), 1) << "dated rates are gone";
    auto list = document->store()->getRateListForCurrency(2);
    ASSERT_TRUE(list.has_value());
    EXPECT_TRUE(list->empty());
}

TEST_F(CurrencyPageTest, ThePageKeepsItsUnitAndEndsEditingWhenLeft)
{
    yenAndDollar();
    document->settings()->setViewerUnit(2);
    ASSERT_TRUE(delegate->openBooks().saveDocumentAs(document, path(QStringLiteral("book.cvv2"))));
    ASSERT_FALSE(document->isDocumentEdited());
    show();
    EXPECT_FALSE(document->isDocumentEdited()) << "entering the page changes nothing";
    EXPECT_EQ(page->table()->editedRow(), 1);
    ASSERT_TRUE(delegate->openBooks().saveDocument(document));
    EXPECT_EQ(document->settings()->viewerUnit(), 2);

    // An edit still open is stored when the page is left.
    cv::GetPopupFieldEditor()->setText(QStringLiteral("Dollar"));
    QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("s"));
    w->selectTabWithIdentifier(QStringLiteral("TB01"));
    EXPECT_FALSE(page->table()->isEditing());
    EXPECT_EQ(usd->name(), "Dollars");
    EXPECT_EQ(document->settings()->viewerUnit(), 2);
}

TEST_F(CurrencyPageTest, ANarrowWindowOrASingleCurrencyIsSafe)
{
    ASSERT_EQ(document->currencyList().size(), 1u);
    show();
    EXPECT_FALSE(page->table()->isEditing()) << "no row 1 to edit";
    page->table()->selectRow(0, -1, nullptr);
    QTest::keyClick(page->table(), Qt::Key_Return);
    EXPECT_FALSE(page->table()->isEditing()) << "the default currency is read only";
    w->resize(640, 420);
    page->resize(300, 300);
    page->setupCurrencyColumns();
    EXPECT_EQ(page->numDataCells(), 0);
    EXPECT_EQ(page->table()->numberOfColumns(), CurrencyPage::kStartDataCells);
    page->resize(1200, 300);
    page->setupCurrencyColumns();
    EXPECT_GT(page->numDataCells(), 0);
    EXPECT_EQ(page->table()->numberOfColumns(), CurrencyPage::kStartDataCells + page->numDataCells());

    // The book closes while the page shows; the window goes later and reads nothing of it.
    QPointer<CurrencyPage> shown(page);
    delegate->openBooks().closeDocument(document, false);
    if (shown) shown->resize(900, 300);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(CurrencyPageTest, ThePrintedListHasFiveTextsPerCurrency)
{
    yenAndDollar();
    usd->setPrefix(QStringLiteral("$"));
    show();
    EXPECT_EQ(page->currencyReportCallback(cv::CurrenciesPrintParam(cv::PrintedPagesParam::Header, -1)).size(), 5);
    const QStringList dollar = page->currencyReportCallback(cv::CurrenciesPrintParam(0, 1));
    ASSERT_EQ(dollar.size(), 5);
    EXPECT_EQ(dollar.mid(0, 4), (QStringList{"USD", "$", "0.00", "100.00"}));
    EXPECT_EQ(dollar[4], "98.50");

    const QString pdf = cvtest::screenshotPath(QStringLiteral("currency-page.pdf"));
    EXPECT_TRUE(w->printView(delegate->preference(), cv::PrintRunner::Mode::Pdf, pdf).printed);
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
}

} // namespace

// Previous and next step a day keeping the edited cell; a wider base rate column widens the days.
TEST_F(CurrencyPageTest, DayButtonsStepOneDayAndTheRateColumnSetsTheDayWidth)
{
    yenAndDollar();
    w->setTopDate(QDate(2009, 4, 30));
    show();
    for (auto [name, top, rate] : {std::tuple("nextButtonCurrency", QDate(2009, 5, 1), "98.50"),
                                   {"prevButtonCurrency", QDate(2009, 4, 30), "100.00"}}) {
        page->table()->editColumn(CurrencyPage::NameColumn, 1, nullptr, true);
        page->findChild<QToolButton *>(QLatin1String(name))->click();
        EXPECT_EQ(w->topDate(), top);
        EXPECT_EQ(page->cellText(CurrencyPage::kStartDataCells, 1), QLatin1String(rate));
        EXPECT_EQ(std::pair(page->table()->editedColumn(), page->table()->editedRow()), std::pair(0, 1));
    }
    const int narrow = page->numDataCells();
    QHeaderView *header = page->table()->horizontalHeader();
    header->resizeSection(CurrencyPage::RateColumn, 180);
    EXPECT_LT(page->numDataCells(), narrow);
    EXPECT_EQ(header->sectionSize(CurrencyPage::kStartDataCells + page->numDataCells() - 1), 180);
}
