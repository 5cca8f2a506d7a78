#include "tools/render/rain_render.h"

#include "picture/pixel_format.h"
#include "render/tracer/cosntable.h"
#include "settings/settings_switches.h"

namespace {

// The surface holding the picture in the given depth.
MemorySurface surfaceOf(const Picture& picture, std::uint32_t bpp) {
    MemorySurface surface(static_cast<std::uint32_t>(picture.width),
                          static_cast<std::uint32_t>(picture.height), bpp);
    fillSurface(picture, surface);
    return surface;
}

}  // namespace

RainRender::RainRender(const Picture& picture, std::uint32_t bpp, const SaverSettings& settings,
                       std::uint32_t seed, std::int32_t restartSeconds)
    : work_(surfaceOf(picture, bpp)),
      pictures_(work_.description()),
      // The clock starts at 0 and frame N runs at N * 20 ms: a restart falls due once a whole
      // period has passed, before frame P + 1 for a period of P frames, and a zero period wipes
      // the pane before every frame.
      loop_(settingsWithRestart(settings, restartSeconds), kCosnTable, 0, seed) {
    loop_.prepare(picture.width, picture.height, channelMasksFor(bpp));
}

void RainRender::step() {
    ++frames_;
    loop_.frame(pictures_, static_cast<std::uint32_t>(frames_) * kFrameMs);
}

double RainRender::wetShare() const {
    const SurfaceGrid& grid = loop_.waterSurface().grid();
    const std::size_t total =
        static_cast<std::size_t>(grid.map_width) * static_cast<std::size_t>(grid.map_height);
    std::size_t wet = 0;
    for (std::size_t i = 0; i < total; ++i) wet += grid.points[i].height > 0 ? 1 : 0;
    return total == 0 ? 0.0 : static_cast<double>(wet) / static_cast<double>(total);
}
