#pragma once

#include <optional>
#include <string>

#include "app/x11/xlib.h"
#include "app/xscreensaver_preferences.h"
#include "picture/picture.h"

// The user's xscreensaver preferences (~/.xscreensaver) about pictures; the defaults when there
// is no such file, or, with a line on stderr, when it is no small regular file.
ImagePreferences userImagePreferences();

// The desktop picture a screen-saver host left on the window it hands over
// (_SCREENSAVER_SCREENSHOT, a pixmap of the window's size); nothing when there is none or it
// cannot be read.
std::optional<Picture> hostScreenshot(Display* display, Window window,
                                      const XWindowAttributes& attributes);

// The pixmap named by the window's _SCREENSAVER_SCREENSHOT property, XNone when there is none.
// Whether the pixmap still exists is not checked.
Pixmap screenshotPixmap(Display* display, Window window);

// The picture of `path`; when `path` is empty, a picture chosen at random from `folder` (the
// user's image folder, empty for none), else the bundled scene. Files of the folder that cannot
// be shown are passed over with a line on stderr.
Picture chosenPicture(const std::string& path, const std::string& folder, const char* argv0);
