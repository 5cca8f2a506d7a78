#include "app/monitor_power_watch.h"

#include <gtest/gtest.h>

namespace {

// A monitor switched by the test, counting how often it is asked.
struct FakeMonitor : MonitorPower {
    bool powered = true;
    int asked = 0;
    bool on() override {
        ++asked;
        return powered;
    }
};

TEST(MonitorPowerWatch, AsksOnceASecondAndReportsTheReturnOnce) {
    FakeMonitor monitor;
    MonitorPowerWatch watch(monitor, 1000);
    EXPECT_EQ(watch.untilNextAsk(5000), 0u);
    EXPECT_TRUE(watch.on(5000));
    EXPECT_FALSE(watch.takeCameBack()) << "on from the start is no return";

    // Powered down: the loop asks on every pass, the monitor only once a second.
    monitor.powered = false;
    for (std::uint64_t now = 5000; now < 6000; now += 20) EXPECT_TRUE(watch.on(now)) << now;
    EXPECT_EQ(monitor.asked, 1);
    EXPECT_EQ(watch.untilNextAsk(5400), 600u);
    EXPECT_FALSE(watch.on(6000));
    EXPECT_EQ(monitor.asked, 2);
    for (std::uint64_t now = 6000; now < 9000; now += 250) EXPECT_FALSE(watch.on(now)) << now;
    EXPECT_EQ(monitor.asked, 4);  // at 7000 and 8000
    EXPECT_FALSE(watch.takeCameBack());

    // Back on: seen at the next answer, and the whole picture is owed once.
    monitor.powered = true;
    EXPECT_FALSE(watch.on(8999));
    EXPECT_TRUE(watch.on(9000));
    EXPECT_TRUE(watch.takeCameBack());
    EXPECT_FALSE(watch.takeCameBack());
    EXPECT_TRUE(watch.on(10000));
    EXPECT_FALSE(watch.takeCameBack());
    EXPECT_EQ(watch.untilNextAsk(99000), 0u) << "an old answer is asked again at once";
}

}  // namespace
