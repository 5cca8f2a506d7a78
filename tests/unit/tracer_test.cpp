#include "render/tracer/tracer.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "render/tracer/cosntable.h"
#include "render/tracer/memory_surface.h"

namespace {

void setup_for(Tracer& tracer, std::uint32_t bpp) {
    if (bpp == 16)
        tracer.tracer_setup(kCosnTable, 0xF800, 0x07E0, 0x001F);
    else if (bpp == 8)
        tracer.tracer_setup(kCosnTable, 0, 0, 0);
    else
        tracer.tracer_setup(kCosnTable, 0xFF0000, 0xFF00, 0xFF);
}

std::uint32_t bytes_of(std::uint32_t bpp) { return bpp / 8; }

std::uint32_t pixel_at(const MemorySurface& s, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = s.row(y) + x * bytes_of(s.bpp());
    std::uint32_t v = 0;
    for (std::uint32_t i = 0; i < bytes_of(s.bpp()); ++i) v |= std::uint32_t(p[i]) << (8 * i);
    return v;
}

void set_pixel(MemorySurface& s, std::uint32_t x, std::uint32_t y, std::uint32_t v) {
    std::uint8_t* p = s.row(y) + x * bytes_of(s.bpp());
    for (std::uint32_t i = 0; i < bytes_of(s.bpp()); ++i) p[i] = std::uint8_t(v >> (8 * i));
}

// Every source pixel distinct so that the pixel read tells where the ray landed.
void fill_numbered(MemorySurface& s) {
    for (std::uint32_t y = 0; y < s.height(); ++y)
        for (std::uint32_t x = 0; x < s.width(); ++x) set_pixel(s, x, y, y * 1000 + x);
}

bool padding_intact(const MemorySurface& s) {
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
    void run(Tracer& tracer, std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        const SurfaceDesc d = dest.description(), s = source.description();
        tracer.trace(l, t, r, b, map.data() + std::size_t(t) * width + l, std::int32_t(width),
                     std::int32_t(height), &d, &s);
    }
    void run_all(Tracer& tracer) {
        run(tracer, 0, 0, std::int32_t(width) - 1, std::int32_t(height) - 1);
    }
};

}  // namespace

