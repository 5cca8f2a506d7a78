#pragma once

#include <optional>

#include "app/x11/x_pixels.h"
#include "app/x11/xlib.h"
#include "picture/picture.h"
#include "render/tracer/channel_masks.h"

// The root window's pixels as they were before the rain, to put back when the rain ends. The
// rain is drawn on the root itself, and the root's background cannot repaint it: a root may
// have none (its pixels stay as drawn), or a program may have drawn the desktop on it over the
// server's own background. The pixels taken are what the user saw, at any depth.
class XRootSnapshot {
  public:
    XRootSnapshot(Display* display, Window root, const XWindowAttributes& attributes);

    // The snapshot as RGB, nothing when the root could not be read.
    std::optional<Picture> picture() const;

    // Puts the pixels back where the root shows (its children are left as they are), and tells
    // the programs that draw on the root to draw again, as after an exposure.
    void putBack();

  private:
    Display* display_;
    Window root_;
    int width_;
    int height_;
    ChannelMasks masks_;
    ImageHandle image_;
};
