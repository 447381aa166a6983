#include "controls/DateField.h"
#include "controls/DateReceiver.h"
#include "controls/DateTableTarget.h"
#include "controls/CalendarPopup.h"
#include "controls/PopupManager.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using cv::CalendarPopup;

namespace {

const QColor kRed(Qt::red);
const QColor kBlue(Qt::blue);
const QColor kBlack(Qt::black);

QColor greyed(const QColor &c)
{
    const QColor grey(Qt::lightGray);
    const auto mix = [](int a, int b) { return (a + 3 * b + 2) / 4; };
    return QColor(mix(c.red(), grey.red()), mix(c.green(), grey.green()), mix(c.blue(), grey.blue()));
}

class DateSink : public QWidget, public cv::DateReceiver {
public:
    void performInputDate(const QDate &date) override { dates.push_back(date); }
    std::vector<QDate> dates;
};

class DateTable : public QWidget, public cv::DateTableTarget {
public:
    void postDateToSelectedRow(const QDate &date) override { dates.push_back(date); }
    std::vector<QDate> dates;
};

class MiniCalendarTest : public ::testing::Test {
protected:
    void SetUp() override { cv::setLanguageOverride(QStringLiteral("en")); }
    void TearDown() override
    {
        calendar->closeCalendar();
        cv::setLanguageOverride(QString());
    }
    // Shows the month of the date with that day selected.
    void show(const QDate &date, QWidget *view = nullptr)
    {
        calendar->closeCalendar();
        calendar->toggleRelativeToPoint(QPoint(50, 50), view, date);
    }
    std::pair<int, int> cellOf(const QDate &date) const
    {
        for (int row = 0; row < calendar->rowCount(); ++row)
            for (int column = 0; column < 7; ++column)
                if (calendar->calcDateFromColumn(column, row).first == date) return {row, column};
        return {-1, -1};
    }
    QColor colorOf(const QDate &date) const
    {
        const auto [row, column] = cellOf(date);
        return calendar->cellColor(row, column);
    }

    CalendarPopup *calendar = CalendarPopup::get();
};

} // namespace

TEST_F(MiniCalendarTest, GridsHaveWholeWeeksAndGreyNeighbours)
{
    const struct {
        QDate date;
        int rows;
    } months[] = {{QDate(2025, 3, 10), 6}, {QDate(2026, 2, 10), 4}, {QDate(2025, 1, 10), 5}};
    for (const auto &m : months) {
        SCOPED_TRACE(m.date.toString(Qt::ISODate).toStdString());
        show(m.date);
        EXPECT_EQ(calendar->rowCount(), m.rows);
        EXPECT_EQ(calendar->grid()->rowCount(), m.rows);
    }
    show(QDate(2025, 3, 10));
    EXPECT_EQ(calendar->cellText(0, 0), QStringLiteral("23"));
    EXPECT_EQ(calendar->cellColor(0, 0), greyed(kRed));
    EXPECT_EQ(calendar->calcDateFromColumn(0, 0).first, QDate(2025, 2, 23));
    EXPECT_EQ(calendar->calcDateFromColumn(7, 5).first, QDate(2025, 4, 6));
}

TEST_F(MiniCalendarTest, DayColoursAndJapaneseInfo)
{
    show(QDate(2025, 1, 22));
    EXPECT_EQ(colorOf(QDate(2025, 1, 1)), kRed);  // New Year's Day
    EXPECT_EQ(colorOf(QDate(2025, 1, 5)), kRed);  // Sunday
    EXPECT_EQ(colorOf(QDate(2025, 1, 13)), kRed); // Coming of Age Day
    EXPECT_EQ(colorOf(QDate(2025, 1, 4)), kBlue);
    EXPECT_EQ(colorOf(QDate(2025, 1, 14)), kBlack);
    const auto [row, column] = cellOf(QDate(2025, 1, 22));
    EXPECT_TRUE(calendar->cellIsSelected(row, column));
    EXPECT_EQ(calendar->caption(), QStringLiteral("2025/01"));

    cv::setLanguageOverride(QStringLiteral("ja"));
    show(QDate(2025, 1, 13));
    EXPECT_EQ(calendar->caption(), QStringLiteral("2025年1月"));
    EXPECT_TRUE(calendar->info().startsWith(QStringLiteral("成人の日, "))) << calendar->info().toStdString();
}

