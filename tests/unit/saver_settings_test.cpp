#include "settings/saver_settings.h"

#include <gtest/gtest.h>

#include <limits>

#include "foundation/pi.h"

namespace {

TEST(SaverSettings, DefaultsAndRanges) {
    SaverSettings s;
    EXPECT_EQ(s.density(), 25);
    EXPECT_EQ(s.windForce(), 40);
    EXPECT_EQ(s.windDirection(), static_cast<float>(0.75 * kPi));
    EXPECT_EQ(s.minDropRadius(), 4);
    EXPECT_EQ(s.dropRadiusSpread(), 5);
    EXPECT_TRUE(s.useDesktopMode());
    EXPECT_FALSE(s.restartEnabled());
    EXPECT_EQ(s.restartMinutes(), 2);
    EXPECT_EQ(s.restartSeconds(), 30);
    int w, h, b, r;
    s.displayMode(w, h, b, r);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 640);
    EXPECT_EQ(b, 32);
    EXPECT_EQ(r, 80);
    EXPECT_EQ(s.dropRadiusMax(), 10);
    EXPECT_EQ(s.windDirectionMin(), static_cast<float>(kPi / 18));
    EXPECT_EQ(s.windDirectionMax(), static_cast<float>(17 * kPi / 18));
}

TEST(SaverSettings, WindVectorTruncatesTowardZero) {
    SaverSettings s;
    EXPECT_EQ(s.windX(), 28);
    EXPECT_EQ(s.windY(), 28);

    s.setWindDirection(static_cast<float>(kPi / 2));
    EXPECT_EQ(s.windX(), 0);   // a tiny product, not -1
    EXPECT_EQ(s.windY(), 39);  // sine of the float angle is just below 1

    s.setWindDirection(static_cast<float>(17 * kPi / 18));
    EXPECT_EQ(s.windX(), 39);
    EXPECT_EQ(s.windY(), 6);

    // The most negative force: -cos(0) * force does not fit an int, and saturates.
    s.setWindForce(std::numeric_limits<int32_t>::min());
    s.setWindDirection(0.0f);
    EXPECT_EQ(s.windX(), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(s.windY(), 0);
    s.setWindDirection(static_cast<float>(kPi));
    EXPECT_LE(s.windX(), -2147483647);

    s.setWindForce(0);
    for (float d : {0.0f, 0.3f, 1.5f, 3.0f}) {
        s.setWindDirection(d);
        EXPECT_EQ(s.windX(), 0);
        EXPECT_EQ(s.windY(), 0);
    }
}

// A stored direction that is no number (a damaged record) must not reach the integer conversion.
TEST(SaverSettings, WindFromANonFiniteDirectionIsCalm) {
    SaverSettings s;
    s.setWindForce(2147483647);
    for (float d : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
        s.setWindDirection(d);
        EXPECT_EQ(s.windX(), 0);
        EXPECT_EQ(s.windY(), 0);
    }
    s.setWindDirection(static_cast<float>(kPi / 2));
    EXPECT_EQ(s.windY(), 2147483646);  // the largest force fits; the sine is just below 1
}

TEST(SaverSettings, SettersStoreOutOfRangeValuesUnchanged) {
    SaverSettings s;
    DisplayParametersEditor& display = s;
    RainParametersEditor& rain = s;
    display.setRestartMinutes(99);
    rain.setDropRadiusSpread(-3);
    display.setDisplayMode(1024, 768, 16, 60);
    EXPECT_EQ(s.restartMinutes(), 99);
    EXPECT_EQ(s.dropRadiusSpread(), -3);
    int lo, hi;
    s.restartMinutesRange(lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 30);
    s.restartSecondsRange(lo, hi);
    EXPECT_EQ(hi, 59);
    int w, h, b, r;
    s.displayMode(w, h, b, r);
    EXPECT_EQ(w * 1000000 + h * 1000 + b, 1024768016);
    EXPECT_EQ(r, 60);
}

}  // namespace
