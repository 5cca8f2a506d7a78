#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/memory_pictures.h"
#include "engine/screen_loop.h"
#include "picture/picture.h"
#include "render/tracer/memory_surface.h"
#include "settings/saver_settings.h"

// misto-render's screen: the saver's screen loop over pictures in memory, at 50 frames a
// second of its own clock. The rain falls on `picture` (already at the render size) and is
// traced in the given depth. The rain generator and the rain tuning are process-wide, so only
// one RainRender should run at a time.
class RainRender {
  public:
    // `restartSeconds` < 0: the rain never restarts; a period under a second counts as a second.
    RainRender(const Picture& picture, std::uint32_t bpp, const SaverSettings& settings,
               std::uint32_t seed, std::int32_t restartSeconds);
    RainRender(const RainRender&) = delete;
    RainRender& operator=(const RainRender&) = delete;

    // One frame, 20 ms after the one before: restart if due, rain step, trace.
    void step();

    std::int32_t framesDone() const { return frames_; }
    const MemorySurface& work() const { return work_; }
    const MemorySurface& background() const { return pictures_.cleanPicture(); }
    const WaterSurface& surface() const { return loop_.waterSurface(); }
    std::size_t liveDrops() const { return loop_.rainField().drops().size(); }
    // Share of the map's points that hold water or a track.
    double wetShare() const;

  private:
    static constexpr std::uint32_t kFrameMs = 20;

    std::int32_t frames_ = 0;
    MemorySurface work_;
    MemoryPictures pictures_;
    ScreenLoop loop_;
};
