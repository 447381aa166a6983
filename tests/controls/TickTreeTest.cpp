#include "ChooserTestSupport.h"
#include "controls/TickTree.h"
#include "controls/ButtonStatusClient.h"
#include "platform/Localization.h"

#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

QStringList names(const std::vector<cv::NodePtr> &nodes)
{
    QStringList out;
    for (const cv::NodePtr &node : nodes) out << node->name();
    return out;
}

class OutlineDialog : public QWidget, public cv::ButtonStatusClient {
public:
    OutlineDialog()
    {
        auto *layout = new QVBoxLayout(this);
        outline = new cv::TickTree(this);
        layout->addWidget(outline);
        resize(420, 320);
    }
    void updateButtons() override { ++statusUpdates; }
    cv::TickTree *outline;
    int statusUpdates = 0;
};

class RecordingToggleClient : public cv::ToggleClient {
public:
    void toggleItem(const QModelIndex &index) override { toggled << index.data().toString(); }
    QStringList toggled;
};

// asset {F {A, B}, I {cash part, holding}}, debt {C}.
struct OutlineBook : cvtest::ChooserBook {
    OutlineBook()
    {
        const cv::NodePtr asset = doc.accountTrees()->asset();
        asset->setChildren({});
        f = samplebook::node(asset, 3001, 20, QStringLiteral("F"));
        a = samplebook::node(f, 3002, 30, QStringLiteral("A"));
        b = samplebook::node(f, 3003, 31, QStringLiteral("B"));
        i = samplebook::node(asset, 3004, 32, QStringLiteral("I"));
        samplebook::node(i, 3005, 3, QStringLiteral("I cash"));
        samplebook::node(i, 3006, 6, QStringLiteral("I holding"));
    }
    cv::NodePtr i;
};

} // namespace

TEST(TickTreeTest, TicksSpreadDownAndUpAndTheCollectorsFollow)
{
    cv::setLanguageOverride(QStringLiteral("en"));
    OutlineBook book;
    OutlineDialog dialog;
    cv::TickTree &outline = *dialog.outline;
    QAbstractItemModelTester tester(outline.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    outline.setDocument(&book.doc, true);
    for (int pass = 0; pass < 3; ++pass) {
        EXPECT_TRUE(outline.selectedNodes().empty());
        EXPECT_TRUE(outline.selectedTradeAccounts().empty());
        EXPECT_TRUE(outline.selectedTickedAccounts().empty());
    }
    EXPECT_EQ(book.doc.accountTrees()->asset()->status(), 0);

    outline.toggleNode(*book.a);
    EXPECT_EQ(book.f->status(), 0);
    outline.toggleNode(*book.b);
    EXPECT_EQ(book.f->status(), 1);
    EXPECT_EQ(dialog.statusUpdates, 2);

    outline.toggleNode(*book.a);
    EXPECT_EQ(book.a->status(), 0);
    EXPECT_EQ(book.f->status(), 0);
    EXPECT_EQ(book.doc.accountTrees()->asset()->status(), 0);
    EXPECT_EQ(book.b->status(), 1);
    EXPECT_EQ(names(outline.selectedTickedAccounts()), QStringList{"B"});

    outline.toggleNode(*book.i);
    EXPECT_EQ(names(outline.selectedTradeAccounts()), QStringList{"I"});
    EXPECT_EQ(names(outline.selectedNodes()), (QStringList{"B", "I"}));
    EXPECT_EQ(names(outline.selectedTickedAccounts()), QStringList{"B"});

    outline.deselectAllNodes();
    EXPECT_TRUE(outline.selectedNodes().empty());
    cv::setLanguageOverride(QString());
}

TEST(TickTreeTest, ClicksOnCheckCellsToggleOnlyWhileEnabled)
{
    cv::setLanguageOverride(QStringLiteral("en"));
    OutlineBook book;
    OutlineDialog dialog;
    dialog.show();
    cv::TickTree &outline = *dialog.outline;
    QAbstractItemModelTester tester(outline.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    outline.setDocument(&book.doc, true);
    const QModelIndex a = outline.indexOfNode(book.a.get());
    ASSERT_TRUE(a.isValid());
    EXPECT_EQ(outline.model()->index(a.row(), 1, a.parent()).data().toString(), QStringLiteral("Cash"));
    EXPECT_EQ(outline.model()->index(outline.indexOfNode(book.i.get()).row(), 1, a.parent().parent()).data().toString(),
              QStringLiteral("Investment"));

    outline.setEnabled(false);
    QTest::mouseClick(outline.viewport(), Qt::LeftButton, {}, outline.visualRect(a).center());
    EXPECT_EQ(book.a->status(), 0);
    outline.setEnabled(true);
    QTest::mouseClick(outline.viewport(), Qt::LeftButton, {}, outline.visualRect(a).center());
    EXPECT_EQ(book.a->status(), 1);
    EXPECT_EQ(a.data(Qt::CheckStateRole).toInt(), Qt::Checked);
    // The third column shows ticked items only.
    EXPECT_EQ(outline.model()->index(a.row(), 2, a.parent()).data().toString(), QStringLiteral("A"));
    EXPECT_FALSE(outline.model()->flags(a) & Qt::ItemIsSelectable);

    // deselectAll toggles each ticked item once, at any level.
    outline.toggleNode(*book.b);
    RecordingToggleClient recorder;
    outline.setToggleClient(&recorder);
    outline.deselectAll();
    recorder.toggled.sort();
    EXPECT_EQ(recorder.toggled, (QStringList{"A", "B", "F"}));
    outline.setToggleClient(&outline);

    outline.setDocument(&book.doc, false);
    EXPECT_EQ(outline.model()->rowCount(), 2);
    EXPECT_TRUE(outline.isColumnHidden(1));
    cv::setLanguageOverride(QString());
}
