#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_presentation.h"
#include "bench/frame_fixture.h"

// The cost of one frame of rain once the pane has settled (the drops' step and the trace of
// what they changed, at 32 bpp over memory surfaces), beside a copy of one whole frame: the
// saver copies the work surface to the screen every frame anyway, so a frame that costs no
// more than that copy keeps the saver's own share of the machine small.
namespace {

using bench::FrameFixture;

// The library calls a benchmark several times while it sizes the run; the fixture is built
// once per size and density and kept until the next one is asked for, so at most one large
// pane is in memory.
FrameFixture& fixtureFor(std::int32_t w, std::int32_t h, int density) {
    static std::unique_ptr<FrameFixture> current;
    if (!current || current->width != w || current->height != h || current->density != density) {
        current.reset();
        current = std::make_unique<FrameFixture>(w, h, density);
    }
    return *current;
}

void BM_Frame(benchmark::State& state, std::int32_t w, std::int32_t h, int density) {
    FrameFixture& f = fixtureFor(w, h, density);
    for (auto _ : state) {
        f.frame();
        benchmark::DoNotOptimize(f.work.bytes().data());
        benchmark::ClobberMemory();
    }
    state.counters["drops"] = static_cast<double>(f.loop.rainField().drops().size());
}

// Deciding what of a frame goes to the screen: the traced rectangles merged into areas.
void BM_PresentPlan(benchmark::State& state, std::int32_t w, std::int32_t h, int density) {
    FrameFixture& f = fixtureFor(w, h, density);
    f.frame();
    const std::vector<DirtyRect> traced = f.loop.waterSurface().traced();
    FramePresentation presentation;
    presentation.plan(traced, w, h, 0);
    std::size_t areas = 0;
    for (auto _ : state) {
        // Never a second after the first, whole plan: every plan merges.
        presentation.plan(traced, w, h, 1);
        areas = presentation.areas().size();
    }
    state.counters["rects"] = static_cast<double>(traced.size());
    state.counters["areas"] = static_cast<double>(areas);
}

// One frame's accesses to the map, the source picture and the destination picture, as byte
// offsets from each one's start, in the order the tracer makes them.
struct FrameAccesses {
    std::vector<std::size_t> map, source, dest;
};

// What the tracer reads and writes for the rectangles the last frame traced, re-derived from
// those rectangles and the map as it left them, the way the 32 bpp refraction and smoothing
// walk them. The one thing not followed is the track jitter, which moves a track point's
// source read by at most one pixel along its row.
FrameAccesses accessesOfLastFrame(FrameFixture& f) {
    constexpr std::int32_t kDistance = 8;  // the distance to the desktop the saver runs with
    const WaterSurface& water = f.loop.waterSurface();
    const SurfaceGrid& grid = water.grid();
    const std::int32_t w = grid.map_width, h = grid.map_height;
    const std::size_t sourcePitch = static_cast<std::size_t>(f.pictures.cleanPicture().row(1) -
                                                             f.pictures.cleanPicture().row(0));
    const std::size_t destPitch = f.work.description().Pitch;
    const auto mapOffset = [&](std::int32_t x, std::int32_t y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 4 +
               static_cast<std::size_t>(x) * 4;
    };
    const auto wrap = [](std::int32_t s, std::int32_t size) {
        if (s < 0) return (size - 1) + s % size;
        return s >= size ? s % size : s;
    };
    FrameAccesses a;
    for (const DirtyRect& r : water.traced()) {
        // The refraction: every point's record, then for a wet one its ray's landing pixel and
        // the pixel written.
        for (std::int32_t y = r.top; y <= r.bottom; ++y) {
            for (std::int32_t x = r.left; x <= r.right; ++x) {
                a.map.push_back(mapOffset(x, y));
                const SurfacePoint& p = *grid.at(x, y);
                if (p.height == 0) continue;
                const std::int32_t n = static_cast<std::int32_t>(
                    static_cast<std::uint32_t>(kDistance - static_cast<std::int32_t>(p.height)) *
                    4096u);
                const std::int32_t t = p.normal_z == 0 ? 2147483647 : n / p.normal_z;
                const auto shift = [&](std::int32_t v, std::int8_t normal) {
                    return static_cast<std::int32_t>(
                        static_cast<std::uint32_t>(v) +
                        static_cast<std::uint32_t>(
                            static_cast<std::int32_t>(static_cast<std::uint32_t>(t) *
                                                      static_cast<std::uint32_t>(normal)) >>
                            12));
                };
                const std::int32_t sx = wrap(shift(x, p.normal_x), w);
                const std::int32_t sy = wrap(shift(y, p.normal_y), h);
                a.source.push_back(static_cast<std::size_t>(sy) * sourcePitch +
                                   static_cast<std::size_t>(sx) * 4);
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

std::size_t linesTouched(const std::vector<std::size_t>& offsets, const std::uint8_t* base) {
    std::vector<std::uintptr_t> lines;
    lines.reserve(offsets.size());
    for (std::size_t o : offsets) lines.push_back(reinterpret_cast<std::uintptr_t>(base + o) >> 6);
    std::sort(lines.begin(), lines.end());
    return static_cast<std::size_t>(std::unique(lines.begin(), lines.end()) - lines.begin());
}

// Every access of the frame again, one tight loop per kind, a word loaded at each: no
// arithmetic between the loads, so what is left is the time the memory takes to give them.
std::uint32_t replay(const std::vector<std::size_t>& offsets, const std::uint8_t* base) {
    std::uint32_t sum = 0;
    for (std::size_t o : offsets) {
        std::uint32_t v;
        std::memcpy(&v, base + o, 4);
        sum += v;
    }
    return sum;
}

// The frame's own memory floor: on the pane Frame has just timed, one more frame is drawn, its
// accesses are recorded and then replayed, the fixture's pictures and map untouched.
void BM_FrameFloor(benchmark::State& state, std::int32_t w, std::int32_t h, int density) {
    FrameFixture& f = fixtureFor(w, h, density);
    f.frame();
    const FrameAccesses a = accessesOfLastFrame(f);
    const auto* map = reinterpret_cast<const std::uint8_t*>(f.loop.waterSurface().grid().at(0, 0));
    const std::uint8_t* source = f.pictures.cleanPicture().row(0);
    const std::uint8_t* dest = f.work.bytes().data();
    for (auto _ : state) {
        std::uint32_t sink = replay(a.map, map);
        sink += replay(a.source, source);
        sink += replay(a.dest, dest);
        benchmark::DoNotOptimize(sink);
    }
    state.counters["map_lines"] = static_cast<double>(linesTouched(a.map, map));
    state.counters["source_lines"] = static_cast<double>(linesTouched(a.source, source));
    state.counters["dest_lines"] = static_cast<double>(linesTouched(a.dest, dest));
    state.counters["accesses"] =
        static_cast<double>(a.map.size() + a.source.size() + a.dest.size());
}

void BM_FullFrameCopy(benchmark::State& state, std::int32_t w, std::int32_t h) {
    const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4;
    std::vector<std::uint8_t> from(bytes, 0x5A), to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}

struct Size {
    std::int32_t w, h;
};

std::string sizeName(const Size& s) { return std::to_string(s.w) + "x" + std::to_string(s.h); }

const bool kRegistered = [] {
    const Size hd{1280, 720}, fhd{1920, 1080}, uhd{3840, 2160};
    const struct {
        Size size;
        int density;
    } frames[] = {{hd, 25}, {fhd, 25}, {fhd, 50}, {uhd, 50}};
    // A frame's floor straight after the frame, on the same pane: the scene is still filling
    // up after the warm-up (about 330 drops at 1080p, 380 to 440 some thousand frames later),
    // so a floor taken on a pane settled anew would stand for a lighter scene than the one
    // timed.
    for (const auto& f : frames) {
        const std::string name = sizeName(f.size) + "/d" + std::to_string(f.density);
        benchmark::RegisterBenchmark(("Frame/" + name).c_str(), BM_Frame, f.size.w, f.size.h,
                                     f.density)
            ->Unit(benchmark::kMicrosecond);
        if (f.density == 50)
            benchmark::RegisterBenchmark(("FrameFloor/" + name).c_str(), BM_FrameFloor, f.size.w,
                                         f.size.h, f.density)
                ->Unit(benchmark::kMicrosecond);
    }
    for (const auto& f : frames) {
        const std::string name =
            "PresentPlan/" + sizeName(f.size) + "/d" + std::to_string(f.density);
        benchmark::RegisterBenchmark(name.c_str(), BM_PresentPlan, f.size.w, f.size.h, f.density)
            ->Unit(benchmark::kMicrosecond);
    }
    for (const Size& s : {hd, fhd, uhd}) {
        const std::string name = "FullFrameCopy/" + sizeName(s);
        benchmark::RegisterBenchmark(name.c_str(), BM_FullFrameCopy, s.w, s.h)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
