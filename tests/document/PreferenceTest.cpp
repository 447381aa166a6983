#include "document/Preference.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PreferenceTest : public ::testing::Test {
protected:
    QSettings &settings() { return *m_settings; }
    // Reads the same file back as a fresh run would.
    std::unique_ptr<QSettings> reopened() { return std::make_unique<QSettings>(path(), QSettings::IniFormat); }
    QString path() const { return m_dir.filePath(QStringLiteral("prefs.ini")); }

    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings = std::make_unique<QSettings>(path(), QSettings::IniFormat);
};

} // namespace

TEST_F(PreferenceTest, EmptySettingsGiveTheDefaultsAndSaveWritesThem)
{
    const cv::Preference prefs(settings());
    EXPECT_EQ(prefs.leftTopMargin(), QSizeF(18, 18));
    EXPECT_EQ(prefs.rightBottomMargin(), QSizeF(18, 18));
    EXPECT_TRUE(prefs.autoPriceUpdate());
    EXPECT_TRUE(prefs.showInitialPanel());
    EXPECT_EQ(prefs.backupCount(), 5);
    EXPECT_EQ(prefs.categoryColor(), QColor::fromRgbF(0.711085f, 0.805241f, 0.913725f));
    prefs.save(settings());

    const auto stored = reopened();
    EXPECT_EQ(stored->value("CVAutoPriceUpdate").toInt(), 0);
    EXPECT_EQ(stored->value("CVStartupOption").toInt(), 0);
    EXPECT_EQ(stored->value("CVBackupCount").toInt(), 5);
    EXPECT_EQ(stored->value("CVTaxFracProcess").toInt(), 0);
    EXPECT_EQ(stored->value("CVPaperMeasurement").toInt(), 0);
    for (const char *key : {"NSPrintLeftMargin", "NSPrintRightMargin", "NSPrintTopMargin", "NSPrintBottomMargin"})
        EXPECT_EQ(stored->value(key).toDouble(), 18.0) << key;
}

TEST_F(PreferenceTest, StoredValuesReadBackWithTheirOwnRules)
{
    settings().setValue("CVStartupOption", 1);
    settings().setValue("CVAutoPriceUpdate", 3);
    settings().setValue("CVPaperMeasurement", 1.7);
    settings().setValue("NSPrintTopMargin", 36.5);
    EXPECT_FALSE(cv::Preference(settings()).showInitialPanel());
    EXPECT_FALSE(cv::Preference(settings()).autoPriceUpdate());
    EXPECT_EQ(cv::Preference(settings()).paperMeasurement(), 1);
    EXPECT_EQ(cv::Preference(settings()).leftTopMargin(), QSizeF(18, 36.5));
    settings().setValue("CVStartupOption", 2);
    EXPECT_TRUE(cv::Preference(settings()).showInitialPanel());
    EXPECT_EQ(cv::Preference(settings()).backupCount(), 5);
    settings().setValue("CVBackupCount", 0);
    EXPECT_EQ(cv::Preference(settings()).backupCount(), 0);
}

TEST_F(PreferenceTest, ChangesSurviveASaveAndDamagedValuesKeepTheDefaults)
{
    cv::Preference prefs;
    prefs.setTitleColor(QColor::fromRgbF(0.25f, 0.5f, 0.75f, 1.0f));
    prefs.setShowInitialPanel(false);
    prefs.setAutoPriceUpdate(false);
    prefs.setRightBottomMargin(QSizeF(20, 30));
    prefs.setTaxFracProcess(2);
    prefs.save(settings());

    const cv::Preference back(*reopened());
    EXPECT_EQ(back.titleColor(), prefs.titleColor());
    EXPECT_FALSE(back.showInitialPanel());
    EXPECT_FALSE(back.autoPriceUpdate());
    EXPECT_EQ(back.rightBottomMargin(), QSizeF(20, 30));
    EXPECT_EQ(back.taxFracProcess(), 2);

    settings().setValue("CVFutureColor", QStringLiteral("not a colour"));
    settings().setValue("CVCategoryColor", QVariantList{1.0, 2.0, 0.0, 1.0});
    settings().setValue("CVBackupCount", QStringLiteral("many"));
    const cv::Preference damaged(settings());
    EXPECT_EQ(damaged.futureColor(), cv::Preference().futureColor());
    EXPECT_EQ(damaged.categoryColor(), cv::Preference().categoryColor());
    EXPECT_EQ(damaged.backupCount(), 5);
}
