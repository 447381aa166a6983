// The grouping dialog: reordering reaches the document at each drop (by
// ident, also while groupings are marked deleted), deletions at OK with one
// notice each, groupings in use stay, duplicate names beep, and Cancel gives
// back renamed names, in the store too.
#include "panels/PanelTestSupport.h"

#include "controls/ChooserTestSupport.h"
#include "panels/dialogs/GroupDialog.h"
#include "panels/dialogs/GroupTableView.h"
#include "platform/ScriptedAlertPresenter.h"

#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

// A, B, C stored; idents 1, 2, 3.
std::unique_ptr<cv::Book> bookWithGroupings()
{
    auto doc = makeBook();
    if (!doc) return nullptr;
    for (const char *name : {"A", "B", "C"}) {
        auto grouping = std::make_shared<cv::Grouping>();
        grouping->setName(QString::fromLatin1(name));
        doc->addGrouping(grouping);
    }
    doc->commitGroupList();
    return doc;
}

QString names(const std::vector<cv::GroupingPtr> &list)
{
    QStringList out;
    for (const cv::GroupingPtr &g : list) out << g->name();
    return out.join(QString());
}

// Drags a row and drops it above the target row, through the list's model.
bool drag(cv::GroupDialog &dialog, int row, int target)
{
    QAbstractItemModel *model = dialog.listView()->model();
    std::unique_ptr<QMimeData> data(model->mimeData({model->index(row, 0)}));
    if (!data) return false;
    EXPECT_TRUE(model->canDropMimeData(data.get(), Qt::MoveAction, target, 0, QModelIndex()));
    model->dropMimeData(data.get(), Qt::MoveAction, target, 0, QModelIndex());
    return true;
}

TEST(GroupDialogTest, DropsReorderTheDocumentAtOnceByIdent)
{
    auto doc = bookWithGroupings();
    ASSERT_TRUE(doc);
    // clang-format off
    const struct {
        const char *what;
        int deleteRow;   // marked deleted first; -1 none
        int row, target;
        const char *dialog, *document;
    } cases[] = {
        {"onto row 3", -1, 0, 3, "BCA", "BCA"},
        {"onto its own place", -1, 1, 1, "ABC", "ABC"},
        {"just below itself", -1, 1, 2, "ABC", "ABC"},
        {"last to the top", -1, 2, 0, "CAB", "CAB"},
        {"with B marked deleted", 1, 0, 2, "CA", "BCA"},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto fresh = bookWithGroupings();
        cv::GroupDialog dialog(fresh.get(), 0);
        QAbstractItemModelTester tester(dialog.listView()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        if (c.deleteRow >= 0) {
            dialog.selectRow(c.deleteRow);
            dialog.deletePushed();
        }
        ASSERT_TRUE(drag(dialog, c.row, c.target));
        EXPECT_EQ(names(dialog.items()), QLatin1String(c.dialog));
        EXPECT_EQ(names(fresh->groupList()), QLatin1String(c.document));
        dialog.cancelPushed(); // the drop stays stored
        EXPECT_EQ(names(fresh->groupList()), QLatin1String(c.document));
        for (const cv::GroupingPtr &g : fresh->groupList()) EXPECT_EQ(g->flags(), 0) << g->name().toStdString();
    }
}

TEST(GroupDialogTest, OkRemovesUnusedGroupingsWithOneNoticeEachAndKeepsUsedOnes)
{
    auto doc = bookWithGroupings();
    ASSERT_TRUE(doc);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 1), 500, kFood, kA)->setGroup(1);
    // The entry's grouping is stored with it.
    const cv::EntryPtr used = store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 2), 700, kFood, kA);
    const cv::EntryPtr old = used->clone();
    used->setGroup(1);
    doc->updateExpense(used, old);
    ScriptedAlertPresenter alerts;
    QSignalSpy deleted(doc.get(), &cv::Book::groupDeleted);

    cv::GroupDialog dialog(doc.get(), 1);
    EXPECT_EQ(dialog.selectedRow(), 0); // the current grouping
    dialog.deletePushed();              // A is used
    ASSERT_EQ(alerts.asked.size(), 1u);
    EXPECT_EQ(alerts.asked[0].title, cv::localizedString(QStringLiteral("Using Group Delete")));
    EXPECT_EQ(alerts.asked[0].message, cv::localizedString(QStringLiteral("Confirm Cant Group Delete")));
    EXPECT_EQ(names(dialog.items()), QStringLiteral("ABC"));
    for (int i = 0; i < 2; ++i) {
        dialog.selectRow(1);
        dialog.deletePushed();
    }
    EXPECT_EQ(names(dialog.items()), QStringLiteral("A"));
    EXPECT_EQ(names(doc->groupList()), QStringLiteral("ABC")); // decided at OK
    EXPECT_TRUE(dialog.okPushed());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(names(doc->groupList()), QStringLiteral("A"));
    ASSERT_EQ(deleted.count(), 2);
    EXPECT_EQ(deleted[0][0].value<QList<int>>(), QList<int>{2});
    EXPECT_EQ(deleted[1][0].value<QList<int>>(), QList<int>{3});
}

