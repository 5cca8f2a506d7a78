#include "rain/rain_tuning.h"

namespace {

// What each value does to the look. Speeds are 1/256 px per step, one step is one frame (50 a
// second); slide speeds are further scaled by radius / 8, so small drops run slower.
constexpr RainTuning kDefaults = {
    8,    // reference_radius: equal to the largest radius, so the scale factor is 1
    224,  // track_speed: a big drop runs down a wet track at about 45 px a second
    1,    // primary_start_chance: a grown drop breaks away after two seconds on average
    1,    // secondary_start_chance: as often, a short creep of a few pixels that stalls
    4,    // wiggle_chance: a run swerves only now and then, so tracks stay mostly straight
    480,  // primary_speed_mean: a breakaway starts in a hurry, about 90 px a second...
    120,  // primary_speed_spread: ...some faster, some slower
    90,   // secondary_speed_mean: a creep barely moves
    40,   // secondary_speed_spread
    0,    // wiggle_speed_mean: swerves go either way
    128,  // wiggle_speed_spread: up to half a pixel sideways per frame
    -4,   // slide_acceleration: dry glass brakes a breakaway within a few hand-widths, while
          // one on an old track keeps running: later drops follow the wet trails
    64,   // drift_speed: a quarter pixel per frame toward wet glass beside the drop
    20,   // wiggle_duration_max: a swerve lasts under half a second
    3,    // merge_divisor: meeting drops flow together over a few frames
    5,    // stop_radius: drops up to radius 5 stay put and only grow, so most of the pane holds
          // resting drops and only the grown ones run
    3,    // rest_growth: resting drops swell by a pixel of radius about every 85 frames
    5,    // motion_loss: runners shed water into their track and shrink until they rest again
};

// Both are divisors, and a speed below 10 stops a drop at once: the smallest drop that may
// move (radius stop_radius + 1) must still reach that speed when a slide starts.
static_assert(kDefaults.reference_radius != 0 && kDefaults.merge_divisor != 0, "divisors");
static_assert((kDefaults.primary_speed_mean - kDefaults.primary_speed_spread) *
                      (kDefaults.stop_radius + 1) / 8 >=
                  10,
              "a breakaway must move the smallest drop that can slide");

std::int32_t scaleBy(double s, std::int32_t v) { return static_cast<std::int32_t>(s * v); }

}  // namespace

const RainTuning& rainTuningDefaults() { return kDefaults; }

RainTuning rainTuningFor(std::int32_t maxRadius) {
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
    return t;
}
