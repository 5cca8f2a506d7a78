#include "rain/surface_grid.h"

#include <algorithm>

#include "foundation/huge_pages.h"

SurfaceGrid::SurfaceGrid(std::int32_t width, std::int32_t height)
    : map_width(std::max(width, 0)), map_height(std::max(height, 0)), points(nullptr) {
    // Read at every traced point each frame: on huge pages where the system gives them.
    assignOnHugePages(storage_,
                      static_cast<std::size_t>(map_width) * static_cast<std::size_t>(map_height),
                      SurfacePoint{0, 0, 0, 0});
    points = storage_.data();
}

SurfaceGrid::~SurfaceGrid() = default;

void SurfaceGrid::clear() { std::fill(storage_.begin(), storage_.end(), SurfacePoint{0, 0, 0, 0}); }
