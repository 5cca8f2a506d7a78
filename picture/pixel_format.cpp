#include "picture/pixel_format.h"

#include <cstring>
#include <stdexcept>
#include <string>

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

void unpackPixel(std::uint32_t bpp, std::uint32_t pixel, std::uint8_t& r, std::uint8_t& g,
                 std::uint8_t& b) {
    if (bpp == 16) {
        const std::uint32_t r5 = (pixel >> 11u) & 31u;
        const std::uint32_t g6 = (pixel >> 5u) & 63u;
        const std::uint32_t b5 = pixel & 31u;
        r = static_cast<std::uint8_t>((r5 << 3u) | (r5 >> 2u));
        g = static_cast<std::uint8_t>((g6 << 2u) | (g6 >> 4u));
        b = static_cast<std::uint8_t>((b5 << 3u) | (b5 >> 2u));
        return;
    }
    r = static_cast<std::uint8_t>(pixel >> 16u);
    g = static_cast<std::uint8_t>(pixel >> 8u);
    b = static_cast<std::uint8_t>(pixel);
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
    const std::uint32_t bpp = surface.bpp();
    channelMasksFor(bpp);
    const std::uint32_t bytes = bpp / 8;
    Picture picture(static_cast<std::int32_t>(surface.width()),
                    static_cast<std::int32_t>(surface.height()));
    for (std::uint32_t y = 0; y < surface.height(); ++y) {
        const std::uint8_t* in = surface.row(y);
        for (std::uint32_t x = 0; x < surface.width(); ++x, in += bytes) {
            std::uint32_t v = 0;
            for (std::uint32_t i = 0; i < bytes; ++i)
                v |= static_cast<std::uint32_t>(in[i]) << (8 * i);
            std::uint8_t* p =
                picture.at(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
            unpackPixel(bpp, v, p[0], p[1], p[2]);
        }
    }
    return picture;
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
