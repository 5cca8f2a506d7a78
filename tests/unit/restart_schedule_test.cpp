#include "engine/restart_schedule.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

using namespace RestartSchedule;

TEST(RestartPeriod, MinutesAndSecondsInMilliseconds) {
    EXPECT_EQ(periodMs(2, 30), 150000);
    // 0:00 would wipe the glass on every frame: a second is the least.
    EXPECT_EQ(periodMs(0, 0), MinPeriodMs);
    EXPECT_EQ(periodMs(0, 1), 1000);
    EXPECT_EQ(periodMs(0, 59), 59000);
    // Seconds beyond a minute are taken as they are.
    EXPECT_EQ(periodMs(1, 90), 150000);
    EXPECT_EQ(periodMs(1440, 0), MaxPeriodMs);
}

TEST(RestartPeriod, DamagedValuesStayWithinADayAndNeverGoNegative) {
    // From 35792 minutes on, the product no longer fits 32 bits.
    EXPECT_EQ(periodMs(35792, 0), MaxPeriodMs);
    EXPECT_EQ(periodMs(INT_MAX, INT_MAX), MaxPeriodMs);
    EXPECT_EQ(periodMs(1440, 1), MaxPeriodMs);
    EXPECT_EQ(periodMs(-1, 0), MinPeriodMs);
    EXPECT_EQ(periodMs(0, -1), MinPeriodMs);
    EXPECT_EQ(periodMs(INT_MIN, INT_MIN), MinPeriodMs);
    // A negative part that the other outweighs still counts.
    EXPECT_EQ(periodMs(-1, 90), 30000);
    EXPECT_EQ(periodMs(INT_MIN, INT_MAX), MinPeriodMs);
}

TEST(RestartDue, OnlyOncePastTheDueTickAcrossTheCountersWrap) {
    EXPECT_FALSE(isDue(1000, 1000));
    EXPECT_TRUE(isDue(1001, 1000));
    EXPECT_FALSE(isDue(999, 1000));
    // Started shortly before the counter wraps: the due tick lies beyond it.
    const std::uint32_t start = 0xFFFFF000u;
    const std::uint32_t due = firstDue(start, 150000);
    EXPECT_LT(due, start);
    EXPECT_FALSE(isDue(start + 20, due));
    EXPECT_FALSE(isDue(due - 1, due));
    EXPECT_TRUE(isDue(due + 1, due));
}

TEST(RestartDue, EachRestartIsOnePeriodAfterThePreviousDueTick) {
    std::uint32_t due = firstDue(5000, 150000);
    EXPECT_EQ(due, 155000u);
    // A late frame does not shift the rhythm.
    due = advance(due, 150000, 155300);
    EXPECT_EQ(due, 305000u);
    EXPECT_FALSE(isDue(305000, due));
}

TEST(RestartDue, StoredZeroRestartsOnceASecondNotEveryFrame) {
    const std::int32_t period = periodMs(0, 0);
    std::uint32_t due = firstDue(100, period);
    int restarts = 0;
    for (std::uint32_t now = 120; now <= 10100; now += 20) {
        if (isDue(now, due)) {
            ++restarts;
            due = advance(due, period, now);
        }
    }
    // Due past 1100, 2100, ... 9100: the rain shows for a second between wipes.
    EXPECT_EQ(restarts, 9);
}

TEST(RestartDue, AfterALongStallMissedRestartsAreDropped) {
    std::uint32_t due = firstDue(0, 1000);
    const std::uint32_t woke = 10u * 24 * 60 * 60 * 1000;  // ten days suspended
    ASSERT_TRUE(isDue(woke, due));
    due = advance(due, 1000, woke);
    EXPECT_FALSE(isDue(woke + 20, due));
    EXPECT_TRUE(isDue(woke + 1001, due));
}
