#include "render/tracer/tracer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "render/tracer/cosntable.h"
#include "render/tracer/memory_surface.h"

namespace {

ChannelMasks masksFor(std::uint32_t bpp) {
    if (bpp == 16) return {0xF800, 0x07E0, 0x001F};
    if (bpp == 8) return {0, 0, 0};
    return {0xFF0000, 0xFF00, 0xFF};
}

void setupFor(Tracer& tracer, std::uint32_t bpp, const TracerOptions& options = {}) {
    tracer.setup(kCosnTable, masksFor(bpp), options);
}

TracerOptions withOptions(std::int32_t distance, bool antiAlias, bool tracks, bool lighting,
                          TracePath path = TracePath::Sse2) {
    TracerOptions options;
    options.distanceToDesktop = distance;
    options.antiAlias = antiAlias;
    options.tracks = tracks;
    options.lighting = lighting;
    options.path = path;
    return options;
}

std::uint32_t bytesOf(std::uint32_t bpp) { return bpp / 8; }

std::uint32_t pixelAt(const MemorySurface& s, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = s.row(y) + x * bytesOf(s.bpp());
    std::uint32_t v = 0;
    for (std::uint32_t i = 0; i < bytesOf(s.bpp()); ++i) v |= std::uint32_t(p[i]) << (8 * i);
    return v;
}

void setPixel(MemorySurface& s, std::uint32_t x, std::uint32_t y, std::uint32_t v) {
    std::uint8_t* p = s.row(y) + x * bytesOf(s.bpp());
    for (std::uint32_t i = 0; i < bytesOf(s.bpp()); ++i) p[i] = std::uint8_t(v >> (8 * i));
}

void fillWith(MemorySurface& s, std::uint32_t v) {
    for (std::uint32_t y = 0; y < s.height(); ++y)
        for (std::uint32_t x = 0; x < s.width(); ++x) setPixel(s, x, y, v);
}

// Every source pixel distinct so that the pixel read tells where the ray landed.
void fillNumbered(MemorySurface& s) {
    for (std::uint32_t y = 0; y < s.height(); ++y)
        for (std::uint32_t x = 0; x < s.width(); ++x) setPixel(s, x, y, y * 1000 + x);
}

bool paddingIntact(const MemorySurface& s) {
    for (std::uint32_t y = 0; y < s.height(); ++y)
        for (std::uint32_t i = s.rowBytes(); i < s.pitch(); ++i)
            if (s.row(y)[i] != MemorySurface::kPadding) return false;
    return true;
}

struct Scene {
    std::uint32_t width, height;
    std::vector<SurfacePoint> map;
    MemorySurface source, dest;
    Scene(std::uint32_t w, std::uint32_t h, std::uint32_t bpp)
        : width(w),
          height(h),
          map(std::size_t(w) * h, SurfacePoint{0, 0, 0, 0}),
          source(w, h, bpp, w * (bpp / 8) + 6),
          dest(w, h, bpp, w * (bpp / 8) + 6) {}
    SurfacePoint& at(std::uint32_t x, std::uint32_t y) { return map[std::size_t(y) * width + x]; }
    TraceMap traceMap() const { return {map.data(), std::int32_t(width), std::int32_t(height)}; }
    void run(Tracer& tracer, std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        tracer.trace({l, t, r, b, traceMap(), source.description(), dest.description()});
    }
    void runAll(Tracer& tracer) {
        run(tracer, 0, 0, std::int32_t(width) - 1, std::int32_t(height) - 1);
    }
};

// What a lone drop point of normal (nx, ny, nz) at the distance to the desktop (so its ray
// lands where it stands) draws over a source of `pixel`: the pixel, highlighted.
std::uint32_t litThrough(Tracer& tracer, std::uint32_t bpp, std::uint32_t pixel, std::int32_t nx,
                         std::int32_t ny, std::int32_t nz) {
    Scene s(3, 3, bpp);
    fillWith(s.source, pixel);
    s.at(1, 1) = {8, std::int8_t(nx), std::int8_t(ny), std::int8_t(nz)};
    s.runAll(tracer);
    EXPECT_TRUE(paddingIntact(s.dest));
    return pixelAt(s.dest, 1, 1);
}

}  // namespace

