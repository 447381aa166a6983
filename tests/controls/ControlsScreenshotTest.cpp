// Renders the chooser, the calendar, a ticked outline and an editing table to
// PNG files under the build tree (tests/screenshots/) for people to look at.

#include "ChooserTestSupport.h"
#include "ControlsTestSupport.h"
#include "support/Screenshots.h"
#include "controls/TickTree.h"
#include "controls/AccountChooserModel.h"
#include "controls/ChooserPopup.h"
#include "controls/CalendarPopup.h"
#include "controls/PopupFieldEditor.h"
#include "platform/widgets/ReportTextStyles.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// The window with the popups drawn over it where they stand on the screen.
QImage composite(QWidget &window, std::initializer_list<QWidget *> popups)
{
    QRect area = window.frameGeometry();
    for (QWidget *popup : popups) area |= popup->geometry();
    QImage image(area.size(), QImage::Format_ARGB32);
    image.fill(QColor(236, 236, 236));
    QPainter painter(&image);
    painter.drawPixmap(window.geometry().topLeft() - area.topLeft(), window.grab());
    for (QWidget *popup : popups) {
        painter.drawPixmap(popup->geometry().topLeft() - area.topLeft(), popup->grab());
        painter.setPen(QColor(120, 120, 120));
        painter.drawRect(QRect(popup->geometry().topLeft() - area.topLeft(), popup->size()).adjusted(0, 0, -1, -1));
    }
    return image;
}

void renameBook(cvtest::ChooserBook &book, bool japanese)
{
    if (!japanese) return;
    book.a->setName(QStringLiteral("財布"));
    book.f->setName(QStringLiteral("銀行"));
    book.b->setName(QStringLiteral("ひばり普通預金"));
    book.g->setName(QStringLiteral("証券"));
    book.c->setName(QStringLiteral("楽天カード"));
}

// The Japanese font for the shots; the language and font are restored after.
struct ScreenshotSettings {
    ScreenshotSettings()
    {
        QFont font(QStringLiteral("Noto Sans CJK JP"));
        font.setPixelSize(13);
        QApplication::setFont(font);
    }
    ~ScreenshotSettings()
    {
        cv::setLanguageOverride(QString());
        QApplication::setFont(m_previous);
        QTest::qWait(20);
    }
    const QFont m_previous = QApplication::font();
};

struct Texts {
    const char *language;
    QStringList headers;
    QStringList categories;
    QStringList memos;
    QString typed;
};

void renderTable(const Texts &t)
{
    cv::setLanguageOverride(QString::fromLatin1(t.language));
    cvtest::RecordingTableClient client(4, 5);
    client.kinds = {{0, cv::CellKind::Date}, {1, cv::CellKind::Chooser}};
    client.currencies[2] = {cvtest::kYen, 0};
    const QStringList amounts = {"1,280", "-3,500", "250,000", "-12", "980"};
    for (int r = 0; r < 5; ++r) {
        client.cells[size_t(r)][0] = QDate(2026, 12, 1 + r * 3).toString(QStringLiteral("yyyy/MM/dd"));
        client.cells[size_t(r)][1] = t.categories[r];
        client.cells[size_t(r)][3] = t.memos[r];
        const bool negative = amounts[r].startsWith(u'-');
        client.styled[{2, r}] = cv::StyledText{amounts[r], negative ? cv::negativeColor() : QColor(),
                                               Qt::AlignRight | Qt::AlignVCenter, negative};
    }
    auto table = std::make_unique<cv::EditingTable>();
    const int widths[] = {100, 130, 100, 220};
    for (int c = 0; c < 4; ++c) table->addColumn(std::make_unique<cv::TableColumn>(c, t.headers[c], widths[c]));
    table->setClient(&client);
    table->resize(570, 140);
    table->show();
    table->performClickAtColumn(3, 2, nullptr);
    cv::GetPopupFieldEditor()->end(false);
    QInputMethodEvent commit;
    commit.setCommitString(t.typed);
    QApplication::sendEvent(cv::GetPopupFieldEditor(), &commit);

    EXPECT_TRUE(cvtest::saveScreenshot(table->grab(), QString(),
                                       QStringLiteral("editing-table-%1").arg(QString::fromLatin1(t.language))));
}

} // namespace

