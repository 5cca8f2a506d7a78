#pragma once

#include <cstdint>
#include <vector>

#include "engine/memory_pictures.h"
#include "engine/screen_loop.h"
#include "settings/saver_settings.h"

// A rectangle of the screen as the system gives monitors: right and bottom exclusive; left and
// top may be negative (a monitor left of or above the primary).
struct MonitorArea {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool overlaps(const MonitorArea& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

// The monitors that need a rain of their own, in the order given: not the primary (the display
// device covers it), none that is empty, and none that overlaps the primary or a monitor kept
// before it (a mirror shows that picture already; a window there would hide it).
std::vector<MonitorArea> secondaryAreas(const std::vector<MonitorArea>& monitors,
                                        const MonitorArea& primary);

// The rain of one monitor other than the primary: a screen loop at the monitor's size over a
// 32-bit picture (blue in the lowest byte, as a 32-bit bitmap keeps it) and the clean desktop
// that picture held at the start.
class MonitorRain {
  public:
    // A changed part of the picture, in the picture's pixels; right and bottom exclusive.
    using Change = MonitorArea;

    // `pixels` (the monitor's size, top row first, rows `pitch` bytes apart) must hold the
    // monitor's clean desktop and stay in place as long as this object lives. Restarts follow
    // `settings` from the tick `now` on; `cosntable` is the highlight table, used in place; the
    // drops come from the monitor's own generator, started at `seed`.
    MonitorRain(const MonitorArea& area, const SaverSettings& settings,
                const std::int32_t* cosntable, std::uint32_t now, std::uint32_t seed,
                std::uint8_t* pixels, std::uint32_t pitch);
    MonitorRain(const MonitorRain&) = delete;
    MonitorRain& operator=(const MonitorRain&) = delete;

    const MonitorArea& area() const { return area_; }

    // One frame at the tick `now`. Answers the parts of the picture to show again.
    const std::vector<Change>& frame(std::uint32_t now);

    // Puts the clean desktop back into the picture (the end of the run).
    void clean() { pictures_.restoreWork(); }

    ScreenLoop& loop() { return loop_; }

  private:
    MonitorArea area_;
    MemoryPictures pictures_;
    ScreenLoop loop_;
    std::vector<Change> changes_;
};
