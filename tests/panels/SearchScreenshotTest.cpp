// Renders the income and expense panel with the repeated entry dialog open
// and the search page with results, in Japanese and English, to PNG files
// under the build tree (screenshots/{ja,en}/) for people to look at.
#include "PanelTestSupport.h"

#include "controls/DateField.h"
#include "panels/entry/IncomeExpensePanel.h"
#include "panels/search/SearchPagePanel.h"
#include "panels/search/SearchResultsPanel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

void fill(cv::Book &doc)
{
    auto put = [&](cv::EntryKind kind, const QDate &date, double amount, int category, int account, const char *memo,
                   int destination = 0) {
        auto e = samplebook::entry(kind, date, amount, category, account, destination);
        e->setMemo(QString::fromUtf8(memo));
        if (kind == cv::EntryKind::Transfer) doc.fixupTransferCategory(*e);
        if (kind == cv::EntryKind::Income) doc.updateIncome(e, nullptr);
        if (kind == cv::EntryKind::Expense) doc.updateExpense(e, nullptr);
        if (kind == cv::EntryKind::Transfer) doc.updateTransfer(e, nullptr);
    };
    put(cv::EntryKind::Expense, QDate(2009, 2, 3), 3280, kFood, kA, "スーパー 食料品");
    put(cv::EntryKind::Expense, QDate(2009, 2, 10), 1500, kFood, 10, "lunch");
    put(cv::EntryKind::Expense, QDate(2009, 2, 14), 12.5, kFood, kU, "coffee beans");
    put(cv::EntryKind::Income, QDate(2009, 2, 25), 250000, kSalary, kA, "給与");
    put(cv::EntryKind::Transfer, QDate(2009, 2, 27), 20000, 0, kA, "card", kC);
}

class SearchScreenshot : public ::testing::TestWithParam<const char *> {};

TEST_P(SearchScreenshot, TheIncomeAndExpensePanelWithTheRepeatedEntryDialog)
{
    const QString language = QString::fromLatin1(GetParam());
    cv::setLanguageOverride(language);
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    fill(*doc);
    cv::IncomeExpensePanel panel(doc.get(), doc->findExpense(kFood), QDate(2009, 2, 1), QDate(2009, 2, 28));
    panel.move(40, 40);
    panel.resize(900, 300);
    panel.show();
    QApplication::processEvents();
    panel.macroInputPushed();
    cv::RepeatedEntryDialog *dialog = panel.macroDialog();
    ASSERT_TRUE(dialog);
    dialog->dateField()->setDate(QDate(2009, 2, 1));
    dialog->valueField()->setText(QStringLiteral("8,000"));
    dialog->countField()->setValue(6);
    dialog->memoField()->setText(QStringLiteral("rent"));
    dialog->adjustSize();
    dialog->move(panel.mapToGlobal(QPoint(420, 60)));
    QApplication::processEvents();

    const QPixmap book = panel.grab();
    const QPixmap over = dialog->grab();
    const QPoint at = dialog->frameGeometry().topLeft() - panel.mapToGlobal(QPoint(0, 0));
    QPixmap shot(QRect(QPoint(0, 0), book.size()).united(QRect(at, over.size())).size());
    shot.fill(Qt::white);
    QPainter painter(&shot);
    painter.drawPixmap(0, 0, book);
    painter.drawPixmap(at, over);
    painter.setPen(Qt::darkGray);
    painter.drawRect(QRect(at, over.size()).adjusted(0, 0, -1, -1));
    painter.end();
    EXPECT_TRUE(saveScreenshot(shot, language, QStringLiteral("income-expense-repeated-entry")));
    dialog->cancelPushed();
    doc->undoStack()->clear();
}

TEST_P(SearchScreenshot, TheSearchPageWithResults)
{
    const QString language = QString::fromLatin1(GetParam());
    cv::setLanguageOverride(language);
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    fill(*doc);
    cv::SearchPagePanel page(doc.get());
    page.resize(1000, 260);
    page.show();
    page.execSearchForAccount({doc->findAccount(kA), doc->findAccount(10), doc->findAccount(kU)}, QDate(2009, 2, 1),
                              QDate(2009, 2, 28));
    QApplication::processEvents();
    EXPECT_TRUE(saveScreenshot(page.grab(), language, QStringLiteral("search-results")));
}

INSTANTIATE_TEST_SUITE_P(Languages, SearchScreenshot, ::testing::Values("ja", "en"));

} // namespace
