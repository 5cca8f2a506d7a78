#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "fnv1a.h"
#include "render/tracer/cosntable.h"
#include "render/tracer/memory_surface.h"
#include "render/tracer/tracer.h"

// A fixed scene traced at each depth; the checksums pin today's output so that any rewrite of
// the inner loops that changes one bit shows.
namespace {

constexpr std::uint32_t kWidth = 96;
constexpr std::uint32_t kHeight = 64;

std::uint32_t isqrt(std::uint32_t v) {
    std::uint32_t r = 0;
    while ((r + 1) * (r + 1) <= v) ++r;
    return r;
}

std::vector<SurfacePoint> make_map() {
    std::vector<SurfacePoint> map(kWidth * kHeight, SurfacePoint{0, 0, 0, 0});
    struct Drop {
        std::int32_t cx, cy, r;
    } drops[] = {{10, 12, 6}, {40, 30, 9}, {75, 20, 5}, {20, 50, 7}, {90, 60, 8}, {60, 55, 3}};
    for (const Drop& d : drops) {
        // The film a drop leaves above it.
        for (std::int32_t y = d.cy - d.r - 10; y < d.cy - d.r; ++y)
            for (std::int32_t x = d.cx - 1; x <= d.cx + 1; ++x)
                if (x >= 0 && y >= 0 && x < std::int32_t(kWidth) && y < std::int32_t(kHeight))
                    map[y * kWidth + x] = {1, 0, 0, 1};
        for (std::int32_t y = d.cy - d.r; y <= d.cy + d.r; ++y)
            for (std::int32_t x = d.cx - d.r; x <= d.cx + d.r; ++x) {
                if (x < 0 || y < 0 || x >= std::int32_t(kWidth) || y >= std::int32_t(kHeight))
                    continue;
                const std::int32_t dx = x - d.cx, dy = y - d.cy;
                const std::int32_t rest = d.r * d.r - dx * dx - dy * dy;
                if (rest < 0) continue;
                const std::int32_t dz = std::int32_t(isqrt(std::uint32_t(rest)));
                map[y * kWidth + x] = {std::uint8_t(2 + 8 * dz / d.r), std::int8_t(dx * 64 / d.r),
                                       std::int8_t(dy * 64 / d.r), std::int8_t(dz * 64 / d.r)};
            }
    }
    return map;
}

void fill_picture(MemorySurface& s) {
    const std::uint32_t bytes = s.bpp() / 8;
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const std::uint32_t v = (x * 2654435761u) ^ (y * 40503u) ^ ((x / 8 + y / 8) * 0x10101u);
            for (std::uint32_t i = 0; i < bytes; ++i)
                s.row(y)[x * bytes + i] = std::uint8_t(v >> (8 * i));
        }
}

std::uint64_t trace_scene(std::uint32_t bpp, bool anti_alias, TracePath path) {
    Tracer tracer;
    ChannelMasks masks{0xFF0000, 0xFF00, 0xFF};
    if (bpp == 16)
        masks = {0xF800, 0x07E0, 0x001F};
    else if (bpp == 8)
        masks = {0, 0, 0};
    TracerOptions options;
    options.antiAlias = anti_alias;
    options.path = path;
    tracer.setup(kCosnTable, masks, options);
    const std::vector<SurfacePoint> map = make_map();
    MemorySurface source(kWidth, kHeight, bpp, kWidth * (bpp / 8) + 12);
    MemorySurface dest(kWidth, kHeight, bpp, kWidth * (bpp / 8) + 12);
    fill_picture(source);
    fill_picture(dest);
    const TraceMap m{map.data(), kWidth, kHeight};
    const SurfaceDesc d = dest.description(), s = source.description();
    // Two rectangles, as the water surface hands them over, then the whole map.
    tracer.trace({0, 0, 47, 31, m, s, d});
    tracer.trace({48, 32, 95, 63, m, s, d});
    tracer.trace({0, 0, 95, 63, m, s, d});
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t i = dest.rowBytes(); i < dest.pitch(); ++i)
            EXPECT_EQ(dest.row(y)[i], MemorySurface::kPadding);
    const std::uint64_t h = fnv1a(dest.bytes());
    std::printf("golden %u bpp%s%s: 0x%016llx\n", bpp, anti_alias ? "" : " (tracks)",
                path == TracePath::Portable ? " (portable)" : "",
                static_cast<unsigned long long>(h));
    return h;
}

}  // namespace

// Both the SSE2 and the portable code give the pinned bytes.
TEST(TracerGolden, EachDepth) {
    for (TracePath path : {TracePath::Sse2, TracePath::Portable}) {
        EXPECT_EQ(trace_scene(8, true, path), 0x33f4f7b35fa1964aull);
        EXPECT_EQ(trace_scene(16, true, path), 0x8233e7295d5b1a87ull);
        EXPECT_EQ(trace_scene(24, true, path), 0x090d1f8559919da0ull);
        EXPECT_EQ(trace_scene(32, true, path), 0x23eb42d0565be6dcull);
        EXPECT_EQ(trace_scene(16, false, path), 0xd28a7e89fa4621f4ull);
        EXPECT_EQ(trace_scene(32, false, path), 0x83cd5dfbe2fdfaf1ull);
    }
}
