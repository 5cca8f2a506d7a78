#pragma once

#include <cstdint>
#include <vector>

#include "rain/dirty_rect.h"
#include "rain/drop_shape.h"
#include "rain/shape_table.h"
#include "rain/surface_grid.h"

// The pane with its water: the map, the drop shapes and the rectangles changed this frame.
class WaterSurface {
  public:
    WaterSurface(std::int32_t width, std::int32_t height, std::int32_t radiusLimit);
    virtual ~WaterSurface();
    WaterSurface(const WaterSurface&) = delete;
    WaterSurface& operator=(const WaterSurface&) = delete;

    // Two opposite corners; rectangles one pixel wide or tall are not recorded.
    virtual void addDirty(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d);
    virtual std::uint32_t heightAt(std::int32_t x, std::int32_t y) const;
    virtual ShapeRect stamp(std::int32_t x, std::int32_t y, std::int32_t radius, std::int32_t tail,
                            ShapeKind kind);
    virtual ShapeRect stampBlend(std::int32_t x, std::int32_t y, std::int32_t radius,
                                 std::int32_t tail, ShapeKind kind);

    // Hands over what changed since the last call: the recorded rectangles clipped to the map,
    // in the order they were recorded and without those wholly off it, into `into` (emptied
    // first); the list then starts anew. Every map point a stamp changed lies inside them.
    void takeChanges(std::vector<DirtyRect>& into);
    void clear();

    std::int32_t width() const { return grid_.map_width; }
    std::int32_t height() const { return grid_.map_height; }
    std::int32_t radiusLimit() const { return limit_; }
    const SurfaceGrid& grid() const { return grid_; }
    // The rectangles recorded since the last takeChanges, as addDirty stored them.
    const std::vector<DirtyRect>& dirtyList() const { return dirty_; }

  private:
    const DropShape& shapeFor(std::int32_t radius, std::int32_t tail, ShapeKind kind) const;

    SurfaceGrid grid_;
    std::int32_t limit_;
    ShapeTable tracks_;
    ShapeTable bodies_;
    std::vector<DirtyRect> dirty_;
};
