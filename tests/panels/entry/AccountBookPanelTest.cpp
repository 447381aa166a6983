// The account book under the fingers: balances, the kind chooser, the
// transfer popup, typed amounts and dates, deletion with undo, and the
// commits of the temporary page.
#include "panels/PanelTestSupport.h"

#include "controls/TableCell.h"
#include "document/Book.h"
#include "model/EditFlags.h"
#include "model/Grouping.h"
#include "panels/entry/TransferFieldDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

const QDate kFeb1(2009, 2, 1);
const QDate kFeb28(2009, 2, 28);

using samplebook::storedEntries;

class AccountBookPanelTest : public BookTest {
protected:
    void SetUp() override
    {
        BookTest::SetUp();
        if (HasFatalFailure()) return;
        store(*doc, cv::EntryKind::Expense, QDate(2009, 1, 15), 1000, kFood, kA);
    }
};

TEST_F(AccountBookPanelTest, RunningBalanceShowsOnEveryRowTypedOrStoredAndTheTransferReachesTheCard)
{
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 2), 3000, kFood, kC);
    auto panel = openBook(*doc, kA, kFeb1, kFeb28);
    EXPECT_EQ(panel->carriedBalanceText(), QStringLiteral("9,000"));

    type(*panel, cv::AccountBookPanel::OutColumn, 0, QStringLiteral("3000"));
    panel->addItem();
    chooseKind(*panel, 1, kSalary, true);
    type(*panel, cv::AccountBookPanel::InColumn, 1, QStringLiteral("500"));
    panel->addItem();
    type(*panel, cv::AccountBookPanel::DateColumn, 2, QStringLiteral("2009/02/03"));
    chooseKind(*panel, 2, kTransferRow);
    cv::TransferFieldDialog *popup = panel->transferFieldDialog();
    ASSERT_TRUE(popup->isVisible());
    Q_EMIT popup->destinationButton()->activated(popup->destinationButton()->findData(kC));
    popup->accountField()->setText(QStringLiteral("2000"));
    ASSERT_TRUE(popup->okButton()->isEnabled());
    popup->ok();
    EXPECT_FALSE(popup->isVisible());
    // Typed after a later row, it counts at its day.
    panel->addItem();
    type(*panel, cv::AccountBookPanel::DateColumn, 3, QStringLiteral("2009/02/02"));
    type(*panel, cv::AccountBookPanel::OutColumn, 3, QStringLiteral("1000"));
    // Typed rows count at once in date order, the outgoing transfer included.
    const QString typed[] = {QStringLiteral("6,000"), QStringLiteral("6,500"), QStringLiteral("3,500"),
                             QStringLiteral("5,500")};
    ASSERT_EQ(panel->numberOfRows(panel->tableView()), 4);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(cellText(*panel, cv::AccountBookPanel::BalanceColumn, row), typed[row]) << row;

    EXPECT_EQ(panel->commitPanel(), 4);
    auto reopened = openBook(*doc, kA, kFeb1, kFeb28);
    ASSERT_EQ(reopened->numberOfRows(reopened->tableView()), 5); // and the fresh new row
    const QString stored[] = {QStringLiteral("6,000"), QStringLiteral("6,500"), QStringLiteral("5,500"),
                              QStringLiteral("3,500")};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(cellText(*reopened, cv::AccountBookPanel::BalanceColumn, row), stored[row]) << row;
    EXPECT_EQ(cellText(*reopened, cv::AccountBookPanel::KindColumn, 3), QStringLiteral("Transfer → C"));

    auto card = openBook(*doc, kC, kFeb1, kFeb28);
    EXPECT_EQ(cellText(*card, cv::AccountBookPanel::BalanceColumn, 0), QStringLiteral("3,000"));
    EXPECT_EQ(cellText(*card, cv::AccountBookPanel::BalanceColumn, 1), QStringLiteral("1,000"));
    EXPECT_EQ(cellText(*card, cv::AccountBookPanel::InColumn, 1), QStringLiteral("2,000"));

    const auto entries = storedEntries(*doc, kC);
    ASSERT_EQ(entries.size(), 2u);
    const cv::Entry &transfer = *entries[1];
    EXPECT_EQ(transfer.kind(), 2);
    EXPECT_EQ(transfer.category(), 11);
    EXPECT_EQ(transfer.account(), kA);
    EXPECT_EQ(transfer.destination(), kC);
    EXPECT_DOUBLE_EQ(transfer.amount(), 2000.0);
    EXPECT_DOUBLE_EQ(transfer.converted(), 0.0);
}

