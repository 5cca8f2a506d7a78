#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "engine/memory_pictures.h"
#include "engine/screen_loop.h"
#include "render/tracer/cosntable.h"
#include "render/tracer/memory_surface.h"
#include "settings/saver_settings.h"

// A settled saver run at 32 bpp over memory pictures, the common ground of the frame's
// benchmarks and of its instruction count.
namespace bench {

constexpr int kWarmUpFrames = 3000;
constexpr std::uint32_t kSeed = 1;

inline void fillPicture(MemorySurface& s) {
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

inline SaverSettings withDensity(int density) {
    SaverSettings settings;
    settings.setDensity(density);
    return settings;
}

inline MemorySurface pictureOfSize(std::int32_t w, std::int32_t h) {
    MemorySurface picture(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), 32);
    fillPicture(picture);
    return picture;
}

// The scene a frame program draws, from its arguments "width height density" (1920 x 1080,
// density 50 when they are left out). False, with a usage line, when they make no scene.
struct SceneArguments {
    std::int32_t width = 1920, height = 1080;
    int density = 50;
};
inline bool readSceneArguments(int argc, char** argv, const char* program, SceneArguments& scene) {
    if (argc > 3) scene = {std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])};
    if (scene.width >= 2 && scene.height >= 2 && scene.density >= 1) return true;
    std::fprintf(stderr, "usage: %s [width height density]\n", program);
    return false;
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
          loop(withDensity(density), kCosnTable, 0, kSeed) {
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

}  // namespace bench
