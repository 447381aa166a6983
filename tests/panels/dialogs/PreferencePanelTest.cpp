// The preferences window: margin units and limits, Reset and Cancel, end codes.
#include "document/Preference.h"
#include "panels/dialogs/CalculatorWindow.h"
#include "panels/dialogs/PreferencesDialog.h"

#include <QApplication>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

using Panel = cv::PreferencesDialog;

void type(Panel &panel, int margin, const QString &text)
{
    panel.marginField(margin)->setText(text);
    panel.marginTyped(margin);
}

TEST(PreferencePanelTest, MarginsFollowTheUnitWithinTheirLimits)
{
    cv::Preference pref; // the defaults: 18-point margins
    pref.setPaperMeasurement(Panel::Inches);
    Panel panel(&pref);
    EXPECT_FALSE(panel.okButton()->isEnabled());
    EXPECT_EQ(panel.marginField(Panel::Top)->text(), QStringLiteral("0.25"));

    panel.setMeasure(Panel::Millimetres);
    EXPECT_EQ(panel.marginField(Panel::Top)->text(), QStringLiteral("6.3"));
    type(panel, Panel::Left, QStringLiteral("40"));
    EXPECT_EQ(panel.marginField(Panel::Left)->text(), QStringLiteral("30.0"));
    type(panel, Panel::Bottom, QStringLiteral("-3"));
    EXPECT_EQ(panel.marginField(Panel::Bottom)->text(), QStringLiteral("0.0")); // the minimum is 0
    panel.stepMargin(Panel::Bottom, -1);
    EXPECT_EQ(panel.marginValue(Panel::Bottom), 0.0);
    type(panel, Panel::Right, QStringLiteral("abc"));
    EXPECT_EQ(panel.marginField(Panel::Right)->text(), QStringLiteral("6.3")); // unreadable text changes nothing

    const struct {
        int unit;
        const char *left;
    } steps[] = {
        {Panel::Inches, "1.18"}, {Panel::Millimetres, "30.0"}, {Panel::Points, "85.0"}, {Panel::Millimetres, "30.0"}};
    for (const auto &s : steps) {
        panel.setMeasure(s.unit);
        EXPECT_EQ(panel.marginField(Panel::Left)->text().toStdString(), s.left) << "unit " << s.unit;
    }
    panel.okPushed();
    EXPECT_EQ(panel.result(), Panel::PrintChanged);
    EXPECT_EQ(pref.paperMeasurement(), Panel::Millimetres);
    EXPECT_NEAR(pref.leftTopMargin().width(), Panel::kMaxMarginPoints, 1e-9);
    EXPECT_EQ(pref.rightBottomMargin().height(), 0.0);
    EXPECT_NEAR(pref.leftTopMargin().height(), 18.0, 1e-9); // untouched margins keep their points
}

TEST(PreferencePanelTest, ResetShowsTheShownTabsDefaultsAndCancelRestoresTheBackupCount)
{
    cv::Preference pref;
    pref.setBackupCount(12);
    pref.setTaxFracProcess(2);
    pref.setAutoPriceUpdate(false);
    {
        Panel panel(&pref);
        panel.tabView()->setCurrentIndex(2);
        panel.resetPushed();
        EXPECT_EQ(pref.backupCount(), cv::Preference().backupCount()); // at once, as the reset says
        EXPECT_TRUE(panel.okButton()->isEnabled());
        panel.cancelPushed();
        EXPECT_EQ(panel.result(), 0);
        EXPECT_EQ(pref.backupCount(), 12);
        EXPECT_EQ(pref.taxFracProcess(), 2);
    }
    {
        Panel panel(&pref);
        panel.tabView()->setCurrentIndex(2);
        panel.resetPushed();
        panel.okPushed();
        EXPECT_EQ(panel.result(), Panel::MiscChanged);
        EXPECT_EQ(pref.taxFracProcess(), 0);
        EXPECT_TRUE(pref.autoPriceUpdate());
        EXPECT_EQ(pref.backupCount(), 5);
    }
    {
        Panel panel(&pref);
        panel.setColor(Panel::FutureColor, QColor(Qt::red));
        panel.okPushed();
        EXPECT_EQ(panel.result(), Panel::ViewChanged);
        EXPECT_EQ(pref.futureColor(), QColor(Qt::red));
    }
    {
        Panel panel(&pref);
        panel.okPushed(); // nothing changed: 0, nothing written
        EXPECT_EQ(panel.result(), 0);
    }
}

TEST(PreferencePanelTest, OpeningSavesAChangeAndHandsTheTaxRuleToTheCalculator)
{
    cv::CalculatorWindow *calculator = cv::CalculatorWindow::shared(0);
    cv::Preference pref;
    QTimer::singleShot(0, [] {
        auto *panel = qobject_cast<Panel *>(QApplication::activeModalWidget());
        ASSERT_TRUE(panel);
        panel->tabView()->setCurrentIndex(2);
        const QList<QRadioButton *> rules = panel->findChildren<QRadioButton *>();
        ASSERT_EQ(rules.size(), 4);
        rules[2]->click(); // round down
        panel->okPushed();
    });
    EXPECT_EQ(Panel::openPreferencePanel(&pref), Panel::MiscChanged);
    EXPECT_EQ(pref.taxFracProcess(), 2);
    EXPECT_EQ(calculator->taxFracProcess(), 2);
    EXPECT_EQ(cv::Preference::fromUserDefaults().taxFracProcess(), 2);
    delete calculator;
}

} // namespace

// A backup count typed alone counts as a change (the caller saves on one); Cancel keeps none.
TEST(PreferencePanelTest, TheBackupCountIsTypedAndKeptOnOK)
{
    for (auto [typed, ok, code, kept] : {std::tuple("12", true, int(Panel::MiscChanged), 12),
                                         {"0", true, Panel::MiscChanged, 0},
                                         {"7", false, 0, 5}}) {
        cv::Preference pref;
        Panel panel(&pref);
        panel.show();
        panel.tabView()->setCurrentIndex(2);
        panel.backupCountField()->setFocus();
        QTest::keyClick(panel.backupCountField(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(panel.backupCountField(), QLatin1String(typed));
        ok ? panel.okPushed() : panel.cancelPushed();
        EXPECT_EQ(std::pair(panel.result(), pref.backupCount()), std::pair(code, kept)) << typed;
    }
}