TEST_F(AccountBookPanelTest, AnEmptyPeriodOffersOneNewExpenseRowOnItsFirstDay)
{
    auto panel = openBook(*doc, kA, QDate(2009, 3, 1), QDate(2009, 3, 31));
    EXPECT_EQ(panel->carriedBalanceText(), QStringLiteral("9,000"));
    ASSERT_EQ(panel->numberOfRows(panel->tableView()), 1);
    const cv::Entry &row = *panel->entryAt(0);
    EXPECT_EQ(row.date(), QDate(2009, 3, 1));
    EXPECT_EQ(row.kind(), cv::EntryKind::Expense);
    EXPECT_EQ(row.category(), kMiscExpense);
    EXPECT_EQ(row.flags(), cv::EditNew);
    EXPECT_EQ(cellText(*panel, cv::AccountBookPanel::KindColumn, 0), QStringLiteral("Expense"));
    EXPECT_FALSE(panel->okButton()->isEnabled());
    EXPECT_EQ(panel->commitPanel(), 0); // nothing typed, nothing stored
    // Left with a date, a kind and a memo but no amount: dropped, not stored.
    type(*panel, cv::AccountBookPanel::DateColumn, 0, QStringLiteral("2009/03/05"));
    chooseKind(*panel, 0, kSalary, true);
    type(*panel, cv::AccountBookPanel::MemoColumn, 0, QStringLiteral("bonus"));
    EXPECT_EQ(panel->commitPanel(), 0);
    EXPECT_EQ(storedEntries(*doc, kA).size(), 1u);

    // Closed with its kind chooser open: the chooser closes and nothing calls back.
    panel->tableView()->performClickAtColumn(cv::AccountBookPanel::MemoColumn, 0, nullptr);
    panel->editColumn(cv::AccountBookPanel::KindColumn, 0, nullptr);
    EXPECT_TRUE(cv::ChooserPopup::get()->isVisible());
    panel.reset();
    EXPECT_FALSE(cv::ChooserPopup::get()->isVisible());
}

TEST_F(AccountBookPanelTest, AKindChangeReplacesTheStoredEntryUnderItsIdentAndCountsOnce)
{
    const cv::EntryPtr expense = store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 5), 700, kFood, kA);
    const int ident = expense->ident();
    auto panel = openBook(*doc, kA, kFeb1, kFeb28);
    EXPECT_TRUE(panel->selectEntry(ident)); // as another page opens the book for an entry
    EXPECT_EQ(panel->tableView()->editedRow(), 0);
    chooseKind(*panel, 0, kSalary, true);
    EXPECT_EQ(cellText(*panel, cv::AccountBookPanel::InColumn, 0), QStringLiteral("700"));
    EXPECT_EQ(panel->commitPanel(), 1);
    const auto entries = storedEntries(*doc, kA);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1]->ident(), ident);
    EXPECT_EQ(entries[1]->kind(), cv::EntryKind::Income);
    EXPECT_EQ(entries[1]->category(), kSalary);
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(doc->findAccount(kA), kFeb28), 9700.0);
}

