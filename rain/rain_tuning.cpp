#include "rain/rain_tuning.h"

namespace {

// Speeds are 1/256 px per step; one step is one frame.
const RainTuning kDefaults = {
    8,    // reference_radius: equal to the largest radius, so the scale factor is 1
    192,  // track_speed: a run on a wet track, three quarters of a pixel per frame
    1,    // primary_start_chance: a heavy drop breaks away now and then, not all at once
    2,    // secondary_start_chance: more often a short, slow creep that soon stalls
    12,   // wiggle_chance: runs swerve a little every so often
    420,  // primary_speed_mean: a breakaway starts in a hurry...
    120,  // primary_speed_spread: ...with some variety between drops
    90,   // secondary_speed_mean: a creep barely moves
    40,   // secondary_speed_spread
    0,    // wiggle_speed_mean: swerves go either way
    160,  // wiggle_speed_spread: up to about 0.6 px sideways per frame
    -6,   // slide_acceleration: dry glass brakes a drop until it rests again
    96,   // drift_speed: pulled toward wet glass beside it, so later drops follow old trails
    24,   // wiggle_duration_max: a swerve lasts under half a second
    3,    // merge_divisor: meeting drops flow together over a few frames
    3,    // stop_radius: tiny droplets stay put and only grow
    3,    // rest_growth: resting drops swell by about a pixel every 85 frames
    5,    // motion_loss: runners shed water into their track and shrink
};

RainTuning g_live = kDefaults;

std::int32_t scaleBy(double s, std::int32_t v) { return static_cast<std::int32_t>(s * v); }

}  // namespace

const RainTuning& rainTuningDefaults() { return kDefaults; }

const RainTuning& rainTuning() { return g_live; }

void setRainTuning(const RainTuning& tuning) { g_live = tuning; }

void setUpRainTuning(std::int32_t maxRadius) {
    RainTuning t = kDefaults;
    const double s = static_cast<double>(maxRadius) / t.reference_radius;
    t.track_speed = scaleBy(s, t.track_speed);
    t.primary_speed_mean = scaleBy(s, t.primary_speed_mean);
    t.primary_speed_spread = scaleBy(s, t.primary_speed_spread);
    t.secondary_speed_mean = scaleBy(s, t.secondary_speed_mean);
    t.secondary_speed_spread = scaleBy(s, t.secondary_speed_spread);
    t.wiggle_speed_mean = scaleBy(s, t.wiggle_speed_mean);
    t.wiggle_speed_spread = scaleBy(s, t.wiggle_speed_spread);
    t.slide_acceleration = scaleBy(s, t.slide_acceleration);
    t.drift_speed = scaleBy(s, t.drift_speed);
    t.stop_radius = scaleBy(s, t.stop_radius);
    t.rest_growth = scaleBy(s, t.rest_growth);
    t.motion_loss = scaleBy(s, t.motion_loss);
    g_live = t;
}
