// Renders the calculator, the calendar window and the preferences window in
// Japanese and English to PNG files under the build tree
// (screenshots/{ja,en}/) for people to look at; checks only that they were written.
#include "PanelTestSupport.h"

#include "document/Preference.h"
#include "panels/sheets/LoanDialog.h"
#include "panels/dialogs/CalculatorWindow.h"
#include "panels/dialogs/CalendarWindow.h"
#include "panels/dialogs/PreferencesDialog.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

class WindowScreenshot : public ::testing::TestWithParam<const char *> {};

TEST_P(WindowScreenshot, ShowsTheCalculatorCalendarAndPreferences)
{
    const QString language = QString::fromLatin1(GetParam());
    cv::setLanguageOverride(language);

    cv::CalculatorWindow calc(0);
    calc.numkey(1);
    calc.numkey(2);
    calc.numkey(3);
    calc.numkey(4);
    calc.numkey(10);
    calc.numkey(5);
    EXPECT_TRUE(paneltest::saveScreenshot(calc, language, QStringLiteral("calculator")));

    cv::CalendarWindow calendar;
    calendar.setCurrentDate(QDate(2007, 11, 3));
    EXPECT_TRUE(paneltest::saveScreenshot(calendar, language, QStringLiteral("calendar-window")));

    cv::Preference pref;
    cv::PreferencesDialog panel(&pref);
    for (int tab = 0; tab < 3; ++tab) {
        panel.tabView()->setCurrentIndex(tab);
        EXPECT_TRUE(paneltest::saveScreenshot(panel, language, QStringLiteral("preferences-%1").arg(tab + 1)));
    }
    cv::setLanguageOverride(QString());
}

TEST_P(WindowScreenshot, ShowsTheLoanSheetOnBothPages)
{
    const QString language = QString::fromLatin1(GetParam());
    cv::setLanguageOverride(language);
    auto doc = paneltest::makeBook();
    ASSERT_TRUE(doc);
    auto node = std::make_shared<cv::Node>();
    node->setKind(cv::NodeKind::Loan);
    node->setCurrency(1);
    cv::LoanDialog panel(doc.get(), node);
    const auto type = [](QLineEdit *field, const char *text) {
        field->setText(QString::fromUtf8(text));
        Q_EMIT field->textEdited(field->text());
    };
    type(panel.nameField(), "Car");
    type(panel.dateField(), "2009/04/10");
    type(panel.valueField(), "1,200,000");
    type(panel.timesField(), "12");
    type(panel.rateField(), "12");
    panel.dueDateButton()->setCurrentIndex(24);
    panel.holidayButton()->setCurrentIndex(2);
    panel.initialDayCheckbox()->setChecked(true);
    panel.setRepaymentAccount(paneltest::kA);
    panel.setUsage(33);
    EXPECT_TRUE(paneltest::saveScreenshot(panel, language, QStringLiteral("loan-conditions")));
    panel.showPage(1);
    EXPECT_TRUE(paneltest::saveScreenshot(panel, language, QStringLiteral("loan-schedule")));
    cv::setLanguageOverride(QString());
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowScreenshot, ::testing::Values("ja", "en"));

} // namespace