TEST_F(AccountBookPanelTest, ClicksLandOnTheColumnTheRowCanTake)
{
    store(*doc, cv::EntryKind::Income, QDate(2009, 2, 5), 100, kSalary, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 6), 100, kFood, kA);
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 7), 100, 0, kC, kA);
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 8), 100, 0, kA, kL); // a loan repayment: read-only
    auto panel = openBook(*doc, kA, kFeb1, kFeb28);
    struct Click {
        int cid, row, edited;
    };
    for (const Click &c : {Click{cv::AccountBookPanel::OutColumn, 0, cv::AccountBookPanel::InColumn},
                           Click{cv::AccountBookPanel::InColumn, 1, cv::AccountBookPanel::OutColumn},
                           Click{cv::AccountBookPanel::OutColumn, 2, cv::AccountBookPanel::InColumn},
                           Click{cv::AccountBookPanel::MemoColumn, 1, cv::AccountBookPanel::MemoColumn}}) {
        panel->tableView()->performClickAtColumn(c.cid, c.row, nullptr);
        EXPECT_EQ(panel->tableView()->editedColumn(), c.edited) << c.cid << " " << c.row;
        panel->tableView()->forceEndFieldEditing(false);
    }
    panel->tableView()->performClickAtColumn(cv::AccountBookPanel::MemoColumn, 3, nullptr);
    EXPECT_FALSE(panel->tableView()->isEditing());
    EXPECT_EQ(panel->verifyEditableColumn(cv::AccountBookPanel::CategoryColumn, 0, cv::Movement::Forward),
              cv::AccountBookPanel::InColumn);
    EXPECT_EQ(panel->verifyEditableColumn(cv::AccountBookPanel::InColumn, 1, cv::Movement::Forward),
              cv::AccountBookPanel::OutColumn);
    EXPECT_EQ(panel->verifyEditableColumn(cv::AccountBookPanel::OutColumn, 0, cv::Movement::Forward),
              cv::AccountBookPanel::MemoColumn);
    EXPECT_EQ(panel->verifyEditableColumn(cv::AccountBookPanel::BalanceColumn, 1, cv::Movement::Backward),
              cv::AccountBookPanel::OutColumn);

    auto loan = openBook(*doc, kL, kFeb1, kFeb28);
    loan->tableView()->performClickAtColumn(cv::AccountBookPanel::DateColumn, 0, nullptr);
    EXPECT_FALSE(loan->tableView()->selectionModel()->hasSelection());
}

TEST_F(AccountBookPanelTest, TypedAmountsRoundDownOnTheTextAndTypedDatesStayWithinAHundredYears)
{
    struct Case {
        int account;
        cv::EntryKind kind;
        QString keys;
        double stored;
    };
    for (const Case &c : {Case{kA, cv::EntryKind::Expense, QStringLiteral("1,234"), 1234},
                          Case{kU, cv::EntryKind::Expense, QStringLiteral("1234.567"), 1234.56},
                          Case{kU, cv::EntryKind::Expense, QStringLiteral("0.29"), 0.29},
                          Case{kA, cv::EntryKind::Income, QStringLiteral("-5"), -5}}) {
        auto panel = openBook(*doc, c.account, kFeb1, kFeb28);
        if (c.kind == cv::EntryKind::Income) chooseKind(*panel, 0, kSalary, true);
        const int cid =
            c.kind == cv::EntryKind::Income ? cv::AccountBookPanel::InColumn : cv::AccountBookPanel::OutColumn;
        type(*panel, cid, 0, c.keys);
        EXPECT_DOUBLE_EQ(panel->entryAt(0)->amount(), c.stored) << c.keys.toStdString();
        panel->commitPanel();
        doc->undoStack()->clear();
    }
    auto panel = openBook(*doc, kA, kFeb1, kFeb28);
    const int year = QDate::currentDate().year();
    type(*panel, cv::AccountBookPanel::DateColumn, 0, QStringLiteral("%1/02/03").arg(year - 100));
    EXPECT_EQ(panel->entryAt(0)->date(), kFeb1);
    type(*panel, cv::AccountBookPanel::DateColumn, 0, QStringLiteral("%1/02/03").arg(year - 99));
    EXPECT_EQ(panel->entryAt(0)->date(), QDate(year - 99, 2, 3));
    // The calculator's value goes to the selected row.
    panel->tableView()->QTableView::selectRow(0);
    panel->performInputValue(QStringLiteral("1,500"));
    EXPECT_DOUBLE_EQ(panel->entryAt(0)->amount(), 1500.0);
    // A word for a date; the calendar window's day for the one selected row, which is edited again.
    type(*panel, cv::AccountBookPanel::DateColumn, 0, QStringLiteral("yesterday"));
    EXPECT_EQ(panel->entryAt(0)->date(), QDate::currentDate().addDays(-1));
    panel->tableView()->QTableView::selectRow(0);
    panel->performInputDate(kFeb28);
    EXPECT_EQ(panel->entryAt(0)->date(), kFeb28);
    EXPECT_EQ(panel->tableView()->editedRow(), 0);
}

