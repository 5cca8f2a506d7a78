#pragma once

#include <memory>
#include <optional>

#include "app/x11/xlib.h"
#include "picture/picture.h"
#include "render/tracer/channel_masks.h"

// Between the pictures of the portable code (RGB, 8 bits a channel) and X images, by the
// visual's channel masks: an image read from a pixmap carries none of its own.
ChannelMasks masksOf(const Visual* visual);

// The image's pixels as RGB; channels narrower than 8 bits repeat their top bits below, so that
// packing the picture again gives the same pixels; wider ones keep their top 8 bits.
Picture pictureOfImage(XImage* image, const ChannelMasks& masks);

// Writes the picture (of the image's size) into the image, each channel cut to its bits, or
// widened to 10 bits by widenTo10.
void fillImage(const Picture& picture, XImage* image, const ChannelMasks& masks);

// The part of `picture` at (x, y) of `width` x `height`, inside it.
Picture cropPicture(const Picture& picture, int x, int y, int width, int height);

struct ImageDestroyer {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using ImageHandle = std::unique_ptr<XImage, ImageDestroyer>;

// The pixels `drawable` shows in the given rectangle as the server holds them, or null when
// they cannot be read (gone, or not viewable).
ImageHandle readImage(Display* display, Drawable drawable, int x, int y, int width, int height);

// What `drawable` shows in the given rectangle, or nothing when it cannot be read (gone, or
// not viewable).
std::optional<Picture> readDrawable(Display* display, Drawable drawable, int x, int y, int width,
                                    int height, const ChannelMasks& masks);
