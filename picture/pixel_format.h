#pragma once

#include <cstddef>
#include <cstdint>

#include "picture/picture.h"
#include "render/tracer/channel_masks.h"
#include "render/tracer/memory_surface.h"
#include "render/tracer/surface.h"

// The channel masks of the depths misto-render draws in: 5-6-5 at 16 bits, 8-8-8 at 24 and 32.
// Throws std::invalid_argument for a depth other than 16, 24 or 32.
ChannelMasks channelMasksFor(std::uint32_t bpp);

std::uint32_t packPixel(std::uint32_t bpp, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// Writes the picture into the surface in the surface's depth; both must have the same size.
void fillSurface(const Picture& picture, MemorySurface& surface);

// The surface's pixels as RGB; 5- and 6-bit channels repeat their top bits below, so white
// stays white.
Picture pictureOf(const MemorySurface& surface);

// Ten bits a channel, as 10-bit desktops hold them: 32 bits a pixel, the top two unused.
constexpr ChannelMasks kTenBitMasks{0x3FF00000u, 0x000FFC00u, 0x000003FFu};

// An 8-bit channel widened to 10 bits by repeating its top two bits below:
// v10 = (v8 << 2) | (v8 >> 6). Black stays black, 255 becomes 1023 (white stays white), and
// v10 >> 2 gives v8 back.
constexpr std::uint32_t widenTo10(std::uint32_t v8) { return (v8 << 2) | (v8 >> 6); }

// A 32-bit pixel of masks ff0000/ff00/ff with each channel widened to 10 bits (kTenBitMasks).
constexpr std::uint32_t widenPixelTo30(std::uint32_t pixel) {
    return (widenTo10((pixel >> 16) & 0xFFu) << 20) | (widenTo10((pixel >> 8) & 0xFFu) << 10) |
           widenTo10(pixel & 0xFFu);
}

// Widens the `width` x `height` rectangle at (left, top) of `from` (32 bits a pixel, 8 bits a
// channel) into the same rectangle of `to` (32 bits a pixel, kTenBitMasks). Both surfaces hold
// the rectangle; their pitches may differ.
void widenRectTo30(const SurfaceDesc& from, const SurfaceDesc& to, std::int32_t left,
                   std::int32_t top, std::int32_t width, std::int32_t height);