// Typed in a wide book whose memo could take all the room: the partner of a
// transfer made in the popup and the category picked show whole, each column
// up to a third of the table; a name still cut shows whole as the cell's
// tooltip, also when it is cut by less than a pixel, and a name shown whole
// shows none.
TEST_F(AccountBookPanelTest, KindAndCategoryShowTheirNamesWholeUpToAThirdAndTheRestAsATooltip)
{
    using Panel = cv::AccountBookPanel;
    const struct {
        int column;
        QString name;
        bool whole;
        bool dragged = false; // the column's edge dragged to the name's width in whole pixels
    } cases[] = {{Panel::KindColumn, QStringLiteral("Credit card of the second family bank"), true},
                 {Panel::KindColumn, QStringLiteral("Lark Bank Savings"), true},
                 {Panel::KindColumn, QString(120, u'W'), false},
                 {Panel::CategoryColumn, QStringLiteral("Salary (Earned at the second job)"), true},
                 {Panel::CategoryColumn, QStringLiteral("Coffee & Snacks"), true},
                 {Panel::CategoryColumn, QStringLiteral("Coffee & Snacks"), false, true}};
    for (const auto &[column, name, whole, dragged] : cases) {
        auto panel = openBook(*doc, kA, kFeb1, kFeb28);
        panel->resize(1600, 400);
        QApplication::processEvents();
        if (column == Panel::KindColumn) {
            doc->findAccount(kC)->setName(name);
            chooseKind(*panel, 0, kTransferRow);
            cv::TransferFieldDialog *popup = panel->transferFieldDialog();
            Q_EMIT popup->destinationButton()->activated(popup->destinationButton()->findData(kC));
            popup->accountField()->setText(QStringLiteral("300"));
            popup->ok();
        } else {
            doc->findIncome(kSalary)->setName(name);
            chooseKind(*panel, 0, kSalary, true);
            type(*panel, Panel::InColumn, 0, QStringLiteral("500"));
        }
        QApplication::processEvents();
        cv::EditingTable *table = panel->tableView();
        const int at = table->columnWithIdentifier(column);
        const QString text = table->shownText(at, 0);
        EXPECT_TRUE(text.endsWith(name));
        EXPECT_LE(table->columnWidth(at), table->viewport()->width() / 3);
        const cv::PreparedCell cell = table->preparedCell(at, 0);
        if (dragged) {
            const int padding = table->columnWidth(at) -
                                cv::TableCell::forKind(cell.kind).textRect(table->cellFrame(at, 0), cell).width();
            const qreal exact = QFontMetricsF(table->tableFont()).horizontalAdvance(text);
            // Wider than its room by a fraction that a measure in whole pixels misses.
            ASSERT_GT(exact, int(exact));
            ASSERT_LE(QFontMetrics(table->tableFont()).horizontalAdvance(text), int(exact));
            table->horizontalHeader()->resizeSection(at, int(exact) + padding);
        }
        // What the cell paints, and what resting the pointer on it shows.
        const QRect frame = table->cellFrame(at, 0);
        const int room = cv::TableCell::forKind(cell.kind).textRect(frame, cell).width();
        EXPECT_EQ(cv::TableCell::shownPart(text, table->tableFont(), room) == text, whole) << name.toStdString();
        QHelpEvent help(QEvent::ToolTip, frame.center(), table->viewport()->mapToGlobal(frame.center()));
        QApplication::sendEvent(table->viewport(), &help);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(), whole ? QString() : text) << name.toStdString();
        QToolTip::hideText();
        doc->undoStack()->clear();
    }
}

