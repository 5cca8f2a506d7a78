#include "rain/drop_shape.h"

#include <gtest/gtest.h>

#include <memory>

#include "rain/shape_table.h"
#include "rain/surface_grid.h"

namespace {

template <class Shape>
std::unique_ptr<Shape> built(std::int32_t r, std::int32_t t) {
    auto s = std::make_unique<Shape>(r, t);
    s->build();
    return s;
}

int peak(const DropShape& s) {
    int best = 0;
    for (const SurfacePoint& p : s.points) best = std::max<int>(best, p.height);
    return best;
}

void expectNormal(const DropShape& s, int col, int row, int nx, int ny, int nz) {
    const SurfacePoint& p = s.point(col, row);
    EXPECT_EQ(p.normalX, nx) << "at " << col << "," << row;
    EXPECT_EQ(p.normalY, ny) << "at " << col << "," << row;
    EXPECT_EQ(p.normalZ, nz) << "at " << col << "," << row;
}

TEST(DropShape, RadiusOneHasOneWetPointInBothKinds) {
    auto body = built<BodyShape>(1, 0);
    auto track = built<TrackShape>(1, 0);
    for (const DropShape* s :
         {static_cast<const DropShape*>(body.get()), static_cast<const DropShape*>(track.get())}) {
        ASSERT_EQ(s->width, 2);
        ASSERT_EQ(s->height, 2);
        EXPECT_EQ(s->point(0, 0).height, 0);
        EXPECT_EQ(s->point(1, 0).height, 0);
        EXPECT_EQ(s->point(0, 1).height, 0);
        EXPECT_EQ(s->point(1, 1).height, 1);
    }
}

TEST(DropShape, RadiusTwoBodyHeightsAndNormals) {
    auto s = built<BodyShape>(2, 0);
    const int expected[4][4] = {{0, 0, 0, 0}, {0, 1, 1, 1}, {0, 1, 2, 1}, {0, 1, 1, 1}};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(s->point(j, i).height, expected[i][j]) << j << "," << i;
    expectNormal(*s, 2, 2, 0, 0, 64);
    expectNormal(*s, 1, 2, 63, 0, 7);
    expectNormal(*s, 3, 2, -64, 0, 7);
    expectNormal(*s, 2, 1, 0, 63, 7);
    expectNormal(*s, 2, 3, 0, -64, 7);
}

TEST(DropShape, SinglePrecisionRoundingShapesThePeaks) {
    EXPECT_EQ(built<BodyShape>(3, 0)->point(3, 3).height, 3);
    EXPECT_EQ(peak(*built<BodyShape>(3, 2)), 2);
    EXPECT_EQ(peak(*built<BodyShape>(5, 1)), 4);
    EXPECT_EQ(peak(*built<BodyShape>(2, 1)), 1);
    for (int r = 1; r <= 10; ++r) EXPECT_EQ(built<BodyShape>(r, 0)->point(r, r).height, r);
}

TEST(DropShape, StrayTrackPointsAtTheTip) {
    auto a = built<TrackShape>(4, 3);
    auto b = built<TrackShape>(5, 1);
    for (int j = 0; j < a->width; ++j) EXPECT_EQ(a->point(j, 0).height, j == 4 ? 1 : 0) << j;
    for (int j = 0; j < b->width; ++j) EXPECT_EQ(b->point(j, 0).height, j == 5 ? 1 : 0) << j;
}

TEST(DropShape, TrackFootprintIsWiderThanTheBody) {
    auto body = built<BodyShape>(2, 1);
    auto track = built<TrackShape>(2, 1);
    int bodyWet = 0, trackWet = 0;
    for (std::size_t i = 0; i < body->points.size(); ++i) {
        if (body->points[i].height != 0) {
            ++bodyWet;
            EXPECT_EQ(track->points[i].height, 1);
        }
        EXPECT_LE(track->points[i].height, 1);
        if (track->points[i].height != 0) ++trackWet;
    }
    EXPECT_GT(trackWet, bodyWet);
}

TEST(DropShape, BuildTwiceChangesNothing) {
    BodyShape s(4, 2);
    s.build();
    auto before = s.points;
    s.build();
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(before[i].height, s.points[i].height);
}

TEST(ShapeTable, EveryShapeIsDryInColumnZeroAndBodyTip) {
    ShapeTable bodies(10, ShapeKind::Body);
    ShapeTable tracks(10, ShapeKind::Track);
    for (int r = 1; r <= 10; ++r) {
        for (int t = 0; t <= r; ++t) {
            const DropShape& b = bodies.lookup(r, t);
            const DropShape& k = tracks.lookup(r, t);
            ASSERT_EQ(b.radius, r);
            ASSERT_EQ(b.tail, t);
            ASSERT_EQ(k.radius, r);
            ASSERT_EQ(k.tail, t);
            for (int i = 0; i < b.height; ++i) EXPECT_EQ(b.point(0, i).height, 0);
            for (int i = 0; i < k.height; ++i) EXPECT_EQ(k.point(0, i).height, 0);
            for (int j = 0; j < b.width; ++j) EXPECT_EQ(b.point(j, 0).height, 0);
        }
    }
}

TEST(ShapeTable, TailIsClampedIntoTheRadius) {
    ShapeTable t(10, ShapeKind::Body);
    EXPECT_EQ(t.lookup(5, -3).tail, 0);
    EXPECT_EQ(t.lookup(5, 12).tail, 5);
    EXPECT_EQ(t.lookup(5, 12).radius, 5);
}

TEST(StampOnto, PlacementAndClipping) {
    auto s = built<BodyShape>(2, 0);
    SurfaceGrid g(10, 8);
    const ShapeRect p = s->place(5, 4);
    EXPECT_EQ(p.left, 3);
    EXPECT_EQ(p.top, 2);
    EXPECT_EQ(p.right, 6);
    EXPECT_EQ(p.bottom, 5);

    // Partly off the left and top: only the overlap is written, from the right shape point.
    const ShapeRect r = s->stamp_onto(g, 0, 0, BlitMode::Copy);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 1);
    EXPECT_EQ(r.bottom, 1);
    EXPECT_EQ(g.at(0, 0)->height, 2);  // shape centre (2,2)
    EXPECT_EQ(g.at(1, 1)->height, 1);
    EXPECT_EQ(g.at(2, 0)->height, 0);

