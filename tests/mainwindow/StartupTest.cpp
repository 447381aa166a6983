// The start-up panel's codes and what launching makes of them.
#include "mainwindow/MainWindowTestSupport.h"

#include "mainwindow/StartupDialog.h"
#include "mainwindow/StartupCode.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

// The names of every account under the asset root, depth first.
QStringList accountNames(const cv::Book &document)
{
    QStringList names;
    std::function<void(const cv::NodePtr &)> walk = [&](const cv::NodePtr &node) {
        if (!node) return;
        names << node->name();
        for (const cv::NodePtr &child : node->children()) walk(child);
    };
    walk(document.accountTrees()->asset());
    return names;
}

QStringList templateAccountNames(int templateIndex)
{
    cv::BookTestAccess::setTemplateIndex(templateIndex);
    cv::Book reference;
    reference.createDefault();
    return accountNames(reference);
}

} // namespace

TEST(InitialPanelTest, EachButtonEndsTheRunWithItsCode)
{
    cv::setLanguageOverride(QStringLiteral("en"));
    struct Case {
        const char *button;
        int templateIndex;
        bool neverAgain;
        int code;
    } cases[] = {{"create", 2, true, 21}, {"create", 0, false, 4}, {"create", 3, false, 28}, {"create", 0, true, 5},
                 {"recent", 1, false, 2}, {"recent", 0, true, 3},  {"close", 2, false, 0},   {"close", 0, true, 1}};
    for (const Case &c : cases) {
        cv::StartupDialog panel(true);
        EXPECT_TRUE(panel.openRecentButton()->isEnabled());
        panel.templateButton()->setCurrentIndex(c.templateIndex);
        panel.neverAgainCheckbox()->setChecked(c.neverAgain);
        QPushButton *button = QLatin1String(c.button) == QLatin1String("create")   ? panel.createNewButton()
                              : QLatin1String(c.button) == QLatin1String("recent") ? panel.openRecentButton()
                                                                                   : panel.closeButton();
        QTimer::singleShot(0, button, &QPushButton::click);
        EXPECT_EQ(panel.exec(), c.code) << c.button << " template " << c.templateIndex;
    }
    // Outside start-up, Open Recent and "never again" are off.
    cv::StartupDialog later(false);
    EXPECT_FALSE(later.openRecentButton()->isEnabled() || later.openRecentButton()->isVisibleTo(&later));
    EXPECT_FALSE(later.neverAgainCheckbox()->isEnabled());
    EXPECT_EQ(later.templateButton()->count(), cv::StartupDialog::kTemplateCount);
}

