#include "app/mouse_rule.h"

#include <gtest/gtest.h>

TEST(MouseRule, FirstMoveNeverEndsTheSaver) {
    MouseRule rule;
    EXPECT_FALSE(rule.moved(60000, 3));
    EXPECT_TRUE(rule.moved(0, 3));
}

TEST(MouseRule, TwoPixelsOnBothAxesAreIgnoredThreeEndIt) {
    MouseRule rule;
    rule.moved(100, 100);
    EXPECT_FALSE(rule.moved(102, 102));
    EXPECT_FALSE(rule.moved(98, 98));
    EXPECT_FALSE(rule.moved(100, 100));
    EXPECT_TRUE(rule.moved(103, 100));
    EXPECT_TRUE(rule.moved(100, 97));
}

TEST(MouseRule, ReferenceIsNeverMoved) {
    MouseRule rule;
    rule.moved(10, 10);
    EXPECT_FALSE(rule.moved(12, 10));
    // 14 is 2 from the last position but 4 from the first one.
    EXPECT_TRUE(rule.moved(14, 10));
}
