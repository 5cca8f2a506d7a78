#pragma once

#include <cstdint>
#include <vector>

#include "rain/rain_field.h"
#include "rain/water_surface.h"
#include "render/tracer/memory_surface.h"
#include "render/tracer/picture_view.h"

class RainParameters;

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

// The rain of one monitor other than the primary: its own water surface and rain field at the
// monitor's size, traced into a 32-bit picture (blue in the lowest byte, as a 32-bit bitmap
// keeps it) over the clean desktop that picture held at the start.
class MonitorRain {
  public:
    // A changed part of the picture, in the picture's pixels; right and bottom exclusive.
    using Change = MonitorArea;

    // `pixels` (the monitor's size, top row first, rows `pitch` bytes apart) must hold the
    // monitor's clean desktop and stay in place as long as this object lives.
    MonitorRain(const MonitorArea& area, const RainParameters& rain, std::int32_t radiusLimit,
                std::uint8_t* pixels, std::uint32_t pitch);
    MonitorRain(const MonitorRain&) = delete;
    MonitorRain& operator=(const MonitorRain&) = delete;

    const MonitorArea& area() const { return area_; }

    // One frame; with `restart` the glass is wiped first (no drops, dry map, clean picture).
    // Answers the parts of the picture that changed and must be shown again.
    const std::vector<Change>& frame(bool restart);

    // Puts the clean desktop back into the picture (the end of the run).
    void clean();

    const WaterSurface& water() const { return water_; }
    const RainField& field() const { return field_; }

  private:
    MonitorArea area_;
    WaterSurface water_;
    RainField field_;
    PictureView picture_;
    MemorySurface background_;
    std::vector<Change> changes_;
};
