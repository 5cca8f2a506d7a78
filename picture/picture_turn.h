#pragma once

#include <cstdint>

#include "picture/picture.h"

// How a stored picture lies against the upright one it shows: the upright picture mirrored
// left to right first when `mirrored`, then turned `quarters` quarter turns anticlockwise.
struct PictureTurn {
    std::int32_t quarters = 0;  // 0 to 3
    bool mirrored = false;
};

// The upright picture a stored one shows: `turn` undone. A quarter or three-quarter turn swaps
// the sides.
Picture uprightPicture(const Picture& stored, PictureTurn turn);
