#pragma once

#include <optional>
#include <string>

#include "app/x11/xlib.h"
#include "picture/picture.h"

// The desktop picture a screen-saver host left on the window it hands over
// (_SCREENSAVER_SCREENSHOT, a pixmap of the window's size), when the user's preferences let
// savers show the desktop; nothing when there is none or it cannot be read.
std::optional<Picture> hostScreenshot(Display* display, Window window,
                                      const XWindowAttributes& attributes);

// The pixmap named by the window's _SCREENSAVER_SCREENSHOT property, XNone when there is none.
// Whether the pixmap still exists is not checked.
Pixmap screenshotPixmap(Display* display, Window window);

// The picture of `path`; when `path` is empty, a picture chosen at random from the image folder
// of the user's xscreensaver preferences (chooseRandomImages, imageDirectory), else the bundled
// scene. Files of the folder that cannot be shown are passed over with a line on stderr.
Picture chosenPicture(const std::string& path, const char* argv0);
