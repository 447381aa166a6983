// The account book reads its rows a week at a time: every row, its order
// and its running balance must be what the whole period's list gives, at the
// period's edges, across weeks and months, with transfers both ways and with rows
// edited, deleted and read back through the panel.
#include "panels/PanelTestSupport.h"

#include "document/Book.h"

#include <QItemSelectionModel>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>

using namespace paneltest;

namespace {

using samplebook::storedEntries;

double amountOf(const QString &text)
{
    return text.isEmpty() ? 0 : QString(text).remove(u',').toDouble();
}

struct Row {
    QString date;
    double in;
    double out;
    QString balance;
};

// The rows as the panel shows them, read from the last one up as a user
// scrolled to the end sees them first.
std::vector<Row> shownRows(cv::AccountBookPanel &panel)
{
    const int count = panel.numberOfRows(panel.tableView());
    std::vector<Row> rows(size_t(std::max(count, 0)));
    for (int row = count - 1; row >= 0; --row) {
        rows[size_t(row)] = {cellText(panel, cv::AccountBookPanel::DateColumn, row),
                             amountOf(cellText(panel, cv::AccountBookPanel::InColumn, row)),
                             amountOf(cellText(panel, cv::AccountBookPanel::OutColumn, row)),
                             cellText(panel, cv::AccountBookPanel::BalanceColumn, row)};
    }
    return rows;
}

struct Case {
    const char *name;
    int account;
    QDate from;
    QDate to;
    // What the user does in the open panel; answers how far it moves the
    // balance after the stored rows (0: nothing pending).
    std::function<double(cv::AccountBookPanel &)> act;
    // The stored entry the panel no longer lists (Edit > Delete), by date and amount.
    QDate gone;
    double goneAmount = 0;
    // The action sorts the list: a stored zero goes after the day's other rows.
    bool sorted = false;
    // The amount typed into the second row and not committed; 0: none.
    double typed = 0;
    // The stored rows the period must show, counted by hand; -1: not counted.
    int rows = -1;
    // More entries of the bank, stored before the panel opens.
    std::function<void(cv::Book &)> more = {};
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

class AccountBookPages : public BookTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override
    {
        BookTest::SetUp();
        if (HasFatalFailure()) return;
        // Six months of the bank and the card, each amount its own, the same
        // day twice, a stored zero before a day's rows and transfers both ways.
        store(*doc, cv::EntryKind::Expense, QDate(2009, 3, 10), 0, kFood, kA);
        double amount = 100;
        for (int month = 1; month <= 6; ++month) {
            const QDate first(2009, month, 1);
            store(*doc, cv::EntryKind::Income, first, amount += 7, kSalary, kA);
            store(*doc, cv::EntryKind::Expense, first.addDays(9), amount += 7, kFood, kA);
            store(*doc, cv::EntryKind::Expense, first.addDays(9), amount += 7, kFood, kA);
            store(*doc, cv::EntryKind::Transfer, first.addDays(14), amount += 7, 0, kA, kC);
            store(*doc, cv::EntryKind::Expense, first.addMonths(1).addDays(-1), amount += 7, kFood, kC);
            store(*doc, cv::EntryKind::Transfer, first.addMonths(1).addDays(-1), amount += 7, 0, kC, kA);
        }
    }
};

TEST_P(AccountBookPages, ShowsTheWholePeriodsRowsOrderAndBalances)
{
    const Case &c = GetParam();
    if (c.more) c.more(*doc);
    auto panel = openBook(*doc, c.account, c.from, c.to);
    const double pending = c.act ? c.act(*panel) : 0;
    const std::vector<Row> shown = shownRows(*panel);

    // The whole period's list, as the store hands it out by date.
    std::vector<cv::EntryPtr> stored;
    for (const cv::EntryPtr &e : storedEntries(*doc, c.account, c.from, c.to))
        if (e->date() != c.gone || e->amount() != c.goneAmount) stored.push_back(e);
    if (c.sorted) cv::Entry::sortRows(stored);
    ASSERT_EQ(shown.size(), stored.size() + 1) << "and the new row";
    if (c.rows >= 0) {
        EXPECT_EQ(int(shown.size()) - 1, c.rows) << "stored rows shown";
    }
    EXPECT_EQ(shown.back().balance, QString()) << "an empty new row has none";

    // A debt grows with what goes out of it.
    const double sign = c.account == kC ? -1 : 1;
    const cv::NodePtr account = doc->findAccount(c.account);
    double before = amountOf(panel->carriedBalanceText());
    for (size_t i = 0; i < stored.size(); ++i) {
        const Row &row = shown[i];
        const cv::Entry &e = *stored[i];
        EXPECT_EQ(row.date, e.date().toString(QStringLiteral("yyyy/MM/dd"))) << i;
        EXPECT_EQ(row.in + row.out, i == 1 && c.typed != 0 ? c.typed : e.amount()) << i;
        if (row.balance.isEmpty()) continue; // deleted in place
        const double balance = amountOf(row.balance);
        // The opening balance of an account opened within the period joins on its day.
        const bool opens = !account->validAtDate(c.from.addDays(-1)) && account->validAtDate(e.date()) &&
                           (i == 0 || !account->validAtDate(stored[i - 1]->date()));
        EXPECT_DOUBLE_EQ(balance - before, sign * (row.in - row.out) + (opens ? account->assetInitialValue() : 0))
            << i << " " << row.date.toStdString();
        before = balance;
        const bool lastOfDay = i + 1 == stored.size() || stored[i + 1]->date() != e.date();
        if (lastOfDay && pending == 0) {
            EXPECT_DOUBLE_EQ(balance, doc->valueForAccount(account, e.date())) << i << " " << row.date.toStdString();
        }
    }
    if (!stored.empty()) {
        EXPECT_DOUBLE_EQ(before, doc->valueForAccount(account, stored.back()->date()) + pending);
    }
}

// Each action reaches its row as the user does: type, pick the menu item, OK.
double typeJanuaryAmount(cv::AccountBookPanel &panel)
{
    type(panel, cv::AccountBookPanel::OutColumn, 1, QStringLiteral("1000"));
    return -(1000 - 114);
}

double typeDateIntoMarchAndCommit(cv::AccountBookPanel &panel)
{
    type(panel, cv::AccountBookPanel::DateColumn, 1, QStringLiteral("2009/03/20"));
    type(panel, cv::AccountBookPanel::OutColumn, 2, QStringLiteral("5"));
    panel.commitPendingInput();
    return 0;
}

double deleteInPlace(cv::AccountBookPanel &panel)
{
    panel.tableView()->QTableView::selectRow(2);
    panel.panelMenuSelected(cv::EntryPanel::AddOrDeleteTag);
    return 121; // the expense of the row is gone from the balances below it
}

double deleteAndUndo(cv::AccountBookPanel &panel)
{
    cvtest::page::Entries(&panel).deleteRow(0);
    panel.doc()->undoStack()->undo();
    return 0;
}

double deleteFromTheList(cv::AccountBookPanel &panel)
{
    cvtest::page::Entries(&panel).deleteRow(1);
    return 114;
}

// The last 300 rows deleted in place, pending, then the second row taken
// out of the list: every row after it moves up one, across the list's
// blocks, with its pending mark.
double deleteTheTailInPlaceThenFromTheList(cv::AccountBookPanel &panel)
{
    const int stored = panel.numberOfRows(panel.tableView()) - 1; // the new row last
    QItemSelectionModel *selection = panel.tableView()->selectionModel();
    selection->clearSelection();
    double out = 114;
    for (int row = stored - 300; row < stored; ++row) {
        out += amountOf(cellText(panel, cv::AccountBookPanel::OutColumn, row));
        selection->select(panel.tableView()->model()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    panel.panelMenuSelected(cv::EntryPanel::AddOrDeleteTag);
    cvtest::page::Entries(&panel).deleteRow(1);
    return out;
}

// Two a day through 2010: a list of several hundred rows, most of them unread when the panel opens.
void twoADayIn2010(cv::Book &doc)
{
    for (QDate day(2010, 1, 1); day.year() == 2010; day = day.addDays(1))
        for (int k = 0; k < 2; ++k) store(doc, cv::EntryKind::Expense, day, day.dayOfYear() * 2 + k, kFood, kA);
}

// clang-format off
const Case kCases[] = {
    {"WholeHalfYearFromTheOpeningDay", kA, QDate(2009, 1, 1), QDate(2009, 6, 30), {}, {}, 0},
    {"EdgesWithinMonths", kA, QDate(2009, 1, 20), QDate(2009, 4, 10), {}, {}, 0},
    // Sunday to Tuesday: both edge weeks hold rows outside the month (28 Feb, 1 April).
    {"AMonthCutMidWeekAtBothEnds", kA, QDate(2009, 3, 1), QDate(2009, 3, 31), {}, {}, 0, false, 0, 6},
    {"OneDayAtAMonthsEnd", kA, QDate(2009, 3, 31), QDate(2009, 3, 31), {}, {}, 0},
    {"AcrossAMonthBoundary", kA, QDate(2009, 2, 28), QDate(2009, 3, 1), {}, {}, 0},
    {"CardWithTransfersInAndOut", kC, QDate(2009, 1, 1), QDate(2009, 12, 31), {}, {}, 0},
    {"JanuaryAmountTypedNotCommitted", kA, QDate(2009, 1, 1), QDate(2009, 6, 30), typeJanuaryAmount, {}, 0, false, 1000},
    {"DateTypedIntoMarchCommittedAndReadBack", kA, QDate(2009, 1, 1), QDate(2009, 6, 30), typeDateIntoMarchAndCommit, {}, 0},
    {"DeletedInPlace", kA, QDate(2009, 1, 1), QDate(2009, 6, 30), deleteInPlace, {}, 0, true},
    {"DeletedAndUndone", kA, QDate(2009, 1, 1), QDate(2009, 6, 30), deleteAndUndo, {}, 0},
    {"DeletedFromTheList", kA, QDate(2009, 1, 1), QDate(2009, 6, 30), deleteFromTheList, QDate(2009, 1, 10), 114},
    {"DeletedFromALongListReadInPart", kA, QDate(2009, 1, 1), QDate(2010, 12, 31), deleteTheTailInPlaceThenFromTheList,
     QDate(2009, 1, 10), 114, true, 0, -1, twoADayIn2010},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Periods, AccountBookPages, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

} // namespace
