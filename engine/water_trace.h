#pragma once

#include <vector>

#include "rain/dirty_rect.h"
#include "rain/water_surface.h"
#include "render/tracer/lockable_surface.h"
#include "render/tracer/tracer.h"

// The second half of a frame, after the rain has stepped: what the pane changed is traced from
// the clean picture into the work picture with the screen's tracer.
class WaterTrace {
  public:
    // Traces every rectangle `water` changed since the last trace from `background` into `work`.
    // A picture that does not lock is neither drawn into nor unlocked; the rectangles then stay
    // with the pane for the next frame, so the rain is drawn late rather than never.
    void run(WaterSurface& water, LockableSurface& work, LockableSurface& background,
             Tracer& tracer);

    // The rectangles the last run traced, clipped to the map: all the work picture's pixels it
    // changed lie inside them.
    const std::vector<DirtyRect>& traced() const { return traced_; }

  private:
    std::vector<DirtyRect> traced_;
};
