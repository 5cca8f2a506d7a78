#pragma once

#include <optional>
#include <string>

#include "app/x11/xlib.h"
#include "picture/picture.h"

// The desktop picture a screen-saver host left on the window it hands over
// (_SCREENSAVER_SCREENSHOT, a pixmap of the window's size); nothing when there is none or it
// cannot be read.
std::optional<Picture> hostScreenshot(Display* display, Window window,
                                      const XWindowAttributes& attributes);

// The pixmap named by the window's _SCREENSAVER_SCREENSHOT property, XNone when there is none.
// Whether the pixmap still exists is not checked.
Pixmap screenshotPixmap(Display* display, Window window);
