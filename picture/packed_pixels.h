#pragma once

#include <cstddef>
#include <cstdint>

#include "picture/picture.h"
#include "render/tracer/channel_masks.h"

// Pixels packed in memory as a display server hands them over: `bytesPerPixel` (2, 3 or 4)
// bytes each, least significant first, the channels where `masks` say.
struct PackedPixels {
    const std::uint8_t* firstRow;
    std::int32_t width;
    std::int32_t height;
    // From one row to the next: negative for pixels stored bottom row first.
    std::ptrdiff_t rowStep;
    int bytesPerPixel;
    ChannelMasks masks;
};

// The pixels as RGB, each channel to 8 bits as widenChannel gives it.
Picture pictureOfPackedPixels(const PackedPixels& pixels);
