// The start-up panel's codes and what launching makes of them.
#include "MainWindowTestSupport.h"

#include "mainwindow/InitialPanelController.h"
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
QStringList accountNames(const CV4Document &document)
{
    QStringList names;
    std::function<void(const CVUnitModelPtr &)> walk = [&](const CVUnitModelPtr &node) {
        if (!node) return;
        names << node->name();
        for (const CVUnitModelPtr &child : node->children()) walk(child);
    };
    walk(document.accountModel()->asset());
    return names;
}

QStringList templateAccountNames(int templateIndex)
{
    CV4Document::setTemplateIndex(templateIndex);
    CV4Document reference;
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
        InitialPanelController panel(true);
        panel.templateButton()->setCurrentIndex(c.templateIndex);
        panel.neverAgainCheckbox()->setChecked(c.neverAgain);
        QPushButton *button = QLatin1String(c.button) == QLatin1String("create") ? panel.createNewButton()
                              : QLatin1String(c.button) == QLatin1String("recent") ? panel.openRecentButton()
                                                                                   : panel.closeButton();
        QTimer::singleShot(0, button, &QPushButton::click);
        EXPECT_EQ(panel.exec(), c.code) << c.button << " template " << c.templateIndex;
    }
}

TEST(InitialPanelTest, OutsideStartUpOpenRecentAndNeverAgainAreOff)
{
    InitialPanelController atStart(true);
    EXPECT_TRUE(atStart.openRecentButton()->isEnabled());
    InitialPanelController later(false);
    EXPECT_FALSE(later.openRecentButton()->isEnabled());
    EXPECT_FALSE(later.neverAgainCheckbox()->isEnabled());
    EXPECT_EQ(later.templateButton()->count(), InitialPanelController::kTemplateCount);
}

TEST_F(DelegateTest, LaunchActsOnThePanelCode)
{
    const QString recent = savedBook(QStringLiteral("recent.cvv2"));
    struct Case {
        int code;
        size_t documents;
        int templateIndex;  // -1: the recent book
        bool panelStaysOn;
    } cases[] = {{4 + 3 * 8, 1, 3, true}, {5, 1, 0, false}, {21, 1, 2, false}, {2, 1, -1, true},
                 {3, 1, -1, false},      {0, 0, 0, true},  {1, 0, 0, false}};
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
        EXPECT_EQ(CV4Preference(*settings).showInitialPanel(), c.panelStaysOn);
        if (c.documents == 0) continue;
        CV4Document *document = delegate->documentController().documents().front().get();
        if (c.templateIndex < 0) {
            EXPECT_EQ(QFileInfo(document->fileName()).canonicalFilePath(), QFileInfo(recent).canonicalFilePath());
        } else {
            const QStringList opened = accountNames(*document);
            EXPECT_EQ(opened, templateAccountNames(c.templateIndex));
        }
        ASSERT_NE(window(), nullptr);
        delegate->documentController().closeAll();
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
    EXPECT_EQ(QFileInfo(delegate->documentController().documents().front()->fileName()).fileName(),
              QStringLiteral("last.cvv2"));
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
    EXPECT_EQ(accountNames(*delegate->documentController().documents().front()), templateAccountNames(2));
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

// The real panel, driven as a user would: each run notes what it showed, then
// a scripted hand acts on it.
class StartupPanelTest : public DelegateTest {
protected:
    struct Shown {
        bool recentEnabled;
        bool neverAgain;
        QString message;
    };
    using Hand = std::function<void(InitialPanelController &)>;

    void launch(std::deque<Hand> hands)
    {
        delegate = std::make_unique<CV4AppDelegate>(settings.get());
        delegate->setQuitWithLastDocument(false);
        m_hands = std::move(hands);
        arm();
        delegate->applicationDidFinishLaunching();
    }
    static Hand click(QPushButton *(InitialPanelController::*button)() const, bool neverAgain = false)
    {
        return [button, neverAgain](InitialPanelController &panel) {
            panel.neverAgainCheckbox()->setChecked(neverAgain);
            (panel.*button)()->click();
        };
    }
    std::vector<Shown> shown;

private:
    void arm()
    {
        QTimer::singleShot(0, delegate.get(), [this] {
            auto *panel = qobject_cast<InitialPanelController *>(QApplication::activeModalWidget());
            if (!panel || panel->property("seen").toBool() || m_hands.empty()) {
                if (!m_hands.empty()) arm();
                return;
            }
            panel->setProperty("seen", true);
            shown.push_back({panel->openRecentButton()->isEnabled(), panel->neverAgainCheckbox()->isChecked(),
                             panel->messageLabel()->text()});
            Hand hand = std::move(m_hands.front());
            m_hands.pop_front();
            if (!m_hands.empty()) arm();
            hand(*panel);
        });
    }
    std::deque<Hand> m_hands;
};

TEST_F(StartupPanelTest, LaunchNeverEndsWithoutABookAndAWord)
{
    using P = InitialPanelController;
    enum Recent { None, Present, Missing };
    struct Case {
        const char *name;
        bool panelOn;
        Recent recent;
        std::vector<Hand> hands;
        std::deque<cv::AlertButton> answers;  // to "Quit Corvane?"
        size_t panels;
        bool recentEnabled;                   // on the first panel
        const char *messageHas;               // "" none
        size_t documents;
        size_t asked;
        bool panelOnAfter;
    } cases[] = {
        {"no book yet: Open Recent is off; Close asks before quitting", true, None, {click(&P::closeButton)}, {},
         1, false, "", 0, 1, true},
        {"Close, Back, then Open Recent", true, Present, {click(&P::closeButton), click(&P::openRecentButton)},
         {cv::AlertButton::Alternate}, 2, true, "", 1, 1, true},
        {"panel off, nothing to open: the panel says so", false, None, {click(&P::createNewButton, true)}, {}, 1,
         false, "No book", 1, 0, false},
        {"panel off, the last book is gone: named, and the panel can be switched back on", false, Missing,
         {click(&P::createNewButton)}, {}, 1, true, "gone.cvv2", 1, 0, true},
        {"the last book vanishes before Open Recent: the panel comes back", true, Missing,
         {click(&P::openRecentButton), click(&P::createNewButton)}, {}, 2, true, "", 1, 0, true},
        {"panel off, the last book is there: no panel", false, Present, {}, {}, 0, false, "", 1, 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        settings->clear();
        if (c.recent != None) {
            const QString file = savedBook(QStringLiteral("gone.cvv2"));
            if (c.recent == Missing) QFile::remove(file);
        }
        delegate->preference().setShowInitialPanel(c.panelOn);
        delegate->preference().save(*settings);
        alerts.asked.clear();
        alerts.answers = c.answers;
        shown.clear();
        launch(std::deque<Hand>(c.hands.begin(), c.hands.end()));
        ASSERT_EQ(shown.size(), c.panels);
        if (c.panels > 0) {
            EXPECT_EQ(shown[0].recentEnabled, c.recentEnabled);
            EXPECT_EQ(shown[0].neverAgain, !c.panelOn);
            if (*c.messageHas) EXPECT_TRUE(shown[0].message.contains(QLatin1String(c.messageHas))) << shown[0].message.toStdString();
            else EXPECT_TRUE(shown[0].message.isEmpty()) << shown[0].message.toStdString();
        }
        EXPECT_EQ(documentCount(), c.documents);
        EXPECT_EQ(alerts.asked.size(), c.asked);
        EXPECT_EQ(CV4Preference(*settings).showInitialPanel(), c.panelOnAfter);
        delegate->documentController().closeAll();
    }
}
