#include "model/Entry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

cv::EntryPtr entry(int ident, QDate date, double amount, int flags = 0)
{
    auto a = std::make_shared<cv::Entry>();
    a->setIdent(ident);
    a->setDate(date);
    a->setAmount(amount);
    a->setFlags(flags);
    return a;
}

std::vector<int> idents(const std::vector<cv::EntryPtr> &rows)
{
    std::vector<int> out;
    for (const auto &r : rows) out.push_back(r->ident());
    return out;
}

} // namespace

TEST(Entry, CompareAndRowOrder)
{
    const QDate d1(2024, 4, 1), d2(2024, 4, 2);
    auto newest = entry(-1, QDate(2020, 1, 1), 100, cv::EditNew);
    auto a = entry(1, d2, 500);
    auto b = entry(2, d1, 0);
    auto zero = entry(3, d2, 0);
    auto c = entry(4, d2, 700);

    // A new row goes after every stored one, even with the earliest date.
    EXPECT_EQ(newest->compare(*b), 1);
    EXPECT_EQ(b->compare(*newest), -1);
    // On one date a non-zero amount goes first, whichever side it is on.
    EXPECT_EQ(a->compare(*zero), -1);
    EXPECT_EQ(zero->compare(*a), 1);
    // ... and compare is no strict order: both non-zero rows claim to go first.
    EXPECT_EQ(a->compare(*c), -1);
    EXPECT_EQ(c->compare(*a), -1);

    // The list order is strict and keeps input order among ties.
    EXPECT_FALSE(cv::Entry::rowOrder(a, c));
    EXPECT_FALSE(cv::Entry::rowOrder(c, a));
    EXPECT_FALSE(cv::Entry::rowOrder(a, a));
    std::vector<cv::EntryPtr> rows{newest, zero, c, a, b, nullptr};
    cv::Entry::sortRows(rows);
    ASSERT_EQ(rows.back(), nullptr);
    rows.pop_back();
    EXPECT_EQ(idents(rows), (std::vector<int>{2, 4, 1, 3, -1}));
}

TEST(Entry, EqualityNeedsAStoredIdent)
{
    auto x = entry(-1, QDate(2024, 1, 5), 300);
    auto y = entry(-1, QDate(2024, 1, 5), 300);
    EXPECT_FALSE(x->isEqual(y.get()));
    EXPECT_TRUE(x->isEqual(x.get()));
    EXPECT_FALSE(x->isEqual(nullptr));

    auto s = entry(42, QDate(2024, 1, 5), 300);
    auto t = entry(42, QDate(2023, 1, 1), 999);
    s->setCategory(30);
    t->setCategory(30);
    EXPECT_TRUE(s->isEqual(t.get()));
    t->setKind(cv::EntryKind::Income);
    s->setKind(cv::EntryKind::Expense);
    EXPECT_FALSE(s->isEqual(t.get()));
}

TEST(Entry, CloneKeepsIdentAndContentsButNotFlags)
{
    auto a = entry(77, QDate(2024, 2, 29), 1234.5, cv::EditChanged | cv::EditDeleted);
    a->setKind(cv::EntryKind::Transfer);
    a->setCategory(10);
    a->setAccount(1001);
    a->setDestination(1002);
    a->setGroup(3);
    a->setConverted(9.5);
    a->setMemo("立替");
    a->setCheckFlags(2);

    auto c = a->clone();
    EXPECT_NE(c, a);
    EXPECT_EQ(c->ident(), 77);
    EXPECT_EQ(c->kind(), cv::EntryKind::Transfer);
    EXPECT_EQ(c->date(), QDate(2024, 2, 29));
    EXPECT_EQ(c->category(), 10);
    EXPECT_EQ(c->account(), 1001);
    EXPECT_EQ(c->destination(), 1002);
    EXPECT_EQ(c->group(), 3);
    EXPECT_EQ(c->amount(), 1234.5);
    EXPECT_EQ(c->converted(), 9.5);
    EXPECT_EQ(c->memo(), "立替");
    EXPECT_EQ(c->flags(), 0);
    EXPECT_EQ(c->checkFlags(), 0);

    // copyContents leaves the receiver's own flags alone.
    cv::Entry d;
    d.setFlags(cv::EditNew);
    d.copyContents(*a);
    EXPECT_EQ(d.flags(), cv::EditNew);
    EXPECT_EQ(d.ident(), 77);
}

TEST(Entry, FlagsMemoAndFieldsByName)
{
    cv::Entry a;
    EXPECT_EQ(a.ident(), -1);
    a.setFlags(cv::EditChanged | cv::EditNew);
    a.toggleDeleted();
    EXPECT_EQ(a.flags(), 7);
    a.toggleDeleted();
    EXPECT_EQ(a.flags(), 3);

    a.setMemo("");
    EXPECT_EQ(a.memo(), "");
    EXPECT_FALSE(a.memo().isNull());
    EXPECT_EQ(a.valueForKey("memo").toString(), "");

    EXPECT_TRUE(a.setValueForKey("amount", 250.75));
    EXPECT_TRUE(a.setValueForKey("category", 31));
    EXPECT_TRUE(a.setValueForKey("date", QDate(2024, 5, 6)));
    EXPECT_TRUE(a.setValueForKey("memo", QStringLiteral("lunch")));
    EXPECT_EQ(a.amount(), 250.75);
    EXPECT_EQ(a.valueForKey("category").toInt(), 31);
    EXPECT_EQ(a.valueForKey("date").toDate(), QDate(2024, 5, 6));
    EXPECT_EQ(a.memo(), "lunch");

    // Wrong types and unknown keys change nothing.
    EXPECT_FALSE(a.setValueForKey("amount", QStringLiteral("lots")));
    EXPECT_FALSE(a.setValueForKey("date", 3));
    EXPECT_FALSE(a.setValueForKey("category", QVariant()));
    EXPECT_FALSE(a.setValueForKey("colour", 1));
    EXPECT_FALSE(a.valueForKey("colour").isValid());
    EXPECT_EQ(a.amount(), 250.75);
    EXPECT_EQ(a.date(), QDate(2024, 5, 6));
    EXPECT_EQ(a.category(), 31);

    EXPECT_TRUE(a.setValueForKey("date", QVariant()));
    EXPECT_FALSE(a.valueForKey("date").isValid());
}