TEST(ControlsScreenshotTest, ChooserCalendarAndOutlineAloneAndOverTableCellsInBothLanguages)
{
    const ScreenshotSettings settings;
    for (const char *lang : {"en", "ja"}) {
        const QString language = QLatin1String(lang);
        const bool japanese = language == QLatin1String("ja");
        cv::setLanguageOverride(language);
        cvtest::ChooserBook book;
        renameBook(book, japanese);
        cv::AccountChooserModel source;
        source.setDocument(&book.doc, 255);

        QWidget window;
        window.setGeometry(40, 40, 360, 220);
        auto *button = new QPushButton(cv::localizedString(QStringLiteral("Report-Type-Asset-Bank")), &window);
        button->setGeometry(20, 80, 140, 26);
        window.show();
        cv::ChooserPopup *popup = cv::ChooserPopup::get();
        popup->run(button, QRect(button->mapToGlobal(QPoint(0, 0)), button->size()), cv::ChooserPopup::Anchor::Button,
                   &source, source.objectWithIdentifier(book.b->ident()), nullptr);
        EXPECT_TRUE(cvtest::saveScreenshot(composite(window, {popup}), language, QStringLiteral("chooser")));
        popup->mustClose();

        cv::CalendarPopup *calendar = cv::CalendarPopup::get();
        calendar->closeCalendar();
        calendar->toggleRelativeToPoint(QPoint(60, 60), &window, QDate(2025, 1, 13));
        EXPECT_TRUE(cvtest::saveScreenshot(calendar->grab(), language, QStringLiteral("calendar")));
        calendar->closeCalendar();

        QWidget dialog;
        auto *layout = new QVBoxLayout(&dialog);
        auto *outline = new cv::TickTree(&dialog);
        layout->addWidget(outline);
        dialog.resize(420, 260);
        dialog.show();
        outline->setDocument(&book.doc, true);
        outline->toggleNode(*book.f);
        outline->toggleNode(*book.c);
        outline->resizeColumnToContents(0);
        outline->resizeColumnToContents(1);
        EXPECT_TRUE(cvtest::saveScreenshot(dialog.grab(), language, QStringLiteral("outline")));
        dialog.hide();

        cvtest::RecordingTableClient client(3, 6);
        client.kinds = {{0, cv::CellKind::Date}, {1, cv::CellKind::Chooser}};
        for (int r = 0; r < 6; ++r) {
            client.cells[size_t(r)][0] = QDate(2025, 1, 6 + r * 2).toString(QStringLiteral("yyyy/MM/dd"));
            client.cells[size_t(r)][1] = (r % 2 ? book.a : book.b)->name();
            client.cells[size_t(r)][2] =
                japanese ? QStringLiteral("メモ %1").arg(r + 1) : QStringLiteral("Memo %1").arg(r + 1);
        }
        QWidget tableWindow;
        auto *table = new cv::EditingTable(&tableWindow);
        const QStringList headers =
            japanese ? QStringList{"日付", "口座", "メモ"} : QStringList{"Date", "Account", "Memo"};
        const int widths[] = {100, 150, 160};
        for (int c = 0; c < 3; ++c) table->addColumn(std::make_unique<cv::TableColumn>(c, headers[c], widths[c]));
        table->setClient(&client);
        client.openChooser = [&](int column, int row, cv::PopupFieldEditor *) {
            cv::ChooserPopup::get()->runForCell(table, column, row, &source,
                                                source.objectWithIdentifier(book.b->ident()), nullptr);
        };
        table->setGeometry(0, 0, 440, 170);
        tableWindow.setGeometry(40, 40, 440, 170);
        tableWindow.show();

        table->performClickAtColumn(1, 2, nullptr);
        QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Down);
        EXPECT_TRUE(popup->isVisible());
        EXPECT_TRUE(cvtest::saveScreenshot(composite(tableWindow, {popup}), language, QStringLiteral("table-chooser")));
        popup->mustClose();
        table->forceEndFieldEditing(false);

        table->performClickAtColumn(0, 1, nullptr);
        QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Down);
        EXPECT_TRUE(calendar->isVisible());
        EXPECT_TRUE(
            cvtest::saveScreenshot(composite(tableWindow, {calendar}), language, QStringLiteral("table-calendar")));
        calendar->closeCalendar();
        table->forceEndFieldEditing(false);
    }
}

TEST(ControlsScreenshotTest, RendersDateAmountChooserAndMemoCellsInBothLanguages)
{
    renderTable({"ja",
                 {"日付", "分類", "金額", "メモ"},
                 {"食費", "給与", "住居費", "交通費", "日用品"},
                 {"スーパーで買い物", "立替金の返済", "12月分の家賃", "バス", "洗剤"},
                 QStringLiteral(" 追記")});
    renderTable({"en",
                 {"Date", "Category", "Amount", "Memo"},
                 {"Food", "Salary", "Housing", "Transport", "Household"},
                 {"Groceries at the market", "Paid back a loan", "December rent", "Bus", "Detergent"},
                 QStringLiteral(" more")});
    cv::setLanguageOverride(QStringLiteral("en"));
}
