#include "tools/render/rain_render.h"

#include "rain/drop.h"
#include "rain/rain_random.h"
#include "rain/rain_tuning.h"
#include "render/tracer/cosntable.h"
#include "render/tracer/tracer.h"
#include "tools/render/pixel_format.h"

RainRender::RainRender(const Picture& picture, std::uint32_t bpp, const SaverSettings& settings,
                       std::uint32_t seed, std::int32_t restartSeconds)
    : restartFrames_(
          restartSeconds < 0 ? -1 : static_cast<std::int64_t>(restartSeconds) * kFramesPerSecond),
      background_(static_cast<std::uint32_t>(picture.width),
                  static_cast<std::uint32_t>(picture.height), bpp),
      work_(static_cast<std::uint32_t>(picture.width), static_cast<std::uint32_t>(picture.height),
            bpp) {
    const ChannelMasks masks = channelMasksFor(bpp);
    fillSurface(picture, background_);
    work_.bytes() = background_.bytes();

    // The same set-up order as the saver's run.
    surface_ =
        std::make_unique<WaterSurface>(picture.width, picture.height, settings.dropRadiusMax());
    field_ = std::make_unique<RainField>(picture.width, picture.height, surface_.get());
    field_->configure(settings);
    RainRandom::seed(seed);
    setUpRainTuning(Drop::MaxDropRadius);
    tracer_setup(kCosnTable, masks.r, masks.g, masks.b);
}

void RainRender::restart() {
    field_->clear();
    surface_->clear();
    work_.bytes() = background_.bytes();
}

void RainRender::step() {
    // The saver restarts once a whole period has passed, so with a period of P frames the
    // first restart comes before frame P + 1; a zero period wipes the pane every frame.
    const std::int64_t done = frames_;
    if (restartFrames_ == 0 || (restartFrames_ > 0 && done > 0 && done % restartFrames_ == 0)) {
        restart();
    }
    field_->step();
    surface_->flush(work_, background_);
    ++frames_;
}

double RainRender::wetShare() const {
    const SurfaceGrid& grid = surface_->grid();
    const std::size_t total =
        static_cast<std::size_t>(grid.map_width) * static_cast<std::size_t>(grid.map_height);
    std::size_t wet = 0;
    for (std::size_t i = 0; i < total; ++i) wet += grid.points[i].height > 0 ? 1 : 0;
    return total == 0 ? 0.0 : static_cast<double>(wet) / static_cast<double>(total);
}
