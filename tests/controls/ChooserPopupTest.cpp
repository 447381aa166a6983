#include "ChooserTestSupport.h"
#include "controls/CommandRow.h"
#include "controls/ChooserPopup.h"
#include "controls/GroupChooserModel.h"
#include "controls/MouseOverButton.h"
#include "controls/ChooserList.h"
#include "controls/OutsideClickClient.h"
#include "controls/ChooserModel.h"
#include "controls/PopupManager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include "platform/Localization.h"
#include "platform/ScriptedAlertPresenter.h"

#include <gtest/gtest.h>

namespace {

cv::NodePtr makeNode(const QString &name, int kind, int ident, const cv::NodePtr &parent = nullptr)
{
    auto node = std::make_shared<cv::Node>();
    node->setName(name);
    node->setKind(cv::NodeKind(kind));
    node->setIdent(ident);
    if (parent) parent->appendChild(node);
    return node;
}

// A list of given top-level nodes.
class ListSource : public cv::ChooserModel {
public:
    void fill(const std::vector<cv::NodePtr> &top)
    {
        beginFill(nullptr);
        for (const cv::NodePtr &node : top) appendDuringFill(cv::ChooserItem::fromNode(node));
        endFill();
    }
};

// Two folders of two leaves each: {G1 {a, b}, G2 {c, d}}.
std::vector<cv::NodePtr> twoFolders()
{
    auto g1 = makeNode(QStringLiteral("G1"), 20, 100);
    auto g2 = makeNode(QStringLiteral("G2"), 20, 200);
    makeNode(QStringLiteral("a"), 30, 101, g1);
    makeNode(QStringLiteral("b"), 30, 102, g1);
    makeNode(QStringLiteral("c"), 30, 201, g2);
    makeNode(QStringLiteral("d"), 30, 202, g2);
    return {g1, g2};
}

struct Delivery {
    std::vector<QString> names;
    bool popupVisibleAtCall = false;
    cv::ChooserEndHandler handler()
    {
        return [this](const cv::ChooserItem &item) {
            names.push_back(item.name());
            popupVisibleAtCall = cv::ChooserPopup::get()->isVisible();
        };
    }
};

class ChooserPopupTest : public ::testing::Test {
protected:
    // Activation changes left by windows of earlier tests would close the popup.
    void SetUp() override { QTest::qWait(20); }
    void TearDown() override
    {
        cv::ChooserPopup::get()->mustClose();
        QTRY_VERIFY(!cv::ChooserPopup::get()->isVisible());
    }
    cv::ChooserPopup *popup = cv::ChooserPopup::get();
    cv::ChooserList *outline = popup->outline();
    ListSource source;
};

void clickRow(cv::ChooserList *outline, const QModelIndex &index)
{
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, outline->visualRect(index).center());
}

} // namespace

TEST_F(ChooserPopupTest, ExpansionFollowsTheListAndAMissingValueSelectsRowZero)
{
    source.fill(twoFolders());
    popup->run(nullptr, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, &source, cv::ChooserItem(), nullptr);
    EXPECT_TRUE(outline->isExpanded(source.index(0, 0)));
    EXPECT_TRUE(outline->isExpanded(source.index(1, 0)));
    popup->mustClose();

    auto folders = twoFolders();
    auto third = makeNode(QStringLiteral("G3"), 20, 300);
    makeNode(QStringLiteral("e"), 30, 301, third);
    folders[1]->setCollapsed(true);
    folders.push_back(third);
    source.fill(folders);
    auto absent = makeNode(QStringLiteral("zz"), 30, 999);
    popup->run(nullptr, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, &source,
               cv::ChooserItem::fromNode(absent), nullptr);
    EXPECT_TRUE(outline->isExpanded(source.index(0, 0)));
    EXPECT_FALSE(outline->isExpanded(source.index(1, 0)));
    EXPECT_TRUE(outline->isExpanded(source.index(2, 0)));
    EXPECT_EQ(outline->currentIndex(), source.index(0, 0));
    popup->mustClose();

    // A value inside a closed folder opens it and is selected.
    source.fill(folders);
    popup->run(nullptr, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, &source,
               cv::ChooserItem::fromNode(folders[1]->childAt(1)), nullptr);
    EXPECT_TRUE(outline->isExpanded(source.index(1, 0)));
    EXPECT_EQ(outline->currentIndex().data().toString(), QStringLiteral("d"));
}

