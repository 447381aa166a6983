// The viewer page in its window: columns that follow the unit without model
// resets, navigation, fonts, keys, and entry panels in the temporary page.
#include "mainwindow/MainWindowTestSupport.h"

#include "controls/HostedPanel.h"
#include "mainwindow/viewer/AccountGrid.h"
#include "mainwindow/pages/BudgetPage.h"
#include "mainwindow/pages/BorderedOutlineView.h"
#include "mainwindow/viewer/CategoryGrid.h"
#include "mainwindow/pages/SearchPage.h"
#include "mainwindow/pages/TemporaryPage.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "model/AccountTrees.h"
#include "model/Settings.h"
#include "model/Node.h"
#include "model/DomainEnums.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

namespace {

// An entry panel that only records what the window and the grids ask of it.
class TestPanel : public QWidget, public cv::HostedPanel {
    Q_OBJECT
public:
    TestPanel(const cv::NodePtr &node, const QDate &from, const QDate &to, QStringList *log)
        : m_node(node), m_from(from), m_to(to), m_log(log)
    {
    }
    void willMaximizeForView(QObject *view) override { m_view = qobject_cast<QWidget *>(view); }
    void commitPendingInput() override { *m_log << QStringLiteral("commit"); }
    int commitPanel() override
    {
        *m_log << QStringLiteral("commitPanel");
        return returnCode();
    }
    int returnCode() const override { return 1; }
    // The OK button.
    void ok() { Q_EMIT closeMaximizedPanelRequested(); }

Q_SIGNALS:
    void closeMaximizedPanelRequested();

public:
    cv::NodePtr m_node;
    QDate m_from;
    QDate m_to;
    QPointer<QWidget> m_view;
    QStringList *m_log;
};

class ViewerTest : public DelegateTest {
protected:
    void open()
    {
        w = openNewWindow(document, 1200, 700);
        ASSERT_NE(w, nullptr);
        viewer = w->viewerPage();
        ASSERT_NE(viewer, nullptr);
        for (QAbstractItemModel *model : {viewer->accountModel(), viewer->categoryModel()})
            new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Fatal, model);
        w->setEntryPanelMaker([this](cv::ViewerGrid &grid, cv::Book &, const cv::NodePtr &node, const QDate &from,
                                     const QDate &to, cv::EntryPanelKind) {
            auto *panel = new TestPanel(node, from, to, &log);
            QObject::connect(panel, &TestPanel::closeMaximizedPanelRequested, &grid,
                             &cv::ViewerGrid::closeMaximizedPanel);
            return panel;
        });
        QTest::qWait(cv::ViewerPage::kResizeDelayMs + 50);
    }
    cv::NodePtr firstOfKind(cv::NodeKind kind) const
    {
        for (const cv::NodePtr &n : document->accountTrees()->asset()->children())
            if (n->kind() == kind) return n;
        return nullptr;
    }
    QPoint cellCenter(cv::ViewerGrid *grid, const QModelIndex &index) const { return grid->visualRect(index).center(); }

    cv::Book *document = nullptr;
    cv::BookWindow *w = nullptr;
    cv::ViewerPage *viewer = nullptr;
    QStringList log;
};

