#include "app/x11/x_pixels.h"

#include <cstring>

#include "app/x11/x_errors.h"
#include "picture/pixel_format.h"

namespace {

struct Channel {
    int shift = 0;
    int bits = 0;
};

Channel channelOf(unsigned long mask) {
    Channel c;
    if (mask == 0) return c;
    while ((mask & 1) == 0) {
        mask >>= 1;
        ++c.shift;
    }
    while ((mask & 1) != 0) {
        mask >>= 1;
        ++c.bits;
    }
    return c;
}

std::uint8_t widen(unsigned long pixel, const Channel& c) {
    if (c.bits == 0) return 0;
    const unsigned long v = (pixel >> c.shift) & ((1ul << c.bits) - 1);
    if (c.bits >= 8) return static_cast<std::uint8_t>(v >> (c.bits - 8));
    // Repeat the top bits below: 5 bits abcde become abcdeabc.
    unsigned long wide = 0;
    for (int filled = 0; filled < 8; filled += c.bits) wide = (wide << c.bits) | v;
    const int total = ((8 + c.bits - 1) / c.bits) * c.bits;
    return static_cast<std::uint8_t>(wide >> (total - 8));
}

unsigned long narrow(std::uint8_t value, const Channel& c) {
    if (c.bits == 0) return 0;
    // Ten bits as the rain on a 10-bit screen is widened, so that white stays white.
    const unsigned long v = c.bits == 10  ? widenTo10(value)
                            : c.bits >= 8 ? static_cast<unsigned long>(value) << (c.bits - 8)
                                          : value >> (8 - c.bits);
    return v << c.shift;
}

}  // namespace

ChannelMasks masksOf(const Visual* visual) {
    return ChannelMasks{static_cast<std::uint32_t>(visual->red_mask),
                        static_cast<std::uint32_t>(visual->green_mask),
                        static_cast<std::uint32_t>(visual->blue_mask)};
}

Picture pictureOfImage(XImage* image, const ChannelMasks& masks) {
    const Channel r = channelOf(masks.r);
    const Channel g = channelOf(masks.g);
    const Channel b = channelOf(masks.b);
    Picture picture(image->width, image->height);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            std::uint8_t* out = picture.at(x, y);
            out[0] = widen(p, r);
            out[1] = widen(p, g);
            out[2] = widen(p, b);
        }
    }
    return picture;
}

void fillImage(const Picture& picture, XImage* image, const ChannelMasks& masks) {
    const Channel r = channelOf(masks.r);
    const Channel g = channelOf(masks.g);
    const Channel b = channelOf(masks.b);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const std::uint8_t* in = picture.at(x, y);
            XPutPixel(image, x, y, narrow(in[0], r) | narrow(in[1], g) | narrow(in[2], b));
        }
    }
}

Picture cropPicture(const Picture& picture, int x, int y, int width, int height) {
    Picture part(width, height);
    for (int row = 0; row < height; ++row) {
        std::memcpy(part.at(0, row), picture.at(x, y + row), static_cast<std::size_t>(width) * 3);
    }
    return part;
}

ImageHandle readImage(Display* display, Drawable drawable, int x, int y, int width, int height) {
    XErrors::take();
    ImageHandle image(XGetImage(display, drawable, x, y, static_cast<unsigned>(width),
                                static_cast<unsigned>(height), AllPlanes, ZPixmap));
    XSync(display, False);
    if (XErrors::take() != 0) image.reset();
    return image;
}

std::optional<Picture> readDrawable(Display* display, Drawable drawable, int x, int y, int width,
                                    int height, const ChannelMasks& masks) {
    const ImageHandle image = readImage(display, drawable, x, y, width, height);
    if (!image) return std::nullopt;
    return pictureOfImage(image.get(), masks);
}
