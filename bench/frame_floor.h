#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "bench/frame_fixture.h"
#include "render/tracer/tracer.h"

// The frame's own memory floor: every access the frame made to the map and the two pictures,
// re-derived and replayed without the arithmetic between them.
namespace bench {

// One frame's accesses to the map, the source picture and the destination picture, as byte
// offsets from each one's start, in the order the tracer makes them, and those starts.
struct FrameAccesses {
    std::vector<std::size_t> map, source, dest;
    const std::uint8_t *mapStart, *sourceStart, *destStart;
};

// What the tracer reads and writes for the rectangles the last frame traced, re-derived from
// those rectangles and the map as it left them, the way the 32 bpp refraction and smoothing
// walk them. The one thing not followed is the track jitter, which moves a track point's
// source read by at most one pixel along its row.
inline FrameAccesses accessesOfLastFrame(FrameFixture& f) {
    const std::int32_t distance = TracerOptions{}.distanceToDesktop;  // the saver's
    const WaterSurface& water = f.loop.waterSurface();
    const SurfaceGrid& grid = water.grid();
    const std::int32_t w = grid.map_width, h = grid.map_height;
    const TraceMap map{grid.points, w, h};
    const std::size_t sourcePitch = static_cast<std::size_t>(f.pictures.cleanPicture().row(1) -
                                                             f.pictures.cleanPicture().row(0));
    const std::size_t destPitch = f.work.description().pitch;
    const auto mapOffset = [&](std::int32_t x, std::int32_t y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 4 +
               static_cast<std::size_t>(x) * 4;
    };
    FrameAccesses a;
    a.mapStart = reinterpret_cast<const std::uint8_t*>(grid.at(0, 0));
    a.sourceStart = f.pictures.cleanPicture().row(0);
    a.destStart = f.work.bytes().data();
    for (const DirtyRect& r : f.loop.traced()) {
        // The refraction: every point's record, then for a wet one its ray's landing pixel and
        // the pixel written.
        for (std::int32_t y = r.top; y <= r.bottom; ++y) {
            for (std::int32_t x = r.left; x <= r.right; ++x) {
                a.map.push_back(mapOffset(x, y));
                const SurfacePoint& p = *grid.at(x, y);
                if (p.height == 0) continue;
                const MapPosition landing = rayLanding(map, x, y, distance);
                a.source.push_back(static_cast<std::size_t>(landing.y) * sourcePitch +
                                   static_cast<std::size_t>(landing.x) * 4);
                a.dest.push_back(static_cast<std::size_t>(y) * destPitch +
                                 static_cast<std::size_t>(x) * 4);
            }
        }
        // The smoothing: from the first wet inner point of each inner row, three pixels a
        // point (the next column) and the centre of a wet one.
        const std::int32_t first = std::max(r.left, 1), last = std::min(r.right, w - 2);
        for (std::int32_t y = std::max(r.top, 1); y <= r.bottom && y < h - 1; ++y) {
            std::int32_t x = first;
            for (; x <= last; ++x) {
                a.map.push_back(mapOffset(x, y));
                if (grid.at(x, y)->height != 0) break;
            }
            if (x > last) continue;
            const auto column = [&](std::int32_t cx) {
                for (std::int32_t cy = y - 1; cy <= y + 1; ++cy)
                    a.dest.push_back(static_cast<std::size_t>(cy) * destPitch +
                                     static_cast<std::size_t>(cx) * 4);
            };
            column(x - 1);
            column(x);
            for (; x <= last; ++x) {
                column(x + 1);
                a.map.push_back(mapOffset(x, y));
                if (grid.at(x, y)->height != 0)
                    a.dest.push_back(static_cast<std::size_t>(y) * destPitch +
                                     static_cast<std::size_t>(x) * 4);
            }
        }
    }
    return a;
}

inline std::size_t linesTouched(const std::vector<std::size_t>& offsets, const std::uint8_t* base) {
    std::vector<std::uintptr_t> lines;
    lines.reserve(offsets.size());
    for (std::size_t o : offsets) lines.push_back(reinterpret_cast<std::uintptr_t>(base + o) >> 6);
    std::sort(lines.begin(), lines.end());
    return static_cast<std::size_t>(std::unique(lines.begin(), lines.end()) - lines.begin());
}

// Every access of the frame again, one tight loop per kind, a word loaded at each: no
// arithmetic between the loads, so what is left is the time the memory takes to give them.
inline std::uint32_t replay(const std::vector<std::size_t>& offsets, const std::uint8_t* base) {
    std::uint32_t sum = 0;
    for (std::size_t o : offsets) {
        std::uint32_t v;
        std::memcpy(&v, base + o, 4);
        sum += v;
    }
    return sum;
}

// The three kinds of a recorded frame replayed in turn; the sum keeps the loads.
inline std::uint32_t replayFrame(const FrameAccesses& a) {
    return replay(a.map, a.mapStart) + replay(a.source, a.sourceStart) +
           replay(a.dest, a.destStart);
}

}  // namespace bench
