#include "render/display_mode.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ListedMode : public DisplayMode {
  public:
    ListedMode(std::uint32_t w, std::uint32_t h, std::uint32_t b, std::uint32_t r)
        : w_(w), h_(h), b_(b), r_(r) {}
    std::uint32_t width() const override { return w_; }
    std::uint32_t height() const override { return h_; }
    std::uint32_t bits_per_pixel() const override { return b_; }
    std::uint32_t refresh_rate() const override { return r_; }

  private:
    std::uint32_t w_, h_, b_, r_;
};

DisplayModeList listed() {
    DisplayModeList list;
    list.push_back(std::make_unique<ListedMode>(1024, 768, 32, 60));
    list.push_back(std::make_unique<ListedMode>(1024, 768, 32, 75));
    list.push_back(std::make_unique<ListedMode>(800, 600, 16, 0));
    list.push_back(nullptr);
    return list;
}

}  // namespace

TEST(DisplayModeChoice, DesktopModeWhenAskedOrWhenTheStoredModeIsUnusable) {
    const DisplayModeList modes = listed();
    EXPECT_FALSE(chooseDisplayMode(true, 1024, 768, 32, 60, modes).changeMode);
    EXPECT_FALSE(chooseDisplayMode(false, 0, 0, 32, 60, modes).changeMode);
    EXPECT_FALSE(chooseDisplayMode(false, -1024, 768, 32, 60, modes).changeMode);
    EXPECT_FALSE(chooseDisplayMode(false, 1024, 768, 0, 60, modes).changeMode);
    // Larger than the display offers, and a depth it does not list at that size.
    EXPECT_FALSE(chooseDisplayMode(false, 4096, 3072, 32, 60, modes).changeMode);
    EXPECT_FALSE(chooseDisplayMode(false, 1024, 768, 16, 60, modes).changeMode);
    // The record's default 800x640 is no mode of this display.
    EXPECT_FALSE(chooseDisplayMode(false, 800, 640, 32, 80, modes).changeMode);
    EXPECT_FALSE(chooseDisplayMode(false, 1024, 768, 32, 60, DisplayModeList{}).changeMode);
}

TEST(DisplayModeChoice, ListedModeIsTakenWithItsRateWhenThatIsListedToo) {
    const DisplayModeList modes = listed();
    DisplayChoice c = chooseDisplayMode(false, 1024, 768, 32, 75, modes);
    ASSERT_TRUE(c.changeMode);
    EXPECT_EQ(c.mode.width, 1024u);
    EXPECT_EQ(c.mode.height, 768u);
    EXPECT_EQ(c.mode.bits, 32u);
    EXPECT_EQ(c.mode.refresh, 75u);
    // An unlisted rate asks for the driver's default rather than failing the switch.
    c = chooseDisplayMode(false, 1024, 768, 32, 85, modes);
    ASSERT_TRUE(c.changeMode);
    EXPECT_EQ(c.mode.refresh, 0u);
    c = chooseDisplayMode(false, 800, 600, 16, -5, modes);
    ASSERT_TRUE(c.changeMode);
    EXPECT_EQ(c.mode.bits, 16u);
    EXPECT_EQ(c.mode.refresh, 0u);
}
