#include "platform/SupportFolders.h"
#include "platform/QuietLog.h"
#include "platform/TrailingZeroes.h"
#include "platform/SharedLists.h"
#include "platform/ReportNumberFormat.h"
#include "platform/DateIntegers.h"
#include "platform/Localization.h"
#include "platform/ScriptedAlertPresenter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

namespace {

struct Dated {
    QDate when;
    QDate date() const { return when; }
};

struct FakeNode {
    int ident = 0;
    QString name;
    bool status = true;
    bool allStatus() const { return status; }
};

struct Number {
    int value;
    int compare(const Number &o) const { return value < o.value ? -1 : (value > o.value ? 1 : 0); }
};

std::vector<int> values(const std::vector<std::shared_ptr<Number>> &list)
{
    std::vector<int> out;
    for (const auto &n : list) out.push_back(n->value);
    return out;
}

std::vector<std::shared_ptr<Number>> numbers(std::initializer_list<int> vs)
{
    std::vector<std::shared_ptr<Number>> out;
    for (int v : vs) out.push_back(std::make_shared<Number>(Number{v}));
    return out;
}

struct Currency {
    int digits;
    int fraction() const { return digits; }
};

struct Formatter {
    QString format;
    void setFormat(const QString &f) { format = f; }
};

} // namespace

TEST(PlatformHelpers, ReportFormatFollowsTheCurrencysFractionDigits)
{
    Formatter f;
    const Currency yen{0}, dollar{2};
    cv::setReportFormat(&yen, f);
    EXPECT_EQ(f.format, cv::localizedString("Report-Format-Int"));
    cv::setReportFormat(&dollar, f);
    EXPECT_EQ(f.format, cv::localizedString("Report-Format-Fraction"));
    cv::setReportFormat(static_cast<const Currency *>(nullptr), f);
    EXPECT_EQ(f.format, cv::localizedString("Report-Format-Int"));
    EXPECT_NE(cv::localizedString("Report-Format-Int"), cv::localizedString("Report-Format-Fraction"));
}

TEST(PlatformHelpers, SupportPathNamesTheProgramOnceAndKnowsTheEarlierFolder)
{
    const QString folder = cv::SupportPath();
    EXPECT_EQ(folder,
              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Corvane"));
    EXPECT_FALSE(folder.startsWith(QLatin1Char('~')));
    EXPECT_EQ(cv::SupportPath(QStringLiteral("Work")), folder + QStringLiteral("/Work"));
    const QString earlier = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    EXPECT_EQ(cv::PreviousSupportPath(QStringLiteral("Work")),
              earlier == folder ? QString() : earlier + QStringLiteral("/Work"));
}

class CreateDirectory : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        cv::setLanguageOverride(QStringLiteral("en"));
    }
    void TearDown() override { cv::setLanguageOverride(QString()); }
    QString path(const QString &relative) const { return temp.path() + QLatin1Char('/') + relative; }
    void makeFile(const QString &relative)
    {
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QTemporaryDir temp;
    ScriptedAlertPresenter presenter;
};

TEST_F(CreateDirectory, MakesEveryMissingFolder)
{
    EXPECT_TRUE(cv::CreateDirectoryRecursivelyAtPath(path(QStringLiteral("a/b/c"))));
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("a/b/c"))).isDir());
    EXPECT_TRUE(cv::CreateDirectoryRecursivelyAtPath(path(QStringLiteral("a/b/c"))));
    EXPECT_TRUE(presenter.asked.empty());
}

TEST_F(CreateDirectory, ExpandsTheHomeFolder)
{
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", temp.path().toLocal8Bit());
    const bool made = cv::CreateDirectoryRecursivelyAtPath(QStringLiteral("~/x/y"));
    qputenv("HOME", oldHome);
    EXPECT_TRUE(made);
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("x/y"))).isDir());
}

TEST_F(CreateDirectory, AFileInTheWayIsAFailureWithAWarning)
{
    makeFile(QStringLiteral("f"));
    EXPECT_FALSE(cv::CreateDirectoryRecursivelyAtPath(path(QStringLiteral("f/sub"))));
    ASSERT_EQ(presenter.asked.size(), 1u);
    EXPECT_EQ(presenter.asked[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(presenter.asked[0].message,
              cv::localizedString(QStringLiteral("Directory creation failed (file with same name exists): ")) +
                  QDir::toNativeSeparators(path(QStringLiteral("f"))));

    // The folder itself taken by a file is no folder either.
    EXPECT_FALSE(cv::CreateDirectoryRecursivelyAtPath(path(QStringLiteral("f"))));
    EXPECT_EQ(presenter.asked.size(), 2u);
}

TEST_F(CreateDirectory, AFolderThatCannotBeMadeIsAFailureWithAWarning)
{
    // No file system takes a name this long, whoever runs the test.
    const QString tooLong = QStringLiteral("a/") + QString(300, QLatin1Char('x'));
    EXPECT_FALSE(cv::CreateDirectoryRecursivelyAtPath(path(tooLong + QStringLiteral("/b"))));
    ASSERT_EQ(presenter.asked.size(), 1u);
    EXPECT_EQ(presenter.asked[0].message, cv::localizedString(QStringLiteral("Directory creation failed: ")) +
                                              QDir::toNativeSeparators(path(tooLong)));
    EXPECT_FALSE(QFileInfo::exists(path(tooLong)));
}

TEST(PlatformHelpers, QuietLogWritesOneLineToStandardOutput)
{
    QTemporaryDir temp;
    const QString file = temp.path() + QStringLiteral("/out.txt");
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    std::FILE *redirect = std::fopen(QFile::encodeName(file).constData(), "w");
    ASSERT_NE(redirect, nullptr);
    ::dup2(::fileno(redirect), STDOUT_FILENO);
    cv::QuietLog(QStringLiteral("%@ has %d rows"), {QStringLiteral("帳簿"), 12});
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    std::fclose(redirect);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), QStringLiteral("帳簿 has 12 rows\n"));
}

