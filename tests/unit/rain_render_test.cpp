#include "tools/render/rain_render.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

Picture stripes(std::int32_t w, std::int32_t h) {
    Picture p(w, h);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            p.at(x, y)[0] = static_cast<std::uint8_t>((x / 4) % 2 ? 230 : 20);
            p.at(x, y)[1] = static_cast<std::uint8_t>(y * 2);
            p.at(x, y)[2] = static_cast<std::uint8_t>(x);
        }
    }
    return p;
}

SaverSettings heavyRain() {
    SaverSettings s;
    s.setDensity(50);
    return s;
}

class RainRenderTest : public ::testing::Test {
  protected:
    std::vector<std::uint8_t> render(std::uint32_t bpp, std::uint32_t seed, int frames) {
        RainRender r(stripes(96, 64), bpp, heavyRain(), seed, -1);
        for (int i = 0; i < frames; ++i) r.step();
        return r.work().bytes();
    }
};

TEST_F(RainRenderTest, SameSeedSameFramesAtEveryDepth) {
    for (std::uint32_t bpp : {16u, 24u, 32u}) {
        const std::vector<std::uint8_t> a = render(bpp, 7, 120);
        EXPECT_EQ(a, render(bpp, 7, 120)) << bpp;
        EXPECT_NE(a, render(bpp, 8, 120)) << bpp;
    }
}

TEST_F(RainRenderTest, RainChangesOnlyWetPixels) {
    RainRender r(stripes(96, 64), 32, heavyRain(), 3, -1);
    for (int i = 0; i < 150; ++i) r.step();
    EXPECT_EQ(r.framesDone(), 150);
    ASSERT_GT(r.wetShare(), 0.0);
    ASSERT_GT(r.liveDrops(), 0u);
    ASSERT_NE(r.work().bytes(), r.background().bytes());

    // The tracer writes wet points only, so a pixel that differs from the picture is wet.
    const SurfaceGrid& grid = r.surface().grid();
    std::size_t wet = 0;
    for (std::int32_t y = 0; y < 64; ++y) {
        for (std::int32_t x = 0; x < 96; ++x) {
            const bool differs =
                std::memcmp(r.work().row(y) + x * 4, r.background().row(y) + x * 4, 4) != 0;
            if (differs) {
                EXPECT_GT(grid.at(x, y)->height, 0) << x << "," << y;
            }
            if (grid.at(x, y)->height > 0) ++wet;
        }
    }
    EXPECT_DOUBLE_EQ(r.wetShare(), static_cast<double>(wet) / (96 * 64));
}

TEST_F(RainRenderTest, NoRainLeavesThePictureAlone) {
    SaverSettings dry;
    dry.setDensity(0);
    RainRender r(stripes(40, 30), 16, dry, 1, 0);
    for (int i = 0; i < 60; ++i) r.step();
    EXPECT_EQ(r.liveDrops(), 0u);
    EXPECT_EQ(r.wetShare(), 0.0);
    EXPECT_EQ(r.work().bytes(), r.background().bytes());
}

TEST_F(RainRenderTest, RestartWipesThePaneOncePerPeriod) {
    // One second is 50 frames: the map only ever gets wetter until the wipe before frame 51.
    RainRender r(stripes(96, 64), 24, heavyRain(), 5, 1);
    double before = 0.0;
    for (int i = 0; i < 50; ++i) {
        r.step();
        EXPECT_GE(r.wetShare(), before) << "frame " << i + 1;
        before = r.wetShare();
    }
    r.step();
    EXPECT_LT(r.wetShare(), before);

    // A period of zero would wipe before every frame and never show a drop: it runs as a second.
    // (One after the other: the rain's generator is shared.)
    std::vector<std::vector<std::uint8_t>> frames;
    {
        RainRender second(stripes(96, 64), 24, heavyRain(), 5, 1);
        for (int i = 0; i < 120; ++i) {
            second.step();
            frames.push_back(second.work().bytes());
        }
    }
    RainRender zero(stripes(96, 64), 24, heavyRain(), 5, 0);
    for (int i = 0; i < 120; ++i) {
        zero.step();
        ASSERT_EQ(zero.work().bytes(), frames[i]) << "frame " << i + 1;
    }
}

}  // namespace
