// Renders a bank account's month with a transfer being chosen, in Japanese
// and English, to PNG files under the build tree (screenshots/{ja,en}/) for
// people to look at; checks only that they were written.
#include "PanelTestSupport.h"

#include "panels/entry/TransferFieldDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

class AccountBookScreenshot : public ::testing::TestWithParam<const char *> {};

TEST_P(AccountBookScreenshot, ShowsTheMonthWithTheTransferPopupOpen)
{
    const QString language = QString::fromLatin1(GetParam());
    cv::setLanguageOverride(language);
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 1, 15), 1000, kFood, kA);
    store(*doc, cv::EntryKind::Income, QDate(2009, 2, 1), 250000, kSalary, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 1), 3280, kFood, kA)->setMemo(QStringLiteral("x"));
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 3), 20000, 0, kA, kC);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 10), 1500, kFood, kA);
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 20), 100, 0, kU, kA);
    auto panel = openBook(*doc, kA, QDate(2009, 2, 1), QDate(2009, 2, 28));
    panel->move(40, 40);
    panel->resize(900, 300);
    QApplication::processEvents();
    const int row = panel->numberOfRows(panel->tableView()) - 1;
    chooseKind(*panel, row, kTransferRow);
    cv::TransferFieldDialog *popup = panel->transferFieldController();
    Q_EMIT popup->destinationButton()->activated(popup->destinationButton()->findData(kC));
    popup->accountField()->setText(QStringLiteral("12,000"));
    QApplication::processEvents();

    QPixmap book = panel->grab();
    const QPixmap over = popup->grab();
    const QPoint at = popup->frameGeometry().topLeft() - panel->mapToGlobal(QPoint(0, 0));
    QPixmap shot(QRect(QPoint(0, 0), book.size()).united(QRect(at, over.size())).size());
    shot.fill(Qt::white);
    QPainter painter(&shot);
    painter.drawPixmap(0, 0, book);
    painter.drawPixmap(at, over);
    painter.setPen(Qt::darkGray);
    painter.drawRect(QRect(at, over.size()).adjusted(0, 0, -1, -1));
    painter.end();

    EXPECT_TRUE(saveScreenshot(shot, language, QStringLiteral("account-book-transfer")));
    popup->cancel();
    doc->undoStack()->clear();
}

INSTANTIATE_TEST_SUITE_P(Languages, AccountBookScreenshot, ::testing::Values("ja", "en"));

} // namespace
