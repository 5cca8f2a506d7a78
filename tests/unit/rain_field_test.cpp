#include "rain/rain_field.h"

#include <gtest/gtest.h>

#include "rain/drop.h"
#include "rain/rain_random.h"
#include "rain/rain_tuning.h"
#include "rain/water_surface.h"
#include "settings/saver_settings.h"

namespace {

struct Params : RainParameters {
    int d = 25, wx = 0, wy = 0, minR = 2, spread = 3;
    int density() const override { return d; }
    int windX() const override { return wx; }
    int windY() const override { return wy; }
    int minDropRadius() const override { return minR; }
    int dropRadiusSpread() const override { return spread; }
};

class RainFieldTest : public ::testing::Test {
  protected:
    WaterSurface surface{320, 240, 10};
    RainRandom random{42};
    RainTuning tuning = rainTuningFor(Drop::MaxDropRadius);
    RainField field{320, 240, &surface, random, tuning};
};

TEST_F(RainFieldTest, SpawnRangesWithoutWind) {
    Params p;
    p.d = 50;
    field.configure(p);
    for (int i = 0; i < 400; ++i) field.spawn();
    ASSERT_FALSE(field.drops().empty());
    for (const auto& d : field.drops()) {
        EXPECT_GE(d->vy, 0);
        EXPECT_LE(d->vy, 20);
        EXPECT_GE(d->vx, -19);
        EXPECT_LE(d->vx, 20);
        EXPECT_GE(d->radius, 2);
        EXPECT_LE(d->radius, 4);
        EXPECT_EQ(d->wiggle_timer, -1);
    }
}

TEST_F(RainFieldTest, DensityControlsTheRate) {
    Params p;
    p.d = 0;
    field.configure(p);
    for (int i = 0; i < 200; ++i) field.spawn();
    EXPECT_TRUE(field.drops().empty());

    p.d = 50;
    field.configure(p);
    int framesWithDrop = 0;
    const int frames = 4000;
    for (int i = 0; i < frames; ++i) {
        const std::size_t before = field.drops().size();
        field.spawn();
        if (field.drops().size() > before) ++framesWithDrop;
        field.clear();
    }
    // Half the frames; 4000 trials put three standard deviations at about 95.
    EXPECT_GT(framesWithDrop, 1800);
    EXPECT_LT(framesWithDrop, 2200);
}

TEST_F(RainFieldTest, RadiusRangeFromMinimumAndSpread) {
    Params p;
    p.d = 50;
    p.minR = 4;
    p.spread = 5;
    field.configure(p);
    bool sawFour = false, sawEight = false;
    for (int i = 0; i < 2000; ++i) field.spawn();
    for (const auto& d : field.drops()) {
        EXPECT_GE(d->radius, 4);
        EXPECT_LE(d->radius, 8);
        sawFour |= d->radius == 4;
        sawEight |= d->radius == 8;
    }
    EXPECT_TRUE(sawFour && sawEight);
    field.clear();
    p.minR = 6;
    p.spread = 0;
    field.configure(p);
    for (int i = 0; i < 200; ++i) field.spawn();
    for (const auto& d : field.drops()) EXPECT_EQ(d->radius, 6);
}

TEST_F(RainFieldTest, ClearEmptiesAndRainResumes) {
    Params p;
    p.d = 50;
    field.configure(p);
    for (int i = 0; i < 50; ++i) field.step();
    EXPECT_FALSE(field.drops().empty());
    field.clear();
    EXPECT_TRUE(field.drops().empty());
    for (int i = 0; i < 50; ++i) field.step();
    EXPECT_FALSE(field.drops().empty());
}

// Remembers whether a drop already removed this pass could still be found.
class ProbingDrop : public Drop {
  public:
    ProbingDrop(int x, int y, bool leave, Drop** target, bool* found, WaterSurface* s)
        : Drop(0, 0, x, y, 3, s), leave_(leave), target_(target), found_(found) {}
    bool step(std::int32_t w, std::int32_t h, RainField& f) override {
        if (leave_) return false;
        *found_ = f.findOverlapping((*target_)->x, (*target_)->y, 1) == *target_;
        return Drop::step(w, h, f);
    }

