// Outline clicks cell by cell, expansion kept on the nodes, header colours
// and the budget grid's band.
#include "mainwindow/pages/BorderedOutlineView.h"
#include "mainwindow/viewer/OutlineClickClient.h"
#include "mainwindow/pages/ResizableTableHeaderView.h"
#include "model/Node.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointingDevice>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>

namespace {

class RecordingClickClient : public cv::OutlineClickClient {
public:
    int verifyEditableColumn(int column, int row, int movement) override
    {
        log << QStringLiteral("verify %1 %2 %3").arg(column).arg(row).arg(movement);
        return column;
    }
    bool isColumnSelectable(int cid, int row) override
    {
        log << QStringLiteral("selectable %1 %2").arg(cid).arg(row);
        return selectable;
    }
    bool shouldSelectTableColumn(int column) override
    {
        log << QStringLiteral("shouldSelect %1").arg(column);
        return true;
    }
    std::optional<bool> handleClick(int cid, int row) override
    {
        log << QStringLiteral("handleClick %1 %2").arg(cid).arg(row);
        return consumes;
    }
    bool shouldEditTableColumn(int cid, int row) override
    {
        log << QStringLiteral("shouldEdit %1 %2").arg(cid).arg(row);
        return false;
    }
    QStringList log;
    bool selectable = true;
    std::optional<bool> consumes;
};

// Two top-level rows, the first with one child; each row carries its node.
struct NodeModel {
    NodeModel()
    {
        for (int i = 0; i < 3; ++i) nodes.push_back(std::make_shared<cv::Node>());
        auto *a = new QStandardItem(QStringLiteral("a"));
        auto *b = new QStandardItem(QStringLiteral("b"));
        auto *child = new QStandardItem(QStringLiteral("a1"));
        a->appendRow({child, new QStandardItem(QStringLiteral("1"))});
        model.appendRow({a, new QStandardItem(QStringLiteral("x")), new QStandardItem(QStringLiteral("y"))});
        model.appendRow({b, new QStandardItem(QStringLiteral("x")), new QStandardItem(QStringLiteral("y"))});
        for (auto [item, node] : {std::pair{a, nodes[0]}, {child, nodes[1]}, {b, nodes[2]}})
            item->setData(quintptr(node.get()), cv::ExpansionStateSavedOutlineView::NodeRole);
    }
    QStandardItemModel model;
    std::vector<std::shared_ptr<cv::Node>> nodes;
};

} // namespace

TEST(KeyHandlingOutlineViewTest, ClicksAskTheOwnerCellByCell)
{
    NodeModel data;
    cv::KeyHandlingOutlineView view;
    view.setModel(&data.model);
    RecordingClickClient client;
    view.setClickClient(&client);
    // clang-format off
    struct Case {
        int column, row, clicks;
        bool selectable;
        std::optional<bool> consumes;
        QStringList log;
    } cases[] = {
        {2, 1, 1, true, std::nullopt,
         {"verify 2 1 2", "selectable 2 1", "shouldSelect 2", "handleClick 2 1", "shouldEdit 2 1"}},
        {2, 0, 1, true, true, {"verify 2 0 2", "selectable 2 0", "shouldSelect 2", "handleClick 2 0"}},
        {1, 0, 1, false, std::nullopt, {"verify 1 0 2", "selectable 1 0"}},
        {1, 0, 2, true, std::nullopt, {"verify 1 0 2", "selectable 1 0"}},
        {1, 0, 0, true, std::nullopt, {"verify 1 0 2"}},
        {0, 0, 1, true, std::nullopt, {"verify 0 0 2"}},  // the tree column never asks about editing
        {-1, 0, 1, true, std::nullopt, {}},
    };
    // clang-format on
    for (const Case &c : cases) {
        client.log.clear();
        client.selectable = c.selectable;
        client.consumes = c.consumes;
        view.performClickAtColumn(c.column, c.row, nullptr, c.clicks);
        EXPECT_EQ(client.log, c.log) << c.column << " " << c.row << " " << c.clicks;
    }
    client.log.clear();
    client.consumes = std::nullopt;
    client.selectable = true;
    view.resize(400, 200);
    view.show();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(data.model.index(1, 2)).center());
    EXPECT_EQ(client.log.value(0), QStringLiteral("verify 2 1 2"));
    EXPECT_EQ(view.currentIndex().row(), 1);
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), 1);
}

