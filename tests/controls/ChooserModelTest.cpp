#include "ChooserTestSupport.h"
#include "controls/AccountChooserModel.h"
#include "controls/CategoryChooserModel.h"
#include "controls/SecurityChooserModel.h"
#include "controls/CommandRow.h"
#include "controls/GroupChooserModel.h"
#include "controls/TradeOperationChooserModel.h"
#include "model/Trade.h"
#include "platform/Localization.h"
#include "platform/ScriptedAlertPresenter.h"

#include <gtest/gtest.h>

using cvtest::rowNames;

namespace {

class ChooserModelTest : public ::testing::Test {
protected:
    void SetUp() override { cv::setLanguageOverride(QStringLiteral("en")); }
    void TearDown() override { cv::setLanguageOverride(QString()); }
};

} // namespace

TEST_F(ChooserModelTest, AccountListsAreStrippedCopiesOrFlatAndNeverChangeTheDocument)
{
    cvtest::ChooserBook book;
    cv::AccountChooserModel source;
    QAbstractItemModelTester tester(&source, QAbstractItemModelTester::FailureReportingMode::Fatal);

    source.setDocument(&book.doc, 1);
    ASSERT_EQ(source.rowCount(), 2);
    const QModelIndex asset = source.index(0, 0);
    const QModelIndex debt = source.index(1, 0);
    EXPECT_EQ(rowNames(source, asset), (QStringList{"A", "F", "G"}));
    EXPECT_EQ(source.rowCount(source.index(1, 0, asset)), 0); // F emptied, kept
    EXPECT_EQ(source.rowCount(debt), 0);
    EXPECT_NE(source.objects()[0].node(), book.doc.accountTrees()->asset());
    EXPECT_EQ(book.doc.accountTrees()->asset()->countChild(), 3);
    EXPECT_EQ(book.f->countChild(), 1);
    EXPECT_EQ(book.doc.accountTrees()->debt()->countChild(), 1);

    const struct {
        int mode;
        QStringList names;
    } flat[] = {{1, {"A"}}, {2, {"B"}}, {16, {"C"}}, {1 | 2 | 16, {"A", "B", "C"}}, {4, {}}};
    for (const auto &c : flat) {
        SCOPED_TRACE(c.mode);
        source.setDocument(&book.doc, c.mode, true);
        EXPECT_EQ(rowNames(source), c.names);
    }

    // Excluding the list's B copies its tree without it; the document keeps B.
    source.setDocument(&book.doc, 2);
    const cv::ChooserItem listB = source.objectWithIdentifier(2003);
    ASSERT_TRUE(listB.node());
    EXPECT_NE(listB.node(), book.b);
    source.exclude(listB.node());
    EXPECT_FALSE(source.objectWithIdentifier(2003));
    EXPECT_EQ(rowNames(source, source.index(1, 0, source.index(0, 0))), QStringList());
    EXPECT_EQ(book.f->countChild(), 1);
    EXPECT_EQ(book.b->parent(), book.f.get());
    // The item handed out before stays whole after the list let its tree go.
    EXPECT_EQ(listB.node()->parent()->name(), QStringLiteral("F"));

    // A restriction keeps the matching items, again in copies.
    book.b->setCurrency(2);
    source.setDocument(&book.doc, 255, false);
    source.restrictKey(QStringLiteral("currency"), 1);
    EXPECT_FALSE(source.objectWithIdentifier(2003));
    EXPECT_TRUE(source.objectWithIdentifier(2001));
    EXPECT_EQ(book.b->parent(), book.f.get());
}

TEST_F(ChooserModelTest, CategoryListsByMode)
{
    cvtest::ChooserBook book;
    cv::CategoryChooserModel source;
    QAbstractItemModelTester tester(&source, QAbstractItemModelTester::FailureReportingMode::Fatal);

    source.setDocument(&book.doc, 16);
    ASSERT_EQ(source.rowCount(), 3);
    const cv::ChooserItem transfer = source.objects()[0];
    EXPECT_EQ(transfer.name(), cv::localizedString(QStringLiteral("SYS:Transfer")));
    EXPECT_EQ(transfer.node()->ident(), 1);
    EXPECT_EQ(transfer.node()->kind(), 5);
    EXPECT_EQ(source.kindOfCategory(1), cv::EntryKind::Transfer);
    EXPECT_EQ(source.kindOfCategory(cv::CategoryTrees::ExpenseMisc), cv::EntryKind::Expense);
    EXPECT_EQ(source.kindOfCategory(cv::CategoryTrees::IncomeMisc), cv::EntryKind::Income);
    EXPECT_EQ(source.kindOfCategory(987654), cv::EntryKind::Income);

    source.setDocument(&book.doc, 5);
    ASSERT_EQ(source.rowCount(), 1);
    EXPECT_EQ(source.objects()[0].node()->ident(), cv::CategoryTrees::IncomeRoot);
    source.setDocument(&book.doc, 4);
    EXPECT_EQ(source.objects()[0].node()->ident(), cv::CategoryTrees::MoneyFlowRoot);
    // Transfer items show their names, not their keys.
    QStringList shown;
    const QModelIndex flow = source.index(0, 0);
    for (int row = 0; row < source.rowCount(flow); ++row) shown << source.index(row, 0, flow).data().toString();
    EXPECT_TRUE(shown.contains(cv::localizedString(QStringLiteral("SYS:Asset2Debt")))) << shown.join(u'|').toStdString();
    EXPECT_FALSE(shown.join(QString()).contains(u"SYS:"));

    // Flat: the leaves, each still answering its tree.
    source.setDocument(&book.doc, 2, true);
    ASSERT_GT(source.rowCount(), 0);
    for (const cv::ChooserItem &item : source.objects()) EXPECT_EQ(item.node()->countChild(), 0);
    EXPECT_EQ(source.kindOfCategory(cv::CategoryTrees::ExpenseMisc), cv::EntryKind::Expense);
}

