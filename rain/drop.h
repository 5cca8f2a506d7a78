#pragma once

#include <cstdint>

#include "rain/drop_shape.h"

class RainField;
class RainRandom;
struct RainTuning;
class WaterSurface;

enum class MergeState : std::int32_t { None = 0, Joining = 1, Receiving = 2 };

// One drop on the pane, from landing until it runs off or joins a lower drop.
class Drop {
  public:
    static constexpr std::int32_t MaxDropRadius = 8;
    // The largest radius a drop may be born with; the mass rule brings it down to MaxDropRadius.
    static constexpr std::int32_t MaxBirthRadius = 10;
    // Bound on the arrival streak so that a wild wind cannot stall a frame.
    static constexpr std::int32_t MaxStreakRows = 4096;
    static constexpr std::int32_t MaxStreakExtent = 4096;

    // Before the first step vx and vy are the arrival streak's extent and rows.
    Drop(std::int32_t vx, std::int32_t vy, std::int32_t x, std::int32_t y, std::int32_t radius,
         WaterSurface* surface);
    virtual ~Drop() = default;
    Drop(const Drop&) = delete;
    Drop& operator=(const Drop&) = delete;

    // One frame; false when the drop must be removed.
    virtual bool step(std::int32_t width, std::int32_t height, RainField& field);
    virtual bool overlaps(std::int32_t px, std::int32_t py, std::int32_t pr) const;
    virtual void detach();

    // The partner's side of a merge.
    void makeReceiving(Drop* joining);
    void grow(std::int32_t r);

    std::int32_t vx, vy, ax, ay;
    std::int32_t x, y;
    std::int32_t radius;
    std::int32_t x_fp, y_fp;
    std::int32_t radius_fp;
    ShapeRect rect;
    MergeState merge_state;
    Drop* partner;
    WaterSurface* surface;
    std::int32_t wiggle_timer;
    std::int32_t track_start_y;

  private:
    // The steps of one frame, in the order `step` takes them.
    // First step only: the arrival streak, then the track starts where the drop lies.
    void land(std::int32_t height);
    // The old image becomes wet track; its rectangle starts this frame's `rect`.
    void eraseIntoTrack();
    // Counts a sideways wiggle down, or at its end may start another.
    void wiggle(const RainTuning& t, RainRandom& random);
    // Approaches a partner or a drop found below; false when the drop joined it and is gone.
    bool joinBelow(std::int32_t width, std::int32_t height, RainField& field);
    // A slow drop stops; a resting one may start to slide.
    void startOrRest(const RainTuning& t, RainRandom& random);
    // Moves by the speed in 24.8 fixed point, unless it is being drawn into a partner.
    void move();
    bool offScreen(std::int32_t width, std::int32_t height) const;
    // Lets go of a partner, whichever side of a merge the drop is on.
    void leaveMerge();
    // The new image; `rect` grows to hold it on the side the drop moved to.
    void stampBody(std::int32_t old_x);

    bool join(std::int32_t px, std::int32_t py, RainField& field);
    void arrive(std::int32_t height);
    void followGlass(std::int32_t width, std::int32_t height, const RainTuning& t,
                     RainRandom& random);
    void applyMass(const RainTuning& t);
    std::int32_t probe(std::int32_t px, std::int32_t py, std::int32_t width,
                       std::int32_t height) const;
    std::int32_t scaled(std::int32_t v) const;
};
