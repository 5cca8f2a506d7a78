#pragma once

#include <cstdint>
#include <vector>

#include "render/tracer/surface.h"

// The water map: one point per screen pixel, row by row without gaps.
class SurfaceGrid {
  public:
    SurfaceGrid(std::int32_t width, std::int32_t height);
    ~SurfaceGrid();

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
