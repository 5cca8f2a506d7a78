#include "engine/monitor_rain.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "render/tracer/cosntable.h"
#include "render/tracer/memory_surface.h"
#include "render/tracer/tracer.h"
#include "settings/saver_settings.h"

namespace {

bool operator==(const PixelArea& a, const PixelArea& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(SecondaryAreas, EveryMonitorButThePrimaryItsMirrorsAndEmptyOnes) {
    const PixelArea primary{0, 0, 1024, 768};
    const PixelArea left{-800, 0, 0, 600};
    const PixelArea above{0, -1080, 1920, 0};
    const PixelArea mirrorOfLeft{-800, 0, 0, 600};
    const PixelArea overPrimary{1000, 0, 1800, 600};
    const PixelArea empty{2000, 0, 2000, 600};
    const std::vector<PixelArea> kept =
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
constexpr std::uint32_t kSeed = 7;

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
    void SetUp() override { settings.setDensity(25); }

    // Runs `frames` frames on a fresh monitor over the desktop, with `between` after each, and
    // answers its picture. Every pixel a frame changes must lie in a change that frame
    // reports, and the rows' padding is never written.
    std::vector<std::uint8_t> rain(
        int frames, const std::function<void()>& between = [] {}) {
        std::vector<std::uint8_t> picture = desktop();
        MonitorRain monitor({-kWidth, 0, 0, kHeight}, settings, kCosnTable, 0, kSeed,
                            picture.data(), kPitch);
        EXPECT_EQ(monitor.loop().waterSurface().width(), kWidth);
        EXPECT_EQ(monitor.loop().waterSurface().height(), kHeight);
        // Areas copied as they are, so that on this small picture they stay apart.
        monitor.loop().presentation() = FramePresentation(0);
        int partial = 0;
        for (int i = 0; i < frames; ++i) {
            const std::vector<std::uint8_t> before = picture;
            const std::vector<PixelArea>& changes =
                monitor.frame(static_cast<std::uint32_t>(i) * 20);
            between();
            std::vector<bool> reported(static_cast<std::size_t>(kWidth) * kHeight, false);
            std::int64_t area = 0;
            for (const PixelArea& c : changes) {
                EXPECT_TRUE(c.left >= 0 && c.top >= 0 && c.right <= kWidth && c.bottom <= kHeight);
                area += static_cast<std::int64_t>(c.width()) * c.height();
                for (std::int32_t y = c.top; y < c.bottom; ++y)
                    for (std::int32_t x = c.left; x < c.right; ++x) reported[y * kWidth + x] = true;
            }
            if (area > 0 && area < kWidth * kHeight) ++partial;
            for (std::size_t b = 0; b < picture.size(); ++b) {
                const std::int32_t y = static_cast<std::int32_t>(b / kPitch);
                const std::int32_t x = static_cast<std::int32_t>(b % kPitch) / 4;
                if (x >= kWidth) {
                    if (picture[b] == kPadding) continue;
                    ADD_FAILURE() << "padding written at row " << y << " byte " << b % kPitch;
                    return picture;
                }
                if (picture[b] != before[b] && !reported[y * kWidth + x]) {
                    ADD_FAILURE() << "frame " << i << ": pixel (" << x << ", " << y
                                  << ") changed unreported";
                    return picture;
                }
            }
        }
        // Most frames show only their changed parts.
        EXPECT_GT(partial, frames / 2);
        return picture;
    }

    SaverSettings settings;
};

TEST_F(MonitorRainTest, RainsOnlyWhereItReportsChangesAndKeepsTheRowsPadding) {
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

TEST_F(MonitorRainTest, RainsAsItWouldAloneWhateverTheOtherScreensDo) {
    const std::vector<std::uint8_t> alone = rain(150);

    // Another screen's whole loop runs one or two frames between this monitor's, from a
    // generator started at the same seed: its drops, its pane and its tracer are its own, so
    // neither its draws nor its format reach this monitor's picture.
    {
        MemorySurface otherWork(97, 61, 16);
        MemoryPictures otherPictures(otherWork.description());
        SaverSettings pouring;
        pouring.setDensity(50);
        ScreenLoop otherLoop(pouring, kCosnTable, 0, kSeed);
        otherLoop.prepare(97, 61, ChannelMasks{0xF800, 0x07E0, 0x001F});
        std::uint32_t otherNow = 0;
        const std::vector<std::uint8_t> besideLoop = rain(150, [&] {
            otherLoop.frame(otherPictures, otherNow += 20);
            if (otherNow % 60 == 0) otherLoop.frame(otherPictures, otherNow += 20);
        });
        EXPECT_TRUE(besideLoop == alone) << "another screen's rain reached this monitor's picture";
        EXPECT_GT(otherLoop.rainField().drops().size(), 0u);
    }

    // Another screen in 5-6-5 traces tracks between this monitor's frames, which moves its
    // jitter generator on: neither its format nor its jitter reaches this monitor's picture.
    Tracer other;
    other.setup(kCosnTable, ChannelMasks{0xF800, 0x07E0, 0x001F});
    const std::vector<SurfacePoint> tracks(16 * 4, SurfacePoint{1, 0, 0, 1});
    MemorySurface source(16, 4, 16), dest(16, 4, 16);
    for (std::uint32_t y = 0; y < 4; ++y)
        for (std::uint32_t x = 0; x < 16; ++x) source.row(y)[x * 2] = std::uint8_t(y * 16 + x);
    const auto tracksInto = [&](MemorySurface& to) {
        return TraceJob{
            0, 0, 15, 3, {tracks.data(), 16, 4}, source.description(), to.description()};
    };
    const std::vector<std::uint8_t> beside = rain(150, [&] { other.trace(tracksInto(dest)); });
    EXPECT_TRUE(beside == alone) << "another screen's tracer reached this monitor's picture";
    // The other tracer's jitter moved on (its tracks fall elsewhere than a fresh tracer's) and
    // its format stayed 5-6-5: a lone steep drop over black, lit by 40, then smoothed with its
    // black neighbours, is red 31 / 2, green 40 / 2, blue 31 / 2.
    Tracer fresh;
    fresh.setup(kCosnTable, ChannelMasks{0xF800, 0x07E0, 0x001F});
    MemorySurface freshTracks(16, 4, 16), otherTracks(16, 4, 16);
    fresh.trace(tracksInto(freshTracks));
    other.trace(tracksInto(otherTracks));
    EXPECT_NE(freshTracks.bytes(), otherTracks.bytes());
    std::vector<SurfacePoint> drop(16 * 4, SurfacePoint{0, 0, 0, 0});
    drop[16 + 5] = {8, -127, 0, 64};
    MemorySurface black(16, 4, 16), lit(16, 4, 16);
    other.trace({0, 0, 15, 3, {drop.data(), 16, 4}, black.description(), lit.description()});
    EXPECT_EQ(lit.row(1)[10] | lit.row(1)[11] << 8, (15 << 11) | (20 << 5) | 15);
}

TEST_F(MonitorRainTest, RestartWipesTheGlassAndRepaintsTheWholePicture) {
    std::vector<std::uint8_t> picture = desktop();
    const std::vector<std::uint8_t> clean = picture;
    MonitorRain monitor({1024, 0, 1024 + kWidth, kHeight}, settings, kCosnTable, 0, kSeed,
                        picture.data(), kPitch);
    const WaterSurface& water = monitor.loop().waterSurface();
    const auto wetPoints = [&] {
        int n = 0;
        for (std::int32_t y = 0; y < kHeight; ++y)
            for (std::int32_t x = 0; x < kWidth; ++x) n += water.heightAt(x, y) != 0;
        return n;
    };
    std::uint32_t now = 0;
    for (int i = 0; i < 200; ++i) monitor.frame(now += 20);
    const std::size_t dropsBefore = monitor.loop().rainField().drops().size();
    const int wetBefore = wetPoints();
    ASSERT_GT(dropsBefore, 0u);
    ASSERT_NE(picture, clean);

    monitor.loop().restartNextFrame();
    const std::vector<PixelArea> changes = monitor.frame(now += 20);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_TRUE(changes[0] == (PixelArea{0, 0, kWidth, kHeight}));
    // Only this frame's newborn drops are on the glass, and no track of the old ones.
    EXPECT_LT(monitor.loop().rainField().drops().size(), dropsBefore);
    EXPECT_LT(wetPoints() * 4, wetBefore);

    monitor.clean();
    EXPECT_EQ(picture, clean);
}

}  // namespace
