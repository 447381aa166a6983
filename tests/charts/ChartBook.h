#pragma once
// A small book for the chart and overview tests: accounts with opening
// balances and entries written through the document's write path.

#include "support/SampleBook.h"

#include "controls/AccountActualOutlineView.h"
#include "controls/DateField.h"

#include "model/CV4AccountModel.h"
#include "model/CV4ActualModel.h"

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
inline void clickTick(cv::AccountActualOutlineView *outline, const CVUnitModelPtr &node)
{
    const QModelIndex index = outline->indexOfNode(node.get());
    ASSERT_TRUE(index.isValid());
    outline->scrollTo(index);
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, outline->visualRect(index).center());
}

struct ChartBook {
    std::unique_ptr<CV4Document> doc = std::make_unique<CV4Document>();
    int nextIdent = 2000;

    ChartBook()
    {
        doc->dataModel()->create();
        doc->actualModel()->setDefault();
        doc->actualModel()->setSystemItems();
        doc->accountModel()->setSystemItems();
        samplebook::currency(*doc, 1, QStringLiteral("JPY"), 1, 0);
    }

    // An account opened on 2000-01-01 with the balance; kinds 30-33 are assets, 40-42 debts.
    CVUnitModelPtr account(int kind, const QString &name, double opening = 0, CVUnitModelPtr parent = nullptr)
    {
        auto record = std::make_shared<CV4AssetModel>();
        record->setDate(QDate(2000, 1, 1));
        record->setInitialValue(opening);
        if (!parent)
            parent = cv::isDebtAccountKind(cv::NodeKind(kind)) ? doc->accountModel()->debt() : doc->accountModel()->asset();
        return samplebook::node(parent, nextIdent++, kind, name, kind == cv::NodeKind::Group ? nullptr : record);
    }
    CVUnitModelPtr category(bool income, const QString &name, CVUnitModelPtr parent = nullptr, int kind = 21)
    {
        const CVUnitModelPtr root = income ? doc->actualModel()->income() : doc->actualModel()->expense();
        return samplebook::node(parent ? parent : root, nextIdent++, kind, name);
    }
    void expense(const QDate &date, double amount, const CVUnitModelPtr &category, const CVUnitModelPtr &account)
    {
        doc->updateExpense(samplebook::entry(cv::EntryKind::Expense, date, amount, category->ident(), account->ident()),
                           nullptr);
    }
    void income(const QDate &date, double amount, const CVUnitModelPtr &category, const CVUnitModelPtr &account)
    {
        doc->updateIncome(samplebook::entry(cv::EntryKind::Income, date, amount, category->ident(), account->ident()),
                          nullptr);
    }
    void transfer(const QDate &date, double amount, const CVUnitModelPtr &from, const CVUnitModelPtr &to)
    {
        auto move = samplebook::entry(cv::EntryKind::Transfer, date, amount, 0, from->ident(), to->ident());
        doc->fixupTransferCategory(*move);
        doc->updateTransfer(move, nullptr);
    }
    // Opening balances are read when the cache is built.
    void rebuild() { doc->createCache(); }
};
