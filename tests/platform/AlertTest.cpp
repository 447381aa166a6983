#include "platform/Alert.h"
#include "platform/Localization.h"
#include "platform/ScriptedAlertPresenter.h"

#include <gtest/gtest.h>

namespace {

class AlertTest : public ::testing::Test {
protected:
    void SetUp() override { cv::setLanguageOverride(QStringLiteral("en")); }
    void TearDown() override { cv::setLanguageOverride(QString()); }
    ScriptedAlertPresenter presenter;
};

} // namespace

TEST_F(AlertTest, AlertAndWarnShowOneOkButton)
{
    QObject window;
    cv::Alert::alert(QStringLiteral("Title"), QStringLiteral("Message"), &window);
    cv::Alert::warn(QStringLiteral("Careful"));
    ASSERT_EQ(presenter.asked.size(), 2u);
    EXPECT_EQ(presenter.asked[0].window, &window);
    EXPECT_EQ(presenter.asked[0].defaultButton, cv::localizedString(QStringLiteral("OK")));
    EXPECT_TRUE(presenter.asked[0].alternateButton.isEmpty());
    EXPECT_EQ(presenter.asked[1].title, cv::localizedString(QStringLiteral("Warning")));
    EXPECT_EQ(presenter.asked[1].message, QStringLiteral("Careful"));
    EXPECT_EQ(presenter.asked[1].window, nullptr);
}

TEST_F(AlertTest, ConfirmIsYesOnlyForTheDefaultButton)
{
    presenter.answers = {cv::AlertButton::Default, cv::AlertButton::Alternate, cv::AlertButton::Other};
    EXPECT_TRUE(cv::Alert::confirm(QStringLiteral("T"), QStringLiteral("M")));
    EXPECT_FALSE(cv::Alert::confirm(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("Save")));
    EXPECT_FALSE(cv::Alert::confirm(QStringLiteral("T"), QStringLiteral("M")));
    EXPECT_EQ(presenter.asked[0].defaultButton, QStringLiteral("OK"));
    EXPECT_EQ(presenter.asked[0].alternateButton, QStringLiteral("Cancel"));
    EXPECT_EQ(presenter.asked[1].defaultButton, QStringLiteral("Save"));
    EXPECT_EQ(presenter.asked[1].alternateButton, QStringLiteral("Cancel"));
}

TEST_F(AlertTest, Confirm3AnswersOneZeroMinusOne)
{
    const QStringList buttons{QStringLiteral("Save"), QStringLiteral("Cancel"), QStringLiteral("Don't Save")};
    presenter.answers = {cv::AlertButton::Default, cv::AlertButton::Alternate, cv::AlertButton::Other};
    EXPECT_EQ(cv::Alert::confirm3(QStringLiteral("T"), QStringLiteral("M"), buttons), 1);
    EXPECT_EQ(cv::Alert::confirm3(QStringLiteral("T"), QStringLiteral("M"), buttons), 0);
    EXPECT_EQ(cv::Alert::confirm3(QStringLiteral("T"), QStringLiteral("M"), buttons), -1);
    EXPECT_EQ(presenter.asked[0].otherButton, QStringLiteral("Don't Save"));

    // An "other" answer for a button that was never shown is not taken as one.
    presenter.answers = {cv::AlertButton::Other};
    EXPECT_EQ(cv::Alert::confirm3(QStringLiteral("T"), QStringLiteral("M"), buttons.mid(0, 2)), 0);
}

TEST_F(AlertTest, DiscardChangesAsksWithItsTexts)
{
    presenter.answers = {cv::AlertButton::Alternate};
    EXPECT_FALSE(cv::Alert::discardChanges());
    const cv::AlertRequest &r = presenter.asked.at(0);
    EXPECT_EQ(r.title, cv::localizedString(QStringLiteral("Content Changed")));
    EXPECT_EQ(r.message, cv::localizedString(QStringLiteral("Discard Changes ?")));
    EXPECT_EQ(r.defaultButton, cv::localizedString(QStringLiteral("Discard")));
    EXPECT_EQ(r.alternateButton, cv::localizedString(QStringLiteral("Cancel")));
    EXPECT_TRUE(cv::Alert::discardChanges());
}

TEST_F(AlertTest, InputNameAnswersOnlyAcceptableNames)
{
    presenter.names = {QStringLiteral("Bank"), std::nullopt, QString(), QStringLiteral("Old"), QStringLiteral("Old")};
    EXPECT_EQ(cv::Alert::inputName(QStringLiteral("Old"), QStringLiteral("Rename")), QStringLiteral("Bank"));
    EXPECT_EQ(presenter.nameTitle, QStringLiteral("Rename"));
    EXPECT_FALSE(presenter.nameMustChange);
    EXPECT_EQ(cv::Alert::inputName(QStringLiteral("Old"), QStringLiteral("Rename")), std::nullopt);
    EXPECT_EQ(cv::Alert::inputName(QStringLiteral("Old"), QStringLiteral("Rename")), std::nullopt);
    EXPECT_EQ(cv::Alert::inputName(QStringLiteral("Old"), QStringLiteral("Rename"), true), std::nullopt);
    EXPECT_TRUE(presenter.nameMustChange);
    EXPECT_EQ(cv::Alert::inputName(QStringLiteral("Old"), QStringLiteral("Rename"), false), QStringLiteral("Old"));
}

TEST_F(AlertTest, WithoutPresenterTheDefaultButtonAnswers)
{
    cv::setAlertPresenter(nullptr);
    cv::Alert::warn(QStringLiteral("logged only"));
    EXPECT_TRUE(cv::Alert::confirm(QStringLiteral("T"), QStringLiteral("M")));
    EXPECT_EQ(cv::Alert::confirm3(QStringLiteral("T"), QStringLiteral("M"),
                                  {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}),
              1);
    EXPECT_EQ(cv::Alert::inputName(QStringLiteral("Name"), QStringLiteral("T")), QStringLiteral("Name"));
    EXPECT_EQ(cv::Alert::inputName(QStringLiteral("Name"), QStringLiteral("T"), true), std::nullopt);
    EXPECT_EQ(cv::Alert::inputName(QString(), QStringLiteral("T")), std::nullopt);
    EXPECT_TRUE(presenter.asked.empty());
}
