#include "engine/water_trace.h"

namespace {

TraceJob jobOf(const DirtyRect& r, const SurfaceGrid& grid, const SurfaceDesc& source,
               const SurfaceDesc& dest) {
    return {r.left, r.top, r.right, r.bottom, {grid.points, grid.map_width, grid.map_height},
            source, dest};
}

}  // namespace

void WaterTrace::run(WaterSurface& water, LockableSurface& work, LockableSurface& background,
                     Tracer& tracer) {
    traced_.clear();
    if (water.dirtyList().empty()) return;
    SurfaceDesc dest{};
    SurfaceDesc source{};
    if (!work.lock(dest)) return;
    if (!background.lock(source)) {
        work.unlock();
        return;
    }
    water.takeChanges(traced_);
    const SurfaceGrid& grid = water.grid();
    // The trace reads scattered rows of three screen-sized pictures: two rectangles ahead
    // their map and destination rows are asked for. (The source pixels the rays land on are
    // asked for by the refraction itself, as soon as it knows where each ray lands.)
    const std::size_t n = traced_.size();
    for (std::size_t i = 0; i < n && i < 2; ++i)
        prefetchTrace(jobOf(traced_[i], grid, source, dest));
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 2 < n) prefetchTrace(jobOf(traced_[i + 2], grid, source, dest));
        tracer.trace(jobOf(traced_[i], grid, source, dest));
    }
    background.unlock();
    work.unlock();
}
