#include "rain/water_surface.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class WaterSurfaceTest : public ::testing::Test {
  protected:
    WaterSurface water{16, 12, 10};
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

TEST_F(WaterSurfaceTest, TakeChangesClipsToTheMapInOrderAndStartsAnew) {
    water.addDirty(-5, -5, 2, 2);    // clipped to 0..2
    water.addDirty(20, 1, 30, 5);    // wholly right of the map
    water.addDirty(14, 10, 19, 15);  // clipped to 14..15, 10..11
    water.addDirty(-9, 3, -1, 8);    // wholly left
    std::vector<DirtyRect> changes{DirtyRect{1, 1, 1, 1}};
    water.takeChanges(changes);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_TRUE(changes[0].left == 0 && changes[0].top == 0 && changes[0].right == 2 &&
                changes[0].bottom == 2);
    EXPECT_TRUE(changes[1].left == 14 && changes[1].top == 10 && changes[1].right == 15 &&
                changes[1].bottom == 11);
    EXPECT_TRUE(water.dirtyList().empty());
    water.takeChanges(changes);
    EXPECT_TRUE(changes.empty());
}

}  // namespace
