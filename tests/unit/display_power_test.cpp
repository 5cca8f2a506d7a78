#include "app/display_power.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "engine/restart_schedule.h"

namespace {

using Change = DisplayPower::Change;

TEST(DisplayPower, TheRainsClockStandsStillWhileTheDisplayIsOff) {
    DisplayPower power;
    // A clock near the wrap of the system's tick counter, moved by hand.
    std::uint32_t now = 0xFFFF0000u;
    const std::uint32_t start = power.rainTick(now);
    EXPECT_EQ(start, now) << "no time off yet";
    const std::uint32_t due = RestartSchedule::firstDue(start, 150000);

    now += 100000;
    EXPECT_EQ(power.report(DisplayPower::On, now), Change::None);
    EXPECT_EQ(power.report(DisplayPower::Dimmed, now), Change::None) << "a dim screen is seen";
    EXPECT_TRUE(power.running());

    EXPECT_EQ(power.report(DisplayPower::Off, now), Change::Paused);
    EXPECT_FALSE(power.running());
    const std::uint32_t wentOff = power.rainTick(now);
    now += 200000;  // past the wrap, and longer than the restart period
    EXPECT_EQ(power.rainTick(now), wentOff) << "no time passes for the rain while off";
    EXPECT_EQ(power.report(DisplayPower::Off, now), Change::None) << "off twice is off once";

    // Back on: the rain's clock goes on from where it stopped, so the restart due 50 s of rain
    // later is still 50 s away, not long overdue.
    EXPECT_EQ(power.report(DisplayPower::On, now), Change::Resumed);
    EXPECT_TRUE(power.running());
    EXPECT_EQ(power.rainTick(now), wentOff);
    EXPECT_FALSE(RestartSchedule::isDue(power.rainTick(now), due));
    now += 50001;
    EXPECT_EQ(power.rainTick(now) - start, 150001u);
    EXPECT_TRUE(RestartSchedule::isDue(power.rainTick(now), due));

    // A second time off adds to the first; a dimmed or an unknown state after off is seen again.
    for (std::uint32_t back : {DisplayPower::Dimmed, 7u}) {
        const std::uint32_t before = power.rainTick(now);
        EXPECT_EQ(power.report(DisplayPower::Off, now), Change::Paused);
        now += 30000;
        EXPECT_EQ(power.report(back, now), Change::Resumed) << back;
        EXPECT_EQ(power.rainTick(now), before) << back;
        now += 20;
        EXPECT_EQ(power.rainTick(now), before + 20) << back;
    }
}

}  // namespace
