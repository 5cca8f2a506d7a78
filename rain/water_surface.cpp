#include "rain/water_surface.h"

#include <algorithm>

WaterSurface::WaterSurface(std::int32_t width, std::int32_t height, std::int32_t radiusLimit)
    : grid_(width, height),
      limit_(std::max(radiusLimit, 1)),
      tracks_(limit_, ShapeKind::Track),
      bodies_(limit_, ShapeKind::Body) {}

WaterSurface::~WaterSurface() = default;

void WaterSurface::addDirty(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
    const std::int32_t left = std::min(a, c), right = std::max(a, c);
    const std::int32_t top = std::min(b, d), bottom = std::max(b, d);
    if (right - left <= 0 || bottom - top <= 0) return;
    dirty_.push_back(DirtyRect{left, bottom, right, top});
}

std::uint32_t WaterSurface::heightAt(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= grid_.map_width || y >= grid_.map_height) return 0;
    return grid_.at(x, y)->height;
}

const DropShape& WaterSurface::shapeFor(std::int32_t radius, std::int32_t tail,
                                        ShapeKind kind) const {
    // A radius outside the tables would index past them.
    radius = std::clamp(radius, 1, limit_);
    return kind == ShapeKind::Track ? tracks_.lookup(radius, tail) : bodies_.lookup(radius, tail);
}

ShapeRect WaterSurface::stamp(std::int32_t x, std::int32_t y, std::int32_t radius,
                              std::int32_t tail, ShapeKind kind) {
    return shapeFor(radius, tail, kind).stamp_onto(grid_, x, y, BlitMode::Copy);
}

ShapeRect WaterSurface::stampBlend(std::int32_t x, std::int32_t y, std::int32_t radius,
                                   std::int32_t tail, ShapeKind kind) {
    return shapeFor(radius, tail, kind).stamp_onto(grid_, x, y, BlitMode::Blend);
}

void WaterSurface::takeChanges(std::vector<DirtyRect>& into) {
    into.clear();
    for (DirtyRect r : dirty_)
        if (clipToMap(r, grid_.map_width, grid_.map_height)) into.push_back(r);
    dirty_.clear();
}

void WaterSurface::clear() { grid_.clear(); }