TEST(PlatformHelpers, CompareByDateOrdersObjectsAndPointers)
{
    const Dated a{QDate(2020, 1, 2)}, b{QDate(2020, 1, 3)};
    EXPECT_EQ(cv::CompareByDate(a, b), -1);
    EXPECT_EQ(cv::CompareByDate(b, a), 1);
    EXPECT_EQ(cv::CompareByDate(a, a), 0);
    const auto pa = std::make_shared<Dated>(a), pb = std::make_shared<Dated>(b);
    EXPECT_EQ(cv::CompareByDate(pb, pa), 1);
}

TEST(PlatformHelpers, StringWithoutTrailingZeroes)
{
    EXPECT_EQ(cv::stringWithoutTrailingZeroes(QStringLiteral("1.500")), QStringLiteral("1.5"));
    EXPECT_EQ(cv::stringWithoutTrailingZeroes(QStringLiteral("2.00")), QStringLiteral("2"));
    EXPECT_EQ(cv::stringWithoutTrailingZeroes(QStringLiteral("1,234.5000")), QStringLiteral("1,234.5"));
    EXPECT_EQ(cv::stringWithoutTrailingZeroes(QStringLiteral("10.0")), QStringLiteral("10"));
    EXPECT_EQ(cv::stringWithoutTrailingZeroes(QStringLiteral("1.05")), QStringLiteral("1.05"));
    // Unchanged: no point, and two fraction digits not starting with 0.
    EXPECT_EQ(cv::stringWithoutTrailingZeroes(QStringLiteral("100")), QStringLiteral("100"));
    EXPECT_EQ(cv::stringWithoutTrailingZeroes(QStringLiteral("1.50")), QStringLiteral("1.50"));
}

TEST(PlatformHelpers, ObjectWithValueAndAndValues)
{
    std::vector<std::shared_ptr<FakeNode>> list{std::make_shared<FakeNode>(FakeNode{5, QStringLiteral("a")}),
                                                std::make_shared<FakeNode>(FakeNode{7, QStringLiteral("b")}),
                                                std::make_shared<FakeNode>(FakeNode{7, QStringLiteral("c")})};
    EXPECT_EQ(cv::objectWithValue(list, 7, &FakeNode::ident), list[1]);
    EXPECT_EQ(cv::objectWithValue(list, QStringLiteral("c"), &FakeNode::name), list[2]);
    EXPECT_EQ(cv::objectWithValue(list, 9, &FakeNode::ident), nullptr);

    EXPECT_TRUE(cv::andValuesForKey(std::vector<std::shared_ptr<FakeNode>>{}));
    EXPECT_TRUE(cv::andValuesForKey(list));
    list[2]->status = false;
    EXPECT_FALSE(cv::andValuesForKey(list));
}

TEST(PlatformHelpers, SortedInsert)
{
    auto list = numbers({1, 3, 7});
    cv::sortedInsert(list, std::make_shared<Number>(Number{5}));
    EXPECT_EQ(values(list), (std::vector<int>{1, 3, 5, 7}));

    list = numbers({1, 3, 7});
    cv::sortedInsert(list, std::make_shared<Number>(Number{9}));
    EXPECT_EQ(values(list), (std::vector<int>{1, 3, 7, 9}));

    // An equal element does not compare ascending: the new one goes after it.
    list = numbers({1, 3, 7});
    auto three = std::make_shared<Number>(Number{3});
    cv::sortedInsert(list, three);
    EXPECT_EQ(list[2], three);

    cv::sortedInsert(list, std::shared_ptr<Number>());
    EXPECT_EQ(list.size(), 4u);

    // A caller's own order: descending.
    list = numbers({7, 3, 1});
    cv::sortedInsert(list, std::make_shared<Number>(Number{5}),
                     [](const Number &a, const Number &b) { return b.compare(a); });
    EXPECT_EQ(values(list), (std::vector<int>{7, 5, 3, 1}));
}
