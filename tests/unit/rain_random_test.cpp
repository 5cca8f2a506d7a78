#include "rain/rain_random.h"

#include <gtest/gtest.h>

TEST(RainRandom, FollowsTheLinearCongruentialSequence) {
    RainRandom::seed(1);
    // Seeded with 1 the sequence starts 41, 18467, 6334.
    EXPECT_EQ(RainRandom::next(), 41);
    EXPECT_EQ(RainRandom::next(), 18467);
    EXPECT_EQ(RainRandom::next(), 6334);
    RainRandom::seed(1);
    EXPECT_EQ(RainRandom::rnd(100), (41 * 100) >> 15);
    EXPECT_EQ(RainRandom::rnd(100), (18467 * 100) >> 15);
}

TEST(RainRandom, DrawsStayInsideTheirRange) {
    RainRandom::seed(12345);
    for (int i = 0; i < 10000; ++i) {
        const int r = RainRandom::rnd(40);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 40);
    }
    RainRandom::seed(7);
    for (int i = 0; i < 1000; ++i) ASSERT_FALSE(RainRandom::chance(0));
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(RainRandom::chance(100));
}