// The masks decoded by the set-up place the highlight in each channel and bound it by the
// channel's largest value; the set-up takes all its options anew each time.
TEST(TracerSetup, DecodesChannelMasksAndTakesOptions) {
    Tracer t;
    const TracerOptions unsmoothed = withOptions(8, false, true, true);
    setupFor(t, 16, unsmoothed);
    // Flat water: brightening 0 at 16 bpp, the pixel stays as it is.
    EXPECT_EQ(litThrough(t, 16, 0x1234, 0, 0, 127), 0x1234u);
    // Steep normal: 40 saturates red (5 bits at 11) and blue (5 bits at 0), not green (6 at 5).
    EXPECT_EQ(litThrough(t, 16, 0x0000, -127, 0, 64), (31u << 11) | (40u << 5) | 31u);
    EXPECT_EQ(litThrough(t, 16, 0x0841, -127, 0, 64), (31u << 11) | (42u << 5) | 31u);

    setupFor(t, 32, unsmoothed);
    // Flat water: brightening 2 in each byte, and the fourth byte is cleared.
    EXPECT_EQ(litThrough(t, 32, 0xAB102030, 0, 0, 127), 0x00122232u);
    EXPECT_EQ(litThrough(t, 32, 0x00FEFF00, 0, 0, 127), 0x00FFFF02u);
    // Steep normal: brightening 220.
    EXPECT_EQ(litThrough(t, 32, 0x77102030, -127, 0, 64), 0x00ECFCFFu);
    // A normal far from the light gives 0: every byte kept, the fourth one too.
    EXPECT_EQ(litThrough(t, 32, 0xAB102030, 0, 127, 64), 0xAB102030u);
    // Degenerate normals neither crash nor read outside the table, and only ever brighten.
    for (const auto& n : {std::vector<int>{0, 0, 0}, {0, 127, 0}, {-128, -128, -128}}) {
        const std::uint32_t lit = litThrough(t, 32, 0x102030, n[0], n[1], n[2]);
        EXPECT_GE(lit & 0xFF0000, 0x100000u);
        EXPECT_GE(lit & 0xFF00, 0x2000u);
        EXPECT_GE(lit & 0xFF, 0x30u);
    }
    setupFor(t, 24, unsmoothed);
    EXPECT_EQ(litThrough(t, 24, 0x102030, 0, 0, 127), 0x122232u);
    // A palette index is never lit.
    setupFor(t, 8, unsmoothed);
    EXPECT_EQ(litThrough(t, 8, 0x42, -127, 0, 64), 0x42u);

    // Set up again with the saver's options, a tracer draws what a fresh one draws.
    const auto scene = [] {
        auto s = std::make_unique<Scene>(12, 10, 16);
        fillNumbered(s->source);
        for (std::uint32_t y = 2; y < 8; ++y)
            for (std::uint32_t x = 2; x < 10; ++x)
                s->at(x, y) = {std::uint8_t(1 + x % 3), std::int8_t(int(x) * 9 - 50),
                               std::int8_t(int(y) * 7 - 30), std::int8_t(20 + int(y))};
        return s;
    };
    Tracer reused, fresh;
    setupFor(reused, 16, withOptions(3, false, false, false));
    scene()->runAll(reused);
    setupFor(reused, 16);
    setupFor(fresh, 16);
    auto a = scene(), b = scene();
    a->runAll(reused);
    b->runAll(fresh);
    EXPECT_EQ(a->dest.bytes(), b->dest.bytes());

    // A tracer never set up draws nothing.
    Tracer idle;
    auto c = scene();
    const std::vector<std::uint8_t> before = c->dest.bytes();
    c->runAll(idle);
    EXPECT_EQ(c->dest.bytes(), before);
}

TEST(TracerSetup, CosnTableSampleEntries) {
    const std::int32_t first[5] = {65536, 47829, 34730, 25088, 18026};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(kCosnTable[i], first[i]) << i;
    EXPECT_EQ(kCosnTable[13], 698);
    EXPECT_EQ(kCosnTable[19], 57);
    EXPECT_EQ(kCosnTable[26], 1);
    EXPECT_EQ(kCosnTable[27], 1);
    for (int i = 28; i <= 100; ++i) EXPECT_EQ(kCosnTable[i], 0) << i;
    EXPECT_EQ(kCosnTable[128], 65536);
    for (int i = 0; i <= 128; ++i) EXPECT_EQ(kCosnTable[i], kCosnTable[128 - i]) << i;
}

