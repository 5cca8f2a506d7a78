#include "engine/screen_loop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/memory_pictures.h"
#include "engine/monitor_rain.h"
#include "fnv1a.h"
#include "render/tracer/cosntable.h"
#include "render/tracer/memory_surface.h"

// The screen loop at every depth and channel layout, with wind and restarts, and on another
// monitor's bitmap: the checksums pin the frames every host draws, so that a change which moves
// one byte of any host's picture shows.
namespace {

void fill(MemorySurface& s) {
    for (std::uint32_t y = 0; y < s.height(); ++y)
        for (std::uint32_t i = 0; i < s.rowBytes(); ++i)
            s.row(y)[i] = std::uint8_t((i * 2654435761u) ^ (y * 40503u) ^ ((i / 16 + y / 8) * 77u));
}

SaverSettings rain(int density, int wind, float direction) {
    SaverSettings s;
    s.setDensity(density);
    s.setWindForce(wind);
    s.setWindDirection(direction);
    return s;
}

struct Case {
    std::uint32_t bpp;
    ChannelMasks masks;
    std::int32_t width, height;
    int density, wind;
    float direction;
    // The glass is wiped before every frame that is a multiple of this; never when negative.
    int restartEvery;
    std::uint32_t seed;
    std::uint64_t at100, at200;
};

TEST(ScreenLoop, PinnedFramesAtEveryDepthWithRestartsAndWind) {
    const Case cases[] = {
        {8, {0, 0, 0}, 200, 150, 50, 25, 1.7f, 40, 3, 0x1f10a71faf646cceull, 0x8b40efd59dfaea46ull},
        {16, {0xF800, 0x07E0, 0x1F}, 203, 151, 50, 25, 1.7f, 40, 3, 0, 0xc86e8f76d257a539ull},
        {24,
         {0xFF0000, 0xFF00, 0xFF},
         205,
         149,
         45,
         40,
         4.0f,
         33,
         5,
         0xd8039624a6a82a02ull,
         0x825d050eed61dad8ull},
        {32, {0xFF0000, 0xFF00, 0xFF}, 199, 150, 50, 50, 2.5f, 25, 7, 0, 0x2544d26c515fd556ull},
        // Red in the lowest byte, and never a restart.
        {32, {0xFF, 0xFF00, 0xFF0000}, 120, 90, 50, 5, 5.5f, -1, 8, 0, 0xae92e79dbe4d2b33ull},
    };
    for (const Case& c : cases) {
        const std::string name = std::to_string(c.bpp) + " bpp, " + std::to_string(c.width);
        // Rows longer than the picture, whose padding the loop must leave alone.
        MemorySurface work(c.width, c.height, c.bpp, c.width * (c.bpp / 8) + 8);
        fill(work);
        MemoryPictures pictures(work.description());
        ScreenLoop loop(rain(c.density, c.wind, c.direction), kCosnTable, 0, c.seed);
        loop.prepare(c.width, c.height, c.masks);
        for (int done = 0; done < 200; ++done) {
            if (c.restartEvery == 0 ||
                (c.restartEvery > 0 && done > 0 && done % c.restartEvery == 0))
                loop.restartNextFrame();
            loop.frame(pictures, static_cast<std::uint32_t>(done) * 20);
            if (done + 1 == 100 && c.at100 != 0) {
                EXPECT_EQ(fnv1a(work.bytes()), c.at100) << name;
            }
        }
        EXPECT_EQ(fnv1a(work.bytes()), c.at200) << name;
        EXPECT_FALSE(loop.restartEnabled()) << "restarts by the settings are off by default";
    }

    // Another monitor's 32-bit bitmap, wiped every 30 frames.
    const std::int32_t w = 170, h = 110;
    MemorySurface bitmap(w, h, 32);
    fill(bitmap);
    MonitorRain monitor({-w, 0, 0, h}, rain(50, 20, 2.0f), kCosnTable, 0, 21, bitmap.bytes().data(),
                        w * 4);
    for (int done = 0; done < 200; ++done) {
        if (done > 0 && done % 30 == 0) monitor.loop().restartNextFrame();
        monitor.frame(static_cast<std::uint32_t>(done) * 20);
    }
    EXPECT_EQ(fnv1a(bitmap.bytes()), 0x09c83ff46c416e71ull);
}

}  // namespace
