// The streamed entry read visits what the list read answers, in its order.
#include "support/SampleBook.h"

#include <gtest/gtest.h>

TEST(ForEachEntry, VisitsTheEntriesFindEntryFinds)
{
    auto doc = samplebook::makeRichBook();
    ASSERT_TRUE(doc);
    cv::SearchConditions all;
    all.date = {QDate(2008, 1, 1), QDate(2008, 12, 31)};
    cv::SearchConditions grouped = all;
    grouped.group = {doc->groupList().front()->ident()};
    cv::SearchConditions none;
    for (const cv::SearchConditions *conditions : {&all, &grouped, &none}) {
        const auto listed = doc->store()->findEntry(*conditions);
        ASSERT_TRUE(listed);
        std::vector<std::tuple<int, cv::EntryKind, QDate, double, QString>> visited;
        ASSERT_TRUE(doc->store()->forEachEntry(*conditions, [&](const cv::Entry &e) {
            visited.emplace_back(e.ident(), e.kind(), e.date(), e.amount(), e.memo());
        }));
        ASSERT_EQ(visited.size(), listed->size());
        for (size_t i = 0; i < visited.size(); ++i) {
            const cv::Entry &e = *(*listed)[i];
            EXPECT_EQ(visited[i], std::make_tuple(e.ident(), e.kind(), e.date(), e.amount(), e.memo())) << i;
        }
    }
}
