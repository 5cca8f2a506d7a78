#pragma once

#include <cstdint>

// How the drops move and grow; one table for the whole run.
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

// The table the drops read; the defaults until `setUpRainTuning` runs.
const RainTuning& rainTuning();

// Scales the speed-like members by maxRadius / reference_radius (truncated toward zero).
void setUpRainTuning(std::int32_t maxRadius);

// Replaces the live table as it stands, for tests that need exact values.
void setRainTuning(const RainTuning& tuning);
