#include "settings/typed_number.h"

#include <gtest/gtest.h>

TEST(TypedCount, DigitsWithBlanksAroundThemAreACount) {
    EXPECT_EQ(45, typedCount("45"));
    EXPECT_EQ(0, typedCount("0"));
    EXPECT_EQ(7, typedCount("  007 "));
    EXPECT_EQ(2147483647, typedCount("2147483647"));
}

TEST(TypedCount, AnythingElseIsRefused) {
    EXPECT_FALSE(typedCount(""));
    EXPECT_FALSE(typedCount("   "));
    EXPECT_FALSE(typedCount("-1"));
    EXPECT_FALSE(typedCount("+1"));
    EXPECT_FALSE(typedCount("4 5"));
    EXPECT_FALSE(typedCount("12a"));
    EXPECT_FALSE(typedCount("1,000"));
    // Too large for the stored signed field, even though it fits an unsigned one.
    EXPECT_FALSE(typedCount("2147483648"));
    EXPECT_FALSE(typedCount("4000000000"));
    EXPECT_FALSE(typedCount("99999999999999999999999"));
}
