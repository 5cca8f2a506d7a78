#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// An RGB picture, 3 bytes a pixel (red, green, blue), rows without gaps.
struct Picture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgb;

    Picture() = default;
    Picture(std::int32_t w, std::int32_t h)
        : width(w),
          height(h),
          rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, 0) {}

    std::uint8_t* at(std::int32_t x, std::int32_t y) {
        return rgb.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 3;
    }
    const std::uint8_t* at(std::int32_t x, std::int32_t y) const {
        return rgb.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 3;
    }
};
