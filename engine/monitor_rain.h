#pragma once

#include <cstdint>
#include <vector>

#include "engine/memory_pictures.h"
#include "engine/pixel_area.h"
#include "engine/screen_loop.h"
#include "settings/saver_settings.h"

// The monitors that need a rain of their own, in the order given: not the primary (the display
// device covers it), none that is empty, and none that overlaps the primary or a monitor kept
// before it (a mirror shows that picture already; a window there would hide it).
std::vector<PixelArea> secondaryAreas(const std::vector<PixelArea>& monitors,
                                      const PixelArea& primary);

// The rain of one monitor other than the primary: a screen loop at the monitor's size over a
// 32-bit picture (blue in the lowest byte, as a 32-bit bitmap keeps it) and the clean desktop
// that picture held at the start.
class MonitorRain {
  public:
    // `pixels` (the monitor's size, top row first, rows `pitch` bytes apart) must hold the
    // monitor's clean desktop and stay in place as long as this object lives. Restarts follow
    // `settings` from the tick `now` on; `cosntable` is the highlight table, used in place; the
    // drops come from the monitor's own generator, started at `seed`.
    MonitorRain(const PixelArea& area, const SaverSettings& settings, const std::int32_t* cosntable,
                std::uint32_t now, std::uint32_t seed, std::uint8_t* pixels, std::uint32_t pitch);
    MonitorRain(const MonitorRain&) = delete;
    MonitorRain& operator=(const MonitorRain&) = delete;

    const PixelArea& area() const { return area_; }

    // One frame at the tick `now`. Answers the parts of the picture to show again, in the
    // picture's pixels.
    const std::vector<PixelArea>& frame(std::uint32_t now);

    // Puts the clean desktop back into the picture (the end of the run).
    void clean() { pictures_.restoreWork(); }

    ScreenLoop& loop() { return loop_; }

  private:
    PixelArea area_;
    MemoryPictures pictures_;
    ScreenLoop loop_;
    std::vector<PixelArea> changes_;
};