// Steps by the year and month buttons (Y+ Y- M+ M-) and the arrow keys
// (R L U D) from a shown day, across the year's ends and short months.
TEST_F(MiniCalendarTest, YearLimitsMonthStepsArrowKeysAndEscape)
{
    // clang-format off
    const struct {
        QDate from;
        const char *steps;
        QDate selected;
        const char *caption;
    } cases[] = {
        {QDate(2100, 12, 31), "Y+", QDate(2100, 12, 31), "2100/12"},
        {QDate(2100, 12, 31), "Y+ M+", QDate(2101, 1, 31), "2101/01"},
        {QDate(1980, 3, 31), "Y-", QDate(1980, 3, 31), "1980/03"},
        {QDate(1980, 3, 31), "Y- M-", QDate(1980, 2, 29), "1980/02"}, // the day is cut to the month
        {QDate(2025, 3, 31), "M-", QDate(2025, 2, 28), "2025/02"},
        {QDate(2025, 1, 31), "R", QDate(2025, 2, 1), "2025/02"},
        {QDate(2025, 1, 31), "R L U", QDate(2025, 1, 24), "2025/01"},
        {QDate(2025, 12, 31), "R", QDate(2026, 1, 1), "2026/01"},
        {QDate(2025, 1, 1), "L", QDate(2024, 12, 31), "2024/12"},
        {QDate(2025, 12, 29), "D", QDate(2026, 1, 5), "2026/01"},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.from.toString(Qt::ISODate).toStdString() + " " + c.steps);
        show(c.from);
        for (const QString &step : QString::fromLatin1(c.steps).split(u' ')) {
            if (step == u"Y+") calendar->plusYear();
            if (step == u"Y-") calendar->minusYear();
            if (step == u"M+") calendar->plusMonth();
            if (step == u"M-") calendar->minusMonth();
            const QString keys = QStringLiteral("RLUD");
            const Qt::Key key[] = {Qt::Key_Right, Qt::Key_Left, Qt::Key_Up, Qt::Key_Down};
            if (step.size() == 1 && keys.contains(step)) QTest::keyClick(calendar, key[keys.indexOf(step)]);
        }
        EXPECT_EQ(calendar->selectedDate(), c.selected);
        EXPECT_EQ(calendar->caption(), QLatin1String(c.caption));
    }
    cv::setLanguageOverride(QStringLiteral("ja"));
    show(QDate(2025, 1, 24));
    QTest::keyClick(calendar, Qt::Key_Down);
    QTest::keyClick(calendar, Qt::Key_Down);
    EXPECT_EQ(calendar->caption(), QStringLiteral("2025年2月"));

    // A letter changes nothing; Escape closes the calendar whatever the modifiers.
    for (Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        show(QDate(2025, 1, 24));
        QTest::keyClick(calendar, Qt::Key_A);
        EXPECT_TRUE(calendar->isVisible());
        EXPECT_EQ(calendar->selectedDate(), QDate(2025, 1, 24));
        QTest::keyClick(calendar, Qt::Key_Escape, modifiers);
        EXPECT_FALSE(calendar->isVisible()) << modifiers;
    }
}