TEST_F(ChooserPopupTest, APickBlinksThenClosesAndDeliversOnce)
{
    source.fill(twoFolders());
    Delivery delivery;
    popup->run(nullptr, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, &source, cv::ChooserItem(),
               delivery.handler());
    QElapsedTimer clock;
    std::vector<std::pair<qint64, bool>> steps;
    QObject::connect(outline->selectionModel(), &QItemSelectionModel::selectionChanged, popup,
                     [&] { steps.emplace_back(clock.elapsed(), outline->selectionModel()->hasSelection()); });
    const QModelIndex leaf = source.index(1, 0, source.index(0, 0));
    const QPoint over = outline->visualRect(source.index(0, 0, source.index(1, 0))).center();
    QMouseEvent move(QEvent::MouseMove, over, outline->viewport()->mapToGlobal(over), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(outline->viewport(), &move);
    EXPECT_EQ(outline->currentIndex().data().toString(), QStringLiteral("c")); // hovering selects
    clock.start();
    clickRow(outline, leaf);
    QTRY_COMPARE(delivery.names.size(), size_t(1));
    EXPECT_EQ(delivery.names.front(), QStringLiteral("b"));
    EXPECT_FALSE(delivery.popupVisibleAtCall);
    ASSERT_GE(steps.size(), 3u);
    const auto n = steps.size();
    EXPECT_TRUE(steps[n - 3].second);
    EXPECT_FALSE(steps[n - 2].second);
    EXPECT_TRUE(steps[n - 1].second);
    EXPECT_GE(steps[n - 2].first - steps[n - 3].first, cv::ChooserList::kBlinkMs - 10);
    EXPECT_GE(steps[n - 1].first - steps[n - 2].first, cv::ChooserList::kBlinkMs - 10);
    QTest::qWait(3 * cv::ChooserList::kBlinkMs);
    EXPECT_EQ(delivery.names.size(), 1u);
}

TEST_F(ChooserPopupTest, EscAndGroupReleasesCallNobody)
{
    source.fill(twoFolders());
    Delivery delivery;
    popup->run(nullptr, QRect(100, 300, 80, 20), cv::ChooserPopup::Anchor::Point, &source, cv::ChooserItem(),
               delivery.handler());
    const QRect before = popup->geometry();
    clickRow(outline, source.index(0, 0)); // closes G1
    EXPECT_FALSE(outline->isExpanded(source.index(0, 0)));
    EXPECT_TRUE(popup->isVisible());
    EXPECT_LT(popup->height(), before.height());
    EXPECT_EQ(popup->geometry().top(), before.top());

    QTest::keyClick(outline, Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    QTest::qWait(50);
    EXPECT_TRUE(delivery.names.empty());
}

TEST_F(ChooserPopupTest, AReopenedChooserNeverGetsTheEarlierPick)
{
    source.fill(twoFolders());
    Delivery first, second;
    popup->run(nullptr, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, &source, cv::ChooserItem(),
               first.handler());
    clickRow(outline, source.index(0, 0, source.index(1, 0))); // "c" starts blinking
    QTest::qWait(cv::ChooserList::kBlinkMs);
    ListSource other;
    other.fill(twoFolders());
    popup->run(nullptr, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, &other, cv::ChooserItem(),
               second.handler());
    EXPECT_EQ(first.names, std::vector<QString>{QStringLiteral("c")});
    QTest::qWait(4 * cv::ChooserList::kBlinkMs);
    EXPECT_TRUE(second.names.empty());
    EXPECT_TRUE(popup->isVisible());

    // Closed from outside during a blink: the pick is still delivered.
    clickRow(outline, other.index(0, 0, other.index(0, 0)));
    popup->mustClose();
    EXPECT_EQ(second.names, std::vector<QString>{QStringLiteral("a")});
}

TEST_F(ChooserPopupTest, ATallListFillsTheScreenAndTheDownArrowScrollsToTheEnd)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    auto root = makeNode(QStringLiteral("root"), 1, 1);
    for (int i = 0; i < 60; ++i) makeNode(QStringLiteral("leaf %1").arg(i), 30, 10 + i, root);
    source.fill({root});
    popup->run(nullptr, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, &source, cv::ChooserItem(), nullptr);
    if (outline->contentHeight() <= available.height()) GTEST_SKIP() << "screen taller than the list";
    EXPECT_EQ(popup->geometry().top(), available.top());
    EXPECT_EQ(popup->height(), available.height());
    ASSERT_TRUE(popup->arrowsShown());
    EXPECT_TRUE(popup->upArrow()->isVisible());
    EXPECT_TRUE(popup->downArrow()->isVisible());

    QScrollBar *bar = outline->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), popup->downArrow()->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(popup->downArrow(), &enter);
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), bar->maximum(), 10000);
    EXPECT_GT(bar->maximum(), 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(popup->downArrow(), &leave);
}