  private:
    bool leave_;
    Drop** target_;
    bool* found_;
};

TEST_F(RainFieldTest, RemovedDropIsNotFoundDuringThePass) {
    Drop* first = nullptr;
    bool found = true;
    field.add(std::make_unique<ProbingDrop>(50, 50, true, &first, &found, &surface));
    first = field.drops().front().get();
    EXPECT_EQ(field.findOverlapping(50, 50, 1), first);
    field.add(std::make_unique<ProbingDrop>(200, 100, false, &first, &found, &surface));
    field.stepDrops();
    EXPECT_FALSE(found);
    ASSERT_EQ(field.drops().size(), 1u);
    EXPECT_EQ(field.findOverlapping(50, 50, 1), nullptr);
}

TEST_F(RainFieldTest, WildSettingsAreBounded) {
    const int cases[][4] = {{1000, 0, -3, 0}, {50, 50, 100, 1 << 30}, {-7, 0, 3, -(1 << 30)}};
    for (const auto& c : cases) {
        Params p;
        p.d = c[0];
        p.minR = c[1];
        p.spread = c[2];
        p.wx = c[3];
        p.wy = c[3];
        field.configure(p);
        for (int i = 0; i < 60; ++i) {
            field.step();
            for (const auto& d : field.drops()) {
                EXPECT_GE(d->radius, 1);
                EXPECT_LE(d->radius, Drop::MaxBirthRadius);
            }
        }
        field.clear();
        surface.clear();
    }
}

// Jumps to a new place in its step, or asks the field what lies at two places.
class JumpingDrop : public Drop {
  public:
    JumpingDrop(int x, int y, WaterSurface* s) : Drop(0, 0, x, y, 3, s) {}
    bool step(std::int32_t, std::int32_t, RainField& f) override {
        if (jumpTo >= 0) {
            x = jumpTo;
            return true;
        }
        if (selfJump >= 0) x = selfJump;
        foundAtNew = f.findOverlapping(newX, 100, 1);
        foundAtOld = f.findOverlapping(oldX, 100, 1);
        return true;
    }
    int jumpTo = -1, selfJump = -1, newX = 0, oldX = 0;
    Drop* foundAtNew = nullptr;
    Drop* foundAtOld = nullptr;
};

TEST_F(RainFieldTest, LookupDuringThePassSeesWhereDropsAreNow) {
    field.add(std::make_unique<JumpingDrop>(40, 100, &surface));
    field.add(std::make_unique<JumpingDrop>(300, 20, &surface));
    auto* mover = static_cast<JumpingDrop*>(field.drops()[0].get());
    auto* asker = static_cast<JumpingDrop*>(field.drops()[1].get());
    mover->jumpTo = 200;
    asker->newX = 200;
    asker->oldX = 40;
    field.stepDrops();
    EXPECT_EQ(asker->foundAtNew, mover);  // moved earlier in this pass
    EXPECT_EQ(asker->foundAtOld, nullptr);

    // The drop being stepped is found where it stands at the moment of asking.
    mover->jumpTo = -1;
    mover->selfJump = 120;
    mover->newX = 120;
    mover->oldX = 200;
    asker->newX = asker->oldX = 0;
    field.stepDrops();
    EXPECT_EQ(mover->foundAtNew, mover);
    EXPECT_EQ(mover->foundAtOld, nullptr);

    // Outside a pass the drops' fields answer directly.
    mover->x = 10;
    EXPECT_EQ(field.findOverlapping(10, 100, 1), mover);
    EXPECT_EQ(field.findOverlapping(120, 100, 1), nullptr);
}

TEST_F(RainFieldTest, MergeInsideThePassAbsorbsTheUpperDrop) {
    tuning.primary_start_chance = tuning.secondary_start_chance = tuning.wiggle_chance = 0;
    tuning.stop_radius = tuning.rest_growth = tuning.motion_loss = 0;
    field.add(std::make_unique<Drop>(0, 0, 100, 110, 4, &surface));
    field.add(std::make_unique<Drop>(0, 0, 100, 100, 4, &surface));
    Drop* lower = field.drops()[0].get();
    for (int i = 0; i < 20 && field.drops().size() == 2; ++i) field.stepDrops();
    ASSERT_EQ(field.drops().size(), 1u);
    EXPECT_EQ(field.drops()[0].get(), lower);
    EXPECT_EQ(lower->radius, 5);
    EXPECT_EQ(lower->partner, nullptr);
    EXPECT_EQ(lower->merge_state, MergeState::None);
}

TEST_F(RainFieldTest, SpawnRangesFollowTheWind) {
    Params p;
    p.d = 50;
    p.wx = 30;
    p.wy = 10;
    field.configure(p);
    for (int i = 0; i < 4000; ++i) field.spawn();
    ASSERT_GT(field.drops().size(), 1000u);
    int noStreak = 0;
    for (const auto& d : field.drops()) {
        EXPECT_GE(d->vx, 11);
        EXPECT_LE(d->vx, 50);
        EXPECT_GE(d->vy, 0);
        EXPECT_LE(d->vy, 30);
        EXPECT_GE(d->x, -d->vx);
        EXPECT_LE(d->x, 319);
        EXPECT_GE(d->y, -d->vy);
        EXPECT_LE(d->y, 239);
        noStreak += d->vy == 0;
    }
    // No streak when rnd(40) >= 30: a quarter of the drops.
    const double share = double(noStreak) / double(field.drops().size());
    EXPECT_GT(share, 0.20);
    EXPECT_LT(share, 0.30);
}

TEST_F(RainFieldTest, DamagedSettingsGiveBoundedDropsAtBirth) {
    const struct {
        int density, minR, spread, radiusLow, radiusHigh;
    } cases[] = {
        {1000, 0, -3, 1, 1},    // density beyond 50 acts as 50; spread below 0: minimum only
        {50, 50, 100, 10, 10},  // a minimum beyond the tables is the largest radius
        {50, 4, -3, 4, 4},     {50, 0, 0, 1, 1}, {50, 9, 5, 9, 10},
    };
    for (const auto& c : cases) {
        Params p;
        p.d = c.density;
        p.minR = c.minR;
        p.spread = c.spread;
        field.configure(p);
        int framesWithDrop = 0;
        for (int i = 0; i < 2000; ++i) {
            const std::size_t before = field.drops().size();
            field.spawn();
            framesWithDrop += field.drops().size() > before;
        }
        EXPECT_GT(framesWithDrop, 880) << c.density;  // half of 2000, give or take 3 sigma
        EXPECT_LT(framesWithDrop, 1120) << c.density;
        for (const auto& d : field.drops()) {
            ASSERT_GE(d->radius, c.radiusLow) << c.minR << " " << c.spread;
            ASSERT_LE(d->radius, c.radiusHigh) << c.minR << " " << c.spread;
        }
        // Their first steps use shapes inside the tables and leave them at most MaxDropRadius.
        field.stepDrops();
        for (const auto& d : field.drops()) EXPECT_LE(d->radius, Drop::MaxDropRadius);
        field.clear();
        surface.clear();
    }
    Params none;
    none.d = -7;
    field.configure(none);
    for (int i = 0; i < 200; ++i) field.spawn();
    EXPECT_TRUE(field.drops().empty());
}

}  // namespace
