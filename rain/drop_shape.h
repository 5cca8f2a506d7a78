#pragma once

#include <cstdint>
#include <vector>

#include "render/tracer/surface.h"

class SurfaceGrid;

enum class ShapeKind { Track, Body };

// The rectangle a stamped shape changed, and a drop's rectangle: left, top, right, bottom,
// inclusive pixels.
struct ShapeRect {
    std::int32_t left, top, right, bottom;
};

enum class BlitMode { Copy, Blend };

// A precomputed drop sprite of radius r with a tail t rows long: head centre at (r, r + t),
// 2r columns by 2r + t rows, row 0 the tail's tip.
class DropShape {
  public:
    DropShape(std::int32_t radius, std::int32_t tail);
    virtual ~DropShape();
    DropShape(const DropShape&) = delete;
    DropShape& operator=(const DropShape&) = delete;

    // Writes cols x rows shape points from (sx, sy) to `dest`, rows `stride` points apart.
    virtual void blit(std::int32_t sx, std::int32_t sy, std::int32_t cols, std::int32_t rows,
                      SurfacePoint* dest, std::int32_t stride) const = 0;
    // Maps a raw profile value to the stored height.
    virtual double profile(double z) const = 0;

    // Heights then normals; does nothing the second time.
    void build();

    ShapeRect place(std::int32_t x, std::int32_t y) const;
    // Places the head centre at (x, y), clips to the grid and writes; answers the changed
    // rectangle, {0,0,0,0} when the shape lies entirely beyond a corner.
    ShapeRect stamp_onto(SurfaceGrid& grid, std::int32_t x, std::int32_t y, BlitMode mode) const;

    // Keeps the higher water and averages normals.
    void blendBlit(std::int32_t sx, std::int32_t sy, std::int32_t cols, std::int32_t rows,
                   SurfacePoint* dest, std::int32_t stride) const;

    const SurfacePoint& point(std::int32_t col, std::int32_t row) const {
        return points[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + col];
    }

    bool built;
    std::int32_t anchor_x;
    std::int32_t anchor_y;
    std::int32_t width;
    std::int32_t height;
    std::int32_t radius;
    std::int32_t tail;
    std::vector<SurfacePoint> points;

  private:
    void buildHeights();
    void buildNormals();
};

class BodyShape : public DropShape {
  public:
    using DropShape::DropShape;
    void blit(std::int32_t sx, std::int32_t sy, std::int32_t cols, std::int32_t rows,
              SurfacePoint* dest, std::int32_t stride) const override;
    double profile(double z) const override;
};

// Footprint only: its copy writes the track marker wherever the drop has water.
class TrackShape : public DropShape {
  public:
    using DropShape::DropShape;
    void blit(std::int32_t sx, std::int32_t sy, std::int32_t cols, std::int32_t rows,
              SurfacePoint* dest, std::int32_t stride) const override;
    double profile(double z) const override;
};
