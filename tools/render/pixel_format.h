#pragma once

#include <cstddef>
#include <cstdint>

#include "render/tracer/channel_masks.h"
#include "render/tracer/memory_surface.h"
#include "tools/render/picture.h"

// The channel masks of the depths misto-render draws in: 5-6-5 at 16 bits, 8-8-8 at 24 and 32.
// Throws std::invalid_argument for a depth other than 16, 24 or 32.
ChannelMasks channelMasksFor(std::uint32_t bpp);

std::uint32_t packPixel(std::uint32_t bpp, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// Back to 8 bits a channel; 5- and 6-bit channels repeat their top bits below, so white stays
// white.
void unpackPixel(std::uint32_t bpp, std::uint32_t pixel, std::uint8_t& r, std::uint8_t& g,
                 std::uint8_t& b);

// Writes the picture into the surface in the surface's depth; both must have the same size.
void fillSurface(const Picture& picture, MemorySurface& surface);

// The surface's pixels as RGB.
Picture pictureOf(const MemorySurface& surface);
