#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "rain/rain_field.h"
#include "rain/water_surface.h"
#include "render/tracer/memory_surface.h"
#include "settings/saver_settings.h"
#include "tools/render/picture.h"

// The saver's frame loop over pictures in memory: the rain falls on `picture` (already at the
// render size) and is traced in the given depth. The rain generator, the rain tuning and the
// tracer are process-wide, so only one RainRender should run at a time.
class RainRender {
  public:
    // `restartSeconds` < 0: the rain never restarts; 0: it restarts on every frame.
    RainRender(const Picture& picture, std::uint32_t bpp, const SaverSettings& settings,
               std::uint32_t seed, std::int32_t restartSeconds);
    RainRender(const RainRender&) = delete;
    RainRender& operator=(const RainRender&) = delete;

    // One frame at 50 frames a second: restart if due, rain step, trace.
    void step();

    std::int32_t framesDone() const { return frames_; }
    const MemorySurface& work() const { return work_; }
    const MemorySurface& background() const { return background_; }
    const WaterSurface& surface() const { return *surface_; }
    std::size_t liveDrops() const { return field_->drops().size(); }
    // Share of the map's points that hold water or a track.
    double wetShare() const;

  private:
    void restart();

    static constexpr std::int32_t kFramesPerSecond = 50;

    std::int64_t restartFrames_;
    std::int32_t frames_ = 0;
    MemorySurface background_;
    MemorySurface work_;
    // The field's drops point at the surface, so the field is declared last and goes first.
    std::unique_ptr<WaterSurface> surface_;
    std::unique_ptr<RainField> field_;
};
