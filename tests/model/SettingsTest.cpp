#include "model/Settings.h"

#include "RecordArchiveSupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QPasswordDigestor>

using recordtest::archive;
using recordtest::raw;
using recordtest::rootFields;
using recordtest::unarchive;

namespace {

QDate d(int y, int m, int day)
{
    return QDate(y, m, day);
}

std::shared_ptr<cv::Settings> fiscal(int fmy, int fdm, int fwd)
{
    auto s = std::make_shared<cv::Settings>();
    s->setFiscalMonthOfYear(fmy);
    s->setFiscalDayOfMonth(fdm);
    s->setFiscalWeekday(fwd);
    return s;
}

} // namespace

TEST(Settings, FreshArchiveHoldsExactlyTheNonZeroDefaults)
{
    const auto fields = rootFields(archive(std::make_shared<cv::Settings>()));
    // clang-format off
    const QVariantMap expected{
        {"revision", qint64(512)}, {"viewerFontSize", qint64(4)}, {"viewerSummary", qint64(1)},
        {"viewerUnit", qint64(1)}, {"budgetUnit", qint64(2)},     {"transDefaultCurrency", qint64(1)},
        {"displayStockPrice", QVariant(true)},
    };
    // clang-format on
    EXPECT_EQ(fields, expected);
}

TEST(Settings, DecodingStartsFromZeroNotFromDefaults)
{
    // An archive with only a revision: every other field reads 0, and the font
    // size getter falls back to 3.
    auto s = unarchive<cv::Settings>(archive(raw("CV4Settings")->set("revision", 512)));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->viewerUnit(), 0);
    EXPECT_EQ(s->budgetUnit(), 0);
    EXPECT_EQ(s->viewerSummary(), 0);
    EXPECT_FALSE(s->displayStockPrice());
    EXPECT_EQ(s->viewerFontSize(), 3);
    EXPECT_FALSE(s->hasPassword());
    EXPECT_FALSE(s->changed());

    auto fresh = std::make_shared<cv::Settings>();
    fresh->setViewerFontSize(0);
    EXPECT_EQ(fresh->viewerFontSize(), 3);
    EXPECT_EQ(rootFields(archive(fresh)).count("viewerFontSize"), 0);
}

TEST(Settings, StoredKeysRoundTrip)
{
    // The key names are what older documents hold; each non-zero field writes its own.
    auto s = std::make_shared<cv::Settings>();
    int v = 10;
    for (auto setter : {&cv::Settings::setViewerCellWidth, &cv::Settings::setBudgetCellWidth,
                        &cv::Settings::setFiscalMonthOfYear, &cv::Settings::setFiscalDayOfMonth,
                        &cv::Settings::setFiscalWeekday, &cv::Settings::setSplitHeight, &cv::Settings::setSplitWidth,
                        &cv::Settings::setSplitX, &cv::Settings::setSplitY, &cv::Settings::setWindowHeight,
                        &cv::Settings::setWindowWidth, &cv::Settings::setWindowX, &cv::Settings::setWindowY})
        (s.get()->*setter)(v++);
    s->setViewerUnit(0);
    s->setDisplayStockPrice(false);
    s->setExtraSecurities(cv::ArchiveValue(cv::ArchiveArray{cv::ArchiveValue(1), cv::ArchiveValue("x")}));
    const QByteArray data = archive(s);
    EXPECT_FALSE(s->changed()) << "writing the archive clears the flag";
    // clang-format off
    const QStringList expected{"EXTRABRANDS", "FDM",         "FMY",        "FWD",    "SPLITHEIGHT",
                                        "SPLITWIDTH", "SPLITX",  "SPLITY",          "WINDOWHEIGHT", "WINDOWWIDTH",
                                        "WINDOWX",    "WINDOWY", "budgetCellWidth", "budgetUnit",   "revision",
                                        "transDefaultCurrency", "viewerCellWidth", "viewerFontSize", "viewerSummary"};
    // clang-format on
    EXPECT_EQ(rootFields(data).keys(), expected);

    auto back = unarchive<cv::Settings>(data);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->viewerCellWidth(), 10);
    EXPECT_EQ(back->fiscalDayOfMonth(), 13);
    EXPECT_EQ(back->windowY(), 22);
    EXPECT_EQ(back->viewerUnit(), 0);
    EXPECT_FALSE(back->displayStockPrice());
    EXPECT_EQ(back->extraSecurities(), s->extraSecurities());
    EXPECT_FALSE(back->changed());
}

