#include "engine/water_trace.h"

#include <gtest/gtest.h>

#include "render/tracer/cosntable.h"
#include "render/tracer/memory_surface.h"

namespace {

std::uint32_t pixel32(const MemorySurface& s, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = s.row(y) + x * 4;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void fillPattern(MemorySurface& s) {
    for (std::uint32_t y = 0; y < s.height(); ++y)
        for (std::uint32_t x = 0; x < s.width(); ++x) {
            std::uint8_t* p = s.row(y) + x * 4;
            p[0] = static_cast<std::uint8_t>(x * 7 + 1);
            p[1] = static_cast<std::uint8_t>(y * 5 + 2);
            p[2] = static_cast<std::uint8_t>(x + y + 3);
            p[3] = 0;
        }
}

class WaterTraceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TracerOptions plain;
        plain.antiAlias = false;
        plain.lighting = false;
        plain.tracks = false;
        tracer.setup(kCosnTable, ChannelMasks{0xFF0000, 0xFF00, 0xFF}, plain);
        fillPattern(background);
    }
    Tracer tracer;
    WaterSurface water{16, 12, 10};
    WaterTrace trace;
    MemorySurface work{16, 12, 32, 80};
    MemorySurface background{16, 12, 32, 72};
};

TEST_F(WaterTraceTest, WithoutChangesLocksNothing) {
    trace.run(water, work, background, tracer);
    EXPECT_EQ(work.locks(), 0);
    EXPECT_EQ(background.locks(), 0);
}

TEST_F(WaterTraceTest, TracesClippedRectanglesAndSkipsOutsideOnes) {
    // Height 8 with a flat normal maps each pixel onto itself at D = 8.
    for (std::int32_t i = 0; i < 16 * 12; ++i)
        const_cast<SurfacePoint*>(water.grid().points)[i] = SurfacePoint{8, 0, 0, 64};
    water.addDirty(-5, -5, 2, 2);  // clamped to 0..2
    water.addDirty(20, 1, 30, 5);  // entirely right of the grid
    water.addDirty(-9, 3, -1, 8);  // entirely left
    trace.run(water, work, background, tracer);
    EXPECT_EQ(work.locks(), 1);
    EXPECT_EQ(background.locks(), 1);
    EXPECT_EQ(work.unlocks(), 1);
    EXPECT_EQ(background.unlocks(), 1);
    EXPECT_TRUE(water.dirtyList().empty());
    ASSERT_EQ(trace.traced().size(), 1u);
    EXPECT_TRUE(trace.traced()[0].left == 0 && trace.traced()[0].top == 0 &&
                trace.traced()[0].right == 2 && trace.traced()[0].bottom == 2);
    for (std::uint32_t y = 0; y < 12; ++y)
        for (std::uint32_t x = 0; x < 16; ++x) {
            const std::uint32_t want = (x <= 2 && y <= 2) ? pixel32(background, x, y) : 0;
            EXPECT_EQ(pixel32(work, x, y), want) << x << "," << y;
        }
    for (std::uint32_t y = 0; y < 12; ++y)
        for (std::uint32_t i = 64; i < 80; ++i) EXPECT_EQ(work.row(y)[i], MemorySurface::kPadding);
}

TEST_F(WaterTraceTest, FailedLockTracesNothingAndKeepsTheRectangles) {
    for (std::int32_t i = 0; i < 16 * 12; ++i)
        const_cast<SurfacePoint*>(water.grid().points)[i] = SurfacePoint{8, 0, 0, 64};
    water.addDirty(1, 1, 4, 4);

    work.setFailLocks(true);
    trace.run(water, work, background, tracer);
    EXPECT_EQ(work.unlocks(), 0);
    EXPECT_EQ(background.locks(), 0);
    EXPECT_EQ(water.dirtyList().size(), 1u);

    work.setFailLocks(false);
    background.setFailLocks(true);
    trace.run(water, work, background, tracer);
    EXPECT_EQ(work.locks(), 1);
    EXPECT_EQ(work.unlocks(), 1);  // the first lock is given back
    EXPECT_EQ(background.unlocks(), 0);
    EXPECT_EQ(water.dirtyList().size(), 1u);
    EXPECT_TRUE(trace.traced().empty());
    EXPECT_EQ(pixel32(work, 2, 2), 0u);

    background.setFailLocks(false);
    trace.run(water, work, background, tracer);
    EXPECT_TRUE(water.dirtyList().empty());
    EXPECT_EQ(pixel32(work, 2, 2), pixel32(background, 2, 2));
    EXPECT_FALSE(work.locked());
    EXPECT_FALSE(background.locked());
}

}  // namespace
