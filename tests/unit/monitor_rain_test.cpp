#include "app/monitor_rain.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rain/drop.h"
#include "rain/rain_random.h"
#include "rain/rain_tuning.h"
#include "render/tracer/cosntable.h"
#include "render/tracer/tracer.h"
#include "settings/saver_settings.h"

namespace {

bool operator==(const MonitorArea& a, const MonitorArea& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(SecondaryAreas, EveryMonitorButThePrimaryItsMirrorsAndEmptyOnes) {
    const MonitorArea primary{0, 0, 1024, 768};
    const MonitorArea left{-800, 0, 0, 600};
    const MonitorArea above{0, -1080, 1920, 0};
    const MonitorArea mirrorOfLeft{-800, 0, 0, 600};
    const MonitorArea overPrimary{1000, 0, 1800, 600};
    const MonitorArea empty{2000, 0, 2000, 600};
    const std::vector<MonitorArea> kept =
        secondaryAreas({left, primary, mirrorOfLeft, above, overPrimary, empty, primary}, primary);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_TRUE(kept[0] == left);
    EXPECT_TRUE(kept[1] == above);
    EXPECT_TRUE(secondaryAreas({primary}, primary).empty());
}

constexpr std::int32_t kWidth = 160, kHeight = 120;
// Rows longer than the picture, as bitmaps may have; the padding must stay untouched.
constexpr std::uint32_t kPitch = kWidth * 4 + 16;
constexpr std::uint8_t kPadding = 0x5A;

// A desktop with detail everywhere, so that refraction shows wherever there is water.
std::vector<std::uint8_t> desktop() {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kPitch) * kHeight, kPadding);
    for (std::int32_t y = 0; y < kHeight; ++y)
        for (std::int32_t x = 0; x < kWidth; ++x) {
            std::uint8_t* p = &bytes[static_cast<std::size_t>(y) * kPitch + x * 4];
            p[0] = static_cast<std::uint8_t>(x * 7 + y * 3);
            p[1] = static_cast<std::uint8_t>((x ^ y) * 5);
            p[2] = static_cast<std::uint8_t>(y * 11);
            p[3] = 0;
        }
    return bytes;
}

class MonitorRainTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setUpRainTuning(Drop::MaxDropRadius);
        RainRandom::seed(7);
        tracer_reset_seed_for_tests();
        settings.setDensity(25);
    }

    // Runs `frames` frames on a fresh monitor over the desktop and answers its picture; every
    // pixel that differs from the desktop must lie in a change reported by its frame or before.
    std::vector<std::uint8_t> rain(int frames) {
        std::vector<std::uint8_t> picture = desktop();
        const std::vector<std::uint8_t> clean = picture;
        MonitorRain monitor({-kWidth, 0, 0, kHeight}, settings, settings.dropRadiusMax(),
                            picture.data(), kPitch);
        EXPECT_EQ(monitor.water().width(), kWidth);
        EXPECT_EQ(monitor.water().height(), kHeight);
        std::vector<bool> reported(static_cast<std::size_t>(kWidth) * kHeight, false);
        for (int i = 0; i < frames; ++i) {
            for (const MonitorRain::Change& c : monitor.frame(false)) {
                EXPECT_TRUE(c.left >= 0 && c.top >= 0 && c.right <= kWidth && c.bottom <= kHeight);
                for (std::int32_t y = c.top; y < c.bottom; ++y)
                    for (std::int32_t x = c.left; x < c.right; ++x) reported[y * kWidth + x] = true;
            }
        }
        for (std::size_t i = 0; i < picture.size(); ++i) {
            const std::int32_t y = static_cast<std::int32_t>(i / kPitch);
            const std::int32_t x = static_cast<std::int32_t>(i % kPitch) / 4;
            if (x >= kWidth) {
                EXPECT_EQ(picture[i], kPadding)
                    << "padding written at row " << y << " byte " << i % kPitch;
            } else if (picture[i] != clean[i] && !reported[y * kWidth + x]) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") changed unreported";
                break;
            }
        }
        return picture;
    }

    SaverSettings settings;
};

TEST_F(MonitorRainTest, RainsOnlyWhereItReportsChangesAndKeepsTheRowsPadding) {
    tracer_setup(kCosnTable, 0xFF0000, 0xFF00, 0xFF);
    const std::vector<std::uint8_t> picture = rain(100);
    const std::vector<std::uint8_t> clean = desktop();
    std::size_t wet = 0;
    for (std::int32_t y = 0; y < kHeight; ++y)
        for (std::int32_t x = 0; x < kWidth; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * kPitch + x * 4;
            if (picture[at] != clean[at] || picture[at + 1] != clean[at + 1] ||
                picture[at + 2] != clean[at + 2])
                ++wet;
        }
    // Drops and tracks after a hundred frames, but far from a wet pane.
    EXPECT_GT(wet, static_cast<std::size_t>(kWidth * kHeight / 100));
    EXPECT_LT(wet, static_cast<std::size_t>(kWidth * kHeight / 2)) << wet;
}

TEST_F(MonitorRainTest, TracesInItsOwnFormatWhateverTheScreensAndLeavesTheScreensAlone) {
    tracer_setup(kCosnTable, 0xFF0000, 0xFF00, 0xFF);
    const std::vector<std::uint8_t> beside32 = rain(150);

    SetUp();
    tracer_setup(kCosnTable, 0xF800, 0x07E0, 0x001F);
    const std::uint8_t shifts[3] = {BitShifts[0], BitShifts[1], BitShifts[2]};
    const std::uint32_t masks[3] = {RBitMask, GBitMask, BBitMask};
    const std::vector<std::uint8_t> beside16 = rain(150);
    EXPECT_TRUE(beside16 == beside32) << "the screen's 16-bit format leaked into the picture";
    for (int i = 0; i < 3; ++i) EXPECT_EQ(BitShifts[i], shifts[i]);
    EXPECT_EQ(RBitMask, masks[0]);
    EXPECT_EQ(GBitMask, masks[1]);
    EXPECT_EQ(BBitMask, masks[2]);
}

TEST_F(MonitorRainTest, RestartWipesTheGlassAndRepaintsTheWholePicture) {
    tracer_setup(kCosnTable, 0xFF0000, 0xFF00, 0xFF);
    std::vector<std::uint8_t> picture = desktop();
    const std::vector<std::uint8_t> clean = picture;
    MonitorRain monitor({1024, 0, 1024 + kWidth, kHeight}, settings, settings.dropRadiusMax(),
                        picture.data(), kPitch);
    const auto wetPoints = [&] {
        int n = 0;
        for (std::int32_t y = 0; y < kHeight; ++y)
            for (std::int32_t x = 0; x < kWidth; ++x) n += monitor.water().heightAt(x, y) != 0;
        return n;
    };
    for (int i = 0; i < 200; ++i) monitor.frame(false);
    const std::size_t dropsBefore = monitor.field().drops().size();
    const int wetBefore = wetPoints();
    ASSERT_GT(dropsBefore, 0u);
    ASSERT_NE(picture, clean);

    const std::vector<MonitorRain::Change> changes = monitor.frame(true);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_TRUE(changes[0] == (MonitorArea{0, 0, kWidth, kHeight}));
    // Only this frame's newborn drops are on the glass, and no track of the old ones.
    EXPECT_LT(monitor.field().drops().size(), dropsBefore);
    EXPECT_LT(wetPoints() * 4, wetBefore);

    monitor.clean();
    EXPECT_EQ(picture, clean);
}

}  // namespace
