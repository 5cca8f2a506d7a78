#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/frame_fixture.h"
#include "bench/frame_floor.h"
#include "engine/frame_presentation.h"

// The cost of one frame of rain once the pane has settled (the drops' step and the trace of
// what they changed, at 32 bpp over memory surfaces), beside a copy of one whole frame: the
// saver copies the work surface to the screen every frame anyway, so a frame that costs no
// more than that copy keeps the saver's own share of the machine small.
namespace {

using bench::FrameAccesses;
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
    const std::vector<DirtyRect> traced = f.loop.traced();
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

// The frame's own memory floor: on the pane Frame has just timed, one more frame is drawn, its
// accesses are recorded and then replayed, the fixture's pictures and map untouched.
void BM_FrameFloor(benchmark::State& state, std::int32_t w, std::int32_t h, int density) {
    FrameFixture& f = fixtureFor(w, h, density);
    f.frame();
    const FrameAccesses a = bench::accessesOfLastFrame(f);
    for (auto _ : state) benchmark::DoNotOptimize(bench::replayFrame(a));
    state.counters["map_lines"] = static_cast<double>(bench::linesTouched(a.map, a.mapStart));
    state.counters["source_lines"] =
        static_cast<double>(bench::linesTouched(a.source, a.sourceStart));
    state.counters["dest_lines"] = static_cast<double>(bench::linesTouched(a.dest, a.destStart));
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
