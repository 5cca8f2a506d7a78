#pragma once

#include <cstdint>

// A changed rectangle of the water map, inclusive pixels; left <= right, top <= bottom once
// stored.
struct DirtyRect {
    std::int32_t left;
    std::int32_t bottom;
    std::int32_t right;
    std::int32_t top;
};
