#include "picture/packed_pixels.h"

#include "picture/channel_bits.h"

Picture pictureOfPackedPixels(const PackedPixels& pixels) {
    const ChannelBits r = channelBitsOf(pixels.masks.r);
    const ChannelBits g = channelBitsOf(pixels.masks.g);
    const ChannelBits b = channelBitsOf(pixels.masks.b);
    Picture out(pixels.width, pixels.height);
    for (std::int32_t y = 0; y < pixels.height; ++y) {
        const std::uint8_t* p = pixels.firstRow + y * pixels.rowStep;
        for (std::int32_t x = 0; x < pixels.width; ++x, p += pixels.bytesPerPixel) {
            std::uint32_t pixel = 0;
            for (int i = pixels.bytesPerPixel - 1; i >= 0; --i) pixel = (pixel << 8) | p[i];
            std::uint8_t* q = out.at(x, y);
            q[0] = widenChannel(pixel, r);
            q[1] = widenChannel(pixel, g);
            q[2] = widenChannel(pixel, b);
        }
    }
    return out;
}