    // Off the right and bottom edges.
    const ShapeRect e = s->stamp_onto(g, 9, 7, BlitMode::Copy);
    EXPECT_EQ(e.left, 7);
    EXPECT_EQ(e.top, 5);
    EXPECT_EQ(e.right, 9);
    EXPECT_EQ(e.bottom, 7);
    EXPECT_EQ(g.at(9, 7)->height, 2);
}

TEST(StampOnto, BeyondTheGridWritesNothing) {
    auto s = built<BodyShape>(2, 0);
    SurfaceGrid g(10, 8);
    const ShapeRect r = s->stamp_onto(g, -10, -10, BlitMode::Copy);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 0);
    // Only the columns are off: the clipped rectangle is reported, nothing is written.
    const ShapeRect c = s->stamp_onto(g, -10, 4, BlitMode::Copy);
    EXPECT_EQ(c.top, 2);
    EXPECT_EQ(c.bottom, 5);
    for (const SurfacePoint& p : std::vector<SurfacePoint>(g.points, g.points + 80))
        EXPECT_EQ(p.height, 0);
}

TEST(StampOnto, TrackCopyWritesTheMarker) {
    auto s = built<TrackShape>(2, 0);
    SurfaceGrid g(6, 6);
    s->stamp_onto(g, 3, 3, BlitMode::Copy);
    const SurfacePoint* p = g.at(3, 3);
    EXPECT_EQ(p->height, 1);
    EXPECT_EQ(p->normalX, 0);
    EXPECT_EQ(p->normalY, 0);
    EXPECT_EQ(p->normalZ, 1);
    EXPECT_EQ(g.at(1, 3)->height, 0);  // shape column 0 is dry
}

TEST(StampOnto, BlendKeepsHigherWaterAndAveragesNormals) {
    auto s = built<BodyShape>(2, 0);  // centre height 2, (1,2) height 1 normal (63,0,7)
    SurfaceGrid g(6, 6);
    *g.at(3, 3) = SurfacePoint{3, -5, 2, 10};
    s->stamp_onto(g, 3, 3, BlitMode::Blend);
    EXPECT_EQ(g.at(3, 3)->height, 3);
    EXPECT_EQ(g.at(3, 3)->normalX, -5);

    auto big = built<BodyShape>(3, 0);  // centre height 3, normal (0,0,64)
    SurfaceGrid h(8, 8);
    *h.at(3, 3) = SurfacePoint{3, -5, 2, 10};
    big->stamp_onto(h, 3, 3, BlitMode::Blend);
    EXPECT_EQ(h.at(3, 3)->height, 3);
    EXPECT_EQ(h.at(3, 3)->normalX, -2);  // (-5 + 0) / 2
    EXPECT_EQ(h.at(3, 3)->normalY, 1);
    EXPECT_EQ(h.at(3, 3)->normalZ, 37);

    // Opposite signs truncate toward zero: -5 and 2 give -1.
    BodyShape hand(1, 0);
    hand.points[3] = SurfacePoint{3, 2, -2, 0};
    SurfacePoint m{3, -5, 5, 0};
    hand.blendBlit(1, 1, 1, 1, &m, 1);
    EXPECT_EQ(m.normalX, -1);
    EXPECT_EQ(m.normalY, 1);
}

}  // namespace
