#include "app/monitor_places.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool operator==(const PixelArea& a, const PixelArea& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Windows moves the other monitors when the primary's mode changes size. Under Wine a mode
// change fails as soon as there are two monitors, so the end-to-end test of the monitors cannot
// show this: the lists here are what Windows reports before and after the saver's 1024x768.
TEST(MonitorPlaces, FollowTheMonitorsTheModeChangeMoved) {
    const std::vector<NamedMonitor> before = {
        {"\\\\.\\DISPLAY2", {1920, 0, 3200, 1024}},     // right of the 1920x1080 primary
        {"\\\\.\\DISPLAY3", {0, 1080, 1024, 1848}},     // below it
        {"\\\\.\\DISPLAY4", {-800, 0, 0, 600}},         // left of it: stays
        {"\\\\.\\DISPLAY5", {3200, 0, 4000, 600}},      // unplugged meanwhile
        {"\\\\.\\DISPLAY6", {4000, 0, 4800, 600}},      // its own mode changed too
        {"\\\\.\\DISPLAY7", {1920, 1024, 2560, 1504}},  // now over the primary
        {"\\\\.\\DISPLAY8", {2560, 1024, 3200, 1504}},  // now over one placed before it
    };
    const PixelArea primary{0, 0, 1024, 768};
    const std::vector<NamedMonitor> now = {
        {"\\\\.\\DISPLAY8", {1024, 0, 1664, 480}},
        {"\\\\.\\DISPLAY6", {2304, 0, 2944, 480}},
        {"\\\\.\\DISPLAY1", primary},
        {"\\\\.\\DISPLAY4", {-800, 0, 0, 600}},
        {"\\\\.\\DISPLAY3", {0, 768, 1024, 1536}},
        {"\\\\.\\DISPLAY7", {800, 500, 1440, 980}},
        {"\\\\.\\DISPLAY2", {1024, 0, 2304, 1024}},
    };
    const std::vector<PixelArea> places = placesAfterModeChange(before, now, primary);
    ASSERT_EQ(places.size(), before.size());
    EXPECT_TRUE(places[0] == (PixelArea{1024, 0, 2304, 1024}));
    EXPECT_TRUE(places[1] == (PixelArea{0, 768, 1024, 1536}));
    EXPECT_TRUE(places[2] == before[2].area);
    for (std::size_t gone = 3; gone < places.size(); ++gone)
        EXPECT_TRUE(places[gone].empty()) << "monitor " << before[gone].device;

    // Without a change every monitor stays where it was.
    const std::vector<PixelArea> same =
        placesAfterModeChange(before, before, PixelArea{0, 0, 1920, 1080});
    ASSERT_EQ(same.size(), before.size());
    for (std::size_t i = 0; i < same.size(); ++i)
        EXPECT_TRUE(same[i] == before[i].area) << "monitor " << before[i].device;
}

}  // namespace
