#pragma once

#include <cstdint>

// One point of the water map, one per screen pixel: height 0 is dry glass, 1 a track (the film
// a drop leaves), 2 and more drop water; the normal is a direction at scale about 64.
struct SurfacePoint {
    std::uint8_t height;
    std::int8_t normalX;
    std::int8_t normalY;
    std::int8_t normalZ;
};
static_assert(sizeof(SurfacePoint) == 4, "the map is four bytes a point");

// A locked picture: bits per pixel (8, 16, 24, 32), bytes from one row to the next, size, and
// the address of row 0.
struct SurfaceDesc {
    std::uint32_t bitsPerPixel;
    std::uint32_t pitch;
    std::uint32_t width;
    std::uint32_t height;
    std::uint8_t* bits;
};
