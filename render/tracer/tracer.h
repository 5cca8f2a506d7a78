#pragma once

#include <cstdint>

#include "render/tracer/surface.h"

// Parameters of the tracer; the set-up step is their only writer.
extern std::int32_t tracer_distance_to_desktop;
extern std::int32_t tracer_anti_alias;
extern std::int32_t tracer_tracks;
extern std::int32_t tracer_lighting;
extern const std::int32_t* tracer_cosntable;

// Pixel format of the destination, decoded once by tracer_init: the lowest bit of each channel
// (stored blue, green, red) and each channel's largest value.
extern std::uint8_t BitShifts[3];
extern std::uint32_t RBitMask;
extern std::uint32_t GBitMask;
extern std::uint32_t BBitMask;

// State of the track jitter generator; starts at 0 and carries over between calls.
extern std::uint32_t Seed;

void tracer_init(std::uint32_t r_mask, std::uint32_t g_mask, std::uint32_t b_mask);

// Sets the parameters to the values the saver runs with (D = 8, anti-aliasing, tracks and
// lighting on), keeps `cosntable` (129 entries, used in place) and decodes the masks.
void tracer_setup(const std::int32_t* cosntable, std::uint32_t r_mask, std::uint32_t g_mask,
                  std::uint32_t b_mask);

// Traces the inclusive rectangle; `points` addresses the map record at (left, top).
void trace(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
           const SurfacePoint* points, std::int32_t map_width, std::int32_t map_height,
           const SurfaceDesc* dest, const SurfaceDesc* source);

void trace8(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
            const SurfacePoint* points, std::int32_t map_width, std::int32_t map_height,
            const SurfaceDesc* dest, const SurfaceDesc* source);
void trace16(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
             const SurfacePoint* points, std::int32_t map_width, std::int32_t map_height,
             const SurfaceDesc* dest, const SurfaceDesc* source);
void trace24(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
             const SurfacePoint* points, std::int32_t map_width, std::int32_t map_height,
             const SurfaceDesc* dest, const SurfaceDesc* source);
void trace32(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
             const SurfacePoint* points, std::int32_t map_width, std::int32_t map_height,
             const SurfaceDesc* dest, const SurfaceDesc* source);

// Ask the memory for what tracing a rectangle will touch, without waiting for it, so that it
// arrives while earlier rectangles are traced; neither changes anything. The first takes the
// rectangle's map rows and destination rows; the second, once the map rows are at hand, the
// source pixels the refraction will read.
void trace_prefetch(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                    const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest);
void trace_prefetch_sources(std::int32_t left, std::int32_t top, std::int32_t right,
                            std::int32_t bottom, const SurfacePoint* points, std::int32_t map_width,
                            std::int32_t map_height, const SurfaceDesc* source);

// Highlight of pixel value `pixel` under normal (nx, ny, nz): gain 40 at 16 bpp, 220 above.
std::uint32_t light16(std::uint32_t pixel, std::int32_t nx, std::int32_t ny, std::int32_t nz);
std::uint32_t light24(std::uint32_t pixel, std::int32_t nx, std::int32_t ny, std::int32_t nz);

// Second passes over the destination (in place), bounded by the source's size.
void anti_alias16(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                  const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                  const SurfaceDesc* source);
void anti_alias24(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                  const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                  const SurfaceDesc* source);
void anti_alias32(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                  const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                  const SurfaceDesc* source);
void track16(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
             const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
             const SurfaceDesc* source);
void track24(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
             const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
             const SurfaceDesc* source);
void track32(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
             const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
             const SurfaceDesc* source);

// Pseudo-random number below n (n > 0), advancing Seed.
std::uint32_t random(std::uint32_t n);

// Tests only: puts the generator back to its start state. The saver never calls it.
void tracer_reset_seed_for_tests();