TEST_F(ChooserModelTest, TradeKindsInChooserOrder)
{
    cv::TradeOperationChooserModel source;
    const struct {
        cv::SecurityKind securityKind;
        QList<int> kinds;
    } cases[] = {
        {cv::SecurityKind::Stock, {0, 1, 10, 13, 14, 16, 17, 2, 18, 19, 20, 21, 5, 6}},
        {cv::SecurityKind::InvestmentTrust, {0, 1, 2, 12, 30, 31, 5, 6}},
        {cv::SecurityKind::Bond, {0, 1, 2, 30, 11, 31, 18, 19, 20, 21, 5, 6}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(cv::raw(c.securityKind));
        source.setDocument(nullptr, c.securityKind);
        QList<int> kinds;
        for (const cv::ChooserItem &item : source.objects()) kinds << cv::raw(*item.tradeKind());
        EXPECT_EQ(kinds, c.kinds);
    }
    const QString name = cv::Trade::operationNameForKey(cv::TradeKind::Sale);
    EXPECT_EQ(source.index(1, 0).data().toString(), name);
    EXPECT_EQ(source.getObjectValue(name)->tradeKind(), cv::TradeKind::Sale);
    EXPECT_FALSE(source.getObjectValue(QStringLiteral("no such trade")).has_value());
}

TEST_F(ChooserModelTest, GroupingsAndTheNewGroupingCommand)
{
    cvtest::ChooserBook book;
    cvtest::BeepCounter beeps;
    ScriptedAlertPresenter alerts;
    auto trip = std::make_shared<cv::Grouping>();
    trip->setName(QStringLiteral("Trip"));
    book.doc.addGrouping(trip);

    cv::GroupChooserModel source;
    source.setDocumentForReport(&book.doc);
    EXPECT_EQ(rowNames(source), (QStringList{"Trip", "No Grouping"}));
    source.setDocument(&book.doc, 0);
    EXPECT_EQ(rowNames(source), (QStringList{"Trip", "No Grouping", "New Grouping"}));
    EXPECT_EQ(source.objects()[1].grouping()->ident(), 0);
    EXPECT_EQ(source.objectWithIdentifier(0).name(), QStringLiteral("No Grouping"));

    const std::shared_ptr<cv::CommandRow> command = source.objects()[2].command();
    ASSERT_TRUE(command);
    std::vector<QString> delivered;
    const auto handler = [&](const cv::ChooserItem &item) { delivered.push_back(item.name()); };

    alerts.names.push_back(QStringLiteral("Trip"));
    EXPECT_FALSE(command->runWithDelegate(handler));
    EXPECT_EQ(beeps.beeps, 1);
    EXPECT_EQ(alerts.nameTitle, QStringLiteral("Name of the new grouping"));
    EXPECT_EQ(book.doc.groupList().size(), 1u);

    // The action refills the list that holds the running row.
    alerts.names.push_back(QStringLiteral("Work"));
    const cv::ChooserItem made = command->runWithDelegate(handler);
    ASSERT_TRUE(made);
    EXPECT_EQ(made.name(), QStringLiteral("Work"));
    ASSERT_EQ(book.doc.groupList().size(), 2u);
    EXPECT_EQ(book.doc.groupList().back()->name(), QStringLiteral("Work"));
    EXPECT_TRUE(book.doc.isDocumentEdited());
    EXPECT_EQ(rowNames(source), (QStringList{"Trip", "Work", "No Grouping", "New Grouping"}));
    command->returnItem(made);
    EXPECT_EQ(delivered, std::vector<QString>{QStringLiteral("Work")});
}

TEST_F(ChooserModelTest, SecuritiesListTheVisibleOnesAndTheRegisteredCommand)
{
    cvtest::ChooserBook book;
    for (const char *name : {"Alpha", "Hidden", "Beta"}) {
        auto security = std::make_shared<cv::Security>();
        security->setName(QString::fromUtf8(name));
        security->setHidden(QByteArray(name) == "Hidden");
        book.doc.addSecurity(security);
    }
    cv::SecurityChooserModel source;
    source.setDocument(&book.doc, 0);
    EXPECT_EQ(rowNames(source), (QStringList{"Alpha", "Beta", "New Security…"}));
    EXPECT_FALSE(source.objects().back().command()->runWithDelegate(nullptr));

    cv::SecurityChooserModel::setNewSecurityAction(
        [](cv::Book &doc, cv::CommandRow &) { return cv::ChooserItem::fromSecurity(doc.securityList().front()); });
    EXPECT_EQ(source.objects().back().command()->runWithDelegate(nullptr).name(), QStringLiteral("Alpha"));
    cv::SecurityChooserModel::setNewSecurityAction(nullptr);
}
