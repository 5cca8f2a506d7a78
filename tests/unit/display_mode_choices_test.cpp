#include "settings/display_mode_choices.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A mode with a tag, so the test can see which of two equal modes came first.
class TaggedMode : public DisplayMode {
  public:
    TaggedMode(std::uint32_t w, std::uint32_t h, std::uint32_t b, std::uint32_t r, int tag)
        : w_(w), h_(h), b_(b), r_(r), tag(tag) {}
    std::uint32_t width() const override { return w_; }
    std::uint32_t height() const override { return h_; }
    std::uint32_t bits_per_pixel() const override { return b_; }
    std::uint32_t refresh_rate() const override { return r_; }

  private:
    std::uint32_t w_, h_, b_, r_;

  public:
    int tag;
};

int tagAt(const DisplayModeList& list, std::size_t i) {
    return static_cast<const TaggedMode&>(*list[i]).tag;
}

}  // namespace

TEST(DisplayModeChoices, SortedByWidthHeightDepthRefreshKeepingTheOrderOfEqualModes) {
    DisplayModeList modes;
    modes.push_back(std::make_unique<TaggedMode>(1024, 768, 32, 60, 1));
    modes.push_back(std::make_unique<TaggedMode>(800, 600, 32, 0, 2));
    modes.push_back(std::make_unique<TaggedMode>(1024, 768, 16, 75, 3));
    modes.push_back(nullptr);
    modes.push_back(std::make_unique<TaggedMode>(1024, 600, 32, 60, 4));
    modes.push_back(std::make_unique<TaggedMode>(800, 600, 32, 0, 5));
    modes.push_back(std::make_unique<TaggedMode>(1024, 768, 16, 60, 6));
    modes.push_back(std::make_unique<TaggedMode>(640, 1024, 8, 0, 7));
    sortModes(modes);
    const int expected[] = {7, 2, 5, 4, 6, 3, 1};
    for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(expected[i], tagAt(modes, i)) << i;
    EXPECT_EQ(nullptr, modes[7]);

    // The last of equal modes is the one a stored mode selects.
    EXPECT_EQ(2, storedModeIndex(modes, 800, 600, 32, 0));
    EXPECT_EQ(3, storedModeIndex(modes, 1024, 600, 32, 60));
    EXPECT_EQ(-1, storedModeIndex(modes, 800, 640, 32, 80));
    EXPECT_EQ(-1, storedModeIndex(modes, -1024, 768, 32, 60));
}

TEST(DisplayModeChoices, TextGivesSizeDepthAndRefreshWithoutPadding) {
    EXPECT_EQ("800x600 16 bits 85Hz", modeText(TaggedMode(800, 600, 16, 85, 0)));
    EXPECT_EQ("640x480 8 bits 0Hz", modeText(TaggedMode(640, 480, 8, 0, 0)));
    EXPECT_EQ("3840x2160 32 bits 144Hz", modeText(TaggedMode(3840, 2160, 32, 144, 0)));
}
