#pragma once

#include <cstdint>

// A rectangle of pixels laid out as a Win32 RECT, which the monitor list and the copies to the
// screen give and take: left, top, right, bottom, with right and bottom exclusive. Screen
// coordinates may be negative (a monitor left of or above the primary); picture coordinates
// lie within the picture.
struct PixelArea {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    std::int64_t pixels() const { return static_cast<std::int64_t>(width()) * height(); }
    bool empty() const { return right <= left || bottom <= top; }
    bool overlaps(const PixelArea& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};
