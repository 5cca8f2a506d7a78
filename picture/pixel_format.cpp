#include "picture/pixel_format.h"

#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>

#include "picture/packed_pixels.h"

ChannelMasks channelMasksFor(std::uint32_t bpp) {
    switch (bpp) {
        case 16:
            return {0xF800u, 0x07E0u, 0x001Fu};
        case 24:
        case 32:
            return {0xFF0000u, 0x00FF00u, 0x0000FFu};
        default:
            throw std::invalid_argument("unsupported pixel depth " + std::to_string(bpp));
    }
}

std::uint32_t packPixel(std::uint32_t bpp, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (bpp == 16) return ((r >> 3u) << 11u) | ((g >> 2u) << 5u) | (b >> 3u);
    return (static_cast<std::uint32_t>(r) << 16u) | (static_cast<std::uint32_t>(g) << 8u) | b;
}

void fillSurface(const Picture& picture, MemorySurface& surface) {
    const std::uint32_t bpp = surface.bpp();
    channelMasksFor(bpp);
    if (static_cast<std::uint32_t>(picture.width) != surface.width() ||
        static_cast<std::uint32_t>(picture.height) != surface.height()) {
        throw std::invalid_argument("fillSurface: the picture and the surface differ in size");
    }
    const std::uint32_t bytes = bpp / 8;
    for (std::uint32_t y = 0; y < surface.height(); ++y) {
        std::uint8_t* out = surface.row(y);
        for (std::uint32_t x = 0; x < surface.width(); ++x, out += bytes) {
            const std::uint8_t* p =
                picture.at(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
            const std::uint32_t v = packPixel(bpp, p[0], p[1], p[2]);
            // Little-endian, as the display's surfaces are; the fourth byte at 32 bits is 0.
            for (std::uint32_t i = 0; i < bytes; ++i)
                out[i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    }
}

Picture pictureOf(const MemorySurface& surface) {
    const ChannelMasks masks = channelMasksFor(surface.bpp());
    return pictureOfPackedPixels(PackedPixels{
        surface.row(0), static_cast<std::int32_t>(surface.width()),
        static_cast<std::int32_t>(surface.height()), static_cast<std::ptrdiff_t>(surface.pitch()),
        static_cast<int>(surface.bpp() / 8), masks});
}

void widenRectTo30(const SurfaceDesc& from, const SurfaceDesc& to, std::int32_t left,
                   std::int32_t top, std::int32_t width, std::int32_t height) {
    const std::size_t offset = static_cast<std::size_t>(left) * 4;
    const std::size_t bytes = static_cast<std::size_t>(width) * 4;
    for (std::int32_t y = top; y < top + height; ++y) {
        const std::uint8_t* in = from.bits + static_cast<std::size_t>(y) * from.pitch + offset;
        std::uint8_t* out = to.bits + static_cast<std::size_t>(y) * to.pitch + offset;
        // Pixels go through memcpy: the rows are bytes, and the compiler makes plain loads and
        // stores of it.
        for (std::size_t i = 0; i < bytes; i += 4) {
            std::uint32_t pixel;
            std::memcpy(&pixel, in + i, 4);
            pixel = widenPixelTo30(pixel);
            std::memcpy(out + i, &pixel, 4);
        }
    }
}