TEST_F(MiniCalendarTest, ClicksSelectThenPostAlongTheChain)
{
    DateSink sink;
    show(QDate(2025, 1, 22), &sink);
    // A grey day of February is selected without turning the page.
    const auto [row, column] = cellOf(QDate(2025, 2, 1));
    calendar->clicked(row, column);
    EXPECT_EQ(calendar->shownMonth(), 1);
    EXPECT_EQ(calendar->selectedDate(), QDate(2025, 2, 1));
    EXPECT_TRUE(sink.dates.empty());
    calendar->clicked(row, column);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(sink.dates, std::vector<QDate>{QDate(2025, 2, 1)});

    // A table takes the date through its selected row.
    DateTable table;
    show(QDate(2025, 1, 22), &table);
    QTest::keyClick(calendar, Qt::Key_Return);
    EXPECT_EQ(table.dates, std::vector<QDate>{QDate(2025, 1, 22)});

    // A view that takes no date hands it to its window.
    DateSink window;
    auto *inner = new QWidget(&window);
    show(QDate(2025, 1, 22), inner);
    calendar->todayPushed(true);
    EXPECT_EQ(window.dates, std::vector<QDate>{QDate::currentDate()});
}

TEST_F(MiniCalendarTest, AnOutsideCloseLetsTheSameAnchorReopen)
{
    calendar->closeCalendar();
    calendar->toggleRelativeToPoint(QPoint(40, 40), nullptr, QDate(2025, 1, 22));
    ASSERT_TRUE(calendar->isVisible());
    calendar->toggleRelativeToPoint(QPoint(40, 40), nullptr, QDate(2025, 1, 22));
    EXPECT_FALSE(calendar->isVisible());

    calendar->toggleRelativeToPoint(QPoint(40, 40), nullptr, QDate(2025, 1, 22));
    ASSERT_TRUE(calendar->isVisible());
    EXPECT_TRUE(cv::PopupManager::popupManager()->testOutsideClicks(nullptr, QPoint(780, 580)));
    EXPECT_FALSE(calendar->isVisible());
    calendar->toggleRelativeToPoint(QPoint(40, 40), nullptr, QDate(2025, 1, 22));
    EXPECT_TRUE(calendar->isVisible());
}

TEST_F(MiniCalendarTest, DateFieldAnswersNoDateRatherThanToday)
{
    cv::DateField field;
    // clang-format off
    const struct {
        const char *text;
        std::optional<QDate> date;
    } cases[] = {
        {"2025/03/15", QDate(2025, 3, 15)},
        {"2025/3/5", QDate(2025, 3, 5)},
        {"", std::nullopt},
        {"xyz", std::nullopt},
        {"1850/01/01", std::nullopt},
        {"2199/01/01", std::nullopt},
        {"3 days ago", QDate::currentDate().addDays(-3)},
        {"2週間後", QDate::currentDate().addDays(14)},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        field.setStringValue(QString::fromUtf8(c.text));
        EXPECT_EQ(field.date(), c.date);
    }

    QSignalSpy changed(&field, &cv::DateField::dateChanged);
    field.setStringValue(QStringLiteral("2025/03/15"));
    field.pushed();
    ASSERT_TRUE(calendar->isVisible());
    EXPECT_EQ(calendar->shownYear(), 2025);
    EXPECT_EQ(calendar->shownMonth(), 3);
    EXPECT_EQ(calendar->selectedDate(), QDate(2025, 3, 15));
    QTest::keyClick(calendar, Qt::Key_Right);
    QTest::keyClick(calendar, Qt::Key_Return);
    EXPECT_EQ(field.stringValue(), QStringLiteral("2025/03/16"));
    EXPECT_EQ(changed.count(), 2);

    field.setStringValue(QStringLiteral("xyz"));
    field.pushed();
    EXPECT_EQ(calendar->selectedDate(), QDate::currentDate());
    EXPECT_EQ(field.button()->width(), cv::DateField::kButtonWidth);

    // A field destroyed while it has the focus ends its edit without telling anyone.
    QWidget window;
    auto *focused = new cv::DateField(&window);
    QSignalSpy ended(focused, &cv::DateField::dateChanged);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    focused->textField()->setFocus();
    ASSERT_TRUE(focused->textField()->hasFocus());
    QTest::keyClicks(focused->textField(), QStringLiteral("2025/01/02"));
    delete focused;
    EXPECT_EQ(ended.count(), 0);
}
