#include "platform/IntHash.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Item {
    int ident;
};
using ItemPtr = std::shared_ptr<Item>;

// Keys that share one slot of a 31-slot table, found by computing slots.
std::vector<int> collidingKeys(int count, int wanted)
{
    std::vector<int> keys{1000};
    const int slot = cv::intHashSlot(1000, count);
    for (int k = 1001; int(keys.size()) < wanted; ++k) {
        if (cv::intHashSlot(k, count) == slot) keys.push_back(k);
    }
    return keys;
}

ItemPtr lookup(cv::IntHash<Item> &hash, int key)
{
    return hash.findRef(key);
}

void store(cv::IntHash<Item> &hash, const ItemPtr &item)
{
    ASSERT_EQ(hash.findRef(item->ident), nullptr);
    hash.putRef(item);
}

} // namespace

TEST(IntHash, SlotsStayInRangeForEveryKey)
{
    for (int count : {1, 2, 31, 97, 1024}) {
        for (int key : {0, 1, -1, 31, -31, 999, 1000, INT_MAX, INT_MIN, INT_MIN + 1, 0x40000000}) {
            const int slot = cv::intHashSlot(key, count);
            EXPECT_GE(slot, 0) << key << " " << count;
            EXPECT_LT(slot, count) << key << " " << count;
        }
    }
    // Keys of a plain run of idents spread over the slots.
    std::vector<int> used(31, 0);
    for (int k = 1000; k < 1310; ++k) ++used[size_t(cv::intHashSlot(k, 31))];
    EXPECT_EQ(std::count(used.begin(), used.end(), 0), 0);
}

TEST(IntHash, SlotIsTheSignedStepsWithWrapAround)
{
    // The same steps in 64-bit arithmetic, cut to 32 signed bits after each.
    auto reference = [](int key, int count) {
        auto cut = [](long long v) { return (long long)(int)(unsigned)(v & 0xFFFFFFFFll); };
        long long a = key;
        a = cut(a + cut(~cut(a * 32768)));
        a = cut(a ^ (a >> 10));
        a = cut(a * 9);
        a = cut(a ^ (a >> 6));
        a = cut(a + cut(~cut(a * 2048)));
        a = cut(a ^ (a >> 16));
        long long r = a % count;
        return int(r < 0 ? r + count : r);
    };
    for (int key : {0, 1, -1, 7, 12345, -98765, INT_MAX, INT_MIN, 0x12345678}) {
        EXPECT_EQ(cv::intHashSlot(key, 31), reference(key, 31)) << key;
    }
}

TEST(IntHash, TwoKeysOfOneSlotAreBothFoundAndTheThirdDropsTheLeastRecent)
{
    const std::vector<int> keys = collidingKeys(31, 3);
    cv::IntHash<Item> hash;
    EXPECT_EQ(hash.count(), 31);
    auto a = std::make_shared<Item>(Item{keys[0]});
    auto b = std::make_shared<Item>(Item{keys[1]});
    auto c = std::make_shared<Item>(Item{keys[2]});

    store(hash, a);
    store(hash, b);
    EXPECT_EQ(lookup(hash, a->ident), a); // a becomes the most recent
    EXPECT_EQ(lookup(hash, b->ident), b); // and now b
    EXPECT_EQ(lookup(hash, a->ident), a); // a again: b is the least recent

    store(hash, c);
    EXPECT_EQ(lookup(hash, b->ident), nullptr);
    EXPECT_EQ(lookup(hash, c->ident), c);
    EXPECT_EQ(lookup(hash, a->ident), a);
}

TEST(IntHash, ClearAndObjectsThatWentAway)
{
    const std::vector<int> keys = collidingKeys(31, 2);
    cv::IntHash<Item> hash;
    auto a = std::make_shared<Item>(Item{keys[0]});
    auto b = std::make_shared<Item>(Item{keys[1]});
    store(hash, a);
    store(hash, b);

    // The cache keeps nothing alive; a gone object is a miss.
    std::weak_ptr<Item> watch = a;
    a.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(lookup(hash, keys[0]), nullptr);

    // Storing the key again replaces the dead entry instead of evicting b.
    auto a2 = std::make_shared<Item>(Item{keys[0]});
    hash.putRef(a2);
    EXPECT_EQ(lookup(hash, keys[0]), a2);
    EXPECT_EQ(lookup(hash, keys[1]), b);

    hash.clear();
    EXPECT_EQ(lookup(hash, keys[0]), nullptr);
    EXPECT_EQ(lookup(hash, keys[1]), nullptr);
}

TEST(IntHash, PutWithoutFindStoresNothing)
{
    cv::IntHash<Item> hash(7);
    auto a = std::make_shared<Item>(Item{0});
    hash.putRef(a);
    EXPECT_EQ(lookup(hash, 0), nullptr);

    // A table of no slots still works, with one slot.
    cv::IntHash<Item> tiny(0);
    EXPECT_EQ(tiny.count(), 1);
    store(tiny, a);
    EXPECT_EQ(lookup(tiny, 0), a);
}
