#pragma once

#include <cstdint>

#include "render/tracer/surface.h"

// The tracer of one screen: its parameters, the pixel format it draws in, its track jitter
// generator and the caches of its inner loops. Each screen has its own, so pictures of
// different formats are traced side by side and one screen's jitter never depends on another's.
class Tracer {
  public:
    Tracer() = default;
    Tracer(const Tracer&) = delete;
    Tracer& operator=(const Tracer&) = delete;

    // Parameters; the set-up step is their only writer.
    std::int32_t tracer_distance_to_desktop = 8;
    std::int32_t tracer_anti_alias = 1;
    std::int32_t tracer_tracks = 1;
    std::int32_t tracer_lighting = 1;
    const std::int32_t* tracer_cosntable = nullptr;

    // Pixel format of the destination, decoded once by tracer_init: the lowest bit of each
    // channel (stored blue, green, red) and each channel's largest value.
    std::uint8_t BitShifts[3] = {0, 0, 0};
    std::uint32_t RBitMask = 0;
    std::uint32_t GBitMask = 0;
    std::uint32_t BBitMask = 0;

    // State of the track jitter generator; starts at 0 and carries over between calls.
    std::uint32_t Seed = 0;

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

    // Highlight of pixel value `pixel` under normal (nx, ny, nz): gain 40 at 16 bpp, 220 above.
    std::uint32_t light16(std::uint32_t pixel, std::int32_t nx, std::int32_t ny,
                          std::int32_t nz) const;
    std::uint32_t light24(std::uint32_t pixel, std::int32_t nx, std::int32_t ny,
                          std::int32_t nz) const;

    // Second passes over the destination (in place), bounded by the source's size.
    void anti_alias16(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                      const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                      const SurfaceDesc* source) const;
    void anti_alias24(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                      const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                      const SurfaceDesc* source) const;
    void anti_alias32(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                      const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                      const SurfaceDesc* source) const;
    void track16(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                 const SurfaceDesc* source) const;
    void track24(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                 const SurfaceDesc* source) const;
    void track32(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                 const SurfaceDesc* source) const;

    // Pseudo-random number below n (n > 0), advancing Seed.
    std::uint32_t random(std::uint32_t n);

  private:
    // A drop's points come from a small set of records (drops are stamped from a few shapes),
    // and where a point's ray lands relative to it, and how much its highlight brightens,
    // depend on its record alone (with the distance to the desktop, the lighting and the
    // table): both are remembered per record. A hit gives exactly what the full computation
    // (a division, two products, square roots) would.
    class PointCache {
      public:
        struct Entry {
            std::uint32_t key;
            std::int32_t dx, dy;  // the ray's landing point less the point's own position
            std::uint32_t inc;    // the highlight's brightening, 0 for none
        };
        void prepare(std::int32_t distance, const std::int32_t* table, std::uint32_t gain,
                     bool lit);
        // The entry of a wet point (height above 0).
        const Entry& at(const SurfacePoint& p);

      private:
        // Out of the tracing loop's way: a frame misses a few hundred times in 67,000 points.
        [[gnu::noinline]] void fill(Entry& e, std::uint32_t key, const SurfacePoint& p);
        static constexpr int kBits = 12;
        Entry entries_[1u << kBits] = {};
        std::int32_t distance_ = 0;
        const std::int32_t* table_ = nullptr;
        std::uint32_t gain_ = 0;
        bool lit_ = false;
    };

    template <int Bytes>
    void refract(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 const SurfacePoint* points, std::int32_t map_width, std::int32_t map_height,
                 const SurfaceDesc* dest, const SurfaceDesc* source);
    template <int Bytes>
    void anti_alias(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                    const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                    const SurfaceDesc* source) const;
    template <int Bytes>
    void darken_tracks(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                       const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                       const SurfaceDesc* source) const;
    template <int Bytes>
    void trace_depth(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                     const SurfacePoint* points, std::int32_t map_width, std::int32_t map_height,
                     const SurfaceDesc* dest, const SurfaceDesc* source);

    PointCache point_cache;
};

// Asks the memory for what tracing a rectangle will touch, without waiting for it, so that it
// arrives while earlier rectangles are traced: the rectangle's map rows and destination rows.
// It reads no tracer state and changes nothing.
void trace_prefetch(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                    const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest);
