#pragma once
// A document on a fresh working folder, and builders of accounts, categories
// and records for the document tests.

#include "document/Book.h"
#include "document/BookTestAccess.h"
#include "document/store/WorkingFolder.h"
#include "model/Entry.h"
#include "model/AccountDetail.h"
#include "model/OpeningHolding.h"
#include "model/DatedPrice.h"
#include "model/Trade.h"
#include "support/SampleBook.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        cv::work::setWorkFolder(tmp.filePath(QStringLiteral("Work")));
        doc = std::make_unique<cv::Book>();
        ASSERT_TRUE(doc->store()->create());
        doc->categoryTrees()->setDefault();
        doc->categoryTrees()->setSystemItems();
    }
    void TearDown() override
    {
        doc.reset();
        cv::work::setWorkFolder(QString());
    }

    static QDate day(int y, int m, int d) { return QDate(y, m, d); }

    cv::CurrencyPtr addCurrency(int ident, const QString &abbr, double rate, int fraction)
    {
        return samplebook::currency(*doc, ident, abbr, rate, fraction);
    }

    cv::NodePtr addAccount(const cv::NodePtr &parent, int ident, int kind, double initial, int currency = 1,
                           const QDate &start = QDate(2009, 1, 1))
    {
        auto node = std::make_shared<cv::Node>();
        node->setIdent(ident);
        node->setKind(cv::NodeKind(kind));
        node->setCurrency(currency);
        node->setName(QStringLiteral("A%1").arg(ident));
        auto detail = std::make_shared<cv::AccountDetail>();
        detail->setDate(start);
        detail->setInitialValue(initial);
        node->setExtra(detail);
        parent->appendChild(node);
        if (node->kind() == cv::NodeKind::Investment) {
            auto cash = std::make_shared<cv::Node>();
            cash->setKind(cv::NodeKind::CashPart);
            cash->setIdent(0);
            cash->setCurrency(currency);
            node->appendChild(cash);
        }
        return node;
    }

    cv::NodePtr addCategory(const cv::NodePtr &parent, int ident, int kind = 21)
    {
        auto node = std::make_shared<cv::Node>();
        node->setIdent(ident);
        node->setKind(cv::NodeKind(kind));
        node->setName(QStringLiteral("C%1").arg(ident));
        parent->appendChild(node);
        return node;
    }

    cv::SecurityPtr addSecurity(const QString &name, int currency)
    {
        auto b = std::make_shared<cv::Security>();
        b->setName(name);
        b->setCurrency(currency);
        doc->addSecurity(b);
        return b;
    }

    static cv::EntryPtr makeEntry(cv::EntryKind kind, const QDate &date, double amount, int category, int account,
                                  int destination = 0)
    {
        return samplebook::entry(kind, date, amount, category, account, destination);
    }
    static cv::EntryPtr makeEntry(int kind, const QDate &date, double amount, int category, int account,
                                  int destination = 0)
    {
        return samplebook::entry(kind, date, amount, category, account, destination);
    }

    cv::EntryPtr transfer(const QDate &date, double amount, int from, int to, double converted = 0)
    {
        auto e = makeEntry(cv::EntryKind::Transfer, date, amount, 0, from, to);
        e->setConverted(converted);
        doc->fixupTransferCategory(*e);
        doc->updateTransfer(e, nullptr);
        return e;
    }

    static cv::TradePtr makeTrade(cv::TradeKind kind, const QDate &date, int account, int security, double count,
                                  double price, double commission = 0)
    {
        auto t = std::make_shared<cv::Trade>();
        t->setKind(kind);
        t->setDate(date);
        t->setAccount(account);
        t->setSecurity(security);
        t->setCount(count);
        t->setUnitPrice(price);
        t->setCommission(commission);
        t->setFlags(cv::EditNew);
        return t;
    }
    static cv::TradePtr makeTrade(int kind, const QDate &date, int account, int security, double count, double price,
                                  double commission = 0)
    {
        return makeTrade(cv::TradeKind(kind), date, account, security, count, price, commission);
    }

    QTemporaryDir tmp;
    std::unique_ptr<cv::Book> doc;
};
