// Renders an editing table in both languages to PNG files under the build
// tree (screenshots/), for people to look at; checks only that they exist.

#include "ControlsTestSupport.h"
#include "support/Screenshots.h"

#include "controls/PopupFieldEditor.h"
#include "platform/widgets/ReportTextStyles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

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

TEST(TableScreenshot, RendersDateAmountChooserAndMemoCellsInBothLanguages)
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

} // namespace