TEST(TracerSetup, DecodesChannelMasksAndParameters) {
    Tracer t;
    t.tracer_init(0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(t.BitShifts[2], 11);
    EXPECT_EQ(t.BitShifts[1], 5);
    EXPECT_EQ(t.BitShifts[0], 0);
    EXPECT_EQ(t.RBitMask, 31u);
    EXPECT_EQ(t.GBitMask, 63u);
    EXPECT_EQ(t.BBitMask, 31u);
    t.tracer_init(0xFF0000, 0xFF00, 0xFF);
    EXPECT_EQ(t.BitShifts[2], 16);
    EXPECT_EQ(t.BitShifts[1], 8);
    EXPECT_EQ(t.BitShifts[0], 0);
    EXPECT_EQ(t.RBitMask, 255u);
    EXPECT_EQ(t.GBitMask, 255u);
    EXPECT_EQ(t.BBitMask, 255u);
    t.tracer_init(0, 0, 0);
    EXPECT_EQ(t.RBitMask, 0u);
    EXPECT_EQ(t.BitShifts[2], 0);

    t.tracer_distance_to_desktop = 3;
    t.tracer_anti_alias = t.tracer_tracks = t.tracer_lighting = 0;
    t.tracer_setup(kCosnTable, 0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(t.tracer_distance_to_desktop, 8);
    EXPECT_EQ(t.tracer_anti_alias, 1);
    EXPECT_EQ(t.tracer_tracks, 1);
    EXPECT_EQ(t.tracer_lighting, 1);
    EXPECT_EQ(t.tracer_cosntable, kCosnTable);
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

TEST(TracerRandom, SequenceFromZero) {
    // Every screen's generator starts at 0.
    Tracer t;
    EXPECT_EQ(t.Seed, 0u);
    const std::uint32_t states[5] = {0xE8427503, 0x51D2C5F2, 0x4210D2D8, 0xE56FB8A3, 0x401B8FA4};
    const std::uint32_t draws[8] = {1, 1, 1, 0, 2, 0, 0, 1};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(t.random(3), draws[i]) << i;
        if (i < 5) {
            EXPECT_EQ(t.Seed, states[i]) << i;
        }
    }
}

TEST(TracerRefraction, DisplacementAndTrackJitter) {
    Tracer t;
    setup_for(t, 8);
    Scene s(16, 4, 8);
    fill_numbered(s.source);
    s.at(5, 1) = {8, 30, -20, 10};  // height D: stays in place
    s.at(6, 1) = {10, 10, 0, 20};   // thicker than D: one column to the left
    s.at(7, 1) = {3, 0, 0, 0};      // flat normal_z: t is the fixed maximum, x and y unmoved
    s.run(t, 5, 1, 7, 1);
    EXPECT_EQ(pixel_at(s.dest, 5, 1), pixel_at(s.source, 5, 1));
    EXPECT_EQ(pixel_at(s.dest, 6, 1), pixel_at(s.source, 5, 1));
    EXPECT_EQ(pixel_at(s.dest, 7, 1), pixel_at(s.source, 7, 1));

    // Track markers read their own position moved by the jitter 0, 0, 0, -1, +1, -1, -1, 0.
    t.Seed = 0;
    for (std::uint32_t x = 4; x < 12; ++x) s.at(x, 2) = {1, 0, 0, 1};
    s.run(t, 4, 2, 11, 2);
    const int jitter[8] = {0, 0, 0, -1, 1, -1, -1, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(pixel_at(s.dest, 4 + i, 2), pixel_at(s.source, 4 + i + jitter[i], 2)) << i;

    // Without jitter the generator stays put and tracks read their own pixel.
    t.tracer_tracks = 0;
    const std::uint32_t before = t.Seed;
    s.run(t, 4, 2, 11, 2);
    EXPECT_EQ(t.Seed, before);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(pixel_at(s.dest, 4 + i, 2), pixel_at(s.source, 4 + i, 2)) << i;
    EXPECT_TRUE(padding_intact(s.dest));
}

TEST(TracerRefraction, SourceCoordinatesWrapIntoTheMap) {
    Tracer t;
    setup_for(t, 16);
    t.tracer_anti_alias = 0;
    t.tracer_lighting = 0;
    Scene s(640, 3, 16);
    fill_numbered(s.source);
    // Displacement dx = ((-4096 * k / 4) * normal_x) >> 12 with height 9 and normal_z 4:
    // -normal_x/4. Each point's target column is chosen so that x + dx hits one of the wrap cases.
    struct Case {
        std::uint32_t x;
        std::int32_t sx;
        std::uint32_t expected;
    } cases[] = {{0, -1, 638}, {0, -120, 519}, {639, 640, 0}, {600, 700, 60}};
    for (const Case& c : cases) {
        const std::int32_t dx = c.sx - std::int32_t(c.x);
        // With height 9, D 8, normal_z -1: t = 4096, dx = normal_x.
        ASSERT_GE(dx, -128);
        ASSERT_LE(dx, 127);
        s.at(c.x, 1) = {9, std::int8_t(dx), 0, -1};
        s.run(t, c.x, 1, c.x, 1);
        EXPECT_EQ(pixel_at(s.dest, c.x, 1), pixel_at(s.source, c.expected, 1)) << c.sx;
        s.at(c.x, 1) = {0, 0, 0, 0};
    }
    // Vertical wrap with map_height 3: row 1 moved up by 2 reads row -1, that is row 1.
    s.at(10, 1) = {9, 0, -2, -1};
    s.run(t, 10, 1, 10, 1);
    EXPECT_EQ(pixel_at(s.dest, 10, 1), pixel_at(s.source, 10, 1));
    // Far beyond: -640 gives 639, -641 gives 638, 1300 gives 20 (normal_z -2 doubles nothing:
    // t = 2048 halves the displacement, so use height 10 with normal_z -2 for t = 4096).
    s.at(0, 2) = {24, 40, 0, 1};  // t = -16 * 4096, dx = -640
    s.run(t, 0, 2, 0, 2);
    EXPECT_EQ(pixel_at(s.dest, 0, 2), pixel_at(s.source, 639, 2));
    s.at(1, 2) = {24, 40, 0, 1};  // 1 - 640 = -639 -> 639 + (-639) = 0
    s.run(t, 1, 2, 1, 2);
    EXPECT_EQ(pixel_at(s.dest, 1, 2), pixel_at(s.source, 0, 2));
    s.at(0, 0) = {48, -33, 0, 1};  // t = -40 * 4096, dx = 1320 -> 1320 mod 640 = 40
    s.run(t, 0, 0, 0, 0);
    EXPECT_EQ(pixel_at(s.dest, 0, 0), pixel_at(s.source, 40, 0));
    EXPECT_TRUE(padding_intact(s.dest));
}

TEST(TracerHighlight, FlatAndSteepNormals) {
    Tracer t;
    setup_for(t, 16);
    // Flat water: inc 0 at 16 bpp, the pixel stays as it is.
    EXPECT_EQ(t.light16(0x1234, 0, 0, 127), 0x1234u);
    // Steep normal: inc 40 saturates every 5-6-5 channel except green (40 + g).
    EXPECT_EQ(t.light16(0x0000, -127, 0, 64), (31u << 11) | (40u << 5) | 31u);
    EXPECT_EQ(t.light16(0x0841, -127, 0, 64), (31u << 11) | (42u << 5) | 31u);

    setup_for(t, 32);
    // Flat water: inc 2, and the fourth byte is cleared.
    EXPECT_EQ(t.light24(0xAB102030, 0, 0, 127), 0x00122232u);
    EXPECT_EQ(t.light24(0x00FEFF00, 0, 0, 127), 0x00FFFF02u);
    // Steep normal: inc 220.
    EXPECT_EQ(t.light24(0x77102030, -127, 0, 64), 0x00ECFCFFu);
    // A normal far from the light gives inc 0: every byte kept, the fourth one too.
    EXPECT_EQ(t.light24(0xAB102030, 0, 127, 64), 0xAB102030u);
    // Degenerate normals neither crash nor read outside the table.
    (void)t.light24(0x102030, 0, 0, 0);
    (void)t.light24(0x102030, 0, 127, 0);
    (void)t.light24(0x102030, -128, -128, -128);
}

TEST(TracerHighlight, AppliedToDropsNotTracksAtEachDepth) {
    Tracer t;
    for (std::uint32_t bpp : {16u, 24u, 32u}) {
        setup_for(t, bpp);
        t.tracer_anti_alias = 0;
        t.tracer_tracks = 0;
        Scene s(8, 3, bpp);
        for (std::uint32_t x = 0; x < 8; ++x)
            for (std::uint32_t y = 0; y < 3; ++y)
                set_pixel(s.source, x, y, bpp == 32 ? 0x5A000000 : 0);
        s.at(0, 0) = {8, -127, 0, 64};  // drop, edge: lit, not darkened
        s.at(1, 0) = {1, 0, 0, 1};      // track on the edge row: unchanged
        s.at(2, 1) = {8, 0, 127, 64};   // drop, inc 0: source kept whole
        s.run_all(t);
        const std::uint32_t lit = bpp == 16 ? ((31u << 11) | (40u << 5) | 31u) : 0x00DCDCDCu;
        EXPECT_EQ(pixel_at(s.dest, 0, 0), lit) << bpp;
        EXPECT_EQ(pixel_at(s.dest, 1, 0), pixel_at(s.source, 1, 0)) << bpp;
        EXPECT_EQ(pixel_at(s.dest, 2, 1), pixel_at(s.source, 2, 1)) << bpp;
        EXPECT_TRUE(padding_intact(s.dest));
    }
}

TEST(TracerSecondPass, WhiteAntiAliasAndTrack565) {
    Tracer t;
    setup_for(t, 16);
    t.tracer_tracks = 0;
    t.tracer_lighting = 0;
    Scene s(5, 5, 16);
    for (std::uint32_t y = 0; y < 5; ++y)
        for (std::uint32_t x = 0; x < 5; ++x) set_pixel(s.source, x, y, 0xFFFF);
    s.at(1, 1) = {5, 0, 0, 1};
    s.at(3, 3) = {1, 0, 0, 1};
    s.at(0, 2) = {1, 0, 0, 1};  // on the edge: never filtered or darkened
    // Dry neighbours are read from the destination too: make them white as well.
    for (std::uint32_t y = 0; y < 5; ++y)
        for (std::uint32_t x = 0; x < 5; ++x) set_pixel(s.dest, x, y, 0xFFFF);
    s.run_all(t);
    const std::uint32_t darker = (29u << 11) | (59u << 5) | 29u;
    EXPECT_EQ(pixel_at(s.dest, 1, 1), 0xFFFFu);
    EXPECT_EQ(pixel_at(s.dest, 3, 3), darker);
    EXPECT_EQ(pixel_at(s.dest, 0, 2), 0xFFFFu);

    // The track pass darkens only track points inside the edges.
    t.tracer_anti_alias = 0;
    for (std::uint32_t y = 0; y < 5; ++y)
        for (std::uint32_t x = 0; x < 5; ++x) set_pixel(s.dest, x, y, 0);
    s.run_all(t);
    EXPECT_EQ(pixel_at(s.dest, 3, 3), darker);
    EXPECT_EQ(pixel_at(s.dest, 1, 1), 0xFFFFu);
    EXPECT_EQ(pixel_at(s.dest, 0, 2), 0xFFFFu);
    EXPECT_TRUE(padding_intact(s.dest));
}

TEST(TracerSecondPass, AntiAliasAverages) {
    Tracer t;
    setup_for(t, 24);
    t.tracer_lighting = 0;
    Scene s(3, 3, 24);
    set_pixel(s.source, 1, 1, 0x800000);
    s.at(1, 1) = {5, 0, 0, 1};
    s.run_all(t);
    // (8 * 128 + 0) >> 4 = 64 in red.
    EXPECT_EQ(pixel_at(s.dest, 1, 1), 0x400000u);
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t x = 0; x < 3; ++x)
            if (x != 1 || y != 1) {
                EXPECT_EQ(pixel_at(s.dest, x, y), 0u);
            }
}

TEST(TracerDispatch, DryRectanglesAndUnsupportedDepthsDrawNothing) {
    Tracer t;
    for (std::uint32_t bpp : {8u, 16u, 24u, 32u}) {
        setup_for(t, bpp);
        Scene s(9, 6, bpp);
        fill_numbered(s.source);
        fill_numbered(s.dest);
        for (auto& b : s.dest.bytes()) b ^= 0x3C;
        const std::vector<std::uint8_t> before = s.dest.bytes();
        s.run_all(t);
        EXPECT_EQ(s.dest.bytes(), before) << bpp;
    }
    for (std::uint32_t bpp : {15u, 4u}) {
        setup_for(t, 16);
        Scene s(9, 6, 16);
        for (auto& p : s.map) p = {5, 10, 10, 30};
        fill_numbered(s.source);
        const std::vector<std::uint8_t> before = s.dest.bytes();
        SurfaceDesc d = s.dest.description(), src = s.source.description();
        d.BPP = src.BPP = bpp;
        t.trace(0, 0, 8, 5, s.map.data(), 9, 6, &d, &src);
        EXPECT_EQ(s.dest.bytes(), before) << bpp;
    }
}

// A tracer remembers per map record where rays land and how they are lit; a change of the
// distance to the desktop or of the lighting between traces must be seen at once, as a fresh
// tracer would see it.
TEST(TracerRefraction, ParameterChangesBetweenTracesTakeEffect) {
    const auto scene = [](std::uint32_t bpp) {
        auto s = std::make_unique<Scene>(12, 10, bpp);
        fill_numbered(s->source);
        for (std::uint32_t y = 2; y < 8; ++y)
            for (std::uint32_t x = 2; x < 10; ++x)
                s->at(x, y) = {std::uint8_t(2 + x % 3), std::int8_t(int(x) * 9 - 50),
                               std::int8_t(int(y) * 7 - 30), std::int8_t(20 + int(y))};
        return s;
    };
    for (std::uint32_t bpp : {16u, 32u}) {
        Tracer reused;
        setup_for(reused, bpp);
        scene(bpp)->run_all(reused);  // fills its memory with the saver's parameters
        for (const auto& [distance, lighting] :
             {std::pair{3, 1}, std::pair{3, 0}, std::pair{8, 0}}) {
            Tracer fresh;
            setup_for(fresh, bpp);
            for (Tracer* t : {&reused, &fresh}) {
                t->tracer_distance_to_desktop = distance;
                t->tracer_lighting = lighting;
            }
            auto a = scene(bpp), b = scene(bpp);
            a->run_all(reused);
            b->run_all(fresh);
            EXPECT_EQ(a->dest.bytes(), b->dest.bytes())
                << bpp << " bpp, D " << distance << ", lighting " << lighting;
        }
    }
}