TEST_F(AccountBookPanelTest, TheTransferPopupKeepsTheBookOnOneSideAndOkIsOneUndoStep)
{
    const cv::EntryPtr expense = store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 5), 700, kFood, kA);
    const cv::NodePtr folder =
        samplebook::node(doc->accountTrees()->asset(), 1100, cv::NodeKind::Group, QStringLiteral("Savings"));
    samplebook::node(folder, 1101, cv::NodeKind::Bank, QStringLiteral("B"));
    auto panel = openBook(*doc, kA, kFeb1, kFeb28);
    cv::TransferFieldDialog *popup = panel->transferFieldDialog();

    // A new row: the book's account as source, no destination yet. Both
    // lists hold every account but the loan, flat, folders left out.
    chooseKind(*panel, 1, kTransferRow);
    for (QComboBox *list : {popup->accountButton(), popup->destinationButton()}) {
        QList<int> idents;
        for (int i = 0; i < list->count(); ++i) idents << list->itemData(i).toInt();
        EXPECT_EQ(idents, (QList<int>{int(cv::AccountTrees::WalletIdent), kA, kU, 1101, kC}));
    }
    EXPECT_EQ(popup->account(), kA);
    EXPECT_EQ(popup->destination(), 0);
    EXPECT_EQ(popup->destinationButton()->currentIndex(), -1);
    EXPECT_FALSE(popup->okButton()->isEnabled());
    // Two other accounts: the other side becomes the book's; the book's on both: the other side empties.
    Q_EMIT popup->accountButton()->activated(popup->accountButton()->findData(kC));
    EXPECT_EQ(popup->destination(), kA);
    Q_EMIT popup->accountButton()->activated(popup->accountButton()->findData(kA));
    EXPECT_EQ(popup->destination(), 0);
    Q_EMIT popup->destinationButton()->activated(popup->destinationButton()->findData(kU));
    EXPECT_FALSE(popup->destinationField()->isHidden()); // yen to dollars
    Q_EMIT popup->destinationButton()->activated(popup->destinationButton()->findData(kC));
    EXPECT_TRUE(popup->destinationField()->isHidden());
    popup->accountField()->setText(QStringLiteral("10"));
    QTest::keyClick(popup, Qt::Key_Escape); // closes without a change
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(panel->entryAt(1)->kind(), cv::EntryKind::Expense);

    // The stored expense becomes a transfer; one Undo gives the expense back whole.
    const int before = doc->undoStack()->count();
    chooseKind(*panel, 0, kTransferRow);
    Q_EMIT popup->destinationButton()->activated(popup->destinationButton()->findData(kC));
    popup->accountField()->setText(QStringLiteral("650"));
    popup->ok();
    const cv::Entry &row = *panel->entryAt(0);
    EXPECT_EQ(row.kind(), cv::EntryKind::Transfer);
    EXPECT_EQ(row.destination(), kC);
    EXPECT_EQ(row.category(), 11);
    EXPECT_DOUBLE_EQ(row.converted(), 0.0);
    EXPECT_EQ(doc->undoStack()->count(), before + 1);
    doc->undoStack()->undo();
    EXPECT_EQ(row.kind(), cv::EntryKind::Expense);
    EXPECT_EQ(row.category(), kFood);
    EXPECT_EQ(row.destination(), 0);
    EXPECT_DOUBLE_EQ(row.amount(), 700.0);

    // A stored dollar transfer opens with every digit of its amount.
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 9), 12345678.91, 0, kU, kA);
    auto dollars = openBook(*doc, kU, kFeb1, kFeb28);
    chooseKind(*dollars, 0, kTransferRow);
    EXPECT_EQ(dollars->transferFieldDialog()->accountField()->text(), QStringLiteral("12,345,678.91"));
    dollars->transferFieldDialog()->cancel();
}