TEST(Settings, ChangedFlagFollowsEachSettersRule)
{
    cv::Settings s;
    EXPECT_FALSE(s.changed());
    s.setWindowWidth(s.windowWidth());
    s.setViewerFontSize(4);
    s.setDisplayStockPrice(true);
    s.setSplitX(0);
    EXPECT_FALSE(s.changed()) << "geometry and display setters mark only real changes";
    s.setWindowWidth(640);
    EXPECT_TRUE(s.changed());

    s.clearChanged();
    s.setViewerUnit(s.viewerUnit());
    EXPECT_TRUE(s.changed()) << "the viewer unit marks the settings even when unchanged";
    s.clearChanged();
    s.setFiscalDayOfMonth(s.fiscalDayOfMonth());
    EXPECT_TRUE(s.changed());

    s.clearChanged();
    s.setRevision(7);
    s.setExtraInvests(cv::ArchiveValue(cv::ArchiveArray{}));
    EXPECT_FALSE(s.changed());
}

TEST(Settings, FiscalPeriodStarts)
{
    // Week starting Monday: Sunday 7 June 2009 belongs to the week of 1 June.
    EXPECT_EQ(fiscal(0, 0, 1)->fiscalDate(d(2009, 6, 7), 1), d(2009, 6, 1));
    EXPECT_EQ(fiscal(0, 0, 0)->fiscalDate(d(2009, 6, 7), 1), d(2009, 6, 7));

    // Fiscal month from the 25th.
    const auto m = fiscal(0, 24, 0);
    EXPECT_EQ(m->fiscalDate(d(2009, 5, 10), 2), d(2009, 4, 25));
    EXPECT_EQ(m->fiscalDate(d(2009, 5, 25), 2), d(2009, 5, 25));
    EXPECT_EQ(m->fiscalDate(d(2009, 1, 3), 2), d(2008, 12, 25));

    // Fiscal year from April.
    const auto april = fiscal(3, 0, 0);
    EXPECT_EQ(april->fiscalDate(d(2009, 2, 15), 3), d(2009, 1, 1));
    EXPECT_EQ(april->fiscalDate(d(2009, 2, 15), 4), d(2008, 10, 1));
    EXPECT_EQ(april->fiscalDate(d(2009, 2, 15), 5), d(2008, 4, 1));
    EXPECT_EQ(april->fiscalDate(d(2009, 4, 1), 5), d(2009, 4, 1));
    EXPECT_EQ(april->fiscalYear(d(2009, 2, 15)), 2008);

    // Calendar periods; the month move from 31 May clamps to 30 April.
    const auto plain = fiscal(0, 0, 0);
    EXPECT_EQ(plain->fiscalDate(d(2009, 5, 31), 2), d(2009, 5, 1));
    EXPECT_EQ(plain->fiscalDate(d(2009, 5, 31), 3), d(2009, 4, 1));
    EXPECT_EQ(plain->fiscalDate(d(2009, 5, 31), 4), d(2009, 1, 1));
    EXPECT_EQ(plain->fiscalDate(d(2009, 8, 31), 4), d(2009, 7, 1));
    EXPECT_EQ(plain->fiscalDate(d(2009, 12, 31), 5), d(2009, 1, 1));

    // Day and unknown codes answer the date itself.
    EXPECT_EQ(plain->fiscalDate(d(2009, 5, 31), 0), d(2009, 5, 31));
    EXPECT_EQ(plain->fiscalDate(d(2009, 5, 31), 9), d(2009, 5, 31));
}

TEST(Settings, QuarterAndYearFollowTheFiscalMonthWhenItStartsLate)
{
    // 10 April 2009 lies in the fiscal month of 25 March, so in the fiscal
    // year that began on 25 April 2008, never in one that begins after it.
    const auto s = fiscal(3, 24, 0);
    EXPECT_EQ(s->fiscalDate(d(2009, 4, 10), 5), d(2008, 4, 25));
    EXPECT_EQ(s->fiscalDate(d(2009, 4, 25), 5), d(2009, 4, 25));
    EXPECT_EQ(s->fiscalDate(d(2009, 4, 10), 3), d(2009, 1, 25));
    EXPECT_EQ(s->fiscalDate(d(2009, 4, 10), 4), d(2008, 10, 25));
    // Every answer starts a period that holds the date, also with fields
    // no settings sheet offers (a damaged archive).
    // A damaged book's first day is read within the days every month has.
    for (const auto &[stored, read] : {std::pair{40, 27}, {-3, 0}, {24, 24}}) {
        auto r = unarchive<cv::Settings>(archive(raw("CV4Settings")->set("FDM", stored)));
        ASSERT_TRUE(r);
        EXPECT_EQ(r->fiscalDayOfMonth(), read) << stored;
    }
    for (const auto &f : {s, fiscal(-7, 40, 12)})
        for (int mode = 1; mode <= 5; ++mode)
            for (QDate day = d(2008, 1, 1); day <= d(2010, 12, 31); day = day.addDays(1))
                ASSERT_LE(f->fiscalDate(day, mode), day) << mode << " " << day.toString().toStdString();
}

