// The start-up panel's codes and what launching makes of them.
#include "MainWindowTestSupport.h"

#include "mainwindow/InitialPanelController.h"
#include "mainwindow/StartupCode.h"

#include <QCheckBox>
#include <QComboBox>
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

TEST_F(DelegateTest, WithThePanelOffLaunchOpensTheMostRecentOrNothing)
{
    delegate->preference().setShowInitialPanel(false);
    delegate->applicationDidFinishLaunching();
    EXPECT_EQ(documentCount(), 0u);

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
