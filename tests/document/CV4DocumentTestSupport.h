#pragma once
// A document on a fresh working folder, and builders of accounts, categories
// and records for the document tests.

#include "document/CV4Document.h"
#include "CV4DocumentTestAccess.h"
#include "document/WorkingFolder.h"
#include "model/CV4Actual.h"
#include "model/CV4AssetModel.h"
#include "model/CV4InvestUnit.h"
#include "model/CV4PriceTime.h"
#include "model/CV4Trade.h"
#include "support/SampleBook.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        cv::work::setWorkFolder(tmp.filePath(QStringLiteral("Work")));
        doc = std::make_unique<CV4Document>();
        ASSERT_TRUE(doc->dataModel()->create());
        doc->actualModel()->setDefault();
        doc->actualModel()->setSystemItems();
    }
    void TearDown() override
    {
        doc.reset();
        cv::work::setWorkFolder(QString());
    }

    static QDate day(int y, int m, int d) { return QDate(y, m, d); }

    CV4CurrencyPtr addCurrency(int ident, const QString &abbr, double rate, int fraction)
    {
        return samplebook::currency(*doc, ident, abbr, rate, fraction);
    }

    CVUnitModelPtr addAccount(const CVUnitModelPtr &parent, int ident, int kind, double initial, int currency = 1,
                              const QDate &start = QDate(2009, 1, 1))
    {
        auto node = std::make_shared<CVUnitModel>();
        node->setIdent(ident);
        node->setKind(cv::NodeKind(kind));
        node->setCurrency(currency);
        node->setName(QStringLiteral("A%1").arg(ident));
        auto detail = std::make_shared<CV4AssetModel>();
        detail->setDate(start);
        detail->setInitialValue(initial);
        node->setExtra(detail);
        parent->appendChild(node);
        if (node->kind() == cv::NodeKind::Investment) {
            auto cash = std::make_shared<CVUnitModel>();
            cash->setKind(cv::NodeKind::CashPart);
            cash->setIdent(0);
            cash->setCurrency(currency);
            node->appendChild(cash);
        }
        return node;
    }

    CVUnitModelPtr addCategory(const CVUnitModelPtr &parent, int ident, int kind = 21)
    {
        auto node = std::make_shared<CVUnitModel>();
        node->setIdent(ident);
        node->setKind(cv::NodeKind(kind));
        node->setName(QStringLiteral("C%1").arg(ident));
        parent->appendChild(node);
        return node;
    }

    CV4BrandPtr addBrand(const QString &name, int currency)
    {
        auto b = std::make_shared<CV4Brand>();
        b->setName(name);
        b->setCurrency(currency);
        doc->addBrand(b);
        return b;
    }

    static CV4ActualPtr makeEntry(cv::EntryKind kind, const QDate &date, double amount, int category, int account,
                                  int destination = 0)
    {
        return samplebook::entry(kind, date, amount, category, account, destination);
    }
    static CV4ActualPtr makeEntry(int kind, const QDate &date, double amount, int category, int account,
                                  int destination = 0)
    {
        return samplebook::entry(kind, date, amount, category, account, destination);
    }

    CV4ActualPtr transfer(const QDate &date, double amount, int from, int to, double converted = 0)
    {
        auto e = makeEntry(cv::EntryKind::Transfer, date, amount, 0, from, to);
        e->setConverted(converted);
        doc->fixupTransferCategory(*e);
        doc->updateTransfer(e, nullptr);
        return e;
    }

    static CV4TradePtr makeTrade(cv::TradeKind kind, const QDate &date, int account, int brand, double count,
                                 double price, double commission = 0)
    {
        auto t = std::make_shared<CV4Trade>();
        t->setKind(kind);
        t->setDate(date);
        t->setAccount(account);
        t->setBrand(brand);
        t->setCount(count);
        t->setUnitPrice(price);
        t->setCommission(commission);
        t->setFlags(cv::EditNew);
        return t;
    }
    static CV4TradePtr makeTrade(int kind, const QDate &date, int account, int brand, double count, double price,
                                 double commission = 0)
    {
        return makeTrade(cv::TradeKind(kind), date, account, brand, count, price, commission);
    }

    QTemporaryDir tmp;
    std::unique_ptr<CV4Document> doc;
};