TEST_F(ViewerTest, ColumnsFollowTheUnitByInsertingAndRemovingAndExpansionStays)
{
    open();
    cv::ViewerModel *model = viewer->accountModel();
    QSignalSpy resets(model, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy inserted(model, &QAbstractItemModel::columnsInserted);
    QSignalSpy removed(model, &QAbstractItemModel::columnsRemoved);
    const QModelIndex debt = model->index(1, 0);
    viewer->accountView()->collapse(debt);
    viewer->accountView()->expand(debt);
    for (int unit : {1, 2, 0, 5, 1}) {
        viewer->updatePeriod(unit);
        EXPECT_EQ(model->columnCount(), viewer->columns().accountColumnCount()) << unit;
        EXPECT_EQ(viewer->categoryModel()->columnCount(), viewer->columns().categoryColumnCount()) << unit;
        EXPECT_TRUE(viewer->accountView()->isExpanded(debt)) << unit;
    }
    // Narrower data columns: more of them, inserted.
    viewer->updatePeriod(2);
    const int before = model->columnCount();
    viewer->setCellWidth(40);
    EXPECT_GT(model->columnCount(), before);
    viewer->setCellWidth(120);
    EXPECT_LT(model->columnCount(), before);
    viewer->refreshMainView();
    EXPECT_TRUE(viewer->accountView()->isExpanded(debt));
    EXPECT_TRUE(model->nodeAt(debt)->isExpanded());
    // Saving stores the expansion with the trees and leaves the grids as they are.
    Q_EMIT document->aboutToSave();
    EXPECT_TRUE(viewer->accountView()->isExpanded(debt));
    EXPECT_EQ(resets.count(), 0);
    EXPECT_GT(inserted.count(), 0);
    EXPECT_GT(removed.count(), 0);
}

TEST_F(ViewerTest, NavigationRemembersTheDateAcrossUnitsAndFontsStopAtTheirEnds)
{
    open();
    document->settings()->setFiscalDayOfMonth(24);
    struct Step {
        const char *what;
        std::function<void()> act;
        QDate top;
    };
    // clang-format off
    const Step steps[] = {
        {"pick in days", [&] { viewer->updatePeriod(0); w->performInputDate(QDate(2009, 5, 10)); }, QDate(2009, 5, 10)},
        {"to months", [&] { viewer->updatePeriod(2); }, QDate(2009, 4, 25)},
        {"snapping keeps the remembered day", [&] { w->adjustTopDate(2); }, QDate(2009, 4, 25)},
        {"back to days", [&] { viewer->updatePeriod(0); }, QDate(2009, 5, 10)},
        {"next day", [&] { viewer->moveDateForwardOrBackward(1); }, QDate(2009, 5, 11)},
        {"to months again", [&] { viewer->updatePeriod(2); }, QDate(2009, 4, 25)},
        {"next month", [&] { viewer->moveDateForwardOrBackward(1); }, QDate(2009, 5, 25)},
        {"previous month", [&] { viewer->moveDateForwardOrBackward(-1); }, QDate(2009, 4, 25)},
        {"the step forgot the day", [&] { viewer->updatePeriod(0); }, QDate(2009, 4, 25)},
        {"previous day is not snapped", [&] { viewer->moveDateForwardOrBackward(-1); }, QDate(2009, 4, 24)},
    };
    // clang-format on
    for (const Step &s : steps) {
        s.act();
        EXPECT_EQ(w->topDate(), s.top) << s.what;
        EXPECT_EQ(viewer->columns().columnFirstDate(cv::ViewerColumns::kStartDataCells), s.top) << s.what;
    }

    struct Font {
        int stored;
        bool larger;
        int storedAfter;
    } fonts[] = {{0, true, 4}, {6, true, 6}, {5, true, 5}, {1, false, 1}, {2, false, 1}};
    for (const Font &f : fonts) {
        document->settings()->setViewerFontSize(f.stored);
        viewer->changeFontSize(!f.larger); // shows the stored size's neighbour first
        document->settings()->setViewerFontSize(f.stored);
        viewer->changeFontSize(f.larger);
        EXPECT_EQ(document->settings()->viewerFontSize(), f.storedAfter) << f.stored;
    }
    EXPECT_EQ(cv::ViewerPage::fontSizeForIndex(0), 11);
    EXPECT_EQ(cv::ViewerPage::fontSizeForIndex(6), 11);
    cv::ViewerGrid *grid = viewer->accountView();
    grid->setFontSize(7);
    EXPECT_FALSE(grid->changeFontSize(-1)) << "6 is refused";
    grid->setFontSize(31);
    EXPECT_FALSE(grid->changeFontSize(1)) << "32 is refused";
    EXPECT_TRUE(grid->changeFontSize(-1));
}

TEST_F(ViewerTest, KeysMoveTheCellPageThePeriodAndCrossToTheOtherGrid)
{
    open();
    viewer->updatePeriod(2);
    w->performInputDate(QDate(2009, 5, 1));
    cv::AccountGrid *grid = viewer->accountView();
    grid->setFocus();
    const int first = cv::ViewerColumns::kStartDataCells;
    const int last = first + viewer->columns().numDataCells() - 1;
    ASSERT_GT(last, first);
    grid->selectColumnAtIndexValue(first + 1);
    QTest::keyClick(grid, Qt::Key_Left);
    EXPECT_EQ(grid->selectedColumnId(), first);
    QTest::keyClick(grid, Qt::Key_Left);
    EXPECT_EQ(w->topDate(), QDate(2009, 4, 1)) << "at the first data cell Left pages back";
    EXPECT_EQ(grid->selectedColumnId(), first) << "the column stays across the step";
    grid->selectColumnAtIndex(last);
    QTest::keyClick(grid, Qt::Key_Right);
    EXPECT_EQ(w->topDate(), QDate(2009, 5, 1));

    grid->selectColumnAtIndex(first);
    const QModelIndex row = grid->selectedRow();
    const bool expanded = grid->isExpanded(row);
    QTest::keyClick(grid, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_NE(grid->isExpanded(row), expanded);
    EXPECT_EQ(grid->viewerModel()->nodeAt(row)->isExpanded(), !expanded) << "expansion reaches the node";
    EXPECT_EQ(w->topDate(), QDate(2009, 5, 1));

    grid->selectColumnAtIndex(first + 1);
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_TRUE(viewer->categoryView()->hasFocus());
    EXPECT_EQ(viewer->categoryView()->selectedColumnId(), first + 1);
}

TEST_F(ViewerTest, ACellOpensItsPanelInTheTemporaryPageAndLeavingCommitsIt)
{
    open();
    viewer->updatePeriod(2);
    w->performInputDate(QDate(2009, 5, 1));
    cv::AccountGrid *grid = viewer->accountView();
    const cv::NodePtr bank = firstOfKind(cv::NodeKind::Bank);
    ASSERT_TRUE(bank);
    const QModelIndex cell = viewer->accountModel()->indexOfNode(bank.get(), cv::ViewerColumns::kStartDataCells);
    grid->scrollTo(cell);
    w->undoStack()->push(new QUndoCommand(QStringLiteral("typed")));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, cell));
    ASSERT_TRUE(grid->panel());
    auto *panel = qobject_cast<TestPanel *>(grid->panel());
    EXPECT_EQ(panel->m_node, bank);
    EXPECT_EQ(panel->m_from, QDate(2009, 5, 1));
    EXPECT_EQ(panel->m_to, QDate(2009, 5, 31));
    EXPECT_EQ(panel->m_view, grid);
    EXPECT_EQ(w->pageSwitcher().currentPage(), w->temporaryPage());

    // Saving applies the open panel through its own path; the panel stays.
    log.clear();
    Q_EMIT document->aboutToSave();
    EXPECT_EQ(log, QStringList{QStringLiteral("commit")});

    log.clear();
    w->selectTabWithIdentifier(QStringLiteral("TB03"));
    EXPECT_EQ(log, QStringList{QStringLiteral("commitPanel")});
    EXPECT_EQ(w->undoStack()->count(), 1) << "the panel, not the window, settles its steps";
    EXPECT_EQ(grid->panel(), nullptr);
    EXPECT_EQ(w->temporaryPage(), nullptr);

    // Going back to the viewer from the panel commits it too.
    w->selectTabWithIdentifier(QStringLiteral("TB01"));
    grid->scrollTo(cell);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, cell));
    ASSERT_TRUE(grid->panel());
    log.clear();
    w->selectTabWithIdentifier(QStringLiteral("TB01"));
    EXPECT_EQ(log, QStringList{QStringLiteral("commitPanel")});
    EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB01"));

    // OK closes the panel, committing it, and the viewer shows again.
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, cell));
    ASSERT_TRUE(grid->panel());
    log.clear();
    qobject_cast<TestPanel *>(grid->panel())->ok();
    EXPECT_EQ(log, QStringList{QStringLiteral("commitPanel")});
    EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB01"));
    EXPECT_EQ(w->temporaryPage(), nullptr);

    // A data cell of the asset root searches its accounts for that month.
    w->selectTabWithIdentifier(QStringLiteral("TB01"));
    const QModelIndex root = viewer->accountModel()->index(0, cv::ViewerColumns::kStartDataCells);
    grid->scrollTo(root);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, root));
    EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB02"));
    EXPECT_EQ(grid->panel(), nullptr);
}

