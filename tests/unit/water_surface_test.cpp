#include "rain/water_surface.h"

#include <gtest/gtest.h>

#include "render/tracer/cosntable.h"
#include "render/tracer/memory_surface.h"
#include "render/tracer/tracer.h"

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

class WaterSurfaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tracer.tracer_setup(kCosnTable, 0xFF0000, 0xFF00, 0xFF);
        tracer.tracer_anti_alias = 0;
        tracer.tracer_lighting = 0;
        tracer.tracer_tracks = 0;
        fillPattern(background);
    }
    Tracer tracer;
    WaterSurface water{16, 12, 10};
    MemorySurface work{16, 12, 32, 80};
    MemorySurface background{16, 12, 32, 72};
};

TEST_F(WaterSurfaceTest, AddDirtyNormalisesCornersAndDropsThinRectangles) {
    water.addDirty(9, 7, 2, 3);
    water.addDirty(4, 1, 4, 9);  // one pixel wide
    water.addDirty(1, 5, 8, 5);  // one pixel tall
    ASSERT_EQ(water.dirtyList().size(), 1u);
    const DirtyRect& r = water.dirtyList()[0];
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.right, 9);
    EXPECT_EQ(r.top, 3);
    EXPECT_EQ(r.bottom, 7);
}

TEST_F(WaterSurfaceTest, StampReportsTheChangedRectangleAndClearDries) {
    const ShapeRect r = water.stamp(5, 5, 2, 0, ShapeKind::Body);
    EXPECT_EQ(r.left, 3);
    EXPECT_EQ(r.top, 3);
    EXPECT_EQ(r.right, 6);
    EXPECT_EQ(r.bottom, 6);
    EXPECT_EQ(water.heightAt(5, 5), 2u);
    const ShapeRect none = water.stamp(-20, -20, 3, 1, ShapeKind::Body);
    EXPECT_EQ(none.left + none.top + none.right + none.bottom, 0);
    water.addDirty(0, 0, 5, 5);
    water.clear();
    for (std::int32_t i = 0; i < 16 * 12; ++i) EXPECT_EQ(water.grid().points[i].height, 0);
    EXPECT_EQ(water.dirtyList().size(), 1u);
}

TEST_F(WaterSurfaceTest, WildRadiiAreClampedIntoTheTables) {
    for (std::int32_t radius : {0, -3, 50, 11, -2147483647}) {
        const ShapeRect r = water.stamp(8, 6, radius, 2, ShapeKind::Track);
        const ShapeRect b = water.stampBlend(8, 6, radius, 99, ShapeKind::Body);
        EXPECT_LE(r.right - r.left, 19);
        EXPECT_LE(b.bottom - b.top, 29);
    }
    EXPECT_GT(water.heightAt(8, 6), 0u);
}

TEST_F(WaterSurfaceTest, FlushWithoutRectanglesLocksNothing) {
    water.flush(work, background, tracer);
    EXPECT_EQ(work.locks(), 0);
    EXPECT_EQ(background.locks(), 0);
}

TEST_F(WaterSurfaceTest, FlushTracesClampedRectanglesAndSkipsOutsideOnes) {
    // Height 8 with a flat normal maps each pixel onto itself at D = 8.
    for (std::int32_t i = 0; i < 16 * 12; ++i)
        const_cast<SurfacePoint*>(water.grid().points)[i] = SurfacePoint{8, 0, 0, 64};
    water.addDirty(-5, -5, 2, 2);  // clamped to 0..2
    water.addDirty(20, 1, 30, 5);  // entirely right of the grid
    water.addDirty(-9, 3, -1, 8);  // entirely left
    water.flush(work, background, tracer);
    EXPECT_EQ(work.locks(), 1);
    EXPECT_EQ(background.locks(), 1);
    EXPECT_EQ(work.unlocks(), 1);
    EXPECT_EQ(background.unlocks(), 1);
    EXPECT_TRUE(water.dirtyList().empty());
    for (std::uint32_t y = 0; y < 12; ++y)
        for (std::uint32_t x = 0; x < 16; ++x) {
            const std::uint32_t want = (x <= 2 && y <= 2) ? pixel32(background, x, y) : 0;
            EXPECT_EQ(pixel32(work, x, y), want) << x << "," << y;
        }
    for (std::uint32_t y = 0; y < 12; ++y)
        for (std::uint32_t i = 64; i < 80; ++i) EXPECT_EQ(work.row(y)[i], MemorySurface::kPadding);
}

TEST_F(WaterSurfaceTest, FailedLockTracesNothingAndKeepsTheRectangles) {
    for (std::int32_t i = 0; i < 16 * 12; ++i)
        const_cast<SurfacePoint*>(water.grid().points)[i] = SurfacePoint{8, 0, 0, 64};
    water.addDirty(1, 1, 4, 4);

    work.setFailLocks(true);
    water.flush(work, background, tracer);
    EXPECT_EQ(work.unlocks(), 0);
    EXPECT_EQ(background.locks(), 0);
    EXPECT_EQ(water.dirtyList().size(), 1u);

    work.setFailLocks(false);
    background.setFailLocks(true);
    water.flush(work, background, tracer);
    EXPECT_EQ(work.locks(), 1);
    EXPECT_EQ(work.unlocks(), 1);  // the first lock is given back
    EXPECT_EQ(background.unlocks(), 0);
    EXPECT_EQ(water.dirtyList().size(), 1u);
    EXPECT_EQ(pixel32(work, 2, 2), 0u);

    background.setFailLocks(false);
    water.flush(work, background, tracer);
    EXPECT_TRUE(water.dirtyList().empty());
    EXPECT_EQ(pixel32(work, 2, 2), pixel32(background, 2, 2));
    EXPECT_FALSE(work.locked());
    EXPECT_FALSE(background.locked());
}

// The tracer is reached through an overridable slot of the grid.
class RecordingGrid : public SurfaceGrid {
  public:
    using SurfaceGrid::SurfaceGrid;
    void traceRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                   const SurfacePoint* p, const SurfaceDesc*, const SurfaceDesc*,
                   Tracer&) override {
        calls.push_back({l, t, r, b});
        firsts.push_back(p);
    }
    std::vector<ShapeRect> calls;
    std::vector<const SurfacePoint*> firsts;
};

TEST(SurfaceGrid, TraceRectIsAVirtualSlot) {
    RecordingGrid g(8, 8);
    SurfaceGrid& base = g;
    Tracer tracer;
    base.traceRect(1, 2, 3, 4, g.at(1, 2), nullptr, nullptr, tracer);
    ASSERT_EQ(g.calls.size(), 1u);
    EXPECT_EQ(g.firsts[0], g.points + 2 * 8 + 1);
}

}  // namespace
