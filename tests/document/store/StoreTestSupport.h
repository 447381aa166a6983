#pragma once
// Shared by the store tests: a fresh working folder per test, a store with a
// new schema, a recorder of change marks and small record makers.

#include "document/store/BookStore.h"
#include "document/BookChanges.h"
#include "document/store/SQLDatabase3.h"
#include "document/store/WorkingFolder.h"
#include "model/Entry.h"
#include "model/DatedPrice.h"
#include "model/Trade.h"
#include "support/SampleBook.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

class ChangeRecorder : public cv::BookChanges {
public:
    void updateChangeCount(ChangeKind change) override { changes.push_back(change); }
    int done() const { return int(std::count(changes.begin(), changes.end(), ChangeDone)); }
    bool lastCleared() const { return !changes.empty() && changes.back() == ChangeCleared; }
    void reset() { changes.clear(); }
    std::vector<ChangeKind> changes;
};

inline cv::EntryPtr entry(int kind, const QDate &date, double amount, int category = 1001, int account = 2001,
                          const QString &memo = QString())
{
    auto e = samplebook::entry(kind, date, amount, category, account);
    e->setMemo(memo);
    return e;
}
inline cv::TradePtr trade(cv::TradeKind kind, const QDate &date, int account = 3001, int security = 5)
{
    auto t = std::make_shared<cv::Trade>();
    t->setKind(kind);
    t->setDate(date);
    t->setAccount(account);
    t->setSecurity(security);
    t->setCount(10);
    t->setUnitPrice(100);
    return t;
}
inline cv::TradePtr trade(int kind, const QDate &date, int account = 3001, int security = 5)
{
    return trade(cv::TradeKind(kind), date, account, security);
}
inline cv::DatedPricePtr price(int security, const QDate &date, double value)
{
    return samplebook::priceTime(security, date, value);
}

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        cv::work::setWorkFolder(tmp.filePath(QStringLiteral("Work")));
        store = std::make_unique<cv::BookStore>(&changes);
        ASSERT_TRUE(store->create());
        changes.reset();
    }
    void TearDown() override
    {
        store.reset();
        cv::work::setWorkFolder(QString());
    }

    QString path(const QString &name) const { return tmp.filePath(name); }

    // Raw rows of a statement, each as its values joined by " | ".
    QStringList rows(const QString &sql) const { return rowsOf(*store, sql); }
    static QStringList rowsOf(const cv::BookStore &s, const QString &sql)
    {
        QStringList out;
        auto result = s.database()->performQuery(sql);
        if (!result) return {QStringLiteral("<failed>")};
        for (int r = 0; r < result->rowCount(); ++r) out << result->rowAtIndex(r).description();
        return out;
    }

    static QByteArray readAll(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir tmp;
    ChangeRecorder changes;
    std::unique_ptr<cv::BookStore> store;
};
