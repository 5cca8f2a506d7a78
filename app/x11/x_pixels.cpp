#include "app/x11/x_pixels.h"

#include <cstring>

#include "app/x11/x_errors.h"
#include "picture/channel_bits.h"
#include "picture/pixel_format.h"

ChannelMasks masksOf(const Visual* visual) {
    return ChannelMasks{static_cast<std::uint32_t>(visual->red_mask),
                        static_cast<std::uint32_t>(visual->green_mask),
                        static_cast<std::uint32_t>(visual->blue_mask)};
}

Picture pictureOfImage(XImage* image, const ChannelMasks& masks) {
    const ChannelBits r = channelBitsOf(masks.r);
    const ChannelBits g = channelBitsOf(masks.g);
    const ChannelBits b = channelBitsOf(masks.b);
    Picture picture(image->width, image->height);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const auto p = static_cast<std::uint32_t>(XGetPixel(image, x, y));
            std::uint8_t* out = picture.at(x, y);
            out[0] = widenChannel(p, r);
            out[1] = widenChannel(p, g);
            out[2] = widenChannel(p, b);
        }
    }
    return picture;
}

void fillImage(const Picture& picture, XImage* image, const ChannelMasks& masks) {
    const ChannelBits r = channelBitsOf(masks.r);
    const ChannelBits g = channelBitsOf(masks.g);
    const ChannelBits b = channelBitsOf(masks.b);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const std::uint8_t* in = picture.at(x, y);
            XPutPixel(image, x, y,
                      narrowChannel(in[0], r) | narrowChannel(in[1], g) | narrowChannel(in[2], b));
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
