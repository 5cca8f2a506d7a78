#pragma once

#include <cstdint>

// How the drops move and grow; each rain field reads its own copy.
struct RainTuning {
    std::int32_t reference_radius;
    std::int32_t track_speed;
    std::int32_t primary_start_chance;
    std::int32_t secondary_start_chance;
    std::int32_t wiggle_chance;
    std::int32_t primary_speed_mean;
    std::int32_t primary_speed_spread;
    std::int32_t secondary_speed_mean;
    std::int32_t secondary_speed_spread;
    std::int32_t wiggle_speed_mean;
    std::int32_t wiggle_speed_spread;
    std::int32_t slide_acceleration;
    std::int32_t drift_speed;
    std::int32_t wiggle_duration_max;
    std::int32_t merge_divisor;
    std::int32_t stop_radius;
    std::int32_t rest_growth;
    std::int32_t motion_loss;
};

// The values chosen for the look, before any scaling.
const RainTuning& rainTuningDefaults();

// The defaults with the speed-like members scaled by maxRadius / reference_radius (truncated
// toward zero).
RainTuning rainTuningFor(std::int32_t maxRadius);