TEST(Settings, PasswordIsKeptOnlyAsAVerifier)
{
    auto s = std::make_shared<cv::Settings>();
    const QString password = QStringLiteral("kakeibo-2009");
    s->setPassword(password);
    EXPECT_TRUE(s->hasPassword());
    EXPECT_FALSE(s->changed());

    const QByteArray data = archive(s);
    EXPECT_FALSE(data.contains(password.toUtf8()));
    EXPECT_FALSE(data.contains(QByteArray(reinterpret_cast<const char *>(password.utf16()), password.size() * 2)));
    const auto fields = rootFields(data);
    EXPECT_EQ(fields.count("passwd"), 0);
    EXPECT_EQ(fields.count("passwdVerifier"), 1);

    auto back = unarchive<cv::Settings>(data);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->hasPassword());
    EXPECT_TRUE(back->verifyPassword(password));
    EXPECT_FALSE(back->verifyPassword(QStringLiteral("kakeibo-2008")));
    EXPECT_FALSE(back->verifyPassword(QString()));

    // Two verifiers of one password differ by their salt.
    auto other = std::make_shared<cv::Settings>();
    other->setPassword(password);
    EXPECT_NE(rootFields(archive(other))["passwdVerifier"], fields.value("passwdVerifier"));

    // An empty password removes the protection and writes neither key.
    back->setPassword(QString());
    EXPECT_FALSE(back->hasPassword());
    EXPECT_TRUE(back->verifyPassword(QString()));
    EXPECT_FALSE(back->verifyPassword(QStringLiteral("x")));
    const auto cleared = rootFields(archive(back));
    EXPECT_EQ(cleared.count("passwd") + cleared.count("passwdVerifier"), 0);
}

TEST(Settings, LegacyPlainPasswordIsReplacedByAVerifier)
{
    const QString password = QStringLiteral("旧パスワード");
    auto s = unarchive<cv::Settings>(archive(
        raw("CV4Settings")->set("revision", 512)->set("passwd", cv::ArchiveValue(password))->set("viewerUnit", 2)));
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->hasPassword());
    EXPECT_TRUE(s->verifyPassword(password));
    EXPECT_FALSE(s->verifyPassword(QStringLiteral("旧")));
    EXPECT_EQ(s->viewerUnit(), 2);

    const QByteArray again = archive(s);
    EXPECT_FALSE(again.contains(password.toUtf8()));
    EXPECT_FALSE(again.contains(QByteArray(reinterpret_cast<const char *>(password.utf16()), password.size() * 2)));
    EXPECT_EQ(rootFields(again).count("passwd"), 0);
    auto back = unarchive<cv::Settings>(again);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->verifyPassword(password));

    // An empty legacy password is no password.
    auto none = unarchive<cv::Settings>(archive(raw("CV4Settings")->set("passwd", cv::ArchiveValue(""))));
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->hasPassword());
}

TEST(Settings, OnlyASoundVerifierWithEnoughIterationsOpens)
{
    // A verifier as a hostile or damaged book may hold it: the right key for
    // "pw" derived with the given iterations.
    const QByteArray salt(16, 's');
    const auto made = [&salt](int iterations) {
        const QByteArray key =
            QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, "pw", salt, iterations, 32);
        return QStringLiteral("pbkdf2-sha256$%1$%2$%3")
            .arg(iterations)
            .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(key.toBase64()));
    };
    const struct {
        QString verifier;
        bool opens;
    } cases[] = {
        {made(cv::Settings::kPasswordIterations), true},
        {made(1000), false},                                     // right key, too cheap to guess against
        {made(cv::Settings::kMaxPasswordIterations + 1), false}, // right key, each try would stall
        // Refused before any derivation: two billion rounds would hang the open.
        {QStringLiteral("pbkdf2-sha256$2000000000$AAAAAAAAAAAAAAAAAAAAAA==$AAAA"), false},
        {QStringLiteral("garbage"), false},
        {QStringLiteral("pbkdf2-sha256$100000$$"), false},
    };
    for (const auto &c : cases) {
        auto s =
            unarchive<cv::Settings>(archive(raw("CV4Settings")->set("passwdVerifier", cv::ArchiveValue(c.verifier))));
        ASSERT_TRUE(s) << c.verifier.toStdString();
        EXPECT_TRUE(s->hasPassword());
        EXPECT_EQ(s->verifyPassword(QStringLiteral("pw")), c.opens) << c.verifier.toStdString();
        EXPECT_FALSE(s->verifyPassword(QString())) << c.verifier.toStdString();
    }
    // A password of the wrong type makes the settings unreadable.
    EXPECT_FALSE(unarchive<cv::Settings>(archive(raw("CV4Settings")->set("passwd", 5))));
}
