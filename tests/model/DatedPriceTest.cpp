#include "model/DatedPrice.h"

#include <gtest/gtest.h>

TEST(DatedPrice, EqualityAndClone)
{
    cv::DatedPrice p;
    p.setSecurity(5);
    p.setDate(QDate(2024, 3, 1));
    p.setPrice(2512.5);
    p.setFlags(cv::EditNew | cv::EditChanged);

    auto c = p.clone();
    EXPECT_EQ(c->flags(), 0);
    EXPECT_TRUE(p.isEqual(c.get()));
    EXPECT_TRUE(c->isEqual(&p));
    EXPECT_FALSE(p.isEqual(nullptr));

    c->setPrice(2512.6);
    EXPECT_FALSE(p.isEqual(c.get()));
    c->setPrice(2512.5);
    c->setDate(QDate(2024, 3, 2));
    EXPECT_FALSE(p.isEqual(c.get()));

    EXPECT_TRUE(p.setValueForKey("price", 99.0));
    EXPECT_EQ(p.valueForKey("price").toDouble(), 99.0);
    EXPECT_EQ(p.valueForKey("brand").toInt(), 5);
    p.toggleDeleted();
    EXPECT_EQ(p.flags(), 7);
}