TEST(TracerRefraction, DisplacementAndTrackJitter) {
    Tracer t;
    setupFor(t, 8);
    Scene s(16, 4, 8);
    fillNumbered(s.source);
    s.at(5, 1) = {8, 30, -20, 10};  // height D: stays in place
    s.at(6, 1) = {10, 10, 0, 20};   // thicker than D: one column to the left
    s.at(7, 1) = {3, 0, 0, 0};      // flat normalZ: t is the fixed maximum, x and y unmoved
    s.run(t, 5, 1, 7, 1);
    EXPECT_EQ(pixelAt(s.dest, 5, 1), pixelAt(s.source, 5, 1));
    EXPECT_EQ(pixelAt(s.dest, 6, 1), pixelAt(s.source, 5, 1));
    EXPECT_EQ(pixelAt(s.dest, 7, 1), pixelAt(s.source, 7, 1));

    // Every screen's jitter generator starts at 0 (drops draw nothing from it) and carries over
    // from one trace to the next: track markers read their own position moved by the jitter
    // 0, 0, 0, -1, +1, -1, -1, 0 (the draws 1, 1, 1, 0, 2, 0, 0, 1 less one), whether their row
    // is traced in one piece or in two.
    const int jitter[8] = {0, 0, 0, -1, 1, -1, -1, 0};
    const auto tracks = [](Scene& scene) {
        std::vector<std::uint32_t> row;
        for (std::uint32_t x = 4; x < 12; ++x) row.push_back(pixelAt(scene.dest, x, 2));
        return row;
    };
    for (std::uint32_t x = 4; x < 12; ++x) s.at(x, 2) = {1, 0, 0, 1};
    s.run(t, 4, 2, 7, 2);
    s.run(t, 8, 2, 11, 2);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(pixelAt(s.dest, 4 + i, 2), pixelAt(s.source, 4 + i + jitter[i], 2)) << i;
    Tracer whole;
    setupFor(whole, 8);
    Scene w(16, 4, 8);
    fillNumbered(w.source);
    for (std::uint32_t x = 4; x < 12; ++x) w.at(x, 2) = {1, 0, 0, 1};
    w.run(whole, 4, 2, 11, 2);
    EXPECT_EQ(tracks(w), tracks(s));

    // Without jitter the generator stays put and tracks read their own pixel: afterwards the
    // tracer jitters as the one that never traced without it.
    setupFor(t, 8, withOptions(8, true, false, true));
    s.run(t, 4, 2, 11, 2);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(pixelAt(s.dest, 4 + i, 2), pixelAt(s.source, 4 + i, 2)) << i;
    setupFor(t, 8);
    s.run(t, 4, 2, 11, 2);
    w.run(whole, 4, 2, 11, 2);
    EXPECT_EQ(tracks(w), tracks(s));
    std::vector<std::uint32_t> own;
    for (std::uint32_t x = 4; x < 12; ++x) own.push_back(pixelAt(s.source, x, 2));
    EXPECT_NE(tracks(s), own) << "the tracks did not jitter";
    EXPECT_TRUE(paddingIntact(s.dest));
}