TEST(GroupDialogTest, NewNamesMustDifferAndNewGroupingsReachTheDocumentOnlyAtOk)
{
    auto doc = bookWithGroupings();
    ASSERT_TRUE(doc);
    ScriptedAlertPresenter alerts;
    cvtest::BeepCounter beeps;
    QSignalSpy deleted(doc.get(), &cv::Book::groupDeleted);
    cv::GroupDialog dialog(doc.get(), 0);
    alerts.names = {QStringLiteral("A"), QStringLiteral("D"), QStringLiteral("E")};
    dialog.addPushed();
    EXPECT_EQ(beeps.beeps, 1);
    EXPECT_TRUE(alerts.nameMustChange);
    dialog.addPushed();
    dialog.addPushed();
    EXPECT_EQ(names(dialog.items()), QStringLiteral("ABCDE"));
    EXPECT_EQ(dialog.selectedRow(), 4);
    dialog.deletePushed();                 // a new one goes without a trace
    dialog.rename(0, QStringLiteral("B")); // a name in use
    EXPECT_EQ(beeps.beeps, 2);
    EXPECT_FALSE(drag(dialog, 0, 2)); // not while new groupings wait
    ASSERT_FALSE(alerts.asked.empty());
    EXPECT_EQ(alerts.asked.back().message,
              cv::localizedString(QStringLiteral("Group-Cannot-Drag-With-New-Groups-Present")));
    EXPECT_EQ(names(doc->groupList()), QStringLiteral("ABC"));
    EXPECT_TRUE(dialog.okPushed());
    EXPECT_EQ(names(doc->groupList()), QStringLiteral("ABCD"));
    EXPECT_EQ(doc->groupList().back()->ident(), 4);
    EXPECT_EQ(doc->groupList().back()->flags(), 0);
    EXPECT_EQ(deleted.count(), 0);

    // A book from outside whose greatest ident stands at the limit: said before the name is asked.
    doc->groupList().back()->setIdent(2147483647);
    cv::GroupDialog full(doc.get(), 0);
    const size_t asked = alerts.asked.size();
    alerts.names = {QStringLiteral("F")};
    full.addPushed();
    EXPECT_EQ(alerts.asked.size(), asked + 1);
    EXPECT_EQ(alerts.names.size(), 1u);
    EXPECT_EQ(names(full.items()), QStringLiteral("ABCD"));
}

TEST(GroupDialogTest, CancelGivesBackRenamedNamesAlsoAfterADropStoredThem)
{
    auto doc = bookWithGroupings();
    ASSERT_TRUE(doc);
    {
        cv::GroupDialog dialog(doc.get(), 0);
        dialog.rename(0, QStringLiteral("X"));
        EXPECT_EQ(doc->groupList()[0]->name(), QStringLiteral("X")); // the document's own object
        dialog.cancelPushed();
        EXPECT_EQ(names(doc->groupList()), QStringLiteral("ABC"));
    }
    cv::GroupDialog dialog(doc.get(), 0);
    dialog.rename(0, QStringLiteral("X"));
    dialog.rename(0, QStringLiteral("Y"));
    ASSERT_TRUE(drag(dialog, 2, 0));
    dialog.cancelPushed();
    EXPECT_EQ(names(doc->groupList()), QStringLiteral("CAB"));
    const QByteArray stored = doc->store()->getGroupData();
    doc->commitGroupList(); // what the book holds now, written again
    EXPECT_EQ(doc->store()->getGroupData(), stored);

    // An empty name blocks OK once with the help text.
    ScriptedAlertPresenter alerts;
    cv::GroupDialog blocked(doc.get(), 0);
    blocked.show();
    blocked.listView()->edit(blocked.listView()->model()->index(0, 0));
    auto *editor = blocked.listView()->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    editor->clear();
    EXPECT_FALSE(blocked.okPushed());
    ASSERT_EQ(alerts.asked.size(), 1u);
    EXPECT_EQ(alerts.asked[0].message, cv::localizedString(QStringLiteral("Group Delete Help")));
    EXPECT_TRUE(blocked.okPushed());
    EXPECT_EQ(names(doc->groupList()), QStringLiteral("CAB"));
}

} // namespace
