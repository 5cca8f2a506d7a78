#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_presentation.h"
#include "app/memory_pictures.h"
#include "app/screen_loop.h"
#include "rain/rain_random.h"
#include "render/tracer/cosntable.h"
#include "render/tracer/memory_surface.h"
#include "settings/saver_settings.h"

// The cost of one frame of rain once the pane has settled (the drops' step and the trace of
// what they changed, at 32 bpp over memory surfaces), beside a copy of one whole frame: the
// saver copies the work surface to the screen every frame anyway, so a frame that costs no
// more than that copy keeps the saver's own share of the machine small.
namespace {

constexpr int kWarmUpFrames = 3000;
constexpr std::uint32_t kSeed = 1;

void fillPicture(MemorySurface& s) {
    // A soft gradient with some grain, so refraction reads different pixels than it writes.
    for (std::uint32_t y = 0; y < s.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(s.row(y));
        for (std::uint32_t x = 0; x < s.width(); ++x) {
            const std::uint32_t grain = (x * 2654435761u ^ y * 40503u) >> 28;
            const std::uint32_t r = (x * 255 / s.width()) & 0xFF;
            const std::uint32_t g = (y * 255 / s.height()) & 0xFF;
            const std::uint32_t b = (128 + grain * 4) & 0xFF;
            row[x] = (r << 16) | (g << 8) | b;
        }
    }
}

SaverSettings withDensity(int density) {
    SaverSettings settings;
    settings.setDensity(density);
    return settings;
}

MemorySurface pictureOfSize(std::int32_t w, std::int32_t h) {
    MemorySurface picture(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), 32);
    fillPicture(picture);
    return picture;
}

// One saver run at a given size and density (the screen loop every host runs, without
// restarts), settled by the warm-up.
struct FrameFixture {
    FrameFixture(std::int32_t w, std::int32_t h, int density)
        : width(w),
          height(h),
          density(density),
          work(pictureOfSize(w, h)),
          pictures(work.description()),
          loop(withDensity(density), kCosnTable, 0) {
        RainRandom::seed(kSeed);
        loop.prepare(w, h, ChannelMasks{0xFF0000, 0xFF00, 0xFF});
        for (int i = 0; i < kWarmUpFrames; ++i) frame();
    }

    void frame() { loop.frame(pictures, 0); }

    std::int32_t width, height;
    int density;
    MemorySurface work;
    MemoryPictures pictures;
    ScreenLoop loop;
};

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
    for (const auto& f : frames) {
        const std::string name = "Frame/" + sizeName(f.size) + "/d" + std::to_string(f.density);
        benchmark::RegisterBenchmark(name.c_str(), BM_Frame, f.size.w, f.size.h, f.density)
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