TEST(TracerRefraction, SourceCoordinatesWrapIntoTheMap) {
    Tracer t;
    setupFor(t, 16, withOptions(8, false, true, false));
    Scene s(640, 3, 16);
    fillNumbered(s.source);
    // Each point's displacement is chosen so that x + dx hits one of the wrap cases; the
    // tracer's landing function tells the same place.
    struct Case {
        std::uint32_t x;
        std::int32_t sx;
        std::uint32_t expected;
    } cases[] = {{0, -1, 638}, {0, -120, 519}, {639, 640, 0}, {600, 700, 60}};
    for (const Case& c : cases) {
        const std::int32_t dx = c.sx - std::int32_t(c.x);
        // With height 9, D 8, normalZ -1: t = 4096, dx = normalX.
        ASSERT_GE(dx, -128);
        ASSERT_LE(dx, 127);
        s.at(c.x, 1) = {9, std::int8_t(dx), 0, -1};
        s.run(t, c.x, 1, c.x, 1);
        EXPECT_EQ(pixelAt(s.dest, c.x, 1), pixelAt(s.source, c.expected, 1)) << c.sx;
        const MapPosition landing = rayLanding(s.traceMap(), std::int32_t(c.x), 1, 8);
        EXPECT_EQ(landing.x, std::int32_t(c.expected)) << c.sx;
        EXPECT_EQ(landing.y, 1) << c.sx;
        s.at(c.x, 1) = {0, 0, 0, 0};
    }
    // Vertical wrap with map height 3: row 1 moved up by 2 reads row -1, that is row 1.
    s.at(10, 1) = {9, 0, -2, -1};
    s.run(t, 10, 1, 10, 1);
    EXPECT_EQ(pixelAt(s.dest, 10, 1), pixelAt(s.source, 10, 1));
    EXPECT_EQ(rayLanding(s.traceMap(), 10, 1, 8).y, 1);
    // Far beyond: -640 gives 639, -641 gives 638, 1300 gives 20 (normalZ -2 doubles nothing:
    // t = 2048 halves the displacement, so use height 10 with normalZ -2 for t = 4096).
    s.at(0, 2) = {24, 40, 0, 1};  // t = -16 * 4096, dx = -640
    s.run(t, 0, 2, 0, 2);
    EXPECT_EQ(pixelAt(s.dest, 0, 2), pixelAt(s.source, 639, 2));
    s.at(1, 2) = {24, 40, 0, 1};  // 1 - 640 = -639 -> 639 + (-639) = 0
    s.run(t, 1, 2, 1, 2);
    EXPECT_EQ(pixelAt(s.dest, 1, 2), pixelAt(s.source, 0, 2));
    s.at(0, 0) = {48, -33, 0, 1};  // t = -40 * 4096, dx = 1320 -> 1320 mod 640 = 40
    s.run(t, 0, 0, 0, 0);
    EXPECT_EQ(pixelAt(s.dest, 0, 0), pixelAt(s.source, 40, 0));
    EXPECT_EQ(rayLanding(s.traceMap(), 0, 0, 8).x, 40);
    EXPECT_TRUE(paddingIntact(s.dest));
}

TEST(TracerHighlight, AppliedToDropsNotTracksAtEachDepth) {
    Tracer t;
    for (std::uint32_t bpp : {16u, 24u, 32u}) {
        setupFor(t, bpp, withOptions(8, false, false, true));
        Scene s(8, 3, bpp);
        fillWith(s.source, bpp == 32 ? 0x5A000000 : 0);
        s.at(0, 0) = {8, -127, 0, 64};  // drop, edge: lit, not darkened
        s.at(1, 0) = {1, 0, 0, 1};      // track on the edge row: unchanged
        s.at(2, 1) = {8, 0, 127, 64};   // drop, brightening 0: source kept whole
        s.runAll(t);
        const std::uint32_t lit = bpp == 16 ? ((31u << 11) | (40u << 5) | 31u) : 0x00DCDCDCu;
        EXPECT_EQ(pixelAt(s.dest, 0, 0), lit) << bpp;
        EXPECT_EQ(pixelAt(s.dest, 1, 0), pixelAt(s.source, 1, 0)) << bpp;
        EXPECT_EQ(pixelAt(s.dest, 2, 1), pixelAt(s.source, 2, 1)) << bpp;
        EXPECT_TRUE(paddingIntact(s.dest));
    }
}

