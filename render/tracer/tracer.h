#pragma once

#include <cstddef>
#include <cstdint>

#include "render/tracer/channel_masks.h"
#include "render/tracer/surface.h"

// The water map as the tracer reads it: `width` x `height` points, row by row without gaps,
// one per pixel of the pictures.
struct TraceMap {
    const SurfacePoint* points;
    std::int32_t width;
    std::int32_t height;

    const SurfacePoint* at(std::int32_t x, std::int32_t y) const {
        return points + static_cast<std::ptrdiff_t>(y) * width + x;
    }
};

// One rectangle to trace: the points left..right, top..bottom (inclusive, inside the map) are
// drawn from `source`, the desktop seen through the glass, into `dest`. Both pictures are as
// large as the map and have the same pixel format and pitch.
struct TraceJob {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
    TraceMap map;
    SurfaceDesc source;
    SurfaceDesc dest;
};

// Which code traces the usual 32-bit layout (8 bits each of red, green and blue at bits 16, 8
// and 0). Both draw the same bytes; every other layout and depth has one code only.
enum class TracePath {
    Sse2,      // SSE2 where the build has it (every build of ours does), else the portable code
    Portable,  // the portable code, compiled in every build so that tests compare it with Sse2
};

// What the tracer draws. The defaults are the values the saver runs with.
struct TracerOptions {
    std::int32_t distanceToDesktop = 8;  // from the glass to the desktop, in height units
    bool antiAlias = true;               // smooth the drawn points; without it tracks darken
    bool tracks = true;                  // jitter the rays through tracks along their row
    bool lighting = true;                // highlight drop water (never at 8 bits a pixel)
    TracePath path = TracePath::Sse2;
};

// A map position: a column and a row.
struct MapPosition {
    std::int32_t x;
    std::int32_t y;
};

// Where the ray seen through the wet point (x, y) of `map` lands on the source picture at the
// given distance to the desktop, wrapped into the map. A track's jitter, which moves the landing
// by at most one column before the wrap, is left out.
MapPosition rayLanding(const TraceMap& map, std::int32_t x, std::int32_t y,
                       std::int32_t distanceToDesktop);

// Asks the memory for what tracing the job will touch, without waiting for it, so that it
// arrives while earlier rectangles are traced: the rectangle's map rows and destination rows.
// It reads no tracer state and changes nothing.
void prefetchTrace(const TraceJob& job);

// The tracer of one screen: its options, the pixel format it draws in, its track jitter
// generator and the caches of its inner loops. Each screen has its own, so pictures of
// different formats are traced side by side and one screen's jitter never depends on another's.
class Tracer {
  public:
    Tracer() = default;
    Tracer(const Tracer&) = delete;
    Tracer& operator=(const Tracer&) = delete;

    // Keeps `cosnTable` (kCosnTableSize entries, used in place), decodes the destination's
    // channel masks (all 0 at 8 bits a pixel) and takes the options. The jitter generator starts
    // at 0 with the tracer and carries over between traces and set-ups.
    void setup(const std::int32_t* cosnTable, const ChannelMasks& masks,
               const TracerOptions& options = {});

    // Refracts the job's rectangle, then smooths it (or darkens its tracks), at 8, 16, 24 or 32
    // bits a pixel; other depths, and a tracer not set up, draw nothing.
    void trace(const TraceJob& job);

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

    // The passes at 1 to 4 bytes a pixel.
    template <int Bytes>
    void traceDepth(const TraceJob& job);
    template <int Bytes>
    void refract(const TraceJob& job);
    template <int Bytes>
    void antiAlias(const TraceJob& job) const;
    template <int Bytes>
    void darkenTracks(const TraceJob& job) const;
    // Whether the SSE2 code draws the usual 32-bit layout.
    bool sse2() const;

    TracerOptions options_;
    const std::int32_t* cosnTable_ = nullptr;
    // The destination's pixel format: each channel's lowest bit and largest value.
    std::uint32_t redShift_ = 0, greenShift_ = 0, blueShift_ = 0;
    std::uint32_t redMax_ = 0, greenMax_ = 0, blueMax_ = 0;
    // The jitter generator's state.
    std::uint32_t seed_ = 0;
    PointCache pointCache_;
};
