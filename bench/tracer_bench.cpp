#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "render/tracer/cosntable.h"
#include "render/tracer/memory_surface.h"
#include "render/tracer/tracer.h"

// Cost per wet pixel of the tracer with anti-aliasing on, beside a plain row copy of the same
// rectangle: every point of a 256 x 256 block is wet, either drop water (a tiling of domes with
// the normals a real drop has) or track film.
namespace {

constexpr std::uint32_t kSize = 256;

std::vector<SurfacePoint> make_map(bool drops) {
    std::vector<SurfacePoint> map(kSize * kSize);
    for (std::uint32_t y = 0; y < kSize; ++y)
        for (std::uint32_t x = 0; x < kSize; ++x) {
            if (!drops) {
                map[y * kSize + x] = {1, 0, 0, 1};
                continue;
            }
            const std::int32_t dx = std::int32_t(x % 16) - 8, dy = std::int32_t(y % 16) - 8;
            std::int32_t rest = 64 - dx * dx - dy * dy;
            if (rest < 1) rest = 1;
            std::int32_t dz = 0;
            while ((dz + 1) * (dz + 1) <= rest) ++dz;
            map[y * kSize + x] = {std::uint8_t(2 + dz), std::int8_t(dx * 8), std::int8_t(dy * 8),
                                  std::int8_t(dz * 8)};
        }
    return map;
}

void setup(Tracer& tracer, std::uint32_t bpp) {
    if (bpp == 16)
        tracer.setup(kCosnTable, ChannelMasks{0xF800, 0x07E0, 0x001F});
    else
        tracer.setup(kCosnTable, ChannelMasks{0xFF0000, 0xFF00, 0xFF});
}

void fill(MemorySurface& s) {
    std::uint32_t v = 12345;
    for (auto& b : s.bytes()) {
        v = v * 1103515245u + 12345u;
        b = std::uint8_t(v >> 16);
    }
}

void BM_Trace(benchmark::State& state, std::uint32_t bpp, bool drops) {
    Tracer tracer;
    setup(tracer, bpp);
    const std::vector<SurfacePoint> map = make_map(drops);
    MemorySurface source(kSize, kSize, bpp), dest(kSize, kSize, bpp);
    fill(source);
    const TraceJob job{0,
                       0,
                       kSize - 1,
                       kSize - 1,
                       {map.data(), kSize, kSize},
                       source.description(),
                       dest.description()};
    for (auto _ : state) {
        tracer.trace(job);
        benchmark::DoNotOptimize(dest.bytes().data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kSize * kSize);
}

void BM_CopyRows(benchmark::State& state, std::uint32_t bpp) {
    MemorySurface source(kSize, kSize, bpp), dest(kSize, kSize, bpp);
    fill(source);
    for (auto _ : state) {
        for (std::uint32_t y = 0; y < kSize; ++y)
            std::memcpy(dest.row(y), source.row(y), source.rowBytes());
        benchmark::DoNotOptimize(dest.bytes().data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kSize * kSize);
}

}  // namespace

BENCHMARK_CAPTURE(BM_CopyRows, 16bpp, 16);
BENCHMARK_CAPTURE(BM_Trace, drops_16bpp, 16, true);
BENCHMARK_CAPTURE(BM_Trace, tracks_16bpp, 16, false);
BENCHMARK_CAPTURE(BM_CopyRows, 24bpp, 24);
BENCHMARK_CAPTURE(BM_Trace, drops_24bpp, 24, true);
BENCHMARK_CAPTURE(BM_Trace, tracks_24bpp, 24, false);
BENCHMARK_CAPTURE(BM_CopyRows, 32bpp, 32);
BENCHMARK_CAPTURE(BM_Trace, drops_32bpp, 32, true);
BENCHMARK_CAPTURE(BM_Trace, tracks_32bpp, 32, false);