TEST_F(ChooserPopupTest, AButtonAnchorSharesTheLeftEdgeAndCentre)
{
    auto a = makeNode(QStringLiteral("x"), 30, 1);
    auto b = makeNode(QStringLiteral("y"), 30, 2);
    auto c = makeNode(QStringLiteral("z"), 30, 3);
    source.fill({a, b, c});
    const QRect button(200, 300, 120, 24);
    popup->run(nullptr, button, cv::ChooserPopup::Anchor::Button, &source, cv::ChooserItem::fromNode(b), nullptr);
    const QRect frame = popup->geometry();
    EXPECT_GE(frame.width(), 120);
    EXPECT_GE(frame.height(), 24);
    EXPECT_EQ(frame.left(), button.left());
    EXPECT_LE(std::abs(frame.center().y() - button.center().y()), 1);
    EXPECT_FALSE(popup->arrowsShown());

    const QRect cell(60, 200, 150, 20);
    popup->run(nullptr, cell, cv::ChooserPopup::Anchor::Cell, &source, cv::ChooserItem(), nullptr);
    EXPECT_EQ(popup->geometry().left(), cell.left());
    EXPECT_GE(popup->width(), cell.width());
    EXPECT_LE(std::abs(popup->geometry().center().y() - cell.top()), 1);
    // Also when the value sits in a folder that the run opens.
    ListSource folders;
    const std::vector<cv::NodePtr> top = twoFolders();
    folders.fill(top);
    popup->run(nullptr, cell, cv::ChooserPopup::Anchor::Cell, &folders,
               cv::ChooserItem::fromNode(top[1]->children().back()), nullptr);
    EXPECT_EQ(popup->height(), outline->contentHeight() + 2 * cv::ChooserPopup::kBorder);
    EXPECT_LE(std::abs(popup->geometry().center().y() - cell.top()), 1);

    // Near the right edge of the screen the popup stays on it.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    popup->run(nullptr, QRect(available.right() - 10, 300, 120, 24), cv::ChooserPopup::Anchor::Button, &source,
               cv::ChooserItem(), nullptr);
    EXPECT_LE(popup->geometry().right(), available.right());
}

TEST_F(ChooserPopupTest, AListFreedWhileOpenEndsWithoutAPick)
{
    auto *temporary = new ListSource;
    temporary->fill(twoFolders());
    Delivery delivery;
    popup->run(nullptr, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, temporary, cv::ChooserItem(),
               delivery.handler());
    delete temporary;
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    QTest::keyClick(outline, Qt::Key_Return);
    popup->mustClose();
    EXPECT_FALSE(popup->isVisible());
    EXPECT_TRUE(delivery.names.empty());
}

TEST_F(ChooserPopupTest, KeysPickOnceAndTabPicksAtOnce)
{
    source.fill(twoFolders());
    Delivery delivery;
    const auto leaf = [&] { return cv::ChooserItem::fromNode(source.objects()[1].node()->childAt(0)); };
    popup->run(nullptr, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, &source, leaf(), delivery.handler());
    QTest::keyClick(outline, Qt::Key_Tab);
    EXPECT_EQ(delivery.names, std::vector<QString>{QStringLiteral("c")});
    EXPECT_FALSE(popup->isVisible());

    popup->run(nullptr, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, &source, leaf(), delivery.handler());
    QTest::keyClick(outline, Qt::Key_Space);
    QTest::keyClick(outline, Qt::Key_Return);
    QTRY_COMPARE(delivery.names.size(), size_t(2));
    QTest::qWait(4 * cv::ChooserList::kBlinkMs);
    EXPECT_EQ(delivery.names.size(), 2u);
}

