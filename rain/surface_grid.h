#pragma once

#include <cstdint>
#include <vector>

#include "render/tracer/surface.h"

class Tracer;

// The water map: one point per screen pixel, row by row without gaps.
class SurfaceGrid {
  public:
    SurfaceGrid(std::int32_t width, std::int32_t height);
    virtual ~SurfaceGrid();

    // Hands one clipped rectangle to the screen's tracer; `points` addresses the point
    // (left, top).
    virtual void traceRect(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom, const SurfacePoint* points, const SurfaceDesc* dest,
                           const SurfaceDesc* source, Tracer& tracer);

    void clear();

    SurfacePoint* at(std::int32_t x, std::int32_t y) {
        return points + static_cast<std::size_t>(y) * static_cast<std::size_t>(map_width) + x;
    }
    const SurfacePoint* at(std::int32_t x, std::int32_t y) const {
        return points + static_cast<std::size_t>(y) * static_cast<std::size_t>(map_width) + x;
    }

    std::int32_t map_width;
    std::int32_t map_height;
    SurfacePoint* points;

  private:
    std::vector<SurfacePoint> storage_;
};