TEST(TracerSecondPass, WhiteAntiAliasAndTrack565) {
    Tracer t;
    setupFor(t, 16, withOptions(8, true, false, false));
    Scene s(5, 5, 16);
    fillWith(s.source, 0xFFFF);
    s.at(1, 1) = {5, 0, 0, 1};
    s.at(3, 3) = {1, 0, 0, 1};
    s.at(0, 2) = {1, 0, 0, 1};  // on the edge: never filtered or darkened
    // Dry neighbours are read from the destination too: make them white as well.
    fillWith(s.dest, 0xFFFF);
    s.runAll(t);
    const std::uint32_t darker = (29u << 11) | (59u << 5) | 29u;
    EXPECT_EQ(pixelAt(s.dest, 1, 1), 0xFFFFu);
    EXPECT_EQ(pixelAt(s.dest, 3, 3), darker);
    EXPECT_EQ(pixelAt(s.dest, 0, 2), 0xFFFFu);

    // The track pass darkens only track points inside the edges.
    setupFor(t, 16, withOptions(8, false, false, false));
    fillWith(s.dest, 0);
    s.runAll(t);
    EXPECT_EQ(pixelAt(s.dest, 3, 3), darker);
    EXPECT_EQ(pixelAt(s.dest, 1, 1), 0xFFFFu);
    EXPECT_EQ(pixelAt(s.dest, 0, 2), 0xFFFFu);
    EXPECT_TRUE(paddingIntact(s.dest));
}

TEST(TracerSecondPass, AntiAliasAverages) {
    Tracer t;
    setupFor(t, 24, withOptions(8, true, true, false));
    Scene s(3, 3, 24);
    setPixel(s.source, 1, 1, 0x800000);
    s.at(1, 1) = {5, 0, 0, 1};
    s.runAll(t);
    // (8 * 128 + 0) >> 4 = 64 in red.
    EXPECT_EQ(pixelAt(s.dest, 1, 1), 0x400000u);
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t x = 0; x < 3; ++x)
            if (x != 1 || y != 1) {
                EXPECT_EQ(pixelAt(s.dest, x, y), 0u);
            }
}

TEST(TracerDispatch, DryRectanglesAndUnsupportedDepthsDrawNothing) {
    Tracer t;
    for (std::uint32_t bpp : {8u, 16u, 24u, 32u}) {
        setupFor(t, bpp);
        Scene s(9, 6, bpp);
        fillNumbered(s.source);
        fillNumbered(s.dest);
        for (auto& b : s.dest.bytes()) b ^= 0x3C;
        const std::vector<std::uint8_t> before = s.dest.bytes();
        s.runAll(t);
        EXPECT_EQ(s.dest.bytes(), before) << bpp;
    }
    for (std::uint32_t bpp : {15u, 4u}) {
        setupFor(t, 16);
        Scene s(9, 6, 16);
        for (auto& p : s.map) p = {5, 10, 10, 30};
        fillNumbered(s.source);
        const std::vector<std::uint8_t> before = s.dest.bytes();
        SurfaceDesc d = s.dest.description(), src = s.source.description();
        d.bitsPerPixel = src.bitsPerPixel = bpp;
        t.trace({0, 0, 8, 5, s.traceMap(), src, d});
        EXPECT_EQ(s.dest.bytes(), before) << bpp;
    }
}

// A tracer remembers per map record where rays land and how they are lit; a change of the
// distance to the desktop or of the lighting between traces must be seen at once, as a fresh
// tracer would see it.
TEST(TracerRefraction, OptionChangesBetweenTracesTakeEffect) {
    const auto scene = [](std::uint32_t bpp) {
        auto s = std::make_unique<Scene>(12, 10, bpp);
        fillNumbered(s->source);
        for (std::uint32_t y = 2; y < 8; ++y)
            for (std::uint32_t x = 2; x < 10; ++x)
                s->at(x, y) = {std::uint8_t(2 + x % 3), std::int8_t(int(x) * 9 - 50),
                               std::int8_t(int(y) * 7 - 30), std::int8_t(20 + int(y))};
        return s;
    };
    for (std::uint32_t bpp : {16u, 32u}) {
        Tracer reused;
        setupFor(reused, bpp);
        scene(bpp)->runAll(reused);  // fills its memory with the saver's options
        for (const auto& [distance, lighting] :
             {std::pair{3, true}, std::pair{3, false}, std::pair{8, false}}) {
            Tracer fresh;
            for (Tracer* t : {&reused, &fresh})
                setupFor(*t, bpp, withOptions(distance, true, true, lighting));
            auto a = scene(bpp), b = scene(bpp);
            a->runAll(reused);
            b->runAll(fresh);
            EXPECT_EQ(a->dest.bytes(), b->dest.bytes())
                << bpp << " bpp, D " << distance << ", lighting " << lighting;
        }
    }
}

