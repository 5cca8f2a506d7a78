#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "rain/drop.h"
#include "rain/rain_random.h"
#include "rain/rain_tuning.h"
#include "rain/spot_grid.h"

class RainParameters;
class WaterSurface;

// The live drops: spawns them, steps them once per frame and removes those that are done.
class RainField {
  public:
    static constexpr std::int32_t MaxDensity = 50;
    // Streaks longer than this are cut; see Drop::MaxStreakRows.
    static constexpr std::int32_t MaxWind = 4096;

    // The drops draw from `random` and move by `tuning`; both belong to this screen alone and
    // must outlive the field.
    RainField(std::int32_t width, std::int32_t height, WaterSurface* surface, RainRandom& random,
              const RainTuning& tuning);
    virtual ~RainField();
    RainField(const RainField&) = delete;
    RainField& operator=(const RainField&) = delete;

    void configure(const RainParameters& params);
    // One frame: spawn, then step every drop.
    void step();
    void spawn();
    void stepDrops();
    virtual Drop* findOverlapping(std::int32_t px, std::int32_t py, std::int32_t pr) const;
    void clear();

    // Appends an already made drop; the field owns it from now on.
    void add(std::unique_ptr<Drop> drop);
    const std::vector<std::unique_ptr<Drop>>& drops() const { return drops_; }
    RainRandom& random() { return random_; }
    const RainTuning& tuning() const { return tuning_; }

  private:
    void takeSpot(std::size_t i);
    static constexpr std::size_t kNotStepping = static_cast<std::size_t>(-1);

    std::vector<std::unique_ptr<Drop>> drops_;
    // Positions and radius bounds at the start of the current pass, refreshed after each
    // drop's step; unsigned so that distances wrap instead of overflowing.
    std::vector<std::uint32_t> spot_x_, spot_y_, spot_radius_;
    // The same snapshot sorted into cells, with the largest radius bound in it.
    SpotGrid spots_;
    std::uint32_t largest_spot_radius_ = 0;
    mutable std::vector<std::uint32_t> candidates_;
    std::size_t stepping_ = kNotStepping;
    std::set<Drop*> removal_;
    float density_ = 0.0f;
    std::int32_t width_;
    std::int32_t height_;
    std::int32_t wind_x_ = 0;
    std::int32_t wind_y_ = 0;
    std::int32_t min_radius_ = 1;
    std::int32_t radius_spread_ = 0;
    WaterSurface* surface_;
    RainRandom& random_;
    const RainTuning& tuning_;
};
