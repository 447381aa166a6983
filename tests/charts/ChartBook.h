#pragma once
// A small book for the chart and overview tests: accounts with opening
// balances and entries written through the document's write path.

#include "support/SampleBook.h"

#include "controls/TickTree.h"
#include "controls/DateField.h"

#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

// Types a date into the field and ends the edit, as the user does.
inline void typeDate(cv::DateField *field, const QString &text)
{
    field->textField()->setText(text);
    Q_EMIT field->textField()->editingFinished();
}

// A click on the node's tick in the outline.
inline void clickTick(cv::TickTree *outline, const cv::NodePtr &node)
{
    const QModelIndex index = outline->indexOfNode(node.get());
    ASSERT_TRUE(index.isValid());
    outline->scrollTo(index);
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, outline->visualRect(index).center());
}

struct ChartBook {
    std::unique_ptr<cv::Book> doc = std::make_unique<cv::Book>();
    int nextIdent = 2000;

    ChartBook()
    {
        doc->store()->create();
        doc->categoryTrees()->setDefault();
        doc->categoryTrees()->setSystemItems();
        doc->accountTrees()->setSystemItems();
        samplebook::currency(*doc, 1, QStringLiteral("JPY"), 1, 0);
    }

    // An account opened on 2000-01-01 with the balance; kinds 30-33 are assets, 40-42 debts.
    cv::NodePtr account(int kind, const QString &name, double opening = 0, cv::NodePtr parent = nullptr)
    {
        auto record = std::make_shared<cv::AccountDetail>();
        record->setDate(QDate(2000, 1, 1));
        record->setInitialValue(opening);
        if (!parent)
            parent =
                cv::isDebtAccountKind(cv::NodeKind(kind)) ? doc->accountTrees()->debt() : doc->accountTrees()->asset();
        return samplebook::node(parent, nextIdent++, kind, name, kind == cv::NodeKind::Group ? nullptr : record);
    }
    cv::NodePtr category(bool income, const QString &name, cv::NodePtr parent = nullptr, int kind = 21)
    {
        const cv::NodePtr root = income ? doc->categoryTrees()->income() : doc->categoryTrees()->expense();
        return samplebook::node(parent ? parent : root, nextIdent++, kind, name);
    }
    void expense(const QDate &date, double amount, const cv::NodePtr &category, const cv::NodePtr &account)
    {
        doc->updateExpense(samplebook::entry(cv::EntryKind::Expense, date, amount, category->ident(), account->ident()),
                           nullptr);
    }
    void income(const QDate &date, double amount, const cv::NodePtr &category, const cv::NodePtr &account)
    {
        doc->updateIncome(samplebook::entry(cv::EntryKind::Income, date, amount, category->ident(), account->ident()),
                          nullptr);
    }
    void transfer(const QDate &date, double amount, const cv::NodePtr &from, const cv::NodePtr &to)
    {
        auto move = samplebook::entry(cv::EntryKind::Transfer, date, amount, 0, from->ident(), to->ident());
        doc->fixupTransferCategory(*move);
        doc->updateTransfer(move, nullptr);
    }
    // Opening balances are read when the cache is built.
    void rebuild() { doc->createCache(); }
};