TEST_F(ViewerTest, GridsShowTheRootsAndTheSystemTransferRowsAfterTheSummaries)
{
    open();
    const cv::ViewerModel *accounts = viewer->accountModel();
    const cv::ViewerModel *categories = viewer->categoryModel();
    const auto &am = *document->accountTrees();
    const auto &cm = *document->categoryTrees();
    const std::vector<const cv::Node *> accountRoots{am.asset().get(), am.debt().get(), am.summary().get()};
    const std::vector<const cv::Node *> categoryRoots{cm.moneyFlow().get(), cm.income().get(), cm.expense().get(),
                                                      cm.summary().get()};
    for (const auto &[model, roots] : {std::pair{accounts, accountRoots}, std::pair{categories, categoryRoots}}) {
        ASSERT_EQ(model->rowCount(), int(roots.size()));
        for (int row = 0; row < model->rowCount(); ++row)
            EXPECT_EQ(model->nodeAt(model->index(row, 0)), roots[size_t(row)]) << row;
    }
    const QModelIndex summary = categories->index(3, 0);
    const int own = cm.summary()->hasChildList() ? int(cm.summary()->children().size()) : 0;
    ASSERT_EQ(categories->rowCount(summary), own + 2);
    const QModelIndex in = categories->index(own, 0, summary);
    const QModelIndex out = categories->index(own + 1, 0, summary);
    EXPECT_EQ(categories->nodeAt(in), document->autoCashIn().get());
    EXPECT_EQ(categories->nodeAt(out), document->autoCashOut().get());
    EXPECT_FALSE(categories->hasChildren(out));
}

} // namespace