// Return in the transfer popup is OK over every focus path, and never throws
// typed input away: steps are A amount, M the other account by mouse, K by
// keys, T Tab, R Return, E Esc.
TEST_F(AccountBookPanelTest, ReturnInTheTransferPopupIsOkWhateverHeldTheFocus)
{
    struct Case {
        const char *before; // an earlier run of the same popup, ended without a change
        const char *steps;
    };
    // clang-format off
    const Case cases[] = {
        {"", "AMR"},
        {"", "AKR"},
        {"", "MAR"},
        {"", "KAR"},
        {"TE", "AMR"}, // Esc with Cancel focused, then a new run
        {"", "MATTR"}, // Return on a focused Cancel
        {"", "ATRMR"}, // Return while OK is still off: the popup stays with the amount
    };
    // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto &c = cases[i];
        const QString amount = QString::number(1000 + i);
        auto panel = openBook(*doc, kA, kFeb1, kFeb28);
        cv::TransferFieldDialog *popup = panel->transferFieldDialog();
        const int row = panel->numberOfRows(panel->tableView()) - 1;
        const auto run = [&](const char *steps) {
            chooseKind(*panel, row, kTransferRow);
            for (const char *step = steps; *step; ++step) {
                QWidget *focus = QApplication::focusWidget();
                switch (*step) {
                case 'A':
                    if (focus != popup->accountField()) QTest::keyClick(focus, Qt::Key_Tab);
                    QTest::keyClicks(popup->accountField(), amount);
                    break;
                case 'M': {
                    QComboBox *box = popup->destinationButton();
                    QTest::mouseClick(box, Qt::LeftButton);
                    EXPECT_TRUE(QTest::qWaitForWindowExposed(box->view()->window())) << c.steps;
                    // A release within a double click of the press only opens the list.
                    QTest::qWait(QApplication::doubleClickInterval() + 50);
                    const QRect item = box->view()->visualRect(box->model()->index(box->findData(kC), 0));
                    QTest::mouseClick(box->view()->viewport(), Qt::LeftButton, {}, item.center());
                    break;
                }
                case 'K':
                    QTest::keyClick(focus, Qt::Key_Backtab);
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
                    break;
                case 'T': QTest::keyClick(focus, Qt::Key_Tab); break;
                case 'R': QTest::keyClick(focus, Qt::Key_Return); break;
                case 'E': QTest::keyClick(focus, Qt::Key_Escape); break;
                }
                QApplication::processEvents();
                if (*step == 'R' && step[1]) {
                    EXPECT_TRUE(popup->isVisible()) << c.steps;
                    EXPECT_EQ(popup->accountField()->text().remove(u','), amount) << c.steps;
                }
            }
        };
        if (*c.before) run(c.before);
        run(c.steps);
        EXPECT_FALSE(popup->isVisible()) << c.steps;
        panel->commitPanel();
        const auto entries = storedEntries(*doc, kA, kFeb1, kFeb28);
        EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                                [&](const cv::EntryPtr &e) {
                                    return e->kind() == cv::EntryKind::Transfer && e->amount() == 1000 + double(i) &&
                                           e->account() == kA && e->destination() != 0;
                                }),
                  1)
            << "stored: " << c.before << " " << c.steps;
    }
}

