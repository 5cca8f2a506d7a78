#pragma once

#include <algorithm>
#include <cstdint>

// A changed rectangle of the water map: inclusive pixels, the fields in the order left, bottom,
// right, top as the list of changed rectangles keeps them; left <= right, top <= bottom once
// stored.
struct DirtyRect {
    std::int32_t left;
    std::int32_t bottom;
    std::int32_t right;
    std::int32_t top;
};

// Cuts `r` to a map of `width` x `height`; false, leaving `r` as it was, when nothing of it
// lies on the map.
inline bool clipToMap(DirtyRect& r, std::int32_t width, std::int32_t height) {
    const std::int32_t maxX = width - 1, maxY = height - 1;
    if (r.left > maxX || r.top > maxY || r.right < 0 || r.bottom < 0) return false;
    r = DirtyRect{std::max(r.left, 0), std::min(r.bottom, maxY), std::min(r.right, maxX),
                  std::max(r.top, 0)};
    return true;
}