TEST_F(ChooserPopupTest, ACommandRowRunsItsActionAndDeliversWhatItMade)
{
    cv::setLanguageOverride(QStringLiteral("en"));
    cvtest::ChooserBook book;
    ScriptedAlertPresenter alerts;
    alerts.names.push_back(QStringLiteral("Work"));
    cv::GroupChooserModel groups;
    groups.setDocument(&book.doc, 0);
    Delivery delivery;
    popup->run(nullptr, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, &groups, groups.objects().back(),
               delivery.handler());
    EXPECT_EQ(outline->currentIndex().data().toString(), QStringLiteral("New Grouping"));
    QTest::keyClick(outline, Qt::Key_Return);
    QTRY_COMPARE(delivery.names.size(), size_t(1));
    EXPECT_EQ(delivery.names.front(), QStringLiteral("Work"));
    EXPECT_EQ(book.doc.groupList().back()->name(), QStringLiteral("Work"));
    cv::setLanguageOverride(QString());
}

// ---- the popup tracker

namespace {

class FakeEditorWindow : public QWidget, public cv::OutsideClickClient {
public:
    void clickedOutside() override { ++outsideClicks; }
    int outsideClicks = 0;
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

QWidget *shownAt(const QRect &geometry)
{
    auto *widget = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    widget->setGeometry(geometry);
    widget->show();
    return widget;
}

} // namespace

TEST(PopupManagerTest, OutsideClicksCloseOnlyTheTopmostAndAreSwallowed)
{
    cv::PopupManager manager;
    FakeEditorWindow window;
    EXPECT_FALSE(manager.testOutsideClicks(&window, QPoint(5, 5))); // nothing open: passes

    std::unique_ptr<QWidget> lower(shownAt(QRect(10, 10, 50, 50)));
    std::unique_ptr<QWidget> upper(shownAt(QRect(100, 100, 50, 50)));
    manager.begin(lower.get());
    manager.begin(upper.get());
    EXPECT_FALSE(manager.testOutsideClicks(&window, QPoint(120, 120))); // inside the topmost
    EXPECT_TRUE(manager.testOutsideClicks(&window, QPoint(400, 400)));
    EXPECT_EQ(window.outsideClicks, 1);
    EXPECT_FALSE(upper->isVisible());
    EXPECT_TRUE(lower->isVisible());
    EXPECT_EQ(manager.topmost(), lower.get());

    // No client: the popup closes itself.
    EXPECT_TRUE(manager.testOutsideClicks(nullptr, QPoint(400, 400)));
    EXPECT_FALSE(lower->isVisible());
    EXPECT_EQ(manager.count(), 0);
}

TEST(PopupManagerTest, ControllersAndKeepingPopups)
{
    cv::PopupManager manager;
    FakeEditorWindow window;
    std::unique_ptr<QWidget> calendar(shownAt(QRect(10, 10, 50, 50)));
    int controllerCloses = 0;
    cv::PopupManager::Options options;
    options.controllerClose = [&] {
        ++controllerCloses;
        calendar->hide();
    };
    manager.begin(calendar.get(), options);
    EXPECT_TRUE(manager.testOutsideClicks(&window, QPoint(400, 400)));
    EXPECT_EQ(controllerCloses, 1);
    EXPECT_EQ(window.outsideClicks, 0);

    std::unique_ptr<QWidget> modal(shownAt(QRect(10, 10, 50, 50)));
    cv::PopupManager::Options keep;
    keep.keepsOutsideClicks = true;
    manager.begin(modal.get(), keep);
    EXPECT_TRUE(manager.testOutsideClicks(&window, QPoint(400, 400)));
    EXPECT_TRUE(modal->isVisible());
    EXPECT_EQ(window.outsideClicks, 0);

    manager.closeAll();
    EXPECT_FALSE(modal->isVisible());
    EXPECT_EQ(manager.count(), 0);
}

TEST_F(ChooserPopupTest, AnOutsideClickOverAWindowEndsItsEditAndIsSwallowed)
{
    FakeEditorWindow window;
    window.setGeometry(0, 0, 700, 500);
    window.show();
    source.fill(twoFolders());
    Delivery delivery;
    popup->run(&window, QRect(100, 100, 80, 20), cv::ChooserPopup::Anchor::Point, &source, cv::ChooserItem(),
               delivery.handler());
    ASSERT_EQ(QApplication::activePopupWidget(), popup);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(600, 450));
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(window.outsideClicks, 1);
    EXPECT_EQ(window.presses, 0);
    EXPECT_TRUE(delivery.names.empty());

    // With no popup open the same click reaches the window.
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(600, 450));
    EXPECT_EQ(window.presses, 1);
}
