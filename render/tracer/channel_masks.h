#pragma once

#include <cstdint>

// The bits of a pixel that hold red, green and blue; all 0 at 8 bits a pixel, where a pixel is
// a palette index.
struct ChannelMasks {
    std::uint32_t r;
    std::uint32_t g;
    std::uint32_t b;
};
