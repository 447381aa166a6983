#pragma once
// A small yen book for the entry panels: bank account A (opening 10,000 on
// 2009-01-01), credit card C, a dollar account U, a loan L, one income and
// one expense category; and helpers that type into a panel's table as a
// user does.

#include "support/SampleBook.h"
#include "support/EntryPage.h"
#include "support/Screenshots.h"

#include <gtest/gtest.h>

#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/PopupFieldEditor.h"
#include "panels/entry/AccountBookPanel.h"
#include "panels/entry/IncomeExpensePanel.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QUndoStack>

#include <memory>

namespace paneltest {

inline constexpr int kA = 1001;
inline constexpr int kC = 1002;
inline constexpr int kU = 1003;
inline constexpr int kL = 1004;
inline constexpr int kFood = 2001;
inline constexpr int kSalary = 2002;
inline constexpr int kMiscExpense = 30;
inline constexpr int kTransferRow = 1;

inline std::unique_ptr<cv::Book> makeBook()
{
    using namespace samplebook;
    auto doc = makeYenBook();
    if (!doc) return nullptr;
    currency(*doc, 2, QStringLiteral("USD"), 100, 2)->setPrefix(QStringLiteral("$"));
    const auto &accounts = *doc->accountTrees();
    auto bank = std::make_shared<cv::BankDetail>();
    bank->setDate(QDate(2009, 1, 1));
    bank->setInitialValue(10000);
    node(accounts.asset(), kA, 31, QStringLiteral("A"), bank);
    auto card = std::make_shared<cv::CardDetail>();
    card->setDate(QDate(2009, 1, 1));
    node(accounts.debt(), kC, 40, QStringLiteral("C"), card);
    auto dollars = std::make_shared<cv::BankDetail>();
    dollars->setDate(QDate(2009, 1, 1));
    node(accounts.asset(), kU, 31, QStringLiteral("U"), dollars)->setCurrency(2);
    auto loan = std::make_shared<cv::LoanTerms>();
    loan->setDate(QDate(2009, 1, 1));
    node(accounts.debt(), kL, 41, QStringLiteral("L"), loan);
    node(doc->categoryTrees()->expense(), kFood, 21, QStringLiteral("Food"));
    node(doc->categoryTrees()->income(), kSalary, 21, QStringLiteral("Salary"));
    doc->createCache();
    return doc;
}

// The book above (or the subclass's own) in English; choosers closed and
// the panels' undo steps dropped after each test.
class BookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cv::setLanguageOverride(QStringLiteral("en"));
        doc = makeDocument();
        ASSERT_TRUE(doc);
    }
    void TearDown() override
    {
        cv::ChooserPopup::get()->mustClose();
        doc->undoStack()->clear();
    }
    virtual std::unique_ptr<cv::Book> makeDocument() { return makeBook(); }
    std::unique_ptr<cv::Book> doc;
};

using samplebook::store;

inline std::unique_ptr<cv::AccountBookPanel> openBook(cv::Book &doc, int account, const QDate &from, const QDate &to)
{
    auto panel = std::make_unique<cv::AccountBookPanel>(&doc, doc.findAccount(account), from, to);
    panel->resize(900, 360);
    panel->show();
    QApplication::processEvents(); // the deferred edit of the new row
    return panel;
}

inline std::unique_ptr<cv::IncomeExpensePanel> openCategory(cv::Book &doc, int expense, const QDate &from,
                                                            const QDate &to)
{
    auto panel = std::make_unique<cv::IncomeExpensePanel>(&doc, doc.findExpense(expense), from, to);
    panel->resize(900, 300);
    panel->show();
    QApplication::processEvents();
    return panel;
}

using cvtest::page::cellText;

// Types into a cell as a user does: edit, keys, end the edit.
inline void type(cv::RowPanel &panel, int cid, int row, const QString &keys)
{
    cvtest::page::Entries(&panel).type(cid, row, keys);
}

// Types into a sheet's field as a user does: the text, then the edit the sheet listens to.
inline void type(QLineEdit *field, const QString &text)
{
    field->setText(text);
    Q_EMIT field->textEdited(text);
}

// Picks a category (or the transfer row) in the kind chooser of the row.
inline void chooseKind(cv::AccountBookPanel &panel, int row, int ident, bool income = false)
{
    cv::Book &doc = *panel.doc();
    cv::NodePtr node;
    if (ident == kTransferRow) {
        node = std::make_shared<cv::Node>();
        node->setIdent(kTransferRow);
        node->setKind(cv::NodeKind::SystemItem);
    } else {
        node = income ? doc.findIncome(ident) : doc.findExpense(ident);
    }
    EXPECT_TRUE(cvtest::page::Entries(&panel).choose(cv::AccountBookPanel::KindColumn, row, node)) << ident;
}

using cvtest::saveScreenshot;

} // namespace paneltest