TEST_F(AccountBookPanelTest, KindChangesAndTypingOfATransferInWithAnotherCurrencyBookOnThisAccount)
{
    auto in = store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 9), 30, 0, kU, kA); // $30 at 100 yen
    auto panel = openBook(*doc, kA, kFeb1, kFeb28);
    EXPECT_EQ(cellText(*panel, cv::AccountBookPanel::InColumn, 0), QStringLiteral("3,000"));
    type(*panel, cv::AccountBookPanel::InColumn, 0, QStringLiteral("2900"));
    EXPECT_DOUBLE_EQ(panel->entryAt(0)->converted(), 2900.0);
    EXPECT_DOUBLE_EQ(panel->entryAt(0)->amount(), 30.0);
    chooseKind(*panel, 0, kSalary, true);
    const cv::Entry &row = *panel->entryAt(0);
    EXPECT_EQ(row.account(), kA);
    EXPECT_EQ(row.destination(), 0);
    EXPECT_DOUBLE_EQ(row.amount(), 2900.0);
    EXPECT_DOUBLE_EQ(row.converted(), 0.0);
    panel->commitPanel();
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(doc->findAccount(kA), kFeb28), 9000.0 + 2900.0);
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(doc->findAccount(kU), kFeb28), 0.0);
}

TEST_F(AccountBookPanelTest, DeletingStoredAndNewRowsIsOneUndoStepAndUndoRestoresThemInOrder)
{
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 5), 700, kFood, kA);
    auto panel = openBook(*doc, kA, kFeb1, kFeb28);
    ASSERT_EQ(panel->numberOfRows(panel->tableView()), 2);
    const auto stored = panel->rowAt(0);
    const auto fresh = panel->rowAt(1);
    auto *selection = panel->tableView()->selectionModel();
    selection->select(panel->tableView()->model()->index(0, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->select(panel->tableView()->model()->index(1, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const int before = doc->undoStack()->count();
    panel->deleteRows(panel->tableView());
    EXPECT_EQ(doc->undoStack()->count(), before + 1);
    EXPECT_EQ(doc->undoStack()->undoText(), QStringLiteral("Delete"));
    ASSERT_EQ(panel->numberOfRows(panel->tableView()), 1); // a fresh new row, since none was left
    EXPECT_NE(panel->rowAt(0), fresh);
    doc->undoStack()->undo();
    ASSERT_EQ(panel->numberOfRows(panel->tableView()), 3);
    EXPECT_EQ(panel->rowAt(0), stored);
    EXPECT_EQ(panel->rowAt(2), fresh); // new rows keep their place after the stored ones
    EXPECT_EQ(panel->entryAt(0)->flags() & cv::EditDeleted, 0);
}

TEST_F(AccountBookPanelTest, RowsAreKeptByIdentityAndRestoringKeepsOtherPendingEdits)
{
    // Two identical stored rows: deleting one keeps the other.
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 5), 700, kFood, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 5), 700, kFood, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 6), 0, kFood, kA); // a zero entry from an import
    auto panel = openBook(*doc, kA, kFeb1, kFeb28);
    type(*panel, cv::AccountBookPanel::MemoColumn, 1, QStringLiteral("kept"));
    panel->toggleRowDeletedFlag(0);
    EXPECT_TRUE(panel->entryAt(0)->flags() & cv::EditDeleted);
    panel->tableView()->QTableView::selectRow(0);
    panel->deleteRows(panel->tableView()); // restores in place, without reading the store
    EXPECT_FALSE(panel->entryAt(0)->flags() & cv::EditDeleted);
    EXPECT_EQ(panel->entryAt(1)->memo(), QStringLiteral("kept"));
    panel->toggleRowDeletedFlag(0);
    EXPECT_EQ(panel->commitPanel(), 2);
    const auto entries = storedEntries(*doc, kA);
    ASSERT_EQ(entries.size(), 3u); // January's, the kept twin and the zero entry
    EXPECT_EQ(entries[1]->memo(), QStringLiteral("kept"));
    EXPECT_DOUBLE_EQ(entries[2]->amount(), 0.0);
}