TEST(KeyHandlingOutlineViewTest, KeypadEnterIsSwallowedUnlessCtrlIsHeld)
{
    NodeModel data;
    cv::KeyHandlingOutlineView view;
    view.setModel(&data.model);
    view.setCurrentIndex(data.model.index(0, 1));
    QKeyEvent plain(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
    QApplication::sendEvent(&view, &plain);
    EXPECT_TRUE(plain.isAccepted());
    QKeyEvent withCtrl(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier | Qt::ControlModifier);
    QApplication::sendEvent(&view, &withCtrl);
    EXPECT_FALSE(withCtrl.isAccepted());
}

// The window's outlines have no horizontal bar: a pen's stroke that leans
// sideways scrolls them down, where a mouse's, or a pen's in a view with the
// bar, takes the usual way (here: sideways, not down).
TEST(KeyHandlingOutlineViewTest, APenScrollsDownOnlyWhereThereIsNoHorizontalBar)
{
    QStandardItemModel model(200, 2);
    const QPointingDevice pen(QStringLiteral("pen"), 4242, QInputDevice::DeviceType::Stylus,
                              QPointingDevice::PointerType::Pen, QInputDevice::Capability::Position, 1, 1);
    struct WheelCase {
        const char *what;
        bool pen;
        Qt::ScrollBarPolicy policy;
        bool down;
    };
    for (const WheelCase &c : {WheelCase{"pen", true, Qt::ScrollBarAlwaysOff, true},
                               WheelCase{"mouse", false, Qt::ScrollBarAlwaysOff, false},
                               WheelCase{"pen with the bar", true, Qt::ScrollBarAsNeeded, false}}) {
        cv::KeyHandlingOutlineView view;
        view.setModel(&model);
        view.header()->setStretchLastSection(false);
        view.setColumnWidth(0, 600);
        view.setHorizontalScrollBarPolicy(c.policy);
        view.resize(200, 200);
        view.show();
        const QPointF at(50, 50);
        QWheelEvent wheel(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(-240, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false, Qt::MouseEventNotSynthesized,
                          c.pen ? &pen : QPointingDevice::primaryPointingDevice());
        QApplication::sendEvent(view.viewport(), &wheel);
        EXPECT_EQ(view.verticalScrollBar()->value() > 0, c.down) << c.what;
        if (c.down) {
            EXPECT_EQ(view.horizontalScrollBar()->value(), 0) << c.what;
        }
    }
}

TEST(ExpansionStateSavedOutlineViewTest, NodesKeepTheirStateAndComeBackAfterAReset)
{
    NodeModel data;
    cv::ExpansionStateSavedOutlineView view;
    view.setModel(&data.model);
    const QModelIndex a = data.model.index(0, 0);
    view.expand(a);
    EXPECT_TRUE(data.nodes[0]->isExpanded());
    view.collapse(a);
    EXPECT_TRUE(data.nodes[0]->collapsed());

    data.nodes[0]->setCollapsed(false);
    view.restoreExpansionState();
    EXPECT_TRUE(view.isExpanded(a));
    data.nodes[0]->setCollapsed(true);
    view.restoreExpansionState();
    EXPECT_FALSE(view.isExpanded(a));
}

TEST(ColoredTableHeaderCellTest, ATrueColourWinsOverLaterColours)
{
    cv::ColoredTableHeaderCell cell;
    cell.setTextColor(Qt::blue);
    EXPECT_EQ(cell.textColor(), QColor(Qt::blue));
    cell.setTrueTextColor(Qt::red);
    cell.setTextColor(Qt::white); // highlighting
    EXPECT_EQ(cell.textColor(), QColor(Qt::red));
    cell.setTrueTextColor(QColor());
    cell.setTextColor(Qt::white);
    EXPECT_EQ(cell.textColor(), QColor(Qt::white));
}

TEST(BorderedOutlineViewTest, RowsFitTheFontAndOnlyASecondRowGetsTheTitleBand)
{
    cv::BorderedOutlineView view;
    EXPECT_EQ(view.font().pixelSize(), 13);
    EXPECT_EQ(view.rowHeight(), QFontMetrics(view.font()).height() + 2);
    view.setFontSize(18);
    EXPECT_EQ(view.rowHeight(), QFontMetrics(view.font()).height() + 2);
    view.setFontSize(13);

    const QColor title(200, 40, 40);
    view.setTitleColor(title);
    QStandardItemModel model;
    model.appendRow(new QStandardItem);
    view.setModel(&model);
    view.resize(300, 200);
    view.show();
    auto bandPixel = [&](int row) {
        const QRect r = view.visualRect(model.index(row, 0));
        return view.viewport()->grab().toImage().pixelColor(1, r.center().y());
    };
    EXPECT_NE(bandPixel(0), title);
    model.appendRow(new QStandardItem);
    EXPECT_NE(bandPixel(0), title);
    EXPECT_EQ(bandPixel(1), title);
}
