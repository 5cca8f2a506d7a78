#include "rain/drop.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "rain/rain_field.h"
#include "rain/rain_random.h"
#include "rain/rain_tuning.h"
#include "rain/water_surface.h"

namespace {

struct StampCall {
    std::int32_t x, y, radius, tail;
    ShapeKind kind;
    bool blend;
};

// Records what a drop draws and answers heights from a sparse map (dry everywhere else).
class RecordingSurface : public WaterSurface {
  public:
    RecordingSurface(std::int32_t w, std::int32_t h) : WaterSurface(w, h, 10) {}
    void addDirty(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) override {
        dirty.push_back({a, b, c, d});
    }
    std::uint32_t heightAt(std::int32_t x, std::int32_t y) const override {
        auto it = heights.find({x, y});
        return it == heights.end() ? 0u : it->second;
    }
    ShapeRect stamp(std::int32_t x, std::int32_t y, std::int32_t r, std::int32_t t,
                    ShapeKind k) override {
        calls.push_back({x, y, r, t, k, false});
        return {x - r, y - r - t, x + r, y + r};
    }
    ShapeRect stampBlend(std::int32_t x, std::int32_t y, std::int32_t r, std::int32_t t,
                         ShapeKind k) override {
        calls.push_back({x, y, r, t, k, true});
        return {x - r, y - r - t, x + r, y + r};
    }
    std::vector<StampCall> calls;
    std::vector<ShapeRect> dirty;
    std::map<std::pair<int, int>, std::uint32_t> heights;
};

// A table whose chances are all zero, so no draw changes a drop's course unless a test asks.
RainTuning quietTuning() {
    RainTuning t = rainTuningDefaults();
    t.primary_start_chance = 0;
    t.secondary_start_chance = 0;
    t.wiggle_chance = 0;
    t.stop_radius = 0;
    t.rest_growth = 0;
    t.motion_loss = 0;
    return t;
}

class DropTest : public ::testing::Test {
  protected:
    RecordingSurface surface{200, 200};
    RainRandom random{1234};
    RainTuning tuning = quietTuning();
    RainField field{200, 200, &surface, random, tuning};
};

TEST_F(DropTest, ArrivalStreakFollowsTheWindAndGrows) {
    Drop d(-10, 5, 100, 50, 6, &surface);
    ASSERT_TRUE(d.step(200, 200, field));
    ASSERT_GE(surface.calls.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(surface.calls[i].y, 50 + i);
        EXPECT_EQ(surface.calls[i].x, 100 - 2 * i);
        EXPECT_EQ(surface.calls[i].radius, i + 1);
        EXPECT_EQ(surface.calls[i].kind, ShapeKind::Track);
        EXPECT_EQ(surface.calls[i].tail, 0);
    }
    EXPECT_EQ(d.track_start_y, 54);
    EXPECT_EQ(d.x, 92);

    Drop still(0, 0, 30, 40, 4, &surface);
    surface.calls.clear();
    ASSERT_TRUE(still.step(200, 200, field));
    ASSERT_EQ(surface.calls.size(), 2u);  // erase and body only
    EXPECT_EQ(surface.calls[0].x, 30);
    EXPECT_EQ(surface.calls[1].kind, ShapeKind::Body);
    EXPECT_EQ(still.y, 40);
    EXPECT_EQ(still.vy, 0);
}

TEST_F(DropTest, WildStreakIsBounded) {
    Drop d(2000000000, 2000000000, 10, 10, 5, &surface);
    d.step(200, 200, field);
    EXPECT_LE(surface.calls.size(), static_cast<std::size_t>(Drop::MaxStreakRows) + 2);
}

TEST_F(DropTest, SlowDropStopsAndSmallDropCannotMove) {
    // Dry glass below: speed + acceleration 9 stops at once.
    Drop d(0, 0, 100, 100, 6, &surface);
    d.step(200, 200, field);
    d.vy = 12;
    d.ay = -3;
    d.step(200, 200, field);
    EXPECT_EQ(d.vy, 0);
    EXPECT_EQ(d.ay, 0);
    EXPECT_EQ(d.y, 100);

    RainTuning t = quietTuning();
    t.primary_start_chance = 100;
    t.stop_radius = 3;
    t.rest_growth = 128;
    tuning = t;
    Drop small(0, 0, 50, 50, 3, &surface);
    small.step(200, 200, field);
    EXPECT_EQ(small.y, 50);  // a slide start was drawn, yet it stays
    EXPECT_EQ(small.radius_fp, 3 * 256 + 128);
    small.step(200, 200, field);
    EXPECT_EQ(small.radius, 4);
    EXPECT_EQ(small.y, 50);
    small.step(200, 200, field);
    EXPECT_GT(small.y_fp, 50 * 256);  // grown past the stop radius, it slides
}

TEST_F(DropTest, RadiusIsClampedForTheBodyAndAtBirth) {
    RainTuning t = quietTuning();
    t.rest_growth = 1000;
    tuning = t;
    Drop d(0, 0, 100, 100, 9, &surface);
    d.step(200, 200, field);
    ASSERT_EQ(surface.calls.size(), 2u);
    EXPECT_EQ(surface.calls[0].radius, 9);
    EXPECT_EQ(surface.calls[0].kind, ShapeKind::Track);
    EXPECT_EQ(surface.calls[1].radius, 8);
    for (int i = 0; i < 5; ++i) d.step(200, 200, field);
    EXPECT_GT(d.radius_fp, 8 * 256);
    EXPECT_EQ(d.radius, 8);

    Drop huge(0, 0, 10, 10, 5000, &surface);
    EXPECT_EQ(huge.radius, Drop::MaxBirthRadius);
    Drop none(0, 0, 10, 10, -4, &surface);
    EXPECT_EQ(none.radius, 1);
}

TEST_F(DropTest, MergeAbsorbsTheUpperDropAndGrowsTheLower) {
    auto lower = std::make_unique<Drop>(0, 0, 100, 110, 4, &surface);
    auto upper = std::make_unique<Drop>(0, 0, 100, 100, 4, &surface);
    Drop* lo = lower.get();
    Drop* up = upper.get();
    field.add(std::move(lower));
    field.add(std::move(upper));
    lo->step(200, 200, field);
    bool alive = true;
    int steps = 0;
    while (alive && steps < 20) {
        alive = up->step(200, 200, field);
        if (alive) {
            const int dx = up->x - lo->x, dy = up->y - lo->y;
            EXPECT_GT(dx * dx + dy * dy, 4);
            EXPECT_EQ(up->merge_state, MergeState::Joining);
        }
        ++steps;
    }
    EXPECT_FALSE(alive);
    const int dx = up->x - lo->x, dy = up->y - lo->y;
    EXPECT_LE(dx * dx + dy * dy, 4);  // (4 + 4) / 4 = 2 pixels
    EXPECT_EQ(lo->radius, 5);
    EXPECT_EQ(lo->merge_state, MergeState::None);
    EXPECT_EQ(lo->partner, nullptr);

    Drop a(0, 0, 10, 10, 8, &surface);
    a.grow(8);
    EXPECT_EQ(a.radius, 8);
    EXPECT_EQ(a.radius_fp, 8 * 256);
}

TEST_F(DropTest, LeavesOnlyBeyondTheMargin) {
    // No speed at all, wet or dry, so the drop stays where it is placed whatever lies around
    // it, and only the margin rule decides.
    RainTuning t = quietTuning();
    t.track_speed = 0;
    t.drift_speed = 0;
    t.primary_speed_mean = t.primary_speed_spread = 0;
    t.slide_acceleration = 0;
    tuning = t;
    const struct {
        int x, y;
        bool stays;
    } cases[] = {{-5, 100, false}, {-4, 100, true},  {205, 100, false}, {204, 100, true},
                 {100, -5, false}, {100, -4, true},  {100, 205, false}, {100, 204, true},
                 {-5, -5, false},  {204, 204, true}, {-4, 205, false}};
    for (const auto& c : cases) {
        Drop d(0, 0, c.x, c.y, 4, &surface);
        EXPECT_EQ(d.step(200, 200, field), c.stays) << c.x << ", " << c.y;
        EXPECT_EQ(d.x, c.x);
        EXPECT_EQ(d.y, c.y);
    }
    // A drop that leaves still reports the rectangle of its erased image.
    surface.dirty.clear();
    Drop gone(0, 0, 205, 100, 4, &surface);
    ASSERT_FALSE(gone.step(200, 200, field));
    ASSERT_EQ(surface.dirty.size(), 1u);
    EXPECT_EQ(surface.dirty[0].left, 201);
}

TEST_F(DropTest, PartnerThatLeavesIsDetachedTheSameStep) {
    auto lower = std::make_unique<Drop>(0, 0, 100, 199, 8, &surface);
    auto upper = std::make_unique<Drop>(0, 0, 100, 170, 8, &surface);
    Drop* lo = lower.get();
    Drop* up = upper.get();
    field.add(std::move(lower));
    field.add(std::move(upper));
    lo->step(200, 200, field);
    up->step(200, 200, field);
    ASSERT_EQ(up->merge_state, MergeState::Joining);
    ASSERT_EQ(lo->merge_state, MergeState::Receiving);
    lo->vy = 20 * 256;  // runs off the bottom this step
    EXPECT_FALSE(lo->step(200, 200, field));
    EXPECT_EQ(up->merge_state, MergeState::None);
    EXPECT_EQ(up->partner, nullptr);
}

TEST_F(DropTest, ChangedRectangleMovingRight) {
    Drop d(0, 0, 100, 100, 4, &surface);
    d.step(200, 200, field);
    d.x_fp = 100 * 256 + 200;              // the drift of under a pixel takes it to column 101
    surface.heights[{100, 100 + 10}] = 1;  // wet below: it runs
    surface.heights[{106, 106}] = 1;       // wet to the right only: pulled right
    surface.calls.clear();
    surface.dirty.clear();
    ASSERT_TRUE(d.step(200, 200, field));
    ASSERT_EQ(d.x, 101);
    ASSERT_EQ(surface.calls.size(), 2u);
    const ShapeRect r = surface.dirty.back();
    EXPECT_EQ(r.left, 96);
    EXPECT_EQ(r.top, 96);
    EXPECT_EQ(r.right, 105);
    EXPECT_EQ(r.bottom, d.y + 4);
    EXPECT_EQ(d.rect.right, 105);
}

TEST_F(DropTest, ProbeOutsideTheScreenCountsAsTrack) {
    // A drop at the bottom edge: below is off-screen (1), so it runs at track speed.
    Drop d(0, 0, 100, 197, 4, &surface);
    d.step(200, 200, field);
    EXPECT_GE(d.vy, 10);
    EXPECT_TRUE(d.overlaps(100, 197 + 8, 4));
    EXPECT_FALSE(d.overlaps(100, 197 + 9, 4));
}

}  // namespace