// The SSE2 code and the portable code draw the same bytes: every depth and layout (the usual
// 32-bit one is where they differ), drops, tracks and dry glass mixed point by point so that
// the smoothing meets every kind of neighbour pair, rows longer than a refraction run, both
// second passes, with and without lighting, rectangles inside, across and at the map's edges.
TEST(TracerPaths, Sse2AndPortableDrawTheSameBytes) {
    constexpr std::uint32_t kWidth = 701, kHeight = 24;
    const auto hash = [](std::uint32_t x, std::uint32_t y, std::uint32_t salt) {
        std::uint32_t v = x * 2654435761u ^ (y + salt) * 40503u ^ salt * 0x9E3779B9u;
        v ^= v >> 15;
        v *= 0x2C1B3C6Du;
        return v ^ (v >> 12);
    };
    const auto makeScene = [&](std::uint32_t bpp) {
        auto s = std::make_unique<Scene>(kWidth, kHeight, bpp);
        for (std::uint32_t y = 0; y < kHeight; ++y)
            for (std::uint32_t x = 0; x < kWidth; ++x) {
                setPixel(s->source, x, y, hash(x, y, 1));
                setPixel(s->dest, x, y, hash(x, y, 2));
                SurfacePoint& p = s->at(x, y);
                const std::uint32_t v = hash(x, y, 3);
                if (x < 240) {  // domes of drop water
                    const std::int32_t dx = std::int32_t(x % 16) - 8, dy = std::int32_t(y % 16) - 8;
                    const std::int32_t dz = std::max(1, 8 - (dx * dx + dy * dy) / 8);
                    p = {std::uint8_t(2 + dz), std::int8_t(dx * 8), std::int8_t(dy * 8),
                         std::int8_t(dz * 8)};
                } else if (x < 480) {  // track film
                    p = {1, 0, 0, 1};
                } else if (v % 4 == 0) {
                    p = {0, 0, 0, 0};
                } else {  // every kind beside every other
                    p = {std::uint8_t(v % 4 == 1 ? 1 : 2 + (v >> 8) % 11), std::int8_t(v >> 12),
                         std::int8_t(v >> 20), std::int8_t(v >> 24)};
                }
            }
        return s;
    };
    struct Layout {
        std::uint32_t bpp;
        ChannelMasks masks;
    } layouts[] = {{8, {0, 0, 0}},
                   {16, {0xF800, 0x07E0, 0x001F}},
                   {24, {0xFF0000, 0xFF00, 0xFF}},
                   {32, {0xFF0000, 0xFF00, 0xFF}},
                   {32, {0xFF, 0xFF00, 0xFF0000}},
                   {32, {0x3FF00000, 0xFFC00, 0x3FF}}};
    const std::int32_t right = kWidth - 1, bottom = kHeight - 1;
    const std::int32_t rectangles[][4] = {{0, 0, right, bottom},
                                          {5, 2, 650, 20},
                                          {1, 1, 2, 1},
                                          {690, 0, right, bottom},
                                          {0, 23, 9, 23}};
    for (const Layout& layout : layouts) {
        for (const auto& [antiAlias, lighting] :
             {std::pair{true, true}, std::pair{false, true}, std::pair{true, false}}) {
            SCOPED_TRACE(testing::Message()
                         << layout.bpp << " bpp, red mask " << std::hex << layout.masks.r
                         << ", smoothing " << antiAlias << ", lighting " << lighting);
            Tracer sse2, portable;
            sse2.setup(kCosnTable, layout.masks,
                       withOptions(8, antiAlias, true, lighting, TracePath::Sse2));
            portable.setup(kCosnTable, layout.masks,
                           withOptions(8, antiAlias, true, lighting, TracePath::Portable));
            auto a = makeScene(layout.bpp), b = makeScene(layout.bpp);
            const std::vector<std::uint8_t> before = a->dest.bytes();
            for (const auto& r : rectangles) {
                a->run(sse2, r[0], r[1], r[2], r[3]);
                b->run(portable, r[0], r[1], r[2], r[3]);
            }
            EXPECT_NE(a->dest.bytes(), before);
            EXPECT_TRUE(a->dest.bytes() == b->dest.bytes());
            EXPECT_TRUE(paddingIntact(a->dest));
        }
    }
}
