#pragma once

#include <cstdint>

// One point of the water map, one per screen pixel: height 0 is dry glass, 1 a track (the film
// a drop leaves), 2 and more drop water; the normal is a direction at scale about 64.
struct SurfacePoint {
    std::uint8_t height;
    std::int8_t normal_x;
    std::int8_t normal_y;
    std::int8_t normal_z;
};
static_assert(sizeof(SurfacePoint) == 4, "the map is four bytes a point");

// A locked picture: bits per pixel (8, 16, 24, 32), bytes from one row to the next, size, and
// the address of row 0.
struct SurfaceDesc {
    std::uint32_t BPP;
    std::uint32_t Pitch;
    std::uint32_t SurfWidth;
    std::uint32_t SurfHeight;
    std::uint8_t* LFB;
};