TEST_F(DelegateTest, LaunchActsOnThePanelCode)
{
    const QString recent = savedBook(QStringLiteral("recent.cvv2"));
    struct Case {
        int code;
        size_t documents;
        int templateIndex; // -1: the recent book
        bool panelStaysOn;
    } cases[] = {{4 + 3 * 8, 1, 3, true}, {5, 1, 0, false}, {21, 1, 2, false}, {2, 1, -1, true},
                 {3, 1, -1, false},       {0, 0, 0, true},  {1, 0, 0, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        delegate->preference().setShowInitialPanel(true);
        delegate->preference().save(*settings);
        panelCodes = {c.code};
        panelRuns.clear();
        delegate->applicationDidFinishLaunching();
        EXPECT_EQ(panelRuns, std::vector<bool>{true});
        ASSERT_EQ(documentCount(), c.documents);
        EXPECT_EQ(delegate->preference().showInitialPanel(), c.panelStaysOn);
        EXPECT_EQ(cv::Preference(*settings).showInitialPanel(), c.panelStaysOn);
        if (c.documents == 0) continue;
        cv::Book *document = delegate->openBooks().documents().front().get();
        if (c.templateIndex < 0) {
            EXPECT_EQ(QFileInfo(document->fileName()).canonicalFilePath(), QFileInfo(recent).canonicalFilePath());
        } else {
            const QStringList opened = accountNames(*document);
            EXPECT_EQ(opened, templateAccountNames(c.templateIndex));
        }
        ASSERT_NE(window(), nullptr);
        delegate->openBooks().closeAll();
    }
}

TEST_F(DelegateTest, WithThePanelOffLaunchOpensTheMostRecentOrShowsThePanel)
{
    delegate->preference().setShowInitialPanel(false);
    delegate->applicationDidFinishLaunching();
    EXPECT_EQ(documentCount(), 0u);
    EXPECT_EQ(panelRuns, std::vector<bool>{true});
    panelRuns.clear();
    delegate->preference().setShowInitialPanel(false);

    const QString recent = savedBook(QStringLiteral("last.cvv2"));
    delegate->applicationDidFinishLaunching();
    EXPECT_TRUE(panelRuns.empty());
    ASSERT_EQ(documentCount(), 1u);
    EXPECT_EQ(QFileInfo(delegate->openBooks().documents().front()->fileName()).fileName(), QStringLiteral("last.cvv2"));
}

TEST_F(DelegateTest, NewFromTemplateIgnoresTheNeverAgainBitAndCodesBelowFour)
{
    QAction *action = delegate->actionForTag(cv::tag::NewFromTemplate);
    ASSERT_NE(action, nullptr);
    for (int code : {0, 1, 2, 3}) {
        panelCodes = {code};
        action->trigger();
    }
    EXPECT_EQ(documentCount(), 0u);
    panelCodes = {1 + 4 + 2 * 8};
    action->trigger();
    EXPECT_EQ(panelRuns, (std::vector<bool>{false, false, false, false, false}));
    ASSERT_EQ(documentCount(), 1u);
    EXPECT_EQ(accountNames(*delegate->openBooks().documents().front()), templateAccountNames(2));
    EXPECT_TRUE(delegate->preference().showInitialPanel());
}

TEST_F(DelegateTest, FileArgumentsOpenTheirBooksOnceEach)
{
    const QString a = savedBook(QStringLiteral("a.cvv2"));
    const QString b = savedBook(QStringLiteral("b.cvv2"));
    delegate->applicationDidFinishLaunching({a, b});
    EXPECT_TRUE(panelRuns.empty());
    ASSERT_EQ(documentCount(), 2u);
    delegate->openFiles({a});
    EXPECT_EQ(documentCount(), 2u);
    EXPECT_NE(window(0), window(1));
}

// The real panel, driven as a user would: each run notes what it showed
// (Open Recent on, the box ticked, the message), then presses a button.
TEST_F(DelegateTest, LaunchNeverEndsWithoutABookAndAWord)
{
    enum Recent { None, Present, Missing };
    using A = cv::AlertButton;
    // panel on, recent book, presses ("new!" ticks the box), answer to "Quit?", what each panel showed,
    // books open after, panel on after
    const std::tuple<bool, Recent, QStringList, std::deque<A>, QStringList, size_t, bool> cases[] = {
        {true, None, {"close"}, {}, {"00"}, 0, true},
        {true, Present, {"close", "recent"}, {A::Alternate}, {"10", "10"}, 1, true},
        {false, None, {"new!"}, {}, {"01No book"}, 1, false},
        {false, Missing, {"new"}, {}, {"11gone.cvv2"}, 1, true},
        {true, Missing, {"recent", "new"}, {}, {"10", "10gone.cvv2"}, 1, true},
        {false, Present, {}, {}, {}, 1, false}};
    for (auto [panelOn, recent, presses, answers, expected, documents, panelOnAfter] : cases) {
        settings->clear();
        if (recent != None && !savedBook(QStringLiteral("gone.cvv2")).isEmpty() && recent == Missing)
            QFile::remove(path(QStringLiteral("gone.cvv2")));
        delegate = std::make_unique<cv::Application>(settings.get()); // the real panel
        delegate->setQuitWithLastDocument(false);
        delegate->preference().setShowInitialPanel(panelOn), delegate->preference().save(*settings);
        alerts.asked.clear(), alerts.answers = answers;
        QStringList shown, left = presses;
        std::function<void()> hand = [&] {
            auto *panel = qobject_cast<cv::StartupDialog *>(QApplication::activeModalWidget());
            if (!panel || panel->property("seen").toBool()) return QTimer::singleShot(0, hand);
            panel->setProperty("seen", true);
            shown << QStringLiteral("%1%2%3")
                         .arg(int(panel->openRecentButton()->isEnabled()))
                         .arg(int(panel->neverAgainCheckbox()->isChecked()))
                         .arg(panel->messageLabel()->text());
            // A book to open is named; with none the panel speaks of no last book.
            const bool recentOn = panel->openRecentButton()->isEnabled();
            if (recentOn) {
                EXPECT_TRUE(panel->recentNote()->text().contains(QStringLiteral("gone.cvv2")));
            }
            EXPECT_EQ(std::pair(panel->openRecentButton()->isVisible(), panel->recentNote()->isVisible()),
                      std::pair(recentOn, recentOn));
            EXPECT_EQ(panel->welcomeLabel()->text(),
                      cv::localizedString(recentOn ? "InitialPanel Message" : "InitialPanel Message New"));
            const QString press = left.takeFirst();
            if (!left.isEmpty()) QTimer::singleShot(0, hand);
            panel->neverAgainCheckbox()->setChecked(press == QLatin1String("new!"));
            (press == QLatin1String("close")    ? panel->closeButton()
             : press == QLatin1String("recent") ? panel->openRecentButton()
                                                : panel->createNewButton())
                ->click();
        };
        if (!presses.isEmpty()) QTimer::singleShot(0, hand);
        delegate->applicationDidFinishLaunching();
        ASSERT_EQ(shown.size(), expected.size()) << expected.join(u'/').toStdString();
        for (int i = 0; i < shown.size(); ++i) // the states alike, a message only where one is expected
            EXPECT_TRUE(shown[i].startsWith(expected[i].left(2)) && shown[i].contains(expected[i].mid(2)) &&
                        (shown[i].size() > 2) == (expected[i].size() > 2))
                << shown[i].toStdString();
        // books, "Quit?" asked when Close came first, the panel's switch
        EXPECT_EQ(std::tuple(documentCount(), alerts.asked.size(), cv::Preference(*settings).showInitialPanel()),
                  std::tuple(documents, size_t(!presses.isEmpty() && presses.front() == QLatin1String("close")),
                             panelOnAfter));
        delegate->openBooks().closeAll();
    }
}