#include "ViewerTest.moc"

// Long names show whole in the viewer's grids and on the budget page, and no
// grid's last column ends under its scroll bar.
TEST_F(DelegateTest, NamesAreShownWholeAndTheLastColumnEndsAtTheScrollBar)
{
    cv::Book *document = nullptr;
    cv::BookWindow *w = openNewWindow(document, 1100, 700);
    const QString name = QStringLiteral("Household Checking Account (Main Bank)");
    document->accountTrees()->asset()->childAt(0)->setName(name);
    document->categoryTrees()->expense()->childAt(0)->setName(name);
    auto *budget = qobject_cast<cv::BudgetPage *>(w->page(cv::BookWindow::BudgetIndex));
    for (auto [page, grids] :
         {std::pair("TB01", std::vector<QTreeView *>{w->viewerPage()->accountView(), w->viewerPage()->categoryView()}),
          std::pair("TB03", std::vector<QTreeView *>{budget->budgetView()})}) {
        w->selectTabWithIdentifier(QLatin1String(page));
        w->resize(w->width() + 1, 700); // a layout after the renames
        QTest::qWait(200);
        for (QTreeView *grid : grids) {
            const QHeaderView *h = grid->header();
            EXPECT_GE(h->sectionSize(0), QFontMetrics(grid->font()).horizontalAdvance(name) + 2 * grid->indentation());
            int last = h->count() - 1;
            while (last > 0 && h->sectionSize(last) == 0) --last;
            // The viewer's grids reach their edge: no empty band after the last column.
            const int end = h->sectionViewportPosition(last) + h->sectionSize(last);
            EXPECT_LE(end, grid->viewport()->width()) << page;
            if (QLatin1String(page) == QLatin1String("TB01")) EXPECT_EQ(end, grid->viewport()->width());
        }
    }
}