TEST_F(AccountBookPanelTest, AGroupingDeletedWhileTheBookIsOpenIsDropped)
{
    auto grouping = std::make_shared<cv::Grouping>();
    grouping->setName(QStringLiteral("Trip"));
    doc->addGrouping(grouping);
    auto panel = openBook(*doc, kA, kFeb1, kFeb28);
    type(*panel, cv::AccountBookPanel::OutColumn, 0, QStringLiteral("100"));
    panel->change(panel->entryAt(0), cv::AccountBookPanel::Field::Group, grouping->ident(),
                  QStringLiteral("Change Group"));
    doc->removeGrouping(0);
    EXPECT_EQ(panel->commitPanel(), 1);
    EXPECT_EQ(storedEntries(*doc, kA).back()->group(), 0);
}

TEST_F(AccountBookPanelTest, SavingWithTheBookOpenStoresTheRowOnceAndLeavingAddsNothing)
{
    QTemporaryDir dir;
    auto panel = openBook(*doc, kA, kFeb1, kFeb28);
    type(*panel, cv::AccountBookPanel::OutColumn, 0, QStringLiteral("400"));
    // The page's rule for a save: commit the open input first.
    panel->commitPendingInput();
    ASSERT_TRUE(doc->writeToFile(dir.filePath(QStringLiteral("book.cvv2")), cv::Book::kTypeV2));
    EXPECT_EQ(panel->commitPanel(), 1); // the row the save wrote
    EXPECT_EQ(storedEntries(*doc, kA).size(), 2u);
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(doc->findAccount(kA), kFeb28), 8600.0);
    // The book's Edit > Undo takes back what the left panel stored, and Redo stores it again.
    ASSERT_EQ(doc->undoStack()->count(), 1);
    for (const auto &[undo, entries, balance] :
         {std::tuple{true, 1u, 9000.0}, {false, 2u, 8600.0}, {true, 1u, 9000.0}}) {
        undo ? doc->undoStack()->undo() : doc->undoStack()->redo();
        EXPECT_EQ(storedEntries(*doc, kA).size(), entries);
        EXPECT_DOUBLE_EQ(doc->rawValueForAccount(doc->findAccount(kA), kFeb28), balance);
    }
    // Changed since by a road the stack does not see: the step leaves rather than write over it.
    doc->undoStack()->redo();
    const cv::EntryPtr typed = storedEntries(*doc, kA).back();
    cv::EntryPtr edited = typed->clone();
    edited->setAmount(450);
    doc->updateExpense(edited, typed);
    doc->undoStack()->undo();
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(doc->findAccount(kA), kFeb28), 8550.0);
    EXPECT_EQ(doc->undoStack()->count(), 0);
}

TEST_F(AccountBookPanelTest, AnOpenBookShowsTheBookAsItsUndoAndRedoLeaveIt)
{
    auto first = openBook(*doc, kA, kFeb1, kFeb28);
    type(*first, cv::AccountBookPanel::OutColumn, 0, QStringLiteral("400"));
    first->commitPanel();
    first.reset();
    auto panel = openBook(*doc, kA, kFeb1, kFeb28);
    const cvtest::page::Entries book(panel.get());
    for (const auto &[undo, rows] : {std::pair{true, 1}, {false, 2}}) {
        undo ? doc->undoStack()->undo() : doc->undoStack()->redo(); // Edit > Undo, Redo
        EXPECT_EQ(book.rows(), rows) << "the stored row and the new one";
    }
    book.type(cv::AccountBookPanel::OutColumn, book.newRow(), QStringLiteral("100"));
    EXPECT_EQ(book.leave(), 1);
    EXPECT_EQ(storedEntries(*doc, kA).size(), 3u);
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(doc->findAccount(kA), kFeb28), 8500.0);
}

} // namespace
